// The costing print through the real program: the form printed to a numbered file and compared
// line by line with the text worked out by hand, its postings into the trade book and the
// expense and margin register, the page break, the dispatch note, the buy-off receipt, the
// commission forms, and the transfer of a costing into another company.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/documents_fixture.h"

namespace {

using namespace torpdv_docs;

// Main menu -> 2.Unos -> 1.Zaduzenje -> 1.Kalkulacija.
const std::string kCosting = "211";

rt::Date d(int y, int m, int dd) { return rt::Date::ymd(y, m, dd); }

struct Item {
    const char* code;
    const char* name;
    const char* unit;
    const char* group;
    double qty, purchase, selling;
};

double share(const std::string& g) { return g == "020" ? 16.667 : g == "018" ? 15.254 : g == "010" ? 9.09 : 0; }
double rate(const std::string& g) { return g == "020" ? 20 : g == "018" ? 18 : g == "010" ? 10 : 0; }

// A costing header and its items written straight into the company's tables.
void seed_costing(const Install& inst, const std::string& number, const Fields& header, const std::vector<Item>& items,
                  const std::string& company = "001") {
    Fields h = {{"BRKALK", number}};
    h.insert(h.end(), header.begin(), header.end());
    fill(inst / company / "ukalk.dbf", {"ukalk", "ukalk1"}, {h});
    std::vector<Fields> rows;
    for (const Item& it : items)
        rows.push_back({{"BRKALK", number}, {"SIFART", it.code}, {"NAZART", it.name}, {"JMERE", it.unit},
                        {"TARGR", it.group}, {"KOLICINA", it.qty}, {"FAKCEN", it.purchase},
                        {"PSPOR", share(it.group)}, {"POREZ", rate(it.group)}, {"PRODCEN", it.selling}});
    fill(inst / company / "kalk.dbf", {"kalk", "kalk1", "kalk2"}, rows);
}

void expect_report(const Install& inst, const std::string& file, const std::string& expected) {
    torpdv_docs::expect_report(inst, file, "e2e_costing/expected", expected);
}

const std::vector<Item> kThreeGroups = {
    {"000003", "KAFA MLEVENA 200G", "KOM", "020", 4, 250, 360},
    {"000001", "HLEB BELI 500G", "KOM", "010", 10, 40, 55},
    {"000005", "SECER KRISTAL", "KG", "018", 5, 70, 99},
    {"000002", "MLEKO 2.8% 1L", "KOM", "010", 20, 80, 110},
};

// Out of the receipts menu, the program left from the company choice.
const std::string kOut = "{Esc}{Esc}" + kQuit;

// The message of the centred box (row 11), trimmed.
std::string message(const Result& r, size_t dump) {
    const std::string row = row_of(r, dump, 11);
    const size_t l = row.find('\xBA'), rr = row.rfind('\xBA');
    if (l == std::string::npos || rr <= l) return "";
    std::string m = row.substr(l + 1, rr - l - 1);
    m.erase(0, m.find_first_not_of(' '));
    return rstrip(m);
}
// The centred box on row 11 holds the text (a question over a message left standing).
bool shows(const Result& r, size_t dump, const std::string& text) {
    return row_of(r, dump, 11).find(text) != std::string::npos;
}
double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }
rt::Date date(const Rec& r, const std::string& f) { return std::get<rt::Date>(r.at(f)); }

const Fields kAgropromet = {{"DOBAV", "0001"}, {"NAZDOB", "AGROPROMET DOO"}, {"MESDOB", "Novi Sad"},
                            {"BRDOK", "      R-15"}, {"DATDOK", d(2026, 3, 10)}, {"DATKAL", d(2026, 3, 12)}};

Fields with(Fields f, const Fields& more) {
    f.insert(f.end(), more.begin(), more.end());
    return f;
}

