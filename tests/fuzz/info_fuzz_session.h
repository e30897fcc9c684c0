// The file-information session the fuzz targets share: made once, with the
// multimedia service off (it opens files by path, and the targets read from
// memory), so that the readers' own code is what gets fuzzed.
#pragma once

#include "fileinfo/file_info.h"

namespace orbisto::fuzz {

inline FileInfoSession& info_session() {
    static FileInfoSession* session = [] {
        auto* s = new FileInfoSession;
        s->set_media(nullptr);
        return s;
    }();
    return *session;
}

}  // namespace orbisto::fuzz
