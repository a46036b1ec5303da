// The item rows of a costing in the real program: the selling price built from purchase price,
// rebate and margin, the goods register taking the item's prices and quantity, the refusals, the
// variants without a purchase price, the flat-rate compensation of a buy-off, and the list of the
// stored items with change and deletion.
#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

// Main menu -> 2.Unos -> 1.Zaduzenje -> a costing prompt of the receipts menu.
const std::string kCosting = "211", kBuyOff = "216", kCost = "217";

// A new costing with the proposed number and date from supplier 0001 (a VAT payer): document
// number and dates as proposed, then the input VAT and the amount to pay.
std::string new_costing(const std::string& vat, const std::string& amount) {
    return kCosting + "{Enter}{Enter}1{Enter}{Enter}{Enter}{Enter}" + vat + "{Enter}" + amount + "{Enter}";
}

double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }

// The live records of a table (deleted ones left out), field name -> value.
std::vector<Rec> live(const fs::path& table) {
    const bool hidden = rt::dbf::set_deleted(true);
    std::vector<Rec> out = records(table);
    rt::dbf::set_deleted(hidden);
    return out;
}

// The goods record of a code.
Rec goods(const Install& inst, const std::string& sifra) {
    for (const Rec& r : live(inst / "001" / "mdart.dbf"))
        if (str(r, "SIFRA") == sifra) return r;
    ADD_FAILURE() << "no goods " << sifra;
    return {};
}

void expect_goods(const Install& inst, const std::string& sifra, double nabcen, double prodcen, double popkol) {
    const Rec g = goods(inst, sifra);
    if (g.empty()) return;
    EXPECT_DOUBLE_EQ(num(g, "NABCEN"), nabcen) << sifra;
    EXPECT_DOUBLE_EQ(num(g, "PRODCEN"), prodcen) << sifra;
    EXPECT_DOUBLE_EQ(num(g, "POPKOL"), popkol) << sifra;
}

