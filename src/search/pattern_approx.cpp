#include "search/pattern_approx.h"

#include <bitset>

#include "search/pattern_text.h"

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

Token classify(uint32_t c) {
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

    template <class Ch>
    bool run(std::basic_string_view<Ch> src) {
        out_ = ApproxPattern{};
        out_.Table1.fill(~0u);
        State state = kStart;
        for (size_t i = 0; i <= src.size(); ++i) {
            Token tok = tEnd;
            uint32_t c = 0;
            if (i < src.size()) {
                c = char_value(src[i]);
                tok = classify(c);
                if (tok == tEscape) {
                    if (i + 1 >= src.size()) return false;  // '\' at the very end
                    c = char_value(src[++i]);
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
    bool act(Action a, uint32_t c) {
        switch (a) {
            case aError:
                return false;
            case aLiteral: {
                std::bitset<256> one;
                if (c < 256) one.set(c);
                WidePosition wide;
                wide.ranges.emplace_back(c, c);
                return add_position(one, std::move(wide));
            }
            case aAnyByte: {
                WidePosition wide;
                wide.any = true;
                return add_position(std::bitset<256>().set(), std::move(wide));
            }
            case aStar:
                star_pending_ = true;
                out_.has_star = true;
                return true;
            case aIgnore:
                return true;
            case aClassOpen:
                members_.reset();
                member_ranges_.clear();
                negated_ = false;
                return true;
            case aClassNegate:
                negated_ = true;
                return true;
            case aMember:
                if (c < 256) members_.set(c);
                member_ranges_.emplace_back(c, c);
                last_member_ = c;
                return true;
            case aRangeStart:
                return true;
            case aRangeEnd:
                for (uint32_t v = last_member_; v <= c && v < 256; ++v) members_.set(v);
                member_ranges_.emplace_back(last_member_, c);
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
        WidePosition wide;
        wide.negated = negated_;
        wide.ranges = std::move(member_ranges_);
        member_ranges_.clear();
        return add_position(accepted, std::move(wide), false);
    }

    bool add_position(std::bitset<256> accepted, WidePosition wide, bool fold = true) {
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
        out_.wide.push_back(std::move(wide));
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
    std::vector<std::pair<char32_t, char32_t>> member_ranges_;
    bool negated_ = false;
    uint32_t last_member_ = 0;
    bool star_pending_ = false;
    bool alternative_pending_ = false;
    bool in_braces_ = false;
};

template <class Ch>
bool compile(ApproxPattern& out, std::basic_string_view<Ch> source, bool ignore_case) {
    Compiler compiler(out, ignore_case);
    if (compiler.run(source)) return true;
    out.valid = false;
    return false;
}

bool accepts(const WidePosition& w, char32_t c) {
    if (w.any) return true;
    bool member = false;
    for (const auto& [lo, hi] : w.ranges) member = member || (lo <= c && c <= hi);
    return member != w.negated;
}

// Table1 of a character: the byte table, or for a character of 256 and more
// the positions that accept it.
uint32_t table1(const ApproxPattern& p, char c) {
    return p.Table1[static_cast<unsigned char>(c)];
}
uint32_t table1(const ApproxPattern& p, char32_t c) {
    if (c < 256) return p.Table1[c];
    uint32_t mask = ~0u;
    for (size_t i = 0; i < p.wide.size(); ++i) {
        if (accepts(p.wide[i], c)) mask &= ~(1u << i);
    }
    return mask;
}

template <class Ch>
std::optional<size_t> find(const ApproxPattern& p, std::basic_string_view<Ch> text, int max_errors,
                           bool find_best, int& last_errors) {
    if (!p.valid) return std::nullopt;
    int k = max_errors < 0 ? 0 : (max_errors > kMaxApproxErrors ? kMaxApproxErrors : max_errors);
    std::array<uint32_t, kMaxApproxErrors + 1> r;
    r.fill(~0u);
    std::optional<size_t> best;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        Ch c = text[pos];
        if (c == '\r' || c == '\n') c = ' ';
        const uint32_t t1 = table1(p, c);
        const uint32_t t2 = t1 | p.StartMask;
        uint32_t prev_old = 0;
        uint32_t prev_new = 0;
        for (int d = 0; d <= k; ++d) {
            const uint32_t old = r[static_cast<size_t>(d)];
            uint32_t now = ((old << 1) | t1) & t2;
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

}  // namespace

bool compile_approx(ApproxPattern& out, std::string_view source, bool ignore_case) {
    return compile(out, source, ignore_case);
}
bool compile_approx(ApproxPattern& out, std::u32string_view source, bool ignore_case) {
    return compile(out, source, ignore_case);
}

std::optional<size_t> find_approx(const ApproxPattern& p, std::string_view text, int max_errors,
                                  bool find_best, int& last_errors) {
    return find(p, text, max_errors, find_best, last_errors);
}
std::optional<size_t> find_approx(const ApproxPattern& p, std::u32string_view text, int max_errors,
                                  bool find_best, int& last_errors) {
    return find(p, text, max_errors, find_best, last_errors);
}

}  // namespace orbisto::pattern
