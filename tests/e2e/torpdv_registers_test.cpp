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
                     // any other unit is taken as typed
                     "{PgDn}{Enter}prevoz{Enter}sat{Enter}20{Enter}0{Enter}1500{Enter}N"
                     // a known code: the options box over the article's values; the change
                     "1{Enter}{dump}{Down}{Enter}{Enter}{Enter}{Enter}{Enter}130{Enter}N"
                     // deletion with the question; "Novi" on a known code changes nothing
                     "2{Enter}{End}{Enter}{dump}D1{Enter}{Enter}{dump}"
                     // Esc in the new article's fields stores nothing
                     "8{Enter}kafa{Esc}" +
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
    ASSERT_EQ(goods.size(), 3u);
    expect_fields(goods[0], {{"SIFRA", "000001"}, {"NAZIV", "MLEKO"}, {"JMERE", "KG"}, {"TARGR", "020"}, {"*", ""}});
    EXPECT_EQ(num(goods[0], "NABCEN"), 80.0);
    EXPECT_EQ(num(goods[0], "PRODCEN"), 130.0);
    expect_fields(goods[1], {{"SIFRA", "000002"}, {"NAZIV", "HLEB"}, {"JMERE", "KOM"}, {"TARGR", "010"}, {"*", "*"}});
    EXPECT_EQ(num(goods[1], "NABCEN"), 40.0);
    EXPECT_EQ(num(goods[1], "PRODCEN"), 55.0);
    expect_fields(goods[2], {{"SIFRA", "000003"}, {"NAZIV", "PREVOZ"}, {"JMERE", "SAT"}, {"TARGR", "020"}});
    // Copied to the finished products on "D" only.
    const std::vector<Rec> products = records(inst / "001" / "mdpro.dbf");
    ASSERT_EQ(products.size(), 1u);
    expect_fields(products[0], {{"SIFRA", "000001"}, {"NAZIV", "MLEKO"}, {"JMERE", "KG"}});
}

// A partner typed into the partner screen after Enter on a new code: name, second line, street,
// second line, postal code, delivery code, place, account, tax number, VAT number (the dump shows
// its status beside it), telephone.
std::string partner(const std::string& name, const std::string& street, const std::string& place,
                    const std::string& pib, const std::string& pepdv) {
    return "{Enter}" + name + "{Enter}{Enter}" + street + "{Enter}{Enter}11000{Enter}{Enter}" + place +
           "{Enter}160-1-11{Enter}" + pib + "{Enter}" + pepdv + "{Enter}{dump}011123{Enter}";
}

TEST(Registers, PartnersAndObligationsKeepToTheirCodeRanges) {
    Install inst;
    Result r = go(inst, kCompany +
                            // Obligations: the empty register proposes 9001; codes up to 9000 are refused.
                            "13{PgDn}{dump}{Enter}poreska uprava{Enter}840-711111843-22{Enter}"
                            "1{Enter}{dump}{Space}9000{Enter}{dump}{Space}{PgDn}{dump}{Enter}pio fond{Enter}{Enter}{Esc}"
                            // Partners: the highest partner code counts, not the obligations'.
                            "2{PgDn}{dump}" +
                            partner("dobavljac doo", "Glavna 1", "beograd", "100000001", "123456789") + "{PgDn}" +
                            partner("seljak", "Polje bb", "ruma", "", "") + "{PgDn}" +
                            partner("kupac doo", "Trg 3", "novi sad", "100000002", "987654321") +
                            "9000{Enter}{dump}{Space}"
                            // The lookup lists partners only; the picked code waits for Enter.
                            "{Ctrl+Enter}{Home}{dump}{Down}{Enter}{dump}{Enter}{Esc}"
                            // First free code: 1-3 present gives 4; after deleting 2, 2.
                            "{Alt+PgDn}{PgDn}{dump}2{Enter}{End}{Enter}D{PgDn}{dump}{Alt+PgDn}" +
                            kQuit);
    ASSERT_RUN(r, 0, 13);
    expect_cells(r, {{0, 12, 15, "\xDA" + rep('\xC4', 49) + "\xBF"},
                     {0, 13, 17, " Sifra Obaveze : 9001"},
                     {0, 14, 17, " Naziv Obaveze :"},
                     {0, 15, 17, "  Tekuci Racun :"},
                     {0, 16, 15, "\xC0" + rep('\xC4', 49) + "\xD9"},
                     {3, 13, 34, "9002"},
                     {4, 13, 34, "   1"},
                     {4, 18, 17, "      PTT Broj :        PAK:"},
                     {4, 23, 17, "       Telefon :"},
                     {4, 24, 15, "\xC0" + rep('\xC4', 49) + "\xD9"},
                     {5, 22, 34, "123456789  PDV obveznik       "},
                     {6, 22, 34, "           NIJE PDV obveznik  "},
                     {9, 5, 9, "0001   DOBAVLJAC DOO"},
                     {9, 6, 9, "0002   SELJAK"},
                     {9, 7, 9, "0003   KUPAC DOO"},
                     {9, 8, 9, "    "},
                     {10, 13, 34, "   2"},
                     {11, 13, 34, "   4"},
                     {12, 13, 34, "   2"}});
    EXPECT_EQ(message(r, 1), "Sifra za Obaveze mora biti veca od 9000!");
    EXPECT_EQ(message(r, 2), "Sifra za Obaveze mora biti veca od 9000!");
    EXPECT_EQ(message(r, 8), "Sifra za Partnere mora biti manja od 9000!");

    const std::vector<Rec> recs = all_records(inst / "001" / "mddob.dbf");
    ASSERT_EQ(recs.size(), 5u);
    expect_fields(recs[0], {{"SIFRA", "9001"}, {"NAZIV", "PORESKA UPRAVA"}, {"ZIRO", "840-711111843-22"}, {"ULICA", ""},
                            {"MESTO", ""}, {"PEPDV", ""}});
    expect_fields(recs[1], {{"SIFRA", "9002"}, {"NAZIV", "PIO FOND"}, {"ZIRO", ""}});
    expect_fields(recs[2], {{"SIFRA", "0001"}, {"NAZIV", "DOBAVLJAC DOO"}, {"NAZIV2", ""}, {"ULICA", "Glavna 1"},
                            {"ULICA2", ""}, {"PTT", "11000"}, {"PAK", ""}, {"MESTO", "BEOGRAD"}, {"ZIRO", "160-1-11"},
                            {"PIB", "100000001"}, {"PEPDV", "123456789"}, {"TEL", "011123"}, {"*", ""}});
    expect_fields(recs[3], {{"SIFRA", "0002"}, {"NAZIV", "SELJAK"}, {"PIB", ""}, {"PEPDV", ""}, {"*", "*"}});
    expect_fields(recs[4], {{"SIFRA", "0003"}, {"NAZIV", "KUPAC DOO"}, {"MESTO", "NOVI SAD"}, {"PEPDV", "987654321"}});

    // An address written into an obligation from outside the screen.
    {
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open((inst / "001" / "mddob.dbf").string(), "", true));
        a.go_to(1);
        a.put("MESTO", "BEOGRAD");
        a.close();
    }
    // The obligation lookup lists obligations only; after 9999 the proposal is the first free code;
    // a changed obligation keeps the address it had.
    Result o = go(inst, "{Enter}13{Ctrl+Enter}{dump}{Esc}9999{Enter}zadnja{Enter}{Enter}{PgDn}{dump}"
                        "9001{Enter}{Down}{Enter}poreska sluzba{Enter}{Enter}" +
                            kQuit);
    ASSERT_RUN(o, 0, 2);
    expect_cells(o, {{0, 5, 9, "9001   PORESKA UPRAVA"}, {0, 6, 9, "9002   PIO FOND"}, {0, 7, 9, "    "},
                     {1, 13, 34, "9003"}});
    const std::vector<Rec> after = records(inst / "001" / "mddob.dbf");
    ASSERT_EQ(after.size(), 5u);
    expect_fields(after[0], {{"SIFRA", "9001"}, {"NAZIV", "PORESKA SLUZBA"}, {"ZIRO", "840-711111843-22"}, {"MESTO", "BEOGRAD"}});
    expect_fields(after[4], {{"SIFRA", "9999"}, {"NAZIV", "ZADNJA"}});
}

