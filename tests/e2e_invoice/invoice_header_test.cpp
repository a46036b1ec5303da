// The invoice screen driven through the real program: the numbers of the kinds, the header record
// of a new invoice, the kind refusals, the final invoice made from an advance invoice, deletion,
// the note lines and the VAT exemption option.
#include <string>

#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

// Main menu -> 2.Unos -> 2.Razduzenje -> 1.Racun; then the kind: 1 invoice, 2 pro-forma,
// 3 advance, 4 final invoice.
const std::string kInvoices = "221";
// Esc on the first item row ends item entry.
const std::string kEndItems = "{Esc}";
// Leaving the screen returns to the issues menu: "1" opens the kinds again.
const std::string kAgain = "1";
// From the issues menu out of the program.
const std::string kOut = "{Esc}{Esc}" + kQuit;

rt::Date d(int day, int month = 3) { return rt::Date::ymd(2026, month, day); }

bool shows(const Result& r, size_t dump, const std::string& text) {
    return rt::utf8_to_cp437(r.screens.at(dump)).find(text) != std::string::npos;
}

const fs::path ufakt(const Install& i) { return i / "001" / "ufakt.dbf"; }
const fs::path fakt(const Install& i) { return i / "001" / "fakt.dbf"; }

Fields invoice_header(const char* brfak, bool konacni = false) {
    return {{"BRFAK", brfak}, {"DATFAK", d(10)}, {"DATPRO", d(9)}, {"DATVAL", d(24)}, {"KUPAC", "0001"},
            {"NAZKUP", "AGROPROMET DOO"}, {"MESKUP", "Novi Sad"}, {"ZAPLA", 1234.5}, {"KONACNI", konacni}};
}

Fields item(const char* brfak, const char* sifart, const char* targr, double kol, double cena, double rabat,
            double pspor) {
    return {{"BRFAK", brfak}, {"SIFART", sifart}, {"NAZART", "ROBA"}, {"JMERE", "KOM"}, {"KOLICINA", kol},
            {"PRODCEN", cena}, {"RABAT", rabat}, {"TARGR", targr}, {"PSPOR", pspor}};
}

