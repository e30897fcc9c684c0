#include "output/number_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace orbisto {
namespace {

TEST(NumberText, CountsPlainAndGrouped) {
    struct Case {
        std::int64_t value;
        bool grouped;
        const char* text;
    };
    const Case cases[] = {
        {0, true, " 0"},  // a blank and a zero
        {1, true, "  1"},
        {999, true, "999"},
        {1000, true, "  1.000"},
        {12345, true, " 12.345"},
        {100000, true, "100.000"},
        {1000001, true, "  1.000.001"},
        {1234567, true, "  1.234.567"},
        {3000000000LL, true, "  3.000.000.000"},  // beyond 32 bits
        // Negative counts keep their sign instead of reading " 0".
        {-5, true, " -5"},
        {-123, true, "-123"},
        {-1234, true, " -1.234"},
        {std::numeric_limits<std::int64_t>::min(), true, " -9.223.372.036.854.775.808"},
        {0, false, "0"},
        {1234567, false, "1234567"},
        {-5, false, "-5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(count_text(c.value, c.grouped), c.text) << c.value << " grouped " << c.grouped;
    }
}

TEST(NumberText, SizesPlainGroupedAndAsPlayingTimes) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float max = std::numeric_limits<float>::max();
    struct Case {
        float kb;
        bool grouped;
        bool audio_cd;
        const char* text;
    };
    const Case cases[] = {
        {0.5f, true, false, "0,500"},  // below 1: no padding
        {1.5f, true, false, "  1,500"},
        {1234567.5f, true, false, "  1.234.567,500"},
        {0.0f, true, false, "0,000"},
        {1000.0f, true, false, "  1.000,000"},
        // Three decimals, rounded; a carry goes into the integer part, so
        // the fraction never has four digits and 1.3 (1.2999999 as a
        // float) does not read 1,299.
        {0.9999f, true, false, "  1,000"},
        {999.9996f, true, false, "  1.000,000"},
        {1.3f, true, false, "  1,300"},
        {0.0004f, true, false, "0,000"},
        {-0.0004f, true, false, "0,000"},
        // A deleted file (-1) and other negative sizes keep their sign.
        {-1.0f, true, false, " -1,000"},
        {-0.5f, true, false, "-0,500"},
        {-1234.25f, true, false, " -1.234,250"},
        // Far beyond any integer type: every digit, still grouped.
        {3e9f, true, false, "  3.000.000.000,000"},
        {max, true, false, "340.282.346.638.528.859.811.704.183.484.516.925.440,000"},
        {1.5f, false, false, "1.50"},
        {1234567.5f, false, false, "1234567.50"},
        {-1.0f, false, false, "-1.00"},
        // Audio CD: seconds as minutes and seconds, only when grouped.
        {125.0f, true, true, "2:05"},
        {0.0f, true, true, "0:00"},
        {59.9f, true, true, "0:59"},
        {3600.0f, true, true, "60:00"},
        {4e9f, true, true, "66666666:40"},  // beyond int: no overflow
        {-1.0f, true, true, "-0:01"},
        {-0.5f, true, true, "0:00"},
        {max, true, true, "5671372443975480996861736391408615424:00"},
        {125.0f, false, true, "125.00"},
        // A damaged value never prints "nan" or loops.
        {nan, true, false, "?"},
        {inf, true, false, "?"},
        {-inf, true, false, "?"},
        {nan, false, false, "?"},
        {inf, false, false, "?"},
        {nan, true, true, "?"},
        {-inf, true, true, "?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(size_text(c.kb, c.grouped, c.audio_cd), c.text)
            << c.kb << " grouped " << c.grouped << " audio " << c.audio_cd;
    }
}

}  // namespace
}  // namespace orbisto