TEST(Registers, DocumentLineOpensTheRegisterForOneRecordAndGetsTheCodeBack) {
    Install inst;
    // Codes 1, 2 and 4: the first free code is 3, the next after the highest 5.
    Result made = go(inst, kCompany + "11{PgDn}{Enter}mleko{Enter}{Enter}20{Enter}80{Enter}120{Enter}N"
                                      "{PgDn}{Enter}jogurt{Enter}{Enter}10{Enter}{Enter}{Enter}N"
                                      "4{Enter}kefir{Enter}{Enter}10{Enter}{Enter}{Enter}N"
                                      "{Alt+PgDn}{PgDn}{dump}{Alt+PgDn}{PgDn}{dump}" +
                                      kQuit);
    ASSERT_RUN(made, 0, 2);
    EXPECT_EQ(cells(made, 0, 14, 33, 6), "     3");
    EXPECT_EQ(cells(made, 1, 14, 33, 6), "     5");

    // PgUp on a known code: straight into the change of that article; the line gets the code.
    Options art;
    art.binary = "torprobe item_line ART";
    Result c = run(inst, "1{PgUp}{dump}{Enter}{Enter}{Enter}{Enter}150{Enter}N", art);
    ASSERT_RUN(c, 0, 1);
    expect_cells(c, {{0, 14, 33, "000001"}, {0, 15, 33, "MLEKO"}});
    EXPECT_EQ(c.out, "WSIFRA=1\nSELECTED=KALK\nREGISTER_OPEN=1\nFILTER=\n");
    const std::vector<Rec> goods = records(inst / "001" / "mdart.dbf");
    ASSERT_EQ(goods.size(), 3u);
    EXPECT_EQ(num(goods[0], "PRODCEN"), 150.0);

    // A new partner from a document header: the saved code comes back.
    Options par;
    par.binary = "torprobe item_line PAR";
    Result p = run(inst, "{Enter}{PgDn}" + partner("novi kupac", "Ulica 1", "nis", "", "") + "", par);
    ASSERT_EQ(p.status, 0) << why(p);
    EXPECT_EQ(p.out, "WSIFRA=1\nSELECTED=KALK\nREGISTER_OPEN=1\nFILTER=\n");
    // A new obligation: its code comes back, and the document's table is left without the
    // obligation screen's filter.
    Options oba;
    oba.binary = "torprobe item_line OBA";
    Result b = run(inst, "{Enter}{PgDn}{Enter}porez{Enter}{Enter}", oba);
    ASSERT_EQ(b.status, 0) << why(b);
    EXPECT_EQ(b.out, "WSIFRA=9001\nSELECTED=KALK\nREGISTER_OPEN=1\nFILTER=\n");
    const std::vector<Rec> partners = records(inst / "001" / "mddob.dbf");
    ASSERT_EQ(partners.size(), 2u);
    expect_fields(partners[0], {{"SIFRA", "0001"}, {"NAZIV", "NOVI KUPAC"}, {"MESTO", "NIS"}});
    expect_fields(partners[1], {{"SIFRA", "9001"}, {"NAZIV", "POREZ"}});
}

}  // namespace