// Full costing (Alt+K turns the short one off): margin, rebate for the whole document, a refused
// negative margin, the rounding correction, and the rebate forgotten when the costing is continued.
TEST(CostingItems, FullCostingBuildsPricesAndUpdatesGoods) {
    Install inst;
    prepare_company(inst);
    // VAT 160 + 90 + 18 on 800 + 450 + 180; the supplier's amount 2 para above the sum.
    Result r = go(inst, kEnter001 + new_costing("268", "1698.02") + "{Alt+K}" +
                            // 10 x 80.00 with a 25 % margin at 20 %: selling price 120.00
                            "4{Enter}10{Enter}80{Enter}{Enter}25{Enter}{dump}{Enter}"
                            // 2 x 250.00 less 10 % for the whole document, the goods' price 360 kept
                            "3{Enter}2{Enter}250{Enter}10{Enter}D{Enter}{Enter}"
                            // the document's rebate offered: 5 x 40.00 - 10 %
                            "1{Enter}5{Enter}{Enter}{dump}{Enter}{Enter}{Enter}"
                            // 120.00 - 10 % = 108.00 does not sell at 110.00 with 10 %
                            "2{Enter}1{Enter}120{Enter}{Enter}{Enter}{Enter}{dump}{Enter}"
                            // end: the correction of 0.02, then continue the costing
                            "{Esc}{dump}DN{dump}5{Enter}{dump}{Esc}{Esc}{Esc}{dump}");
    ASSERT_GE(r.screens.size(), 7u) << why(r);
    EXPECT_EQ(cells(r, 0, 13, 0, 80),
              "01      4 SOK OD JABUKE 1L     020    10.000     80.000   0.00  25.00     120.00");
    EXPECT_EQ(cells(r, 1, 15, 56, 6), " 10.00");
    EXPECT_NE(row_of(r, 2, 11).find("Negativna razlika u ceni!"), std::string::npos) << show(row_of(r, 2, 11));
    EXPECT_NE(row_of(r, 3, 11).find("Razlika pri zaokruzenju: 0.02 din. Automatska korekcija (D/N)?"),
              std::string::npos)
        << show(row_of(r, 3, 11));
    // Continued: the stored items listed, the control total over them, the next row numbered 04.
    EXPECT_EQ(cells(r, 4, 13, 0, 20), "01 000004 SOK OD JAB");
    EXPECT_EQ(cells(r, 4, 15, 0, 80),
              "03 000001 HLEB BELI 500G       010     5.000     36.001   0.00  38.89      55.00");
    EXPECT_EQ(cells(r, 4, 16, 0, 2), "04");
    EXPECT_EQ(cells(r, 4, 10, 61, 13), "(    1698.02)");
    // The document's rebate is gone with the end of entry.
    EXPECT_EQ(cells(r, 5, 16, 56, 6), "  0.00");

    const std::vector<Rec> kalk = live(inst / "001" / "kalk.dbf");
    ASSERT_EQ(kalk.size(), 3u);
    expect_fields(kalk[0], {{"BRKALK", "000001"}, {"SIFART", "000004"}, {"NAZART", "SOK OD JABUKE 1L"},
                            {"JMERE", "KOM"}, {"TARGR", "020"}});
    EXPECT_DOUBLE_EQ(num(kalk[0], "KOLICINA"), 10);
    EXPECT_DOUBLE_EQ(num(kalk[0], "FAKCEN"), 80.001);   // after the correction
    EXPECT_DOUBLE_EQ(num(kalk[0], "RUCP"), 25.00);
    EXPECT_DOUBLE_EQ(num(kalk[0], "PRODCEN"), 120);
    EXPECT_DOUBLE_EQ(num(kalk[0], "POREZ"), 20);
    EXPECT_DOUBLE_EQ(num(kalk[0], "PSPOR"), 16.667);
    EXPECT_DOUBLE_EQ(num(kalk[1], "FAKCEN"), 225.003);
    EXPECT_DOUBLE_EQ(num(kalk[1], "RUCP"), 33.33);
    EXPECT_DOUBLE_EQ(num(kalk[1], "PRODCEN"), 360);
    EXPECT_DOUBLE_EQ(num(kalk[2], "PSPOR"), 9.09);
    // The register holds the prices as entered (the correction changes only the items).
    expect_goods(inst, "000004", 80, 120, 10);
    expect_goods(inst, "000003", 225, 360, 2);
    expect_goods(inst, "000001", 36, 55, 5);
    expect_goods(inst, "000002", 80, 110, 0);
}

// A cost costing: only a negative quantity, no purchase price; the stock goes down, the goods keep
// their purchase price and take the item's selling price.
TEST(CostingItems, CostCostingTakesGoodsOut) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + kCost + "{Enter}{Enter}1{Enter}{Enter}{Enter}{Enter}{Enter}" +
                            "{Alt+Z}3{Enter}3{Enter}{dump}{Enter}-3{Enter}400{Enter}{dump}{Esc}");
    ASSERT_GE(r.screens.size(), 2u) << why(r);
    EXPECT_NE(row_of(r, 0, 11).find("Minusna kolicina je obavezna u Kalkulaciji-Trosak!"), std::string::npos)
        << show(row_of(r, 0, 11));
    EXPECT_EQ(cells(r, 1, 13, 0, 80),
              "01 000003 KAFA MLEVENA 200G    020    -3.000      0.000   0.00   0.00     400.00");
    EXPECT_EQ(cells(r, 1, 23, 62, 17), "Zaliha:     -3.00");
    const std::vector<Rec> kalk = live(inst / "001" / "kalk.dbf");
    ASSERT_EQ(kalk.size(), 1u);
    EXPECT_DOUBLE_EQ(num(kalk[0], "KOLICINA"), -3);
    EXPECT_DOUBLE_EQ(num(kalk[0], "FAKCEN"), 0);
    EXPECT_DOUBLE_EQ(num(kalk[0], "RUCP"), 0);
    EXPECT_DOUBLE_EQ(num(kalk[0], "POREZ"), 20);
    expect_goods(inst, "000003", 250, 400, -3);

    // Continued and its only item deleted from the list: the stock comes back, entry starts again
    // on the first row.
    r = go(inst, kEnter001 + kCost + "1{Enter}N{Up}{Del}D{dump}{Enter}{dump}");
    ASSERT_GE(r.screens.size(), 2u) << why(r);
    EXPECT_NE(row_of(r, 0, 11).find("Kalkulacija nema vise stavki !"), std::string::npos) << show(row_of(r, 0, 11));
    EXPECT_EQ(cells(r, 1, 13, 0, 10), "01      0 ");
    EXPECT_EQ(cells(r, 1, 14, 0, 80), rep(' ', 80));
    EXPECT_TRUE(live(inst / "001" / "kalk.dbf").empty());
    expect_goods(inst, "000003", 250, 400, 0);
}

