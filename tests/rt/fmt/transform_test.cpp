// TRANSFORM pictures used by the program's screens and reports.
#include <gtest/gtest.h>

#include "rt/fmt/fmt.h"

namespace {

struct NumCase { double v; const char* pic; const char* want; };

TEST(TransformNumber, AmountPictures) {
    const NumCase cases[] = {
        {1234567.5, "9999999.99", "1234567.50"},
        {0, "9999999.99", "      0.00"},
        {-12.345, "9999999.99", "    -12.35"},
        {-1234567.5, "9999999.99", "*******.**"},   // the sign does not fit
        {12345678, "9999999.99", "*******.**"},
        {12345678.9, "99999999.99", "12345678.90"},
        {-1234567.5, "9999999999.99", "  -1234567.50"},
        {2.675, "999999.999", "     2.675"},
        {-0.0004, "999999.999", "     0.000"},
        {-5, "99999.99", "   -5.00"},
        {100000, "99999.99", "*****.**"},
        {5.5, "99.99", " 5.50"},
        {-5.5, "99.99", "-5.50"},
        {-10, "99.99", "**.**"},
        {99.995, "99.99", "**.**"},                 // rounds to 100.00
        {1234.567, "9999.99", "1234.57"},
        {1.2345, "99.999", " 1.235"},
        {0.5, ".99", ".50"},
        {1.5, ".99", ".**"},
        {12.34567, "99999.9999", "   12.3457"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::TRANSFORM(c.v, c.pic), c.want) << "TRANSFORM(" << c.v << ", \"" << c.pic << "\")";
}

TEST(TransformNumber, GroupingIntegersAndLiterals) {
    const NumCase cases[] = {
        {12345678.9, "99,999,999.99", "12,345,678.90"},
        {1234.5, "99,999,999.99", "     1,234.50"},
        {-1234.5, "99,999,999.99", "    -1,234.50"},
        {-123.45, "999,999.99", "   -123.45"},      // the sign stays next to the digits
        {0, "999,999.99", "      0.00"},
        {1234567, "999,999.99", "*******.**"},
        {123456789.5, "999,999,999.99", "123,456,789.50"},
        {123456789012.0, "999999999999", "123456789012"},
        {12.5, "9999999999", "        13"},
        {-7, "9999999999", "        -7"},
        {45.6, "999% ", " 46% "},
        {1000, "999% ", "***% "},
        {12.345, "999.99% ", " 12.35% "},
        {-5, "999.99% ", " -5.00% "},
        {7, "99", " 7"},
        {1000, "999", "***"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::TRANSFORM(c.v, c.pic), c.want) << "TRANSFORM(" << c.v << ", \"" << c.pic << "\")";
}

TEST(TransformNumber, Functions) {
    const NumCase cases[] = {
        {0, "@Z 999.99", "      "},
        {1, "@Z 999.99", "  1.00"},
        {1.5, "@B 9999.99", "1.50   "},
        {1234.5, "@E 999,999.99", "  1.234,50"},
        {5, "@K 999", "  5"},
        {5, "@S20 9999", "   5"},
        {5, "@! 99", " 5"},
        {5, "", "         5"},
        {1.5, "", "         1.50"},
        {0, "@Z", "          "},
        {-3, "@B", "-3        "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::TRANSFORM(c.v, c.pic), c.want) << "TRANSFORM(" << c.v << ", \"" << c.pic << "\")";
}

TEST(TransformNumber, UnknownPictureIsAnError) {
    for (const char* pic : {"@Q 999", "999X", "AAA", "!99", "%", "@D", "@C 999"}) {
        try {
            rt::TRANSFORM(1.0, pic);
            ADD_FAILURE() << "no error for \"" << pic << "\"";
        } catch (const rt::Error& e) {
            EXPECT_NE(std::string(e.what()).find(pic), std::string::npos) << e.what();
        }
    }
}

struct StrCase { const char* v; const char* pic; const char* want; };

TEST(TransformText, Templates) {
    const StrCase cases[] = {
        {"abc", "@!", "ABC"},
        {"abc", "!", "A"},                // the template is as long as the result
        {"abcdef", "!!", "AB"},
        {"ab", "!!!!", "AB"},
        {"ab", "@R !!!!", "AB  "},
        {"abc", "!A!", "AbC"},
        {"1234567890", "@R 999-999-9999", "123-456-7890"},
        {"abc", "X-X", "a-c"},            // without @R a literal takes a character's place
        {"12a", "999", "12a"},
        {"x1", "@! XX", "X1"},
        {"ab", "@K!!!!!!", "AB"},         // function part only
        {"abc", "@K999", "abc"},
        {"abc", "@!S20", "ABC"},
        {"1,5", "@E", "1.5"},
        {"1.5", "@E", "1,5"},
        {"   ab", "@B", "ab   "},
        {"T", "Y", "Y"},
        {"a\x9f", "@!", "A\x9f"},         // code-page letters pass unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::TRANSFORM(std::string_view(c.v), c.pic), c.want) << "\"" << c.v << "\", \"" << c.pic << "\"";
    EXPECT_THROW(rt::TRANSFORM(std::string_view("a"), "@Q"), rt::Error);
}

TEST(TransformOther, DatesAndLogicals) {
    rt::Date d = rt::Date::ymd(2026, 12, 7);
    EXPECT_EQ(rt::TRANSFORM(d, ""), "07.12.2026");
    EXPECT_EQ(rt::TRANSFORM(d, "@D"), "07.12.2026");
    EXPECT_EQ(rt::TRANSFORM(d, "99.99.9999"), "07.12.2026");
    EXPECT_EQ(rt::TRANSFORM(rt::Date(), "@D"), "  .  .    ");
    EXPECT_THROW(rt::TRANSFORM(d, "AA"), rt::Error);
    EXPECT_EQ(rt::TRANSFORM(true, ""), "T");
    EXPECT_EQ(rt::TRANSFORM(false, "Y"), "N");
    EXPECT_EQ(rt::TRANSFORM(true, "L"), "T");
    EXPECT_THROW(rt::TRANSFORM(true, "X"), rt::Error);
}

TEST(Picture, WidthAndDecimals) {
    const struct { const char* pic; int w, d; } cases[] = {
        {"9999999.99", 10, 2}, {"999,999,999.99", 14, 2}, {"@K 999", 3, 0}, {"@K999", 0, 0},
        {"999.99% ", 8, 2}, {"@!S20", 0, 0}, {"99999.9999", 10, 4}, {"999999999999", 12, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rt::picture_width(c.pic), c.w) << c.pic;
        EXPECT_EQ(rt::picture_decimals(c.pic), c.d) << c.pic;
    }
}

}  // namespace
