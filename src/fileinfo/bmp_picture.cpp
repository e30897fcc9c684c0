// Windows and OS/2 bitmaps: the 14-byte file header "BM", then an OS/2 1.x
// core header (12 bytes, 16-bit sizes, 3-byte palette entries), a Windows
// 3.0 header (40 bytes; the later 108- and 124-byte headers start the same)
// or an OS/2 2.0 header (16 to 64 bytes, fields past its length taken as 0).
// 1, 4, 8, 24 and 32 bits per pixel are kept, 16 bits become 24; RLE8 and
// RLE4 are expanded. A negative height means rows stored top first.
// Palette entries the file does not have are black.
#include <cstring>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::uint32_t kBmpRgb = 0;
constexpr std::uint32_t kBmpRle8 = 1;
constexpr std::uint32_t kBmpRle4 = 2;
constexpr std::uint32_t kBmpBitfields = 3;

struct BmpLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; top_down says the order
    bool top_down = false;
    int file_bits = 0;  // bits per pixel in the file
    std::uint32_t compression = kBmpRgb;
    std::uint32_t colours_used = 0;
    std::uint64_t palette_offset = 0;
    int palette_entry_bytes = 4;
    std::uint64_t pixel_offset = 0;
    std::uint32_t masks[3] = {0, 0, 0};  // red, green, blue for bit fields
};

int bmp_picture_bits(int file_bits) {
    if (file_bits == 16) return 24;
    return file_bits;
}

bool bmp_read_layout(FileSource& file, BmpLayout& l, std::string& error) {
    std::vector<std::uint8_t> head = file.read(0, 14 + 124 + 12);
    ByteReader r(head);
    if (r.u16le() != 0x4D42) {  // "BM"
        error = "not a bitmap";
        return false;
    }
    r.skip(8);
    l.pixel_offset = r.u32le();
    const std::uint32_t header_size = r.u32le();
    if (!r.ok()) {
        error = "truncated header";
        return false;
    }
    if (header_size == 12) {
        l.width = r.u16le();
        l.height = r.u16le();
        r.skip(2);
        l.file_bits = r.u16le();
        l.palette_entry_bytes = 3;
    } else if (header_size >= 16 && header_size <= 124) {
        std::uint8_t info[124] = {};
        if (!r.read(info, header_size - 4)) {
            error = "truncated header";
            return false;
        }
        ByteReader h(info, sizeof info);
        l.width = static_cast<std::int32_t>(h.u32le());
        std::int64_t height = static_cast<std::int32_t>(h.u32le());
        h.skip(2);
        l.file_bits = h.u16le();
        l.compression = h.u32le();
        h.skip(12);
        l.colours_used = h.u32le();
        if (height < 0) {
            l.top_down = true;
            height = -height;
        }
        l.height = height;
        // OS/2 2.0 headers (64 bytes, or shortened below 40) use 3 for
        // Huffman coding, which is not read.
        if (l.compression == kBmpBitfields && (header_size == 64 || header_size < 40)) {
            error = "unsupported compression";
            return false;
        }
        if (l.compression == kBmpBitfields) {
            if (header_size >= 52) {
                h.seek(36);
            } else {
                // The masks follow a 40-byte header.
                r.seek(14 + header_size);
                h = r;
            }
            for (std::uint32_t& m : l.masks) m = h.u32le();
            if (!h.ok()) {
                error = "truncated header";
                return false;
            }
        }
    } else {
        error = "unsupported bitmap header";
        return false;
    }
    if (!r.ok()) {
        error = "truncated header";
        return false;
    }
    l.palette_offset = 14 + std::uint64_t{header_size};
    if (l.compression == kBmpBitfields && header_size == 40) l.palette_offset += 12;
    const int b = l.file_bits;
    const bool rgb_ok = b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32;
    const bool ok = (l.compression == kBmpRgb && rgb_ok) || (l.compression == kBmpRle8 && b == 8) ||
                    (l.compression == kBmpRle4 && b == 4) ||
                    (l.compression == kBmpBitfields && (b == 16 || b == 32));
    if (!ok) {
        error = "unsupported bits per pixel or compression";
        return false;
    }
    if (l.compression == kBmpBitfields) {
        for (std::uint32_t m : l.masks) {
            if (m == 0) {
                error = "bad colour masks";
                return false;
            }
        }
    } else if (b == 16) {
        l.masks[0] = 0x7C00;
        l.masks[1] = 0x03E0;
        l.masks[2] = 0x001F;
    } else if (b == 32) {
        l.masks[0] = 0xFF0000;
        l.masks[1] = 0x00FF00;
        l.masks[2] = 0x0000FF;
    }
    if (l.pixel_offset >= file.size()) {
        error = "bad pixel offset";
        return false;
    }
    return picture_size_ok(l.width, l.height, error);
}

// The 8-bit value of the channel under mask in pixel v.
std::uint8_t bmp_channel(std::uint32_t v, std::uint32_t mask) {
    const int shift = __builtin_ctz(mask);
    const std::uint64_t max = mask >> shift;
    const std::uint64_t x = (v & mask) >> shift;
    return static_cast<std::uint8_t>(max == 0 ? 0 : (x * 255 + max / 2) / max);
}

