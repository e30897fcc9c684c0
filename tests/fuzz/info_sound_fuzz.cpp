// The WAV, VOC and tracker-module readers on arbitrary files: the first
// input byte picks the format, the rest is the file. A module title never
// holds more than its field or a zero byte, and the dispatch agrees with the
// reader (WAV: only for one or two channels).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "info_fuzz_session.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    if (size == 0) return 0;
    FileInfoSession& session = fuzz::info_session();
    struct Format {
        std::string_view name;
        std::size_t title_bytes;  // 0: not a module
    };
    static const Format kFormats[] = {
        {"a.wav", 0}, {"a.voc", 0}, {"a.mod", 20}, {"a.s3m", 20}, {"a.xm", 50},
    };
    const Format& format = kFormats[data[0] % std::size(kFormats)];
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    Options options;
    options.file_information = true;

    FileInfoResult result;
    MemorySource src(bytes);
    FileInfoJob job{options, session, src, format.name, bytes.size(), result, nullptr};
    int found = 0;
    if (format.name == "a.wav") {
        found = ExtractWav(job);
        if (found && result.channels != 1 && result.channels != 2) found = 0;
    } else if (format.name == "a.voc") {
        found = ExtractVoc(job);
        if (found && (result.sample_rate < 3906 || result.sample_rate > 1000000)) __builtin_trap();
    } else {
        found = ExtractModuleTitle(job, format.title_bytes);
        if (found != (bytes.size() >= format.title_bytes ? 1 : 0)) __builtin_trap();
        if (result.scratch_text.size() > format.title_bytes) __builtin_trap();
        if (result.scratch_text.find('\0') != std::string::npos) __builtin_trap();
    }

    result.clear();
    MemorySource again(bytes);
    if (CollectFileInfo(options, session, again, format.name, bytes.size(), result) != found) {
        __builtin_trap();
    }
    return 0;
}
