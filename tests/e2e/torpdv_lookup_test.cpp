// The lookup list of a code field. Goods, partners and obligations: Ctrl+Enter in the code field of
// their registers in the real program, over registers holding a few records (names in any case, as
// an import leaves them). The document kinds, whose screens come later, run in the probe program:
// an entry screen with a name field (row 5) and a code field (row 7, column 20).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e/torpdv_harness.h"
#include "rt/dbf/dbf.h"
#include "rt/term/console.h"

namespace {

using namespace torpdv_e2e;
using PRun = torpdv_e2e::Run;

Options probe(const std::string& kind) {
    Options o;
    o.binary = "torprobe lookup " + kind;
    return o;
}

// The values the probe writes after the input ("WSIFRA" → "3").
std::map<std::string, std::string> state(const PRun& r) {
    std::map<std::string, std::string> out;
    for (const std::string& l : split_lines(r.out)) {
        const size_t eq = l.find('=');
        if (eq != std::string::npos) out[l.substr(0, eq)] = l.substr(eq + 1);
    }
    return out;
}
// The list row (columns 9-75), trailing blanks cut.
std::string item(const PRun& r, size_t dump, int row) { return rstrip(row_of(r, dump, row).substr(9, 67)); }
// The scroll bar's mark: the row of column 77 holding the lighter shade.
int mark(const PRun& r, size_t dump) {
    for (int row = 5; row <= 9; ++row)
        if (row_of(r, dump, row)[77] == '\xB1') return row;
    return -1;
}
bool list_shown(const PRun& r, size_t dump) { return row_of(r, dump, 2).find(" PREGLED ") != std::string::npos; }
void expect_state(const PRun& r, const std::map<std::string, std::string>& want) {
    const auto s = state(r);
    for (const auto& [k, v] : want) EXPECT_EQ(s.count(k) ? s.at(k) : "<missing>", v) << k;
}
// The list rows from row 5 down.
void expect_items(const PRun& r, size_t dump, const std::vector<std::string>& want) {
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(item(r, dump, 5 + static_cast<int>(i)), want[i]) << "dump " << dump << ", row " << 5 + i;
}

// Company 001 made on the empty register; then the goods and partners of the lists written straight
// into the registers and their indexes.
using Fields = std::vector<std::pair<const char*, rt::dbf::Value>>;
void fill(const fs::path& table, const std::vector<std::string>& indexes, const std::vector<Fields>& rows) {
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open(table.string()));
    std::vector<std::string> ntx;
    for (const std::string& i : indexes) ntx.push_back((table.parent_path() / (i + ".ntx")).string());
    a.set_index(ntx);
    for (const Fields& r : rows) {
        ASSERT_TRUE(a.append_blank());
        for (const auto& [f, v] : r) a.put(f, v);
    }
    a.unlock();
    a.commit();
    a.close();
}
void prepare(const Install& inst) {
    PRun r = go(inst, kNew001 + "{Enter}{Esc}{Esc}D");
    ASSERT_EQ(r.status, 0) << why(r);
    fill(inst / "001" / "mdart.dbf", {"mdart", "mdart1"},
         {{{"SIFRA", "000001"}, {"NAZIV", "BRASNO T-500"}, {"JMERE", "KG"}, {"PRODCEN", 45.5}},
          {{"SIFRA", "000002"}, {"NAZIV", "SECER KRISTAL"}, {"JMERE", "KG"}, {"PRODCEN", 89.9}},
          {{"SIFRA", "000003"}, {"NAZIV", "Ulje suncokretovo"}, {"JMERE", "L"}, {"PRODCEN", 159.99}},
          {{"SIFRA", "000004"}, {"NAZIV", "SO MORSKA"}, {"JMERE", "KG"}, {"PRODCEN", 35.0}},
          {{"SIFRA", "000005"}, {"NAZIV", "KAFA MLEVENA"}, {"JMERE", "KOM"}, {"PRODCEN", 210.0}},
          {{"SIFRA", "000006"}, {"NAZIV", "PREVOZ ROBE"}, {"JMERE", "KOM"}, {"PRODCEN", 1500.0}},
          {{"SIFRA", "000007"}, {"NAZIV", "MLEKO 2.8%"}, {"JMERE", "L"}, {"PRODCEN", 99.5}}});
    fill(inst / "001" / "mddob.dbf", {"mddob"},
         {{{"SIFRA", "0001"}, {"NAZIV", "TRGOPROMET DOO"}, {"MESTO", "NOVI SAD"}, {"ULICA", "BULEVAR OSLOBODJENJA 12"}},
          {{"SIFRA", "9001"}, {"NAZIV", "PORESKA UPRAVA"}, {"MESTO", "BEOGRAD"}, {"ZIRO", "840-711111843-22"}},
          {{"SIFRA", "0002"}, {"NAZIV", "Mlekara Zlatibor"}, {"MESTO", "ZLATIBOR"}},
          {{"SIFRA", "0003"}, {"NAZIV", "AGRO PLUS"}, {"MESTO", "SUBOTICA"}, {"ULICA", "KORZO 3"}, {"KD", "0"}},
          {{"SIFRA", "9002"}, {"NAZIV", "PIO FOND"}, {"MESTO", "BEOGRAD"}, {"ZIRO", "840-1234-55"}}});
}
// Into the company, one of the registers of "1.Maticni podaci" ("1" goods, "2" partners,
// "3" obligations); at the end from its code field out of the program.
std::string in_register(char item, const std::string& keys) { return "{Enter}1" + std::string(1, item) + keys + "{Esc}{Esc}{Esc}{Esc}D"; }
// The goods register's code field.
std::string code_field(const PRun& r, size_t dump) { return row_of(r, dump, 14).substr(33, 6); }

