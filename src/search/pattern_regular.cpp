#include "search/pattern_regular.h"

#include <vector>

namespace orbisto::pattern {
namespace {

void say(const StatusReport& report, std::string_view text) {
    if (report) report(text);
}

struct ClassItem {
    uint32_t lo;
    uint32_t hi;
    bool single;
};

template <class Ch, class Element>
class RegularCompiler {
  public:
    RegularCompiler(BasicRegularProgram<Element>& out, std::basic_string_view<Ch> src,
                    const ByteTable& lower, const StatusReport& report)
        : out_(out), src_(src), lower_(lower), report_(report) {}

    void run() {
        out_ = BasicRegularProgram<Element>{};
        out_.usable = true;
        while (i_ < src_.size() && out_.usable) element();
        if (store(kReEnd)) store(0);
    }

  private:
    enum class Last { None, Anchor, Other };

    bool store(uint32_t b) {
        if (!out_.usable) return false;
        if (out_.size >= kRegularCodeSize) {
            say(report_, "Pattern too complex\r\n");
            out_.usable = false;
            return false;
        }
        out_.code[out_.size++] = static_cast<Element>(b);
        return true;
    }

    uint32_t low(Ch c) const { return folded(lower_, c); }

    void element() {
        const Ch c = src_[i_++];
        switch (char_value(c)) {
            case '*':
            case '+':
            case '-':
                if (last_ != Last::Other) {
                    say(report_, "Illegal occurrance op.");
                    return;
                }
                store(c == '*' ? kReStar : c == '+' ? kRePlus : kReMinus);
                store(kReEnd);
                return;
            case '^':
                store(kReBol);
                last_ = Last::Anchor;
                return;
            case '$':
                store(kReEol);
                last_ = Last::Anchor;
                return;
            case '.':
                store(kReAny);
                break;
            case '[':
                char_class();
                return;
            case ':':
                colon();
                return;
            case '\\':
                store(kReChar);
                store(i_ < src_.size() ? low(src_[i_++]) : low('\\'));
                break;
            default:
                store(kReChar);
                store(low(c));
                break;
        }
        last_ = Last::Other;
    }

    void colon() {
        if (i_ >= src_.size()) {
            say(report_, "No : type");
            store(kReChar);
            store(low(':'));
            last_ = Last::Other;
            return;
        }
        switch (char_value(src_[i_++])) {
            case 'a':
            case 'A':
                store(kReAlpha);
                break;
            case 'd':
            case 'D':
                store(kReDigit);
                break;
            case 'n':
            case 'N':
                store(kReAlnum);
                break;
            case ' ':
                store(kReWhite);
                break;
            default:
                say(report_, "Unknown : type");
                return;
        }
        last_ = Last::Other;
    }

    void char_class() {
        uint8_t op = kReClass;
        if (i_ < src_.size() && src_[i_] == '^') {
            op = kReNotClass;
            ++i_;
        }
        std::vector<ClassItem> items;
        bool closed = false;
        while (i_ < src_.size()) {
            const Ch c = src_[i_++];
            if (c == ']') {
                closed = true;
                break;
            }
            if (c == '\\') {
                if (i_ >= src_.size()) {
                    // Nothing follows: the class and the pattern end here.
                    say(report_, "Class terminates badly");
                    return;
                }
                const uint32_t v = low(src_[i_++]);
                items.push_back({v, v, true});
            } else if (c == '-' && !items.empty() && items.back().single && i_ < src_.size() &&
                       src_[i_] != ']') {
                items.back().hi = low(src_[i_++]);
                items.back().single = false;
            } else {
                const uint32_t v = low(c);
                items.push_back({v, v, true});
            }
        }
        if (!closed) say(report_, "Unterminated class");
        // A member byte equal to the range code is stored as a one-byte
        // range, so the matcher can never mistake it for a range.
        size_t count = 1;
        for (const ClassItem& it : items) count += (it.single && it.lo != kReRange) ? 1 : 3;
        if (count >= 256) {
            say(report_, "Class too large");
            return;
        }
        if (items.empty()) say(report_, "Empty class");
        store(op);
        store(static_cast<uint32_t>(count));
        for (const ClassItem& it : items) {
            if (it.single && it.lo != kReRange) {
                store(it.lo);
            } else {
                store(kReRange);
                store(it.lo);
                store(it.hi);
            }
        }
        last_ = Last::Other;
    }

    BasicRegularProgram<Element>& out_;
    std::basic_string_view<Ch> src_;
    const ByteTable& lower_;
    const StatusReport& report_;
    size_t i_ = 0;
    Last last_ = Last::None;
};

template <class Ch, class Element>
class RegularMatcher {
  public:
    RegularMatcher(const BasicRegularProgram<Element>& p, std::basic_string_view<Ch> text,
                   const ByteTable& lower, const StatusReport& report)
        : code_(p.code.data()),
          size_(p.size),
          text_(text),
          lower_(lower),
          report_(report),
          budget_(kRegularBaseSteps + kRegularStepsPerByte * (text.size() + 1)) {}

