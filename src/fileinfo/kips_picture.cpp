// IBM KIPS pictures, read as: a 32-byte header starting "DFIMAG00", the
// width and height as 16-bit little-endian numbers at offsets 8 and 10 (the
// rest of the header is not used), then one byte per pixel, rows top first,
// unpadded. The colours of a KIPS picture live in a separate palette file,
// which a reader of one file cannot see: the pixels are shown as grey levels.
#include <cstring>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::uint64_t kKipsHeaderSize = 32;

bool kips_read_layout(FileSource& file, std::int64_t& width, std::int64_t& height,
                      std::string& error) {
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, kKipsHeaderSize, head) ||
        std::memcmp(head.data(), "DFIMAG00", 8) != 0) {
        error = "not a KIPS file";
        return false;
    }
    ByteReader r(head);
    r.seek(8);
    width = r.u16le();
    height = r.u16le();
    return picture_size_ok(width, height, error);
}

}  // namespace

bool read_kips_header(FileSource& file, PictureHeader& header, std::string& error) {
    std::int64_t w = 0, h = 0;
    if (!kips_read_layout(file, w, h, error)) return false;
    header.width = static_cast<std::int32_t>(w);
    header.height = static_cast<std::int32_t>(h);
    header.bits = 8;
    return true;
}

bool decode_kips(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    std::int64_t w = 0, h = 0;
    if (!kips_read_layout(file, w, h, error)) return false;
    if (!picture_allocate(p, w, h, 8, max_pixel_bytes, error)) return false;
    picture_grey_palette(p);
    return picture_read_byte_rows(file, kKipsHeaderSize, p, error);
}

}  // namespace orbisto
