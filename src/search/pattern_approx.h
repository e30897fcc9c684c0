// The approximate (error-tolerant) search language: literal positions,
// '?', classes, '*' (the next position repeats), '{...}' (positions that must
// match without error) and '|' (alternatives), compiled into bit masks and
// matched bit-parallel with one state word per error count. Works on
// Windows-1252 bytes or on the characters of a text outside Windows-1252
// (see pattern_text.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace orbisto::pattern {

inline constexpr int kMaxApproxPositions = 31;
// Error counts beyond this are clamped; no pattern has more positions.
inline constexpr int kMaxApproxErrors = 31;

// What one position accepts among the characters of 256 and more, which
// the byte tables cannot hold.
struct WidePosition {
    bool any = false;                                   // '?'
    bool negated = false;                               // a class with '^' or '!'
    std::vector<std::pair<char32_t, char32_t>> ranges;  // members, both ends included
};

struct ApproxPattern {
    // Bit i (position i) cleared where the position accepts the byte.
    std::array<uint32_t, 256> Table1{};
    std::array<uint32_t, 256> Table2{};  // Table1 | StartMask
    uint32_t StartMask = ~0u;            // cleared: the first position of each alternative
    uint32_t StarMask = ~0u;             // cleared: positions that repeat
    uint32_t ExactMask = 0;              // set: positions that allow no error
    uint32_t FinalMask = ~0u;            // cleared: positions that end a match
    int positions = 0;
    bool has_star = false;
    bool valid = false;
    std::vector<WidePosition> wide;  // one per position
};

// Compiles `source`; false (and `out.valid` false) when the pattern is not
// well formed or has more than 31 positions. With `ignore_case` every
// accepted letter A-Z/a-z also accepts its other case.
bool compile_approx(ApproxPattern& out, std::string_view source, bool ignore_case);
bool compile_approx(ApproxPattern& out, std::u32string_view source, bool ignore_case);

// Looks for the pattern with at most `max_errors` errors. Returns the text
// position of the byte at which a match ends (with `find_best` the last one
// remembered while looking for fewer errors), nullopt when there is none.
// `last_errors` receives the error count of the reported match.
std::optional<size_t> find_approx(const ApproxPattern& pattern, std::string_view text,
                                  int max_errors, bool find_best, int& last_errors);
std::optional<size_t> find_approx(const ApproxPattern& pattern, std::u32string_view text,
                                  int max_errors, bool find_best, int& last_errors);

}  // namespace orbisto::pattern
