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

}  // namespace
