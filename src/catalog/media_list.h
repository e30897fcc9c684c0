// The MediaList: a copy of the MediumHeader of every catalogue file, the
// basis of the media views, identification and all operations over all media.
#pragma once

#include <vector>

#include "catalog/records.h"

namespace orbisto {

struct MediaList {
    // One entry per catalogue file; each entry's catalog_number is the number
    // of the file it came from.
    std::vector<MediumHeader> entries;
};

}  // namespace orbisto
