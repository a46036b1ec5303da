// The KEP book control through the real program: amounts of costings, productions and invoices
// against their book rows, rows without a document and rows twice in the book, the key repair;
// takings against their rows and their rebuild with its log; the hint after more than 15 errors;
// an invoice of a service shop posting its row and passing the control.
#include <string>
#include <tuple>
#include <vector>

#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

rt::Date d(int y, int m, int day) { return rt::Date::ymd(y, m, day); }

// Main menu -> Servis -> Kontrole -> 4.Kontrola KEP/Obrazac PK-1, past the warning box.
const std::string kControl = "SK4{Enter}";
const std::string kOut = "{Esc}{Esc}" + kQuit;

std::string screen(const Result& r, size_t i) { return rt::utf8_to_cp437(r.screens.at(i)); }
bool shows(const Result& r, size_t i, const std::string& text) { return screen(r, i).find(text) != std::string::npos; }
double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }

void costing(const Install& inst, const std::string& number, const std::string& supplier, double qty, double price) {
    fill(inst / "001" / "ukalk.dbf", {"ukalk", "ukalk1"},
         {{{"BRKALK", number}, {"DOBAV", supplier}, {"DATKAL", d(2026, 3, 2)}}});
    fill(inst / "001" / "kalk.dbf", {"kalk", "kalk1", "kalk2"},
         {{{"BRKALK", number}, {"SIFART", "000001"}, {"KOLICINA", qty}, {"PRODCEN", price}, {"TARGR", "010"}}});
}

Fields book_row(const std::string& key, rt::Date date, double zaduz, double razduz) {
    return {{"VRDOK", key}, {"DATUM", date}, {"OPIS", "RED " + key}, {"ZADUZ", zaduz}, {"RAZDUZ", razduz}};
}

void seed_book(const Install& inst, const std::vector<Fields>& rows) {
    fill(inst / "001" / "tknjiga.dbf", {"tknjiga", "tknjiga1"}, rows);
}

// A trade shop: a costing without its row, a production whose two rows carry a wrong amount, a
// row without a costing, a price-change record and an invoice with a wrong amount. The box lists
// them in the order of the checks; D at the key question deletes the orphan and the second row.
TEST(KepControl, AmountsOrphanAndDuplicateRepaired) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    costing(inst, "000002", "0001", 10, 55);   // 550.00, no row in the book
    costing(inst, "000003", "", 2, 360);       // production, 720.00
    fill(inst / "001" / "zapis.dbf", {"zapis", "zapis1", "zapis2", "zapis3"},
         {{{"BRZAP", "0001"}, {"DATZAP", d(2026, 3, 3)}, {"SIFRA", "000001"}, {"KOLICINA", 10.0},
           {"SPRODCEN", 55.0}, {"NPRODCEN", 60.0}}});
    fill(inst / "001" / "ufakt.dbf", {"ufakt"}, {{{"BRFAK", "000001"}, {"DATFAK", d(2026, 3, 4)}}});
    fill(inst / "001" / "fakt.dbf", {"fakt", "fakt1"},
         {{{"BRFAK", "000001"}, {"SIFART", "000003"}, {"KOLICINA", 2.0}, {"PRODCEN", 360.0}, {"RABAT", 10.0}},
          {{"BRFAK", "000001"}, {"SIFART", "000002"}, {"KOLICINA", 3.0}, {"PRODCEN", 110.0}}});
    seed_book(inst, {book_row("K000001", d(2026, 3, 1), 100, 0), book_row("K000003", d(2026, 3, 2), 700, 0),
                     book_row("K000003", d(2026, 3, 2), 700, 0), book_row("Z0001", d(2026, 3, 3), 50, 0),
                     book_row("R000001", d(2026, 3, 4), 0, 900)});

    Result r = go(inst, kEnter001 + kControl + "{dump}{Enter}{dump}D" + kOut);
    ASSERT_RUN(r, 0, 2);
    for (const char* line : {"PAZNJA:", "Program je pronasao sledece GRESKE:",
                             "- kalkulacija 000002 iznos u TK: 0.00 iznos u PK-1: 550.00 ",
                             "- proizvodnja 000003 iznos u TK: 700.00 iznos u PK-1: 720.00 ",
                             "- racun 000001 iznos u TK: 900.00 iznos u PK-1: 978.00 ", "- indeks greska ",
                             "- indeks greska (dvostruki podatak Kalkulacija 3) ",
                             "Pritisnite Enter, a zatim ispravite greske..."})
        EXPECT_TRUE(shows(r, 0, line)) << line << "\n" << r.screens[0];
    EXPECT_FALSE(shows(r, 0, "zapisnik")) << r.screens[0];
    EXPECT_FALSE(shows(r, 0, "Ostale greske"));
    EXPECT_TRUE(shows(r, 1, "Zelite li autokorekciju INDEKS greske (D/N)?")) << r.screens[1];
    EXPECT_FALSE(shows(r, 1, "DNEVNI PROMET"));

    const std::vector<Rec> kep = records(inst / "001" / "tknjiga.dbf");
    std::vector<std::string> keys;
    for (const Rec& k : kep) keys.push_back(str(k, "VRDOK"));
    EXPECT_EQ(keys, (std::vector<std::string>{"K000003", "Z0001", "R000001"}));
    EXPECT_FALSE(fs::exists(inst / "001" / "tmpntx1.ntx"));
    EXPECT_FALSE(fs::exists(inst / "001" / "tmpntx2.ntx"));

    // The amounts are still to be corrected by the user; the keys are sound now.
    r = go(inst, kEnter001 + kControl + "{dump}{Enter}" + kOut);
    ASSERT_RUN(r, 0, 1);
    EXPECT_TRUE(shows(r, 0, "- kalkulacija 000002 iznos u TK: 0.00"));
    EXPECT_FALSE(shows(r, 0, "indeks greska"));
}

