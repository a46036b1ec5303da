// The price, rebate and VAT hooks, the closed-period guard and the date proposals, on values
// worked out by hand.
#include <gtest/gtest.h>

#include <string>

#include "calc/calc_fixture.h"
#include "calc/pricing.h"
#include "calc/rates.h"

namespace tor::test {
namespace {

// ---- rates ----

TEST(VatRates, TableByGroupAndUnknownGroups) {
    EXPECT_EQ(porez("005"), 5.0);
    EXPECT_EQ(pspor("005"), 4.761);
    EXPECT_EQ(porez("000"), 0.0);  // a zero rate is a rate, not a missing group
    EXPECT_FALSE(porez("007").has_value());
    EXPECT_FALSE(pspor("20").has_value());
    EXPECT_FALSE(pspor("").has_value());
    EXPECT_EQ(tariff_group(18), "018");
    EXPECT_EQ(tariff_group(0), "000");
    EXPECT_EQ(tariff_group(7), "");
}

TEST_F(CalcTest, ItemRatesZeroOutsideVatAndForRepresentation) {
    // "found p s" after each call, the rates starting from -1.
    auto rates = [](const char* group, bool repr) {
        double p = -1, s = -1;
        const bool found = item_rates(group, repr, p, s);
        return std::to_string(found) + " " + rt::STR(p, 6, 3) + " " + rt::STR(s, 6, 3);
    };
    EXPECT_EQ(rates("018", false), "1 18.000 15.254");
    EXPECT_EQ(rates("018", true), "1  0.000  0.000");
    EXPECT_EQ(rates("019", false), "0  0.000  0.000");
    WPDVKOM = false;
    EXPECT_EQ(rates("020", false), "1  0.000  0.000");
    // Buy-off compensation changes rate on 01.10.2012.
    EXPECT_EQ(OTKUP_STOPA(rt::Date::ymd(2012, 9, 30)), 5.0);
    EXPECT_EQ(OTKUP_STOPA(rt::Date::ymd(2012, 10, 1)), 8.0);
}

// ---- margin and selling price ----

TEST_F(CalcTest, MarginGivesSellingPriceAndIsComputedBack) {
    CostingItemVars v{.WFAKCEN = 100, .WRUCP = 25};
    ASSERT_TRUE(item_rates("020", false, v.WPOREZ, v.WPSPOR));
    EXPECT_TRUE(RAC_PC(v));
    EXPECT_NEAR(v.WFCR, 125.0, 1e-9);
    EXPECT_NEAR(v.WPRODCEN, 150.0, 1e-9);
    // (150 - 150 x 16.667 / 100) / 100 x 100 - 100 = 24.9995, two decimals 25.00
    RUC_IZ_CENE(v);
    EXPECT_NEAR(v.WRUCP, 24.9995, 1e-9);

    // A non-zero margin replaces a price already there; a zero margin keeps it.
    v.WPRODCEN = 999;
    v.WRUCP = 10;
    ASSERT_TRUE(item_rates("010", false, v.WPOREZ, v.WPSPOR));
    RAC_PC(v);
    EXPECT_NEAR(v.WPRODCEN, 121.0, 1e-9);
    v.WPRODCEN = 130;
    v.WRUCP = 0;
    RAC_PC(v);
    EXPECT_EQ(v.WPRODCEN, 130.0);

    // No purchase price: margin 0 whatever the selling price.
    v.WFAKCEN = 0;
    v.WPRODCEN = 500;
    RUC_IZ_CENE(v);
    EXPECT_EQ(v.WRUCP, 0.0);
}

TEST_F(CalcTest, FivePercentGroupKeepsAPositiveMargin) {
    // Price 105 at "005" from purchase price 100: 105 - 105 x 4.761 / 100 = 100.00095, so the
    // margin is 0.00095 and the item is not refused as sold below cost.
    CostingItemVars v{.WFAKCEN = 100};
    ASSERT_TRUE(item_rates("005", false, v.WPOREZ, v.WPSPOR));
    RAC_PC(v);
    EXPECT_NEAR(v.WPRODCEN, 105.0, 1e-9);
    RUC_IZ_CENE(v);
    EXPECT_NEAR(v.WRUCP, 0.00095, 1e-9);
}

TEST_F(CalcTest, EmptySellingPriceIsFilledAndKeepsTheCursor) {
    CostingItemVars v{.WFAKCEN = 80, .WRUCP = 50, .WPOREZ = 18};
    EXPECT_FALSE(NULA_PC(v));
    EXPECT_NEAR(v.WFCR, 120.0, 1e-9);
    EXPECT_NEAR(v.WPRODCEN, 141.6, 1e-9);
    EXPECT_TRUE(NULA_PC(v));  // the filled price lets the cursor go
}

// ---- rebate ----

TEST_F(CalcTest, RebateQuestionOncePerDocumentAndTheDocumentWideOrOneItemRebate) {
    start("{dump}DnX");
    CostingItemVars v{.WFAKCEN = 200, .WRABAT = 10, .R = 14};
    EXPECT_TRUE(RABATK(v));
    EXPECT_NEAR(v.WFAKCEN, 180.0, 1e-9);
    EXPECT_TRUE(v.ZBIRNIRABAT && v.PITAO_RABAT);
    EXPECT_EQ(cells(14, 45, 17), "   180.000  10.00");
    auto d = dumps();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(message_of(d[0]), "Zelite li isti rabat na celom dokumentu (D/N)?");

    // The next item: the same rebate, no question.
    v.R = 15;
    v.WFAKCEN = 50;
    RABATK(v);
    EXPECT_NEAR(v.WFAKCEN, 45.0, 1e-9);
    EXPECT_EQ(v.WRABAT, 10.0);

    // Another document answered no: the rebate of the one item is folded into its price.
    v = CostingItemVars{.WFAKCEN = 200, .WRABAT = 10};
    RABATK(v);
    EXPECT_NEAR(v.WFAKCEN, 180.0, 1e-9);
    EXPECT_FALSE(v.ZBIRNIRABAT);
    EXPECT_EQ(v.WRABAT, 0.0);
    EXPECT_EQ(cells(13, 56, 6), "  0.00");
    // Asked already: a later rebate is applied without the question and forgotten.
    v.WFAKCEN = 40;
    v.WRABAT = 25;
    RABATK(v);
    EXPECT_NEAR(v.WFAKCEN, 30.0, 1e-9);
    EXPECT_EQ(v.WRABAT, 0.0);
    // No rebate, no question, the price stays.
    CostingItemVars w{.WFAKCEN = 12.5};
    RABATK(w);
    EXPECT_EQ(w.WFAKCEN, 12.5);
    EXPECT_FALSE(w.PITAO_RABAT);
    EXPECT_EQ(rt::NEXTKEY(), 'X');
}

// ---- quantity ----

TEST_F(CalcTest, QuantityChecksInOrder) {
    const std::string zero = "Nije dozvoljena Nula Kolicina!", minus = "Minusna kolicina je obavezna ";
    const struct {
        bool tros, repr;
        const char* sifdel;
        int form;
        double qty;
        std::string message;  // "" when the quantity is taken
    } cases[] = {
        {true, false, "007", 1, 0, zero},  // zero comes before the sign
        {true, true, "007", 1, 5, minus + "u Kalkulaciji-Trosak!"},  // cost before representation
        {false, true, "007", 1, 5, minus + "u Kalkulaciji-Reprezentacija!"},
        {false, false, "005", 2, 5, minus + "na Kalkulaciji za Obrazac KR-1!"},
        // Returns are the rule in all three variants; form 1 or another activity wants none.
        {true, true, "005", 2, -5, ""},
        {false, false, "005", 1, 5, ""},
        {false, false, "007", 2, 5, ""},
    };
    start("{dump}.{dump}.{dump}.{dump}.{dump}.Z");
    std::vector<std::string> want;
    for (const auto& c : cases) {
        KAL_TROS = c.tros, KAL_REPR = c.repr, WSIFDEL = c.sifdel, KALK_FORM = c.form;
        EXPECT_EQ(KONTR_KOL(CostingItemVars{.WKOLICINA = c.qty}), c.message.empty()) << c.qty << " " << c.message;
        if (!c.message.empty()) want.push_back(c.message);
    }
    // A screen without costing variants: a flag left from a cost costing does not count.
    KAL_TROS = true;
    EXPECT_TRUE(KONTR_KOL(3.0));
    EXPECT_TRUE(KONTR_KOL(-3.0));
    EXPECT_FALSE(KONTR_KOL(0.0));
    want.push_back(zero);

    std::vector<std::string> got;
    for (const auto& d : dumps()) got.push_back(message_of(d));
    EXPECT_EQ(got, want);
    EXPECT_EQ(rt::NEXTKEY(), 'Z');
}

// ---- invoice ----

TEST_F(CalcTest, InvoiceRebateNetPriceAndDueDate) {
    InvoiceItemVars v{.WPRODCEN = 120, .WRABAT = 10};
    EXPECT_TRUE(RAC_N_PC(v));
    EXPECT_NEAR(v.WNPCENA, 108.0, 1e-9);
    v.WNPCENA = 90;
    EXPECT_TRUE(RAC_N_RAB(v));
    EXPECT_NEAR(v.WRABAT, 25.0, 1e-9);
    // No price: the quotient counts as 0, the whole price is rebate.
    v.WPRODCEN = 0;
    v.WNPCENA = 10;
    RAC_N_RAB(v);
    EXPECT_EQ(v.WRABAT, 100.0);

    // The due date from the days of credit.
    InvoiceHeaderVars h{.WBRFAK = "", .WDATPRO = rt::Date::ymd(2026, 3, 10), .WVALUTA = 30, .WDATVAL = {}};
    EXPECT_TRUE(RAC_DATV(h));
    EXPECT_EQ(h.WDATVAL, rt::Date::ymd(2026, 4, 9));
    EXPECT_EQ(cells(8, 14, 10), "09.04.2026");
}

// ---- registers and entries ----

TEST_F(CalcTest, CommissionPurchasePriceFromSalePrice) {
    WSIFDEL = "005";
    PROC_RUC = 25;
    GoodsEntryVars g{.WJMERE = "", .WTARGR = 20, .WPRODCEN = 250};
    rt::KEYBOARD("abc");
    EXPECT_TRUE(RAC_NABCEN(g));
    // 250 - 250 x 16.667 / 100 = 208.3325; less 25 % = 156.249375; whole units 156
    EXPECT_EQ(g.WNABCEN, 156.0);
    EXPECT_EQ(cells(18, 33, 11), "     156.00");
    EXPECT_EQ(rt::NEXTKEY(), 0);

    // A price already there, another activity or a group outside the table: nothing proposed.
    g.WNABCEN = 7;
    RAC_NABCEN(g);
    EXPECT_EQ(g.WNABCEN, 7.0);
    g.WNABCEN = 0;
    g.WTARGR = 7;
    RAC_NABCEN(g);
    EXPECT_EQ(g.WNABCEN, 0.0);
    g.WTARGR = 18;
    WSIFDEL = "007";
    RAC_NABCEN(g);
    EXPECT_EQ(g.WNABCEN, 0.0);
}

TEST_F(CalcTest, UnitOfMeasureDefaults) {
    std::string unit = "L  ";
    rt::SET_LASTKEY(rt::K::PGDN);
    rt::KEYBOARD("xy");
    EXPECT_FALSE(JEME(unit));
    EXPECT_EQ(cells(16, 33, 3), "KG ");
    EXPECT_EQ(rt::CELL(16, 33).attr, attr_of(INVERZ));
    EXPECT_EQ(rt::NEXTKEY(), 0);

    unit = "   ";
    rt::SET_LASTKEY(rt::K::ENTER);
    EXPECT_FALSE(JEME(unit, 21, 33));
    EXPECT_EQ(unit + cells(21, 33, 3), "KOMKOM");

    unit = "L  ";
    EXPECT_TRUE(JEME(unit));
    EXPECT_EQ(unit, "L  ");
}

TEST_F(CalcTest, AmountsToPayOfExpenditureVatBaseAndInternalVat) {
    ExpenditureVars e{.WTROSAK = 100, .WPDV = 20, .WPDVPS = 8, .WPDVOS = 20};
    EXPECT_TRUE(TRPDV_IZN(e));
    EXPECT_EQ(cells(9, 62, 11), "     120.00");
    EXPECT_EQ(rt::CELL(9, 62).attr, attr_of(INVERZ));
    S_RAZPRENPDV = true;
    TRPDV_IZN(e);
    EXPECT_EQ(cells(10, 62, 11), "     128.00");

    VatBaseVars b{.WOSNOVICA = 1000, .WPDV = 200};
    rt::CLS();
    EXPECT_TRUE(OOPDV_IZN(b));
    EXPECT_EQ(cells(9, 62, 10), "   1200.00");

    InternalVatVars o{.WOOSNOV = 1000, .WOSTOPA = 20, .WOZNAKA = 1};
    EXPECT_TRUE(OPDVGR(o));
    EXPECT_EQ(o.WOPDV, 200.0);
    EXPECT_EQ(cells(10, 29, 15) + cells(10, 56, 15), "        1000.00         200.00");
    // Without the right to deduct, the input columns show 0 while the VAT is still calculated.
    o.WOZNAKA = 2;
    o.WOSTOPA = 10;
    OPDVGR(o);
    EXPECT_EQ(o.WOPDV, 100.0);
    EXPECT_EQ(cells(10, 29, 15) + cells(10, 56, 15), "           0.00           0.00");
}

// ---- dates ----

TEST(DateProposals, EndOfThePreviousMonthAndLastStocktakeAtEveryQuarterBoundary) {
    // Date given -> date proposed, both "yyyymmdd".
    const std::pair<const char*, const char*> period[] = {
        {"20260316", "20260228"}, {"20240301", "20240229"}, {"20260115", "20251231"}, {"20260531", "20260430"}};
    for (const auto& [given, want] : period) EXPECT_EQ(rt::DTOS(PERIOD(rt::STOD(given))), want) << given;
    const std::pair<const char*, const char*> stocktake[] = {
        {"20260101", "20251231"}, {"20260331", "20251231"}, {"20260401", "20260331"}, {"20260430", "20260331"},
        {"20260501", "20260630"}, {"20260731", "20260630"}, {"20260801", "20260930"}, {"20261031", "20260930"},
        {"20261101", "20261231"}, {"20261231", "20261231"}};
    for (const auto& [given, want] : stocktake) EXPECT_EQ(rt::DTOS(DATKUM(rt::STOD(given))), want) << given;
    EXPECT_TRUE(PERIOD(rt::Date()).empty());
    EXPECT_TRUE(DATKUM(rt::Date()).empty());
}

class ClosedPeriod : public CalcTest {
protected:
    void settle(const std::string& file, const std::string& text) {
        std::ofstream(DIR + file, std::ios::binary) << text;
    }
};

TEST_F(ClosedPeriod, SettledDateNeedsDThenA) {
    settle("lastdate.pdv", "31.03.2026\r\n");
    HELPKEY = "the screen's own help";
    start("{dump}D{dump}AZ");
    EXPECT_TRUE(LASTPDVDATE(rt::Date::ymd(2026, 3, 31)));
    EXPECT_EQ(HELPKEY, "the screen's own help");
    EXPECT_EQ(rt::NEXTKEY(), 'Z');
    auto d = dumps();
    ASSERT_EQ(d.size(), 2u);
    // The warning's lines one under the other from row 3, blank lines kept.
    EXPECT_EQ(message_of(d[0], 3) + "|" + message_of(d[0], 4) + "|" + message_of(d[0], 7) + "|" + message_of(d[0], 12),
              "PAZNJA:|PDV je obracunat zakljucno sa datumom 31.03.2026.||Program ceka vasu odluku...");
    EXPECT_NE(rt::utf8_to_cp437(d[0][13]).find('\xBA'), std::string::npos);  // the last blank line is framed
    EXPECT_EQ(d[1], d[0]);  // the same box again for the second key

    start("da");
    EXPECT_TRUE(LASTPDVDATE(rt::Date::ymd(2026, 1, 15)));
}

TEST_F(ClosedPeriod, NoSettlementOrALaterDatePassesAnythingButDThenARefuses) {
    start("Z");
    EXPECT_TRUE(LASTPDVDATE(rt::Date::ymd(2020, 1, 1)));
    settle("LASTDATE.PDV", "31.03.2026");  // as moved from DOS
    EXPECT_TRUE(LASTPDVDATE(rt::Date::ymd(2026, 4, 1)));
    EXPECT_EQ(rt::NEXTKEY(), 'Z');
    start("DxZ");
    EXPECT_FALSE(LASTPDVDATE(rt::Date::ymd(2026, 3, 31)));
    EXPECT_EQ(rt::NEXTKEY(), 'Z');
    start("AZ");
    EXPECT_FALSE(LASTPDVDATE(rt::Date::ymd(2026, 3, 1)));
    EXPECT_EQ(rt::NEXTKEY(), 'Z');
    start("{Enter}DZ");
    EXPECT_FALSE(LASTPDVDATE(rt::Date::ymd(2026, 3, 1)));
    EXPECT_EQ(rt::NEXTKEY(), 'D');
}

}  // namespace
}  // namespace tor::test
