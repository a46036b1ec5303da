// The VAT rate change of the goods register driven through the real program: Servis, "Promeni
// PDV", a rate outside the table refused, 20 -> 18 with the prices carried over, and the goods
// read back from the table and through the tariff-group index.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/term/console.h"
#include "torpdv_harness.h"

namespace {

using namespace torpdv_e2e;
using Result = torpdv_e2e::Run;

// Company 001 (book-keeping, production) created on an empty register and entered once, which makes
// its tables; then the goods written straight into "mdart" and its two indexes.
void prepare(const Install& inst) {
    Result r = go(inst, "{Enter}1{Enter}MARKET{Enter}{Enter}{Enter}{Enter}K{Enter}1{Enter}{Enter}{Esc}{Esc}D");
    ASSERT_EQ(r.status, 0) << why(r);
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open((inst / "001" / "mdart.dbf").string()));
    a.set_index({(inst / "001" / "mdart.ntx").string(), (inst / "001" / "mdart1.ntx").string()});
    struct Art {
        const char *sifra, *naziv, *targr;
        double prodcen;
    };
    for (const Art& g : {Art{"000001", "MLEKO", "020", 120.0}, Art{"000002", "HLEB", "010", 55.0},
                         Art{"000003", "SOK", "020", 100.0}, Art{"000004", "SIR", "020", 0.0}}) {
        ASSERT_TRUE(a.append_blank());
        a.put("SIFRA", g.sifra);
        a.put("NAZIV", g.naziv);
        a.put("JMERE", "KOM");
        a.put("TARGR", g.targr);
        a.put("NABCEN", 10.0);
        a.put("PRODCEN", g.prodcen);
    }
    a.unlock();
    a.commit();
    a.close();
}

TEST(VatRateChange, TwentyToEighteenWithPricesAndARateOutsideTheTableRefused) {
    Install inst;
    ASSERT_NO_FATAL_FAILURE(prepare(inst));

    Result r = go(inst,
                  // the company, Servis, "Promeni PDV"
                  "{Enter}SP{dump}"
                  // 7 is no rate of the table: the message, and the cursor stays on the old rate
                  "7{Enter}{dump}{Space}{dump}"
                  "20{Enter}18{Enter}D{Enter}{dump}{Space}"
                  // back in the service menu; out of the program
                  "{Esc}{Esc}{Esc}D");
    ASSERT_RUN(r, 0, 4);

    // The box with its three inputs; after the refusal the old rate still shows 7.
    expect_cells(r, {{0, 19, 10, "\xDA" + rep('\xC4', 40) + "\xBF"}, {0, 20, 12, "Stara stopa PDV   0"},
                     {0, 21, 12, "Nova stopa PDV    0"}, {0, 22, 12, "Promeni cenu za procenat promene PDV N"},
                     {0, 23, 10, "\xC0"}, {2, 20, 28, "  7"}});
    EXPECT_NE(r.screens[1].find("Dozvoljene stope PDV su 20, 18, 10, 8, 5 i 0 !"), std::string::npos) << r.screens[1];
    EXPECT_EQ(r.screens[2].find("Dozvoljene"), std::string::npos) << r.screens[2];
    EXPECT_NE(r.screens[3].find("Promena stope PDV je zavrsena."), std::string::npos) << r.screens[3];

    // Record order: every "020" article is now "018", its price times 1.18 / 1.20.
    std::vector<Rec> recs = records(inst / "001" / "mdart.dbf");
    ASSERT_EQ(recs.size(), 4u);
    const std::vector<std::string> groups = {"018", "010", "018", "018"};
    // 120 / 1.2 x 1.18 = 118; 55 untouched; 100 / 1.2 x 1.18 = 98.3333 -> 98.333; 0 stays 0.
    const std::vector<double> prices = {118.0, 55.0, 98.333, 0.0};
    for (size_t i = 0; i < recs.size(); ++i) {
        EXPECT_EQ(std::get<std::string>(recs[i]["TARGR"]), groups[i]) << i;
        EXPECT_EQ(std::get<double>(recs[i]["PRODCEN"]), prices[i]) << i;
        EXPECT_EQ(std::get<double>(recs[i]["NABCEN"]), 10.0) << i;
    }

    // The tariff-group index follows: "010" first, then the three "018" articles by code.
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open((inst / "001" / "mdart.dbf").string()));
    a.set_index({(inst / "001" / "mdart1.ntx").string()});
    std::vector<std::string> keys;
    for (a.go_top(); !a.eof(); a.skip()) keys.push_back(a.get_str("TARGR") + a.get_str("SIFRA"));
    EXPECT_EQ(keys, (std::vector<std::string>{"010000002", "018000001", "018000003", "018000004"}));
    EXPECT_FALSE(a.seek("020"));
    a.close();
}

}  // namespace
