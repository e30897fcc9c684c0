// The font readers (TrueType, 16-bit Windows fonts, font metrics) on
// arbitrary bytes: byte 0 chooses the format, the rest is the file. A name
// is never longer than the bytes a reader may take.
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
    static const char* const kNames[] = {"font.ttf", "font.fon", "font.afm"};
    const std::string name = kNames[data[0] % 3];
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);

    Options options;
    options.file_information = true;
    FileInfoSession session;
    session.set_media(nullptr);
    FileInfoResult result;
    MemorySource src(bytes);
    FileInfoJob job{options, session, src, name, bytes.size(), result, nullptr};
    int (*const readers[])(FileInfoJob&) = {ExtractTtfName, ExtractFonName, ExtractAfmName};
    if (readers[data[0] % 3](job) && result.scratch_text.size() > 3 * 4096) __builtin_trap();

    result.clear();
    CollectFileInfo(options, session, src, name, bytes.size(), result);
    return 0;
}
