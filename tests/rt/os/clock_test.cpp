// The virtual clock of headless runs.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "rt/os/clock.h"

namespace {

TEST(VirtualClock, WaitsAdvanceTimeAndDate) {
    rt::clk::set_virtual(rt::Date::ymd(2026, 12, 7), 23 * 3600.0 + 59 * 60 + 59.5);
    EXPECT_TRUE(rt::clk::is_virtual());
    EXPECT_EQ(rt::clk::time_hhmmss(), "23:59:59");
    double m0 = rt::clk::monotonic();
    rt::clk::sleep(1.0);
    EXPECT_EQ(rt::clk::today(), rt::Date::ymd(2026, 12, 8));
    EXPECT_DOUBLE_EQ(rt::clk::seconds(), 0.5);
    EXPECT_EQ(rt::clk::time_hhmmss(), "00:00:00");
    EXPECT_DOUBLE_EQ(rt::clk::monotonic() - m0, 1.0);
    rt::clk::sleep(2 * 86400.0 + 3600);  // a long wait crosses several midnights
    EXPECT_EQ(rt::clk::today(), rt::Date::ymd(2026, 12, 10));
    EXPECT_EQ(rt::clk::time_hhmmss(), "01:00:00");
    rt::clk::sleep(-5);
    EXPECT_EQ(rt::clk::time_hhmmss(), "01:00:00");
}

TEST(VirtualClock, HeadlessRunTakesTodayFromEnvironment) {
    setenv("TORPDV_KEYS", "/dev/null", 1);
    setenv("TORPDV_TODAY", "2024-02-29", 1);
    rt::clk::init_from_env();
    EXPECT_TRUE(rt::clk::is_virtual());
    EXPECT_EQ(rt::clk::today(), rt::Date::ymd(2024, 2, 29));
    EXPECT_EQ(rt::clk::time_hhmmss(), "08:00:00");  // every headless run starts at the same hour
    setenv("TORPDV_TODAY", "2023-02-29", 1);  // no such day: the real date is kept
    rt::clk::init_from_env();
    EXPECT_FALSE(rt::clk::today().empty());
    EXPECT_NE(rt::clk::today(), rt::Date::ymd(2023, 3, 1));
    unsetenv("TORPDV_KEYS");
    unsetenv("TORPDV_TODAY");
    rt::clk::init_from_env();
    EXPECT_FALSE(rt::clk::is_virtual());
}

}  // namespace
