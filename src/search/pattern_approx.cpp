#include "search/pattern_approx.h"

#include <bitset>

namespace orbisto::pattern {
namespace {

// clang-format off
// Parser states of the token automaton.
enum State : uint8_t { kStart, kElement, kClassOpen, kClassNegated, kClassMember, kRangePending,
                       kStateCount, kError = 0xFF };

// Token kinds.
enum Token : uint8_t { tChar, tEscape, tAny, tStar, tOpen, tClose, tBraceOpen, tBraceClose,
                       tBar, tNegate, tDash, tEnd, kTokenCount };

enum Action : uint8_t {
    aError,
    aLiteral,     // new position for one byte
    aAnyByte,     // new position for every byte
    aStar,        // the next position repeats
    aIgnore,
    aClassOpen,
    aClassNegate,
    aMember,      // add one byte to the class
    aRangeStart,  // a '-' after a member
    aRangeEnd,    // close a range with this byte
    aClassClose,
    aDashClose,   // a '-' right before ']' is a member
    aBraceOpen,
    aBraceClose,
    aBar,
    aAccept,
};

struct Transition {
    State next;
    Action action;
};

constexpr Transition E{kError, aError};

// Rows: states; columns: tokens in the order of `Token`.
constexpr Transition kTable[kStateCount][kTokenCount] = {
    // start: an element must come first
    {{kElement, aLiteral}, {kElement, aLiteral}, {kElement, aAnyByte}, {kStart, aIgnore},
     {kClassOpen, aClassOpen}, {kElement, aLiteral}, {kStart, aBraceOpen},
     {kStart, aBraceClose}, E, {kElement, aLiteral}, {kElement, aLiteral}, E},
    // after an element
    {{kElement, aLiteral}, {kElement, aLiteral}, {kElement, aAnyByte}, {kElement, aStar},
     {kClassOpen, aClassOpen}, {kElement, aLiteral}, {kElement, aBraceOpen},
     {kElement, aBraceClose}, {kStart, aBar}, {kElement, aLiteral}, {kElement, aLiteral},
     {kElement, aAccept}},
    // class opened
    {{kClassMember, aMember}, {kClassMember, aMember}, {kClassMember, aMember},
     {kClassMember, aMember}, E, E, {kClassMember, aMember}, {kClassMember, aMember},
     {kClassMember, aMember}, {kClassNegated, aClassNegate}, E, E},
    // class negated
    {{kClassMember, aMember}, {kClassMember, aMember}, {kClassMember, aMember},
     {kClassMember, aMember}, E, E, {kClassMember, aMember}, {kClassMember, aMember},
     {kClassMember, aMember}, {kClassMember, aMember}, E, E},
    // class member
    {{kClassMember, aMember}, {kClassMember, aMember}, {kClassMember, aMember},
     {kClassMember, aMember}, E, {kElement, aClassClose}, {kClassMember, aMember},
     {kClassMember, aMember}, {kClassMember, aMember}, {kClassMember, aMember},
     {kRangePending, aRangeStart}, E},
    // range pending
    {{kClassMember, aRangeEnd}, {kClassMember, aRangeEnd}, {kClassMember, aRangeEnd},
     {kClassMember, aRangeEnd}, E, {kElement, aDashClose}, {kClassMember, aRangeEnd},
     {kClassMember, aRangeEnd}, {kClassMember, aRangeEnd}, {kClassMember, aRangeEnd},
     {kClassMember, aRangeEnd}, E},
};

// clang-format on

Token classify(char c) {
    switch (c) {
        case '\\':
            return tEscape;
        case '?':
            return tAny;
        case '*':
            return tStar;
        case '[':
            return tOpen;
        case ']':
            return tClose;
        case '{':
            return tBraceOpen;
        case '}':
            return tBraceClose;
        case '|':
            return tBar;
        case '^':
        case '!':
            return tNegate;
        case '-':
            return tDash;
        default:
            return tChar;
    }
}

unsigned char other_case(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    return c;
}

class Compiler {
  public:
    Compiler(ApproxPattern& out, bool ignore_case) : out_(out), ignore_case_(ignore_case) {}

    bool run(std::string_view src) {
        out_ = ApproxPattern{};
        out_.Table1.fill(~0u);
        State state = kStart;
        for (size_t i = 0; i <= src.size(); ++i) {
            Token tok = tEnd;
            unsigned char c = 0;
            if (i < src.size()) {
                c = static_cast<unsigned char>(src[i]);
                tok = classify(src[i]);
                if (tok == tEscape) {
                    if (i + 1 >= src.size()) return false;  // '\' at the very end
                    c = static_cast<unsigned char>(src[++i]);
                }
            }
            const Transition t = kTable[state][tok];
            if (t.next == kError || !act(t.action, c)) return false;
            if (t.action == aAccept) break;
            state = t.next;
        }
        if (in_braces_ || out_.positions == 0) return false;
        finish();
        return true;
    }

