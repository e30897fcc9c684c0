// Amiga IFF interleaved bitmaps: "FORM", a big-endian length, "ILBM", then
// chunks (four-letter id, big-endian length, data padded to an even length).
// BMHD gives size, planes, masking and compression (none or ByteRun1), CMAP
// the colours, CAMG the display mode, BODY the rows: each row holds one line
// of every plane (and of the mask when masking is 1), each line padded to
// 16 bits. 1 plane gives 1 bit, 2 to 4 planes 4 bits, 5 to 8 planes 8 bits
// through the palette; 24 planes (8 red, 8 green, 8 blue) give 24 bits.
// Extra-half-brite pictures (6 planes) get the 32 half-bright colours added
// to their palette and stay 8-bit; hold-and-modify pictures (6 or 8 planes)
// are worked out to 24 bits. Colours the palette lacks are black.
#include <algorithm>
#include <cstring>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::uint32_t kIlbmHam = 0x800;
constexpr std::uint32_t kIlbmHalfBrite = 0x80;

struct IlbmLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int planes = 0;
    int masking = 0;
    int compression = 0;
    std::uint32_t mode = 0;  // CAMG
    bool ham = false;
    int bits = 0;
    std::uint64_t cmap_offset = 0;
    std::size_t cmap_size = 0;
    std::uint64_t body_offset = 0;
    std::uint64_t body_size = 0;
};

std::uint32_t ilbm_id(const char* s) {
    return std::uint32_t(std::uint8_t(s[0])) << 24 | std::uint32_t(std::uint8_t(s[1])) << 16 |
           std::uint32_t(std::uint8_t(s[2])) << 8 | std::uint8_t(s[3]);
}

// Walks the chunks up to BODY, reading only BMHD and CAMG.
bool ilbm_read_layout(FileSource& file, IlbmLayout& l, std::string& error) {
    std::vector<std::uint8_t> head;
    if (!file.read_exact(0, 12, head)) {
        error = "truncated header";
        return false;
    }
    ByteReader r(head);
    const std::uint32_t form = r.u32be();
    const std::uint64_t form_end =
        std::min<std::uint64_t>(8 + std::uint64_t{r.u32be()}, file.size());
    if (form != ilbm_id("FORM") || r.u32be() != ilbm_id("ILBM")) {
        error = "not an ILBM file";
        return false;
    }
    bool have_header = false;
    std::uint64_t at = 12;
    while (l.body_offset == 0) {
        std::vector<std::uint8_t> chunk;
        if (at + 8 > form_end || !file.read_exact(at, 8, chunk)) {
            error = "no picture data";
            return false;
        }
        ByteReader c(chunk);
        const std::uint32_t id = c.u32be();
        const std::uint64_t size = c.u32be();
        const std::uint64_t data = at + 8;
        if (size > form_end - data) {
            error = "chunk past the end of the file";
            return false;
        }
        if (id == ilbm_id("BMHD")) {
            std::vector<std::uint8_t> bmhd;
            if (size < 20 || !file.read_exact(data, 20, bmhd)) {
                error = "bad picture header";
                return false;
            }
            ByteReader h(bmhd);
            l.width = h.u16be();
            l.height = h.u16be();
            h.skip(4);
            l.planes = h.u8();
            l.masking = h.u8();
            l.compression = h.u8();
            have_header = true;
        } else if (id == ilbm_id("CAMG") && size >= 4) {
            std::vector<std::uint8_t> camg;
            if (!file.read_exact(data, 4, camg)) {
                error = "truncated chunk";
                return false;
            }
            ByteReader h(camg);
            l.mode = h.u32be();
        } else if (id == ilbm_id("CMAP")) {
            l.cmap_offset = data;
            l.cmap_size = static_cast<std::size_t>(std::min<std::uint64_t>(size, 3 * 256));
        } else if (id == ilbm_id("BODY")) {
            l.body_offset = data;
            l.body_size = size;
        }
        at = data + size + (size & 1);
    }
    if (!have_header) {
        error = "no picture header";
        return false;
    }
    if (l.compression > 1) {
        error = "unsupported compression";
        return false;
    }
    const int n = l.planes;
    l.ham = (l.mode & kIlbmHam) != 0 && (n == 6 || n == 8);
    if (l.ham || n == 24) {
        l.bits = 24;
    } else if (n == 1) {
        l.bits = 1;
    } else if (n >= 2 && n <= 4) {
        l.bits = 4;
    } else if (n >= 5 && n <= 8) {
        l.bits = 8;
    } else {
        error = "unsupported number of planes";
        return false;
    }
    return picture_size_ok(l.width, l.height, error);
}