    bool run() {
        for (size_t start = 0; start < text_.size(); ++start) {
            if (match(0, start)) return true;
            if (stopped_) return false;
        }
        return false;
    }

  private:
    bool step() {
        if (budget_ == 0) stopped_ = true;
        if (stopped_) return false;
        --budget_;
        return true;
    }

    uint32_t at(size_t pos) const { return char_value(text_[pos]); }
    uint32_t lowered(size_t pos) const { return folded(lower_, text_[pos]); }

    bool match(size_t pc, size_t pos) {
        const size_t n = text_.size();
        while (pc < size_) {
            if (!step()) return false;
            const uint32_t op = code_[pc++];
            switch (op) {
                case kReEnd:
                    return true;
                case kReChar:
                    if (pos >= n || pc >= size_ || lowered(pos) != code_[pc]) return false;
                    ++pc;
                    ++pos;
                    break;
                case kReBol:
                    if (pos != 0) return false;
                    break;
                case kReEol:
                    if (pos != n) return false;
                    break;
                case kReAny:
                    if (pos >= n) return false;
                    ++pos;
                    break;
                case kReAlpha: {
                    if (pos >= n) return false;
                    const uint32_t c = lowered(pos++);
                    if (c < 'a' || c > 'z') return false;
                    break;
                }
                case kReDigit: {
                    if (pos >= n) return false;
                    const uint32_t c = at(pos++);
                    if (c < '0' || c > '9') return false;
                    break;
                }
                case kReAlnum: {
                    if (pos >= n) return false;
                    const uint32_t c = lowered(pos++);
                    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
                    break;
                }
                case kReWhite: {
                    if (pos >= n) return false;
                    // Not NUL and below 33 as a signed byte: controls, the
                    // blank and everything from 128 on.
                    const uint32_t c = at(pos++);
                    if (c == 0 || (c > ' ' && c < 128)) return false;
                    break;
                }
                case kReClass:
                case kReNotClass:
                    if (pos >= n || !char_class(op, pc, lowered(pos))) return false;
                    ++pos;
                    break;
                case kReMinus:
                    ++pc;  // its ENDPAT
                    break;
                case kReStar:
                case kRePlus:
                    ++pc;  // its ENDPAT
                    // Any run of characters, longest first.
                    for (size_t p = n + 1; p-- > pos;) {
                        if (match(pc, p)) return true;
                        if (stopped_) return false;
                    }
                    return false;
                default:
                    say(report_, "Bad op code");
                    stopped_ = true;
                    return false;
            }
        }
        return false;
    }

    // Tests `c` against the class whose count byte is at `pc` and moves `pc`
    // past it. Never reads beyond the code.
    bool char_class(uint32_t op, size_t& pc, uint32_t c) {
        if (pc >= size_) return false;
        const size_t count = code_[pc];
        size_t end = pc + (count == 0 ? 1 : count);
        if (end > size_) end = size_;
        bool found = false;
        size_t k = pc + 1;
        while (k < end) {
            if (code_[k] == kReRange && k + 2 < end) {
                if (c >= code_[k + 1] && c <= code_[k + 2]) found = true;
                k += 3;
            } else {
                if (c == code_[k]) found = true;
                ++k;
            }
        }
        pc = end;
        return (op == kReClass) == found;
    }

    const Element* code_;
    size_t size_;
    std::basic_string_view<Ch> text_;
    const ByteTable& lower_;
    const StatusReport& report_;
    uint64_t budget_;
    bool stopped_ = false;
};

}  // namespace

void compile_regular(RegularProgram& out, std::string_view source, const ByteTable& lower,
                     const StatusReport& report) {
    RegularCompiler<char, uint8_t>(out, source, lower, report).run();
}
void compile_regular(WideRegularProgram& out, std::u32string_view source, const ByteTable& lower,
                     const StatusReport& report) {
    RegularCompiler<char32_t, uint32_t>(out, source, lower, report).run();
}

bool run_regular(const RegularProgram& program, std::string_view text, const ByteTable& lower,
                 const StatusReport& report) {
    if (!program.usable || text.empty()) return false;
    return RegularMatcher<char, uint8_t>(program, text, lower, report).run();
}
bool run_regular(const WideRegularProgram& program, std::u32string_view text,
                 const ByteTable& lower, const StatusReport& report) {
    if (!program.usable || text.empty()) return false;
    return RegularMatcher<char32_t, uint32_t>(program, text, lower, report).run();
}

}  // namespace orbisto::pattern
