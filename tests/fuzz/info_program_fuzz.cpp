// The program type and the version text on arbitrary bytes: byte 0 chooses
// the file name (program, library or driver) and the language, the rest is
// the file. A version text holds at most its budget of value characters.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orbisto;
    if (size == 0) return 0;
    static const char* const kNames[] = {"prog.exe", "lib.dll", "drv.sys"};
    const std::string name = kNames[data[0] % 3];
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);

    Options options;
    options.file_information = true;
    options.language = (data[0] & 4) ? Language::English : Language::German;
    FileInfoSession session;
    session.set_media(nullptr);
    FileInfoResult result;
    MemorySource src(bytes);
    FileInfoJob job{options, session, src, name, bytes.size(), result, nullptr};

    // Labels, the version line and UTF-8 take a few bytes per character.
    constexpr int kBudget = 100;
    std::string text;
    ExtractVersionText(job, text, kBudget);
    if (text.size() > 4 * kBudget + 200) __builtin_trap();
    ExtractProgramType(job);

    result.clear();
    CollectFileInfo(options, session, src, name, bytes.size(), result);
    return 0;
}
