// Rounding, STR, STRZERO and VAL against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "rt/fmt/fmt.h"

namespace {

TEST(Round, HalfAwayFromZeroWithGuard) {
    const struct { double v; int dec; double want; } cases[] = {
        {2.675, 2, 2.68},          // stored as 2.67499999…: the guard makes it 2.675
        {-2.5, 0, -3.0},           {2.5, 0, 3.0},             // not to even
        {1234.5678, -2, 1200.0},   {1250.0, -2, 1300.0},      {0.004, 2, 0.0},
        {-0.005, 2, -0.01},        {9.995, 2, 10.0},
        {1.15 * 3, 1, 3.5},        // 3.4499999999999997 counts as 3.45
        {123456789012.345, 2, 123456789012.35},               // beyond 15 digits: no guard damage
        {99999999999.995, 2, 100000000000.0},                 {1e20, 2, 1e20},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::ROUND(c.v, c.dec), c.want) << "ROUND(" << c.v << ", " << c.dec << ")";
    EXPECT_FALSE(std::signbit(rt::ROUND(-0.001, 2)));   // no negative zero
    EXPECT_EQ(rt::INT(-2.9), -2.0);
    EXPECT_EQ(rt::INT(0.29 * 100), 28.0);  // 28.999999999999996: INT does not round
    EXPECT_FALSE(std::signbit(rt::INT(-0.5)));
}

struct StrCase { double v; int len; int dec; const char* want; };

TEST(Str, WidthDecimalsAndOverflow) {
    const StrCase cases[] = {
        {-0.005, 10, 2, "     -0.01"}, {1234.5, 10, 2, "   1234.50"}, {1234.5, 7, 2, "1234.50"},
        {1234.5, 6, 2, "******"},      {0.5, 4, 2, "0.50"},
        {0.5, 3, 2, "***"},            // no room for the leading zero
        {-0.001, 10, 2, "      0.00"}, {-123, 4, 0, "-123"},
        {-123, 3, 0, "***"},           // the sign needs a column too
        {3.14159, 1, 3, "3"},          // one column: no decimals
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::STR(c.v, c.len, c.dec), c.want) << "STR(" << c.v << ", " << c.len << ", " << c.dec << ")";
    EXPECT_EQ(rt::STR(1.5), "         2");
    EXPECT_EQ(rt::STR(NAN, 5, 0), "*****");
    const StrCase zero[] = {
        {5, 4, 0, "0005"}, {-5, 4, 0, "-005"}, {-5, 2, 0, "-5"}, {123, 2, 0, "**"},
        {-1.5, 6, 2, "-01.50"}, {-0.001, 5, 2, "00.00"},
    };
    for (const auto& c : zero)
        EXPECT_EQ(rt::STRZERO(c.v, c.len, c.dec), c.want) << "STRZERO(" << c.v << ", " << c.len << ")";
}

TEST(Val, OddText) {
    const struct { const char* s; double want; } cases[] = {
        {"  -12.50", -12.5}, {"12abc", 12}, {"abc", 0}, {"1.2.3", 1.2}, {".5", 0.5}, {"+7", 7},
        {"- 5", 0}, {"1e3", 1}, {"\t42", 42}, {"-", 0}, {"000123456789.01", 123456789.01},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::VAL(c.s), c.want) << "VAL(\"" << c.s << "\")";
    EXPECT_FALSE(std::signbit(rt::VAL("-0")));
}

}  // namespace
