// The RTF token reader and the text it keeps: groups on an explicit stack,
// destinations without body text skipped, control words and symbols turned
// into blanks, hyphens, line breaks and tabs, 8-bit characters read in the
// document's character set and \u characters with their fallback skipped.
#include "text/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/codepage.h"

namespace orbisto::rtf {

namespace {

// Groups deeper than this share the state of the deepest one kept; they
// are still counted so that the braces stay balanced.
constexpr std::size_t kMaxDepth = 256;
// A \ucN larger than this is taken as this.
constexpr std::int32_t kMaxFallback = 16;

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

Token Tokenizer::next() {
    Token t;
    while (pos_ < in_.size()) {
        const char c = in_[pos_++];
        switch (c) {
            case '{':
                t.kind = Token::Open;
                return t;
            case '}':
                t.kind = Token::Close;
                return t;
            case '\r':
            case '\n':
                continue;
            case '\\':
                break;
            default:
                t.kind = Token::Text;
                t.ch = static_cast<unsigned char>(c);
                return t;
        }
        if (pos_ >= in_.size()) break;  // a backslash ending the text
        const char d = in_[pos_];
        if (is_letter(d)) {
            const std::size_t start = pos_;
            while (pos_ < in_.size() && is_letter(in_[pos_])) ++pos_;
            t.kind = Token::Word;
            t.word = in_.substr(start, pos_ - start);
            bool negative = false;
            if (pos_ + 1 < in_.size() && in_[pos_] == '-' && is_digit(in_[pos_ + 1])) {
                negative = true;
                ++pos_;
            }
            std::int64_t value = 0;
            while (pos_ < in_.size() && is_digit(in_[pos_])) {
                t.has_param = true;
                value = std::min<std::int64_t>(value * 10 + (in_[pos_] - '0'), INT32_MAX);
                ++pos_;
            }
            t.param = static_cast<std::int32_t>(negative ? -value : value);
            if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting blank
            return t;
        }
        ++pos_;
        if (d == '\r' || d == '\n') {
            t.kind = Token::Word;
            t.word = "par";
            return t;
        }
        if (d == '\'') {
            if (pos_ + 1 < in_.size() && hex_digit_value(in_[pos_]) >= 0 &&
                hex_digit_value(in_[pos_ + 1]) >= 0) {
                t.kind = Token::Hex;
                t.ch = static_cast<unsigned char>(hex_digit_value(in_[pos_]) * 16 +
                                                  hex_digit_value(in_[pos_ + 1]));
                pos_ += 2;
                return t;
            }
            // A broken escape stands for nothing, its one hex digit with it.
            if (pos_ < in_.size() && hex_digit_value(in_[pos_]) >= 0) ++pos_;
            continue;
        }
        t.kind = Token::Symbol;
        t.ch = static_cast<unsigned char>(d);
        return t;
    }
    t.kind = Token::End;
    return t;
}

void Tokenizer::skip_bytes(std::size_t n) {
    pos_ += std::min(n, in_.size() - pos_);
}

namespace {

struct Group {
    bool skip = false;          // a destination without body text
    std::int32_t fallback = 1;  // characters after \uN standing in for it
};

class Reader {
  public:
    explicit Reader(std::string_view rtf) : tokens_(rtf) { stack_.push_back(Group{}); }
    Result run();

  private:
    std::size_t depth() const { return stack_.size() - 1 + overflow_; }
    void open();
    void close();
    void word(const Token& t);
    void character(std::string_view utf8);
    void code_point(char32_t cp);
    bool in_fallback();