// The list of the stored items, reached by Up from a new row and by the action menu: a change
// loads the goods' current prices and moves the stock to the new code, a deletion gives the stock
// back; a costing without items reopens with the bar on continuing.
TEST(CostingItems, ItemListChangesAndDeletes) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + new_costing("0", "0") +
                            // short costing: bread twice (the register ends at 42 / 60), milk
                            "1{Enter}5{Enter}40{Enter}55{Enter}1{Enter}3{Enter}42{Enter}60{Enter}"
                            "2{Enter}4{Enter}80{Enter}110{Enter}"
                            // up to the first item and change it as loaded
                            "{Up}{Up}{Up}{Enter}{Enter}{dump}{Enter}{Enter}{Enter}"
                            // the second becomes sugar, the third is deleted, down past the last
                            // back into entry
                            "{Down}{Enter}5{Enter}{Enter}{Enter}{Enter}{Down}{Del}D{dump}{Down}{dump}"
                            // the change from the action menu, left with Esc
                            "{Esc}I{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}{dump}{Esc}{dump}{Esc}"
                            // an empty costing 2
                            "{Enter}{Enter}{Enter}1{Enter}{Enter}{Enter}{Enter}0{Enter}0{Enter}{Esc}{Esc}"
                            "{Enter}2{Enter}I{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}{dump}{Enter}{Enter}{dump}");
    ASSERT_GE(r.screens.size(), 7u) << why(r);
    // The first item in change: the goods' current prices, not the stored 40 / 55.
    EXPECT_EQ(cells(r, 0, 13, 35, 20), "    5.000     42.000");
    EXPECT_EQ(cells(r, 0, 13, 70, 10), "     60.00");
    // After the deletion the control total holds 5 x 42 + 3 x 70.
    EXPECT_EQ(cells(r, 1, 10, 61, 13), "(     420.00)");
    EXPECT_EQ(cells(r, 2, 13, 0, 80),
              "01 000001 HLEB BELI 500G       010     5.000     42.000   0.00  29.87      60.00");
    EXPECT_EQ(cells(r, 2, 14, 0, 30), "02 000005 SECER KRISTAL       ");
    EXPECT_EQ(cells(r, 2, 15, 0, 2), "03");
    // From the action menu: the list, then Esc reopens the costing at its action menu.
    EXPECT_EQ(cells(r, 3, 14, 0, 20), "02 000005 SECER KRIS");
    EXPECT_NE(row_of(r, 4, 11).find(" KRAJ  NASTAVAK  IZMENA "), std::string::npos) << show(row_of(r, 4, 11));
    EXPECT_EQ(cells(r, 4, 3, 24, 6), "     1");
    EXPECT_NE(row_of(r, 5, 11).find("Ova Kalkulacija nema unete stavke !"), std::string::npos)
        << show(row_of(r, 5, 11));
    // Enter on the reopened costing 2 continues it: item entry on its first row.
    EXPECT_EQ(cells(r, 6, 3, 24, 6), "     2");
    EXPECT_EQ(cells(r, 6, 13, 0, 2), "01");

    const std::vector<Rec> kalk = live(inst / "001" / "kalk.dbf");
    ASSERT_EQ(kalk.size(), 2u);
    expect_fields(kalk[1], {{"SIFART", "000005"}, {"NAZART", "SECER KRISTAL"}, {"JMERE", "KG"}, {"TARGR", "018"}});
    EXPECT_DOUBLE_EQ(num(kalk[0], "FAKCEN"), 42);
    EXPECT_DOUBLE_EQ(num(kalk[0], "PRODCEN"), 60);
    EXPECT_DOUBLE_EQ(num(kalk[1], "KOLICINA"), 3);
    EXPECT_DOUBLE_EQ(num(kalk[1], "FAKCEN"), 70);
    EXPECT_DOUBLE_EQ(num(kalk[1], "POREZ"), 18);
    expect_goods(inst, "000001", 42, 60, 5);
    expect_goods(inst, "000005", 70, 99, 3);
    expect_goods(inst, "000002", 80, 110, 0);
}

