// Messages, questions, the error line, titles, the status line and the colour sets.
#include <fstream>

#include "ui_fixture.h"

namespace tor::test {
namespace {

using Messages = UiTest;

TEST_F(Messages, MessageBoxFitsA74CharacterTextAndClipsALongerOne) {
    const std::string text(74, 'x');
    PORUKA(text, 1);  // c = 3: box 0-79
    EXPECT_EQ(cells(10, 79, 1) + cells(11, 0, 80), "╗║  " + text + "  ║");
    EXPECT_EQ(std::make_pair(rt::CELL(11, 3).attr, rt::CELL(10, 0).attr), std::make_pair(attr_of(SVETLO), attr_of(NORMAL)));
    EXPECT_EQ(rt::SETCOLOR(), NORMAL);

    std::string longer = "A";
    for (int i = 0; i < 98; ++i) longer += static_cast<char>('a' + i % 26);
    rt::CLS();
    rt::FILL(9, 0, 9, 79, '.', 0x07);
    PORUKA(longer + "Z", 1);  // 100 characters: the box stops at the edges, the start is kept
    EXPECT_EQ(cells(11, 0, 80), "║" + longer.substr(0, 78) + "║");
    EXPECT_EQ(cells(9, 0, 80), std::string(80, '.'));
}

TEST_F(Messages, QuestionsAnswerYesOnlyToDAndATimeoutIsNo) {
    start("d");
    const std::string before = rt::screen_text();
    EXPECT_TRUE(PITANJE("Sigurno Brisete (D/N)?"));
    EXPECT_EQ(rt::screen_text(), before);
    start("n");
    EXPECT_FALSE(PITANJE("Sigurno Brisete (D/N)?"));

    start("{pause}x");
    rt::SET_LASTKEY('D');  // a "D" typed on an earlier screen
    EXPECT_FALSE(PITANJE("Nastavak (D/N)?", 0));
    EXPECT_EQ(rt::LASTKEY(), 0);
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::NEXTKEY(), 'x');

    PORUKA("Obavestenje", 1);  // mode 1 returns at once and leaves its box
    EXPECT_EQ(rt::NEXTKEY(), 'x');
    EXPECT_NE(row_text(11).find("Obavestenje"), std::string::npos);
}

TEST_F(Messages, ErrorLineAlternatesUntilTheSpaceBar) {
    const std::string dumps = root_ + "/screens.txt";
    rt::console_init_headless("{dump}a{dump}{pause}{pause}{pause}b{Space}z", dumps);
    rt::SAY(24, 0, "donji red");
    const std::string before = rt::screen_text();
    rt::SET_LASTKEY(' ');  // a space left over from an earlier screen does not end the line
    GRESKA("Sifra ne postoji");
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::NEXTKEY(), 'z');  // "b" did not end it, the space did

    const auto rows = read_dumps(dumps);
    ASSERT_EQ(rows.size(), 50u);
    // c = (80 - len("Paznja - Sifra ne postoji")) / 2 = 27
    EXPECT_EQ(rt::TRIM(rows[24]), std::string(27, ' ') + "Paznja  - Sifra ne postoji");
    EXPECT_EQ(rt::TRIM(rows[49]), std::string(24, ' ') + "Pritisnite RAZMAKNICU za izlaz !");
}

TEST_F(Messages, TitleBoxStatusLineAndDate) {
    NASLOV(5, "KALKULACIJE");  // l = (76 - 11) / 2 = 32, right 46
    EXPECT_EQ(cells(5, 46, 1) + cells(6, 32, 15), "╗║ KALKULACIJE ║");
    EXPECT_EQ(rt::CELL(6, 34).attr, attr_of(SVETLO));
    NASLOV("AB");  // row 2, l = 37
    EXPECT_EQ(cells(3, 37, 6), "║ AB ║");

    rt::FILL(0, 0, 0, 79, '#', 0x1E);
    UP("PORUKE");
    // The line is 37 long: column 22 + (40 - 37) / 2 = 23. 10 March 2026 is a Tuesday.
    EXPECT_EQ(row_text(0), "10.Mar.2026, (Utorak)  :: TOR-PDV v1.84.1 (2018) / PORUKE ::" +
                               std::string(13, ' ') + "F1=Info");
    EXPECT_EQ(rt::CELL(0, 70).attr, 0x07);
    XFIRMA = std::string(40, 'F');  // too long to centre: one cell right of column 22
    UP();
    EXPECT_EQ(cells(0, 22, 4) + cells(0, 73, 7), " :: F1=Info");
    XFIRMA.clear();

    EXPECT_EQ(datum_text(rt::Date::ymd(2026, 12, 7)) + datum_text(rt::Date::ymd(2026, 3, 8)) +
                  datum_text(rt::Date::ymd(2024, 2, 29)),
              "07.Dec.2026, (Poned.)08.Mar.2026, (Nedelja)29.Feb.2024, (Cetvr.)");
}

TEST_F(Messages, ColourSetsFollowTheDisplaySwitchAndTheDesktopFile) {
    COLO = false;
    COLORME();
    EXPECT_EQ(NORMAL + INVERZ + DESKTOP, "W/N,N/WIW+");
    COLO = true;
    COLORME();
    EXPECT_EQ(NORMAL + DESKTOP, "W+/B,W+/R,,,W+/BB+");
    std::ofstream(root_ + "/desktop.vlt") << "G\r\n";
    COLORME();
    const std::string green = DESKTOP;
    std::ofstream(root_ + "/desktop.vlt") << "Q";
    COLORME();
    EXPECT_EQ(green + " " + DESKTOP, "G+ B+");  // "Q": no such colour

    rt::dbf::create_table(root_ + "/t.dbf", parse_polja({"SIFRA     C6  "}));
    rt::dbf::select(3);
    ASSERT_TRUE(rt::dbf::use(root_ + "/t.dbf"));
    COLORME();
    EXPECT_TRUE(rt::dbf::used_areas().empty());
    EXPECT_EQ(rt::dbf::current_number(), 1);
}

}  // namespace
}  // namespace tor::test