    Tokenizer tokens_;
    std::vector<Group> stack_;
    std::size_t overflow_ = 0;  // groups beyond kMaxDepth
    Charset charset_ = Charset::Ansi;
    std::int32_t fallback_left_ = 0;
    char32_t high_surrogate_ = 0;
    std::optional<TableCheck> table_;
    std::size_t table_depth_ = 0;
    Result result_;
};

Result Reader::run() {
    while (true) {
        const Token t = tokens_.next();
        if (t.kind == Token::End) break;
        if (table_) {
            const std::size_t d = depth();
            const std::size_t rel = t.kind == Token::Open ? d + 1 - table_depth_ : d - table_depth_;
            table_->token(t, rel);
        }
        switch (t.kind) {
            case Token::Open:
                open();
                break;
            case Token::Close:
                close();
                break;
            case Token::Word:
                word(t);
                break;
            case Token::Symbol:
                if (in_fallback()) break;
                switch (t.ch) {
                    case '~':
                        character(" ");
                        break;
                    case '-':
                    case '_':
                        character("-");
                        break;
                    case '{':
                    case '}':
                    case '\\':
                        character(std::string_view(reinterpret_cast<const char*>(&t.ch), 1));
                        break;
                    case '*':
                        stack_.back().skip = true;
                        break;
                    default:
                        break;
                }
                break;
            case Token::Hex:
                if (!in_fallback()) character(charset_char(charset_, t.ch));
                break;
            case Token::Text:
                if (in_fallback()) break;
                if (t.ch == '\t') {
                    character("\t");
                } else if (t.ch >= 0x20) {
                    character(charset_char(charset_, t.ch));
                }
                break;
            case Token::End:
                break;
        }
    }
    if (table_) {
        table_->end_of_text();
        if (result_.error.empty()) result_.error = table_->error();
    }
    if (high_surrogate_ != 0) result_.text += '?';
    return std::move(result_);
}

void Reader::open() {
    fallback_left_ = 0;
    if (stack_.size() <= kMaxDepth) {
        stack_.push_back(stack_.back());
    } else {
        ++overflow_;
    }
}

void Reader::close() {
    fallback_left_ = 0;
    if (table_ && depth() == table_depth_) {
        table_->closed();
        if (result_.error.empty()) result_.error = table_->error();
        table_.reset();
    }
    if (overflow_ > 0) {
        --overflow_;
    } else if (stack_.size() > 1) {
        stack_.pop_back();
    }
    // A closing brace too many is passed over.
}

bool Reader::in_fallback() {
    if (fallback_left_ <= 0) return false;
    --fallback_left_;
    return true;
}

void Reader::word(const Token& t) {
    const WordInfo info = word_info(t.word);
    // Binary data is passed over wherever it stands.
    if (info.action == WordAction::Binary) {
        if (t.param > 0) tokens_.skip_bytes(static_cast<std::size_t>(t.param));
        return;
    }
    if (in_fallback()) return;
    Group& g = stack_.back();
    switch (info.action) {
        case WordAction::Destination:
            g.skip = true;
            break;
        case WordAction::FontTable:
        case WordAction::ColourTable:
        case WordAction::StyleSheet:
            g.skip = true;
            if (!table_) {
                table_.emplace(info.action == WordAction::FontTable     ? TableKind::Fonts
                               : info.action == WordAction::ColourTable ? TableKind::Colours
                                                                        : TableKind::Styles);
                table_depth_ = depth();
            }
            break;
        case WordAction::Char:
            code_point(info.ch);
            break;
        case WordAction::Charset:
            charset_ = info.charset;
            break;
        case WordAction::UnicodeSkip:
            g.fallback = std::clamp<std::int32_t>(t.param, 0, kMaxFallback);
            break;
        case WordAction::Unicode: {
            // The parameter is a signed 16-bit number.
            const std::int32_t v = t.param < 0 ? t.param + 65536 : t.param;
            code_point(v >= 0 && v <= 0xFFFF ? static_cast<char32_t>(v) : U'?');
            fallback_left_ = g.fallback;
            break;
        }
        default:
            break;
    }
}

void Reader::character(std::string_view utf8) {
    if (stack_.back().skip) return;
    if (high_surrogate_ != 0) {
        result_.text += '?';
        high_surrogate_ = 0;
    }
    result_.text += utf8;
}

void Reader::code_point(char32_t cp) {
    if (stack_.back().skip) return;
    if (cp >= 0xDC00 && cp <= 0xDFFF && high_surrogate_ != 0) {
        append_utf8(result_.text, 0x10000 + ((high_surrogate_ - 0xD800) << 10) + (cp - 0xDC00));
        high_surrogate_ = 0;
        return;
    }
    if (high_surrogate_ != 0) {
        result_.text += '?';
        high_surrogate_ = 0;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF) {
        high_surrogate_ = cp;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
        result_.text += '?';
    } else if (cp == 0) {
        return;
    } else {
        append_utf8(result_.text, cp);
    }
}

}  // namespace

Result read(std::string_view rtf) {
    return Reader(rtf).run();
}

}  // namespace orbisto::rtf
