// The control words the RTF reader acts on and the 8-bit character sets.
//
// Declared in text/rtf_reader.h (one header for the RTF reader, split by part).
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "text/rtf_reader.h"

namespace orbisto::rtf {

namespace {

struct WordEntry {
    std::string_view name;
    WordInfo info;
};

constexpr WordInfo dest{WordAction::Destination};
constexpr WordInfo chr(char32_t c) {
    return {WordAction::Char, c};
}
constexpr WordInfo charset(Charset s) {
    return {WordAction::Charset, 0, s};
}

// Sorted by name.
constexpr WordEntry kWords[] = {
    {"aftncn", dest},
    {"aftnsep", dest},
    {"aftnsepc", dest},
    {"annotation", dest},
    {"ansi", charset(Charset::Ansi)},
    {"atnauthor", dest},
    {"atndate", dest},
    {"atnid", dest},
    {"author", dest},
    {"bin", {WordAction::Binary}},
    {"bkmkend", dest},
    {"bkmkstart", dest},
    {"bullet", chr(0x2022)},
    {"buptim", dest},
    {"cell", chr('\t')},
    {"colorschememapping", dest},
    {"colortbl", {WordAction::ColourTable}},
    {"comment", dest},
    {"company", dest},
    {"creatim", dest},
    {"datafield", dest},
    {"datastore", dest},
    {"doccomm", dest},
    {"docvar", dest},
    {"emdash", chr(0x2014)},
    {"emspace", chr(' ')},
    {"endash", chr(0x2013)},
    {"enspace", chr(' ')},
    {"falt", dest},
    {"fchars", dest},
    {"filetbl", dest},
    {"fldinst", dest},
    {"fonttbl", {WordAction::FontTable}},
    {"footer", dest},
    {"footerf", dest},
    {"footerl", dest},
    {"footerr", dest},
    {"footnote", dest},
    {"ftncn", dest},
    {"ftnsep", dest},
    {"ftnsepc", dest},
    {"generator", dest},
    {"header", dest},
    {"headerf", dest},
    {"headerl", dest},
    {"headerr", dest},
    {"info", dest},
    {"keywords", dest},
    {"latentstyles", dest},
    {"lchars", dest},
    {"ldblquote", chr(0x201C)},
    {"levelnumbers", dest},
    {"leveltext", dest},
    {"line", chr('\n')},
    {"listoverridetable", dest},
    {"listtable", dest},
    {"lquote", chr(0x2018)},
    {"mac", charset(Charset::Mac)},
    {"nestcell", chr('\t')},
    {"nonshppict", dest},
    {"objclass", dest},
    {"objdata", dest},
    {"objname", dest},
    {"operator", dest},
    {"page", chr('\n')},
    {"panose", dest},
    {"par", chr('\n')},
    {"pc", charset(Charset::Pc)},
    {"pca", charset(Charset::Pca)},
    {"pgdsctbl", dest},
    {"pict", dest},
    {"pn", dest},
    {"pntxta", dest},
    {"pntxtb", dest},
    {"printim", dest},
    {"private", dest},
    {"qmspace", chr(' ')},
    {"rdblquote", chr(0x201D)},
    {"revtbl", dest},
    {"revtim", dest},
    {"row", chr('\n')},
    {"rquote", chr(0x2019)},
    {"rsidtbl", dest},
    {"rxe", dest},
    {"shpinst", dest},
    {"sn", dest},
    {"sp", dest},
    {"stylesheet", {WordAction::StyleSheet}},
    {"subject", dest},
    {"sv", dest},
    {"tab", chr('\t')},
    {"tc", dest},
    {"template", dest},
    {"themedata", dest},
    {"title", dest},
    {"txe", dest},
    {"u", {WordAction::Unicode}},
    {"uc", {WordAction::UnicodeSkip}},
    {"userprops", dest},
    {"xe", dest},
    {"xmlnstbl", dest},
};

// Unicode of the upper halves of the Macintosh character set and of code
// page 437.
constexpr std::array<char16_t, 128> kMacRoman{
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

constexpr std::array<char16_t, 128> kCp437{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

using Half = std::array<std::string, 128>;

// Keeps a character only when Windows-1252 has it.
std::string if_in_cp1252(char32_t cp) {
    std::string utf8;
    append_utf8(utf8, cp);
    return utf8_to_cp1252(utf8) ? utf8 : std::string("?");
}

Half make_half(Charset set) {
    Half half;
    for (int i = 0; i < 128; ++i) {
        const auto byte = static_cast<unsigned char>(0x80 + i);
        switch (set) {
            case Charset::Ansi: {
                const char b = static_cast<char>(byte);
                const std::string utf8 = cp1252_to_utf8(std::string_view(&b, 1));
                // the five unassigned bytes come back as C1 controls
                half[i] = (utf8.size() == 2 && utf8[0] == '\xC2' &&
                           static_cast<unsigned char>(utf8[1]) < 0xA0)
                              ? "?"
                              : utf8;
                break;
            }
            case Charset::Mac:
                half[i] = if_in_cp1252(kMacRoman[i]);
                break;
            case Charset::Pc:
                half[i] = if_in_cp1252(kCp437[i]);
                break;
            case Charset::Pca: {
                // The code page 850 conversion gives ASCII look-alikes for
                // what Windows-1252 lacks.
                const unsigned char b = oem850_to_cp1252(byte);
                const char c = static_cast<char>(b);
                half[i] = b < 0x80 ? "?" : cp1252_to_utf8(std::string_view(&c, 1));
                break;
            }
        }
    }
    return half;
}

}  // namespace

WordInfo word_info(std::string_view word) {
    static_assert(
        std::is_sorted(std::begin(kWords), std::end(kWords),
                       [](const WordEntry& a, const WordEntry& b) { return a.name < b.name; }));
    const auto* it =
        std::lower_bound(std::begin(kWords), std::end(kWords), word,
                         [](const WordEntry& e, std::string_view w) { return e.name < w; });
    if (it == std::end(kWords) || it->name != word) return {};
    return it->info;
}

std::string_view charset_char(Charset set, unsigned char c) {
    static const std::array<Half, 4> halves{make_half(Charset::Ansi), make_half(Charset::Mac),
                                            make_half(Charset::Pc), make_half(Charset::Pca)};
    static const std::array<std::string, 128> low = [] {
        std::array<std::string, 128> a;
        for (int i = 0; i < 128; ++i) a[i] = std::string(1, static_cast<char>(i));
        return a;
    }();
    if (c < 0x80) return low[c];
    return halves[static_cast<int>(set)][c - 0x80];
}

}  // namespace orbisto::rtf
