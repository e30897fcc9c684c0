// The film readers (AVI, OGM, WMV, MPEG, QuickTime) on arbitrary bytes,
// without the multimedia service: whatever the headers claim, the readers
// stay inside the file and every text they make is a film text.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    const std::span<const std::uint8_t> bytes(data, size);
    static const char* const kNames[] = {"/m/a.avi", "/m/b.ogm", "/m/c.wmv", "/m/d.mpg",
                                         "/m/e.DAT", "/m/f.vob", "/m/g.mov"};
    for (const bool direct : {false, true}) {
        Options options;
        options.file_information = true;
        options.avi_length_direct = direct;
        FileInfoSession session;
        session.set_media(nullptr);
        for (const char* name : kNames) {
            MemorySource src(bytes);
            FileInfoResult result;
            FileInfoJob job{options, session, src, name, size, result};
            if (ExtractVideo(job) && result.media_type.empty()) __builtin_trap();

            MemorySource again(bytes);
            FileInfoResult collected;
            if (CollectFileInfo(options, session, again, name, size, collected) &&
                collected.info_text.find("-Film ") == std::string::npos) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