// A retail shop: a takings line booked with a smaller amount and one not booked are reported; the
// rebuild writes the rows of every takings line of the goods kinds and logs the lines that had none.
TEST(KepControl, TakingsRebuiltWithLog) {
    Install inst;
    prepare_company(inst, {.activity = "001"});
    fill(inst / "001" / "prihod.dbf", {"prihod"},
         {{{"BROJS", 1.0}, {"DATUM", d(2026, 3, 2)}, {"VRSTA", "A"}, {"IZNOS", 1000.0}, {"DATUPL", d(2026, 3, 3)},
           {"GOTUPL", 1000.0}},
          {{"BROJS", 2.0}, {"DATUM", d(2026, 3, 3)}, {"VRSTA", "B"}, {"IZNOS", 500.0}},
          {{"BROJS", 3.0}, {"DATUM", d(2026, 3, 4)}, {"VRSTA", "A"}, {"DATUPL", d(2026, 3, 5)}, {"BGUPL", 500.0}},
          {{"BROJS", 4.0}, {"DATUM", d(2026, 3, 5)}, {"VRSTA", "C"}, {"IZNOS", 300.0}},
          {{"BROJS", 5.0}, {"DATUM", d(2026, 3, 6)}, {"VRSTA", "D"}, {"IZNOS", 200.0}}});
    seed_book(inst, {book_row("P1", d(2026, 3, 2), 0, 1000), book_row("P2", d(2026, 3, 3), 0, 400)});
    std::ofstream(inst / "001" / "korek_tk.log", std::ios::binary) << "STARO";

    Result r = go(inst, kEnter001 + kControl + "{dump}{Enter}{dump}D" + kOut);
    ASSERT_RUN(r, 0, 2);
    EXPECT_TRUE(shows(r, 0, "- dnevni promet 03.03.2026 iznos u TK: 400.00 iznos u PK-1: 500.00 ")) << r.screens[0];
    EXPECT_TRUE(shows(r, 0, "- dnevni promet 05.03.2026 iznos u TK: 0.00 iznos u PK-1: 300.00 "));
    EXPECT_FALSE(shows(r, 0, "02.03.2026"));
    EXPECT_FALSE(shows(r, 0, "indeks"));
    EXPECT_TRUE(shows(r, 1, "Zelite li autokorekciju gresaka DNEVNI PROMET > TK (D/N)?")) << r.screens[1];

    // Key, text, credit, paid in: a line without amount and cash gets only the cashless row.
    const std::vector<Rec> kep = records(inst / "001" / "tknjiga.dbf");
    const std::vector<std::tuple<std::string, std::string, double, double>> want = {
        {"P1", "DNEVNI PAZAR", 1000, 1000}, {"P2", "DNEVNI PAZAR", 500, 0},
        {"P3", "BEZGOTOVINSKA UPLATA", 0, 500}, {"P4", "DNEVNI PAZAR", 300, 0}};
    ASSERT_EQ(kep.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        const auto& [key, opis, razduz, iznupl] = want[i];
        expect_fields(kep[i], {{"VRDOK", key}, {"OPIS", opis}});
        EXPECT_EQ(num(kep[i], "RAZDUZ"), razduz) << key;
        EXPECT_EQ(num(kep[i], "IZNUPL"), iznupl) << key;
    }
    EXPECT_EQ(std::get<rt::Date>(kep[0].at("DATUPL")), d(2026, 3, 3));
    EXPECT_EQ(std::get<rt::Date>(kep[2].at("DATUM")), d(2026, 3, 4));

    const std::string log = slurp(inst / "001" / "korek_tk.log");
    const std::string head = "STARO\rVreme korekcije 16.03.2026, ";
    EXPECT_EQ(log.substr(0, head.size()), head) << log;
    // The empty payment date as the runtime writes an empty date.
    const std::string lines = ", firma PRVA RADNJA : \r"
                              "P3 04.03.2026 BEZGOTOVINSKA UPLATA       0.00 05.03.2026       0.00     500.00\r"
                              "P4 05.03.2026 DNEVNI PAZAR     300.00   .  .           0.00       0.00\r";
    ASSERT_GE(log.size(), lines.size());
    EXPECT_EQ(log.substr(log.size() - lines.size()), lines) << log;

    r = go(inst, kEnter001 + kControl + "{dump}" + kOut);
    ASSERT_RUN(r, 0, 1);
    EXPECT_TRUE(shows(r, 0, "Kontrola je zavrsena. Program nije nasao gresku u podacima.")) << r.screens[0];
}

