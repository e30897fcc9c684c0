#include "fileinfo/picture_support.h"

#include <algorithm>
#include <cstring>

namespace orbisto {

namespace {
constexpr std::size_t kPictureStreamBlock = 65536;
}  // namespace

bool picture_size_ok(std::int64_t width, std::int64_t height, std::string& error) {
    if (width < 1 || height < 1 || width > kPictureMaxSide || height > kPictureMaxSide) {
        error = "bad picture size";
        return false;
    }
    return true;
}

bool picture_allocate(Picture& picture, std::int64_t width, std::int64_t height, int bits,
                      std::size_t max_pixel_bytes, std::string& error) {
    if (!picture_size_ok(width, height, error)) return false;
    const std::size_t stride = Picture::row_bytes(static_cast<std::int32_t>(width), bits);
    // Both factors are at most a few hundred thousand: the product fits.
    if (stride * static_cast<std::size_t>(height) > max_pixel_bytes) {
        error = "too large";
        return false;
    }
    picture.allocate(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), bits);
    return true;
}

void picture_set_colour(Picture& picture, std::size_t index, std::uint8_t r, std::uint8_t g,
                        std::uint8_t b) {
    if (index >= picture.palette.size() / 4) return;
    picture.palette[index * 4] = b;
    picture.palette[index * 4 + 1] = g;
    picture.palette[index * 4 + 2] = r;
    picture.palette[index * 4 + 3] = 0;
}

void picture_grey_palette(Picture& picture) {
    const std::size_t n = picture.palette.size() / 4;
    for (std::size_t i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(n > 1 ? i * 255 / (n - 1) : 0);
        picture_set_colour(picture, i, v, v, v);
    }
}

void picture_put_index(std::uint8_t* row, int bits, std::size_t x, unsigned value) {
    switch (bits) {
        case 1: {
            const auto mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
            if (value & 1) {
                row[x / 8] |= mask;
            } else {
                row[x / 8] &= static_cast<std::uint8_t>(~mask);
            }
            break;
        }
        case 4: {
            std::uint8_t& b = row[x / 2];
            if (x & 1) {
                b = static_cast<std::uint8_t>((b & 0xF0) | (value & 0x0F));
            } else {
                b = static_cast<std::uint8_t>((b & 0x0F) | (value & 0x0F) << 4);
            }
            break;
        }
        default:
            row[x] = static_cast<std::uint8_t>(value);
    }
}

bool picture_read_byte_rows(FileSource& file, std::uint64_t offset, Picture& picture,
                            std::string& error) {
    PictureStream in(file, offset);
    for (std::int32_t y = 0; y < picture.height; ++y) {
        if (!in.read(picture.row_from_top(y), static_cast<std::size_t>(picture.width))) {
            error = "truncated pixel data";
            return false;
        }
    }
    return true;
}

bool PictureStream::refill() {
    if (pos_ >= file_.size()) return false;
    buffer_.resize(kPictureStreamBlock);
    const std::size_t n = file_.read_at(pos_, buffer_.data(), buffer_.size());
    if (n == 0) return false;
    pos_ += n;
    at_ = 0;
    have_ = n;
    return true;
}

bool PictureStream::read(std::uint8_t* out, std::size_t n) {
    while (n > 0) {
        if (at_ >= have_ && !refill()) {
            ok_ = false;
            return false;
        }
        const std::size_t k = std::min(n, have_ - at_);
        std::memcpy(out, buffer_.data() + at_, k);
        at_ += k;
        out += k;
        n -= k;
    }
    return true;
}

bool PictureStream::skip(std::uint64_t n) {
    const std::uint64_t buffered = have_ - at_;
    if (n <= buffered) {
        at_ += static_cast<std::size_t>(n);
        return true;
    }
    const std::uint64_t target = offset() + n;
    if (target > file_.size()) {
        ok_ = false;
        return false;
    }
    pos_ = target;
    at_ = have_ = 0;
    return true;
}

}  // namespace orbisto
