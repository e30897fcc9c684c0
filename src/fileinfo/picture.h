// A decoded picture and the decoders of the picture formats that the
// general image reader knows. A decoder reads a file's header (size and
// bits per pixel) cheaply, and decodes palette and rows only when a
// thumbnail is wanted, within a byte budget for the pixel rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto {

class FileSource;

// Width × height pixels of `bits` per pixel (1, 4, 8, 24 or 32). Rows are
// stored bottom row first, each padded to a multiple of 4 bytes. Pixels of
// 24 and 32 bits are blue, green, red (and a fourth byte); pictures of up
// to 8 bits index the palette, 4 bytes per entry (blue, green, red, 0).
struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 0;
    std::vector<std::uint8_t> palette;
    std::vector<std::uint8_t> pixels;

    // Bytes of one stored row.
    std::size_t stride() const { return row_bytes(width, bits); }
    static std::size_t row_bytes(std::int32_t width, int bits) {
        return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    }
    // Sets the size and allocates palette (for up to 8 bits) and rows.
    void allocate(std::int32_t w, std::int32_t h, int b);
    // The first byte of row y counted from the top of the picture.
    std::uint8_t* row_from_top(std::int32_t y) {
        return pixels.data() + static_cast<std::size_t>(height - 1 - y) * stride();
    }
};

// What a header says.
struct PictureHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 0;  // 1, 4, 8, 24 or 32
};

// The largest pixel area a decoder may allocate when no limit is set.
inline constexpr std::size_t kPictureMemoryCeiling = std::size_t{512} << 20;

// One format of the general image reader.
struct PictureFormat {
    const char* name;       // shown in the information text: "Bitmap", "GIF", ...
    const char* long_name;  // "OS/2 1.1, 1.2, 2.0 / Windows 3.0 bitmap", ...
    std::initializer_list<const char*> extensions;  // upper case, without the dot
    // Reads the header; false with a reason in error when the file is not
    // readable as this format.
    bool (*read_header)(FileSource& file, PictureHeader& header, std::string& error);
    // Decodes palette and rows into picture; false with a reason when the
    // file is damaged or its rows would need more than max_pixel_bytes.
    bool (*decode)(FileSource& file, Picture& picture, std::size_t max_pixel_bytes,
                   std::string& error);
};

// The format the general image reader takes for a file extension (without
// its dot, any case); null when none.
const PictureFormat* picture_format_for(std::string_view extension);
// Every format, in the order of the table.
std::span<const PictureFormat> picture_formats();

}  // namespace orbisto
