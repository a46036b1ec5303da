#include <gtest/gtest.h>

#include "rt/fmt/error.h"
#include "rt/term/console.h"

using namespace rt;

TEST(Color, SinglePartsOfEveryForm) {
    EXPECT_EQ(parse_attr("W/N"), 0x07);
    EXPECT_EQ(parse_attr("N/W"), 0x70);
    EXPECT_EQ(parse_attr("W+/B"), 0x1F);
    EXPECT_EQ(parse_attr("W+/R"), 0x4F);
    EXPECT_EQ(parse_attr("GR+/B"), 0x1E);
    EXPECT_EQ(parse_attr("GR+*/B"), 0x9E);
    EXPECT_EQ(parse_attr("W+*/B"), 0x9F);
    EXPECT_EQ(parse_attr("BG/RB"), 0x53);
    EXPECT_EQ(parse_attr("RG/N"), 0x06);  // letter order does not matter
    EXPECT_EQ(parse_attr("w+/n"), 0x0F);
    EXPECT_EQ(parse_attr("w/b"), 0x17);
    EXPECT_EQ(parse_attr("w"), 0x07);
    EXPECT_EQ(parse_attr("W+"), 0x0F);
    EXPECT_EQ(parse_attr("W*"), 0x87);
    EXPECT_EQ(parse_attr("W+*"), 0x8F);
    EXPECT_EQ(parse_attr("I"), 0x70);
    EXPECT_EQ(parse_attr("I*"), 0xF0);
    EXPECT_EQ(parse_attr("B"), 0x01);
    EXPECT_EQ(parse_attr("B+"), 0x09);
    EXPECT_EQ(parse_attr("+W/B"), 0x1F);   // modifiers anywhere in the part
    EXPECT_EQ(parse_attr(" W + / B "), 0x1F);
    EXPECT_EQ(parse_attr("15/1"), 0x1F);   // numeric colours
    EXPECT_EQ(parse_attr("X"), 0x00);
}

TEST(Color, FivePartsAndDefaults) {
    ColorSpec n = parse_color("W+/B,W+/R,,,W+/B");
    EXPECT_EQ(n.standard, 0x1F);
    EXPECT_EQ(n.enhanced, 0x4F);
    EXPECT_EQ(n.border, 0x00);
    EXPECT_EQ(n.background, 0x00);
    EXPECT_EQ(n.unselected, 0x1F);

    ColorSpec m = parse_color("W+/B,W+*/B,B");
    EXPECT_EQ(m.enhanced, 0x9F);
    EXPECT_EQ(m.border, 0x01);
    EXPECT_EQ(m.unselected, 0x9F);  // unselected follows enhanced when absent

    ColorSpec mono = parse_color("W/N,N/W");
    EXPECT_EQ(mono.standard, 0x07);
    EXPECT_EQ(mono.enhanced, 0x70);

    ColorSpec one = parse_color("GR+/B");  // enhanced = standard turned inside out
    EXPECT_EQ(one.standard, 0x1E);
    EXPECT_EQ(one.enhanced, 0x61);
    EXPECT_EQ(one.unselected, 0x61);

    ColorSpec empty = parse_color("");
    EXPECT_EQ(empty.standard, 0x07);
    EXPECT_EQ(empty.enhanced, 0x70);

    ColorSpec all = parse_color("W/N,N/W,R,G,B/W");
    EXPECT_EQ(all.border, 0x04);
    EXPECT_EQ(all.background, 0x02);
    EXPECT_EQ(all.unselected, 0x71);
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
