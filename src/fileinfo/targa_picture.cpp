// Truevision Targa: an 18-byte header, an identification field, a colour
// map, then the pixels, raw (types 1, 2, 3) or as run-length packets (9,
// 10, 11) that may continue across rows. Colour-mapped pictures have 8-bit
// indexes into a map of 15/16, 24 or 32-bit entries; an index outside the
// map shows black. True colour of 15/16 bits becomes 24 bits, 24 and 32 bits
// are kept; grey pictures are 8 bits with a grey palette. Bit 5 of the
// descriptor puts the first row at the top, bit 4 the first pixel right.
#include <algorithm>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

struct TargaLayout {
    int type = 0;  // 1, 2 or 3, whether run-length coded or not
    bool rle = false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int file_bits = 0;
    int bits = 0;
    bool top_first = false;
    bool right_first = false;
    std::size_t map_first = 0;
    std::size_t map_length = 0;
    int map_entry_bits = 0;
    std::uint64_t map_offset = 0;
    std::uint64_t pixel_offset = 0;
};

bool targa_read_layout(FileSource& file, TargaLayout& l, std::string& error) {
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, 18, head)) {
        error = "truncated header";
        return false;
    }
    ByteReader r(head);
    const std::uint8_t id_length = r.u8();
    const std::uint8_t map_type = r.u8();
    const std::uint8_t image_type = r.u8();
    l.map_first = r.u16le();
    l.map_length = r.u16le();
    l.map_entry_bits = r.u8();
    r.skip(4);
    l.width = r.u16le();
    l.height = r.u16le();
    l.file_bits = r.u8();
    const std::uint8_t descriptor = r.u8();
    l.rle = image_type >= 9;
    l.type = l.rle ? image_type - 8 : image_type;
    l.top_first = (descriptor & 0x20) != 0;
    l.right_first = (descriptor & 0x10) != 0;
    if (map_type > 1 || l.type < 1 || l.type > 3 || (image_type > 3 && image_type < 9) ||
        image_type > 11) {
        error = "not a Targa file";
        return false;
    }
    const int b = l.file_bits;
    if (l.type == 1) {
        const int e = l.map_entry_bits;
        if (map_type != 1 || b != 8 || !(e == 15 || e == 16 || e == 24 || e == 32)) {
            error = "unsupported colour map";
            return false;
        }
        l.bits = 8;
    } else if (l.type == 2) {
        if (!(b == 15 || b == 16 || b == 24 || b == 32)) {
            error = "unsupported bits per pixel";
            return false;
        }
        l.bits = b == 32 ? 32 : 24;
    } else {
        if (b != 8) {
            error = "unsupported bits per pixel";
            return false;
        }
        l.bits = 8;
    }
    l.map_offset = 18 + std::uint64_t{id_length};
    const std::uint64_t map_bytes =
        map_type == 1 ? l.map_length * static_cast<std::uint64_t>((l.map_entry_bits + 7) / 8) : 0;
    l.pixel_offset = l.map_offset + map_bytes;
    if (l.pixel_offset > file.size()) {
        error = "truncated colour map";
        return false;
    }
    return picture_size_ok(l.width, l.height, error);
}

// A 15/16-bit value as 8-bit blue, green, red.
void targa_expand16(unsigned v, std::uint8_t* bgr) {
    const unsigned b = v & 31, g = (v >> 5) & 31, r = (v >> 10) & 31;
    bgr[0] = static_cast<std::uint8_t>(b << 3 | b >> 2);
    bgr[1] = static_cast<std::uint8_t>(g << 3 | g >> 2);
    bgr[2] = static_cast<std::uint8_t>(r << 3 | r >> 2);
}

bool targa_read_map(FileSource& file, const TargaLayout& l, Picture& p, std::string& error) {
    if (l.type == 3) {
        picture_grey_palette(p);
        return true;
    }
    if (l.type != 1) return true;
    const std::size_t entry = static_cast<std::size_t>((l.map_entry_bits + 7) / 8);
    std::vector<std::uint8_t> map;
    if (!file.read_exact(l.map_offset, l.map_length * entry, map)) {
        error = "truncated colour map";
        return false;
    }
    // Palette index i is map entry i - map_first; the rest stays black.
    for (std::size_t i = l.map_first; i < 256 && i - l.map_first < l.map_length; ++i) {
        const std::uint8_t* e = map.data() + (i - l.map_first) * entry;
        std::uint8_t bgr[3];
        if (entry == 2) {
            targa_expand16(e[0] | e[1] << 8, bgr);
        } else {
            std::copy_n(e, 3, bgr);
        }
        picture_set_colour(p, i, bgr[2], bgr[1], bgr[0]);
    }
    return true;
}

}  // namespace

bool read_targa_header(FileSource& file, PictureHeader& header, std::string& error) {
    TargaLayout l;
    if (!targa_read_layout(file, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = l.bits;
    return true;
}

bool decode_targa(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    TargaLayout l;
    if (!targa_read_layout(file, l, error)) return false;
    if (!picture_allocate(p, l.width, l.height, l.bits, max_pixel_bytes, error)) return false;
    if (!targa_read_map(file, l, p, error)) return false;

    const std::size_t in_size = static_cast<std::size_t>((l.file_bits + 7) / 8);
    const std::size_t out_size = static_cast<std::size_t>(l.bits / 8);
    PictureStream in(file, l.pixel_offset);
    std::uint8_t pixel[4] = {};
    int packet_left = 0;  // pixels left in the current packet
    bool packet_run = false;
    for (std::int32_t i = 0; i < p.height; ++i) {
        std::uint8_t* out = p.row_from_top(l.top_first ? i : p.height - 1 - i);
        for (std::int32_t j = 0; j < p.width; ++j) {
            if (!l.rle) {
                in.read(pixel, in_size);
            } else {
                if (packet_left == 0) {
                    const std::uint8_t h = in.byte();
                    packet_run = (h & 0x80) != 0;
                    packet_left = (h & 0x7F) + 1;
                    if (packet_run) in.read(pixel, in_size);
                }
                if (!packet_run) in.read(pixel, in_size);
                --packet_left;
            }
            if (!in.ok()) {
                error = "truncated pixel data";
                return false;
            }
            const std::size_t x = static_cast<std::size_t>(l.right_first ? p.width - 1 - j : j);
            std::uint8_t* d = out + x * out_size;
            if (in_size == 2) {
                targa_expand16(pixel[0] | pixel[1] << 8, d);
            } else {
                std::copy_n(pixel, out_size, d);
            }
        }
    }
    return true;
}

}  // namespace orbisto
