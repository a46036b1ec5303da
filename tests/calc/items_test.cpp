// The hooks that work on tables: the rounding correction over the items of a costing, Up from a
// new item row back into the item list, and the VAT rate change of the goods register with an
// article held by another workstation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/calc_fixture.h"
#include "calc/pricing.h"
#include "rt/input/get.h"

namespace tor::test {
namespace {

struct Item {
    std::string brkalk, targr;
    double kolicina, fakcen;
};

class CostingItems : public CalcTest {
protected:
    // The "kalk" table with its three indexes in the company directory, holding the items.
    void make_kalk(const std::vector<Item>& items) {
        make_table("kalk");
        rt::dbf::select(1);
        ASSERT_TRUE(open_table("kalk"));
        rt::dbf::WorkArea& a = rt::dbf::current();
        for (const Item& it : items) {
            ASSERT_TRUE(a.append_blank());
            a.put("BRKALK", it.brkalk);
            a.put("SIFART", "000001");
            a.put("TARGR", it.targr);
            a.put("KOLICINA", it.kolicina);
            a.put("FAKCEN", it.fakcen);
        }
        a.unlock();
        a.commit();
        rt::dbf::close_all();
    }
    // FAKCEN of every record in record order.
    std::vector<double> prices() {
        std::vector<double> out;
        rt::dbf::WorkArea a;
        EXPECT_TRUE(a.open(dbf_path("kalk")));
        for (a.go_top(); !a.eof(); a.skip()) out.push_back(a.get_num("FAKCEN"));
        a.close();
        return out;
    }
    static CostingHeaderVars header(double konzapl, double zapla) {
        return {.WBRKALK = "000001", .WZAPLA = zapla, .KONZAPL = konzapl};
    }
};

// ---- rounding correction ----

TEST_F(CostingItems, ProportionalPassThenResidueOnTheFirstItemThatTakesIt) {
    // Records in the order the index "kalk1" (number + group) walks them: "010" before "020".
    make_kalk({{"000001", "020", 3, 2.000}, {"000002", "020", 1, 5.000}, {"000001", "010", 100, 1.234}});
    S_RAZPRENPDV = true;
    // WPDV is not counted when input VAT is split by rate.
    CostingHeaderVars h{.WBRKALK = "000001", .WPDV = 999, .WPDVPS = 10, .WPDVOS = 20, .WZAPLA = 160, .KONZAPL = 159.4};
    start("{dump}DX");
    ZAOKRUZI(h);
    // Difference 0.60 over a purchase value of 129.4: coefficient 0.0046367851...
    //   100 x 1.234 -> 1.2397217... stored 1.240 (124.000); 3 x 2.000 -> 2.0092735... stored
    //   2.009 (6.027); total 30 + 130.027 = 160.027, residue -0.027.
    // Residue pass: 1.240 - 0.027 / 100 stays 1.240; 2.009 - 0.027 / 3 = 2.000 gives 160.000.
    EXPECT_NEAR(h.KONZAPL, 160.0, 1e-9);
    EXPECT_EQ(prices(), (std::vector<double>{2.0, 5.0, 1.24}));  // another costing (5.0) is not touched
    EXPECT_EQ(cells(10, 61, 13), "(     160.00)");
    ASSERT_EQ(dumps().size(), 1u);
    EXPECT_EQ(message_of(dumps()[0]), "Razlika pri zaokruzenju: 0.60 din. Automatska korekcija (D/N)?");
    EXPECT_EQ(rt::NEXTKEY(), 'X');  // no failure message waited for a key
}

TEST_F(CostingItems, ResidueBelowThePriceDecimalsIsReported) {
    make_kalk({{"000001", "020", 1000, 1.000}});
    CostingHeaderVars h = header(1000, 1000.30);
    start("d{dump}.X");
    ZAOKRUZI(h);
    EXPECT_EQ(prices(), std::vector<double>{1.0});
    EXPECT_NEAR(h.KONZAPL, 1000.0, 1e-9);
    ASSERT_EQ(dumps().size(), 1u);
    EXPECT_EQ(message_of(dumps()[0]), "Program nije uspeo da koriguje iznos od: 0.30 din.");
    EXPECT_EQ(rt::NEXTKEY(), 'X');
}

TEST_F(CostingItems, ZeroQuantitiesAndZeroPurchaseValueChangeNothing) {
    make_kalk({{"000001", "020", 0, 5.000}});
    CostingHeaderVars h = header(0, 1);
    start("D.X");
    ZAOKRUZI(h);
    EXPECT_EQ(prices(), std::vector<double>{5.0});
    EXPECT_EQ(h.KONZAPL, 0.0);
    EXPECT_EQ(rt::NEXTKEY(), 'X');
}

TEST_F(CostingItems, NoCorrectionOutsideItsLimits) {
    make_kalk({{"000001", "020", 10, 100.000}});
    start("X");
    // 100 or more, nothing to pay, or a difference that rounds to 0: no question at all.
    for (double zapla : {1100.0, 900.0, 0.0, 1000.004}) {
        CostingHeaderVars h = header(1000, zapla);
        ZAOKRUZI(h);
    }
    EXPECT_EQ(rt::NEXTKEY(), 'X');
    // Answered no, or a buy-off costing: the prices stay.
    start("ND");
    CostingHeaderVars h = header(1000, 1001);
    ZAOKRUZI(h);
    WOTKUP = true;
    ZAOKRUZI(h);
    EXPECT_EQ(h.KONZAPL, 1000.0);
    EXPECT_EQ(prices(), std::vector<double>{100.0});
    EXPECT_EQ(rt::NEXTKEY(), 0);
}

TEST_F(CostingItems, CorrectionUsesTheOpenItemTableAndPutsItBack) {
    make_kalk({{"000001", "020", 2, 10.000}, {"000001", "010", 1, 10.000}});
    // The costing screen holds "kalk" in number order, on its second record.
    rt::dbf::select(3);
    ASSERT_TRUE(open_table("kalk"));
    rt::dbf::current().go_to(2);
    rt::dbf::select(1);
    CostingHeaderVars h = header(30, 30.30);
    start("D");
    ZAOKRUZI(h);
    // Coefficient 0.01: 10.100 each, 2 x 10.1 + 10.1 = 30.30.
    EXPECT_NEAR(h.KONZAPL, 30.3, 1e-9);
    EXPECT_EQ(rt::dbf::current_number(), 1);
    rt::dbf::WorkArea& a = rt::dbf::area("kalk");
    EXPECT_EQ(std::make_pair(a.order(), a.recno()), std::make_pair(1, 2u));
    EXPECT_EQ(a.get_num("FAKCEN"), 10.1);
    rt::dbf::close_all();
    EXPECT_EQ(prices(), (std::vector<double>{10.1, 10.1}));
}

// ---- Up from a new item row ----

class ItemReturn : public CostingItems {
protected:
    void SetUp() override {
        CostingItems::SetUp();
        make_kalk({{"000001", "020", 1, 1}, {"000001", "010", 2, 1}, {"000002", "020", 3, 1},
                   {"000001", "018", 4, 1}});
        rt::dbf::select(1);
        ASSERT_TRUE(open_table("kalk"));  // number order, as the costing screen has it
        h_.WBRKALK = "000001";
        it_.R = 16;
        it_.RB = 4;
    }
    // The handler as the costing binds it; the editor notes the quantity of the item it was
    // given and the flags it saw.
    ItemListReturn handler() {
        return GDIK(h_, it_, [this] {
            ++calls_;
            seen_qty_ = rt::dbf::current().get_num("KOLICINA");
            seen_r_ = it_.R;
            seen_izmena_ = h_.GD_IZMENA;
        });
    }
    CostingHeaderVars h_;
    CostingItemVars it_;
    int calls_ = 0, seen_r_ = 0;
    double seen_qty_ = 0;
    bool seen_izmena_ = false;
};

TEST_F(ItemReturn, LastItemOfTheDocumentGoesToTheEditor) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    // Just written: the pointer is on the last item of costing 1 (record 4).
    a.go_to(4);
    rt::SET_LASTKEY(rt::K::UP);
    rt::SETKEY(rt::K::UP, item_return_key(handler()));
    EXPECT_TRUE(return_to_items(handler()));
    EXPECT_EQ(std::make_tuple(calls_, seen_qty_, seen_r_, seen_izmena_, it_.RB), std::make_tuple(1, 4.0, 15, true, 3));
    EXPECT_FALSE(rt::GETKEY(rt::K::UP));  // unbound itself

