// IBM Image Access eXecutive pictures, read as: no header at all, one byte
// of grey level per pixel, rows of 512 pixels top first. The height is the
// file size divided by 512, which must leave no remainder.
#include <algorithm>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"

namespace orbisto {

namespace {

constexpr std::int64_t kIaxWidth = 512;

bool iax_read_layout(FileSource& file, std::int64_t& height, std::string& error) {
    const std::uint64_t size = file.size();
    if (size == 0 || size % kIaxWidth != 0) {
        error = "not an IAX file";
        return false;
    }
    height =
        static_cast<std::int64_t>(std::min<std::uint64_t>(size / kIaxWidth, kPictureMaxSide + 1));
    return picture_size_ok(kIaxWidth, height, error);
}

}  // namespace

bool read_iax_header(FileSource& file, PictureHeader& header, std::string& error) {
    std::int64_t h = 0;
    if (!iax_read_layout(file, h, error)) return false;
    header.width = kIaxWidth;
    header.height = static_cast<std::int32_t>(h);
    header.bits = 8;
    return true;
}

bool decode_iax(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    std::int64_t h = 0;
    if (!iax_read_layout(file, h, error)) return false;
    if (!picture_allocate(p, kIaxWidth, h, 8, max_pixel_bytes, error)) return false;
    picture_grey_palette(p);
    return picture_read_byte_rows(file, 0, p, error);
}

}  // namespace orbisto
