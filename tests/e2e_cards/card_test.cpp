// The goods card through the real program: a costing and a cost costing entered on the screens,
// an invoice, a write-off, a price-change record and an earlier costing seeded, the card printed
// to a numbered file in the retail and the wholesale layout and compared line by line; the
// marker files that leave out invoices and the quantity of price changes; an empty period; an
// unknown code; the code-0 branch up to the recount.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "e2e/documents_fixture.h"

namespace {

using namespace torpdv_docs;

// Main menu -> 3.Stampa -> 6.Kartice -> 1.Kartica Dobara.
const std::string kCard = "361";
// From the print menu out of the program.
const std::string kOut = "{Esc}" + kQuit;

rt::Date d(int y, int m, int dd) { return rt::Date::ymd(y, m, dd); }
fs::path table(const Install& i, const std::string& name) { return i / "001" / (name + ".dbf"); }

// A print line: each text at its column (0-based), blanks between.
std::string line(const std::vector<std::pair<int, std::string>>& parts) {
    std::string s;
    for (const auto& [col, text] : parts) {
        s.resize(static_cast<size_t>(col), ' ');
        s += text;
    }
    return s;
}
const std::string kRule = rep('=', 80), kShort = rep('=', 26);

void seed_costing(const Install& i, const char* number, rt::Date date, const char* code, double qty, double price) {
    fill(table(i, "ukalk"), {"ukalk", "ukalk1"}, {{{"BRKALK", number}, {"DATKAL", date}, {"DOBAV", "0001"}}});
    fill(table(i, "kalk"), {"kalk", "kalk1", "kalk2"},
         {{{"BRKALK", number}, {"SIFART", code}, {"KOLICINA", qty}, {"PRODCEN", price}}});
}
void seed_invoice(const Install& i, const char* number, rt::Date date, const std::vector<Fields>& items) {
    fill(table(i, "ufakt"), {"ufakt"}, {{{"BRFAK", number}, {"DATFAK", date}, {"KUPAC", "0003"}}});
    fill(table(i, "fakt"), {"fakt", "fakt1"}, items);
}
void seed_write_off(const Install& i, rt::Date date, const char* code, double qty, double price) {
    fill(table(i, "stzart"), {"stzart", "stzart1"},
         {{{"SIFRA", code}, {"DATUM", date}, {"KOLICINA", qty}, {"PRODCEN", price}}});
}
void seed_price_change(const Install& i, const char* number, rt::Date date, const char* code, double qty,
                       double old_price, double new_price) {
    fill(table(i, "zapis"), {"zapis", "zapis1", "zapis2", "zapis3"},
         {{{"BRZAP", number}, {"DATZAP", date}, {"SIFRA", code}, {"KOLICINA", qty}, {"SPRODCEN", old_price},
           {"NPRODCEN", new_price}}});
}

// The heading of the card of company 001 for the period 01.01.2026 - to.
std::vector<std::string> heading(const std::string& code, const std::string& to, const std::string& name,
                                 const std::string& unit, const std::string& group, bool wholesale) {
    std::vector<std::string> h = {
        line({{0, "Obveznik: PRVA RADNJA, Petar Petrovic"}, {70, "Strana: 01"}}),
        "Mesto: Beograd",
        "Datum: 16.03.2026",
        rep('.', 68) + "VELT Office.",
        "KARTICA DOBRA BROJ " + code,
        "ZA PERIOD OD 01.01.2026 DO " + to,
        "Naziv " + name,
        "Jedinica Mere " + unit,
        "Tarifna Grupa " + group,
        kRule};
    if (wholesale) {
        h.push_back("Vrsta i  Kup.              Kolicina   Kolicina (Stara Cena Nova Cena)      Saldo");
        h.push_back("Br.Dok.  Dob. Datum            Ulaz      Izlaz       Cena   Vrednost    Kolicina");
    } else {
        h.push_back("O P I S               Datum           Ulaz      Izlaz       Cena     Stanje");
    }
    h.push_back(kRule);
    return h;
}

// The closing block: totals at their columns, the stock, the price, the signature lines.
std::vector<std::string> closing(int in_col, const std::string& in, const std::string& out, const std::string& stock,
                                 const std::string& price) {
    return {kRule,
            line({{in_col, in}, {in_col + 11, out}}),
            "",
            "Z A L I H A",
            kShort,
            "Kolicina......: " + stock,
            "Prodajna Cena.: " + price,
            kShort,
            "",
            "",
            line({{0, "Sastavio"}, {60, "Odgovorno lice"}}),
            line({{0, "__________"}, {60, "______________<FF>"}})};
}

void expect_lines(const Install& inst, const std::string& file, const std::vector<std::string>& want) {
    const std::vector<std::string> got = report_lines(inst, file);
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i)
        EXPECT_EQ(i < got.size() ? got[i] : "<none>", i < want.size() ? want[i] : "<none>")
            << file << " line " << i + 1;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Retail company: HLEB (000001). Entered on the screens on 16.03.2026: costing 000001 of 5 at
// 55.00 and cost costing 000002 of -2 at 55.00. Seeded: costing 000010 of 10 at 50.00 on 02.03,
// invoice 000001 of 4 at 50.00 less 10 % on 05.03 (net 45.00) with a line of another article,
// a cash-register write-off of 1 at 50.00 on 10.03, a price change 50 -> 55 with 3 on hand on
// 16.03, and costing 000009 of 100 dated in the year before (outside the period).
// Balance: 10, 6, 5, (price change), 10, 8; in 10 + 5 - 2 = 13, out 4 + 1 = 5.
TEST(GoodsCard, RetailCardDayByDayWithTotalsAndMarkerFiles) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + "211{Enter}{Enter}1{Enter}{Enter}{Enter}{Enter}0{Enter}0{Enter}" +
                            "1{Enter}5{Enter}40{Enter}55{Enter}{Esc}{Esc}" +
                            "7{Enter}{Enter}1{Enter}{Enter}{Enter}{Enter}{Enter}{Alt+Z}1{Enter}-2{Enter}55{Enter}" +
                            "{Esc}{Esc}{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(records(table(inst, "kalk")).size(), 2u);