// A margin too large to store refuses the item; in the list's change of an item a code the
// register does not know is refused and Esc leaves the item as it was.
TEST(CostingItems, TooLargeMarginAndUnknownCodeRefused) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + new_costing("0", "0") + "1{Enter}5{Enter}40{Enter}55{Enter}" +
                            // juice bought at 0.01 and sold at 100.00 (20 %): margin 833230 %
                            "4{Enter}1{Enter}0.01{Enter}100{Enter}{dump}{Enter}" +
                            "{Up}{Enter}999{Enter}{dump}{Enter}{Esc}{dump}{Esc}{Esc}");
    ASSERT_GE(r.screens.size(), 3u) << why(r);
    EXPECT_NE(row_of(r, 0, 11).find("Procenat razlike u ceni 833230.00% je prevelik!"), std::string::npos)
        << show(row_of(r, 0, 11));
    EXPECT_NE(row_of(r, 1, 11).find("Nepostoji ta Sifra !"), std::string::npos) << show(row_of(r, 1, 11));
    EXPECT_EQ(cells(r, 2, 13, 0, 80),
              "01 000001 HLEB BELI 500G       010     5.000     40.000   0.00  25.00      55.00");

    const std::vector<Rec> kalk = live(inst / "001" / "kalk.dbf");
    ASSERT_EQ(kalk.size(), 1u);
    EXPECT_EQ(str(kalk[0], "SIFART"), "000001");
    EXPECT_DOUBLE_EQ(num(kalk[0], "KOLICINA"), 5);
    EXPECT_DOUBLE_EQ(num(kalk[0], "FAKCEN"), 40);
    expect_goods(inst, "000001", 40, 55, 5);
    expect_goods(inst, "000004", 90, 150, 0);
}

// A commission company's list, left with Esc, reopens the costing through the form question of
// its menu item (Enter there takes the form chosen before).
TEST(CostingItems, CommissionListReopensThroughTheFormChoice) {
    Install inst;
    CompanySetup c;
    c.activity = "005";
    prepare_company(inst, c);
    Result r = go(inst, kEnter001 + kCosting + "{Enter}" + "{Enter}{Enter}1{Enter}{Enter}{Enter}{Enter}0{Enter}0{Enter}" +
                            "1{Enter}5{Enter}40{Enter}55{Enter}{Esc}{Esc}" + "{Enter}{Enter}1{Enter}I{dump}" +
                            "{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}{dump}{Esc}{dump}");
    ASSERT_GE(r.screens.size(), 3u) << why(r);
    EXPECT_EQ(cells(r, 1, 13, 0, 20), "01 000001 HLEB BELI ");
    EXPECT_NE(row_of(r, 2, 11).find(" KRAJ  NASTAVAK  IZMENA "), std::string::npos) << show(row_of(r, 2, 11));
    EXPECT_EQ(cells(r, 2, 3, 24, 6), "     1");
}

