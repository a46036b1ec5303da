// Messages, questions, the error line, titles, the status line, tones and the colour sets.
#include <fstream>

#include "ui_fixture.h"

namespace tor::test {
namespace {

using Messages = UiTest;

TEST_F(Messages, MessageBoxIsCentredAndA74CharacterTextStillFits) {
    const std::string text(74, 'x');
    PORUKA(text, 1);
    EXPECT_EQ(cells(10, 0, 1), "╔");
    EXPECT_EQ(cells(10, 79, 1), "╗");
    EXPECT_EQ(cells(12, 0, 1), "╚");
    EXPECT_EQ(cells(11, 0, 3), "║  ");
    EXPECT_EQ(cells(11, 3, 74), text);
    EXPECT_EQ(cells(11, 77, 3), "  ║");
    EXPECT_EQ(rt::CELL(11, 3).attr, attr_of(SVETLO));
    EXPECT_EQ(rt::CELL(10, 0).attr, attr_of(NORMAL));
    EXPECT_EQ(rt::SETCOLOR(), NORMAL);  // the caller's colour is left as it was

    rt::CLS();
    PORUKA("Sacekaj...", 1);  // c = 35: box 32-47, text at 35
    EXPECT_EQ(cells(10, 32, 16), "╔══════════════╗");
    EXPECT_EQ(cells(11, 32, 16), "║  Sacekaj...  ║");
    EXPECT_EQ(cells(10, 31, 1), " ");
    EXPECT_EQ(cells(10, 48, 1), " ");
}

TEST_F(Messages, TextWiderThanTheScreenIsClippedToItsColumns) {
    std::string text = "A";
    for (int i = 0; i < 98; ++i) text += static_cast<char>('a' + i % 26);
    text += "Z";  // 100 characters
    rt::FILL(9, 0, 9, 79, '.', 0x07);
    PORUKA(text, 1);
    EXPECT_EQ(cells(10, 0, 1), "╔");
    EXPECT_EQ(cells(10, 79, 1), "╗");
    EXPECT_EQ(cells(11, 0, 1), "║");
    EXPECT_EQ(cells(11, 79, 1), "║");
    EXPECT_EQ(cells(11, 1, 78), text.substr(0, 78));  // the beginning of the text is kept
    EXPECT_EQ(cells(9, 0, 80), std::string(80, '.'));  // nothing spilled to the row above
}

TEST_F(Messages, QuestionsAnswerYesOnlyToD) {
    const std::string before = rt::screen_text();
    start("d");
    EXPECT_TRUE(PITANJE("Sigurno Brisete (D/N)?"));
    EXPECT_EQ(rt::screen_text(), before);  // mode 2 puts the screen back

    start("D");
    EXPECT_TRUE(PITANJE("Sigurno Brisete (D/N)?", 0));
    start("n");
    EXPECT_FALSE(PITANJE("Sigurno Brisete (D/N)?"));
    start("{Enter}");
    EXPECT_FALSE(PITANJE("Sigurno Brisete (D/N)?"));
}

TEST_F(Messages, QuestionThatTimesOutIsAnsweredNo) {
    start("{pause}x");
    rt::SET_LASTKEY('D');  // a "D" typed on an earlier screen
    const std::string before = rt::screen_text();
    EXPECT_FALSE(PITANJE("Nastavak (D/N)?", 0));
    EXPECT_EQ(rt::LASTKEY(), 0);
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::NEXTKEY(), 'x');  // the wait took only its own time

    start("q");
    PORUKA("Obavestenje", 1);  // mode 1 returns at once and leaves its box
    EXPECT_EQ(rt::NEXTKEY(), 'q');
    EXPECT_NE(row_text(11).find("Obavestenje"), std::string::npos);
}

TEST_F(Messages, ErrorLineAlternatesUntilTheSpaceBar) {
    const std::string dumps = root_ + "/screens.txt";
    rt::console_init_headless("{dump}a{dump}{pause}{pause}{pause}b{Space}z", dumps);
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::SAY(24, 0, "donji red");
    const std::string before = rt::screen_text();
    rt::SET_LASTKEY(' ');  // a space left over from an earlier screen does not end the line
    GRESKA("Sifra ne postoji");
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::SETCOLOR(), NORMAL);
    EXPECT_EQ(rt::NEXTKEY(), 'z');  // "b" did not end it, the space did

