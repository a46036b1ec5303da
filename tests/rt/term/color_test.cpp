#include <gtest/gtest.h>

#include "rt/fmt/error.h"
#include "rt/term/console.h"

using namespace rt;

TEST(Color, SinglePartsOfEveryForm) {
    const std::pair<const char*, int> cases[] = {
        {"W/N", 0x07},    {"W+/B", 0x1F}, {"GR+*/B", 0x9E}, {"BG/RB", 0x53},
        {"RG/N", 0x06},   // letter order does not matter
        {"w+/n", 0x0F},   {"w", 0x07},    {"W*", 0x87},   {"I", 0x70},    {"I*", 0xF0},  {"B", 0x01}, {"X", 0x00},
        {"+W/B", 0x1F},   // modifiers anywhere in the part
        {" W + / B ", 0x1F},
        {"15/1", 0x1F},   // numeric colours
    };
    for (const auto& [text, attr] : cases) EXPECT_EQ(parse_attr(text), attr) << text;
}

// Standard, enhanced, border, background, unselected.
TEST(Color, FivePartsAndDefaults) {
    auto parts = [](const char* s) {
        ColorSpec c = parse_color(s);
        return std::vector<int>{c.standard, c.enhanced, c.border, c.background, c.unselected};
    };
    EXPECT_EQ(parts("W+/B,W+/R,,,W+/B"), (std::vector<int>{0x1F, 0x4F, 0x00, 0x00, 0x1F}));
    EXPECT_EQ(parts("W+/B,W+*/B,B"), (std::vector<int>{0x1F, 0x9F, 0x01, 0x00, 0x9F}));  // unselected follows enhanced
    EXPECT_EQ(parts("GR+/B"), (std::vector<int>{0x1E, 0x61, 0x00, 0x00, 0x61}));  // enhanced = standard inside out
    EXPECT_EQ(parts(""), (std::vector<int>{0x07, 0x70, 0x00, 0x00, 0x70}));
    EXPECT_EQ(parts("W/N,N/W,R,G,B/W"), (std::vector<int>{0x07, 0x70, 0x04, 0x02, 0x71}));
}

TEST(Color, InvalidStringsAreErrorsNamingTheString) {
    for (const char* bad : {"Q/B", "W//B", "W/B/R", "W,W,W,W,W,W", "W/B,Z", "16/0", "/", "W-/B"}) {
        try {
            parse_color(bad);
            ADD_FAILURE() << bad << " accepted";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(parse_attr(""), Error);
}

TEST(Color, SetcolorReturnsThePreviousStringAndKeepsItOnError) {
    console_init_headless("");
    EXPECT_EQ(SETCOLOR("W+/B,W+/R,,,W+/B"), "W/N,N/W");
    EXPECT_EQ(current_color().standard, 0x1F);
    EXPECT_EQ(SETCOLOR("GR+/B"), "W+/B,W+/R,,,W+/B");
    EXPECT_THROW(SETCOLOR("nonsense"), Error);
    EXPECT_EQ(SETCOLOR(), "GR+/B");
    EXPECT_EQ(current_color().standard, 0x1E);
}
