// The item rows of the invoices driven through the real program: prices, rebates and net prices
// of new rows, the item records, the goods stock of invoices against pro-forma and advance
// invoices, the change and deletion of items in the list, and the running total.
#include <string>

#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

// Main menu -> 2.Unos -> 2.Razduzenje -> 1.Racun.
const std::string kInvoices = "221";
// A new document of the kind chosen: number, date, date of supply, buyer 3, days of credit.
const std::string kNewHeader = "{Enter}{Enter}{Enter}3{Enter}{Enter}";
// From the kind sub-menu out of the program.
const std::string kOut = "{Esc}{Esc}{Esc}" + kQuit;

fs::path table(const Install& i, const std::string& name) { return i / "001" / (name + ".dbf"); }

double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }

// The stock of each goods code, by code.
std::map<std::string, double> stock(const Install& i) {
    std::map<std::string, double> out;
    for (const Rec& r : records(table(i, "mdart"))) out[str(r, "SIFRA")] = num(r, "POPKOL");
    return out;
}

// A stored document of the kind's tables ("" invoice, "p" pro-forma, "a" advance) of buyer 0001
// with its items.
void stored(const Install& i, const std::string& prefix, const char* brfak, bool konacni,
            const std::vector<Fields>& items = {}) {
    fill(table(i, "u" + prefix + "fakt"), {"u" + prefix + "fakt"},
         {{{"BRFAK", brfak}, {"DATFAK", rt::Date::ymd(2026, 3, 10)}, {"DATPRO", rt::Date::ymd(2026, 3, 10)},
           {"DATVAL", rt::Date::ymd(2026, 3, 10)}, {"KUPAC", "0001"}, {"NAZKUP", "AGROPROMET DOO"},
           {"MESKUP", "Novi Sad"}, {"KONACNI", konacni}}});
    if (!items.empty()) fill(table(i, prefix + "fakt"), {prefix + "fakt", prefix + "fakt1"}, items);
}

Fields item(const char* brfak, const char* sifart, const char* naziv, double kol, double cena, double rabat) {
    return {{"BRFAK", brfak}, {"SIFART", sifart}, {"NAZART", naziv}, {"JMERE", "KOM"}, {"KOLICINA", kol},
            {"PRODCEN", cena}, {"RABAT", rabat}, {"TARGR", "010"}, {"PSPOR", 9.09}};
}

bool shows(const Result& r, size_t dump, const std::string& text) {
    return r.screens.at(dump).find(text) != std::string::npos;
}

