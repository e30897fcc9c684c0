// Declared in extractors.h: the font name of a font-metrics (AFM) file.
#include <string_view>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"

namespace orbisto {

namespace {

// The name is looked for at the start of the file only.
constexpr std::size_t kAfmHeadBytes = 2048;

}  // namespace

int ExtractAfmName(FileInfoJob& job) {
    std::vector<std::uint8_t> head;
    if (!job.file.read_exact(0, kAfmHeadBytes, head)) return 0;
    const std::string_view text(reinterpret_cast<const char*>(head.data()), head.size());
    const std::size_t key = text.find("FontName");
    if (key == std::string_view::npos) return 0;
    const std::size_t blank = text.find(' ', key);
    if (blank == std::string_view::npos) return 0;
    // The name ends at a control character or a byte outside ASCII.
    std::size_t end = blank + 1;
    while (end < text.size()) {
        const auto c = static_cast<unsigned char>(text[end]);
        if (c < 0x20 || c >= 0x80) break;
        ++end;
    }
    job.result.scratch_text.assign(text.substr(blank + 1, end - blank - 1));
    return 1;
}

}  // namespace orbisto
