// Date and string helpers.
#include "ui_fixture.h"

namespace tor::test {
namespace {

TEST(Helpers, DatesOfTheMonth) {
    auto D = rt::Date::ymd;
    EXPECT_EQ((std::vector<int>{LASTDAY(D(2024, 2, 10)), LASTDAY(D(2023, 2, 10)), LASTDAY(D(1900, 2, 1)),
                                LASTDAY(D(2000, 2, 1)), LASTDAY(D(2026, 4, 30)), LASTDAY(D(2026, 12, 1))}),
              (std::vector<int>{29, 28, 28, 29, 30, 31}));
    EXPECT_EQ(POCMES(rt::Date::ymd(2026, 3, 17)), rt::Date::ymd(2026, 3, 1));
    EXPECT_EQ(POCGOD(rt::Date::ymd(2026, 3, 17)), rt::Date::ymd(2026, 1, 1));
    EXPECT_EQ(DAT8C(rt::Date::ymd(2026, 3, 7)), "07.03.26");
    EXPECT_EQ(DAT8C(rt::Date()), "  .  .  ");
}

TEST(Helpers, SwitchValuesAndBases) {
    const std::string set = "KALK SKRACENA=N\r\nZALIHA NA RACUNU=D\r\nPRAZNO=";
    EXPECT_EQ(FINDSTR(set, "ZALIHA NA RACUNU=", "N"), "D");
    EXPECT_EQ(FINDSTR(set, "RACUN OTPREMNICA=", "N"), "N");
    EXPECT_EQ(FINDSTR(set, "PRAZNO=", "X"), "X");
    EXPECT_EQ(FINDSTR("A=1A=2", "A=", "0"), "1");

    EXPECT_EQ(DECTOBASE(0, 16) + " " + DECTOBASE(255, 16) + " " + DECTOBASE(10, 2) + " " + DECTOBASE(35, 36) + " " +
                  DECTOBASE(1295, 36),
              "0 FF 1010 Z ZZ");
}

}  // namespace
}  // namespace tor::test
