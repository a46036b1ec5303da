// The exit question with its dissolve and sweep, the logo, the information screen and help.
#include <fstream>

#include "ui_fixture.h"

namespace tor::test {
namespace {

using Screens = UiTest;

// A screen of a known pattern to dissolve into.
rt::ScreenImage pattern() {
    for (int r = 0; r < rt::ROWS; ++r)
        for (int c = 0; c < rt::COLS; ++c)
            rt::SAY(r, c, std::string(1, static_cast<char>('a' + (r + c) % 26)), static_cast<rt::Attr>(0x07 + r % 3));
    const rt::ScreenImage img = rt::SAVESCREEN();
    rt::CLS();
    return img;
}

TEST_F(Screens, DissolveEndsWithTheTargetScreen) {
    const rt::ScreenImage target = pattern();
    rt::SAY(0, 0, "something else");
    EXPECT_TRUE(RANEKR(target));
    EXPECT_EQ(rt::SAVESCREEN().cells, target.cells);

    // A key stops the tiles early; the whole target is shown all the same.
    start("x");
    const rt::ScreenImage t2 = pattern();
    RANEKR(t2);
    EXPECT_EQ(rt::SAVESCREEN().cells, t2.cells);
    EXPECT_EQ(rt::NEXTKEY(), 0);
}

TEST_F(Screens, ExitQuestionNoReturnsAndEscAsksAgain) {
    rt::console_init_headless("{Esc}{dump}N", root_ + "/screens.txt");
    rt::SAY(5, 5, "meni");
    const std::string before = rt::screen_text();
    const std::string colour = rt::SETCOLOR();
    KRAJ();
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::SETCOLOR(), colour);
    const std::vector<std::string> rows = read_dumps(root_ + "/screens.txt");
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(rows[20].substr(31, 19) + rows[21].substr(35, 9), "Izlaz iz Programa ? Da   Ne ");

    // The bar moved to "Ne" and Enter: back to the caller without ending anything.
    start("{Right}{Enter}z");
    EXPECT_NO_THROW(KRAJ());
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Screens, ExitQuestionYesEndsTheProgramOverTheFirstScreen) {
    DOSEK = pattern();
    rt::dbf::create_table(root_ + "/t.dbf", parse_polja({"SIFRA     C6  "}));
    ASSERT_TRUE(rt::dbf::use(root_ + "/t.dbf"));
    start("D");
    rt::SAY(1, 1, "meni");
    ZAV_RED = 23;
    bool ended = false;
    try {
        KRAJ();
    } catch (const ProgramExit& e) {
        ended = true;
        EXPECT_EQ(e.status, 0);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(rt::dbf::used_areas().empty());
    // Rows 22-24 cleared, the closing text on row 23, the rest is the first screen.
    const std::string closing = row_text(23);
    EXPECT_EQ(closing.substr(closing.size() - 12), "VELT Office.");
    EXPECT_EQ(row_text(22) + row_text(24), "");
    EXPECT_EQ(rt::CELL(23, 0).attr + rt::CELL(23, static_cast<int>(closing.size()) - 12).attr, 2 * 0x07);  // swept back
    const rt::ScreenImage now = rt::SAVESCREEN();
    EXPECT_TRUE(std::equal(DOSEK.cells.begin(), DOSEK.cells.begin() + 22 * 80, now.cells.begin()));
}

TEST_F(Screens, LogoFliesInAndIsKeptAsTheSnapshot) {
    VLTSCR();
    EXPECT_EQ(rt::SAVESCREEN().cells, CLIP.cells);
    EXPECT_EQ(rt::SETCOLOR(), NORMAL);
    EXPECT_EQ(rt::CELL(0, 0).ch, 0xDB);
    EXPECT_EQ(cells(0, 0, 80), cells(10, 0, 80));
    EXPECT_EQ(rt::CELL(18, 79).attr, attr_of(DESKTOP));
    // Rows 11-17 from column 1: the banner in the selection colour, then a blank row.
    for (int r = 11; r <= 17; ++r) EXPECT_EQ(rt::CELL(r, 1).attr + rt::CELL(r, 79).attr, 2 * attr_of(INVERZ)) << r;
    EXPECT_EQ(row_text(17), "");
    const auto banner = [] {
        std::vector<rt::Cell> cells;
        for (int r = 11; r <= 17; ++r)
            for (int c = 1; c < 80; ++c) cells.push_back(rt::CELL(r, c));
        return cells;
    };
    const std::vector<rt::Cell> flown = banner();
    EXPECT_GT(std::count_if(flown.begin(), flown.end(), [](const rt::Cell& c) { return c.ch >= 0xB3 && c.ch <= 0xDA; }), 100);

    // A key ends the flight at once: the logo is printed whole all the same.
    start("x");
    VLTSCR();
    EXPECT_EQ(rt::NEXTKEY(), 0);
    EXPECT_TRUE(banner() == flown);
}

TEST_F(Screens, HelpShowsTheHelpFileOrTheInformationScreen) {
    const std::string dumps = root_ + "/screens.txt";
    std::ofstream(root_ + "/torhelp.vlt") << "POMOC\r\nDrugi red pomoci\r\n";
    rt::console_init_headless("{dump}{Esc}", dumps);
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::SAY(24, 0, "ispod");
    const std::string before = rt::screen_text();
    HELP();
    EXPECT_EQ(rt::screen_text(), before);
    const std::vector<std::string> rows = read_dumps(dumps);
    ASSERT_GE(rows.size(), 25u);
    EXPECT_EQ(rt::TRIM(rows[2]) + "|" + rt::TRIM(rows[3]), "POMOC|Drugi red pomoci");

    std::filesystem::remove(root_ + "/torhelp.vlt");
    rt::console_init_headless("{dump}x", dumps);
    HELP();
    std::ifstream g(dumps);
    std::string all((std::istreambuf_iterator<char>(g)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("VELT Office"), std::string::npos);
}

}  // namespace
}  // namespace tor::test