// A new invoice's header record, the number proposals of the kinds (pro-forma numbers apart, a
// final invoice after the last ordinary invoice), and NASTAVAK from the end-of-entry menu
// reopening the same invoice.
TEST(InvoiceHeader, NewInvoiceNumbersAndHeaderRecord) {
    Install inst;
    prepare_company(inst);
    fill(ufakt(inst), {"ufakt"}, {invoice_header("000004")});
    fill(inst / "001" / "upfakt.dbf", {"upfakt"}, {{{"BRFAK", "000001"}, {"DATFAK", d(2)}}});
    Result r = go(inst, kEnter001 + kInvoices + "1{dump}"
                     // number 5 and the date of the last invoice proposed; date of supply 12.03.
                     "{Enter}{Enter}12032026{Enter}3{Enter}15{Enter}{dump}" + kEndItems +
                     // NASTAVAK reopens invoice 5 and continues its items
                     "N" + kEndItems + "{dump}{Esc}" +
                     kAgain + "2{dump}{Ctrl+Enter}{dump}{Esc}{Esc}" + kAgain + "4{dump}{Esc}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 6u);
    EXPECT_EQ(cells(r, 0, 3, 7, 18), "Broj Racuna      5");
    EXPECT_EQ(cells(r, 1, 3, 26, 48), "Datum Racuna 10.03.2026 Datum Prometa 12.03.2026");
    EXPECT_EQ(cells(r, 1, 5, 19, 32), "   3    MARKET CENTAR DOO, Beogr");
    EXPECT_EQ(cells(r, 1, 8, 14, 10), "27.03.2026");
    // the end-of-entry menu after the reopened invoice
    EXPECT_TRUE(shows(r, 2, " KRAJ  STAMPA  IZMENA  NASTAVAK  NAPOMENA  POR.OSL. "));
    EXPECT_EQ(cells(r, 2, 3, 19, 6), "000005");
    EXPECT_EQ(cells(r, 3, 3, 7, 18), "Broj PredR.      2");
    EXPECT_TRUE(shows(r, 4, "000001 02.03.2026"));   // the lookup over the pro-forma invoices
    EXPECT_EQ(cells(r, 5, 3, 7, 18), "Broj Racuna      6");

    auto h = records(ufakt(inst));
    ASSERT_EQ(h.size(), 2u);
    expect_fields(h[1], {{"BRFAK", "000005"}, {"KUPAC", "0003"}, {"NAZKUP", "MARKET CENTAR DOO"}, {"MESKUP", "Beograd"},
                         {"PTTKUP", "11000"}, {"ULKUP", "Bulevar 1"}, {"PIBKUP", "104567890"}, {"AVANSNI", ""}});
    EXPECT_EQ(std::get<rt::Date>(h[1]["DATFAK"]), d(10));
    EXPECT_EQ(std::get<rt::Date>(h[1]["DATPRO"]), d(12));
    EXPECT_EQ(std::get<rt::Date>(h[1]["DATVAL"]), d(27));
    EXPECT_FALSE(std::get<bool>(h[1]["KONACNI"]));
    for (const char* f : {"AVANS", "AVANS000", "AVANS008", "AVANS018", "ZAPLA"})
        EXPECT_EQ(std::get<double>(h[1][f]), 0.0) << f;
}

// An ordinary invoice is refused from the final-invoice entry and a final invoice from the
// invoice entry; an existing invoice shows its header over the action menu.
TEST(InvoiceHeader, KindsRefusedAndStoredHeaderShown) {
    Install inst;
    prepare_company(inst);
    Fields fin = invoice_header("000002", true);
    fin.push_back({"AVANS008", 100.0});
    fin.push_back({"AVANS018", 250.25});
    fill(ufakt(inst), {"ufakt"}, {invoice_header("000001"), fin});
    Result r = go(inst, kEnter001 + kInvoices + "4" "1{Enter}{dump}{Enter}" + kAgain + "1" "2{Enter}{dump}{Enter}" +
                     kAgain + "1" "1{Enter}{dump}{Esc}" + kAgain + "4" "2{Enter}{dump}K" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 4u);
    EXPECT_TRUE(shows(r, 0, "Racun 000001 NIJE Konacni Racun!"));
    EXPECT_TRUE(shows(r, 1, "Racun 000002 je Konacni Racun!"));
    // invoice 1: dates, buyer, 15 days of credit, no advances, the amount of the last print
    EXPECT_EQ(cells(r, 2, 3, 39, 35), "10.03.2026 Datum Prometa 09.03.2026");
    EXPECT_EQ(cells(r, 2, 5, 19, 36), "0001    AGROPROMET DOO, Novi Sad    ");
    EXPECT_EQ(rstrip(cells(r, 2, 7, 7, 73)),
              "Valuta  15 dana   Avans        0.00        Za placanje     1234.50");
    EXPECT_TRUE(shows(r, 2, " KRAJ  NASTAVAK  IZMENA  STAMPA  BRISANJE "));
    // the final invoice opens with its advances
    EXPECT_EQ(cells(r, 3, 7, 31, 11), "     350.25");
}

// The final invoice made from an advance invoice: the lowest unused advance proposed, the items
// copied, the advances summed by rate from the gross values, both headers linked; then the
// refusals of a missing advance, an advance without items and an advance already used.
TEST(InvoiceHeader, FinalInvoiceFromAdvance) {
    Install inst;
    prepare_company(inst);
    fill(ufakt(inst), {"ufakt"}, {invoice_header("000006")});
    fill(inst / "001" / "uafakt.dbf", {"uafakt"},
         {{{"BRFAK", "000001"}, {"KONACNI", true}, {"AVANSNI", "000005"}},
          {{"BRFAK", "000002"}, {"DATFAK", d(1)}, {"KUPAC", "0003"}, {"NAZKUP", "MARKET CENTAR DOO"},
           {"MESKUP", "Beograd"}, {"ULKUP", "Bulevar 1"}, {"PIBKUP", "104567890"}, {"NAPOMENA1", "PO UGOVORU 7"}},
          {{"BRFAK", "000003"}}});
    fill(inst / "001" / "afakt.dbf", {"afakt", "afakt1"},
         {item("000002", "000003", "020", 2, 360, 10, 16.667), item("000002", "000001", "010", 4, 55, 0, 9.09),
          item("000002", "000004", "020", 1, 150, 0, 16.667)});
    Result r = go(inst, kEnter001 + kInvoices + "4{Enter}{dump}{Enter}{dump}{Enter}"
                     // number 8: a missing advance, an advance without items
                     + kAgain + "4{Enter}9{Enter}{dump}{Enter}" + kAgain + "4{Enter}3{Enter}{dump}{Enter}" +
                     // the advance already used: the two questions, declined
                     kAgain + "4{Enter}1{Enter}{dump}{Enter}{dump}N{dump}{Enter}" +
                     // the used advance opened from its own entry: told, then its action menu
                     kAgain + "3" "2{Enter}{dump}{Enter}{dump}" +
                     // its header changed: reopened, it still tells of its final invoice
                     "I{Enter}{Enter}{Enter}{Enter}{Esc}{dump}{Enter}K" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 10u);
    EXPECT_TRUE(shows(r, 9, "Po Avansnom Racunu 000002 je vec uradjen Konacni Racun 000007 !"));
    EXPECT_EQ(cells(r, 0, 11, 19, 44), "Konacni Racun po Avansnom Racunu broj      2");
    EXPECT_TRUE(shows(r, 1, "Konacni Racun 000007 je proknjizen po Avansnom Racunu 000002 !"));
    EXPECT_TRUE(shows(r, 2, "Ne postoji Avansni racun broj 000009 !"));
    EXPECT_TRUE(shows(r, 3, "Avansni racun broj 000003 nema stavke !"));
    EXPECT_TRUE(shows(r, 4, "Po Avansnom Racunu 000001 je vec uradjen Konacni Racun 000005 !"));
    EXPECT_TRUE(shows(r, 5, "Nastavljate knjizenje Konacnog Racuna 000008 (D/N)?"));
    EXPECT_TRUE(shows(r, 6, "Konacni Racun 000008 nije proknjizen!"));
    EXPECT_TRUE(shows(r, 7, "Po Avansnom Racunu 000002 je vec uradjen Konacni Racun 000007 !"));
    EXPECT_EQ(cells(r, 8, 3, 7, 18), "Broj A.Rac. 000002");
    EXPECT_TRUE(shows(r, 8, " KRAJ  NASTAVAK  IZMENA  STAMPA  BRISANJE "));

    auto h = records(ufakt(inst));
    ASSERT_EQ(h.size(), 2u);
    expect_fields(h[1], {{"BRFAK", "000007"}, {"KUPAC", "0003"}, {"NAZKUP", "MARKET CENTAR DOO"},
                         {"ULKUP", "Bulevar 1"}, {"PIBKUP", "104567890"}, {"AVANSNI", "000002"},
                         {"NAPOMENA1", "PO UGOVORU 7"}});
    EXPECT_TRUE(std::get<bool>(h[1]["KONACNI"]));
    EXPECT_EQ(std::get<rt::Date>(h[1]["DATFAK"]), d(16));
    EXPECT_EQ(std::get<rt::Date>(h[1]["DATVAL"]), d(16));
    // 2 x 360 + 1 x 150 at the general rate, 4 x 55 at the lower, rebate not deducted
    EXPECT_EQ(std::get<double>(h[1]["AVANS018"]), 870.0);
    EXPECT_EQ(std::get<double>(h[1]["AVANS008"]), 220.0);
    EXPECT_EQ(std::get<double>(h[1]["AVANS000"]), 0.0);

    auto it = records(fakt(inst));
    ASSERT_EQ(it.size(), 3u);
    expect_fields(it[0], {{"BRFAK", "000007"}, {"SIFART", "000003"}, {"TARGR", "020"}});
    EXPECT_EQ(std::get<double>(it[0]["KOLICINA"]), 2.0);
    EXPECT_EQ(std::get<double>(it[0]["RABAT"]), 10.0);
    EXPECT_EQ(std::get<double>(it[1]["PSPOR"]), 9.09);

    auto a = records(inst / "001" / "uafakt.dbf");
    EXPECT_EQ(str(a[0], "AVANSNI"), "000005");
    EXPECT_EQ(str(a[1], "AVANSNI"), "000007");
    EXPECT_TRUE(std::get<bool>(a[1]["KONACNI"]));
    EXPECT_FALSE(std::get<bool>(a[2]["KONACNI"]));
    // The final invoice delivers the advance's goods: they leave the stock.
    std::string stock;
    for (const Rec& g : records(inst / "001" / "mdart.dbf")) stock += std::to_string(int(std::get<double>(g.at("POPKOL")))) + ";";
    EXPECT_EQ(stock, "-4;0;-2;-1;0;0;");
}

// The change of a final invoice's header asks the advances paid; they are stored by rate and
// the running total starts at minus their sum.
TEST(InvoiceHeader, FinalInvoiceHeaderEditAsksAdvances) {
    Install inst;
    prepare_company(inst);
    fill(ufakt(inst), {"ufakt"}, {invoice_header("000001", true)});
    fill(fakt(inst), {"fakt", "fakt1"}, {item("000001", "000003", "020", 2, 360, 0, 16.667)});
    Result r = go(inst, kEnter001 + kInvoices + "4" "1{Enter}I" "{Enter}{Enter}{Enter}{Enter}{dump}"
                     "100{Enter}200{Enter}300{Enter}{dump}{Esc}K" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 2u);
    EXPECT_EQ(cells(r, 0, 7, 24, 25).find(" AVANS: ") != std::string::npos, true);
    EXPECT_EQ(cells(r, 0, 8, 25, 12), "Uplaceno  0%");
    EXPECT_EQ(cells(r, 0, 10, 25, 12), "Uplaceno  OS");
    EXPECT_EQ(cells(r, 1, 7, 31, 11), "     600.00");
    auto h = records(ufakt(inst));
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(std::get<double>(h[0]["AVANS000"]), 100.0);
    EXPECT_EQ(std::get<double>(h[0]["AVANS008"]), 200.0);
    EXPECT_EQ(std::get<double>(h[0]["AVANS018"]), 300.0);
    EXPECT_TRUE(std::get<bool>(h[0]["KONACNI"]));
    EXPECT_EQ(std::get<rt::Date>(h[0]["DATVAL"]), d(24));
}

// A company outside VAT puts every advance item into the advance at rate 0.
TEST(InvoiceHeader, FinalInvoiceOfNonVatCompany) {
    Install inst;
    CompanySetup c;
    c.vat = false;
    prepare_company(inst, c);
    fill(inst / "001" / "uafakt.dbf", {"uafakt"}, {{{"BRFAK", "000001"}, {"KUPAC", "0002"}}});
    fill(inst / "001" / "afakt.dbf", {"afakt", "afakt1"},
         {item("000001", "000003", "020", 2, 360, 0, 0), item("000001", "000001", "010", 1, 55, 0, 0)});
    Result r = go(inst, kEnter001 + kInvoices + "4{Enter}{Enter}{Enter}" +
                            // its header changed: the advances box shows the bases, nothing to type
                            kAgain + "4" + "1{Enter}I{Enter}{Enter}{Enter}{Enter}{dump}{Esc}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 1u);
    expect_cells(r, {{0, 9, 25, "Osnovica  PS       0.00"}, {0, 10, 25, "Osnovica  OS       0.00"}});
    auto h = records(ufakt(inst));
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(std::get<double>(h[0]["AVANS000"]), 775.0);
    EXPECT_EQ(std::get<double>(h[0]["AVANS018"]) + std::get<double>(h[0]["AVANS008"]), 0.0);
    for (const Rec& i : records(fakt(inst))) EXPECT_EQ(std::get<double>(i.at("PSPOR")), 0.0);
}

// Deleting an invoice of a retail company (activity "002"): header, items and its trade-book
// posting go, other invoices stay, the goods stock is not given back.
TEST(InvoiceHeader, DeletionDropsItemsAndPostingKeepsStock) {
    Install inst;
    CompanySetup c;
    c.activity = "002";
    prepare_company(inst, c);
    patch_first(inst / "001" / "mdart.dbf", {{"POPKOL", 5.0}});
    fill(ufakt(inst), {"ufakt"}, {invoice_header("000001"), invoice_header("000002")});
    fill(fakt(inst), {"fakt", "fakt1"},
         {item("000001", "000001", "010", 3, 55, 0, 9.09), item("000002", "000001", "010", 1, 55, 0, 9.09),
          item("000001", "000003", "020", 1, 360, 0, 16.667)});
    fill(inst / "001" / "tknjiga.dbf", {"tknjiga", "tknjiga1"},
         {{{"VRDOK", "R000001"}, {"DATUM", d(10)}, {"RAZDUZ", 525.0}},
          {{"VRDOK", "R000002"}, {"DATUM", d(10)}, {"RAZDUZ", 55.0}}});
    {
        // Another workstation holds the trade book: nothing of invoice 2 goes, and the user is told.
        rt::dbf::WorkArea held;
        ASSERT_TRUE(held.open((inst / "001" / "tknjiga.dbf").string()));
        ASSERT_TRUE(held.flock());
        Result busy = go(inst, kEnter001 + kInvoices + "1" "2{Enter}BD" + keys("{pause}", 20) + "{dump}{Enter}" + kOut);
        ASSERT_EQ(busy.status, 0) << why(busy);
        EXPECT_TRUE(shows(busy, 0, "Podaci nisu upisani: zapis je zauzet na drugoj radnoj stanici !"));
        EXPECT_EQ(records(ufakt(inst)).size(), 2u);
        EXPECT_EQ(records(fakt(inst)).size(), 3u);
    }
    Result r = go(inst, kEnter001 + kInvoices + "1" "1{Enter}B{dump}D" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_TRUE(shows(r, 0, "Sigurno Brisete (D/N) ?"));
    auto h = records(ufakt(inst));
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(str(h[0], "BRFAK"), "000002");
    auto it = records(fakt(inst));
    ASSERT_EQ(it.size(), 1u);
    EXPECT_EQ(str(it[0], "BRFAK"), "000002");
    auto t = records(inst / "001" / "tknjiga.dbf");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(str(t[0], "VRDOK"), "R000002");
    EXPECT_EQ(std::get<double>(records(inst / "001" / "mdart.dbf")[0]["POPKOL"]), 5.0);
}

// The note lines: the company's default text fills only empty notes; the exemption option by one
// key (3 outside activity "009" with its warning, a wrong key keeps the option), refused for a
// pro-forma invoice.
TEST(InvoiceHeader, NotesAndVatExemption) {
    Install inst;
    prepare_company(inst);
    std::ofstream(inst / "001" / "napomena.vlt", std::ios::binary)
        << "Placanje u roku od 8 dana\r\nHvala na poverenju\r\nTreca linija\r\nCetvrta\r\nPeta linija\r\n";
    Fields second = invoice_header("000002");
    second.push_back({"NAPOMENA2", "VEC UPISANO"});
    fill(ufakt(inst), {"ufakt"}, {invoice_header("000001"), second});
    fill(inst / "001" / "upfakt.dbf", {"upfakt"}, {{{"BRFAK", "000001"}}});
    const std::string end_menu = "{Enter}N" + kEndItems;   // a stored invoice, NASTAVAK, end of items
    Result r = go(inst, kEnter001 + kInvoices + "1" "1" + end_menu + "{Right}{Right}{Right}{Right}{Enter}{dump}"
                     "{Enter}{Enter}{Enter}{Enter}" + kAgain + "1" "2" + end_menu + "{Left}{Left}{Enter}{Esc}" +
                     kAgain + "1" "1" + end_menu + "P{dump}3{dump}{Enter}{dump}{Enter}" +
                     kAgain + "1" "1" + end_menu + "P7{dump}{Enter}" + kAgain + "2" "1" + end_menu + "P{dump}{Enter}" + kOut);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 6u);
    EXPECT_EQ(cells(r, 0, 15, 9, 62).find("NAPOMENA:") != std::string::npos, true);
    EXPECT_EQ(cells(r, 0, 17, 10, 18), "Hvala na poverenju");
    EXPECT_TRUE(shows(r, 1, "Trenutno je odabrana opcija: 0"));
    EXPECT_TRUE(shows(r, 1, "3 - poresko oslobodjenje iz oblasti gradjevinarstva"));
    EXPECT_TRUE(shows(r, 2, "Odabrana je opcija poreskog oslobodjenja: 3 !"));
    EXPECT_TRUE(shows(r, 3, "Ova opcija je predvidjena za firme sa oznakom 9 (SZR/SR)!"));
    EXPECT_TRUE(shows(r, 4, "Pogresno odabrana opcija poreskog oslobodjenja !"));
    EXPECT_TRUE(shows(r, 5, "Opcija poreskog oslobodjenja nije dostupna za ovu vrstu dokumenta !"));

    auto h = records(ufakt(inst));
    ASSERT_EQ(h.size(), 2u);
    expect_fields(h[0], {{"NAPOMENA1", "Placanje u roku od 8 dana"}, {"NAPOMENA2", "Hvala na poverenju"},
                         {"NAPOMENA3", "Treca linija"}, {"NAPOMENA4", "Cetvrta"}});
    expect_fields(h[1], {{"NAPOMENA1", ""}, {"NAPOMENA2", "VEC UPISANO"}, {"NAPOMENA3", ""}});
    EXPECT_EQ(std::get<double>(h[0]["POROSL"]), 3.0);
}

// Two workstations create invoice 1 at the same time: the one that stores its header second is
// told so and, agreeing, takes the next free number.
TEST(InvoiceHeader, NumberTakenMeanwhileByAnotherWorkstation) {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
    Install inst;
    prepare_company(inst);
    Pane pane(inst);
    std::string s;
    ASSERT_TRUE(pane_at(pane, kInvoices + "1", "Broj Racuna", &s)) << s;
    // number 1, both dates as proposed, buyer 0002; stopped on the days of credit
    for (int i = 0; i < 3; ++i) pane.send("Enter");
    pane.type("2");
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("JOVAN JOVIC", &s)) << s;

    Result other = go(inst, kEnter001 + kInvoices + "1" "1{Enter}{Enter}{Enter}3{Enter}{Enter}" + kEndItems + "{Esc}" + kOut);
    ASSERT_EQ(other.status, 0) << why(other);

    pane.type("15");
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("Broj Racuna 000001 je vec zauzeo drugi operater!", &s)) << s;
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("Zelite li prvi sledeci slobodan broj (D/N)?", &s)) << s;
    pane.type("D");
    ASSERT_TRUE(pane.wait_for("RB Sifra", &s)) << s;
    EXPECT_EQ(s.substr(s.find("Broj Racuna") + 12, 6), "000002") << s;
    pane.send("Escape");   // end of the items
    pane.send("Escape");   // out of the end-of-entry menu
    for (int i = 0; i < 4; ++i) pane.send("Escape");
    pane.type("D");
    EXPECT_EQ(pane.wait_exit(), 0);

    auto h = records(ufakt(inst));
    ASSERT_EQ(h.size(), 2u);
    expect_fields(h[0], {{"BRFAK", "000001"}, {"KUPAC", "0003"}});
    expect_fields(h[1], {{"BRFAK", "000002"}, {"KUPAC", "0002"}, {"NAZKUP", "JOVAN JOVIC"}});
    // the other workstation keeps its own calendar: 15 days of credit from its date of supply
    EXPECT_EQ(std::get<rt::Date>(h[1]["DATVAL"]) - std::get<rt::Date>(h[1]["DATPRO"]), 15);
}

}  // namespace
