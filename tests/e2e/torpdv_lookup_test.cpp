// The lookup list of a code field run in the probe program: an entry screen with a name field
// (row 5) and a code field (row 7, column 20) whose validation is the list of one kind, over a
// company whose goods, partners, obligations and expenditures hold a few records.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e/torpdv_harness.h"
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
bool list_shown(const PRun& r) {
    for (size_t i = 0; i < r.screens.size(); ++i)
        if (row_of(r, i, 2).find(" PREGLED ") != std::string::npos) return true;
    return false;
}
void expect_state(const PRun& r, const std::map<std::string, std::string>& want) {
    const auto s = state(r);
    for (const auto& [k, v] : want) EXPECT_EQ(s.count(k) ? s.at(k) : "<missing>", v) << k;
}
// The list rows from row 5 down.
void expect_items(const PRun& r, size_t dump, const std::vector<std::string>& want) {
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(item(r, dump, 5 + static_cast<int>(i)), want[i]) << "dump " << dump << ", row " << 5 + i;
}

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
    PRun r = run(inst,
                 "{Ctrl+Enter}{dump}{Down}{Down}{Down}{Down}{Down}{dump}{Up}{Home}{PgDn}{dump}"
                 "{End}{dump}{Home}{dump}{Down}{Enter}{dump}{Enter}",
                 probe("ART"));
    ASSERT_RUN(r, 0, 6);
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
    // The list is gone; the field shows the picked code until Enter confirms it.
    EXPECT_EQ(row_of(r, 5, 7).substr(10, 16), "Sifra:         2");
    EXPECT_EQ(rstrip(row_of(r, 5, 5)), "          Naziv:");
    expect_state(r, {{"WSIFRA", "2"}, {"LASTKEY", "13"}, {"FILTER", ""}, {"RECNO", "2"}});
}

TEST(TorpdvLookup, TypedLetterStartsTheSearchAndNamesAreFoundInAnyCase) {
    Install inst;
    PRun r = run(inst, "{Ctrl+Enter}u{dump}lje{Enter}{dump}{Enter}{dump}{Enter}", probe("ART"));
    ASSERT_RUN(r, 0, 3);
    const std::string prompt = row_of(r, 0, 7);
    EXPECT_EQ(prompt.substr(25, 31), "\xDB Naziv: U_" + std::string(18, '\xDB') + " \xDB");
    expect_items(r, 1, {kGoods[2], ""});
    EXPECT_EQ(row_of(r, 2, 7).substr(10, 16), "Sifra:         3");
    // The search filter lives only while the list is open.
    expect_state(r, {{"WSIFRA", "3"}, {"VISIBLE", "000001,000002,000003,000004,000005,000006,000007"}});

    // Esc in the list: the field gets 0 and stays for the user to confirm.
    PRun e = run(inst, "5{Ctrl+Enter}{Esc}{dump}{Enter}", probe("ART"));
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(row_of(e, 0, 7).substr(10, 16), "Sifra:         0");
    EXPECT_EQ(state(e).at("WSIFRA"), "0");
}

TEST(TorpdvLookup, F2PrintsTheWholeListIntoANumberedFile) {
    Install inst;
    PRun r = run(inst, "{Ctrl+Enter}{Down}{Down}{F2}F{dump}{Enter}{Enter}", probe("ART"));
    ASSERT_EQ(r.status, 0) << r.err;
    // Back in the list at the record it was on, then picked.
    EXPECT_EQ(item(r, 0, 5), kGoods[2]);
    EXPECT_EQ(state(r).at("WSIFRA"), "3");

    const std::string text = slurp(inst / "tor001.000");
    std::vector<std::string> lines;
    for (size_t at = 0; at <= text.size();) {
        const size_t end = text.find("\r\n", at);
        lines.push_back(rstrip(text.substr(at, end == std::string::npos ? std::string::npos : end - at)));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    std::vector<std::string> want = {
        pad("Obveznik: PRODAVNICA PROBA, PETAR PETROVIC", 69) + "Strana: 01",
        pad("Mesto: NOVI SAD", 69) + "16.03.2026",
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
    // Enter and the arrows leave or keep the field without a list (Tab is the notes window).
    PRun r = run(inst, "3{Down}{dump}{Enter}", probe("ART"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(list_shown(r));
    EXPECT_EQ(state(r).at("WSIFRA"), "3");

    // Ctrl+Enter in the name field (no list there) leaves it; Enter in the code field then
    // accepts the code.
    PRun c = run(inst, "{Up}{Ctrl+Enter}{dump}4{Enter}", probe("ART"));
    ASSERT_EQ(c.status, 0) << c.err;
    EXPECT_FALSE(list_shown(c));
    EXPECT_EQ(state(c).at("WSIFRA"), "4");

    // An empty table: the message, and the field keeps its value.
    PRun z = run(inst, "5{Ctrl+Enter}{dump}{Space}{Enter}", probe("ZAD"));
    ASSERT_EQ(z.status, 0) << z.err;
    EXPECT_NE(row_of(z, 0, 24).find("Nema podataka u aktuelnoj bazi !"), std::string::npos);
    EXPECT_FALSE(list_shown(z));
    EXPECT_EQ(state(z).at("WSIFRA"), "5");
}

TEST(TorpdvLookup, PartnerAndObligationListsKeepTheirRegisterAfterThePick) {
    Install inst;
    PRun r = run(inst, "{Ctrl+Enter}{dump}p{Enter}{dump}{Down}{Enter}{Enter}", probe("PAR"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(item(r, 0, 3), "Sifra  Naziv Partnera                 Adresa");
    expect_items(r, 0, {"0001   TRGOPROMET DOO                 NOVI SAD, BULEVAR OSLOBODJENJ",
                        "0002   Mlekara Zlatibor               ZLATIBOR", "0003   AGRO PLUS                      SUBOTICA, KORZO 3",
                        "9001   PORESKA UPRAVA                 BEOGRAD"});
    // "P" in a partner list: partners whose name holds it, never an obligation.
    EXPECT_EQ(item(r, 1, 5).substr(0, 4), "0001");
    EXPECT_EQ(item(r, 1, 6).substr(0, 4), "0003");
    EXPECT_EQ(item(r, 1, 7), "");
    // SELECTED empty: the screen's own work area again.
    expect_state(r, {{"WSIFRA", "3"}, {"FILTER", "val(sifra)<9000"}, {"VISIBLE", "0001,0002,0003"}, {"SELECTED", ""}});

    PRun o = run(inst, "{Ctrl+Enter}{dump}{End}{Enter}{Enter}", probe("OBA"));
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(item(o, 0, 3), "Sifra  Naziv                          Tekuci racun");
    EXPECT_EQ(item(o, 0, 8), "9001   PORESKA UPRAVA                 840-711111843-22");
    expect_state(o, {{"WSIFRA", "9002"}, {"VISIBLE", "9001,9002"}});

    // "PAR_0" marks the partners that are neither buyers nor suppliers.
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