  private:
    bool act(Action a, unsigned char c) {
        switch (a) {
            case aError:
                return false;
            case aLiteral: {
                std::bitset<256> one;
                one.set(c);
                return add_position(one);
            }
            case aAnyByte:
                return add_position(std::bitset<256>().set());
            case aStar:
                star_pending_ = true;
                out_.has_star = true;
                return true;
            case aIgnore:
                return true;
            case aClassOpen:
                members_.reset();
                negated_ = false;
                return true;
            case aClassNegate:
                negated_ = true;
                return true;
            case aMember:
                members_.set(c);
                last_member_ = c;
                return true;
            case aRangeStart:
                return true;
            case aRangeEnd:
                for (unsigned v = last_member_; v <= c; ++v) members_.set(v);
                last_member_ = c;
                return true;
            case aDashClose:
                members_.set('-');
                return close_class();
            case aClassClose:
                return close_class();
            case aBraceOpen:
                if (in_braces_) return false;
                in_braces_ = true;
                return true;
            case aBraceClose:
                if (!in_braces_) return false;
                in_braces_ = false;
                return true;
            case aBar:
                if (in_braces_) return false;
                alternative_pending_ = true;
                return true;
            case aAccept:
                return true;
        }
        return false;
    }

    bool close_class() {
        std::bitset<256> accepted = members_;
        if (ignore_case_) {
            for (unsigned v = 0; v < 256; ++v) {
                if (members_.test(v)) accepted.set(other_case(static_cast<unsigned char>(v)));
            }
        }
        if (negated_) accepted.flip();
        return add_position(accepted, false);
    }

    bool add_position(std::bitset<256> accepted, bool fold = true) {
        if (out_.positions >= kMaxApproxPositions) return false;
        const int i = out_.positions++;
        const uint32_t bit = 1u << i;
        if (fold && ignore_case_) {
            for (unsigned v = 0; v < 256; ++v) {
                if (accepted.test(v)) accepted.set(other_case(static_cast<unsigned char>(v)));
            }
        }
        for (unsigned v = 0; v < 256; ++v) {
            if (accepted.test(v)) out_.Table1[v] &= ~bit;
        }
        if (i == 0 || alternative_pending_) out_.StartMask &= ~bit;
        if (star_pending_) out_.StarMask &= ~bit;
        if (in_braces_) out_.ExactMask |= bit;
        star_pending_ = false;
        alternative_pending_ = false;
        return true;
    }

    void finish() {
        for (size_t v = 0; v < 256; ++v) out_.Table2[v] = out_.Table1[v] | out_.StartMask;
        const uint32_t last = 1u << (out_.positions - 1);
        // Bit 31 is never a position; keep it set so it cannot signal a match.
        out_.FinalMask = ((out_.StartMask >> 1) | 0x80000000u) & ~last;
        out_.valid = true;
    }

    ApproxPattern& out_;
    bool ignore_case_;
    std::bitset<256> members_;
    bool negated_ = false;
    unsigned char last_member_ = 0;
    bool star_pending_ = false;
    bool alternative_pending_ = false;
    bool in_braces_ = false;
};

}  // namespace

bool compile_approx(ApproxPattern& out, std::string_view source, bool ignore_case) {
    Compiler compiler(out, ignore_case);
    if (compiler.run(source)) return true;
    out.valid = false;
    return false;
}

std::optional<size_t> find_approx(const ApproxPattern& p, std::string_view text, int max_errors,
                                  bool find_best, int& last_errors) {
    if (!p.valid) return std::nullopt;
    int k = max_errors < 0 ? 0 : (max_errors > kMaxApproxErrors ? kMaxApproxErrors : max_errors);
    std::array<uint32_t, kMaxApproxErrors + 1> r;
    r.fill(~0u);
    std::optional<size_t> best;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c == '\r' || c == '\n') c = ' ';
        uint32_t prev_old = 0;
        uint32_t prev_new = 0;
        for (int d = 0; d <= k; ++d) {
            const uint32_t old = r[static_cast<size_t>(d)];
            uint32_t now = ((old << 1) | p.Table1[c]) & p.Table2[c];
            if (d > 0) now &= (prev_new & ((prev_old & prev_new) << 1)) | p.ExactMask;
            if (p.has_star) now &= p.StarMask | old;
            r[static_cast<size_t>(d)] = now;
            if ((p.FinalMask | now) != ~0u) {
                last_errors = d;
                if (d == 0 || !find_best) return pos;
                best = pos;
                k = d - 1;  // only better matches from here on
                break;
            }
            prev_old = old;
            prev_new = now;
        }
    }
    return best;
}

}  // namespace orbisto::pattern
