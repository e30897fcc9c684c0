// X bitmaps: C source text. "#define NAME_width W" and "#define NAME_height
// H" (other defines such as the hot spot are skipped), then an array of hex
// numbers: bytes ("char") of the X11 format, or 16-bit words ("short") of the
// X10 format. Each row starts a new byte or word; the lowest bit is the
// leftmost pixel, and a set bit is black (foreground). The picture is 1 bit
// per pixel with palette white, black. The defines must lie within the first
// 16 KB; the data may be as long as the size asks.
#include <cstring>
#include <string_view>

#include "fileinfo/picture_decoders.h"
#include "fileinfo/picture_support.h"

namespace orbisto {

namespace {

constexpr std::size_t kXbmHeaderLimit = 16384;

struct XbmLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    int unit_bits = 8;              // 16 for X10 bitmaps
    std::uint64_t data_offset = 0;  // just after the opening brace
};

// The number after "#define NAME_<suffix>" in text, or -1.
std::int64_t xbm_define(std::string_view text, std::string_view suffix) {
    std::size_t at = 0;
    while ((at = text.find("#define", at)) != std::string_view::npos) {
        at += 7;
        std::size_t i = at;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        const std::size_t name = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n') ++i;
        const std::string_view n = text.substr(name, i - name);
        if (n.size() < suffix.size() || n.substr(n.size() - suffix.size()) != suffix) continue;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        std::int64_t v = 0;
        std::size_t digits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (v < 1'000'000'000) v = v * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        return digits ? v : -1;
    }
    return -1;
}

bool xbm_read_layout(FileSource& file, XbmLayout& l, std::string& error) {
    const std::vector<std::uint8_t> head = file.read(0, kXbmHeaderLimit);
    const std::string_view text(reinterpret_cast<const char*>(head.data()), head.size());
    l.width = xbm_define(text, "_width");
    l.height = xbm_define(text, "_height");
    if (l.width < 0 || l.height < 0) {
        error = "not an X bitmap";
        return false;
    }
    const std::size_t brace = text.find('{');
    if (brace == std::string_view::npos) {
        error = "no bitmap data";
        return false;
    }
    const std::string_view decl = text.substr(0, brace);
    const std::size_t bits = decl.rfind("_bits");
    if (bits == std::string_view::npos) {
        error = "no bitmap data";
        return false;
    }
    const std::size_t line = decl.rfind('\n', bits);
    const std::string_view d = decl.substr(line == std::string_view::npos ? 0 : line + 1);
    l.unit_bits = d.find("short") != std::string_view::npos ? 16 : 8;
    l.data_offset = brace + 1;
    return picture_size_ok(l.width, l.height, error);
}

// The next hex number of the array; false at its end or on anything else.
bool xbm_next_value(PictureStream& in, unsigned& value) {
    int c = in.next();
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',') c = in.next();
    if (c != '0') return false;
    c = in.next();
    if (c != 'x' && c != 'X') return false;
    value = 0;
    int digits = 0;
    for (;;) {
        c = in.next();
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            break;
        }
        if (++digits > 4) return false;
        value = value << 4 | static_cast<unsigned>(d);
    }
    // The character after the number (a comma, space or brace) is consumed.
    return digits > 0;
}

}  // namespace

bool read_xbitmap_header(FileSource& file, PictureHeader& header, std::string& error) {
    XbmLayout l;
    if (!xbm_read_layout(file, l, error)) return false;
    header.width = static_cast<std::int32_t>(l.width);
    header.height = static_cast<std::int32_t>(l.height);
    header.bits = 1;
    return true;
}

bool decode_xbitmap(FileSource& file, Picture& p, std::size_t max_pixel_bytes, std::string& error) {
    XbmLayout l;
    if (!xbm_read_layout(file, l, error)) return false;
    if (!picture_allocate(p, l.width, l.height, 1, max_pixel_bytes, error)) return false;
    picture_set_colour(p, 0, 255, 255, 255);
    const auto width = static_cast<std::size_t>(l.width);
    const std::size_t units = (width + l.unit_bits - 1) / l.unit_bits;
    PictureStream in(file, l.data_offset);
    for (std::int32_t y = 0; y < p.height; ++y) {
        std::uint8_t* out = p.row_from_top(y);
        for (std::size_t u = 0; u < units; ++u) {
            unsigned v = 0;
            if (!xbm_next_value(in, v)) {
                error = "truncated bitmap data";
                return false;
            }
            for (int b = 0; b < l.unit_bits; ++b) {
                const std::size_t x = u * l.unit_bits + b;
                if (x < width) picture_put_index(out, 1, x, (v >> b) & 1);
            }
        }
    }
    return true;
}

}  // namespace orbisto