bool bmp_read_palette(FileSource& file, const BmpLayout& l, Picture& p, std::string& error) {
    if (l.file_bits > 8) return true;
    std::size_t n = std::size_t{1} << l.file_bits;
    if (l.colours_used != 0 && l.colours_used < n) n = l.colours_used;
    // The palette ends where the pixels begin, whatever the count says.
    if (l.pixel_offset > l.palette_offset) {
        const std::uint64_t room = (l.pixel_offset - l.palette_offset) / l.palette_entry_bytes;
        if (room < n) n = static_cast<std::size_t>(room);
    } else {
        n = 0;
    }
    std::vector<std::uint8_t> bytes;
    if (!file.read_exact(l.palette_offset, n * l.palette_entry_bytes, bytes)) {
        error = "truncated palette";
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* e = bytes.data() + i * l.palette_entry_bytes;
        picture_set_colour(p, i, e[2], e[1], e[0]);
    }
    return true;
}

bool bmp_decode_plain(FileSource& file, const BmpLayout& l, Picture& p, std::string& error) {
    const std::size_t file_stride = Picture::row_bytes(p.width, l.file_bits);
    std::vector<std::uint8_t> row(file_stride);
    PictureStream in(file, l.pixel_offset);
    for (std::int32_t i = 0; i < p.height; ++i) {
        if (!in.read(row.data(), file_stride)) {
            error = "truncated pixel data";
            return false;
        }
        const std::int32_t y = l.top_down ? i : p.height - 1 - i;
        std::uint8_t* out = p.row_from_top(y);
        if (l.file_bits == 16 || (l.file_bits == 32 && l.compression == kBmpBitfields)) {
            const int step = l.file_bits / 8;
            for (std::int32_t x = 0; x < p.width; ++x) {
                const std::uint8_t* s = row.data() + static_cast<std::size_t>(x) * step;
                std::uint32_t v = s[0] | std::uint32_t{s[1]} << 8;
                if (step == 4) v |= std::uint32_t{s[2]} << 16 | std::uint32_t{s[3]} << 24;
                std::uint8_t* d = out + static_cast<std::size_t>(x) * (p.bits / 8);
                d[0] = bmp_channel(v, l.masks[2]);
                d[1] = bmp_channel(v, l.masks[1]);
                d[2] = bmp_channel(v, l.masks[0]);
            }
        } else {
            std::memcpy(out, row.data(), p.stride());
        }
    }
    return true;
}

// RLE8 and RLE4: runs and escapes, rows from the bottom. Pixels that would
// fall right of the row or above the picture are dropped; the data must
// reach its end-of-bitmap escape or fill every row.
bool bmp_decode_rle(FileSource& file, const BmpLayout& l, Picture& p, std::string& error) {
    const bool four = l.compression == kBmpRle4;
    PictureStream in(file, l.pixel_offset);
    std::int64_t x = 0;
    std::int64_t y = 0;  // counted from the bottom
    auto put = [&](unsigned v) {
        if (x < p.width && y < p.height) {
            const std::int32_t top = l.top_down ? static_cast<std::int32_t>(y)
                                                : p.height - 1 - static_cast<std::int32_t>(y);
            picture_put_index(p.row_from_top(top), p.bits, static_cast<std::size_t>(x), v);
        }
        ++x;
    };
    while (y < p.height) {
        const int count = in.next();
        const int value = in.next();
        if (value < 0) break;
        if (count > 0) {
            // A run: count pixels of one byte (RLE4: two alternating nibbles).
            for (int i = 0; i < count && x < p.width; ++i) {
                put(four ? (i & 1 ? value & 0x0F : value >> 4) : static_cast<unsigned>(value));
            }
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // move right and up
            const int dx = in.next();
            const int dy = in.next();
            if (dy < 0) break;
            x += dx;
            y += dy;
        } else {  // absolute: value pixels, padded to a 16-bit boundary
            const int bytes = four ? (value + 1) / 2 : value;
            int b = 0;
            for (int i = 0; i < value; ++i) {
                if (!four || (i & 1) == 0) {
                    b = in.next();
                    if (b < 0) break;
                }
                put(four ? (i & 1 ? b & 0x0F : b >> 4) : static_cast<unsigned>(b));
            }
            if (b < 0) break;
            if (bytes & 1) in.next();
        }
    }
    if (y >= p.height) return true;
    error = "truncated pixel data";
    return false;
}

}  // namespace

bool read_bmp_header(FileSource& file, PictureHeader& header, std::string& error) {
    BmpLayout l;
    if (!bmp_read_layout(file, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = bmp_picture_bits(l.file_bits);
    return true;
}

bool decode_bmp(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                std::string& error) {
    BmpLayout l;
    if (!bmp_read_layout(file, l, error)) return false;
    if (!picture_allocate(picture, l.width, l.height, bmp_picture_bits(l.file_bits),
                          max_pixel_bytes, error)) {
        return false;
    }
    if (!bmp_read_palette(file, l, picture, error)) return false;
    if (l.compression == kBmpRle8 || l.compression == kBmpRle4) {
        return bmp_decode_rle(file, l, picture, error);
    }
    return bmp_decode_plain(file, l, picture, error);
}

}  // namespace orbisto
