// Helpers of the picture decoder tests: decoding bytes or a fixture with a
// format of the table, and a decoded pixel's colour.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "fileinfo/file_source.h"
#include "fileinfo/picture.h"
#include "reader_run.h"

namespace orbisto::test {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}
// Whether two colours differ by at most the tolerance in every channel.
inline bool rgb_near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

inline const PictureFormat& format_named(const std::string& name) {
    for (const PictureFormat& f : picture_formats()) {
        if (name == f.name) return f;
    }
    ADD_FAILURE() << "no format " << name;
    return picture_formats()[0];
}

struct Decoded {
    bool header_ok = false;
    bool decode_ok = false;
    PictureHeader header;
    Picture picture;
    std::string error;
};

inline Decoded decode_bytes(const std::string& format, std::span<const std::uint8_t> bytes,
                            std::size_t max_pixel_bytes = kPictureMemoryCeiling) {
    Decoded d;
    const PictureFormat& f = format_named(format);
    MemorySource src(bytes);
    d.header_ok = f.read_header(src, d.header, d.error);
    if (d.header_ok) d.decode_ok = f.decode(src, d.picture, max_pixel_bytes, d.error);
    return d;
}

// The colour of pixel x of row y counted from the top, through the palette
// for pictures of up to 8 bits.
inline Rgb pixel(const Picture& p, int x, int y) {
    const std::uint8_t* row =
        p.pixels.data() + static_cast<std::size_t>(p.height - 1 - y) * p.stride();
    if (p.bits >= 24) {
        const std::uint8_t* s = row + static_cast<std::size_t>(x) * (p.bits / 8);
        return {s[2], s[1], s[0]};
    }
    unsigned index = 0;
    if (p.bits == 8) index = row[x];
    if (p.bits == 4) index = x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4;
    if (p.bits == 1) index = (row[x / 8] >> (7 - x % 8)) & 1;
    const std::uint8_t* e = p.palette.data() + index * 4;
    return {e[2], e[1], e[0]};
}

}  // namespace orbisto::test
