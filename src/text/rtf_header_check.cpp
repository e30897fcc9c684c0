// Checks of the font table, colour table and style sheet of an RTF document.
// Their contents are not needed for the text; a malformed table is reported
// because the rest of such a document is often damaged too.
//
// Declared in text/rtf_reader.h (one header for the RTF reader, split by part).
#include <string>
#include <string_view>
#include <unordered_map>

#include "text/rtf_reader.h"

namespace orbisto::rtf {

namespace {

bool is_blank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool only_blanks(std::string_view s) {
    for (const char c : s) {
        if (!is_blank(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// Style numbers of paragraph, character, section and table styles are
// counted separately.
std::uint64_t style_key(int type, std::int32_t number) {
    return (std::uint64_t(type) << 32) | std::uint32_t(number);
}

int style_type(std::string_view word) {
    if (word == "s") return 1;
    if (word == "cs") return 2;
    if (word == "ds") return 3;
    if (word == "ts") return 4;
    return 0;
}

}  // namespace

void TableCheck::fail(std::string_view text) {
    if (error_.empty()) error_ = text;
}

void TableCheck::token(const Token& t, std::size_t depth) {
    switch (kind_) {
        case TableKind::Fonts:
            font_token(t, depth);
            break;
        case TableKind::Colours:
            colour_token(t, depth);
            break;
        case TableKind::Styles:
            style_token(t, depth);
            break;
    }
}

void TableCheck::end_font_entry() {
    if (!entry_open_) return;
    entry_open_ = false;
    if (!entry_has_number_) {
        fail("FTErr - missing font number");
    } else if (only_blanks(entry_name_)) {
        fail("FTErr - missing font name");
    }
}

void TableCheck::font_token(const Token& t, std::size_t depth) {
    const auto begin_entry = [this] {
        entry_open_ = true;
        entry_has_number_ = false;
        entry_named_ = false;
        entry_name_.clear();
    };
    const bool is_f = t.kind == Token::Word && t.word == "f";
    if (t.kind == Token::Open && depth == 1) {
        if (format_ == Format::Unknown) format_ = Format::Braced;
        if (format_ == Format::Braced) begin_entry();
        return;
    }
    if (format_ == Format::Braced && depth == 1) {
        if (is_f && !t.has_param) fail("FTErr - missing font number");
        if (is_f && t.has_param) entry_has_number_ = true;
        if (t.kind == Token::Text || t.kind == Token::Hex) {
            if (t.ch == ';' && t.kind == Token::Text) {
                entry_named_ = true;
            } else if (!entry_named_) {
                entry_name_ += static_cast<char>(t.ch);
            }
        }
        if (t.kind == Token::Close) end_font_entry();
        return;
    }
    // deeper groups: alternative names, panose numbers and the like
    if (depth != 0) return;
    switch (t.kind) {
        case Token::Word:
            if (!is_f) return;
            if (format_ == Format::Unknown) format_ = Format::Plain;
            if (format_ == Format::Braced) {
                fail("FTErr - missing \"{\"");
                return;
            }
            end_font_entry();
            begin_entry();
            entry_has_number_ = t.has_param;
            return;
        case Token::Text:
        case Token::Hex:
            if (t.kind == Token::Text && is_blank(t.ch)) return;
            if (format_ == Format::Unknown) {
                fail("FTErr - Cannot determine format");
            } else if (format_ == Format::Braced) {
                fail("FTErr - missing \"{\"");
            } else if (!entry_open_) {
                fail("FTErr - missing font number");
            } else if (t.kind == Token::Text && t.ch == ';') {
                end_font_entry();
            } else {
                entry_name_ += static_cast<char>(t.ch);
            }
            return;
        default:
            return;
    }
}

void TableCheck::colour_token(const Token& t, std::size_t depth) {
    if (depth != 0) return;
    if (t.kind == Token::Hex || (t.kind == Token::Text && t.ch != ';' && !is_blank(t.ch))) {
        fail("CTErr - malformed entry");
    }
}

void TableCheck::style_token(const Token& t, std::size_t depth) {
    if (depth == 0) {
        if (t.kind == Token::Hex || (t.kind == Token::Text && !is_blank(t.ch))) {
            fail("SSErr - missing \"{\"");
        }
        return;
    }
    if (depth != 1) return;
    switch (t.kind) {
        case Token::Open:
            entry_open_ = true;
            entry_named_ = false;
            entry_name_.clear();
            style_key_ = style_key(1, 0);
            style_based_on_ = -1;
            return;
        case Token::Word: {
            const int type = style_type(t.word);
            const bool numbered = type != 0 || t.word == "sbasedon" || t.word == "snext";
            if (numbered && !t.has_param) {
                fail("SSErr - missing style number");
                return;
            }
            if (type != 0) style_key_ = style_key(type, t.param);
            if (t.word == "sbasedon") {
                style_based_on_ = static_cast<std::int64_t>(style_key(0, t.param));
            }
            return;
        }
        case Token::Text:
        case Token::Hex:
            if (t.kind == Token::Text && t.ch == ';') {
                entry_named_ = true;
            } else if (!entry_named_) {
                entry_name_ += static_cast<char>(t.ch);
            }
            return;
        case Token::Close: {
            if (!entry_open_) return;
            entry_open_ = false;
            if (!entry_named_) {
                fail("SSErr - missing style name");
                return;
            }
            // a base style is of the entry's own type
            std::int64_t base = style_based_on_;
            if (base >= 0) base |= static_cast<std::int64_t>(style_key_ & 0xFFFFFFFF00000000ULL);
            const std::size_t first = entry_name_.find_first_not_of(" \t\r\n");
            std::string name = first == std::string::npos ? "" : entry_name_.substr(first);
            if (name.empty()) name = "Normal";
            styles_.push_back({style_key_, base, std::move(name)});
            return;
        }
        default:
            return;
    }
}

void TableCheck::check_style_loops() {
    // Follows each chain of base styles once: 1 = on the chain being
    // followed, 2 = known to end.
    std::unordered_map<std::uint64_t, std::size_t> by_key;
    for (std::size_t i = 0; i < styles_.size(); ++i) by_key[styles_[i].key] = i;
    std::vector<char> state(styles_.size(), 0);
    std::vector<std::size_t> chain;
    for (std::size_t start = 0; start < styles_.size(); ++start) {
        chain.clear();
        std::size_t i = start;
        while (true) {
            if (state[i] == 2) break;
            if (state[i] == 1) {
                fail("Style expansion loop, style " + styles_[i].name);
                break;
            }
            state[i] = 1;
            chain.push_back(i);
            if (styles_[i].based_on < 0) break;
            const auto next = by_key.find(static_cast<std::uint64_t>(styles_[i].based_on));
            if (next == by_key.end()) break;
            i = next->second;
        }
        for (const std::size_t c : chain) state[c] = 2;
    }
}

void TableCheck::closed() {
    if (kind_ == TableKind::Styles) check_style_loops();
}

void TableCheck::end_of_text() {
    switch (kind_) {
        case TableKind::Fonts:
            fail("FTErr - missing \"}\"");
            break;
        case TableKind::Colours:
            fail("CTErr - malformed entry");
            break;
        case TableKind::Styles:
            fail("SSErr - missing \"}\"");
            break;
    }
}

}  // namespace orbisto::rtf
