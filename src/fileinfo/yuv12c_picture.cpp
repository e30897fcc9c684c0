// M-Motion YUV12C frame buffer files, read as: a 16-byte header, "YUV12C"
// and two bytes not used, then the x and y position and the width and
// height of the frame, 16-bit little-endian; then the frame, rows top
// first, 12 bits per pixel: every 4 pixels take 6 bytes, their four
// luminances followed by one U and one V shared by the four (U and V
// centred on 128). The width must be a multiple of 4. The colours are
// worked out with the usual television weights into a 24-bit picture.
#include <algorithm>
#include <cstring>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::uint64_t kYuvHeaderSize = 16;

bool yuv_read_layout(FileSource& file, std::int64_t& width, std::int64_t& height,
                     std::string& error) {
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, kYuvHeaderSize, head) || std::memcmp(head.data(), "YUV12C", 6) != 0) {
        error = "not a YUV12C file";
        return false;
    }
    ByteReader r(head);
    r.seek(12);
    width = r.u16le();
    height = r.u16le();
    if (width % 4 != 0) {
        error = "width not a multiple of 4";
        return false;
    }
    return picture_size_ok(width, height, error);
}

std::uint8_t yuv_clamp(int v) {
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

bool read_yuv12c_header(FileSource& file, PictureHeader& header, std::string& error) {
    std::int64_t w = 0, h = 0;
    if (!yuv_read_layout(file, w, h, error)) return false;
    header.width = static_cast<std::int32_t>(w);
    header.height = static_cast<std::int32_t>(h);
    header.bits = 24;
    return true;
}

bool decode_yuv12c(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    std::int64_t w = 0, h = 0;
    if (!yuv_read_layout(file, w, h, error)) return false;
    if (!picture_allocate(p, w, h, 24, max_pixel_bytes, error)) return false;
    const auto width = static_cast<std::size_t>(w);
    std::vector<std::uint8_t> line(width / 4 * 6);
    PictureStream in(file, kYuvHeaderSize);
    for (std::int32_t y = 0; y < p.height; ++y) {
        if (!in.read(line.data(), line.size())) {
            error = "truncated pixel data";
            return false;
        }
        std::uint8_t* out = p.row_from_top(y);
        for (std::size_t g = 0; g < width / 4; ++g) {
            const std::uint8_t* s = line.data() + g * 6;
            const int u = s[4] - 128;
            const int v = s[5] - 128;
            // Fixed point of 1.402 V, 0.344 U + 0.714 V and 1.772 U.
            const int dr = (359 * v) >> 8;
            const int dg = (88 * u + 183 * v) >> 8;
            const int db = (454 * u) >> 8;
            for (std::size_t k = 0; k < 4; ++k) {
                std::uint8_t* d = out + (g * 4 + k) * 3;
                const int luma = s[k];
                d[0] = yuv_clamp(luma + db);
                d[1] = yuv_clamp(luma - dg);
                d[2] = yuv_clamp(luma + dr);
            }
        }
    }
    return true;
}

}  // namespace orbisto
