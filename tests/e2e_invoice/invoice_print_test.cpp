// The invoice print driven through the real program: the report files of "F" compared line by
// line with texts worked out by hand, the amount stored in the header, the KEP posting of a trade
// shop, the company's optional texts, and the letterhead settings screen.
#include <algorithm>
#include <string>
#include <vector>

#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

// Main menu -> 2.Unos -> 2.Razduzenje -> 1.Racun.
const std::string kInvoices = "221";

rt::Date d(int y, int m, int day) { return rt::Date::ymd(y, m, day); }

struct Item {
    const char* code;
    const char* name;
    const char* unit;
    const char* group;
    double qty, price, rebate, share;
};

void seed_invoice(const Install& inst, const std::string& header_table, const std::string& item_table,
                  const Fields& header, const std::string& number, const std::vector<Item>& items) {
    fill(inst / "001" / (header_table + ".dbf"), {header_table}, {header});
    std::vector<Fields> rows;
    for (const Item& it : items)
        rows.push_back({{"BRFAK", number}, {"SIFART", it.code}, {"NAZART", it.name}, {"JMERE", it.unit},
                        {"KOLICINA", it.qty}, {"PRODCEN", it.price}, {"RABAT", it.rebate}, {"TARGR", it.group},
                        {"PSPOR", it.share}});
    fill(inst / "001" / (item_table + ".dbf"), {item_table, item_table + "1"}, rows);
}

void expect_report(const Install& inst, const std::string& file, const std::string& expected) {
    torpdv_docs::expect_report(inst, file, "e2e_invoice/expected", expected);
}

const double kShare20 = 16.667, kShare10 = 9.091;

Fields agropromet(const char* number) {
    return {{"BRFAK", number}, {"DATFAK", d(2026, 3, 10)}, {"DATPRO", d(2026, 3, 10)}, {"DATVAL", d(2026, 3, 25)},
            {"KUPAC", "0001"}, {"NAZKUP", "AGROPROMET DOO"}, {"MESKUP", "Novi Sad"}, {"PTTKUP", "21000"},
            {"ULKUP", "Futoska 10"}, {"PIBKUP", "100200300"}, {"NAPOMENA1", "Isporuka franko magacin kupca"}};
}

const std::vector<Item> kMixed = {
    {"000003", "KAFA MLEVENA ZRNO ARABIKA 200G", "KOM", "020", 2, 360, 10, kShare20},
    {"000002", "MLEKO 2.8% 1L", "KOM", "010", 3, 110, 0, kShare10},
    {"000006", "PREVOZ ROBE", "SAT", "020", 1.5, 1200, 0, kShare20},
};

// The local settings of the test workstation.
void settings(const Install& inst, const std::string& text) {
    fs::create_directories(inst / "LocalSet");
    std::ofstream(inst / "LocalSet" / "TESTPC01.set", std::ios::binary) << text;
}

void company_file(const Install& inst, const std::string& name, const std::string& text) {
    std::ofstream(inst / "001" / name, std::ios::binary) << text;
}

bool shows(const Result& r, size_t dump, const std::string& text) {
    return rt::utf8_to_cp437(r.screens.at(dump)).find(text) != std::string::npos;
}

double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }

// An invoice of goods at 20 % and 10 % with a rebate and a service, printed in the wide and in the
// narrow form; the amount to pay goes into the header, and a shop outside the trade activity is
// reminded to book the turnover.
TEST(InvoicePrint, WideAndNarrowForms) {
    Install inst;
    prepare_company(inst);
    seed_invoice(inst, "ufakt", "fakt", agropromet("000001"), "000001", kMixed);
    const std::string print = kEnter001 + kInvoices + "1" + "1{Enter}S" + "F{dump}{Enter}" + "{Esc}{Esc}" + kQuit;
    Result r = go(inst, print);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_TRUE(shows(r, 0, "PAZNJA:"));
    EXPECT_TRUE(shows(r, 0, " Pritisnite Enter za nastavak..."));
    expect_report(inst, "tor001.000", "invoice_wide.txt");
    EXPECT_DOUBLE_EQ(num(records(inst / "001" / "ufakt.dbf").at(0), "ZAPLA"), 2778.0);
    EXPECT_TRUE(records(inst / "001" / "tknjiga.dbf").empty());

    settings(inst, "SKRACEN RACUN=1;");
    r = go(inst, print);
    ASSERT_EQ(r.status, 0) << why(r);
    expect_report(inst, "tor001.001", "invoice_narrow.txt");

    // On the screen the same text comes without printer codes.
    r = go(inst, kEnter001 + kInvoices + "1" + "1{Enter}S" + "E{dump}{Esc}{Enter}" + "{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    expect_cells(r, {{0, 2, 0, pad("PRVA RADNJA", 80)},
                     {0, 7, 0, pad("....................................................................VELT Office.", 80)},
                     {0, 9, 0, pad("RACUN broj: 000001", 80)},
                     {0, 10, 0, pad("                                         Kupac: AGROPROMET DOO", 80)}});
    EXPECT_FALSE(fs::exists(inst / "tor001.002"));
}

