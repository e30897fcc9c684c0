// The OGG reader on arbitrary files: it reads the first 2048 bytes only and
// its text holds only the labels and printable ASCII values.
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

    FileInfoResult result;
    MemorySource src(bytes);
    FileInfoJob job{options, session, src, "a.ogg", size, result, nullptr};
    const int found = ExtractOgg(job);
    if (found != 0 && found != 1) __builtin_trap();
    // Six lines of at most a label and 100 value bytes.
    if (result.scratch_text.size() > 6 * (12 + 100 + 2)) __builtin_trap();
    for (const char c : result.scratch_text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b < 0x20 && b != '\r' && b != '\n')) __builtin_trap();
    }

    result.clear();
    MemorySource again(bytes);
    if (CollectFileInfo(options, session, again, "a.ogg", size, result) != found) __builtin_trap();
    return 0;
}
