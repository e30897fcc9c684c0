// GEM raster images: a header of big-endian 16-bit words (version, header
// length in words, planes, pattern length, pixel width and height in
// microns, width, height), then the scan lines, each plane's line after
// the other, (width + 7) / 8 bytes per plane line, coded as:
//   00 00 FF n   the next scan line (all planes) is shown n times
//   00 n         n copies of a pattern of pattern-length bytes
//   80 n         n bytes copied as they are
//   other b      b & 0x7F bytes of 0xFF (bit 7 set) or 0x00
// One plane is black and white (a set bit is black); 2 to 8 planes index a
// palette: the colours of an "XIMG" header extension (red, green, blue
// words of 0..1000) when there is one, otherwise, for up to 4 planes, the
// sixteen default desktop colours in the order of the plane values (0
// white, 1 red, 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 light grey,
// 8 grey, 9 dark red, 10 dark green, 11 dark yellow, 12 dark blue, 13 dark
// magenta, 14 dark cyan, 15 black) and grey levels for more planes. 1 plane
// gives 1 bit, 2 to 4 planes 4 bits, 5 to 8 planes 8 bits.
#include <algorithm>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

struct GemLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int planes = 0;
    std::size_t pattern_length = 0;
    std::size_t header_words = 0;
    int bits = 0;
    bool ximg = false;
};

bool gem_read_layout(FileSource& file, GemLayout& l, std::string& error) {
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, 16, head)) {
        error = "truncated header";
        return false;
    }
    ByteReader r(head);
    r.skip(2);
    l.header_words = r.u16be();
    l.planes = r.u16be();
    l.pattern_length = r.u16be();
    r.skip(4);
    l.width = r.u16be();
    l.height = r.u16be();
    if (l.header_words < 8 || l.header_words * 2 > file.size() || l.pattern_length < 1 ||
        l.pattern_length > 8) {
        error = "not a GEM raster image";
        return false;
    }
    if (l.planes == 1) {
        l.bits = 1;
    } else if (l.planes >= 2 && l.planes <= 4) {
        l.bits = 4;
    } else if (l.planes >= 5 && l.planes <= 8) {
        l.bits = 8;
    } else {
        error = "unsupported number of planes";
        return false;
    }
    std::vector<std::uint8_t> ext;
    l.ximg = l.header_words >= 11 && file.read_exact(16, 6, ext) && ext[0] == 'X' &&
             ext[1] == 'I' && ext[2] == 'M' && ext[3] == 'G' && ext[4] == 0 && ext[5] == 0;
    return picture_size_ok(l.width, l.height, error);
}

void gem_palette(FileSource& file, const GemLayout& l, Picture& p) {
    if (l.planes == 1) {
        picture_set_colour(p, 0, 255, 255, 255);
        return;
    }
    const std::size_t colours = std::size_t{1} << l.planes;
    std::vector<std::uint8_t> pal;
    if (l.ximg && l.header_words >= 11 + colours * 3 && file.read_exact(22, colours * 6, pal)) {
        ByteReader r(pal);
        for (std::size_t i = 0; i < colours; ++i) {
            std::uint8_t c[3];
            for (std::uint8_t& v : c) {
                v = static_cast<std::uint8_t>(std::min<unsigned>(r.u16be(), 1000) * 255 / 1000);
            }
            picture_set_colour(p, i, c[0], c[1], c[2]);
        }
        return;
    }
    if (l.planes <= 4) {
        static constexpr std::uint32_t kGemColours[16] = {
            0xFFFFFF, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xC0C0C0,
            0x808080, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x000000};
        for (std::size_t i = 0; i < 16; ++i) {
            const std::uint32_t c = kGemColours[i];
            picture_set_colour(p, i, static_cast<std::uint8_t>(c >> 16),
                               static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c));
        }
        return;
    }
    picture_grey_palette(p);
}

// Decodes one plane line into out; false when the data ends first.
bool gem_read_plane(PictureStream& in, std::size_t pattern_length, std::uint8_t* out,
                    std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t op = in.byte();
        if (op == 0x00) {
            const std::size_t count = in.byte();
            std::uint8_t pattern[8];
            if (!in.read(pattern, pattern_length)) return false;
            for (std::size_t k = 0; k < count * pattern_length && i < n; ++k) {
                out[i++] = pattern[k % pattern_length];
            }
        } else if (op == 0x80) {
            const std::size_t count = in.byte();
            for (std::size_t k = 0; k < count; ++k) {
                const std::uint8_t b = in.byte();
                if (i < n) out[i++] = b;
            }
        } else {
            const std::size_t count = std::min<std::size_t>(op & 0x7F, n - i);
            std::fill_n(out + i, count, op & 0x80 ? 0xFF : 0x00);
            i += count;
        }
        if (!in.ok()) return false;
    }
    return true;
}

}  // namespace

bool read_gemras_header(FileSource& file, PictureHeader& header, std::string& error) {
    GemLayout l;
    if (!gem_read_layout(file, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = l.bits;
    return true;
}

bool decode_gemras(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    GemLayout l;
    if (!gem_read_layout(file, l, error)) return false;
    if (!picture_allocate(p, l.width, l.height, l.bits, max_pixel_bytes, error)) return false;
    gem_palette(file, l, p);

    const auto width = static_cast<std::size_t>(l.width);
    const std::size_t plane_bytes = (width + 7) / 8;
    std::vector<std::uint8_t> line(plane_bytes * static_cast<std::size_t>(l.planes));
    PictureStream in(file, l.header_words * 2);
    std::int32_t y = 0;
    while (y < p.height) {
        // A vertical replication prefix: 00 00 FF n.
        std::size_t repeat = 1;
        std::uint8_t peek[4] = {};
        if (file.read_at(in.offset(), peek, 4) == 4 && peek[0] == 0 && peek[1] == 0 &&
            peek[2] == 0xFF) {
            repeat = peek[3];
            in.skip(4);
        }
        for (int k = 0; k < l.planes; ++k) {
            if (!gem_read_plane(in, l.pattern_length, line.data() + k * plane_bytes, plane_bytes)) {
                error = "truncated pixel data";
                return false;
            }
        }
        for (std::size_t r = 0; r < repeat && y < p.height; ++r, ++y) {
            std::uint8_t* out = p.row_from_top(y);
            if (l.planes == 1) {
                std::copy_n(line.data(), plane_bytes, out);
                continue;
            }
            for (std::size_t x = 0; x < width; ++x) {
                unsigned v = 0;
                for (int k = 0; k < l.planes; ++k) {
                    v |= ((line[k * plane_bytes + x / 8] >> (7 - x % 8)) & 1u) << k;
                }
                picture_put_index(out, p.bits, x, v);
            }
        }
    }
    return true;
}

}  // namespace orbisto
