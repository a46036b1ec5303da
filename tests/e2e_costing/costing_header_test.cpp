// The costing screen in the real program: number proposals, the header of a new costing and its
// record, the variants' refusals, the action menu of a stored costing with its deletion, the menu
// at the end of entry and the number taken meanwhile by another workstation.
#include <fstream>

#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

// From the main menu: 2.Unos, 1.Zaduzenje; then the costing variant's digit.
const std::string kReceipts = "21";
// Out of a costing screen left for the receipts menu, and out of the program.
const std::string kOut = "{Esc}{Esc}" + kQuit;
const rt::Date kToday = rt::Date::ymd(2026, 3, 16);

fs::path company(const Install& inst, const std::string& table) { return inst / "001" / (table + ".dbf"); }

// A stored costing header.
Fields header(const std::string& brkalk, const std::string& dobav, const std::string& brdok, bool otkup) {
    return {{"BRKALK", brkalk}, {"DOBAV", dobav}, {"NAZDOB", "DOBAVLJAC"}, {"BRDOK", brdok},
            {"DATKAL", kToday}, {"DATDOK", kToday}, {"DATVAL", kToday}, {"OTKUP", otkup}};
}
void headers(const Install& inst, const std::vector<Fields>& rows) {
    fill(company(inst, "ukalk"), {"ukalk", "ukalk1"}, rows);
}
double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }

