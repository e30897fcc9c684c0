// The regular search language: a pattern compiled into a small byte code
// (at most 256 bytes) and run by a backtracking matcher at every start
// position of the text. For texts outside Windows-1252 the same code is made
// of 32-bit elements, one per byte of the byte form, so that it holds one
// character per literal (see pattern_text.h).
//
// Bound: one text may cost the matcher at most
// kRegularBaseSteps + kRegularStepsPerByte * (text length + 1) steps (a step
// is one code element tried or one backtracking position of '*' or '+').
// A pattern without '*' and '+' never needs that many, so the bound only
// stops patterns whose nested repetitions would backtrack for ages over a
// long text; such a text then counts as not matching.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "search/pattern_text.h"

namespace orbisto::pattern {

enum RegularOp : uint8_t {
    kReChar = 1,
    kReBol = 2,
    kReEol = 3,
    kReAny = 4,
    kReClass = 5,
    kReNotClass = 6,
    kReStar = 7,
    kRePlus = 8,
    kReMinus = 9,
    kReAlpha = 10,
    kReDigit = 11,
    kReAlnum = 12,
    kReWhite = 13,
    kReRange = 14,
    kReEnd = 15,
};

inline constexpr size_t kRegularCodeSize = 256;
inline constexpr uint64_t kRegularBaseSteps = 1'000'000;
inline constexpr uint64_t kRegularStepsPerByte = 256;

using StatusReport = std::function<void(std::string_view)>;

template <class Element>
struct BasicRegularProgram {
    std::array<Element, kRegularCodeSize> code{};
    size_t size = 0;      // elements of code in use
    bool usable = false;  // false after the code ran out of room
};
using RegularProgram = BasicRegularProgram<uint8_t>;
using WideRegularProgram = BasicRegularProgram<uint32_t>;

// Compiles `source`; members and literals are lowered through `lower`.
// Every problem is reported through `report` (when set) with the program's
// own messages, and compiling goes on with the next pattern character. When
// the code would pass 256 elements, "Pattern too complex\r\n" is reported,
// the compilation stops and the program matches nothing.
void compile_regular(RegularProgram& out, std::string_view source, const ByteTable& lower,
                     const StatusReport& report);
void compile_regular(WideRegularProgram& out, std::u32string_view source, const ByteTable& lower,
                     const StatusReport& report);

// True when the program matches `text` at some start position. Text
// characters are lowered through `lower`. An unknown code reports "Bad op
// code". Characters outside Windows-1252 count as white, like the bytes
// 128-255.
bool run_regular(const RegularProgram& program, std::string_view text, const ByteTable& lower,
                 const StatusReport& report);
bool run_regular(const WideRegularProgram& program, std::u32string_view text,
                 const ByteTable& lower, const StatusReport& report);

}  // namespace orbisto::pattern
