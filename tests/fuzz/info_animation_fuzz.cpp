// The FLI/FLC header reader and the animated-cursor title reader on
// arbitrary files, both on every input: a cursor title stays inside its
// block, stops before a zero byte and before "IART", and the dispatch agrees
// with the readers.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "info_fuzz_session.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    FileInfoSession& session = fuzz::info_session();
    const std::span<const std::uint8_t> bytes(data, size);
    Options options;
    options.file_information = true;

    for (const char* name : {"a.fli", "a.ani"}) {
        FileInfoResult result;
        MemorySource src(bytes);
        FileInfoJob job{options, session, src, name, size, result, nullptr};
        const bool cursor = name[2] == 'a';
        const int found = cursor ? ExtractCursorTitle(job) : ExtractFli(job);
        if (found != 0 && found != 1) __builtin_trap();
        if (found && cursor) {
            if (result.scratch_text.size() > 4095) __builtin_trap();
            if (result.scratch_text.find('\0') != std::string::npos) __builtin_trap();
            if (result.scratch_text.find("IART") != std::string::npos) __builtin_trap();
        }

        result.clear();
        MemorySource again(bytes);
        if (CollectFileInfo(options, session, again, name, size, result) != found) __builtin_trap();
    }
    return 0;
}
