// XML descriptions to plain text: the content of <Program> elements (the
// description files of software directories), else the paragraphs of an
// office document's content, tags removed.
//
// Declared in text/text_convert.h (one header for all converters, one file per markup).
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

// True when a name that was matched ends at `at`, so that "<text:p" does not
// stand for "<text:page-number".
bool name_ends(std::string_view text, std::size_t at) {
    if (at >= text.size()) return false;
    const char c = text[at];
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Appends the text with every tag removed; an unclosed tag drops the rest.
void append_without_tags(std::string& out, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lt = text.find('<', pos);
        out.append(text.substr(pos, lt == std::string_view::npos ? lt : lt - pos));
        if (lt == std::string_view::npos) return;
        const std::size_t gt = text.find('>', lt + 1);
        if (gt == std::string_view::npos) return;
        pos = gt + 1;
    }
}

// The content of every element `name` (upper case; matched without regard to
// case), each preceded by a blank. An element without its end tag takes the
// rest of the text.
std::string element_texts(std::string_view text, std::string_view name) {
    const std::string upper = upper_ascii(text);
    const std::string_view u(upper);
    const std::string open = "<" + std::string(name);
    const std::string close = "</" + std::string(name);
    std::string out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t start = u.find(open, pos);
        if (start == std::string_view::npos) break;
        if (!name_ends(u, start + open.size())) {
            pos = start + 1;
            continue;
        }
        const std::size_t gt = u.find('>', start);
        if (gt == std::string_view::npos) break;
        pos = gt + 1;
        if (u[gt - 1] == '/') continue;  // an empty element
        const std::size_t end = u.find(close, pos);
        out += ' ';
        if (end == std::string_view::npos) {
            append_without_tags(out, text.substr(pos));
            break;
        }
        append_without_tags(out, text.substr(pos, end - pos));
        pos = end + close.size();
    }
    return out;
}

bool only_whitespace(std::string_view s) {
    return s.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// A two-byte UTF-8 sequence of U+00C0..U+00FF left in a text that is not
// UTF-8 as a whole becomes its single Windows-1252 byte.
std::string repair_utf8_pairs(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0xC3 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0xBF) {
                out += static_cast<char>(next | 0x40);
                ++i;
                continue;
            }
        }
        out += static_cast<char>(c);
    }
    return out;
}

void append_code_point(std::string& out, unsigned long cp, bool utf8) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        out += '?';
        return;
    }
    std::string enc;
    append_utf8(enc, cp);
    if (utf8) {
        out += enc;
    } else {
        const auto byte = utf8_to_cp1252(enc);
        out += byte ? *byte : std::string("?");
    }
}

// The value of a character reference name ("#228", "#xE4"); false when it
// is none.
bool character_reference(std::string_view name, unsigned long& cp) {
    if (name.size() < 2 || name[0] != '#') return false;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) return false;
    cp = 0;
    for (const char c : digits) {
        const int d = hex_digit_value(c);
        if (d < 0 || (!hex && d > 9)) return false;
        cp = cp * (hex ? 16 : 10) + static_cast<unsigned long>(d);
    }
    return true;
}

// The five predefined entities and character references, in one pass.
std::string replace_references(std::string_view t, bool utf8) {
    static constexpr struct {
        std::string_view name;
        char c;
    } kPredefined[] = {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    return ReplaceReferences(t, 10, [utf8](std::string_view name, std::string& out) {
        for (const auto& p : kPredefined) {
            if (p.name == name) {
                out += p.c;
                return true;
            }
        }
        unsigned long cp = 0;
        if (!character_reference(name, cp)) return false;
        append_code_point(out, cp, utf8);
        return true;
    });
}

}  // namespace

void XmlToText(std::string& text) {
    const bool utf8 = IsUtf8Text(text);
    if (utf8) DropCutUtf8Tail(text);
    std::string out = element_texts(text, "PROGRAM");
    if (only_whitespace(out)) out = element_texts(text, "TEXT:P");
    // A text that is not UTF-8 as a whole may still hold UTF-8 pairs of the
    // Latin-1 letters (a document pieced together from two sources).
    if (!utf8) out = repair_utf8_pairs(out);
    text = replace_references(out, utf8);
}

}  // namespace orbisto
