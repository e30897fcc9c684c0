// IBM page segments: a sequence of structured fields, each 0x5A, a 16-bit
// big-endian length (of the field without the 0x5A), a 3-byte type, a flag
// byte and a 2-byte sequence number, then length - 8 bytes of data. The
// picture is the first image object of the segment (1 bit per pixel, a set
// bit is toned, shown black on white):
//   D3A67B  image input descriptor: width at data offset 18, height at 20
//           (pels, 16-bit big-endian; the bytes before are constants,
//           units and resolution)
//   D3AC7B  image cell position: x and y offset, cell width and height
//           (16-bit big-endian each); without one the cell is the picture
//   D3EE7B  raster data of the current cell, rows top first, (cell width +
//           7) / 8 bytes each, the leftmost pixel in the highest bit; a cell
//           may be spread over several of these fields
//   D3A97B  end of the image (a segment that ends before it is damaged)
// Cells that reach past the picture are cut off at its edge.
#include <algorithm>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"
#include "platform/byte_io.h"

namespace orbisto {

namespace {

constexpr std::uint32_t kPsegDescriptor = 0xD3A67B;
constexpr std::uint32_t kPsegCellPosition = 0xD3AC7B;
constexpr std::uint32_t kPsegRaster = 0xD3EE7B;
constexpr std::uint32_t kPsegEndImage = 0xD3A97B;

struct PsegField {
    std::uint32_t type = 0;
    std::uint64_t data = 0;  // offset of the data
    std::size_t size = 0;    // bytes of data
};

// The field at offset at; false at the end of the file or on a bad field.
bool pseg_field(FileSource& file, std::uint64_t at, PsegField& f) {
    std::uint8_t intro[9];
    if (file.read_at(at, intro, 9) != 9 || intro[0] != 0x5A) return false;
    const std::size_t length = std::size_t{intro[1]} << 8 | intro[2];
    if (length < 8 || at + 1 + length > file.size()) return false;
    f.type = std::uint32_t{intro[3]} << 16 | std::uint32_t{intro[4]} << 8 | intro[5];
    f.data = at + 9;
    f.size = length - 8;
    return true;
}

// Finds the image descriptor: width, height and the offset after it.
bool pseg_read_layout(FileSource& file, std::int64_t& width, std::int64_t& height,
                      std::uint64_t& after, std::string& error) {
    std::uint64_t at = 0;
    PsegField f;
    while (pseg_field(file, at, f)) {
        at = f.data + f.size;
        if (f.type != kPsegDescriptor) continue;
        std::vector<std::uint8_t> d;
        if (f.size < 22 || !file.read_exact(f.data, 22, d)) break;
        ByteReader r(d);
        r.seek(18);
        width = r.u16be();
        height = r.u16be();
        after = at;
        return picture_size_ok(width, height, error);
    }
    error = at == 0 ? "not a page segment" : "no image in the page segment";
    return false;
}

}  // namespace

bool read_pseg_header(FileSource& file, PictureHeader& header, std::string& error) {
    std::int64_t w = 0, h = 0;
    std::uint64_t after = 0;
    if (!pseg_read_layout(file, w, h, after, error)) return false;
    header.width = static_cast<std::int32_t>(w);
    header.height = static_cast<std::int32_t>(h);
    header.bits = 1;
    return true;
}

bool decode_pseg(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    std::int64_t w = 0, h = 0;
    std::uint64_t at = 0;
    if (!pseg_read_layout(file, w, h, at, error)) return false;
    if (!picture_allocate(p, w, h, 1, max_pixel_bytes, error)) return false;
    picture_set_colour(p, 0, 255, 255, 255);

    std::int64_t cell_x = 0, cell_y = 0, cell_w = w, cell_h = h;
    std::uint64_t cell_pos = 0;  // raster bytes of the current cell so far
    bool any_raster = false;
    bool ended = false;
    PsegField f;
    while (pseg_field(file, at, f)) {
        at = f.data + f.size;
        if (f.type == kPsegEndImage) {
            ended = true;
            break;
        }
        if (f.type == kPsegCellPosition) {
            std::vector<std::uint8_t> d;
            if (f.size < 8 || !file.read_exact(f.data, 8, d)) break;
            ByteReader r(d);
            cell_x = r.u16be();
            cell_y = r.u16be();
            cell_w = r.u16be();
            cell_h = r.u16be();
            cell_pos = 0;
            continue;
        }
        if (f.type != kPsegRaster) continue;
        std::vector<std::uint8_t> d;
        if (!file.read_exact(f.data, f.size, d)) break;
        any_raster = true;
        const std::uint64_t row_bytes = static_cast<std::uint64_t>(cell_w + 7) / 8;
        if (row_bytes == 0) continue;
        for (std::size_t i = 0; i < d.size(); ++i, ++cell_pos) {
            const std::int64_t y = cell_y + static_cast<std::int64_t>(cell_pos / row_bytes);
            const std::int64_t x0 = cell_x + static_cast<std::int64_t>(cell_pos % row_bytes) * 8;
            if (y >= cell_y + cell_h || y >= h) break;
            std::uint8_t* out = p.row_from_top(static_cast<std::int32_t>(y));
            for (int b = 0; b < 8; ++b) {
                const std::int64_t x = x0 + b;
                if (x < w && x < cell_x + cell_w) {
                    picture_put_index(out, 1, static_cast<std::size_t>(x), d[i] >> (7 - b));
                }
            }
        }
    }
    if (!any_raster || !ended) {
        error = any_raster ? "truncated image" : "no image data";
        return false;
    }
    return true;
}

}  // namespace orbisto