    seed_costing(inst, "000010", d(2026, 3, 2), "000001", 10, 50);
    seed_costing(inst, "000009", d(2025, 12, 20), "000001", 100, 45);
    seed_invoice(inst, "000001", d(2026, 3, 5),
                 {{{"BRFAK", "000001"}, {"SIFART", "000001"}, {"KOLICINA", 4.0}, {"PRODCEN", 50.0}, {"RABAT", 10.0}},
                  {{"BRFAK", "000001"}, {"SIFART", "000002"}, {"KOLICINA", 1.0}, {"PRODCEN", 110.0}}});
    seed_write_off(inst, d(2026, 3, 10), "000001", 1, 50);
    seed_price_change(inst, "0001", d(2026, 3, 16), "000001", 3, 50, 55);

    r = go(inst, kEnter001 + kCard + "1{Enter}{Enter}{Enter}F" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    const std::vector<std::string> head = heading("000001", "16.03.2026", "HLEB BELI 500G", "KOM", "010", false);
    expect_lines(inst, "tor001.000",
                 joined(joined(head,
                               {line({{0, "Kalkulacija 000010"}, {20, "02.03.2026"}, {32, "    10.000"},
                                      {54, "     50.00"}, {64, "     10.000"}}),
                                line({{0, "Racun 000001"}, {20, "05.03.2026"}, {43, "     4.000"},
                                      {54, "     45.00"}, {64, "      6.000"}}),
                                line({{0, "Paragon Blok"}, {20, "10.03.2026"}, {43, "     1.000"},
                                      {54, "     50.00"}, {64, "      5.000"}}),
                                line({{0, "Zapisnik 0001"}, {20, "16.03.2026"}, {32, "     3.000"},
                                      {54, "     50.00"}, {65, "     55.00"}}),
                                line({{0, "Kalkulacija 000001"}, {20, "16.03.2026"}, {32, "     5.000"},
                                      {54, "     55.00"}, {64, "     10.000"}}),
                                line({{0, "Kalkulacija 000002"}, {20, "16.03.2026"}, {32, "    -2.000"},
                                      {54, "     55.00"}, {64, "      8.000"}})}),
                        closing(31, "     13.000", "      5.000", "      8.000", "      55.00")));

    // With "skipfakt.vlt" the invoice neither prints nor takes stock off; with "skipkol.vlt" the
    // price change shows no quantity.
    std::ofstream(inst / "001" / "skipfakt.vlt") << "x";
    std::ofstream(inst / "001" / "skipkol.vlt") << "x";
    r = go(inst, kEnter001 + kCard + "1{Enter}{Enter}{Enter}F" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    expect_lines(inst, "tor001.001",
                 joined(joined(head,
                               {line({{0, "Kalkulacija 000010"}, {20, "02.03.2026"}, {32, "    10.000"},
                                      {54, "     50.00"}, {64, "     10.000"}}),
                                line({{0, "Paragon Blok"}, {20, "10.03.2026"}, {43, "     1.000"},
                                      {54, "     50.00"}, {64, "      9.000"}}),
                                line({{0, "Zapisnik 0001"}, {20, "16.03.2026"}, {54, "     50.00"}, {65, "     55.00"}}),
                                line({{0, "Kalkulacija 000001"}, {20, "16.03.2026"}, {32, "     5.000"},
                                      {54, "     55.00"}, {64, "     14.000"}}),
                                line({{0, "Kalkulacija 000002"}, {20, "16.03.2026"}, {32, "    -2.000"},
                                      {54, "     55.00"}, {64, "     12.000"}})}),
                        closing(31, "     13.000", "      1.000", "     12.000", "      55.00")));

    // On the screen: the viewer shows the card from its first line; its file is gone afterwards.
    r = go(inst, kEnter001 + kCard + "1{Enter}{Enter}{Enter}E{dump}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 1);
    EXPECT_EQ(cells(r, 0, 2, 0, 37), "Obveznik: PRVA RADNJA, Petar Petrovic");
    EXPECT_EQ(cells(r, 0, 14, 0, 18), "Kalkulacija 000010");
    for (const auto& f : fs::recursive_directory_iterator(inst.path))
        EXPECT_NE(lower(f.path().extension().string()), ".prn") << f.path();
}

// Wholesale company (activity "002"): KAFA (000003, register price 360.00). Costing 000001 of
// 10 at 100.00 from 0001 on 03.03; invoice 000001 to 0003 of 4 at 100.00 less 10 % on 09.03:
// 90.00 a unit, 360.00 the line; on 12.03 a price change 100 -> 120 with 6 on hand, then a
// write-off of 2 at 120.00 (240.00). Balance 10, 6, 4. Then a period without movements, an
// unknown code, and code 0 up to the recount.
TEST(GoodsCard, WholesaleCardEmptyPeriodUnknownCodeAndRecount) {
    Install inst;
    CompanySetup c;
    c.activity = "002";
    prepare_company(inst, c);
    seed_costing(inst, "000001", d(2026, 3, 3), "000003", 10, 100);
    seed_invoice(inst, "000001", d(2026, 3, 9),
                 {{{"BRFAK", "000001"}, {"SIFART", "000003"}, {"KOLICINA", 4.0}, {"PRODCEN", 100.0}, {"RABAT", 10.0}}});
    seed_write_off(inst, d(2026, 3, 12), "000003", 2, 120);
    seed_price_change(inst, "0001", d(2026, 3, 12), "000003", 6, 100, 120);

    // The article picked in the goods lookup (third in code order).
    Result r = go(inst, kEnter001 + kCard + "{Ctrl+Enter}{Down}{Down}{Enter}{Enter}{Enter}{Enter}F" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    expect_lines(inst, "tor001.000",
                 joined(joined(heading("000003", "16.03.2026", "KAFA MLEVENA 200G", "KOM", "020", true),
                               {line({{0, "K 000001"}, {9, "0001"}, {14, "03.03.2026"}, {25, "    10.000"},
                                      {47, "    100.00"}, {58, "   1000.00"}, {69, "     10.000"}}),
                                line({{0, "R 000001"}, {9, "0003"}, {14, "09.03.2026"}, {36, "     4.000"},
                                      {47, "     90.00"}, {58, "    360.00"}, {69, "      6.000"}}),
                                line({{0, "Z 0001"}, {14, "12.03.2026"}, {25, "     6.000"}, {47, "    100.00"},
                                      {58, "    120.00"}}),
                                line({{0, "fiskal"}, {14, "12.03.2026"}, {36, "     2.000"}, {47, "    120.00"},
                                      {58, "    240.00"}, {69, "      4.000"}})}),
                        closing(24, "     10.000", "      6.000", "      4.000", "     360.00")));

    // A period before every movement: the heading and the closing block with zeros. Then an
    // unknown code: the message, and the dialogue again with code 0 and no period shown.
    r = go(inst, kEnter001 + kCard + "3{Enter}{Enter}02032026{Enter}F" + "61999{Enter}{Enter}{Enter}{dump}" +
                     "{Enter}{dump}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 2);
    expect_lines(inst, "tor001.001",
                 joined(heading("000003", "02.03.2026", "KAFA MLEVENA 200G", "KOM", "020", true),
                        closing(24, "      0.000", "      0.000", "      0.000", "     360.00")));
    EXPECT_NE(row_of(r, 0, 11).find("Nepostoji ta Sifra !"), std::string::npos) << show(row_of(r, 0, 11));
    EXPECT_EQ(cells(r, 1, 14, 30, 18), "Sifra Dobra      0");
    EXPECT_EQ(cells(r, 1, 15, 30, 34), "Period od            do           ");
    EXPECT_FALSE(fs::exists(inst / "tor001.002"));

    // Code 0, reached by leaving the goods lookup with Esc (the register stays on the record under
    // the bar): the code range replaces the code; a period from 1 January asks about the recount,
    // and D writes every article's quantity into the register, from the first article on.
    patch_first(table(inst, "mdart"), {{"POPKOL", 7.0}});
    r = go(inst, kEnter001 + kCard + "{Ctrl+Enter}{Down}{Down}{Esc}{Enter}{dump}{Enter}{Enter}{Enter}{Enter}{dump}D" + kOut);
    ASSERT_RUN(r, 0, 2);
    EXPECT_EQ(cells(r, 0, 14, 30, 25), "Sifre od      0 do 999999");
    EXPECT_NE(row_of(r, 1, 11).find("Prenosite Zalihu u Popis (D/N) ?"), std::string::npos) << show(row_of(r, 1, 11));
    for (const Rec& g : records(table(inst, "mdart")))
        EXPECT_DOUBLE_EQ(std::get<double>(g.at("POPKOL")), str(g, "SIFRA") == "000003" ? 4 : 0) << str(g, "SIFRA");
}

}  // namespace
