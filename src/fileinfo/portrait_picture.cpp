// Portrait pictures, read as: always 512 × 512 pixels of one byte of grey
// level each, rows top first, held in the last 262144 bytes of the file;
// whatever comes before them (a header) is skipped. A shorter file is not a
// Portrait picture.
#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"

namespace orbisto {

namespace {

constexpr std::int32_t kPortraitSide = 512;
constexpr std::uint64_t kPortraitBytes = std::uint64_t{kPortraitSide} * kPortraitSide;

bool portrait_size_ok(FileSource& file, std::string& error) {
    if (file.size() < kPortraitBytes) {
        error = "not a Portrait picture";
        return false;
    }
    return true;
}

}  // namespace

bool read_portrait_header(FileSource& file, PictureHeader& header, std::string& error) {
    if (!portrait_size_ok(file, error)) return false;
    header.width = kPortraitSide;
    header.height = kPortraitSide;
    header.bits = 8;
    return true;
}

bool decode_portrait(FileSource& file, Picture& p, std::size_t max_pixel_bytes,
                     std::string& error) {
    if (!portrait_size_ok(file, error)) return false;
    if (!picture_allocate(p, kPortraitSide, kPortraitSide, 8, max_pixel_bytes, error)) {
        return false;
    }
    picture_grey_palette(p);
    return picture_read_byte_rows(file, file.size() - kPortraitBytes, p, error);
}

}  // namespace orbisto