TEST(CostingHeader, NewCostingIsStoredAndReopensFromTheEndOfEntry) {
    Install inst;
    prepare_company(inst);
    // Number 1 proposed; supplier 0001, invoice R-15, input VAT 200, amount 1200; one item of ten
    // loaves at 40. Then NASTAVAK lists that item, and IZMENA changes the invoice number.
    Result r = go(inst, kEnter001 + kReceipts + "1{dump}" + "{Enter}{Enter}1{Enter}R-15{Enter}{Enter}{Enter}200{Enter}1200{Enter}" +
                            "1{Enter}10{Enter}{Enter}{Enter}{Esc}{dump}" + "N{dump}{Esc}" +
                            "I{Enter}{Enter}R-16{Enter}{Enter}{Enter}{Enter}{Enter}{Esc}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 3);
    EXPECT_EQ(cells(r, 0, 3, 24, 6), "     1");
    EXPECT_EQ(cells(r, 0, 9, 6, 27), "(Alt+R ulazni PDV po stopi)");
    EXPECT_EQ(cells(r, 0, 9, 34, 3), "PDV");
    EXPECT_EQ(cells(r, 1, 11, 22, 36), "\xBA  KRAJ  STAMPA  IZMENA  NASTAVAK  \xBA");
    // Reopened to continue: the stored item is listed and entry waits on the second row.
    EXPECT_NE(row_of(r, 2, 13).find("000001"), std::string::npos) << show(row_of(r, 2, 13));
    EXPECT_EQ(cells(r, 2, 14, 0, 2), "02");

    const std::vector<Rec> u = records(company(inst, "ukalk"));
    ASSERT_EQ(u.size(), 1u);
    expect_fields(u[0], {{"BRKALK", "000001"}, {"DOBAV", "0001"}, {"NAZDOB", "AGROPROMET DOO"},
                         {"MESDOB", "Novi Sad"}, {"BRDOK", "R-16"}});
    EXPECT_EQ(std::get<rt::Date>(u[0].at("DATKAL")), kToday);
    EXPECT_EQ(std::get<rt::Date>(u[0].at("DATVAL")), kToday);
    EXPECT_EQ(num(u[0], "PDV"), 200);
    EXPECT_EQ(num(u[0], "PDV8"), 0);
    EXPECT_EQ(num(u[0], "PDV18"), 200);
    EXPECT_EQ(num(u[0], "ZAPLA"), 1200);
    EXPECT_FALSE(std::get<bool>(u[0].at("OTKUP")));

    Result again = go(inst, kEnter001 + kReceipts + "1{dump}{Esc}" + kOut);
    ASSERT_RUN(again, 0, 1);
    EXPECT_EQ(cells(again, 0, 3, 24, 6), "     2");
}

TEST(CostingHeader, InputVatSplitByRate) {
    Install inst;
    prepare_company(inst);
    fs::create_directories(inst / "LocalSet");
    std::ofstream(inst / "LocalSet" / "TESTPC01.set") << "RAZVRSTAJ PRETHODNI PDV=1;";
    Result r = go(inst, kEnter001 + kReceipts + "1{dump}" + "{Enter}{Enter}3{Enter}{Enter}{Enter}{Enter}80{Enter}200{Enter}1500{Enter}" +
                            "{Esc}{Esc}6{dump}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 2);
    EXPECT_EQ(cells(r, 0, 9, 7, 6), "PDV PS");
    EXPECT_EQ(cells(r, 0, 9, 30, 6), "PDV OS");
    // A buy-off costing never splits its input VAT.
    EXPECT_EQ(cells(r, 1, 9, 6, 27), "(Alt+R ulazni PDV po stopi)");
    EXPECT_EQ(cells(r, 1, 7, 7, 5), "Otkup");

    const std::vector<Rec> u = records(company(inst, "ukalk"));
    ASSERT_EQ(u.size(), 1u);
    expect_fields(u[0], {{"DOBAV", "0003"}, {"BRDOK", "         1"}});
    EXPECT_EQ(num(u[0], "PDV"), 280);
    EXPECT_EQ(num(u[0], "PDV8"), 80);
    EXPECT_EQ(num(u[0], "PDV18"), 200);
    EXPECT_EQ(num(u[0], "ZAPLA"), 1500);
}

TEST(CostingHeader, BuyOffNumbersAndRefusals) {
    Install inst;
    prepare_company(inst);
    headers(inst, {header("000001", "0001", "900", false), header("000002", "0002", "7", true),
                   header("000003", "0002", "12", true), {{"BRKALK", "000004"}, {"DATKAL", kToday}}});
    Result r = go(inst, kEnter001 + kReceipts +
                            // A VAT payer refused as the supplier of a buy-off; the farmer gets
                            // the next buy-off receipt number, 13.
                            "6{Enter}{Enter}1{Enter}{dump}{Enter}2{Enter}{dump}{Esc}" +
                            // An ordinary costing from the buy-off entry, and the reverse.
                            "{Enter}1{Enter}{dump}{Enter}" + "1" + "2{Enter}{dump}{Enter}" +
                            // A finished-product receipt is not opened; the number is asked again.
                            "14{Enter}{dump}{Enter}{dump}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 6);
    EXPECT_NE(r.line(0, 11).find("Kalkulacija po Otkupu se radi samo kad dobavljac NIJE PDV obveznik!"), std::string::npos);
    EXPECT_EQ(cells(r, 1, 5, 32, 20), pad("JOVAN JOVIC, Sabac", 20));
    EXPECT_EQ(cells(r, 1, 7, 13, 10), "        13");
    EXPECT_NE(r.line(2, 11).find("Odabrani dokument NIJE Otkup!"), std::string::npos);
    EXPECT_NE(r.line(3, 11).find("Odabrani dokument je Otkup!"), std::string::npos);
    EXPECT_NE(r.line(4, 11).find("Odabrani dokument je Zaduzenje Gotovog Proizvoda!"), std::string::npos);
    EXPECT_NE(r.line(5, 3).find("Broj Kalkulacije"), std::string::npos);
    EXPECT_EQ(records(company(inst, "ukalk")).size(), 4u);
}

TEST(CostingHeader, CostAndRepresentationAskNoInputVat) {
    Install inst;
    prepare_company(inst);
    // Supplier 0001 charges VAT; the next field after the due date is the amount to pay.
    const std::string head = "{Enter}{Enter}1{Enter}{Enter}{Enter}{Enter}";
    Result r = go(inst, kEnter001 + kReceipts + "7" + head + "500{Enter}{Esc}{Esc}" + "8" + head + "700{Enter}{Esc}{Esc}" +
                            // The change of the cost costing's header asks no input VAT either.
                            "7" + "1{Enter}I{Enter}{Enter}{Enter}{Enter}{Enter}550{Enter}{Esc}{Esc}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    const std::vector<Rec> u = records(company(inst, "ukalk"));
    ASSERT_EQ(u.size(), 2u);
    EXPECT_EQ(num(u[0], "ZAPLA"), 550);
    EXPECT_EQ(num(u[1], "ZAPLA"), 700);
    for (const Rec& h : u) EXPECT_EQ(num(h, "PDV"), 0);
}

TEST(CostingHeader, CommissionReturnFormTakesNegativeNumbers) {
    Install inst;
    prepare_company(inst, {.activity = "005"});
    const std::string kr1 = kReceipts + "1{Down}{Enter}";
    // The form chosen for " 1.Kalkulacija" does not follow into the buy-off costing.
    Result empty = go(inst, kEnter001 + kr1 + "{dump}{Esc}" + "6{dump}{Esc}" + kOut);
    ASSERT_RUN(empty, 0, 2);
    EXPECT_EQ(cells(empty, 0, 3, 24, 6), "    -1");
    EXPECT_EQ(cells(empty, 1, 3, 24, 6), "     1");

    headers(inst, {header("-00001", "0001", "1", false), header("-00003", "0001", "2", false),
                   header("000005", "0001", "3", false)});
    Result r = go(inst, kEnter001 + kr1 + "{dump}" + "5{Enter}{dump}{Enter}" + "1{Up}{Enter}{dump}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 3);
    EXPECT_EQ(cells(r, 0, 3, 24, 6), "    -4");
    EXPECT_NE(r.line(1, 11).find("Broj Kalkulacije kojom se formira Obrazac KR-1 mora biti NEGATIVAN broj!"),
              std::string::npos);
    // Form KR numbers on from the last positive costing.
    EXPECT_EQ(cells(r, 2, 3, 24, 6), "     6");
}

TEST(CostingHeader, NegativeCostingOffersDispatchNoteAndDeletionLeavesStock) {
    Install inst;
    prepare_company(inst);
    Fields older = header("000002", "0001", "R-2", false);
    older.push_back({"TROSAK", 50.0});   // dependent costs of an older costing
    headers(inst, {header("000001", "0001", "R-1", false), older});
    fill(company(inst, "kalk"), {"kalk", "kalk1", "kalk2"},
         {{{"BRKALK", "000001"}, {"SIFART", "000001"}, {"KOLICINA", 10.0}, {"FAKCEN", 40.0}, {"PRODCEN", 55.0}},
          {{"BRKALK", "000001"}, {"SIFART", "000002"}, {"KOLICINA", 5.0}, {"FAKCEN", 80.0}, {"PRODCEN", 110.0}},
          {{"BRKALK", "000002"}, {"SIFART", "000001"}, {"KOLICINA", -3.0}, {"FAKCEN", 40.0}, {"PRODCEN", 55.0}}});
    for (const char* t : {"rashod", "tknjiga"})
        fill(company(inst, t), {t, std::string(t) + "1"},
             {{{"VRDOK", "K000001"}, {"DATUM", kToday}}, {{"VRDOK", "K000002"}, {"DATUM", kToday}}});
    patch_first(company(inst, "mdart"), {{"POPKOL", 12.0}});
    {
        // Another workstation holds the trade book: costing 1 stays whole, and the user is told.
        rt::dbf::WorkArea held;
        ASSERT_TRUE(held.open(company(inst, "tknjiga").string()));
        ASSERT_TRUE(held.flock());
        Result busy = go(inst, kEnter001 + kReceipts + "1" + "1{Enter}BD" + keys("{pause}", 20) + "{dump}{Enter}" + kOut);
        ASSERT_RUN(busy, 0, 1);
        EXPECT_NE(busy.line(0, 11).find("Podaci nisu upisani: zapis je zauzet na drugoj radnoj stanici !"),
                  std::string::npos);
        EXPECT_EQ(records(company(inst, "ukalk")).size(), 2u);
        EXPECT_EQ(records(company(inst, "kalk")).size(), 3u);
    }

    Result r = go(inst, kEnter001 + kReceipts + "1" + "2{Enter}{dump}" + "I" + keys("{Enter}", 7) + "{dump}{Enter}{Esc}{Esc}" +
                            "{Enter}1{Enter}{dump}B{dump}D" + kOut);
    ASSERT_RUN(r, 0, 4);
    // Costing 2 takes goods back: the dispatch note is offered and the box is wider.
    EXPECT_EQ(cells(r, 0, 11, 62, 5), " OTP ");
    EXPECT_EQ(cells(r, 0, 12, 68, 1), "\xBC");
    // Its header changed: the costs kept from older times are pointed out.
    EXPECT_NE(r.line(1, 11).find("Nije preporucljivo unositi Trosak!"), std::string::npos);
    EXPECT_EQ(cells(r, 2, 11, 54, 8), " PRENOS ");
    EXPECT_EQ(cells(r, 2, 12, 63, 1), "\xBC");
    // The control total shown before the box, whose corner covers its first columns.
    EXPECT_EQ(cells(r, 2, 10, 63, 11), "\xBB   800.00)");
    EXPECT_NE(r.line(3, 11).find("Sigurno Brisete (D/N) ?"), std::string::npos);

    const std::vector<Rec> u = records(company(inst, "ukalk"));
    ASSERT_EQ(u.size(), 1u);
    EXPECT_EQ(str(u[0], "BRKALK"), "000002");
    const std::vector<Rec> k = records(company(inst, "kalk"));
    ASSERT_EQ(k.size(), 1u);
    EXPECT_EQ(str(k[0], "BRKALK"), "000002");
    for (const char* t : {"rashod", "tknjiga"}) {
        const std::vector<Rec> p = records(company(inst, t));
        ASSERT_EQ(p.size(), 1u) << t;
        EXPECT_EQ(str(p[0], "VRDOK"), "K000002") << t;
    }
    EXPECT_EQ(num(records(company(inst, "mdart"))[0], "POPKOL"), 12);
}

TEST(CostingHeader, SupplierFieldRegistersANewPartner) {
    Install inst;
    prepare_company(inst);
    // PgDn proposes partner 4 and opens the register on it; the new partner becomes the supplier.
    Result r = go(inst, kEnter001 + kReceipts + "1{Enter}{Enter}{PgDn}{dump}NOVI DOBAVLJAC" + keys("{Enter}", 6) +
                            "BEOGRAD" + keys("{Enter}", 5) + "{Enter}{dump}{Esc}" + kOut);
    ASSERT_RUN(r, 0, 2);
    EXPECT_EQ(cells(r, 0, 13, 17, 21), "Sifra Partnera :    4");
    EXPECT_EQ(cells(r, 1, 5, 32, 24), "NOVI DOBAVLJAC, BEOGRAD ");
    EXPECT_EQ(cells(r, 1, 7, 13, 10), "         1");
    const std::vector<Rec> d = records(company(inst, "mddob"));
    ASSERT_EQ(d.size(), 5u);
    expect_fields(d[4], {{"SIFRA", "0004"}, {"NAZIV", "NOVI DOBAVLJAC"}});
}

// Two workstations create costing 1 at the same time: the one that stores its header second is
// told so and takes the next free number.
TEST(CostingHeader, NumberTakenMeanwhileByAnotherWorkstation) {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
    Install inst;
    prepare_company(inst);
    Pane pane(inst);
    std::string s;
    ASSERT_TRUE(pane_at(pane, "211", "Broj Kalkulacije", &s)) << s;
    pane.send("Enter");
    pane.send("Enter");
    pane.type("2");
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("JOVAN JOVIC", &s)) << s;
    pane.type("P-1");
    pane.send("Enter");
    pane.send("Enter");
    pane.send("Enter");

    Result other = go(inst, kEnter001 + kReceipts + "1{Enter}{Enter}3{Enter}H-1{Enter}{Enter}{Enter}{Enter}{Enter}{Esc}{Esc}" + kOut);
    ASSERT_EQ(other.status, 0) << why(other);

    pane.type("100");
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("Broj Kalkulacije 000001 je vec zauzeo drugi operater!", &s)) << s;
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("Zelite li prvi sledeci slobodan broj (D/N)?", &s)) << s;
    pane.type("D");
    ASSERT_TRUE(pane.wait_for("RB Sifra", &s)) << s;
    EXPECT_EQ(s.substr(s.find("Broj Kalkulacije") + 17, 6), "     2") << s;
    pane.send("Escape");
    pane.send("Escape");
    for (int i = 0; i < 4; ++i) pane.send("Escape");
    pane.type("D");
    EXPECT_EQ(pane.wait_exit(), 0);

    const std::vector<Rec> u = records(company(inst, "ukalk"));
    ASSERT_EQ(u.size(), 2u);
    expect_fields(u[0], {{"BRKALK", "000001"}, {"BRDOK", "H-1"}, {"DOBAV", "0003"}});
    expect_fields(u[1], {{"BRKALK", "000002"}, {"BRDOK", "P-1"}, {"DOBAV", "0002"}});
    EXPECT_EQ(num(u[1], "ZAPLA"), 100);
}

}  // namespace