    // A continued costing with the pointer past its items (on costing 2): one back.
    h_.NASTAVAK = true;
    h_.WBRKALK = "000001";
    a.set_order(1);
    a.seek("000002");
    ASSERT_EQ(a.recno(), 3u);
    return_to_items(handler());
    EXPECT_EQ(seen_qty_, 4.0);
    // At end of file: one back, onto the last item.
    h_.NASTAVAK = false;
    h_.WBRKALK = "000002";
    a.go_bottom();
    a.skip();
    ASSERT_TRUE(a.eof());
    return_to_items(handler());
    EXPECT_EQ(seen_qty_, 3.0);
    // On the item just before the document's items: one forward. (Each return steps R back.)
    EXPECT_EQ(it_.R, 13);
    it_.R = 16;
    a.go_to(4);
    return_to_items(handler());
    EXPECT_EQ(seen_qty_, 3.0);
    EXPECT_EQ(calls_, 4);
}

TEST_F(ItemReturn, FirstRowOrAnotherKeyDoesNothing) {
    rt::SETKEY(rt::K::UP, item_return_key(handler()));
    it_.R = 13;
    it_.RB = 1;
    rt::SET_LASTKEY(rt::K::UP);
    EXPECT_TRUE(return_to_items(handler()));
    rt::SET_LASTKEY(rt::K::ENTER);
    it_.R = 15;
    EXPECT_TRUE(return_to_items(handler()));
    EXPECT_EQ(std::make_tuple(calls_, it_.R, h_.GD_IZMENA), std::make_tuple(0, 15, false));
    EXPECT_FALSE(rt::GETKEY(rt::K::UP));
}

TEST_F(ItemReturn, UpInTheCodeFieldEndsTheReadAfterTheEditor) {
    rt::dbf::current().go_to(4);
    double code = 0;
    // The item row's code and quantity read with the key bound, as the costing does it.
    auto read_row = [&](const std::string& keys) {
        start(keys);
        ItemReturnKey up(handler());
        rt::GetList gl;
        rt::GET(gl, rt::get(it_.R, 3, code, "999999"));
        rt::GET(gl, rt::get(it_.R, 35, it_.WKOLICINA, "99999.999"));
        rt::READ(gl);
    };
    read_row("12{Up}X");
    EXPECT_EQ(calls_, 1);
    EXPECT_EQ(seen_r_, 15);
    EXPECT_EQ(rt::NEXTKEY(), 'X');  // the read ended, the quantity was never asked
    EXPECT_FALSE(rt::GETKEY(rt::K::UP));

    // On the first item row Up is only given up: the read goes on to Enter.
    it_.R = 13;
    read_row("{Up}5{Enter}7{Enter}X");
    EXPECT_EQ(code, 5.0);
    EXPECT_EQ(it_.WKOLICINA, 7.0);
    EXPECT_EQ(calls_, 1);
}

// ---- the VAT rate change with an article held elsewhere ----

TEST_F(CalcTest, RateChangeLeavesAHeldArticleAndSaysSo) {
    make_table("mdart");
    ASSERT_TRUE(open_table("mdart"));
    for (const char* code : {"000001", "000002", "000003"}) {
        ASSERT_TRUE(rt::dbf::current().append_blank());
        rt::dbf::current().put("SIFRA", code);
        rt::dbf::current().put("TARGR", "020");
        rt::dbf::current().put("PRODCEN", 120.0);
    }
    rt::dbf::close_all();
    // Another workstation holds article 2.
    rt::dbf::WorkArea other;
    ASSERT_TRUE(other.open(dbf_path("mdart")));
    other.go_to(2);
    ASSERT_TRUE(other.rlock());

    // The lock is tried for five seconds (ten half-second pauses), then the messages.
    std::string pauses;
    for (int i = 0; i < 12; ++i) pauses += "{pause}";
    start("20{Enter}10{Enter}D{Enter}" + pauses + "{dump}.{dump}.X");
    PROMENIPDV();
    EXPECT_EQ(rt::NEXTKEY(), 'X');
    auto d = dumps();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(message_of(d[0]) + "|" + message_of(d[1]),
              "Artikli zauzeti na drugoj radnoj stanici nisu promenjeni: 1|Promena stope PDV je zavrsena.");
    other.unlock();
    other.close();

    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open(dbf_path("mdart")));
    std::string got;
    for (a.go_top(); !a.eof(); a.skip()) got += a.get_str("TARGR") + rt::STR(a.get_num("PRODCEN"), 7, 2) + " ";
    // 120 / 1.20 x 1.10 = 110
    EXPECT_EQ(got, "010 110.00 020 120.00 010 110.00 ");
    EXPECT_FALSE(rt::dbf::alias_used("mdart"));
}

}  // namespace
}  // namespace tor::test
