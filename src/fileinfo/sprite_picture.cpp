// RiscOS sprite files; the first sprite is read. The file is a sprite area
// without its first word: the number of sprites, the offset of the first
// sprite and the offset of the free space (offsets counted from the area's
// start, 4 bytes before the file's start), all 32-bit little-endian. A
// sprite: offset of the next sprite, a 12-byte name, width in words - 1,
// height in rows - 1, first and last bit used in a row (the left and right
// waste), the offsets of the image and of the mask (from the sprite's
// start) and the mode. Palette entries, when the image does not follow the
// 44-byte header directly, are pairs of words 0xBBGGRR00 (the second of the
// pair is the flashing colour, ignored). Rows are stored top first in whole
// words; within a word the leftmost pixel is in the lowest bits.
//
// The mode gives the bits per pixel: a mode word with bit 0 set carries the
// sprite type in bits 27 to 31 (1, 2, 4 or 8 bits, 16 bits as 5-5-5 with red
// lowest, 32 bits as red, green, blue bytes); a mode number below 256 is
// one of the classic screen modes (table below). 2-bit sprites become 4-bit
// pictures, 16- and 32-bit sprites 24-bit pictures. Sprites without a
// palette take the desktop's default colours. The mask is ignored.
#include <algorithm>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

struct SpriteLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int sprite_bits = 0;
    int bits = 0;
    std::uint32_t first_bit = 0;
    std::uint64_t row_bytes = 0;
    std::uint64_t image_offset = 0;  // in the file
    std::uint64_t palette_offset = 0;
    std::size_t palette_entries = 0;
};

// Bits per pixel of the classic screen modes 0 to 49 (0: a text mode).
constexpr std::uint8_t kSpriteModeBits[50] = {1, 2, 4, 0, 1, 2, 0, 0, 2, 4, 8, 2, 4, 8, 4, 8, 4,
                                              4, 1, 2, 4, 8, 4, 1, 8, 1, 2, 4, 8, 1, 2, 4, 8, 1,
                                              2, 4, 8, 1, 2, 4, 8, 1, 2, 4, 1, 2, 4, 8, 4, 8};

int sprite_mode_bits(std::uint32_t mode) {
    if (mode & 1) {
        switch (mode >> 27) {
            case 1:
                return 1;
            case 2:
                return 2;
            case 3:
                return 4;
            case 4:
                return 8;
            case 5:
                return 16;
            case 6:
                return 32;
            default:
                return 0;
        }
    }
    return mode < 50 ? kSpriteModeBits[mode] : 0;
}

bool sprite_read_layout(FileSource& file, SpriteLayout& l, std::string& error) {
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, 12, head)) {
        error = "truncated header";
        return false;
    }
    ByteReader a(head);
    const std::uint32_t count = a.u32le();
    const std::uint32_t first = a.u32le();
    if (count == 0 || first < 16 || first - 4 + 44 > file.size()) {
        error = "not a sprite file";
        return false;
    }
    const std::uint64_t start = first - 4;
    std::vector<std::uint8_t> sprite;
    file.read_exact(start, 44, sprite);
    ByteReader s(sprite);
    s.skip(16);
    const std::uint64_t words = std::uint64_t{s.u32le()} + 1;
    const std::uint64_t rows = std::uint64_t{s.u32le()} + 1;
    l.first_bit = s.u32le();
    const std::uint32_t last_bit = s.u32le();
    const std::uint32_t image = s.u32le();
    s.skip(4);
    const std::uint32_t mode = s.u32le();
    l.sprite_bits = sprite_mode_bits(mode);
    if (l.sprite_bits == 0) {
        error = "unsupported sprite mode";
        return false;
    }
    if (l.first_bit > 31 || last_bit > 31 || l.first_bit % l.sprite_bits != 0 ||
        words > std::uint64_t{kPictureMaxSide} || image < 44) {
        error = "bad sprite header";
        return false;
    }
    const std::int64_t used_bits = static_cast<std::int64_t>(words * 32) -
                                   static_cast<std::int64_t>(l.first_bit) - (31 - last_bit);
    l.width = used_bits / l.sprite_bits;
    l.height = static_cast<std::int64_t>(std::min<std::uint64_t>(rows, kPictureMaxSide + 1));
    l.row_bytes = words * 4;
    l.image_offset = start + image;
    l.palette_offset = start + 44;
    l.palette_entries = static_cast<std::size_t>((image - 44) / 8);
    l.bits = l.sprite_bits == 2 ? 4 : l.sprite_bits > 8 ? 24 : l.sprite_bits;
    if (l.image_offset > file.size()) {
        error = "bad image offset";
        return false;
    }
    return picture_size_ok(l.width, l.height, error);
}

