// The lookup list of the code fields: what it shows, where the bar goes at the ends of the table,
// the name search, the filter and order it leaves on the table, the Ctrl+Enter mark, the print.
#include "company/company.h"
#include "report/report.h"
#include "rt/input/get.h"
#include "rt/os/os.h"
#include "ui/lookup.h"
#include "ui_fixture.h"

namespace tor::test {
namespace {

// The text of a list row (columns 9-75) with trailing blanks cut.
std::string item(const std::vector<std::string>& dump, int row) { return rt::TRIM(dump.at(row).substr(9, 67)); }

using rt::dbf::Value;
using Row = std::vector<std::pair<const char*, Value>>;

class Lookup : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        register_ui_hotkeys();
        PREGLED_VALUE = -1;
    }
    void TearDown() override {
        rt::SETKEY(rt::K::PLUS, {});
        rt::SETKEY(rt::K::ALT_D, {});
        UiTest::TearDown();
    }

    // A new key script whose {dump}s are kept.
    void script(const std::string& keys) {
        start("");
        std::filesystem::remove(root_ + "/screen.txt");
        rt::console_init_headless(keys, root_ + "/screen.txt");
    }
    // Dump n, as CP437 bytes of 80 cells.
    std::vector<std::string> dump(size_t n) const {
        const auto rows = read_dumps(root_ + "/screen.txt");
        return rows.size() < (n + 1) * 25 ? std::vector<std::string>(25)
                                          : std::vector<std::string>(rows.begin() + n * 25, rows.begin() + n * 25 + 25);
    }

    // A company table of the dictionary in area n under its own name, with these records in
    // this physical order.
    rt::dbf::WorkArea& table(int n, const std::string& name, const std::vector<Row>& rows) {
        rt::dbf::select(n);
        rt::dbf::current().close();
        rt::dbf::create_table(dbf_path(name), parse_polja(table_def(name)->polja));
        EXPECT_TRUE(rt::dbf::use(dbf_path(name), name));
        rt::dbf::WorkArea& a = rt::dbf::current();
        for (const Row& r : rows) {
            a.append_blank();
            for (const auto& [f, v] : r) a.put(f, v);
        }
        a.unlock();
        a.go_top();
        return a;
    }

    // The code field the lookup serves, read with the screen in area 3.
    double pick(const std::string& kind, const std::string& keys, double start_value = 0) {
        script(keys);
        rt::dbf::select(3);
        double code = start_value;
        rt::GetList gl;
        rt::GET(gl, rt::get(20, 10, code, "999999").valid([kind] { return PREGLED(kind); }).name("WSIFRA"));
        rt::READ(gl);
        return code;
    }

    rt::dbf::WorkArea& goods() {
        std::vector<Row> rows;
        const char* names[] = {"BRASNO", "SECER", "Ulje suncokretovo", "SO", "KAFA", "PREVOZ", "MLEKO"};
        for (int i = 0; i < 7; ++i)
            rows.push_back({{"SIFRA", rt::STRZERO(i + 1, 6)}, {"NAZIV", names[i]}, {"JMERE", "KG"},
                            {"PRODCEN", 10.0 * (i + 1)}, {"USLUGA", i == 5}});
        return table(1, "mdart", rows);
    }
};

TEST_F(Lookup, TheBarStopsAtBothEndsAndAnEmptyResultPicksNothing) {
    rt::dbf::WorkArea& a = goods();
    struct Case {
        const char* keys;
        double code;
    } cases[] = {
        {"{Ctrl+Enter}{Up}{Up}{Enter}{Enter}", 1},
        {"{Ctrl+Enter}{End}{Down}{Down}{Enter}{Enter}", 7},
        {"{Ctrl+Enter}{PgDn}{PgDn}{Enter}{Enter}", 7},  // never past the last record
        {"{Ctrl+Enter}{PgDn}{PgUp}{PgUp}{Enter}{Enter}", 1},
        {"{Ctrl+Enter}xyz{Enter}{Down}{Up}{Enter}{Enter}", 0},  // nothing found
        {"{Ctrl+Enter}xyz{Enter}{F3}{Esc}{End}{Enter}{Enter}", 7},  // the search taken back
    };
    for (const Case& c : cases) {
        a.go_top();
        EXPECT_EQ(pick("ART", c.keys, 5), c.code) << c.keys;
    }
    a.go_top();
    pick("ART", "{Ctrl+Enter}xyz{Enter}{dump}{Esc}{Enter}");
    for (int r = 5; r <= 9; ++r) EXPECT_EQ(item(dump(0), r), "") << r;
}

