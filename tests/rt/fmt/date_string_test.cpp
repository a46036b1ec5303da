// Date conversions and string functions.
#include <gtest/gtest.h>

#include <tuple>

#include "rt/fmt/fmt.h"

namespace {

using rt::Date;

TEST(DateText, WrittenAndReadForms) {
    Date d = Date::ymd(2026, 12, 7);
    EXPECT_EQ(std::tuple(rt::DTOC(d), rt::DTOC8(d), rt::DTOS(d)), std::tuple("07.12.2026", "07.12.26", "20261207"));
    EXPECT_EQ(std::tuple(rt::DTOC(Date()), rt::DTOS(Date())), std::tuple("  .  .    ", "        "));
    EXPECT_EQ(rt::DTOC(Date::ymd(5, 1, 2)), "02.01.0005");
    const struct { const char* s; int y, m, d; } cases[] = {
        {"7.12.2026", 2026, 12, 7}, {"29.02.2024", 2024, 2, 29}, {"29.02.2000", 2000, 2, 29},
        {"01.01.29", 2029, 1, 1},   {"01.01.30", 1930, 1, 1},
    };
    for (const auto& c : cases) EXPECT_EQ(rt::CTOD(c.s), Date::ymd(c.y, c.m, c.d)) << c.s;
    for (const char* bad : {"29.02.2023", "29.02.1900", "31.04.2026", "00.01.2026", "01.13.2026", "  .  .    ",
                            "ab.cd.efgh", "01.01.2026x", "01.01"})
        EXPECT_TRUE(rt::CTOD(bad).empty()) << bad;
    EXPECT_EQ(rt::STOD("20261207"), d);
    for (const char* bad : {"20230229", "        ", "2026120"}) EXPECT_TRUE(rt::STOD(bad).empty()) << bad;
}

TEST(DateText, PartsNamesAndArithmetic) {
    Date d = Date::ymd(2026, 12, 7);
    EXPECT_EQ(std::tuple(rt::DOW(d), rt::CDOW(d), rt::CMONTH(d)), std::tuple(2, "Monday", "December"));
    EXPECT_EQ(rt::DOW(Date::ymd(2000, 1, 1)), 7);
    EXPECT_EQ(std::tuple(rt::DAY(d), rt::MONTH(d), rt::YEAR(d)), std::tuple(7, 12, 2026));
    EXPECT_EQ(std::tuple(rt::DOW(Date()), rt::CDOW(Date()), rt::YEAR(Date())), std::tuple(0, "", 0));
    EXPECT_EQ(Date::ymd(2024, 2, 28) + 2, Date::ymd(2024, 3, 1));
    EXPECT_EQ(Date::ymd(2026, 12, 31) + 1, Date::ymd(2027, 1, 1));
    EXPECT_EQ(Date::ymd(2025, 1, 1) - Date::ymd(2024, 1, 1), 366);
    EXPECT_EQ(Date::ymd(2026, 1, 1) - 7, Date::ymd(2025, 12, 25));
    EXPECT_TRUE((Date() + 5).empty());
}

TEST(Strings, SubstrSearchReplace) {
    EXPECT_EQ(rt::SUBSTR("abc", 5), "");
    EXPECT_EQ(rt::SUBSTR("abc", 2, 10), "bc");
    EXPECT_EQ(rt::SUBSTR("abc", 0, 2), "ab");
    EXPECT_EQ(rt::SUBSTR("abc", -2), "bc");
    EXPECT_EQ(rt::SUBSTR("abc", -5, 2), "ab");
    EXPECT_EQ(rt::SUBSTR("abc", 2, -1), "");
    EXPECT_EQ(rt::LEFT("abc", -1), "");
    EXPECT_EQ(rt::RIGHT("abc", 5), "abc");
    EXPECT_EQ(rt::AT("b", "abcb"), 2);
    EXPECT_EQ(rt::RAT("-", "12-34-5"), 6);
    EXPECT_EQ(rt::AT("", "abc"), 0);
    EXPECT_EQ(rt::RAT("", "abc"), 0);
    EXPECT_EQ(rt::AT("abcd", "abc"), 0);
    EXPECT_EQ(rt::STRTRAN("a-b-c", "-"), "abc");
    EXPECT_EQ(rt::STRTRAN("abc", "", "x"), "abc");
    EXPECT_EQ(rt::STRTRAN("aaa", "aa", "b"), "ba");
    EXPECT_TRUE(rt::CONTAINS("BC", "ABCD"));
    EXPECT_FALSE(rt::CONTAINS("bc", "ABCD"));
}

TEST(Strings, PadTrimCase) {
    EXPECT_EQ(rt::PADL("abcdef", 3), "abc");
    EXPECT_EQ(rt::PADR("ab", 4, '.'), "ab..");
    EXPECT_EQ(rt::PADC("ab", 5), " ab  ");
    EXPECT_EQ(rt::PADR("x", 0), "");
    EXPECT_EQ(rt::TRIM("  a  "), "  a");
    EXPECT_EQ(rt::LTRIM("  a  "), "a  ");
    EXPECT_EQ(rt::ALLTRIM("  a b  "), "a b");
    EXPECT_EQ(rt::UPPER("abc\x9fz"), "ABC\x9fZ");
    EXPECT_EQ(rt::LOWER("ABC\x8fZ"), "abc\x8fz");
    EXPECT_EQ(rt::REPLICATE("x", 0), "");
    EXPECT_EQ(rt::SPACE(-1), "");
    EXPECT_TRUE(rt::EMPTY("  \t\r\n"));
    EXPECT_FALSE(rt::EMPTY(" a"));
}

}  // namespace
