// FLI/FLC animations: frame count, size and depth from the file header.
// Declared in extractors.h.
#include <cstdint>
#include <vector>

#include "fileinfo/extractors.h"
#include "fileinfo/file_source.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

// As much of the 128-byte header as is read.
constexpr std::size_t kFliHeaderBytes = 44;
constexpr std::uint16_t kFliMagic = 0xAF11;
constexpr std::uint16_t kFlcMagic = 0xAF12;

}  // namespace

int ExtractFli(FileInfoJob& job) {
    std::vector<std::uint8_t> head;
    if (!job.file.read_exact(0, kFliHeaderBytes, head)) return 0;
    ByteReader in(head);
    in.skip(4);  // the file's length
    const std::uint16_t magic = in.u16le();
    if (magic != kFliMagic && magic != kFlcMagic) return 0;
    const std::uint16_t frames = in.u16le();
    const std::uint16_t width = in.u16le();
    const std::uint16_t height = in.u16le();
    const std::uint16_t depth = in.u16le();
    if (!in.ok()) return 0;
    job.result.frames = frames;
    job.result.video_width = width;
    job.result.video_height = height;
    job.result.video_depth = depth;
    return 1;
}

}  // namespace orbisto
