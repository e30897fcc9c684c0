// The RTF reader behind RtfToText: a token reader, the control words it
// knows, the 8-bit character sets, and the checks of the font table, colour
// table and style sheet that report malformed documents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbisto::rtf {

// ---- tokens ----

struct Token {
    enum Kind { End, Open, Close, Word, Symbol, Hex, Text };
    Kind kind = End;
    std::string_view word;  // Word: the letters
    bool has_param = false;
    std::int32_t param = 0;  // Word: the numeric parameter, saturated
    unsigned char ch = 0;    // Symbol: the character; Hex, Text: the byte
};

// Splits RTF into tokens. Line breaks of the source are dropped; a
// backslash before a line break is a paragraph mark.
class Tokenizer {
  public:
    explicit Tokenizer(std::string_view in) : in_(in) {}
    Token next();
    // Passes over n bytes of binary data (\binN), at most to the end.
    void skip_bytes(std::size_t n);

  private:
    std::string_view in_;
    std::size_t pos_ = 0;
};

// ---- control words and character sets ----

enum class Charset { Ansi, Mac, Pc, Pca };

enum class WordAction {
    Ignore,
    Destination,  // the group carries no body text
    FontTable,
    ColourTable,
    StyleSheet,
    Char,         // `ch` stands in the text
    Charset,      // selects `charset`
    Unicode,      // \uN
    UnicodeSkip,  // \ucN
    Binary,       // \binN
};

struct WordInfo {
    WordAction action = WordAction::Ignore;
    char32_t ch = 0;
    Charset charset = Charset::Ansi;
};

WordInfo word_info(std::string_view word);

// The UTF-8 form of an 8-bit character of a character set; "?" for a
// character that Windows-1252 does not have.
std::string_view charset_char(Charset set, unsigned char c);

// ---- the tables of the document header ----

enum class TableKind { Fonts, Colours, Styles };

// Follows the tokens inside one table group and keeps the first fault found.
// `depth` is the group depth relative to the table's own group (0 inside the
// table group, 1 inside an entry group); for Open it is the depth of the new
// group, for Close that of the group being closed.
class TableCheck {
  public:
    explicit TableCheck(TableKind kind) : kind_(kind) {}
    void token(const Token& t, std::size_t depth);
    void closed();       // the table group has ended
    void end_of_text();  // the text ended inside the table
    const std::string& error() const { return error_; }

  private:
    struct Style {
        std::uint64_t key;
        std::int64_t based_on;  // key, or -1
        std::string name;
    };
    void fail(std::string_view text);
    void font_token(const Token& t, std::size_t depth);
    void colour_token(const Token& t, std::size_t depth);
    void style_token(const Token& t, std::size_t depth);
    void end_font_entry();
    void check_style_loops();

    TableKind kind_;
    std::string error_;
    // font table: entries in braces or one after another
    enum class Format { Unknown, Braced, Plain } format_ = Format::Unknown;
    bool entry_open_ = false;
    bool entry_has_number_ = false;
    bool entry_named_ = false;  // ';' seen
    std::string entry_name_;
    // style sheet
    std::uint64_t style_key_ = 0;
    std::int64_t style_based_on_ = -1;
    std::vector<Style> styles_;
};

// The text of an RTF document as UTF-8, and the first fault found ("" when
// none).
struct Result {
    std::string text;
    std::string error;
};
Result read(std::string_view rtf);

}  // namespace orbisto::rtf
