#include "output/text_fields.h"

#include <cstdio>

#include "platform/codepage.h"

namespace orbisto {

namespace {

// Characters that break a line in some reader or that a terminal acts on.
bool is_breaking(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
}

}  // namespace

std::string tsv_field(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t n = decode_utf8_char(text, i, cp);
        if (n == 0) {
            out += text[i++];  // invalid UTF-8 is kept; it breaks no line
            continue;
        }
        if (cp == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;  // the LF that follows gives the one blank
            continue;
        }
        if (is_breaking(cp)) {
            out += ' ';
        } else {
            out.append(text, i, n);
        }
        i += n;
    }
    return out;
}

namespace {

bool is_bidi_control(char32_t cp) {
    return cp == 0x061C || cp == 0x200E || cp == 0x200F || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069);
}

}  // namespace

std::string terminal_field(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char buf[12];
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t n = decode_utf8_char(text, i, cp);
        if (n == 0) {
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned char>(text[i++]));
            out += buf;
            continue;
        }
        if (cp == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;  // the LF that follows gives the one blank
            continue;
        }
        if (cp == '\t' || cp == '\r' || cp == '\n') {
            out += ' ';
        } else if (cp < 0x20 || cp == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(cp));
            out += buf;
        } else if (is_breaking(cp) || is_bidi_control(cp)) {
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
            out += buf;
        } else {
            out.append(text, i, n);
        }
        i += n;
    }
    return out;
}

std::string json_string(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t n = decode_utf8_char(text, i, cp);
        if (n == 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            ++i;
            continue;
        }
        if (cp == '"' || cp == '\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\n') {
            out += "\\n";
        } else if (cp == '\r') {
            out += "\\r";
        } else if (cp == '\t') {
            out += "\\t";
        } else if (is_breaking(cp)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
            out += buf;
        } else {
            out.append(text, i, n);
        }
        i += n;
    }
    out += '"';
    return out;
}

}  // namespace orbisto