// New rows of an invoice: a rebate gives the net price, a typed net price gives the rebate, a net
// price above the price raises the price; quantity 0 and price 0 are refused. The records, the running total
// and the stock taken off.
TEST(InvoiceItems, NewRowsPricesRebatesAndStock) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + kInvoices + "1" + kNewHeader +
                            "1{Enter}2{Enter}120{Enter}10{Enter}{dump}{Enter}"
                            "2{Enter}1{Enter}120{Enter}{Enter}90{Enter}"
                            "3{Enter}3{Enter}120{Enter}{Enter}130{Enter}{dump}"
                            "4{Enter}{Enter}{dump}{Enter}1{Enter}0{Enter}50{Enter}{Enter}{Enter}{Esc}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 3);
    EXPECT_EQ(cells(r, 0, 13, 64, 16), "10.00     108.00");
    EXPECT_EQ(rstrip(row_of(r, 1, 13)), " 1 000001 HLEB BELI 500G              010     2.000      120.00 10.00     108.00");
    EXPECT_EQ(rstrip(row_of(r, 1, 14)), " 2 000002 MLEKO 2.8% 1L               010     1.000      120.00 25.00      90.00");
    EXPECT_EQ(rstrip(row_of(r, 1, 15)), " 3 000003 KAFA MLEVENA 200G           020     3.000      130.00  0.00     130.00");
    EXPECT_EQ(cells(r, 1, 7, 62, 12), "(    696.00)");   // 2 x 108 + 90 + 3 x 130
    EXPECT_TRUE(shows(r, 2, "Nije dozvoljena Nula Kolicina!"));

    const auto items = records(table(inst, "fakt"));
    ASSERT_EQ(items.size(), 4u);
    expect_fields(items[0], {{"BRFAK", "000001"}, {"SIFART", "000001"}, {"NAZART", "HLEB BELI 500G"}, {"JMERE", "KOM"},
                             {"TARGR", "010"}});
    EXPECT_DOUBLE_EQ(num(items[0], "KOLICINA"), 2);
    EXPECT_DOUBLE_EQ(num(items[0], "PRODCEN"), 120);
    EXPECT_DOUBLE_EQ(num(items[0], "RABAT"), 10);
    EXPECT_DOUBLE_EQ(num(items[0], "PSPOR"), 9.09);
    EXPECT_DOUBLE_EQ(num(items[1], "RABAT"), 25);
    EXPECT_DOUBLE_EQ(num(items[2], "PRODCEN"), 130);
    EXPECT_DOUBLE_EQ(num(items[2], "RABAT"), 0);
    EXPECT_DOUBLE_EQ(num(items[2], "PSPOR"), 16.667);
    EXPECT_DOUBLE_EQ(num(items[3], "PRODCEN"), 50);   // the 0 kept the cursor in the price
    EXPECT_DOUBLE_EQ(num(items[3], "RABAT"), 0);
    const auto st = stock(inst);
    EXPECT_EQ(st.at("000001"), -2);
    EXPECT_EQ(st.at("000002"), -1);
    EXPECT_EQ(st.at("000003"), -3);
    EXPECT_EQ(st.at("000004"), -1);
}