// Costs 50 spread over four items of three tariff groups; input VAT 400; no amount to pay stated.
// Margins before costs (selling value - VAT inside it - purchase value): HLEB 550 - 49.995 - 400 =
// 100.005, MLEKO 2200 - 199.98 - 1600 = 400.02, SECER 495 - 75.5073 - 350 = 69.4927, KAFA 1440 -
// 240.0048 - 1000 = 199.9952; together 769.5129, so each item carries 50 / 769.5129 of its margin
// as costs (HLEB 6.50, MLEKO 25.99, SECER 4.52, KAFA 12.99). To pay: 3350 + 50 + 400 = 3800.
TEST(CostingPrint, ThreeTariffGroupsPrintedPostedAndCheckedAgainstTheAmountToPay) {
    Install inst;
    prepare_company(inst);
    seed_costing(inst, "000001", with(kAgropromet, {{"TROSAK", 50.0}, {"PDV", 400.0}, {"PDV18", 400.0}}), kThreeGroups);

    Result r = go(inst, kEnter001 + kCosting + "1{Enter}SF" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    expect_report(inst, "tor001.000", "costing_three_groups.txt");

    // The postings: purchase value + costs, margin after costs, VAT and selling value.
    auto check_postings = [&](const std::string& when) {
        std::vector<Rec> ras = records(inst / "001" / "rashod.dbf"), knj = records(inst / "001" / "tknjiga.dbf");
        ASSERT_EQ(ras.size(), 1u) << when;
        ASSERT_EQ(knj.size(), 1u) << when;
        expect_fields(ras[0], {{"VRDOK", "K000001"}, {"OPIS", "AGROPROMET 000001"}, {"VRSTA", ""}}, when);
        EXPECT_EQ(date(ras[0], "DATUM"), d(2026, 3, 12)) << when;
        EXPECT_DOUBLE_EQ(num(ras[0], "P8"), 3400.00) << when;
        EXPECT_DOUBLE_EQ(num(ras[0], "P9"), 719.51) << when;
        EXPECT_DOUBLE_EQ(num(ras[0], "P10"), 565.49) << when;
        EXPECT_DOUBLE_EQ(num(ras[0], "P11"), 4685.00) << when;
        expect_fields(knj[0], {{"VRDOK", "K000001"}, {"OPIS", "AGROPROMET DOO, Novi Sad, Futoska 10"}}, when);
        EXPECT_EQ(date(knj[0], "DATUM"), d(2026, 3, 12)) << when;
        EXPECT_DOUBLE_EQ(num(knj[0], "ZADUZ"), 4685.00) << when;
    };
    check_postings("first print");
    // The amount to pay was 0: purchase value + costs + input VAT is stored.
    EXPECT_DOUBLE_EQ(num(records(inst / "001" / "ukalk.dbf").at(0), "ZAPLA"), 3800.0);

    // A stated amount that differs: the form is printed all the same, then the warning; the
    // postings are refreshed, not doubled, and the stated amount stays.
    patch_first(inst / "001" / "ukalk.dbf", {{"ZAPLA", 3810.0}});
    r = go(inst, kEnter001 + kCosting + "1{Enter}SF{dump}{Enter}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_EQ(message(r, 0), "Nabavna vrednost i Iznos za Placanje se razlikuju za 10.00 din.!");
    EXPECT_TRUE(fs::exists(inst / "tor001.001"));
    check_postings("second print");
    EXPECT_DOUBLE_EQ(num(records(inst / "001" / "ukalk.dbf").at(0), "ZAPLA"), 3810.0);

    // On the screen: the viewer shows the form from its first line; its file is gone afterwards.
    r = go(inst, kEnter001 + kCosting + "1{Enter}SE{Enter}{dump}{Esc}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_EQ(cells(r, 0, 2, 0, 14), "PIB: 101234569");
    EXPECT_EQ(cells(r, 0, 3, 70, 10), "Strana: 01");
    for (const auto& f : fs::recursive_directory_iterator(inst.path))
        EXPECT_NE(lower(f.path().extension().string()), ".prn") << f.path();
    check_postings("third print");
}

// 45 items of one group: rows 20-61 take 42 of them, the rule and the heading of page 2 follow.
TEST(CostingPrint, LongCostingBreaksThePageAfterRow61) {
    Install inst;
    prepare_company(inst);
    // The last item has no quantity: the line is printed without its unit price and the screen says so.
    std::vector<Item> items(45, Item{"000001", "HLEB BELI 500G", "KOM", "010", 1, 40, 55});
    items.back().qty = 0;
    seed_costing(inst, "000003", with(kAgropromet, {{"ZAPLA", 1760.0}}), items);
    Result r = go(inst, kEnter001 + kCosting + "3{Enter}SF{dump}{pause}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_TRUE(shows(r, 0, "Neispravna Kolicina na Kalkulaciji (Nula kolicina na Red.Br. 45) !"))
        << show(row_of(r, 0, 11));
    const std::vector<std::string> l = report_lines(inst, "tor001.000");
    ASSERT_GT(l.size(), 90u);
    EXPECT_EQ(l[61].substr(0, 7), " 42 000");
    // Row 62: normal pitch, the rule; the form feed, and row 0 of the next page on that line.
    EXPECT_EQ(l[62], "<DC2><ESC>P" + rep('-', 80) + "<FF>PIB: 101234569" + rep(' ', 64) + "KL");
    const size_t p2 = 62;   // the line of row 0 of page 2
    EXPECT_EQ(l[p2 + 1], "Obveznik: Petar Petrovic" + rep(' ', 46) + "Strana: 02");
    EXPECT_EQ(l[p2 + 10], "<ESC>M<SI>");
    EXPECT_EQ(l[p2 + 20].substr(0, 7), " 43 000");
    EXPECT_EQ(l[p2 + 21].substr(140), "    55.00");
    EXPECT_EQ(l[p2 + 22].substr(0, 7), " 45 000");
    EXPECT_EQ(l[p2 + 22].size(), 136u);   // ends with the selling value 0.00, no unit price
    EXPECT_EQ(l[p2 + 23].substr(0, 22), "Pod zbir za tarifu 010");
    EXPECT_EQ(l[p2 + 25].substr(0, 7), "UKUPNO:");
    // 44 x 40 = 1760 is what the header states: no warning was needed.
    EXPECT_EQ(l[p2 + 25].substr(55, 11), "    1760.00");
}

// A header without items: the message, no report file left, no postings.
TEST(CostingPrint, CostingWithoutItemsIsNotPrinted) {
    Install inst;
    prepare_company(inst);
    seed_costing(inst, "000004", with(kAgropromet, {{"ZAPLA", 100.0}}), {});
    Result r = go(inst, kEnter001 + kCosting + "4{Enter}SF{dump}{Enter}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_EQ(message(r, 0), "Ne postoje potpuni podaci za ovu Kalkulaciju !");
    EXPECT_FALSE(fs::exists(inst / "tor001.000"));
    EXPECT_TRUE(records(inst / "001" / "rashod.dbf").empty());
    EXPECT_TRUE(records(inst / "001" / "tknjiga.dbf").empty());
}

// A buy-off costing from a farmer: after the form, the receipt with the 8 % compensation.
TEST(CostingPrint, BuyOffCostingPrintsItsReceipt) {
    Install inst;
    prepare_company(inst);
    seed_costing(inst, "000005",
                 {{"DOBAV", "0002"}, {"NAZDOB", "JOVAN JOVIC"}, {"MESDOB", "Sabac"}, {"BRDOK", "         7"},
                  {"DATDOK", d(2026, 3, 10)}, {"DATKAL", d(2026, 3, 12)}, {"PDV", 60.0}, {"PDV18", 60.0},
                  {"ZAPLA", 810.0}, {"OTKUP", true}},
                 {{"000001", "HLEB BELI 500G", "KOM", "010", 10, 40, 55}, {"000005", "SECER KRISTAL", "KG", "018", 5, 70, 99}});
    // The company's own lines for its receipts.
    std::ofstream(inst / "001" / "otkup.txt", std::ios::binary) << "Isplata na tekuci racun.\r\nPoljoprivrednik nije PDV obveznik.\r\n";
    Result r = go(inst, kEnter001 + "216" + "5{Enter}SF{dump}DF" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_TRUE(shows(r, 0, "Stampa Priznanice (D/N) ?")) << show(row_of(r, 0, 11));
    expect_report(inst, "tor001.001", "buyoff_receipt.txt");
}

// A return to the supplier: the amount to pay is negative, so the print asks what the costing is
// (only 1-4 accepted); the dispatch note prints the quantities as they leave the shop.
TEST(CostingPrint, NegativeCostingTitleAndDispatchNote) {
    Install inst;
    prepare_company(inst);
    seed_costing(inst, "000002",
                 {{"DOBAV", "0003"}, {"NAZDOB", "MARKET CENTAR DOO"}, {"MESDOB", "Beograd"}, {"BRDOK", "      P-44"},
                  {"DATDOK", d(2026, 3, 12)}, {"DATKAL", d(2026, 3, 12)}, {"PDV", -72.0}, {"PDV18", -72.0},
                  {"ZAPLA", -432.0}},
                 {{"000004", "SOK OD JABUKE 1L", "KOM", "020", -3, 90, 150},
                  {"000003", "KAFA MLEVENA 200G", "KOM", "020", -1, 90, 360}});
    Result r = go(inst, kEnter001 + kCosting + "2{Enter}SF{dump}5{dump}1" + "1" + "2{Enter}OF" +
                            // the other three answers, each printed again
                            "12{Enter}SF2" "12{Enter}SF3" "12{Enter}SF4" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_EQ(message(r, 0), "Kalkulacija je: 1.Povratnica 2.Otpis Robe 3.Storno 4.Interni prenos?");
    EXPECT_EQ(message(r, 1), "Kalkulacija je: 1.Povratnica 2.Otpis Robe 3.Storno 4.Interni prenos?");
    const std::vector<std::string> form = report_lines(inst, "tor001.000");
    ASSERT_GT(form.size(), 8u);
    EXPECT_EQ(form[7], rep(' ', 10) + "POVRATNICA BROJ 000002");
    // The selling value leaves the trade book.
    std::vector<Rec> knj = records(inst / "001" / "tknjiga.dbf");
    ASSERT_EQ(knj.size(), 1u);
    EXPECT_DOUBLE_EQ(num(knj[0], "ZADUZ"), -810.0);
    expect_report(inst, "tor001.001", "dispatch_note.txt");
    const char* const titles[] = {"OTPIS DOBARA BROJ 000002", "STORNO DOBARA BROJ 000002", "INTERNI PRENOS 000002"};
    for (int i = 0; i < 3; ++i) {
        const std::vector<std::string> again = report_lines(inst, "tor001.00" + std::to_string(2 + i));
        ASSERT_GT(again.size(), 8u);
        EXPECT_EQ(again[7], rep(' ', 10) + titles[i]);
    }
}

// A row of the screen from column 22 (the transfer box), trimmed.
std::string box_row(const Result& r, size_t dump, int row) { return rstrip(cells(r, dump, row, 22, 36)); }

// Costing 000001 of company 001 goes into company 002 with the sign reversed and the selling
// prices taken from 002's goods; goods 002 lacks are added, a differing name is counted.
TEST(CostingTransfer, IntoSecondCompanyWithSignAndPricesAndRefusals) {
    Install inst;
    prepare_company(inst);
    fill(inst / "mdk_pro.dbf", {"mdk_pro"},
         {{{"SIFRA_PRO", "002"}, {"FRNAZIVSKR", "DRUGA RADNJA"}, {"FRMESTO", "Nis"}, {"VRIME", "Marko"},
           {"VRPREZIME", "Markovic"}, {"PRGTIPDEL", "001"}, {"FRPEPDV", "987654321"}}});
    // Entering company 002 once makes its tables.
    Result r = go(inst, "{Down}{Enter}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    fill(inst / "002" / "ukalk.dbf", {"ukalk", "ukalk1"}, {{{"BRKALK", "000004"}, {"DOBAV", "0001"}}});
    fill(inst / "002" / "mdart.dbf", {"mdart", "mdart1"},
         {{{"SIFRA", "000001"}, {"NAZIV", "HLEB BELI 500G"}, {"JMERE", "KOM"}, {"TARGR", "010"}, {"NABCEN", 30.0},
           {"PRODCEN", 50.0}},
          {{"SIFRA", "000003"}, {"NAZIV", "KAFA ZRNO 200G"}, {"JMERE", "KOM"}, {"TARGR", "020"}, {"NABCEN", 200.0},
           {"PRODCEN", 330.0}}});
    seed_costing(inst, "000001", with(kAgropromet, {{"PDV", 400.0}, {"PDV18", 400.0}, {"ZAPLA", 3750.0}}), kThreeGroups);

    r = go(inst, kEnter001 + kCosting + "1{Enter}P{dump}2{Enter}{dump}{Enter}-{Enter}K{Enter}{dump}{Enter}{dump}{Enter}" +
                     kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_EQ(box_row(r, 0, 10), "Kalkulacija broj: 000001 (POZITIVNA)");
    EXPECT_EQ(box_row(r, 1, 12), "Firma: DRUGA RADNJA");
    EXPECT_EQ(box_row(r, 1, 13), "Kalkulacija broj:      5");   // the last number of 002 + 1
    EXPECT_EQ(box_row(r, 1, 16), "( + POZITIVNA ili - NEGATIVNA)");
    EXPECT_EQ(box_row(r, 2, 13), "Kalkulacija broj: 000005 (NEGATIVNA)");
    EXPECT_EQ(box_row(r, 2, 14), "Promena Cene Artikala na Kalkulaciji");
    EXPECT_EQ(box_row(r, 2, 16), "PRENOS MOZE DA POCNE: DA");
    EXPECT_TRUE(shows(r, 3, "Preneto Dobara sa razlicitim nazivom: 1")) << show(row_of(r, 3, 11));

    std::vector<Rec> uk = records(inst / "002" / "ukalk.dbf");
    ASSERT_EQ(uk.size(), 2u);
    expect_fields(uk[1], {{"BRKALK", "000005"}, {"DOBAV", "000"}, {"NAZDOB", "PRVA RADNJA"}, {"MESDOB", "Beograd"},
                          {"BRDOK", "000001"}});
    EXPECT_EQ(date(uk[1], "DATDOK"), d(2026, 3, 12));
    EXPECT_EQ(date(uk[1], "DATKAL"), d(2026, 3, 16));
    EXPECT_TRUE(date(uk[1], "DATVAL").empty());
    for (const char* f : {"TROSAK", "PDV", "PDV8", "PDV18", "ZAPLA"}) EXPECT_EQ(num(uk[1], f), 0.0) << f;

    // Items: quantities reversed; goods 002 has: its selling price and the margin computed back
    // (HLEB ((50 - 50 x 9.09 %) / 40 - 1) x 100 = 13.64; KAFA ((330 - 330 x 16.667 %) / 250 - 1) x 100
    // = 10.00); goods it lacks keep the costing's price.
    std::vector<Rec> items = records(inst / "002" / "kalk.dbf");
    ASSERT_EQ(items.size(), 4u);
    const struct { const char* code; double qty, price, margin; } want[] = {
        {"000003", -4, 330, 10.00}, {"000001", -10, 50, 13.64}, {"000005", -5, 99, 0}, {"000002", -20, 110, 0}};
    for (size_t i = 0; i < 4; ++i) {
        expect_fields(items[i], {{"BRKALK", "000005"}, {"SIFART", want[i].code}}, want[i].code);
        EXPECT_EQ(num(items[i], "KOLICINA"), want[i].qty) << want[i].code;
        EXPECT_EQ(num(items[i], "PRODCEN"), want[i].price) << want[i].code;
        EXPECT_DOUBLE_EQ(num(items[i], "RUCP"), want[i].margin) << want[i].code;
    }
    // Goods: the two known ones unchanged, the two missing ones added with the costing's prices.
    std::vector<Rec> goods = records(inst / "002" / "mdart.dbf");
    ASSERT_EQ(goods.size(), 4u);
    expect_fields(goods[1], {{"SIFRA", "000003"}, {"NAZIV", "KAFA ZRNO 200G"}});
    EXPECT_EQ(num(goods[0], "NABCEN"), 30.0);
    EXPECT_EQ(num(goods[1], "PRODCEN"), 330.0);
    expect_fields(goods[2], {{"SIFRA", "000005"}, {"NAZIV", "SECER KRISTAL"}, {"JMERE", "KG"}, {"TARGR", "018"}});
    EXPECT_EQ(num(goods[2], "NABCEN"), 70.0);
    EXPECT_EQ(num(goods[2], "PRODCEN"), 99.0);
    EXPECT_EQ(num(goods[2], "POPKOL"), 0.0);
    expect_fields(goods[3], {{"SIFRA", "000002"}, {"NAZIV", "MLEKO 2.8% 1L"}});

    // A company not in the register, then a number 002 already has ("+" is typed as the sign, not
    // taken for the calculator): nothing is written.
    r = go(inst, kEnter001 + kCosting + "1{Enter}P9{Enter}{dump}{Enter}" + "1" +
                     "1{Enter}P2{Enter}4{Enter}+{Enter}{Enter}{Enter}{dump}{Enter}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_TRUE(shows(r, 0, "Pogresna sifra radnje.")) << show(row_of(r, 0, 11));
    EXPECT_TRUE(shows(r, 1, "Kalkulacija broj: 000004 vec postoji. Prenos nije moguc!")) << show(row_of(r, 1, 11));
    EXPECT_EQ(records(inst / "002" / "ukalk.dbf").size(), 2u);
    EXPECT_EQ(records(inst / "002" / "kalk.dbf").size(), 4u);

    // Choice D: the costing's prices go into 002's goods; all names agree.
    seed_costing(inst, "000002", kAgropromet, {{"000001", "HLEB BELI 500G", "KOM", "010", 1, 45, 60}});
    r = go(inst, kEnter001 + kCosting + "2{Enter}P2{Enter}{Enter}{Enter}D{Enter}{Enter}{dump}{Enter}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_TRUE(shows(r, 0, "Prenos je uspesno izvrsen.")) << show(row_of(r, 0, 11));
    goods = records(inst / "002" / "mdart.dbf");
    EXPECT_EQ(num(goods[0], "NABCEN"), 45.0);
    EXPECT_EQ(num(goods[0], "PRODCEN"), 60.0);
    EXPECT_EQ(str(records(inst / "002" / "ukalk.dbf").at(2), "BRKALK"), "000006");
}

// A commission shop: after the costing the receipt form KR and the contract with the principal;
// after a negative costing (form KR-1 chosen in the menu) the return form KR-1 with the quantities
// as returned, and no contract.
TEST(CostingPrint, CommissionShopPrintsFormsKrAndKr1) {
    Install inst;
    CompanySetup c;
    c.activity = "005";
    prepare_company(inst, c);
    seed_costing(inst, "000001", with(kAgropromet, {{"PDV", 400.0}, {"PDV18", 400.0}, {"ZAPLA", 3750.0}}), kThreeGroups);
    seed_costing(inst, "-00001", with(kAgropromet, {{"ZAPLA", -80.0}}),
                 {{"000001", "HLEB BELI 500G", "KOM", "010", -2, 40, 55}});
    Result r = go(inst, kEnter001 + kCosting + "{Enter}1{Enter}SF{dump}DF{dump}DF" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_TRUE(shows(r, 0, "Stampa Obrasca KR (D/N) ?")) << show(row_of(r, 0, 11));
    EXPECT_TRUE(shows(r, 1, "Stampa Ugovora (D/N) ?")) << show(row_of(r, 1, 11));
    std::vector<std::string> kr = report_lines(inst, "tor001.001");
    ASSERT_GE(kr.size(), 22u);
    EXPECT_EQ(kr[3], "OBRAZAC KR");
    EXPECT_EQ(kr[4], "broj 000001 od 12.03.2026");
    EXPECT_EQ(kr[5], "Komitent: 0001 AGROPROMET DOO, Novi Sad");
    EXPECT_EQ(kr[10], "  1 000001 HLEB BELI 500G                   KOM     10.000      40.00     400.00");
    EXPECT_EQ(kr[15], "UKUPNO:" + rep(' ', 63) + "   3350.00");
    // The contract: the goods of the form at selling prices, 4 x 360 + 10 x 55 + 5 x 99 + 20 x 110
    // = 4685.00; the principal from the partner register, the shop from the company's data; the
    // commission is the setup's 20 %.
    expect_report(inst, "tor001.002", "commission_contract.txt");

    // The negative costing is printed with the ordinary title (no question in a commission shop).
    r = go(inst, kEnter001 + kCosting + "{Down}{Enter}-1{Enter}SF{dump}DF{dump}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_EQ(report_lines(inst, "tor001.003").at(7), rep(' ', 10) + "KALKULACIJA PRODAJNE CENE BROJ -00001");
    EXPECT_TRUE(shows(r, 0, "Stampa Obrasca KR-1 (D/N) ?")) << show(row_of(r, 0, 11));
    EXPECT_FALSE(shows(r, 1, "Stampa Ugovora")) << show(row_of(r, 1, 11));
    EXPECT_FALSE(fs::exists(inst / "tor001.005"));
    std::vector<std::string> kr1 = report_lines(inst, "tor001.004");
    ASSERT_GE(kr1.size(), 13u);
    EXPECT_EQ(kr1[3], "OBRAZAC KR-1");
    EXPECT_EQ(kr1[10], "  1 000001 HLEB BELI 500G                   KOM      2.000      40.00      80.00");
    EXPECT_EQ(kr1[12], "UKUPNO:" + rep(' ', 63) + "     80.00");
}

}  // namespace
