// The text converters and tests used on description texts: HTML, XML and RTF
// to plain text, the DOS code page, blanks, the clean-up sets, the text test
// and the case-insensitive searches with German folding.
//
// The converters work in place on a byte string. Texts that are valid UTF-8
// stay UTF-8 (entities and escapes are then written as UTF-8); other texts are
// taken as Windows-1252 and get the Windows-1252 bytes (RTF, which declares
// its own character set, always gives UTF-8). `set_description_comment`
// (description_text.h) turns the result into the UTF-8 of the CommentPool.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orbisto {

class Frontend;

// True when every one of the first 2048 bytes is >= 32, CR, LF, TAB or
// Ctrl-Z; true for an empty text.
bool LooksLikeText(std::string_view bytes);

// With `umlaut` on: a text that holds any of the DOS umlaut bytes (0x84 0x94
// 0x81 0xE1 0x8E 0x99 0x9A) is converted from code page 850 to Windows-1252.
// A text that is valid UTF-8 beyond ASCII is left alone.
void OemToAnsiIfNeeded(std::string& text, bool umlaut);

// True when the text is valid UTF-8 apart from a character cut off at its
// very end (a file read up to a byte limit may end inside one).
bool IsUtf8Text(std::string_view text);
// Drops such a cut-off character from the end of a text that is otherwise
// valid UTF-8; any other text is left alone.
void DropCutUtf8Tail(std::string& text);

// Removes every byte c.
void StripCharacter(std::string& text, char c);

enum class CleanUp {
    Full,          // blank - _ + & = * . ~
    WithoutBlank,  // - _ + & = * . ~
    None,
};
void ApplyCleanUp(std::string& text, CleanUp set);

// Leading blanks and line breaks dropped, runs of blanks and tabs to one
// blank (none right after a line break), at most two line-break characters
// in a row.
void NormaliseBlanks(std::string& text);

// Case-insensitive search with the German folding (a-z, ä ö ü in UTF-8 and
// in Windows-1252). Each side is folded by its own encoding (valid UTF-8 or
// Windows-1252); when the two differ, the part is converted to the text's
// encoding first, so a UTF-8 file name is found in a Windows-1252 list.
// Offsets are byte offsets into `text`.
std::size_t FindCI(std::string_view text, std::string_view part, std::size_t from = 0);
bool ContainsCI(std::string_view text, std::string_view part);
bool EndsWithCI(std::string_view text, std::string_view suffix);
// Equal names apart from the case of a-z (file names on media from DOS come
// in any case).
bool EqualsCI(std::string_view a, std::string_view b);

// Replaces every "&name;" whose name (at most `longest` bytes) `replace`
// knows: replace(name, out) appends the replacement to out and returns true.
// Any other '&' stays as it is. One pass, so a replacement is never read
// again ("&amp;lt;" becomes "&lt;", not "<").
template <class Replace>
std::string ReplaceReferences(std::string_view t, std::size_t longest, Replace replace) {
    std::string out;
    out.reserve(t.size());
    std::size_t pos = 0;
    while (pos < t.size()) {
        const std::size_t amp = t.find('&', pos);
        if (amp == std::string_view::npos) break;
        out.append(t.substr(pos, amp - pos));
        pos = amp + 1;
        const std::size_t semi = t.substr(pos, longest + 1).find(';');
        if (semi == std::string_view::npos || !replace(t.substr(pos, semi), out)) {
            out += '&';
            continue;
        }
        pos += semi + 1;
    }
    out.append(t.substr(pos));
    return out;
}

void HtmlToText(std::string& text);
void XmlToText(std::string& text);
// The text of an RTF document, always as UTF-8 (8-bit characters of the
// document's character set that Windows-1252 lacks become '?'; \u
// characters are kept). Paragraph, line, row and page breaks become LF, tabs
// and table cells TAB. A malformed font table, colour table or style sheet
// is reported in one message box titled "RTF-Error"; the text is kept.
void RtfToText(Frontend& frontend, std::string& text);

}  // namespace orbisto