// The list of a stored invoice: the total starts from the items; a change (an unknown code
// refused) gives the old goods their quantity back and takes the new quantity off the new goods
// at the goods' current price; a deletion gives the quantity back; Esc reopens the invoice at its
// action menu and NASTAVAK lists the items with the total.
TEST(InvoiceItems, ListChangeAndDeleteMoveStock) {
    Install inst;
    prepare_company(inst);
    stored(inst, "", "000001", false,
           {item("000001", "000001", "HLEB BELI 500G", 5, 55, 0), item("000001", "000002", "MLEKO 2.8% 1L", 2, 110, 10)});
    Result r = go(inst, kEnter001 + kInvoices + "1" + "1{Enter}I{Enter}{Enter}{Enter}{Enter}{dump}"
                            "{Enter}999{Enter}{dump}{Enter}3{Enter}3{Enter}{Enter}{Enter}{Enter}{dump}{Down}{Del}D{dump}{Esc}{dump}"
                            "N{dump}{Esc}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 6);
    EXPECT_TRUE(shows(r, 1, "Nepostoji ta Sifra !"));
    r.screens.erase(r.screens.begin() + 1);
    EXPECT_EQ(cells(r, 0, 7, 62, 12), "(    473.00)");   // 5 x 55 + 2 x 99
    EXPECT_EQ(rstrip(row_of(r, 0, 14)), " 2 000002 MLEKO 2.8% 1L               010     2.000      110.00 10.00      99.00");
    EXPECT_EQ(rstrip(row_of(r, 1, 13)), " 1 000003 KAFA MLEVENA 200G           020     3.000      360.00  0.00     360.00");
    EXPECT_EQ(cells(r, 1, 7, 62, 12), "(   1278.00)");
    EXPECT_EQ(cells(r, 2, 7, 62, 12), "(   1080.00)");
    EXPECT_EQ(rstrip(row_of(r, 2, 14)), "");
    EXPECT_TRUE(shows(r, 3, " KRAJ  NASTAVAK  IZMENA  STAMPA  BRISANJE "));
    EXPECT_EQ(cells(r, 4, 7, 62, 12), "(   1080.00)");
    EXPECT_EQ(rstrip(row_of(r, 4, 14)), " 2      0");

    const auto items = records(table(inst, "fakt"));
    ASSERT_EQ(items.size(), 1u);
    expect_fields(items[0], {{"SIFART", "000003"}, {"NAZART", "KAFA MLEVENA 200G"}, {"TARGR", "020"}});
    EXPECT_DOUBLE_EQ(num(items[0], "KOLICINA"), 3);
    EXPECT_DOUBLE_EQ(num(items[0], "PSPOR"), 16.667);
    const auto st = stock(inst);
    EXPECT_EQ(st.at("000001"), 5);
    EXPECT_EQ(st.at("000002"), 2);
    EXPECT_EQ(st.at("000003"), -3);
}

// A pro-forma invoice moves no stock, neither on entry nor on change or deletion. Up from a new
// row opens the list and Down past its last item comes back to entry; deleting the last item in
// the list of the stored document says so and reopens it on NASTAVAK.
TEST(InvoiceItems, ProformaLeavesStockAndListFromEntry) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + kInvoices + "2" + "{Enter}{Enter}3{Enter}{Enter}"
                            "1{Enter}5{Enter}{Enter}{Enter}{Enter}2{Enter}2{Enter}{Enter}{Enter}{Enter}"
                            "{Up}{dump}{Enter}4{Enter}3{Enter}{Enter}{Enter}{Enter}{Down}{Del}D{Down}{dump}"
                            "{Esc}I{Enter}{Enter}{Enter}{Del}D{dump}{Enter}{Enter}{dump}{Esc}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 4);
    EXPECT_EQ(rstrip(row_of(r, 0, 13)), " 1 000001 HLEB BELI 500G              010     5.000       55.00  0.00      55.00");
    EXPECT_EQ(cells(r, 0, 7, 62, 12), "(    495.00)");   // 5 x 55 + 2 x 110
    EXPECT_EQ(rstrip(row_of(r, 1, 13)), " 1 000004 SOK OD JABUKE 1L            020     3.000      150.00  0.00     150.00");
    EXPECT_EQ(rstrip(row_of(r, 1, 14)), " 2      0");
    EXPECT_EQ(cells(r, 1, 7, 62, 12), "(    450.00)");
    EXPECT_TRUE(shows(r, 2, "PredRacun nema vise stavki !"));
    EXPECT_EQ(rstrip(row_of(r, 3, 13)), " 1      0");

    EXPECT_EQ(records(table(inst, "pfakt")).size(), 0u);
    EXPECT_EQ(records(table(inst, "fakt")).size(), 0u);
    for (const auto& [code, qty] : stock(inst)) EXPECT_EQ(qty, 0) << code;
}

// A stored invoice without items says so and reopens on NASTAVAK; a final invoice's header edit
// asks the advances paid and the total starts at minus their sum.
TEST(InvoiceItems, EmptyDocumentAndFinalInvoiceAdvances) {
    Install inst;
    prepare_company(inst);
    stored(inst, "", "000001", false);
    stored(inst, "", "000002", true, {item("000002", "000003", "KAFA MLEVENA 200G", 2, 360, 0)});
    Result r = go(inst, kEnter001 + kInvoices + "1" + "1{Enter}I{Enter}{Enter}{Enter}{Enter}{dump}{Enter}{Enter}{dump}"
                            "{Esc}{Esc}14" "2{Enter}I{Enter}{Enter}{Enter}{Enter}{dump}100{Enter}200{Enter}300{Enter}{dump}"
                            "{Esc}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 4);
    EXPECT_TRUE(shows(r, 0, "Ovaj Racun nema unete stavke !"));
    EXPECT_EQ(rstrip(row_of(r, 1, 13)), " 1      0");   // NASTAVAK after the reopening
    EXPECT_TRUE(shows(r, 2, " AVANS: "));
    EXPECT_EQ(cells(r, 3, 7, 62, 12), "(    120.00)");   // 2 x 360 - (100 + 200 + 300)
    EXPECT_EQ(rstrip(row_of(r, 3, 13)), " 1 000003 KAFA MLEVENA 200G           010     2.000      360.00  0.00     360.00");
}

}  // namespace