// One line of a plane: ByteRun1 or plain bytes.
bool ilbm_read_line(PictureStream& in, bool packed, std::uint8_t* out, std::size_t n) {
    if (!packed) return in.read(out, n);
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<std::int8_t>(in.byte());
        if (!in.ok()) return false;
        if (c >= 0) {
            // c + 1 literal bytes; those past the line are read and dropped.
            for (int k = 0; k <= c; ++k) {
                const std::uint8_t b = in.byte();
                if (i < n) out[i++] = b;
            }
        } else if (c != -128) {
            const std::uint8_t b = in.byte();
            const std::size_t count = static_cast<std::size_t>(1 - c);
            const std::size_t k = std::min(count, n - i);
            std::fill_n(out + i, k, b);
            i += k;
        }
        if (!in.ok()) return false;
    }
    return true;
}

}  // namespace

bool read_ilbm_header(FileSource& file, PictureHeader& header, std::string& error) {
    IlbmLayout l;
    if (!ilbm_read_layout(file, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = l.bits;
    return true;
}

bool decode_ilbm(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    IlbmLayout l;
    if (!ilbm_read_layout(file, l, error)) return false;
    if (!picture_allocate(p, l.width, l.height, l.bits, max_pixel_bytes, error)) return false;

    // The file's colours (at most 256), red, green, blue each.
    std::vector<std::uint8_t> cmap;
    if (l.cmap_size > 0 && !file.read_exact(l.cmap_offset, l.cmap_size, cmap)) {
        error = "truncated colour map";
        return false;
    }
    std::uint8_t colours[256][3] = {};
    for (std::size_t i = 0; i < cmap.size() / 3; ++i) std::copy_n(&cmap[i * 3], 3, colours[i]);
    if ((l.mode & kIlbmHalfBrite) != 0 && l.planes == 6 && !l.ham) {
        for (int i = 0; i < 32; ++i) {
            for (int k = 0; k < 3; ++k) colours[32 + i][k] = colours[i][k] / 2;
        }
    }
    if (l.bits <= 8) {
        for (std::size_t i = 0; i < 256; ++i) {
            picture_set_colour(p, i, colours[i][0], colours[i][1], colours[i][2]);
        }
    }

    const auto width = static_cast<std::size_t>(l.width);
    const std::size_t line_bytes = (width + 15) / 16 * 2;
    const int lines = l.planes + (l.masking == 1 ? 1 : 0);
    std::vector<std::uint8_t> row(line_bytes * static_cast<std::size_t>(lines));
    PictureStream in(file, l.body_offset);
    const int ham_shift = l.planes - 2;  // the two control bits are the top planes
    for (std::int32_t y = 0; y < p.height; ++y) {
        for (int k = 0; k < lines; ++k) {
            if (!ilbm_read_line(in, l.compression == 1, row.data() + k * line_bytes, line_bytes)) {
                error = "truncated pixel data";
                return false;
            }
        }
        std::uint8_t* out = p.row_from_top(y);
        std::uint8_t ham[3] = {colours[0][0], colours[0][1], colours[0][2]};  // r, g, b
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t v = 0;
            for (int k = 0; k < l.planes; ++k) {
                v |= ((row[k * line_bytes + x / 8] >> (7 - x % 8)) & 1u) << k;
            }
            if (l.planes == 24) {
                out[x * 3] = static_cast<std::uint8_t>(v >> 16);
                out[x * 3 + 1] = static_cast<std::uint8_t>(v >> 8);
                out[x * 3 + 2] = static_cast<std::uint8_t>(v);
            } else if (l.ham) {
                // Control 0: a palette colour; 1, 2, 3: change blue, red or
                // green to the value bits (scaled to 8 bits).
                const unsigned control = v >> ham_shift;
                const unsigned value = v & ((1u << ham_shift) - 1);
                const auto scaled =
                    static_cast<std::uint8_t>(value * 255 / ((1u << ham_shift) - 1));
                if (control == 0) {
                    std::copy_n(colours[value], 3, ham);
                } else {
                    ham[control == 1 ? 2 : control == 2 ? 0 : 1] = scaled;
                }
                out[x * 3] = ham[2];
                out[x * 3 + 1] = ham[1];
                out[x * 3 + 2] = ham[0];
            } else {
                picture_put_index(out, p.bits, x, v);
            }
        }
    }
    return true;
}

}  // namespace orbisto
