// The table inspector: it looks at the interrupted screen's work areas, edits records in place
// under a table lock, shows an area's structure, and puts every pointer and the selection back.
#include "ui_fixture.h"

namespace tor::test {
namespace {

class Inspector : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        rt::dbf::create_table(root_ + "/roba.dbf",
                              parse_polja({"SIFRA     C6  ", "NAZIV     C10 ", "CENA      N102"}));
        rt::dbf::create_table(root_ + "/kupci.dbf", parse_polja({"SIFRA     C4  "}));
        rt::dbf::select(1);
        ASSERT_TRUE(rt::dbf::use(root_ + "/roba.dbf"));
        auto& a = rt::dbf::current();
        for (int i = 1; i <= 5; ++i) {
            ASSERT_TRUE(a.append_blank());
            a.put("SIFRA", rt::STRZERO(i, 6));
            a.put("NAZIV", "ROBA " + std::to_string(i));
            a.put("CENA", i * 10.5);
        }
        a.unlock();
        a.create_index("SIFRA", root_ + "/roba1");
        a.go_to(3);
        rt::dbf::select(2);
        ASSERT_TRUE(rt::dbf::use(root_ + "/kupci.dbf"));
        for (int i = 1; i <= 2; ++i) {
            ASSERT_TRUE(rt::dbf::current().append_blank());
            rt::dbf::current().put("SIFRA", rt::STRZERO(i, 4));
        }
        rt::dbf::current().unlock();
        rt::dbf::current().go_to(1);
    }
};

TEST_F(Inspector, ListsTheAreasAndPutsEveryPointerBack) {
    rt::console_init_headless("{dump}{Enter}{Down}{Down}{dump}{Esc}{Down}{Alt+Enter}{dump}{Esc}{Esc}",
                              root_ + "/screens.txt");
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::SAY(20, 1, "ekran ispod");
    const std::string before = rt::screen_text();
    DBDEBUG();
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ((std::vector<size_t>{static_cast<size_t>(rt::dbf::current_number()), rt::dbf::area(1).recno(), rt::dbf::area(2).recno()}),
              (std::vector<size_t>{2, 3, 1}));
    EXPECT_FALSE(rt::dbf::area(1).is_locked(3));
    EXPECT_FALSE(_DBDEBUG);

    const auto rows = read_dumps(root_ + "/screens.txt");
    ASSERT_EQ(rows.size(), 75u);
    EXPECT_NE(rows[0].find("/ Pregled Datoteka ::"), std::string::npos);
    EXPECT_EQ(rows[5].substr(28, 23) + rows[6].substr(28, 23), " 01. ROBA            5  02. KUPCI           2 ");
    // The browse starts on the area's record (3); two rows down is record 5.
    std::string browse;
    for (int r = 25 + 8; r <= 25 + 21; ++r) browse += rows[r] + "\n";
    for (const char* text : {"000003 ROBA 3", "000005 ROBA 5"}) EXPECT_NE(browse.find(text), std::string::npos) << text;
    EXPECT_EQ(browse.find("000002"), std::string::npos);
    // The structure of area 2.
    EXPECT_NE(rows[50 + 8].find(" OSTALI PODACI ZA KUPCI "), std::string::npos);
    EXPECT_EQ(rt::TRIM(rows[50 + 12].substr(6, 49)), "01. SIFRA      C   4  0");
}

TEST_F(Inspector, StructureTextNamesIndexesFilterAndRelations) {
    auto& roba = rt::dbf::area(1);
    roba.set_filter([] { return true; }, "CENA > 20");
    roba.set_relation("kupci", [] { return std::string("0001"); }, "LEFT(SIFRA,4)");
    const std::string t = area_structure_text(1);
    EXPECT_NE(t.find(" BROJ SLOGOVA 5\r\n INDEKSI:\r\n1.SIFRA\r\n FILTER: CENA > 20\r\n"), std::string::npos) << t;
    EXPECT_NE(t.find(" RELACIJE:\r\n1. LEFT(SIFRA,4) -> KUPCI\r\n SLOBODNA MEMORIJA "), std::string::npos) << t;
}

TEST_F(Inspector, RecordsAreEditedInPlaceUnderATableLock) {
    start("{Enter}{Right}{Enter}NOVO{25}{Enter}{Esc}{Esc}");
    DBDEBUG();
    auto& a = rt::dbf::area(1);
    EXPECT_EQ(a.recno(), 3u);
    const std::string edited = a.get_str("NAZIV");
    a.go_to(2);
    EXPECT_EQ(edited + "|" + a.get_str("NAZIV"), "NOVO      |ROBA 2    ");
    EXPECT_FALSE(a.is_locked(3));
}

}  // namespace
}  // namespace tor::test
