#include "output/number_text.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace orbisto {

namespace {

// The text of an unknown value: what a damaged record shows instead of
// "nan" or a never-ending grouping.
constexpr std::string_view kUnknown = "?";

// Decimal digits (no leading zeros, at least one non-zero) in groups of
// three from the right: the highest group with the sign and padded with
// blanks to three places, every lower one as ".ddd".
std::string grouped(std::string_view digits, bool negative) {
    const size_t head = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    std::string first = negative ? "-" : "";
    first += digits.substr(0, head);
    std::string out;
    if (first.size() < 3) out.assign(3 - first.size(), ' ');
    out += first;
    for (size_t i = head; i < digits.size(); i += 3) {
        out += '.';
        out += digits.substr(i, 3);
    }
    return out;
}

// The decimal digits of the integer part of a finite float's magnitude,
// exactly (printf writes a double's exact value, and every float is one).
std::string integer_digits(double magnitude) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", std::trunc(magnitude));
    return buf;
}

// Divides a decimal digit string by a small divisor in place (long
// division); returns the remainder. Leading zeros of the quotient are
// dropped, down to a single "0".
unsigned divide_digits(std::string& digits, unsigned divisor) {
    std::string quotient;
    unsigned rest = 0;
    for (char c : digits) {
        rest = rest * 10 + static_cast<unsigned>(c - '0');
        const char q = static_cast<char>('0' + rest / divisor);
        rest %= divisor;
        if (!quotient.empty() || q != '0') quotient += q;
    }
    digits = quotient.empty() ? "0" : quotient;
    return rest;
}

// A playing time in seconds as minutes and seconds; the fraction of a
// second is dropped.
std::string play_time_text(float seconds) {
    const double magnitude = std::fabs(static_cast<double>(seconds));
    std::string minutes = integer_digits(magnitude);
    const unsigned rest = divide_digits(minutes, 60);
    char tail[8];
    std::snprintf(tail, sizeof tail, ":%02u", rest);
    const bool negative = seconds < 0 && (minutes != "0" || rest != 0);
    return (negative ? "-" : "") + minutes + tail;
}

// A size with three decimals, rounded, the integer part grouped.
std::string grouped_size_text(float size_kb) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", std::fabs(static_cast<double>(size_kb)));
    const std::string_view text = buf;
    const size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = text.substr(point + 1);
    const bool zero = whole == "0" && fraction == "000";
    const bool negative = size_kb < 0 && !zero;
    std::string out;
    if (whole == "0") {
        out = negative ? "-0" : "0";
    } else {
        out = grouped(whole, negative);
    }
    out += ',';
    out += fraction;
    return out;
}

}  // namespace

std::string count_text(std::int64_t value, bool group_digits) {
    if (!group_digits) return std::to_string(value);
    if (value == 0) return " 0";
    // The magnitude as unsigned, so the lowest int64 has one as well.
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) magnitude = ~magnitude + 1;
    return grouped(std::to_string(magnitude), value < 0);
}

std::string size_text(float size_kb, bool group_digits, bool audio_cd) {
    if (!std::isfinite(size_kb)) return std::string(kUnknown);
    if (!group_digits) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.2f", static_cast<double>(size_kb));
        return buf;
    }
    if (audio_cd) return play_time_text(size_kb);
    return grouped_size_text(size_kb);
}

}  // namespace orbisto
