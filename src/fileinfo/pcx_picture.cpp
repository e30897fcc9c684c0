// ZSoft PC Paintbrush: a 128-byte header, run-length coded scan lines of
// bytes_per_line bytes per plane, and for 8-bit pictures of version 5 a
// 256-colour palette in the last 769 bytes (0x0C, then red, green, blue).
// Kept: 1 bit (black and white), 1 bit in 2 to 4 planes and 4 bits in one
// plane (16 colours from the header's palette), 8 bits (the palette at the
// end, grey without one) and 8 bits in 3 or 4 planes (24 bits, a fourth
// plane is dropped). Runs may continue across scan lines.
#include <algorithm>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

struct PcxLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int plane_bits = 0;
    int planes = 0;
    int bits = 0;  // of the picture
    int version = 0;
    bool rle = true;
    std::size_t bytes_per_line = 0;
    std::uint8_t header_palette[48] = {};
};

bool pcx_read_layout(FileSource& file, PcxLayout& l, std::string& error) {
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, 128, head)) {
        error = "truncated header";
        return false;
    }
    ByteReader r(head);
    const std::uint8_t maker = r.u8();
    l.version = r.u8();
    const std::uint8_t encoding = r.u8();
    l.plane_bits = r.u8();
    const std::int64_t xmin = r.u16le();
    const std::int64_t ymin = r.u16le();
    const std::int64_t xmax = r.u16le();
    const std::int64_t ymax = r.u16le();
    r.skip(4);
    r.read(l.header_palette, sizeof l.header_palette);
    r.skip(1);
    l.planes = r.u8();
    l.bytes_per_line = r.u16le();
    if (maker != 0x0A || encoding > 1) {
        error = "not a PCX file";
        return false;
    }
    l.rle = encoding == 1;
    l.width = xmax - xmin + 1;
    l.height = ymax - ymin + 1;
    const int b = l.plane_bits;
    const int n = l.planes;
    if (b == 1 && n == 1) {
        l.bits = 1;
    } else if ((b == 1 && n >= 2 && n <= 4) || (b == 4 && n == 1)) {
        l.bits = 4;
    } else if (b == 8 && n == 1) {
        l.bits = 8;
    } else if (b == 8 && (n == 3 || n == 4)) {
        l.bits = 24;
    } else {
        error = "unsupported bits per pixel";
        return false;
    }
    if (!picture_size_ok(l.width, l.height, error)) return false;
    if (l.bytes_per_line * 8 < static_cast<std::size_t>(l.width) * b) {
        error = "bad bytes per line";
        return false;
    }
    return true;
}

bool pcx_read_palette(FileSource& file, const PcxLayout& l, Picture& p) {
    if (l.bits == 1) {
        picture_set_colour(p, 1, 255, 255, 255);
    } else if (l.bits == 4) {
        for (std::size_t i = 0; i < 16; ++i) {
            const std::uint8_t* e = l.header_palette + i * 3;
            picture_set_colour(p, i, e[0], e[1], e[2]);
        }
    } else if (l.bits == 8) {
        std::vector<std::uint8_t> tail;
        if (l.version >= 5 && file.size() >= 128 + 769 &&
            file.read_exact(file.size() - 769, 769, tail) && tail[0] == 0x0C) {
            for (std::size_t i = 0; i < 256; ++i) {
                const std::uint8_t* e = tail.data() + 1 + i * 3;
                picture_set_colour(p, i, e[0], e[1], e[2]);
            }
        } else {
            picture_grey_palette(p);
        }
    }
    return true;
}

}  // namespace

bool read_pcx_header(FileSource& file, PictureHeader& header, std::string& error) {
    PcxLayout l;
    if (!pcx_read_layout(file, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = l.bits;
    return true;
}

bool decode_pcx(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    PcxLayout l;
    if (!pcx_read_layout(file, l, error)) return false;
    if (!picture_allocate(p, l.width, l.height, l.bits, max_pixel_bytes, error)) return false;
    pcx_read_palette(file, l, p);

    const std::size_t line_bytes = l.bytes_per_line * static_cast<std::size_t>(l.planes);
    std::vector<std::uint8_t> line(line_bytes);
    PictureStream in(file, 128);
    int run = 0;  // bytes of a run left over from the previous line
    std::uint8_t run_value = 0;
    const auto width = static_cast<std::size_t>(l.width);
    for (std::int32_t y = 0; y < p.height; ++y) {
        std::size_t i = 0;
        while (i < line_bytes) {
            if (run > 0) {
                const std::size_t k =
                    std::min<std::size_t>(static_cast<std::size_t>(run), line_bytes - i);
                std::fill_n(line.data() + i, k, run_value);
                i += k;
                run -= static_cast<int>(k);
                continue;
            }
            const std::uint8_t c = in.byte();
            if (l.rle && (c & 0xC0) == 0xC0) {
                run = c & 0x3F;
                run_value = in.byte();
            } else {
                line[i++] = c;
            }
            if (!in.ok()) {
                error = "truncated pixel data";
                return false;
            }
        }
        std::uint8_t* out = p.row_from_top(y);
        const std::uint8_t* plane = line.data();
        const std::size_t bpl = l.bytes_per_line;
        if (l.bits == 24) {
            for (std::size_t x = 0; x < width; ++x) {
                out[x * 3] = plane[2 * bpl + x];
                out[x * 3 + 1] = plane[bpl + x];
                out[x * 3 + 2] = plane[x];
            }
        } else if (l.bits == 4 && l.plane_bits == 1) {
            for (std::size_t x = 0; x < width; ++x) {
                unsigned v = 0;
                for (int k = 0; k < l.planes; ++k) {
                    v |= ((plane[k * bpl + x / 8] >> (7 - x % 8)) & 1u) << k;
                }
                picture_put_index(out, 4, x, v);
            }
        } else {
            std::copy_n(plane, (width * l.plane_bits + 7) / 8, out);
        }
    }
    return true;
}

}  // namespace orbisto
