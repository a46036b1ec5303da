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
    start("{Esc}N");
    rt::SAY(5, 5, "meni");
    const std::string before = rt::screen_text();
    const std::string colour = rt::SETCOLOR();
    KRAJ();
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::SETCOLOR(), colour);

    // The bar moved to "Ne" and Enter: back to the caller without ending anything.
    start("{Right}{Enter}z");
    EXPECT_NO_THROW(KRAJ());
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Screens, ExitQuestionDrawsItsBox) {
    const std::string dumps = root_ + "/screens.txt";
    rt::console_init_headless("{dump}N", dumps);
    rt::CLS();
    KRAJ();
    std::ifstream f(dumps);
    std::vector<std::string> rows;
    for (std::string line; std::getline(f, line);) rows.push_back(rt::utf8_to_cp437(line));
    ASSERT_GE(rows.size(), 25u);
    EXPECT_EQ(rows[19].substr(28, 25), "\xDA" + std::string(23, '\xC4') + "\xBF");
    EXPECT_EQ(rows[20].substr(31, 19), "Izlaz iz Programa ?");
    EXPECT_EQ(rows[21].substr(35, 9), " Da   Ne ");
    EXPECT_EQ(rows[22].substr(28, 25), "\xC0" + std::string(23, '\xC4') + "\xD9");
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
    EXPECT_EQ(row_text(22), "");
    EXPECT_EQ(row_text(24), "");
    EXPECT_EQ(rt::CELL(23, 0).attr, 0x07);
    EXPECT_EQ(rt::CELL(23, static_cast<int>(closing.size()) - 12).attr, 0x07);  // swept back
    for (int r = 0; r < 22; ++r)
        for (int c = 0; c < rt::COLS; ++c) {
            ASSERT_EQ(rt::CELL(r, c), DOSEK.cells[static_cast<size_t>(r * 80 + c)]) << r << "," << c;
        }
}

TEST_F(Screens, SweepPrintsTheTextAndLeavesTheColour) {
    rt::SETCOLOR(SVETLO);
    const double t0 = rt::clk::monotonic();
    REFLEKTOR(10, 0, "Hvala. Program je izradio VELT Office.");
    EXPECT_EQ(row_text(10), "Hvala. Program je izradio VELT Office.");
    EXPECT_EQ(rt::CELL(10, 26).attr, 0x07);
    EXPECT_EQ(rt::SETCOLOR(), SVETLO);
    // 11 letters twice at 0.01 s and two pauses of 0.1 s
    EXPECT_NEAR(rt::clk::monotonic() - t0, 0.42, 0.01);
    EXPECT_TRUE(rt::CURSOR_ON());
}

TEST_F(Screens, LogoFliesInAndIsKeptAsTheSnapshot) {
    VLTSCR();
    ASSERT_TRUE(CLIP.valid());
    EXPECT_EQ(rt::SAVESCREEN().cells, CLIP.cells);
    EXPECT_EQ(rt::SETCOLOR(), NORMAL);
    for (int c = 0; c < 80; ++c) {
        EXPECT_EQ(rt::CELL(0, c).ch, 0xDB);
        EXPECT_EQ(rt::CELL(0, c).attr, attr_of(DESKTOP));
        EXPECT_EQ(rt::CELL(10, c).ch, 0xDB);
        EXPECT_EQ(rt::CELL(18, c).ch, 0xDB);
    }
    // Rows 11-17 hold the banner from column 1 in the selection colour: six rows of box lines
    // and a blank one.
    int box_chars = 0;
    for (int r = 11; r <= 17; ++r)
        for (int c = 1; c < 80; ++c) {
            EXPECT_EQ(rt::CELL(r, c).attr, attr_of(INVERZ)) << r << "," << c;
            const uint8_t ch = rt::CELL(r, c).ch;
            if (ch >= 0xB3 && ch <= 0xDA) ++box_chars;
            if (r == 17) EXPECT_EQ(ch, ' ');
        }
    EXPECT_GT(box_chars, 100);
    const std::string logo = rt::screen_text();

    // A key ends the flight at once: the finished logo is the same apart from column 0.
    start("x");
    VLTSCR();
    EXPECT_EQ(rt::NEXTKEY(), 0);
    const std::string keyed = rt::screen_text();
    auto without_col0 = [](const std::string& s) {
        std::vector<std::string> rows;
        size_t p = 0;
        while (p < s.size()) {
            size_t e = s.find('\n', p);
            const std::string row = rt::utf8_to_cp437(s.substr(p, e - p));
            rows.push_back(row.substr(1));
            p = e + 1;
        }
        return rows;
    };
    EXPECT_EQ(without_col0(keyed), without_col0(logo));
}

TEST_F(Screens, InformationScreenWaitsForAKeyAndPutsTheScreenBack) {
    const std::string dumps = root_ + "/screens.txt";
    rt::console_init_headless("{dump}x", dumps);
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::SAY(20, 2, "prethodni ekran");
    const std::string before = rt::screen_text();
    SHOWINFO();
    EXPECT_EQ(rt::screen_text(), before);
    std::ifstream f(dumps);
    std::vector<std::string> rows;
    for (std::string line; std::getline(f, line);) rows.push_back(rt::utf8_to_cp437(line));
    ASSERT_GE(rows.size(), 25u);
    EXPECT_EQ(rows[0], std::string(80, '\xDB'));
    EXPECT_EQ(rows[1].substr(2, 1), "\xC9");
    EXPECT_EQ(rows[14].substr(76, 1), "\xBC");
    EXPECT_EQ(rows[10].substr(3, 73), std::string(73, '\xC4'));
    EXPECT_NE(rows[2].find("TOR-PDV v1.84.1"), std::string::npos);
    bool maker = false;
    for (int r = 2; r <= 13; ++r) maker = maker || rows[r].find("VELT Office") != std::string::npos;
    EXPECT_TRUE(maker);
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
    std::ifstream f(dumps);
    std::vector<std::string> rows;
    for (std::string line; std::getline(f, line);) rows.push_back(line);
    ASSERT_GE(rows.size(), 25u);
    EXPECT_EQ(rt::TRIM(rows[2]), "POMOC");
    EXPECT_EQ(rt::TRIM(rows[3]), "Drugi red pomoci");

    std::filesystem::remove(root_ + "/torhelp.vlt");
    rt::console_init_headless("{dump}x", dumps);
    HELP();
    std::ifstream g(dumps);
    std::string all((std::istreambuf_iterator<char>(g)), std::istreambuf_iterator<char>());
    EXPECT_NE(all.find("VELT Office"), std::string::npos);
}

}  // namespace
}  // namespace tor::test
