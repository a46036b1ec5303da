// The lookup list of the code fields: what it shows, where the bar goes at the ends of the table,
// the name search, the filter and order it leaves on the table, the Ctrl+Enter mark; and the
// one-line text prompt it searches with.
#include <fstream>
#include <sstream>

#include "rt/input/get.h"
#include "ui/lookup.h"
#include "ui_fixture.h"

namespace tor::test {
namespace {

// The text of a list row (columns 9-75) with trailing blanks cut, and the scroll-bar cell.
std::string item(const std::vector<std::string>& dump, int row) { return rt::TRIM(dump.at(row).substr(9, 67)); }
char bar(const std::vector<std::string>& dump, int row) { return dump.at(row).at(77); }

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
    // The rows of every dump taken so far, as CP437 bytes of 80 cells.
    std::vector<std::vector<std::string>> dumps() const {
        std::ifstream in(root_ + "/screen.txt");
        std::vector<std::vector<std::string>> out(1);
        for (std::string l; std::getline(in, l);) {
            if (l == "----") {
                out.emplace_back();
                continue;
            }
            out.back().push_back(rt::utf8_to_cp437(l));
        }
        out.pop_back();
        return out;
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

    static std::vector<std::string> visible(rt::dbf::WorkArea& a, const std::string& field) {
        std::vector<std::string> out;
        for (a.go_top(); !a.eof(); a.skip()) out.push_back(rt::TRIM(a.get_str(field)));
        return out;
    }

    rt::dbf::WorkArea& partners() {
        return table(1, "mddob", {
            {{"SIFRA", "0001"}, {"NAZIV", "TRGOPROMET DOO"}, {"MESTO", "NOVI SAD"},
             {"ULICA", "BULEVAR OSLOBODJENJA 12"}, {"ZIRO", "160-12345-67"}},
            {{"SIFRA", "0002"}, {"NAZIV", "Mlekara Zlatibor"}, {"MESTO", "  ZLATIBOR "}, {"KD", "0"}},
            {{"SIFRA", "9001"}, {"NAZIV", "PORESKA UPRAVA"}, {"MESTO", "BEOGRAD"}, {"ZIRO", "840-711111843-22"}},
            {{"SIFRA", "0003"}, {"NAZIV", "MLIN DOO"}, {"MESTO", "SUBOTICA"}, {"ULICA", "KORZO 3"}},
        });
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

TEST_F(Lookup, PartnerListRowsAndTheFilterLeftAfterThePick) {
    rt::dbf::WorkArea& a = partners();
    // The kind is taken in upper case; the list starts at the table's current record.
    EXPECT_EQ(pick("Par_0", "{Ctrl+Enter}{dump}{Down}{Down}{Down}{Enter}{dump}{Enter}"), 3);
    const auto d = dumps();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(item(d[0], 3), "Sifra  Naziv Partnera                 Adresa");
    // Code, marker, name (30), a blank, place and street cut to 29 cells.
    EXPECT_EQ(item(d[0], 5), "0001   TRGOPROMET DOO                 NOVI SAD, BULEVAR OSLOBODJENJ");
    EXPECT_EQ(item(d[0], 6), "0002 * Mlekara Zlatibor               ZLATIBOR");
    EXPECT_EQ(item(d[0], 7), "9001   PORESKA UPRAVA                 BEOGRAD");
    EXPECT_EQ(item(d[0], 8), "0003   MLIN DOO                       SUBOTICA, KORZO 3");
    EXPECT_EQ(item(d[0], 9), "");
    EXPECT_EQ(item(d[0], 4), std::string(67, '\xC4'));
    EXPECT_EQ(item(d[0], 11), "<F2>-Stampa  <F3,ABC...>-Trazi  <\x1B,\x18,\x19,\x1A,Home,End>-Kretanje");
    EXPECT_EQ(d[0][2].substr(7, 71), "\xC9" + std::string(30, '\xCD') + " PREGLED " + std::string(30, '\xCD') + "\xBB");
    // The picked code stays in the field for the user to confirm; the list is gone.
    EXPECT_EQ(d[1][20].substr(10, 6), "     3");
    EXPECT_EQ(rt::TRIM(d[1][5]), "");
    EXPECT_EQ(PREGLED_VALUE, 3);

    // The screen's own area is selected again, and the filter reads its own table from there.
    EXPECT_EQ(rt::dbf::current_number(), 3);
    EXPECT_EQ(visible(a, "SIFRA"), (std::vector<std::string>{"0001", "0002", "0003"}));
    EXPECT_EQ(a.filter_text(), "val(sifra)<9000");

    // Obligations: the filter keeps codes above 9000; Esc puts 0 into the field.
    a.clear_filter();
    a.go_top();
    EXPECT_EQ(pick("OBA", "{Ctrl+Enter}{Down}{Esc}{Enter}", 77), 0);
    EXPECT_EQ(PREGLED_VALUE, 0);
    EXPECT_EQ(visible(a, "SIFRA"), (std::vector<std::string>{"9001"}));

    // A search in the partner list never brings obligations in, whatever their name.
    a.clear_filter();
    a.go_top();
    EXPECT_EQ(pick("PAR", "{Ctrl+Enter}{F3}pr{Enter}{dump}{Down}{Enter}{Enter}"), 1);
    const auto s = dumps();
    EXPECT_EQ(item(s[0], 5).substr(0, 21), "0001   TRGOPROMET DOO");
    EXPECT_EQ(item(s[0], 6), "");
    EXPECT_EQ(visible(a, "SIFRA"), (std::vector<std::string>{"0001", "0002", "0003"}));
}

TEST_F(Lookup, TheBarStopsAtBothEndsAndPagesNeverRunPastTheLastRecord) {
    rt::dbf::WorkArea& a = goods();
    struct Case {
        const char* keys;
        double code;
    } cases[] = {
        {"{Ctrl+Enter}{Up}{Up}{Enter}{Enter}", 1},
        {"{Ctrl+Enter}{End}{Down}{Down}{Enter}{Enter}", 7},
        {"{Ctrl+Enter}{End}{Up}{Enter}{Enter}", 6},
        {"{Ctrl+Enter}{PgDn}{Enter}{Enter}", 6},
        {"{Ctrl+Enter}{PgDn}{PgDn}{Enter}{Enter}", 7},
        {"{Ctrl+Enter}{PgDn}{PgUp}{PgUp}{Enter}{Enter}", 1},
        {"{Ctrl+Enter}{End}{Home}{Down}{Enter}{Enter}", 2},
    };
    for (const Case& c : cases) {
        a.go_top();
        EXPECT_EQ(pick("ART", c.keys), c.code) << c.keys;
    }

    // Past row 9 the rows scroll up; the scroll bar's mark moves down by 5/7 of a row a step.
    a.go_top();
    EXPECT_EQ(pick("ART_U", "{Ctrl+Enter}{Down}{Down}{dump}{Down}{Down}{Down}{Down}{dump}{Enter}{Enter}"), 7);
    const auto d = dumps();
    EXPECT_EQ(item(d[0], 3), "Sifra    Naziv Dobra                                JM   Prod.Cena");
    EXPECT_EQ(std::string({bar(d[0], 5), bar(d[0], 6), bar(d[0], 7)}), "\xB2\xB1\xB2");
    EXPECT_EQ(item(d[1], 5).substr(0, 6), "000003");
    EXPECT_EQ(item(d[1], 8), "000006 U PREVOZ                                     KG       60.00");
    EXPECT_EQ(item(d[1], 9), "000007   MLEKO                                      KG       70.00");
    EXPECT_EQ(std::string({bar(d[1], 8), bar(d[1], 9)}), "\xB2\xB1");

    // A code typed and confirmed with Enter never opens the list.
    a.go_top();
    PREGLED_VALUE = -1;
    EXPECT_EQ(pick("ART", "4{Enter}{Esc}"), 4);
    EXPECT_EQ(PREGLED_VALUE, -1);
    EXPECT_EQ(rt::NEXTKEY(), rt::K::ESC);
}

TEST_F(Lookup, SearchFindsNamesInAnyCaseAndAnEmptyResultPicksNothing) {
    rt::dbf::WorkArea& a = goods();
    // A letter typed in the list starts the prompt with it.
    EXPECT_EQ(pick("ART", "{Ctrl+Enter}u{dump}lje{Enter}{dump}{Enter}{Enter}"), 3);
    auto d = dumps();
    EXPECT_EQ(d[0][7].substr(27, 9), "Naziv: U_");
    EXPECT_EQ(item(d[1], 5).substr(0, 26), "000003   Ulje suncokretovo");
    EXPECT_EQ(item(d[1], 6), "");
    EXPECT_EQ(SKLJUC, "ULJE");
    EXPECT_EQ(a.filter_text(), "");

    // Nothing found: blank rows; Down beeps, Enter gives 0.
    a.go_top();
    EXPECT_EQ(pick("ART", "{Ctrl+Enter}xyz{Enter}{dump}{Down}{Enter}{Enter}", 5), 0);
    d = dumps();
    for (int r = 5; r <= 9; ++r) EXPECT_EQ(item(d[0], r), "") << r;

    // Esc in the prompt takes the search back: the whole list again from the top.
    a.go_top();
    EXPECT_EQ(pick("ART", "{Ctrl+Enter}xyz{Enter}{F3}{Esc}{dump}{Enter}{Enter}"), 1);
    d = dumps();
    EXPECT_EQ(item(d[0], 5).substr(0, 6), "000001");
    EXPECT_EQ(item(d[0], 9).substr(0, 6), "000005");
}

TEST_F(Lookup, ExpenditureListKeepsItsKindsAndTogglesItsOrder) {
    rt::dbf::WorkArea& a = table(1, "rashod", {
        {{"VRDOK", "R000003"}, {"DATUM", rt::Date::ymd(2026, 3, 5)}, {"VRSTA", "1"}, {"OPIS", "KIRIJA"},
         {"BRDOK", "K-3"}, {"IZNOS", 20000.0}},
        {{"VRDOK", "R000001"}, {"DATUM", rt::Date::ymd(2026, 2, 10)}, {"VRSTA", "2"},
         {"OPIS", "Porez na imovinu"}, {"BRDOK", "PI-1"}, {"IZNOS", 1500.5}},
        {{"VRDOK", "R000002"}, {"DATUM", rt::Date::ymd(2026, 1, 1)}, {"OPIS", "POREZ BEZ VRSTE"}},
    });
    a.create_index("vrdok", ntx_path("rashod1"));
    a.create_index("dtos(datum)+vrdok", ntx_path("rashod"));
    a.add_index(ntx_path("rashod1"));
    a.go_top();  // the record without a kind comes first by date
    EXPECT_EQ(pick("RAS", "{Ctrl+Enter}{dump}{Space}{dump}{pause}{Space}{pause}porez{Enter}{dump}"
                          "{F3}{Esc}{dump}{Enter}{Enter}"),
              1);
    const auto d = dumps();
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(item(d[0], 3), "Broj   Datum    Opis                          Racun           Iznos");
    EXPECT_EQ(item(d[0], 5), "000001 10.02.26 Porez na imovinu              PI-1          1500.50");
    EXPECT_EQ(item(d[0], 6).substr(0, 6), "000003");
    EXPECT_EQ(item(d[0], 7), "");
    EXPECT_NE(d[1][11].find("Redosled po BROJU."), std::string::npos);
    // The search keeps the kind: the row without one stays out, also after the search is taken back.
    EXPECT_EQ(item(d[2], 5).substr(0, 6), "000001");
    EXPECT_EQ(item(d[2], 6), "");
    EXPECT_EQ(item(d[3], 5).substr(0, 6), "000001");
    EXPECT_EQ(item(d[3], 6).substr(0, 6), "000003");
    EXPECT_EQ(item(d[3], 7), "");
    // Leaving: no filter, the number order.
    EXPECT_EQ(a.filter_text(), "");
    EXPECT_EQ(a.order(), 2);

    script("{Ctrl+Enter}{Space}{dump}{pause}{Esc}{Enter}");
    rt::dbf::select(3);
    double n = 0;
    rt::GetList gl;
    rt::GET(gl, rt::get(20, 10, n, "999999").valid([] { return PREGLED("RAS"); }));
    rt::READ(gl);
    EXPECT_NE(dumps()[0][11].find("Redosled po DATUMU."), std::string::npos);
}

TEST_F(Lookup, CtrlEnterMarksOnlyTheFieldItWasPressedIn) {
    goods();
    // Ctrl+Enter in the name field leaves it; Enter in the code field then accepts the code.
    script("{Ctrl+Enter}5{Enter}{Esc}{Enter}");
    rt::dbf::select(3);
    std::string name = "X";
    double code = 0;
    rt::GetList gl;
    rt::GET(gl, rt::get(19, 10, name));
    rt::GET(gl, rt::get(20, 10, code, "999999").valid([] { return PREGLED("ART"); }));
    rt::READ(gl);
    EXPECT_EQ(code, 5);
    EXPECT_FALSE(PRESED_CENT);
    EXPECT_EQ(rt::NEXTKEY(), rt::K::ESC);

    // A mark left over from outside any field (a menu) is gone once a field is entered.
    PRESED_CENT = true;
    EXPECT_EQ(pick("ART", "7{Enter}{Esc}{Enter}"), 7);

    // An empty table, and a kind without a list.
    table(1, "mdart", {});
    EXPECT_EQ(pick("ART", "{Ctrl+Enter}{Space}{Enter}{Enter}", 4), 4);
    EXPECT_EQ(pick("TAR", "{Ctrl+Enter}{Esc}{Enter}", 4), 4);
    EXPECT_EQ(rt::NEXTKEY(), rt::K::ESC);
}

TEST_F(Lookup, PromptEndsAtItsWidthAndThePlusKeyTypesNothing) {
    start("abcdefghijklmnopqrstu");
    EXPECT_EQ(GETUGET(7, 33, 20), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(rt::NEXTKEY(), 'u');

    // "+" opens the calculator over the prompt and closes it again; the text goes on.
    start("ab+{Esc}c{Enter}");
    EXPECT_EQ(GETUGET(7, 33, 20, "x"), "XABC");
    EXPECT_EQ(cells(7, 34, 5), "XABC_");

    start("{BS}{BS}{Esc}");
    EXPECT_EQ(GETUGET(7, 33, 20, "stari "), "stari ");
    EXPECT_EQ(_KLJUC, "stari ");
}

}  // namespace
}  // namespace tor::test
