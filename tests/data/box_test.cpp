// Boxes with a shadow and the help box the structure-upgrade warning uses.
#include "helpers.h"
#include "ui/ui.h"

namespace tor::test {
namespace {

class Boxes : public ::testing::Test {
protected:
    void SetUp() override {
        rt::KEYBOARD_CLEAR();
        rt::SETCOLOR(NORMAL);
        rt::CLS();
        rt::FILL(0, 0, rt::ROWS - 1, rt::COLS - 1, '.', 0x1E);
    }
};

TEST_F(Boxes, ShadowFallsRightAndBelowKeepingTheCharacters) {
    const rt::Attr normal = rt::current_color().standard;
    BOXSHAD(5, 10, 8, 20);
    EXPECT_EQ(screen_cells(5, 10, 11), "┌─────────┐");
    EXPECT_EQ(rt::CELL(6, 11).attr, normal);
    // The shadow: column 21 rows 6-9 and row 9 columns 11-21 turn grey, the dots stay.
    std::string shadow;
    for (int r = 6; r <= 9; ++r) shadow += std::to_string(rt::CELL(r, 21).attr) + static_cast<char>(rt::CELL(r, 21).ch);
    for (int c = 11; c <= 20; ++c) shadow += std::to_string(rt::CELL(9, c).attr) + static_cast<char>(rt::CELL(9, c).ch);
    EXPECT_EQ(shadow, rt::REPLICATE("7.", 14));
    for (auto [r, c] : {std::pair{9, 10}, {5, 21}, {10, 21}, {9, 22}}) EXPECT_EQ(rt::CELL(r, c).attr, 0x1E) << r << "," << c;
}

TEST_F(Boxes, AtTheScreenEdgeTheShadowIsClampedAndNeverWraps) {
    BOXSHAD(20, 70, 24, 79, "double");
    EXPECT_EQ(screen_cells(20, 70, 10) + screen_cells(24, 79, 1), "╔════════╗╝");
    EXPECT_EQ(rt::CELL(19, 79).attr, 0x1E);
    EXPECT_EQ(rt::CELL(0, 0).attr, 0x1E);   // nothing wrapped to the next row
    EXPECT_EQ(rt::CELL(24, 69).attr, 0x1E);
}

TEST_F(Boxes, TitleIsCentredOnTheTopBorder) {
    BOXSHAD(5, 3, 19, 75, "", " PORUKE ");
    // (3 + 75) / 2 - 8 / 2 = 35
    EXPECT_EQ(screen_cells(5, 34, 10), "─ PORUKE ─");
    BOXSHAD(2, 2, 4, 10, std::string(9, ' '));
    EXPECT_EQ(screen_cells(2, 2, 9), "         ");
}

TEST_F(Boxes, HelpTextIsSplitIntoLines) {
    EXPECT_EQ(helpbox_lines("PAZNJA:; Prvi red.; ; Treci red.; ;"),
              (std::vector<std::string>{"PAZNJA:", "Prvi red.", "", "Treci red.", ""}));
    EXPECT_EQ(helpbox_lines("jedan; dva"), (std::vector<std::string>{"jedan", "dva"}));  // no closing ";"
    std::string many;
    for (int i = 1; i <= 25; ++i) many += "red " + std::to_string(i) + "; ";
    const auto lines = helpbox_lines(many);
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.back(), "red 20");
}

TEST_F(Boxes, HelpBoxWaitsForAKeyAndPutsTheScreenBack) {
    const std::string before = rt::screen_text();
    const std::string colour = rt::SETCOLOR();
    HELPKEY.clear();
    rt::KEYBOARD("x");
    HELPBOX();   // nothing to show: no box, no key taken
    EXPECT_EQ(rt::NEXTKEY(), 'x');
    EXPECT_EQ(rt::screen_text(), before);

    HELPKEY = "Prvi red.; ; Treci red.;";
    HELPBOX();
    EXPECT_EQ(rt::NEXTKEY(), 0);
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::SETCOLOR(), colour);
    HELPKEY.clear();
}

}  // namespace
}  // namespace tor::test