void sprite_default_palette(Picture& p, int sprite_bits) {
    static constexpr std::uint32_t kDesktop16[16] = {
        0xFFFFFF, 0xDDDDDD, 0xBBBBBB, 0x999999, 0x777777, 0x555555, 0x333333, 0x000000,
        0x004499, 0xEEEE00, 0x00CC00, 0xDD0000, 0xEEEEBB, 0x558800, 0xFFBB00, 0x00BBFF};
    static constexpr std::uint32_t kDesktop4[4] = {0xFFFFFF, 0xBBBBBB, 0x777777, 0x000000};
    auto set = [&](std::size_t i, std::uint32_t rgb) {
        picture_set_colour(p, i, static_cast<std::uint8_t>(rgb >> 16),
                           static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb));
    };
    if (sprite_bits == 1) {
        set(0, 0xFFFFFF);
        set(1, 0x000000);
    } else if (sprite_bits == 2) {
        for (std::size_t i = 0; i < 4; ++i) set(i, kDesktop4[i]);
    } else if (sprite_bits == 4) {
        for (std::size_t i = 0; i < 16; ++i) set(i, kDesktop16[i]);
    } else {
        // The 256-colour palette: bits 0-1 a tint shared by all channels,
        // red from bits 2 and 4, green from 5 and 6, blue from 3 and 7.
        for (unsigned i = 0; i < 256; ++i) {
            const unsigned t = i & 3;
            const unsigned r = ((i >> 4) & 1) << 3 | ((i >> 2) & 1) << 2 | t;
            const unsigned g = ((i >> 6) & 1) << 3 | ((i >> 5) & 1) << 2 | t;
            const unsigned b = ((i >> 7) & 1) << 3 | ((i >> 3) & 1) << 2 | t;
            picture_set_colour(p, i, static_cast<std::uint8_t>(r * 17),
                               static_cast<std::uint8_t>(g * 17),
                               static_cast<std::uint8_t>(b * 17));
        }
    }
}

}  // namespace

bool read_sprite_header(FileSource& file, PictureHeader& header, std::string& error) {
    SpriteLayout l;
    if (!sprite_read_layout(file, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = l.bits;
    return true;
}

bool decode_sprite(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    SpriteLayout l;
    if (!sprite_read_layout(file, l, error)) return false;
    if (!picture_allocate(p, l.width, l.height, l.bits, max_pixel_bytes, error)) return false;
    if (l.sprite_bits <= 8) {
        const std::size_t colours = std::size_t{1} << l.sprite_bits;
        if (l.palette_entries > 0) {
            const std::size_t n = std::min(l.palette_entries, colours);
            std::vector<std::uint8_t> pal;
            if (!file.read_exact(l.palette_offset, n * 8, pal)) {
                error = "truncated palette";
                return false;
            }
            for (std::size_t i = 0; i < n; ++i) {
                picture_set_colour(p, i, pal[i * 8 + 1], pal[i * 8 + 2], pal[i * 8 + 3]);
            }
        } else {
            sprite_default_palette(p, l.sprite_bits);
        }
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(l.row_bytes));
    PictureStream in(file, l.image_offset);
    const auto width = static_cast<std::size_t>(l.width);
    const int sb = l.sprite_bits;
    for (std::int32_t y = 0; y < p.height; ++y) {
        if (!in.read(row.data(), row.size())) {
            error = "truncated pixel data";
            return false;
        }
        std::uint8_t* out = p.row_from_top(y);
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t bit = l.first_bit + x * static_cast<std::size_t>(sb);
            if (sb >= 8) {
                const std::uint8_t* s = row.data() + bit / 8;
                if (sb == 8) {
                    out[x] = s[0];
                } else if (sb == 16) {
                    const unsigned v = s[0] | s[1] << 8;
                    const unsigned r = v & 31, g = (v >> 5) & 31, b = (v >> 10) & 31;
                    out[x * 3] = static_cast<std::uint8_t>(b << 3 | b >> 2);
                    out[x * 3 + 1] = static_cast<std::uint8_t>(g << 3 | g >> 2);
                    out[x * 3 + 2] = static_cast<std::uint8_t>(r << 3 | r >> 2);
                } else {
                    out[x * 3] = s[2];
                    out[x * 3 + 1] = s[1];
                    out[x * 3 + 2] = s[0];
                }
            } else {
                const unsigned v = (row[bit / 8] >> (bit % 8)) & ((1u << sb) - 1);
                picture_put_index(out, p.bits, x, v);
            }
        }
    }
    return true;
}

}  // namespace orbisto
