// Animated cursors (.ani): the title of the INFO list that usually opens the
// RIFF "ACON" file. Declared in extractors.h.
#include <cstdint>
#include <string_view>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

// Where the title's text stands when the INFO list comes first: after
// "RIFF", length, "ACON", "LIST", length, "INFO", "INAM", length.
constexpr std::uint64_t kAniTitleOffset = 32;
// The block read from there; a shorter file gives no title. Its last byte is
// never part of the title.
constexpr std::size_t kAniTitleBlock = 4096;

}  // namespace

int ExtractCursorTitle(FileInfoJob& job) {
    std::vector<std::uint8_t> bytes;
    if (!job.file.read_exact(0, 4, bytes)) return 0;
    if (std::string_view(reinterpret_cast<const char*>(bytes.data()), 4) != "RIFF") return 0;
    if (!job.file.read_exact(kAniTitleOffset, kAniTitleBlock, bytes)) return 0;
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), kAniTitleBlock - 1);
    // The artist's chunk follows the title: a title without its zero byte
    // ends there.
    text = text.substr(0, text.find("IART"));
    ByteReader in(text.data(), text.size());
    job.result.scratch_text = in.fixed_string(text.size());
    return 1;
}

}  // namespace orbisto
