// The notes window: creation of its table, adding, editing and deleting notes, and the work areas
// of the screen it interrupts.
#include "rt/input/get.h"
#include "rt/os/os.h"
#include "ui_fixture.h"

namespace tor::test {
namespace {

using Notes = UiTest;

TEST_F(Notes, OutsideTabOnlyTheTableAndIndexAreMade) {
    rt::SET_LASTKEY(rt::K::ENTER);
    EXPECT_TRUE(MESSAGE());
    EXPECT_TRUE(rt::os::exists(root_ + "/message.ntx"));
    EXPECT_EQ(rt::dbf::table_fields(root_ + "/message.vlt").size(), 2u);  // no ".dbf" added
    EXPECT_TRUE(rt::dbf::used_areas().empty());
    EXPECT_TRUE(MESSAGE());
    EXPECT_EQ(KRE_DAT, 2);  // table and index made once
}

TEST_F(Notes, NotesAreAddedEditedAndDeleted) {
    const std::string dumps = root_ + "/screens.txt";
    rt::console_init_headless(
        // Enter on the empty list, two new notes, the first one rewritten, the second deleted.
        "{Enter}{dump}{pause}"
        "{Ins}Prva poruka{Enter}{Ins}Druga{Enter}{dump}"
        "{Up}{Enter}{25}Izmenjena{Enter}{Down}{Del}{dump}{Esc}",
        dumps);
    rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::SAY(24, 0, "ekran ispod");
    const std::string before = rt::screen_text();
    rt::SET_LASTKEY(rt::K::TAB);
    EXPECT_TRUE(MESSAGE());
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_TRUE(rt::dbf::used_areas().empty());

    const auto rows = read_dumps(dumps);
    ASSERT_EQ(rows.size(), 75u);
    EXPECT_EQ(rows[6].substr(3, 30), "\xB3Poruke se unose sa Insert !  ");
    EXPECT_EQ(rows[25 + 6].substr(4, 22) + "|" + rows[25 + 7].substr(4, 16), "10.03.2026 Prva poruka|10.03.2026 Druga");
    EXPECT_EQ(rows[50 + 6].substr(4, 22), "10.03.2026 Izmenjena  ");
    EXPECT_EQ(rows[50 + 7].substr(3, 73), "\xB3" + std::string(71, ' ') + "\xB3");

    rt::dbf::set_deleted(false);
    ASSERT_TRUE(rt::dbf::use(root_ + "/message.vlt"));
    auto& a = rt::dbf::current();
    std::string texts;
    for (a.go_to(1); !a.eof(); a.skip()) texts += rt::TRIM(a.get_str("TEKST")) + (a.deleted() ? "*;" : ";");
    EXPECT_EQ(texts, "Izmenjena;Druga*;");
}

TEST_F(Notes, ListScrollsAndMovesInDateOrder) {
    // Fifteen notes, entered out of date order: the list shows them by date.
    rt::SET_LASTKEY(0);
    MESSAGE();
    ASSERT_TRUE(rt::dbf::use(root_ + "/message.vlt"));
    rt::dbf::current().set_index({root_ + "/message"});
    for (int d = 15; d >= 1; --d) {
        ASSERT_TRUE(rt::dbf::current().append_blank());
        rt::dbf::current().put("DATUM", rt::Date::ymd(2026, 1, d));
        rt::dbf::current().put("TEKST", "Poruka " + std::to_string(d));
    }
    rt::dbf::close_all();

    const std::string dumps = root_ + "/screens.txt";
    // 13 rows: Down 13 times scrolls by one; End shows the last alone; Up at the top beeps.
    rt::console_init_headless("{dump}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}"
                              "{Down}{Down}{Down}{dump}{End}{dump}{Home}{Up}{dump}{Esc}", dumps);
    rt::SET_LASTKEY(rt::K::TAB);
    MESSAGE();
    const auto rows = read_dumps(dumps);
    ASSERT_EQ(rows.size(), 100u);
    const std::pair<int, std::string> want[] = {
        {6, "01.01.2026 Poruka 1  "},      {18, "13.01.2026 Poruka 13 "}, {25 + 6, "02.01.2026 Poruka 2  "},
        {25 + 18, "14.01.2026 Poruka 14 "}, {50 + 6, "15.01.2026 Poruka 15 "}, {75 + 6, "01.01.2026 Poruka 1  "}};
    for (const auto& [row, text] : want) EXPECT_EQ(rows[row].substr(4, 21), text) << row;
    EXPECT_EQ(rows[50 + 7].substr(3, 73), "\xB3" + std::string(71, ' ') + "\xB3");
}

TEST_F(Notes, TabKeyLeavesTheInterruptedScreensTablesAlone) {
    register_ui_hotkeys();
    rt::dbf::create_table(root_ + "/roba.dbf", parse_polja({"SIFRA     C6  "}));
    rt::dbf::select(1);
    ASSERT_TRUE(rt::dbf::use(root_ + "/roba.dbf"));
    for (int i = 1; i <= 5; ++i) ASSERT_TRUE(rt::dbf::current().append_blank());
    rt::dbf::current().unlock();
    rt::dbf::current().go_to(3);

    // Tab inside an input field opens the notes, which add one note and close again.
    start("{Tab}{Ins}Iz forme{Enter}{Esc}{Enter}");
    std::string field = "abc";
    rt::GetList gl;
    rt::GET(gl, rt::get(5, 10, field));
    rt::READ(gl);

    EXPECT_EQ(rt::dbf::current_number(), 1);
    EXPECT_EQ(rt::dbf::used_areas(), std::vector<int>{1});
    EXPECT_EQ(rt::dbf::area(1).alias() + " " + std::to_string(rt::dbf::area(1).recno()), "ROBA 3");
    rt::dbf::close_all();
    ASSERT_TRUE(rt::dbf::use(root_ + "/message.vlt"));
    EXPECT_EQ(rt::dbf::current().reccount(), 1u);  // the note was written from inside the field
}

}  // namespace
}  // namespace tor::test