// A buy-off costing earns the flat-rate compensation on its items: 5 % up to 30.09.2012, 8 % from
// 01.10.2012; a deleted item takes its compensation with it.
TEST(CostingItems, BuyOffCompensationByDate) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + kBuyOff + "{Enter}30092012{Enter}2{Enter}{Enter}{Enter}{Enter}{Enter}" +
                            "2{Enter}10{Enter}100{Enter}150{Enter}{dump}3{Enter}2{Enter}250{Enter}360{Enter}"
                            "{Up}{Up}{Del}D{dump}{Esc}{Esc}{Esc}"
                            "{Enter}{Enter}01102012{Enter}2{Enter}{Enter}{Enter}{Enter}{Enter}"
                            "2{Enter}10{Enter}100{Enter}150{Enter}{dump}{Esc}");
    ASSERT_GE(r.screens.size(), 3u) << why(r);
    EXPECT_EQ(cells(r, 0, 9, 34, 14), "PDV      50.00");
    EXPECT_EQ(cells(r, 0, 10, 61, 13), "(    1050.00)");
    // 50 + 25 for the coffee, less the 50 of the deleted milk.
    EXPECT_EQ(cells(r, 1, 9, 34, 14), "PDV      25.00");
    EXPECT_EQ(cells(r, 1, 10, 61, 13), "(     525.00)");
    EXPECT_EQ(cells(r, 2, 9, 34, 14), "PDV      80.00");

    const std::vector<Rec> ukalk = live(inst / "001" / "ukalk.dbf");
    ASSERT_EQ(ukalk.size(), 2u);
    EXPECT_DOUBLE_EQ(num(ukalk[0], "PDV"), 25);
    EXPECT_DOUBLE_EQ(num(ukalk[1], "PDV"), 80);
    EXPECT_DOUBLE_EQ(num(ukalk[1], "PDV18"), 80);   // the whole input VAT of a costing that does not split it
    expect_goods(inst, "000002", 100, 150, 10);
    expect_goods(inst, "000003", 250, 360, 2);
}

// PgDn on a new row proposes a goods code and opens the goods register on it: for a company whose
// codes follow the supplier (activity "006") the first free code of supplier 0001's thousand.
TEST(CostingItems, NewGoodsCodeFromTheSupplier) {
    Install inst;
    prepare_company(inst, {.activity = "006"});
    Result r = go(inst, kEnter001 + new_costing("0", "0") +
                            "{PgDn}{dump}NOVA ROBA{Enter}{Enter}20{Enter}10{Enter}15{Enter}"
                            "{Enter}2{Enter}{Enter}{Enter}{PgDn}{dump}{Esc}{Esc}{Esc}");
    ASSERT_GE(r.screens.size(), 2u) << why(r);
    EXPECT_EQ(cells(r, 0, 14, 17, 22), "  Sifra Dobra :   1001");
    // The new article taken on the row; the next proposal is the next free one of the thousand.
    EXPECT_EQ(cells(r, 1, 13, 0, 14), "01 001001 NOVA");
    EXPECT_EQ(cells(r, 1, 14, 17, 22), "  Sifra Dobra :   1002");
    expect_goods(inst, "001001", 10, 15, 2);

    // A supplier from 1000 up has no thousand within six digits: the ordinary proposal, the highest
    // code + 1.
    fill(inst / "001" / "mddob.dbf", {"mddob"},
         {{{"SIFRA", "1234"}, {"NAZIV", "VELEPRODAJA"}, {"MESTO", "Nis"}, {"PEPDV", "333444555"}}});
    r = go(inst, kEnter001 + kCosting + "{Enter}{Enter}1234{Enter}{Enter}{Enter}{Enter}0{Enter}0{Enter}{PgDn}{dump}");
    ASSERT_GE(r.screens.size(), 1u) << why(r);
    EXPECT_EQ(cells(r, 0, 14, 17, 22), "  Sifra Dobra :   1002");
}

}  // namespace