TEST_F(Lookup, ExpenditureSearchKeepsOutRecordsWithoutAKind) {
    rt::dbf::WorkArea& a = table(1, "rashod", {
        {{"VRDOK", "R000003"}, {"DATUM", rt::Date::ymd(2026, 3, 5)}, {"VRSTA", "1"}, {"OPIS", "KIRIJA"}},
        {{"VRDOK", "R000001"}, {"DATUM", rt::Date::ymd(2026, 2, 10)}, {"VRSTA", "2"}, {"OPIS", "Porez"}},
        {{"VRDOK", "R000002"}, {"DATUM", rt::Date::ymd(2026, 1, 1)}, {"OPIS", "POREZ BEZ VRSTE"}},
    });
    a.create_index("vrdok", ntx_path("rashod1"));
    a.create_index("dtos(datum)+vrdok", ntx_path("rashod"));
    a.add_index(ntx_path("rashod1"));
    a.go_top();  // on the record without a kind: the list starts at the first with one
    EXPECT_EQ(pick("RAS", "{Ctrl+Enter}porez{Enter}{dump}{F3}{Esc}{Home}{dump}{Down}{Enter}{Enter}"), 3);
    // The search finds the name in any case; F3 and Home: back to both records with a kind.
    EXPECT_EQ(item(dump(0), 5).substr(0, 6) + "|" + item(dump(0), 6), "000001|");
    EXPECT_EQ(item(dump(1), 5).substr(0, 6) + item(dump(1), 6).substr(0, 6) + "|" + item(dump(1), 7), "000001000003|");
    EXPECT_EQ(a.filter_text() + "|" + std::to_string(a.order()), "|2");
}

TEST_F(Lookup, AMarkFromOutsideAFieldAndAKindWithoutAListPickNothing) {
    goods();
    // Ctrl+Enter outside any field (in a menu): the mark is gone once a field is entered.
    MY_CTRL_ENTER();
    EXPECT_EQ(pick("ART", "7{Enter}{Esc}{Enter}"), 7);

    // A kind without a list.
    EXPECT_EQ(pick("TAR", "{Ctrl+Enter}{Esc}{Enter}", 4), 4);
    EXPECT_EQ(rt::NEXTKEY(), rt::K::ESC);
}

TEST_F(Lookup, ListPrintStartsANewPageAfterRow61) {
    std::vector<Row> rows;
    for (int i = 1; i <= 60; ++i) rows.push_back({{"SIFRA", rt::STRZERO(i, 6)}, {"NAZIV", "ROBA " + std::to_string(i)}});
    rt::dbf::WorkArea& a = table(1, "mdart", rows);
    a.go_to(30);
    WSIFKOM = "001", WNAZKOM = "FIRMA", WVLASNIK = "VLASNIK", WMESKOM = "MESTO";
    DDAN = rt::Date::ymd(2025, 12, 31);
    ZA = "DOBARA";
    ZAG = "Sifra  Naziv";
    RED = [] { return rt::TRIM(rt::dbf::current().get_str("NAZIV")); };
    start("F");
    STAMPRE();
    const std::string text = rt::os::read_file(root_ + "/tor001.000");
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(rt::TRIM(text.substr(at, end - at)));
    // Page 1: the header on rows 0-7, records 1-54 on rows 8-61, the rule on row 62; the next
    // page's first row follows the form feed.
    ASSERT_EQ(lines.size(), 76u);
    const std::pair<int, std::string> want[] = {
        {4, "SPISAK DOBARA 2025."}, {6, "R.Br. Sifra  Naziv"}, {8, "   1  ROBA 1"}, {61, "  54  ROBA 54"},
        {62, std::string(80, '-') + "\x0C" "Obveznik: FIRMA, VLASNIK" + std::string(45, ' ') + "Strana: 02"},
        {70, "  55  ROBA 55"}, {75, "  60  ROBA 60"}};
    for (const auto& [i, text] : want) EXPECT_EQ(lines[i], text) << "line " << i;
    EXPECT_EQ(text.substr(text.size() - 83), "\r\n" + std::string(80, '=') + "\x0C");
}

}  // namespace
}  // namespace tor::test
