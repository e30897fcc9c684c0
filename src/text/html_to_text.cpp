// HTML descriptions to plain text: comments, style sheets and scripts go,
// the text between tags stays, line breaks of <BR> tags are kept and the
// common character entities are replaced. Every step is one pass over the
// text.
//
// Declared in text/text_convert.h (one header for all converters, one file per markup).
#include <array>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

struct Entity {
    std::string_view name;  // without '&' and ';'
    unsigned char cp1252;
};

// The entities replaced, each by its Windows-1252 character.
constexpr std::array<Entity, 84> kEntities{{
    {"mdash", 0x97},  {"ndash", 0x96},  {"rsquo", 0x92},  {"bdquo", 0x84},  {"ldquo", 0x93},
    {"sbquo", 0x82},  {"lsquo", 0x91},  {"raquo", 0xBB},  {"laquo", 0xAB},  {"rsaquo", 0x9B},
    {"lsaquo", 0x8B}, {"rdquo", 0x94},  {"nbsp", ' '},    {"quot", '"'},    {"apos", '\''},
    {"gt", '>'},      {"lt", '<'},      {"amp", '&'},     {"auml", 0xE4},   {"ouml", 0xF6},
    {"uuml", 0xFC},   {"Auml", 0xC4},   {"Ouml", 0xD6},   {"Uuml", 0xDC},   {"szlig", 0xDF},
    {"copy", 0xA9},   {"shy", 0xAD},    {"Agrave", 0xC0}, {"Aacute", 0xC1}, {"Acirc", 0xC2},
    {"Atilde", 0xC3}, {"Aring", 0xC5},  {"AElig", 0xC6},  {"Ccedil", 0xC7}, {"Egrave", 0xC8},
    {"Eacute", 0xC9}, {"Ecirc", 0xCA},  {"Euml", 0xCB},   {"Igrave", 0xCC}, {"Iacute", 0xCD},
    {"Icirc", 0xCE},  {"Iuml", 0xCF},   {"ETH", 0xD0},    {"Ntilde", 0xD1}, {"Ograve", 0xD2},
    {"Oacute", 0xD3}, {"Ocirc", 0xD4},  {"Otilde", 0xD5}, {"Oslash", 0xD8}, {"Ugrave", 0xD9},
    {"Uacute", 0xDA}, {"Ucirc", 0xDB},  {"Yacute", 0xDD}, {"THORN", 0xDE},  {"agrave", 0xE0},
    {"aacute", 0xE1}, {"acirc", 0xE2},  {"atilde", 0xE3}, {"aring", 0xE5},  {"aelig", 0xE6},
    {"ccedil", 0xE7}, {"egrave", 0xE8}, {"eacute", 0xE9}, {"ecirc", 0xEA},  {"euml", 0xEB},
    {"igrave", 0xEC}, {"iacute", 0xED}, {"icirc", 0xEE},  {"iuml", 0xEF},   {"eth", 0xF0},
    {"ntilde", 0xF1}, {"ograve", 0xF2}, {"oacute", 0xF3}, {"ocirc", 0xF4},  {"otilde", 0xF5},
    {"oslash", 0xF8}, {"ugrave", 0xF9}, {"uacute", 0xFA}, {"ucirc", 0xFB},  {"yacute", 0xFD},
    {"thorn", 0xFE},  {"yuml", 0xFF},   {"#169", 0xA9},   {"middot", 0xB7},
}};

constexpr std::size_t kLongestEntity = 6;

// Removes every block from `open` to the end of `close` (markers upper case,
// found without regard to case). A block without its end stays, and the
// removal ends there.
void remove_blocks(std::string& text, std::string_view open, std::string_view close) {
    const std::string upper = upper_ascii(text);
    const std::string_view u(upper);
    std::size_t start = u.find(open);
    if (start == std::string_view::npos) return;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (start != std::string_view::npos) {
        const std::size_t end = u.find(close, start + open.size());
        if (end == std::string_view::npos) break;
        out.append(text, pos, start - pos);
        pos = end + close.size();
        start = u.find(open, pos);
    }
    out.append(text, pos);
    text = std::move(out);
}

bool is_br_tag(std::string_view tag) {
    if (tag.size() < 4) return false;
    if (tag[0] != '<' || (tag[1] | 0x20) != 'b' || (tag[2] | 0x20) != 'r') return false;
    // <BR>, and the <BR/> and <BR /> of XHTML
    const char after = tag[3];
    return after == '>' || after == '/' || after == ' ';
}

// The text between tags: from each '>' to the next '<', preceded by a blank,
// with CR LF when that next tag is a line break.
std::string text_between_tags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t gt = text.find('>');
    while (gt != std::string_view::npos) {
        const std::size_t lt = text.find('<', gt + 1);
        if (lt == std::string_view::npos) break;
        out += ' ';
        out.append(text.substr(gt + 1, lt - gt - 1));
        if (is_br_tag(text.substr(lt))) out += "\r\n";
        gt = text.find('>', lt + 1);
    }
    return out;
}

// Replaces the entities of the table in one pass.
void replace_entities(std::string& text, bool utf8) {
    if (text.find('&') == std::string::npos) return;
    text = ReplaceReferences(text, kLongestEntity, [utf8](std::string_view name, std::string& out) {
        for (const Entity& e : kEntities) {
            if (e.name != name) continue;
            const char byte = static_cast<char>(e.cp1252);
            out += utf8 ? cp1252_to_utf8(std::string_view(&byte, 1)) : std::string(1, byte);
            return true;
        }
        return false;
    });
}

}  // namespace

void HtmlToText(std::string& text) {
    const bool utf8 = IsUtf8Text(text);
    if (utf8) DropCutUtf8Tail(text);
    remove_blocks(text, "<!--", "-->");
    remove_blocks(text, "<STYLE", "/STYLE>");
    remove_blocks(text, "<SCRIPT", "/SCRIPT>");
    text = text_between_tags(text);
    replace_entities(text, utf8);
    NormaliseBlanks(text);
    NormaliseBlanks(text);
}

}  // namespace orbisto
