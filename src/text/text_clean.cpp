// The small text helpers of the description readers: the text test, the DOS
// code page, removal of characters, blanks, and the case-insensitive search.
//
// Declared in text/text_convert.h (one header for all converters and their helpers).
#include <algorithm>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "text/text_convert.h"

namespace orbisto {

namespace {

constexpr std::size_t kTextTestBytes = 2048;

bool is_continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Bytes a UTF-8 character starting with `lead` takes; 0 for a byte that
// cannot start a character of more than one byte.
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The length of `text` without a character cut off at its end, or the
// whole length when the end holds no such cut character.
std::size_t length_without_cut_tail(std::string_view text) {
    std::size_t start = text.size();
    for (int back = 0; back < 3 && start > 0; ++back) {
        if (!is_continuation(static_cast<unsigned char>(text[start - 1]))) break;
        --start;
    }
    if (start == 0) return text.size();
    const std::size_t lead_at = start - 1;
    const std::size_t need = sequence_length(static_cast<unsigned char>(text[lead_at]));
    if (need == 0 || text.size() - lead_at >= need) return text.size();
    return lead_at;
}

unsigned char fold_cp1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c == 0xE4 || c == 0xF6 || c == 0xFC) return static_cast<unsigned char>(c - 0x20);
    return c;
}

std::string fold(std::string_view s, bool utf8) {
    std::string out(s);
    if (utf8) {
        upper_german_inplace(out);
    } else {
        for (char& c : out) c = static_cast<char>(fold_cp1252(static_cast<unsigned char>(c)));
    }
    return out;
}

// The part in the encoding of the text, folded; `ok` is false when the part
// has no form in the text's encoding.
std::string folded_part(std::string_view part, bool text_utf8, bool& ok) {
    ok = true;
    const bool part_utf8 = is_valid_utf8(part);
    if (part_utf8 == text_utf8 || is_ascii(part)) return fold(part, text_utf8);
    if (text_utf8) return fold(cp1252_to_utf8(part), true);
    auto as_1252 = utf8_to_cp1252(part);
    if (!as_1252) {
        ok = false;
        return {};
    }
    return fold(*as_1252, false);
}

}  // namespace

bool LooksLikeText(std::string_view bytes) {
    const std::size_t n = std::min(bytes.size(), kTextTestBytes);
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 32 && c != '\r' && c != '\n' && c != '\t' && c != 0x1A) return false;
    }
    return true;
}

bool IsUtf8Text(std::string_view text) {
    return is_valid_utf8(text.substr(0, length_without_cut_tail(text)));
}

void DropCutUtf8Tail(std::string& text) {
    const std::size_t keep = length_without_cut_tail(text);
    if (keep < text.size() && is_valid_utf8(std::string_view(text).substr(0, keep))) {
        text.resize(keep);
    }
}

void OemToAnsiIfNeeded(std::string& text, bool umlaut) {
    if (!umlaut) return;
    static constexpr std::string_view kDosUmlauts("\x84\x94\x81\xE1\x8E\x99\x9A");
    if (text.find_first_of(kDosUmlauts) == std::string::npos) return;
    // UTF-8 sequences hold these bytes as continuation bytes: such a text is
    // not DOS text.
    if (IsUtf8Text(text)) return;
    text = oem850_to_cp1252(text);
}

void StripCharacter(std::string& text, char c) {
    std::erase(text, c);
}

void ApplyCleanUp(std::string& text, CleanUp set) {
    std::string_view chars;
    switch (set) {
        case CleanUp::Full:
            chars = " -_+&=*.~";
            break;
        case CleanUp::WithoutBlank:
            chars = "-_+&=*.~";
            break;
        case CleanUp::None:
            return;
    }
    std::erase_if(text, [chars](char c) { return chars.find(c) != std::string_view::npos; });
}

void NormaliseBlanks(std::string& text) {
    std::string out;
    out.reserve(text.size());
    int breaks = 0;           // line-break characters just written
    bool after_break = true;  // at the start or right after a line break
    bool blank_pending = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            if (out.empty()) continue;  // leading line breaks are dropped
            if (blank_pending) out += ' ';
            blank_pending = false;
            if (breaks < 2) out += c;
            ++breaks;
            after_break = true;
        } else if (c == ' ' || c == '\t') {
            if (!after_break) blank_pending = true;
        } else {
            if (blank_pending) out += ' ';
            blank_pending = false;
            out += c;
            breaks = 0;
            after_break = false;
        }
    }
    if (blank_pending) out += ' ';
    text = std::move(out);
}

std::size_t FindCI(std::string_view text, std::string_view part, std::size_t from) {
    if (from > text.size()) return std::string_view::npos;
    if (part.empty()) return from;
    const bool text_utf8 = is_valid_utf8(text);
    bool ok = false;
    const std::string p = folded_part(part, text_utf8, ok);
    if (!ok || p.size() > text.size() - from) return std::string_view::npos;
    const std::string t = fold(text, text_utf8);
    return std::string_view(t).find(p, from);
}

bool ContainsCI(std::string_view text, std::string_view part) {
    return FindCI(text, part) != std::string_view::npos;
}

bool EndsWithCI(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size()) return false;
    // The suffix is compared with the end of the text only, so the fold of
    // the text's tail needs the encoding of the whole text.
    const bool text_utf8 = is_valid_utf8(text);
    bool ok = false;
    const std::string s = folded_part(suffix, text_utf8, ok);
    if (!ok || s.size() > text.size()) return false;
    return fold(text.substr(text.size() - s.size()), text_utf8) == s;
}

bool EqualsCI(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && upper_german_ascii(static_cast<unsigned char>(a[i])) !=
                                upper_german_ascii(static_cast<unsigned char>(b[i]))) {
            // Bytes beyond ASCII: compare the folded texts (UTF-8 umlauts).
            return upper_german(a) == upper_german(b);
        }
    }
    return true;
}

}  // namespace orbisto
