// The goods, partner and obligation registers driven through the real program from
// "1.Maticni podaci": code proposals, the unit and VAT fields, change and deletion with the
// question, the code ranges, the lookups, and the records read back from "mdart" and "mddob".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/torpdv_harness.h"
#include "rt/dbf/dbf.h"

namespace {

using namespace torpdv_e2e;
using Result = torpdv_e2e::Run;

// Company 001 (activity "001", production) made on the empty register and entered.
const std::string kCompany = kNew001 + "{Enter}";
// From a register's code field back out of the program.
const std::string kQuit = "{Esc}{Esc}{Esc}{Esc}D";

// The message of the centred box (row 11), trimmed.
std::string message(const Result& r, size_t dump) {
    const std::string row = row_of(r, dump, 11);
    const size_t l = row.find('\xBA'), rr = row.rfind('\xBA');
    if (l == std::string::npos || rr <= l) return "";
    std::string m = row.substr(l + 1, rr - l - 1);
    m.erase(0, m.find_first_not_of(' '));
    return rstrip(m);
}

// Every record of a table in record order, deleted ones included, with the mark under "*".
std::vector<Rec> all_records(const fs::path& table) {
    rt::dbf::WorkArea a;
    std::vector<Rec> out;
    EXPECT_TRUE(a.open(table.string())) << table;
    for (uint32_t n = 1; a.used() && n <= a.reccount(); ++n) {
        a.go_to(n);
        Rec r;
        for (const auto& f : a.fields()) r[f.name] = a.get(f.name);
        r["*"] = std::string(a.deleted() ? "*" : "");
        out.push_back(r);
    }
    a.close();
    return out;
}
double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }

TEST(Registers, GoodsEnteredChangedAndDeletedWithTheirUnitAndRateRules) {
    Install inst;
    Result r = go(inst, kCompany + "11{dump}"
                     // PgDn on the empty register proposes 1; Enter opens the new article.
                     "{PgDn}{dump}{Enter}mleko{Enter}"
                     // PgDn in the unit field gives "KG "; 7 % is refused with the message.
                     "{PgDn}{dump}7{Enter}{dump}{Space}{dump}20{Enter}80{Enter}120{Enter}{dump}D"
                     // an empty unit gives "KOM"; the reduced rate is accepted
                     "{PgDn}{Enter}hleb{Enter}{Enter}{dump}10{Enter}40{Enter}55{Enter}N"
                     // a known code: the options box over the article's values; the change
                     "1{Enter}{dump}{Down}{Enter}{Enter}{Enter}{Enter}{Enter}130{Enter}N"
                     // deletion with the question; "Novi" on a known code changes nothing
                     "2{Enter}{End}{Enter}{dump}D1{Enter}{Enter}{dump}" +
                     kQuit);
    ASSERT_RUN(r, 0, 10);
    expect_cells(r, {{0, 13, 15, "\xDA" + rep('\xC4', 58) + "\xBF"},
                     {0, 14, 17, "  Sifra Dobra :      0"},
                     {0, 15, 17, "  Naziv Dobra :"},
                     {0, 16, 17, "Jedinica Mere :"},
                     {0, 17, 17, "    Stopa PDV :"},
                     {0, 18, 17, " Nabavna Cena :"},
                     {0, 19, 17, "Prodajna Cena :"},
                     {0, 20, 15, "\xC0" + rep('\xC4', 58) + "\xD9"},
                     {1, 14, 33, "     1"},
                     {2, 15, 33, "MLEKO "},
                     {2, 16, 33, "KG "},
                     {3, 17, 33, "  7"},
                     {4, 17, 33, "  7"},
                     {5, 17, 33, " 20"},
                     {5, 18, 33, "      80.00"},
                     {5, 19, 33, "     120.00"},
                     {6, 16, 33, "KOM"},
                     // the options box over the found article
                     {7, 7, 33, "  MOGUCNOSTI  "},
                     {7, 9, 34, "  Novi     "},
                     {7, 11, 34, "  Izmena   "},
                     {7, 13, 34, "  Brisanje "},
                     {7, 14, 33, "\xC8" + rep('\xCD', 12) + "\xBC"},
                     {7, 15, 33, "MLEKO" + rep(' ', 35) + " "},
                     {7, 17, 33, " 20"},
                     {7, 19, 33, "     120.00"}});
    EXPECT_EQ(message(r, 3), "Dozvoljene stope PDV su 20, 18, 10, 8, 5 i 0 !");
    EXPECT_EQ(message(r, 5), "Prenos Dobara na Gotov proizvod (D/N)?");
    EXPECT_EQ(message(r, 8), "Sigurno Brisete (D/N)?");
    EXPECT_EQ(cells(r, 9, 14, 33, 6), "     1");

    const std::vector<Rec> goods = all_records(inst / "001" / "mdart.dbf");
    ASSERT_EQ(goods.size(), 2u);
    expect_fields(goods[0], {{"SIFRA", "000001"}, {"NAZIV", "MLEKO"}, {"JMERE", "KG"}, {"TARGR", "020"}, {"*", ""}});
    EXPECT_EQ(num(goods[0], "NABCEN"), 80.0);
    EXPECT_EQ(num(goods[0], "PRODCEN"), 130.0);
    expect_fields(goods[1], {{"SIFRA", "000002"}, {"NAZIV", "HLEB"}, {"JMERE", "KOM"}, {"TARGR", "010"}, {"*", "*"}});
    EXPECT_EQ(num(goods[1], "NABCEN"), 40.0);
    EXPECT_EQ(num(goods[1], "PRODCEN"), 55.0);
    // Copied to the finished products on "D" only.
    const std::vector<Rec> products = records(inst / "001" / "mdpro.dbf");
    ASSERT_EQ(products.size(), 1u);
    expect_fields(products[0], {{"SIFRA", "000001"}, {"NAZIV", "MLEKO"}, {"JMERE", "KG"}});
}

}  // namespace
