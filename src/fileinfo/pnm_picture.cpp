// Binary portable greymaps (P5) and pixmaps (P6): the magic, width, height
// and maxval as decimal numbers separated by white space (a '#' starts a
// comment to the end of its line), one white-space byte, then the samples
// top row first: one byte each for maxval up to 255, else two bytes, high
// byte first. Samples are scaled from 0..maxval to 0..255. Greymaps become
// 8-bit pictures with a grey palette, pixmaps 24-bit pictures.
#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"

namespace orbisto {

namespace {

struct PnmLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t maxval = 0;
    std::uint64_t pixel_offset = 0;
};

// The header is short; a longer one (a very long comment) is refused.
constexpr std::size_t kPnmHeaderLimit = 4096;

bool pnm_read_layout(FileSource& file, char magic, PnmLayout& l, std::string& error) {
    const std::vector<std::uint8_t> head = file.read(0, kPnmHeaderLimit);
    if (head.size() < 2 || head[0] != 'P' || head[1] != magic) {
        error = "not a binary portable map";
        return false;
    }
    std::size_t at = 2;
    std::uint64_t values[3] = {};
    for (std::uint64_t& value : values) {
        // White space and comments before the number.
        while (at < head.size()) {
            const char c = static_cast<char>(head[at]);
            if (c == '#') {
                while (at < head.size() && head[at] != '\n' && head[at] != '\r') ++at;
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
                ++at;
            } else {
                break;
            }
        }
        std::size_t digits = 0;
        while (at < head.size() && head[at] >= '0' && head[at] <= '9') {
            if (value < 1'000'000'000) value = value * 10 + (head[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || at >= head.size()) {
            error = "bad header";
            return false;
        }
    }
    // Exactly one white-space byte ends the header.
    const char end = static_cast<char>(head[at]);
    if (!(end == ' ' || end == '\t' || end == '\n' || end == '\r')) {
        error = "bad header";
        return false;
    }
    l.width = static_cast<std::int64_t>(values[0]);
    l.height = static_cast<std::int64_t>(values[1]);
    if (values[2] < 1 || values[2] > 65535) {
        error = "bad maxval";
        return false;
    }
    l.maxval = static_cast<std::uint32_t>(values[2]);
    l.pixel_offset = at + 1;
    return picture_size_ok(l.width, l.height, error);
}

bool pnm_decode(FileSource& file, char magic, Picture& p, std::size_t max_pixel_bytes,
                std::string& error) {
    PnmLayout l;
    if (!pnm_read_layout(file, magic, l, error)) return false;
    const bool colour = magic == '6';
    if (!picture_allocate(p, l.width, l.height, colour ? 24 : 8, max_pixel_bytes, error)) {
        return false;
    }
    if (!colour) picture_grey_palette(p);
    const std::size_t channels = colour ? 3 : 1;
    const std::size_t sample_bytes = l.maxval > 255 ? 2 : 1;
    const std::size_t samples = static_cast<std::size_t>(l.width) * channels;
    std::vector<std::uint8_t> line(samples * sample_bytes);
    PictureStream in(file, l.pixel_offset);
    for (std::int32_t y = 0; y < p.height; ++y) {
        if (!in.read(line.data(), line.size())) {
            error = "truncated pixel data";
            return false;
        }
        std::uint8_t* out = p.row_from_top(y);
        for (std::size_t i = 0; i < samples; ++i) {
            std::uint32_t v =
                sample_bytes == 2 ? std::uint32_t{line[i * 2]} << 8 | line[i * 2 + 1] : line[i];
            // A sample above maxval is taken as maxval.
            if (v > l.maxval) v = l.maxval;
            const auto s = static_cast<std::uint8_t>((v * 255 + l.maxval / 2) / l.maxval);
            // Pixmap samples are red, green, blue; stored blue first.
            const std::size_t d = colour ? i / 3 * 3 + (2 - i % 3) : i;
            out[d] = s;
        }
    }
    return true;
}

bool pnm_header(FileSource& file, char magic, PictureHeader& header, std::string& error) {
    PnmLayout l;
    if (!pnm_read_layout(file, magic, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = magic == '6' ? 24 : 8;
    return true;
}

}  // namespace

bool read_greymap_header(FileSource& file, PictureHeader& header, std::string& error) {
    return pnm_header(file, '5', header, error);
}
bool decode_greymap(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    return pnm_decode(file, '5', p, max_pixel_bytes, error);
}
bool read_pixmap_header(FileSource& file, PictureHeader& header, std::string& error) {
    return pnm_header(file, '6', header, error);
}
bool decode_pixmap(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    return pnm_decode(file, '6', p, max_pixel_bytes, error);
}

}  // namespace orbisto