// A goods row: code, no marker, name in 40, 3 blanks, unit, a blank, price in "9999999.99".
std::string goods(const std::string& code, const std::string& name, const std::string& unit,
                  const std::string& price) {
    return code + "   " + pad(name, 40) + "   " + pad(unit, 3) + " " + price;
}
const std::vector<std::string> kGoods = {
    goods("000001", "BRASNO T-500", "KG", "     45.50"),
    goods("000002", "SECER KRISTAL", "KG", "     89.90"),
    goods("000003", "Ulje suncokretovo", "L", "    159.99"),
    goods("000004", "SO MORSKA", "KG", "     35.00"),
    goods("000005", "KAFA MLEVENA", "KOM", "    210.00"),
    goods("000006", "PREVOZ ROBE", "KOM", "   1500.00"),
    goods("000007", "MLEKO 2.8%", "L", "     99.50"),
};

TEST(TorpdvLookup, GoodsListMovesThroughTheTableAndPutsThePickedCodeInTheField) {
    Install inst;
    prepare(inst);
    if (HasFatalFailure()) return;
    PRun r = go(inst, in_register('1', "{Ctrl+Enter}{dump}{Down}{Down}{Down}{Down}{Down}{dump}{Up}{Home}{PgDn}{dump}"
                                       "{End}{dump}{Home}{dump}{Down}{Enter}{dump}{Enter}{dump}{Esc}"));
    ASSERT_RUN(r, 0, 7);
    EXPECT_EQ(row_of(r, 0, 2).substr(7, 71),
              "\xC9" + std::string(30, '\xCD') + " PREGLED " + std::string(30, '\xCD') + "\xBB");
    EXPECT_EQ(item(r, 0, 3), "Sifra    Naziv Dobra                                JM   Prod.Cena");
    EXPECT_EQ(item(r, 0, 11), "<F2>-Stampa  <F3,ABC...>-Trazi  <\x1B,\x18,\x19,\x1A,Home,End>-Kretanje");
    expect_items(r, 0, std::vector<std::string>(kGoods.begin(), kGoods.begin() + 5));
    // Five steps down: the rows have scrolled by one, the bar's mark is 25/7 rows down.
    expect_items(r, 1, std::vector<std::string>(kGoods.begin() + 1, kGoods.begin() + 6));
    // A page down from the first record: the sixth and seventh record, the rest blank.
    expect_items(r, 2, {kGoods[5], kGoods[6], ""});
    // End: the last record alone, the mark at the bottom; Home: the first five again.
    expect_items(r, 3, {kGoods[6], ""});
    EXPECT_EQ(item(r, 4, 9), kGoods[4]);
    EXPECT_EQ((std::vector<int>{mark(r, 0), mark(r, 1), mark(r, 3), mark(r, 4)}), (std::vector<int>{5, 8, 9, 5}));
    // The list is gone; the field shows the picked code until Enter confirms it, which finds it.
    EXPECT_FALSE(list_shown(r, 5));
    EXPECT_EQ(code_field(r, 5), "     2");
    EXPECT_EQ(row_of(r, 6, 15).substr(33, 13), "SECER KRISTAL");
}

