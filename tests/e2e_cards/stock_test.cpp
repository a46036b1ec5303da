// The stock of the goods through the real program: the stock list printed to a file and shown on
// the screen with its KEP reconciliation, the sale price check of the service menu, the stock in
// three columns, and the recount of the stock into the goods register (on entry to a costing
// and from the goods card with code 0).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "e2e/documents_fixture.h"

namespace {

using namespace torpdv_docs;

rt::Date d(int y, int m, int dd) { return rt::Date::ymd(y, m, dd); }
fs::path company(const Install& inst, const std::string& table) { return inst / "001" / (table + ".dbf"); }
double num(const Rec& r, const std::string& f) { return std::get<double>(r.at(f)); }

struct Line {
    const char* doc;
    const char* code;
    double qty, price;
};

void costing(const Install& inst, const char* number, rt::Date date, const std::vector<Line>& items) {
    fill(company(inst, "ukalk"), {"ukalk", "ukalk1"}, {{{"BRKALK", number}, {"DOBAV", "0001"}, {"DATKAL", date}}});
    std::vector<Fields> rows;
    for (const Line& l : items)
        rows.push_back({{"BRKALK", number}, {"SIFART", l.code}, {"KOLICINA", l.qty}, {"PRODCEN", l.price}});
    fill(company(inst, "kalk"), {"kalk", "kalk1", "kalk2"}, rows);
}

void invoice(const Install& inst, const char* number, rt::Date date, const std::vector<Line>& items, double rebate) {
    fill(company(inst, "ufakt"), {"ufakt"}, {{{"BRFAK", number}, {"KUPAC", "0003"}, {"DATFAK", date}}});
    std::vector<Fields> rows;
    for (const Line& l : items)
        rows.push_back({{"BRFAK", number}, {"SIFART", l.code}, {"KOLICINA", l.qty}, {"PRODCEN", l.price}, {"RABAT", rebate}});
    fill(company(inst, "fakt"), {"fakt", "fakt1"}, rows);
}

// The documents of the first quarter of 2026 (today is 16.03.2026), and one of December 2025:
//   000001 HLEB     K1 10.01 +20 @55, K2 05.02 +10 @55, R1 10.02 -5 @55 (rebate 10)  -> 25
//   000002 MLEKO    K1 10.01 +10 @110, R1 10.02 -12 @110                            -> -2
//   000003 KAFA     K1 10.01 +5 @350, price change 20.02 (4: 350 -> 360), write-off 01.03 -1 @340 -> 4
//   000004 SOK      K2 05.02 +6 @145, price change 05.02 (6: 145 -> 150)            -> 6
//   000005 SECER    K3 20.12.2025 +100 @99 (before the period)                      -> 0
//   000006 PREVOZ   a service, never counted
void seed_documents(const Install& inst) {
    costing(inst, "000001", d(2026, 1, 10),
            {{"K", "000001", 20, 55}, {"K", "000002", 10, 110}, {"K", "000003", 5, 350}});
    costing(inst, "000002", d(2026, 2, 5), {{"K", "000001", 10, 55}, {"K", "000004", 6, 145}});
    costing(inst, "000003", d(2025, 12, 20), {{"K", "000005", 100, 99}});
    invoice(inst, "000001", d(2026, 2, 10), {{"R", "000001", 5, 55}, {"R", "000002", 12, 110}}, 10);
    fill(company(inst, "stzart"), {"stzart", "stzart1"},
         {{{"SIFRA", "000003"}, {"DATUM", d(2026, 3, 1)}, {"KOLICINA", 1.0}, {"PRODCEN", 340.0}}});
    fill(company(inst, "zapis"), {"zapis", "zapis1", "zapis2", "zapis3"},
         {{{"BRZAP", "0001"}, {"DATZAP", d(2026, 2, 20)}, {"SIFRA", "000003"}, {"KOLICINA", 4.0},
           {"SPRODCEN", 350.0}, {"NPRODCEN", 360.0}},
          {{"BRZAP", "0002"}, {"DATZAP", d(2026, 2, 5)}, {"SIFRA", "000004"}, {"KOLICINA", 6.0},
           {"SPRODCEN", 145.0}, {"NPRODCEN", 150.0}}});
}

// Settings of this workstation added to its settings file.
void local_settings(const Install& inst, const std::string& text) {
    fs::create_directories(inst / "LocalSet");
    const fs::path p = inst / "LocalSet" / "TESTPC01.set";
    const std::string old = fs::exists(p) ? slurp(p) : "";
    std::ofstream(p, std::ios::binary) << old << text;
}

std::vector<double> stock(const Install& inst) {
    std::vector<double> out;
    for (const Rec& r : records(company(inst, "mdart"))) out.push_back(num(r, "POPKOL"));
    return out;
}

const std::string kHeading3 = std::string(67, '.') + "VELT Office.";

// The service menu's check of sale prices: articles whose register price is not the price of
// their latest document of the year. On 05.02 the costing of SOK at 145 is not overruled by the
// price change of the same day (it must be later); KAFA's last document is the write-off at 340;
// SECER has no document this year; HLEB and MLEKO agree; the service is never looked at.
TEST(Stock, PriceCheckListsArticlesWhosePriceDiffersFromTheirLatestDocument) {
    Install inst;
    prepare_company(inst);
    seed_documents(inst);
    Result r = go(inst, kEnter001 + "SK5F{dump}{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    const std::vector<std::string> want = {
        "Obveznik: PRVA RADNJA, Petar Petrovic                                Strana: 01",
        "Mesto: Beograd",
        "Datum: 16.03.2026",
        kHeading3,
        "",
        "MOGUCE GRESKE U PRODAJNOJ CENI (Period od 01.01.2026 do 16.03.2026)",
        rep('=', 80),
        "R.Br Sifra  Naziv Dobra                              JM         Cena Moguca Cena",
        rep('=', 80),
        "   1 000003 KAFA MLEVENA 200G                        KOM      360.00      340.00",
        "   2 000004 SOK OD JABUKE 1L                         KOM      150.00      145.00",
        "   3 000005 SECER KRISTAL                            KG        99.00        0.00",
        rep('=', 80) + "<FF>",
    };
    const std::vector<std::string> got = report_lines(inst, "tor001.000");
    ASSERT_EQ(got.size(), want.size()) << slurp(inst / "tor001.000");
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(rstrip(got[i]), want[i]) << "line " << i + 1;
}

// Entering the costing screen with the stock shown and computed recounts every article's
// quantity from 01.01 to today into the register; a costing deleted afterwards leaves the
// register as it was until the next entry recounts it.
TEST(Stock, CostingEntryRecountsTheStockOfTheYear) {
    Install inst;
    prepare_company(inst);
    seed_documents(inst);
    patch_first(company(inst, "mdart"), {{"POPKOL", 999.0}});
    {
        // SECER carried 100 from last year; the service shows 7 that nothing may touch.
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open(company(inst, "mdart").string()));
        for (a.go_top(); !a.eof(); a.skip()) {
            ASSERT_TRUE(a.rlock());
            if (a.get_str("SIFRA") == "000005") a.put("POPKOL", 100.0);
            if (a.get_str("SIFRA") == "000006") a.put("POPKOL", 7.0);
        }
        a.unlock();
        a.close();
    }
    local_settings(inst, "ZALIHA NA RACUNU=1;PRORACUN ZALIHE=1;");

    Result r = go(inst, kEnter001 + "211{dump}{Esc}{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_NE(r.line(0, 3).find("Broj Kalkulacije"), std::string::npos) << r.screens[0];
    EXPECT_EQ(stock(inst), (std::vector<double>{25, -2, 4, 6, 0, 7}));

    // Costing 2 deleted through the program, then the screen entered again.
    r = go(inst, kEnter001 + "2112{Enter}BD{Enter}{dump}{Esc}{Esc}{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(records(company(inst, "ukalk")).size(), 2u);
    EXPECT_EQ(stock(inst), (std::vector<double>{15, -2, 4, 0, 0, 7}));
}

}  // namespace