// A final invoice after an advance paid at the general rate, dated 2013: the three-column summary,
// the amount to pay less the advance in the header and in words, a buyer with a second name line
// and a delivery code, and the KEP posting of a trade shop (no reminder box).
TEST(InvoicePrint, FinalInvoiceAdvanceAndKepPosting) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    settings(inst, "SKRACEN RACUN=1;");
    seed_invoice(inst, "ufakt", "fakt",
                 {{"BRFAK", "000002"}, {"DATFAK", d(2013, 5, 15)}, {"DATPRO", d(2013, 5, 15)},
                  {"DATVAL", d(2013, 5, 15)}, {"KUPAC", "0003"}, {"NAZKUP", "MARKET CENTAR DOO"},
                  {"NAZKUP2", "DOO ZA TRGOVINU"}, {"MESKUP", "Beograd"}, {"PTTKUP", "11000"}, {"PAKKUP", "123456"},
                  {"ULKUP", "Bulevar 1"}, {"PIBKUP", "104567890"}, {"KONACNI", true}, {"AVANSNI", "000001"},
                  {"AVANS018", 120.0}},
                 "000002", {{"000003", "KAFA MLEVENA 200G", "KOM", "020", 2, 120, 0, kShare20}});
    Result r = go(inst, kEnter001 + kInvoices + "4" + "2{Enter}S" + "F{dump}" + "{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_FALSE(shows(r, 0, "PAZNJA:"));
    expect_report(inst, "tor001.000", "final_invoice.txt");
    EXPECT_DOUBLE_EQ(num(records(inst / "001" / "ufakt.dbf").at(0), "ZAPLA"), 120.0);
    const std::vector<Rec> kep = records(inst / "001" / "tknjiga.dbf");
    ASSERT_EQ(kep.size(), 1u);
    expect_fields(kep[0], {{"VRDOK", "R000002"}, {"OPIS", "MARKET CENTAR DOO, Beograd"}});
    EXPECT_EQ(std::get<rt::Date>(kep[0].at("DATUM")), d(2013, 5, 15));
    EXPECT_DOUBLE_EQ(num(kep[0], "RAZDUZ"), 240.0);

    // A second print finds the posting and rewrites it.
    r = go(inst, kEnter001 + kInvoices + "4" + "2{Enter}S" + "F" + "{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_EQ(records(inst / "001" / "tknjiga.dbf").size(), 1u);
}

// A company outside VAT with a picture letterhead and all its optional texts: the clause (left
// out for a buyer listed as an exception), the e-invoice identifier, the statement of account and
// the e-signature; a rebate of 21.30 dinar.
TEST(InvoicePrint, CompanyTextsOutsideVat) {
    Install inst;
    prepare_company(inst, {.vat = false});
    settings(inst, "SKRACEN RACUN=1;");
    Fields h3 = agropromet("000003");
    h3.erase(h3.end() - 1);   // no note
    seed_invoice(inst, "ufakt", "fakt", h3, "000003", {{"000005", "SECER KRISTAL", "KG", "018", 3, 71, 10, 0}});
    Fields h4 = h3;
    h4[0].second = std::string("000004");
    h4[4].second = std::string("0002");
    h4[9].second = std::string("1505980710147");
    seed_invoice(inst, "ufakt", "fakt", h4, "000004", {{"000005", "SECER KRISTAL", "KG", "018", 1, 99, 0, 0}});
    company_file(inst, "faktmemo.vlt", "3;C:\\slike\\memo.bmp,150;/MP;");
    company_file(inst, "klauzula.vlt",
                 "Roba ostaje vlasnistvo prodavca do konacne isplate.\r\nReklamacije se primaju u roku od 8 dana.\r\n");
    company_file(inst, "klau_exc.vlt", "0005;0002;");
    company_file(inst, "eracun.vlt", "eID: %eID%");
    company_file(inst, "rn000003.ios",
                 "Prethodni dug:%PRETHODNI_DUG%  1,250.50\r\nTekuci mesec: %TEKUCI_MESEC%\r\n"
                 "Ukupno za uplatu: %UKUPNO_ZA_UPLATU%\r\n");
    company_file(inst, "epotpis.vlt", "Potpisano elektronski, ID %eID%");
    Result r = go(inst, kEnter001 + kInvoices + "1" + "3{Enter}SF{Enter}" + "11" + "4{Enter}SF{Enter}" +
                            "{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    expect_report(inst, "tor001.000", "company_texts.txt");
    const std::vector<std::string> second = report_lines(inst, "tor001.001");
    auto has = [&](const std::string& t) {
        return std::any_of(second.begin(), second.end(), [&](const std::string& l) { return l.find(t) != std::string::npos; });
    };
    EXPECT_TRUE(has("JMBG: 1505980710147"));
    EXPECT_TRUE(has("eID: "));
    EXPECT_FALSE(has("Roba ostaje vlasnistvo"));
    EXPECT_FALSE(has("Prethodni dug"));
}

// A pro-forma and an advance invoice of a shop whose invoices double as delivery notes: their
// titles, dates and terms; neither reminds of the turnover booking nor posts to the KEP book.
TEST(InvoicePrint, ProformaAndAdvanceInvoice) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    settings(inst, "SKRACEN RACUN=1;RACUN OTPREMNICA=1;");
    const std::vector<Item> one = {{"000004", "SOK OD JABUKE 1L", "KOM", "020", 4, 150, 0, kShare20}};
    seed_invoice(inst, "upfakt", "pfakt", agropromet("000001"), "000001", one);
    seed_invoice(inst, "uafakt", "afakt", agropromet("000001"), "000001", one);
    Result r = go(inst, kEnter001 + kInvoices + "2" + "1{Enter}SF" + "1" + "3" + "1{Enter}SF" + "{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    const std::vector<std::string> pro = report_lines(inst, "tor001.000"), adv = report_lines(inst, "tor001.001");
    auto has = [](const std::vector<std::string>& ls, const std::string& t) {
        return std::find(ls.begin(), ls.end(), t) != ls.end();
    };
    const std::string sign = " ROBU I RACUN IZDAO                                         ROBU I RACUN PRIMIO";
    EXPECT_TRUE(has(pro, "<ESC>GPREDRACUN broj: 000001"));
    // The buyer's place, street and tax number keep the blanks of their fields (the pro-forma
    // header holds the street in 20 characters).
    EXPECT_TRUE(has(pro, "Datum PredRacuna: 10.03.2026                    21000 Novi Sad" + std::string(12, ' ')));
    EXPECT_TRUE(has(pro, "Mesto Izdavanja: Beograd                        Futoska 10" + std::string(10, ' ')));
    EXPECT_TRUE(has(pro, "                                                PIB: 100200300" + std::string(4, ' ')));
    EXPECT_TRUE(has(pro, "PredRacun je plativ u roku 15 dana. Valuta 25.03.2026"));
    EXPECT_TRUE(has(pro, "U slucaju kasnjenja sa placanjem zadrzavamo pravo izmene uslova ovog predracuna."));
    EXPECT_TRUE(has(pro, "Slovima: Seststotina dinara i 00/100<ESC>H<ESC>F"));
    EXPECT_TRUE(has(pro, sign));
    EXPECT_TRUE(has(adv, "<ESC>GAVANSNI RACUN broj: 000001"));
    EXPECT_TRUE(has(adv, "Racun je plativ u roku 15 dana. Valuta 25.03.2026"));
    EXPECT_TRUE(has(adv, sign));
    EXPECT_EQ(std::get<double>(records(inst / "001" / "upfakt.dbf").at(0).at("ZAPLA")), 600.0);
    EXPECT_TRUE(records(inst / "001" / "tknjiga.dbf").empty());

    // An ordinary invoice of the same shop is titled as a delivery note too.
    seed_invoice(inst, "ufakt", "fakt", agropromet("000001"), "000001", one);
    r = go(inst, kEnter001 + kInvoices + "1" + "1{Enter}SF" + "{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_TRUE(has(report_lines(inst, "tor001.002"), "<ESC>GRACUN-OTPREMNICA broj: 000001"));
}

// The letterhead settings: a picture that cannot be found, a new picture letterhead, its values
// offered again, Esc, and the letterhead given back to text; the clause written by the editor and
// the note editor left without a file.
TEST(InvoiceTexts, LetterheadClauseAndNote) {
    Install inst;
    prepare_company(inst);
    std::ofstream(inst / "memo.bmp") << "BM";
    // "1.Maticni podaci" -> "8.Forma Racuna" -> "2.Podesavanje Zaglavlja"
    Result r = go(inst, kEnter001 + "182{dump}D" + "2{Enter}nema.bmp{Enter}{Enter}{Enter}{dump}{Enter}" +
                            "82D" + "3{Enter}memo.bmp{Enter}{Enter}/MP{Enter}{dump}{Enter}" +
                            "82D{dump}{Esc}{dump}{Enter}" + "{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 5u);
    EXPECT_TRUE(shows(r, 0, "Zelite li da postavite sliku kao zaglavlje racuna (D/N)?"));
    r.screens.erase(r.screens.begin());
    EXPECT_TRUE(shows(r, 0, "Slika nije pronadjena! Zaglavlje nije promenjeno."));
    EXPECT_TRUE(shows(r, 1, "Formirano je novo zaglavlje racuna."));
    EXPECT_TRUE(shows(r, 2, " PODESITE PARAMETRE ZAGLAVLJA "));
    expect_cells(r, {{2, 19, 6, "Vertikalno pomeri tekst racuna (broj redova):  3"},
                     {2, 20, 6, "Lokacija slike zaglavlja racuna: memo.bmp"},
                     {2, 21, 6, "DPI slike zaglavlja racuna: 100"},
                     {2, 22, 6, "Karakteri koji ce se dodati iza broja racuna: /MP"}});
    EXPECT_TRUE(shows(r, 3, "Zaglavlje nije promenjeno."));
    EXPECT_EQ(slurp(inst / "001" / "faktmemo.vlt"), "3;memo.bmp,100;/MP;");

    r = go(inst, kEnter001 + "182N{dump}D{dump}{Enter}" + "81{dump}Roba ostaje vlasnistvo prodavca.{Ctrl+W}" +
                     "83{dump}{Esc}" + "{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(r.screens.size(), 4u);
    expect_cells(r, {{2, 12, 6, "Unesite tekst koji ce se stampati na racunu u formi klauzule"},
                     {2, 13, 6, "pri dnu svakog racuna."}});
    r.screens.erase(r.screens.begin() + 2);
    EXPECT_TRUE(shows(r, 0, "Zelite li da obrisete prethodno formirano zaglavlje (D/N)?"));
    EXPECT_TRUE(shows(r, 1, "Obrisana je slika iz zaglavlja racuna. Zaglavlje je u tekstualnoj formi."));
    EXPECT_FALSE(fs::exists(inst / "001" / "faktmemo.vlt"));
    EXPECT_EQ(slurp(inst / "001" / "klauzula.vlt").substr(0, 32), "Roba ostaje vlasnistvo prodavca.");
    expect_cells(r, {{2, 12, 6, "Unesite tekst koji ce se pojaviti prilikom unosa"},
                     {2, 13, 6, "napomene na racunu."},
                     {2, 14, 6, "Pritisnite ESC za izlaz bez snimanja ili CTRL+W za snimanje teksta."}});
    EXPECT_FALSE(fs::exists(inst / "001" / "napomena.vlt"));
}

}  // namespace