TEST(TorpdvLookup, TypedLetterStartsTheSearchAndNamesAreFoundInAnyCase) {
    Install inst;
    prepare(inst);
    if (HasFatalFailure()) return;
    // The search filter lives only while the list is open: the list opened again shows every article.
    PRun r = go(inst, in_register('1', "{Ctrl+Enter}u{dump}lje{Enter}{dump}{Enter}{dump}{Ctrl+Enter}{Home}{dump}{Esc}{dump}"));
    ASSERT_RUN(r, 0, 5);
    const std::string prompt = row_of(r, 0, 7);
    EXPECT_EQ(prompt.substr(25, 31), "\xDB Naziv: U_" + std::string(18, '\xDB') + " \xDB");
    expect_items(r, 1, {kGoods[2], ""});
    EXPECT_EQ(code_field(r, 2), "     3");
    expect_items(r, 3, std::vector<std::string>(kGoods.begin(), kGoods.begin() + 5));
    // Esc in the list: the field gets 0 and stays for the user to confirm.
    EXPECT_EQ(code_field(r, 4), "     0");
}

TEST(TorpdvLookup, F2PrintsTheWholeListIntoANumberedFile) {
    Install inst;
    prepare(inst);
    if (HasFatalFailure()) return;
    PRun r = go(inst, in_register('1', "{Ctrl+Enter}{Down}{Down}{F2}F{dump}{Enter}{dump}"));
    ASSERT_RUN(r, 0, 2);
    // Back in the list at the record it was on, then picked.
    EXPECT_EQ(item(r, 0, 5), kGoods[2]);
    EXPECT_EQ(code_field(r, 1), "     3");

    const std::string text = slurp(inst / "tor001.000");
    std::vector<std::string> lines;
    for (size_t at = 0; at <= text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(rstrip(text.substr(at, end == std::string::npos ? std::string::npos : end - at)));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    std::vector<std::string> want = {
        pad("Obveznik: PRVA RADNJA, Petar Petrovic", 69) + "Strana: 01",
        pad("Mesto: Beograd", 69) + "16.03.2026",
        std::string(80, '-'),
        "",
        "SPISAK DOBARA 2026.",
        std::string(80, '='),
        "R.Br. Sifra    Naziv Dobra                                JM   Prod.Cena",
        std::string(80, '='),
    };
    for (int i = 0; i < 7; ++i) want.push_back("   " + std::to_string(i + 1) + "  " + kGoods[i]);
    want.push_back(std::string(80, '=') + "\x0C");
    EXPECT_EQ(lines, want);
}

TEST(TorpdvLookup, TheListOpensOnlyAfterCtrlEnterInTheCodeField) {
    Install inst;
    prepare(inst);
    if (HasFatalFailure()) return;
    // Enter on a new code opens the new article without a list; Ctrl+Enter in its name field (no
    // list there) only leaves the field.
    PRun r = go(inst, in_register('1', "8{Enter}{dump}{Ctrl+Enter}{dump}{Esc}"));
    ASSERT_RUN(r, 0, 2);
    EXPECT_FALSE(list_shown(r, 0));
    EXPECT_FALSE(list_shown(r, 1));
    EXPECT_EQ(code_field(r, 0), "     8");

    // An empty table: the message, and the field keeps its value.
    PRun z = run(inst, "5{Ctrl+Enter}{dump}{Space}{Enter}", probe("ZAD"));
    ASSERT_EQ(z.status, 0) << z.err;
    EXPECT_NE(row_of(z, 0, 24).find("Nema podataka u aktuelnoj bazi !"), std::string::npos);
    EXPECT_FALSE(list_shown(z, 0));
    EXPECT_EQ(state(z).at("WSIFRA"), "5");
}

TEST(TorpdvLookup, PartnerAndObligationListsKeepToTheirRegister) {
    Install inst;
    prepare(inst);
    if (HasFatalFailure()) return;
    PRun r = go(inst, in_register('2', "{Ctrl+Enter}{dump}p{Enter}{dump}{Down}{Enter}{dump}"));
    ASSERT_RUN(r, 0, 3);
    EXPECT_EQ(item(r, 0, 3), "Sifra  Naziv Partnera                 Adresa");
    expect_items(r, 0, {"0001   TRGOPROMET DOO                 NOVI SAD, BULEVAR OSLOBODJENJ",
                        "0002   Mlekara Zlatibor               ZLATIBOR", "0003   AGRO PLUS                      SUBOTICA, KORZO 3",
                        ""});
    // "P" in a partner list: partners whose name holds it, never an obligation.
    EXPECT_EQ(item(r, 1, 5).substr(0, 4), "0001");
    EXPECT_EQ(item(r, 1, 6).substr(0, 4), "0003");
    EXPECT_EQ(item(r, 1, 7), "");
    EXPECT_EQ(row_of(r, 2, 13).substr(34, 4), "   3");

    PRun o = go(inst, in_register('3', "{Ctrl+Enter}{dump}{End}{Enter}{dump}"));
    ASSERT_RUN(o, 0, 2);
    EXPECT_EQ(item(o, 0, 3), "Sifra  Naziv                          Tekuci racun");
    expect_items(o, 0, {"9001   PORESKA UPRAVA                 840-711111843-22", "9002   PIO FOND                       840-1234-55", ""});
    EXPECT_EQ(row_of(o, 1, 13).substr(34, 4), "9002");

    // "PAR_0" (the documents' partner list) marks the partners that are neither buyers nor suppliers.
    PRun m = run(inst, "{Ctrl+Enter}{dump}{Esc}{Enter}", probe("PAR_0"));
    ASSERT_EQ(m.status, 0) << m.err;
    EXPECT_EQ(item(m, 0, 7), "0003 * AGRO PLUS                      SUBOTICA, KORZO 3");
    EXPECT_EQ(state(m).at("WSIFRA"), "0");
}

TEST(TorpdvLookup, ExpenditureListTogglesItsOrderWithSpace) {
    Install inst;
    PRun r = run(inst, "{Ctrl+Enter}{dump}{Space}{dump}{pause}{dump}{Space}{dump}{pause}{Down}{Enter}{Enter}",
                 probe("RAS"));
    ASSERT_RUN(r, 0, 4);
    EXPECT_EQ(item(r, 0, 3), "Broj   Datum    Opis                          Racun           Iznos");
    // Date order, only expenditures with a kind: the advance without one stays out.
    expect_items(r, 0, {"000004 20.01.26 STRUJA                        EPS-01        3400.00",
                        "000001 10.02.26 Porez na imovinu              PI-1          1500.50",
                        "000003 05.03.26 KIRIJA ZA MART                K-3          20000.00", ""});
    EXPECT_NE(row_of(r, 1, 11).find("Redosled po BROJU."), std::string::npos);
    // Number order from the record under the bar.
    EXPECT_EQ(item(r, 2, 5).substr(0, 6), "000004");
    EXPECT_EQ(item(r, 2, 6), "");
    EXPECT_NE(row_of(r, 3, 11).find("Redosled po DATUMU."), std::string::npos);
    expect_state(r, {{"WSIFRA", "1"}, {"ORDER", "2"}, {"FILTER", ""}});
}

}  // namespace