// Twenty costings and an invoice without their rows: the costing check stops after the sixteenth,
// the invoice check adds one more, and the box lists sixteen and ends with the hint that the others
// show after these are corrected.
TEST(KepControl, MoreThanFifteenErrorsEndWithTheHint) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    for (int i = 1; i <= 20; ++i) {
        char n[8];
        std::snprintf(n, sizeof n, "%06d", i);
        costing(inst, n, "0001", 1, 10.0 * i);
    }
    fill(inst / "001" / "ufakt.dbf", {"ufakt"},
         {{{"BRFAK", "000001"}, {"DATFAK", d(2026, 3, 10)}, {"KUPAC", "0003"}, {"NAZKUP", "MARKET CENTAR DOO"}}});
    fill(inst / "001" / "fakt.dbf", {"fakt", "fakt1"},
         {{{"BRFAK", "000001"}, {"SIFART", "000001"}, {"KOLICINA", 2.0}, {"PRODCEN", 55.0}, {"TARGR", "010"}}});
    Result r = go(inst, kEnter001 + kControl + "{dump}{Enter}{dump}" + kOut);
    ASSERT_RUN(r, 0, 2);
    EXPECT_TRUE(shows(r, 0, "- kalkulacija 000016 iznos u TK: 0.00 iznos u PK-1: 160.00 ")) << r.screens[0];
    EXPECT_FALSE(shows(r, 0, "000017"));
    EXPECT_FALSE(shows(r, 0, "racun 000001"));
    EXPECT_TRUE(shows(r, 0, "Ostale greske mozete videti tek nakon ispravke ovih gresaka"));
    EXPECT_TRUE(shows(r, 0, "Pritisnite Enter, a zatim ispravite greske..."));
    // Nothing to repair: no question follows the box.
    EXPECT_FALSE(shows(r, 1, "(D/N)?"));
}

// A service shop posts its invoice into the book like a trade shop; the control agrees.
TEST(KepControl, ServiceShopInvoicePostedAndChecked) {
    Install inst;
    prepare_company(inst, {.activity = "009"});
    fill(inst / "001" / "ufakt.dbf", {"ufakt"},
         {{{"BRFAK", "000001"}, {"DATFAK", d(2026, 3, 10)}, {"DATPRO", d(2026, 3, 10)}, {"DATVAL", d(2026, 3, 25)},
           {"KUPAC", "0001"}, {"NAZKUP", "AGROPROMET DOO"}, {"MESKUP", "Novi Sad"}, {"PTTKUP", "21000"},
           {"ULKUP", "Futoska 10"}, {"PIBKUP", "100200300"}}});
    fill(inst / "001" / "fakt.dbf", {"fakt", "fakt1"},
         {{{"BRFAK", "000001"}, {"SIFART", "000006"}, {"NAZART", "PREVOZ ROBE"}, {"JMERE", "SAT"},
           {"KOLICINA", 1.5}, {"PRODCEN", 1200.0}, {"RABAT", 5.0}, {"TARGR", "020"}, {"PSPOR", 16.667}}});
    Result r = go(inst, kEnter001 + "2211" + "1{Enter}SF" + "{Esc}{Esc}" + kControl + "{dump}" + kOut);
    ASSERT_RUN(r, 0, 1);
    const std::vector<Rec> kep = records(inst / "001" / "tknjiga.dbf");
    ASSERT_EQ(kep.size(), 1u);
    expect_fields(kep[0], {{"VRDOK", "R000001"}, {"OPIS", "AGROPROMET DOO, Novi Sad"}});
    EXPECT_EQ(num(kep[0], "RAZDUZ"), 1710.0);   // 1.5 x 1200 less 5 %
    EXPECT_TRUE(shows(r, 0, "Kontrola je zavrsena. Program nije nasao gresku u podacima.")) << r.screens[0];
}

}  // namespace