    std::ifstream f(dumps);
    std::vector<std::string> rows;
    for (std::string line; std::getline(f, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 52u);  // two dumps of 25 rows and "----"
    // c = (80 - len("Paznja - Sifra ne postoji")) / 2 = 27
    EXPECT_EQ(rt::TRIM(rows[24]), std::string(27, ' ') + "Paznja  - Sifra ne postoji");
    EXPECT_EQ(rt::TRIM(rows[50]), std::string(24, ' ') + "Pritisnite RAZMAKNICU za izlaz !");
}

TEST_F(Messages, TitleBoxAndStatusLine) {
    NASLOV(5, "KALKULACIJE");  // l = (76 - 11) / 2 = 32, right 46
    EXPECT_EQ(cells(5, 32, 15), "╔═════════════╗");
    EXPECT_EQ(cells(6, 32, 15), "║ KALKULACIJE ║");
    EXPECT_EQ(cells(7, 32, 15), "╚═════════════╝");
    EXPECT_EQ(rt::CELL(6, 34).attr, attr_of(SVETLO));
    EXPECT_EQ(rt::CELL(5, 32).attr, attr_of(NORMAL));
    EXPECT_EQ(rt::CELL(8, 33).attr, attr_of(NORMAL));  // no shadow
    NASLOV("AB");  // row 2, l = 37, right 42
    EXPECT_EQ(cells(3, 37, 6), "║ AB ║");

    rt::FILL(0, 0, 0, 79, '#', 0x1E);
    UP("PORUKE");
    // ":: TOR-PDV v1.84.1 (2018) / PORUKE ::" is 37 long: column 22 + (40 - 37) / 2 = 23.
    EXPECT_EQ(row_text(0), "10.Mar.2026, (Utorak)  :: TOR-PDV v1.84.1 (2018) / PORUKE ::" +
                               std::string(13, ' ') + "F1=Info");
    EXPECT_EQ(rt::CELL(0, 70).attr, 0x07);
    EXPECT_EQ(rt::SETCOLOR(), NORMAL);

    XFIRMA = std::string(40, 'F');  // too long to centre: one cell right of column 22
    UP();
    EXPECT_EQ(cells(0, 22, 4), " :: ");
    EXPECT_EQ(cells(0, 73, 7), "F1=Info");
    XFIRMA.clear();
}

TEST_F(Messages, DateText) {
    EXPECT_EQ(datum_text(rt::Date::ymd(2026, 12, 7)), "07.Dec.2026, (Poned.)");
    EXPECT_EQ(datum_text(rt::Date::ymd(2026, 3, 8)), "08.Mar.2026, (Nedelja)");
    EXPECT_EQ(datum_text(rt::Date::ymd(2025, 1, 4)), "04.Jan.2025, (Subota)");
    EXPECT_EQ(datum_text(rt::Date::ymd(2024, 2, 29)), "29.Feb.2024, (Cetvr.)");
    DATUM(3, 5);
    EXPECT_EQ(cells(3, 5, 21), "10.Mar.2026, (Utorak)");
}

TEST_F(Messages, ToneLastsOneTickWithOrWithoutSound) {
    const double t0 = rt::clk::monotonic();
    TON(1);
    const double t1 = rt::clk::monotonic();
    BEEP = false;
    TON(1);
    TON(2);
    const double t2 = rt::clk::monotonic();
    EXPECT_NEAR(t1 - t0, 1 / 18.2, 0.01);
    EXPECT_NEAR(t2 - t1, 2 / 18.2, 0.02);
}

TEST_F(Messages, ColourSetsFollowTheDisplaySwitchAndTheDesktopFile) {
    COLO = false;
    COLORME();
    EXPECT_EQ(NORMAL, "W/N,N/W");
    EXPECT_EQ(INVERZ, "I");
    EXPECT_EQ(MENICOL, "W/N,W+*/N");
    EXPECT_EQ(DESKTOP, "W+");

    COLO = true;
    COLORME();
    EXPECT_EQ(NORMAL, "W+/B,W+/R,,,W+/B");
    EXPECT_EQ(SBLINK, "GR+*/B");
    EXPECT_EQ(DESKTOP, "B+");  // no desktop file
    std::ofstream(root_ + "/desktop.vlt") << "G\r\n";
    COLORME();
    EXPECT_EQ(DESKTOP, "G+");
    std::ofstream(root_ + "/desktop.vlt", std::ios::trunc).flush();
    COLORME();
    EXPECT_EQ(DESKTOP, "B+");  // empty file
    std::ofstream(root_ + "/desktop.vlt") << "Q";
    COLORME();
    EXPECT_EQ(DESKTOP, "B+");  // no such colour

    // Every table is closed and area 1 selected.
    rt::dbf::create_table(root_ + "/t.dbf", parse_polja({"SIFRA     C6  "}));
    rt::dbf::select(3);
    ASSERT_TRUE(rt::dbf::use(root_ + "/t.dbf"));
    COLORME();
    EXPECT_TRUE(rt::dbf::used_areas().empty());
    EXPECT_EQ(rt::dbf::current_number(), 1);
}

}  // namespace
}  // namespace tor::test
