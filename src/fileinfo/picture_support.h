// Helpers shared by the picture decoders: the size checks every decoder
// makes before it allocates, palette setters, and a buffered sequential
// reader over a FileSource that never reads past the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fileinfo/file_source.h"
#include "fileinfo/picture.h"

namespace orbisto {

// The largest width and height any decoder accepts.
inline constexpr std::int64_t kPictureMaxSide = 100000;

// Checks a header's size: both sides 1..kPictureMaxSide, else false with
// "bad picture size".
bool picture_size_ok(std::int64_t width, std::int64_t height, std::string& error);

// Checks the size and that the rows of width × height at bits fit
// max_pixel_bytes ("too large" otherwise), then allocates the picture.
bool picture_allocate(Picture& picture, std::int64_t width, std::int64_t height, int bits,
                      std::size_t max_pixel_bytes, std::string& error);

// Sets palette entry index (ignored past the palette) to r, g, b.
void picture_set_colour(Picture& picture, std::size_t index, std::uint8_t r, std::uint8_t g,
                        std::uint8_t b);
// Fills the whole palette with an even grey ramp from black to white.
void picture_grey_palette(Picture& picture);

// Sets pixel x of a row of a picture of bits 1, 4 or 8 to value (the bits
// that fit). x must lie inside the row.
void picture_put_index(std::uint8_t* row, int bits, std::size_t x, unsigned value);

// Reads rows of width bytes, top row first, from offset into an 8-bit
// picture already allocated; false with "truncated pixel data" when the
// file ends first.
bool picture_read_byte_rows(FileSource& file, std::uint64_t offset, Picture& picture,
                            std::string& error);

// Reads a file from an offset onwards in blocks. A read past the end of the
// file sets the end flag and gives zeros; callers test ok() when a piece of
// data is complete.
class PictureStream {
  public:
    PictureStream(FileSource& file, std::uint64_t offset) : file_(file), pos_(offset) {}

    // The next byte, or -1 at the end of the file.
    int next() {
        if (at_ >= have_ && !refill()) return -1;
        return buffer_[at_++];
    }
    // The next byte; 0 and not ok() at the end of the file.
    std::uint8_t byte() {
        const int c = next();
        if (c < 0) {
            ok_ = false;
            return 0;
        }
        return static_cast<std::uint8_t>(c);
    }
    // Exactly n bytes into out; false (and not ok()) when the file ends first.
    bool read(std::uint8_t* out, std::size_t n);
    bool skip(std::uint64_t n);
    std::uint16_t u16be() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
    std::uint16_t u16le() {
        const unsigned lo = byte();
        return static_cast<std::uint16_t>(lo | byte() << 8);
    }
    // The file offset of the next byte.
    std::uint64_t offset() const { return pos_ - (have_ - at_); }
    bool ok() const { return ok_; }

  private:
    bool refill();

    FileSource& file_;
    std::uint64_t pos_;  // file offset just after the buffered bytes
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0;
    std::size_t have_ = 0;
    bool ok_ = true;
};

}  // namespace orbisto
