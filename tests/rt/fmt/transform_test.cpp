// TRANSFORM pictures used by the program's screens and reports.
#include <gtest/gtest.h>

#include "rt/fmt/fmt.h"

namespace {

TEST(TransformNumber, Pictures) {
    const struct { double v; const char* pic; const char* want; } cases[] = {
        {1234567.5, "9999999.99", "1234567.50"}, {0, "9999999.99", "      0.00"},
        {-12.345, "9999999.99", "    -12.35"},
        {-1234567.5, "9999999.99", "*******.**"},  // the sign does not fit
        {-5.5, "99.99", "-5.50"},
        {99.995, "99.99", "**.**"},                 // rounds to 100.00
        {0.5, ".99", ".50"},                        {1.5, ".99", ".**"},
        {12345678.9, "99,999,999.99", "12,345,678.90"}, {1234.5, "99,999,999.99", "     1,234.50"},
        {-123.45, "999,999.99", "   -123.45"},      // the sign stays next to the digits
        {1234567, "999,999.99", "*******.**"},      {12.5, "9999999999", "        13"},
        {45.6, "999% ", " 46% "},                   {1000, "999% ", "***% "},
        // function parts
        {0, "@Z 999.99", "      "},                 {1, "@Z 999.99", "  1.00"},
        {1.5, "@B 9999.99", "1.50   "},             {1234.5, "@E 999,999.99", "  1.234,50"},
        {5, "@S20 9999", "   5"},                   {5, "@! 99", " 5"},
        {5, "", "         5"},                      {1.5, "", "         1.50"},
        {-3, "@B", "-3        "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::TRANSFORM(c.v, c.pic), c.want) << "TRANSFORM(" << c.v << ", \"" << c.pic << "\")";
    for (const char* pic : {"@Q 999", "999X", "AAA", "!99", "%", "@D", "@C 999"}) {
        try {
            rt::TRANSFORM(1.0, pic);
            ADD_FAILURE() << "no error for \"" << pic << "\"";
        } catch (const rt::Error& e) {
            EXPECT_NE(std::string(e.what()).find(pic), std::string::npos) << e.what();
        }
    }
}

TEST(TransformText, Templates) {
    const struct { const char* v; const char* pic; const char* want; } cases[] = {
        {"abc", "@!", "ABC"},
        {"abc", "!", "A"},                // the template is as long as the result
        {"ab", "!!!!", "AB"},             {"ab", "@R !!!!", "AB  "},
        {"abc", "!A!", "AbC"},            {"1234567890", "@R 999-999-9999", "123-456-7890"},
        {"abc", "X-X", "a-c"},            // without @R a literal takes a character's place
        {"x1", "@! XX", "X1"},
        {"ab", "@K!!!!!!", "AB"},         // function part only
        {"abc", "@!S20", "ABC"},          {"1,5.2", "@E", "1.5,2"},
        {"   ab", "@B", "ab   "},         {"T", "Y", "Y"},
        {"a\x9f", "@!", "A\x9f"},         // code-page letters pass unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(rt::TRANSFORM(std::string_view(c.v), c.pic), c.want) << "\"" << c.v << "\", \"" << c.pic << "\"";
    EXPECT_THROW(rt::TRANSFORM(std::string_view("a"), "@Q"), rt::Error);
}

TEST(TransformOther, DatesLogicalsAndPictureWidth) {
    rt::Date d = rt::Date::ymd(2026, 12, 7);
    EXPECT_EQ(rt::TRANSFORM(d, ""), "07.12.2026");
    EXPECT_EQ(rt::TRANSFORM(d, "99.99.9999"), "07.12.2026");
    EXPECT_EQ(rt::TRANSFORM(rt::Date(), "@D"), "  .  .    ");
    EXPECT_THROW(rt::TRANSFORM(d, "AA"), rt::Error);
    EXPECT_EQ(rt::TRANSFORM(true, ""), "T");
    EXPECT_EQ(rt::TRANSFORM(false, "Y"), "N");
    EXPECT_THROW(rt::TRANSFORM(true, "X"), rt::Error);
    const struct { const char* pic; int w, d; } pics[] = {
        {"9999999.99", 10, 2}, {"999,999,999.99", 14, 2}, {"@K 999", 3, 0}, {"@K999", 0, 0}, {"999.99% ", 8, 2},
    };
    for (const auto& c : pics) {
        EXPECT_EQ(rt::picture_width(c.pic), c.w) << c.pic;
        EXPECT_EQ(rt::picture_decimals(c.pic), c.d) << c.pic;
    }
}

}  // namespace
