// The KEP book printed through the real program: the book after a costing and an invoice of a
// trade shop compared line by line with the text worked out by hand; the page break with the
// carried sums; the last page and the pages back, which start where the row count says.
#include <chrono>
#include <string>
#include <vector>

#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

rt::Date d(int y, int m, int day) { return rt::Date::ymd(y, m, day); }

// Main menu -> 3.Stampa -> 1.Obrazac KEP.
const std::string kBook = "31";

// n book rows numbered from `from`: row i is a costing "K" + i dated day (i - from) / per after
// `first`, with debit 10 x i and credit i.
std::vector<Fields> book_rows(int from, int n, rt::Date first, int per) {
    std::vector<Fields> rows;
    for (int i = from; i < from + n; ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "K%06d", i);
        rows.push_back({{"VRDOK", std::string(key)},
                        {"DATUM", first + (i - from) / per},
                        {"OPIS", "DOKUMENT " + std::to_string(i)},
                        {"ZADUZ", 10.0 * i},
                        {"RAZDUZ", 1.0 * i}});
    }
    return rows;
}

void seed_book(const Install& inst, const std::vector<Fields>& rows) {
    fill(inst / "001" / "tknjiga.dbf", {"tknjiga", "tknjiga1"}, rows);
}

// "DONOS:" or "SVEGA ZA PRENOS:" with the two sums, as the book prints them.
std::string sums_line(const std::string& label, const std::string& debit, const std::string& credit) {
    std::string l = std::string(17, ' ') + label;
    l.resize(102, ' ');
    return l + pad(std::string(14 - debit.size(), ' ') + debit, 16) + std::string(14 - credit.size(), ' ') + credit;
}

// The first columns of a book row: number, date, description.
std::string row_start(int rb, const std::string& date, const std::string& opis) {
    char n[8];
    std::snprintf(n, sizeof n, "%5d", rb);
    return std::string(n) + " " + date + " " + opis;
}

// A costing and an invoice of a trade shop printed through the program post their rows; the book
// of the month shows them with the number of the document, the closing balance and the signatures.
TEST(KepBook, CostingAndInvoiceOfTradeShop) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    fill(inst / "001" / "ukalk.dbf", {"ukalk", "ukalk1"},
         {{{"BRKALK", "000001"}, {"DOBAV", "0001"}, {"NAZDOB", "AGROPROMET DOO"}, {"MESDOB", "Novi Sad"},
           {"BRDOK", "R-15"}, {"DATDOK", d(2026, 3, 10)}, {"DATKAL", d(2026, 3, 12)}}});
    fill(inst / "001" / "kalk.dbf", {"kalk", "kalk1", "kalk2"},
         {{{"BRKALK", "000001"}, {"SIFART", "000003"}, {"NAZART", "KAFA MLEVENA 200G"}, {"JMERE", "KOM"},
           {"TARGR", "020"}, {"KOLICINA", 4.0}, {"FAKCEN", 250.0}, {"PSPOR", 16.667}, {"POREZ", 20.0},
           {"PRODCEN", 360.0}},
          {{"BRKALK", "000001"}, {"SIFART", "000001"}, {"NAZART", "HLEB BELI 500G"}, {"JMERE", "KOM"},
           {"TARGR", "010"}, {"KOLICINA", 10.0}, {"FAKCEN", 40.0}, {"PSPOR", 9.091}, {"POREZ", 10.0},
           {"PRODCEN", 55.0}}});
    fill(inst / "001" / "ufakt.dbf", {"ufakt"},
         {{{"BRFAK", "000001"}, {"DATFAK", d(2026, 3, 14)}, {"DATPRO", d(2026, 3, 14)}, {"DATVAL", d(2026, 3, 30)},
           {"KUPAC", "0003"}, {"NAZKUP", "MARKET CENTAR DOO"}, {"MESKUP", "Beograd"}, {"PTTKUP", "11000"},
           {"ULKUP", "Bulevar 1"}, {"PIBKUP", "104567890"}}});
    fill(inst / "001" / "fakt.dbf", {"fakt", "fakt1"},
         {{{"BRFAK", "000001"}, {"SIFART", "000003"}, {"NAZART", "KAFA MLEVENA 200G"}, {"JMERE", "KOM"},
           {"KOLICINA", 2.0}, {"PRODCEN", 360.0}, {"RABAT", 10.0}, {"TARGR", "020"}, {"PSPOR", 16.667}},
          {{"BRFAK", "000001"}, {"SIFART", "000002"}, {"NAZART", "MLEKO 2.8% 1L"}, {"JMERE", "KOM"},
           {"KOLICINA", 3.0}, {"PRODCEN", 110.0}, {"RABAT", 0.0}, {"TARGR", "010"}, {"PSPOR", 9.091}}});

    // The costing and the invoice printed to files post their rows.
    Result r = go(inst, kEnter001 + "211" + "1{Enter}SF" + "{Esc}{Esc}" + "221" + "1" + "1{Enter}SF" + "{Esc}{Esc}" +
                            kBook + "{Enter}{Enter}F{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    ASSERT_EQ(records(inst / "001" / "tknjiga.dbf").size(), 2u);
    expect_report(inst, "tor001.002", "e2e_books/expected", "kep_costing_invoice.txt");

    // The control finds the book and the documents in agreement.
    r = go(inst, kEnter001 + "SK4" + "{Enter}{dump}{Enter}{Esc}{Esc}" + kQuit);
    ASSERT_RUN(r, 0, 1);
    EXPECT_NE(r.screens[0].find("Kontrola je zavrsena. Program nije nasao gresku u podacima."), std::string::npos)
        << r.screens[0];
}

// Rows before the period are carried into "DONOS:"; after 49 rows the page ends with the rule and
// "SVEGA ZA PRENOS:", the next page carries the same sums; a row after the period is left out.
TEST(KepBook, PeriodPageBreakAndCarriedSums) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    std::vector<Fields> rows = book_rows(1, 5, d(2026, 2, 20), 1);            // rows 1-5 in February
    for (Fields& f : book_rows(6, 60, d(2026, 3, 1), 5)) rows.push_back(f);  // rows 6-65: 1-12 March
    for (Fields& f : book_rows(66, 1, d(2026, 3, 20), 1)) rows.push_back(f); // after the period
    seed_book(inst, rows);

    Result r = go(inst, kEnter001 + kBook + "{Enter}{Enter}F{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    const std::vector<std::string> l = report_lines(inst, "tor001.000");
    ASSERT_GE(l.size(), 91u);
    EXPECT_EQ(l[0].substr(68), "Strana: 001");
    EXPECT_EQ(l[5], "ZA PERIOD OD 01.03.2026 DO 16.03.2026");
    // Rows 1-5: debit 10 x 15, credit 15.
    EXPECT_EQ(l[12], sums_line("DONOS:", "150.00", "15.00"));
    EXPECT_EQ(l[13].substr(0, 27), row_start(6, "01.03.2026", "DOKUMENT 6"));
    EXPECT_EQ(l[61].substr(0, 28), row_start(54, "10.03.2026", "DOKUMENT 54"));
    EXPECT_EQ(l[62], std::string(132, '-'));
    // Rows 1-54: debit 10 x 1485, credit 1485.
    EXPECT_EQ(l[63], sums_line("SVEGA ZA PRENOS:", "14,850.00", "1,485.00"));
    // Row 64 stays empty: the form feed of the next page stands at its start.
    EXPECT_EQ(l[64].substr(0, 14), "<FF>Obveznik: ");
    EXPECT_EQ(l[64].substr(72), "Strana: 002");
    EXPECT_EQ(l[76], sums_line("DONOS:", "14,850.00", "1,485.00"));
    EXPECT_EQ(l[77].substr(0, 28), row_start(55, "10.03.2026", "DOKUMENT 55"));
    EXPECT_EQ(l[88], std::string(132, '='));
    // Rows 1-65: debit 21,450.00, credit 2,145.00.
    EXPECT_EQ(l[89], pad("UKUPNO: (zaliha 19,305.00)", 102) + "     21,450.00        2,145.00");
    EXPECT_EQ(l[90], std::string(132, '=') + "<DC2>");
}

// The last page of 98 rows starts at row 50 on page 002; of 99 rows at row 99 on page 003; two
// pages back on 150 rows also at row 99, with the page break to page 004 after row 147.
TEST(KepBook, LastPageAndPagesBack) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    seed_book(inst, book_rows(1, 98, d(2026, 1, 1), 2));

    Result r = go(inst, kEnter001 + kBook + "{PgDn}F{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    std::vector<std::string> l = report_lines(inst, "tor001.000");
    ASSERT_GE(l.size(), 63u);
    EXPECT_EQ(l[0].substr(68), "Strana: 002");
    // From the date of row 50 (1 January + 24 days).
    EXPECT_EQ(l[5], "ZA PERIOD OD 25.01.2026 DO 16.03.2026");
    EXPECT_EQ(l[12], sums_line("DONOS:", "12,250.00", "1,225.00"));
    EXPECT_EQ(l[13].substr(0, 28), row_start(50, "25.01.2026", "DOKUMENT 50"));
    EXPECT_EQ(l[62], std::string(132, '='));   // the 49 rows fill the page; no empty page follows

    seed_book(inst, book_rows(99, 1, d(2026, 2, 19), 1));
    r = go(inst, kEnter001 + kBook + "{PgDn}F{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    l = report_lines(inst, "tor001.001");
    ASSERT_GE(l.size(), 15u);
    EXPECT_EQ(l[0].substr(68), "Strana: 003");
    EXPECT_EQ(l[12], sums_line("DONOS:", "48,510.00", "4,851.00"));
    EXPECT_EQ(l[13].substr(0, 28), row_start(99, "19.02.2026", "DOKUMENT 99"));
    EXPECT_EQ(l[14], std::string(132, '='));

    seed_book(inst, book_rows(100, 51, d(2026, 2, 20), 3));
    r = go(inst, kEnter001 + kBook + "{PgUp}{dump}2{Enter}F{Esc}" + kQuit);
    ASSERT_RUN(r, 0, 1);
    EXPECT_EQ(cells(r, 0, 17, 23, 20), "Koliko strana unazad");
    l = report_lines(inst, "tor001.002");
    ASSERT_GE(l.size(), 80u);
    EXPECT_EQ(l[0].substr(68), "Strana: 003");
    EXPECT_EQ(l[12], sums_line("DONOS:", "48,510.00", "4,851.00"));
    EXPECT_EQ(l[13].substr(0, 28), row_start(99, "19.02.2026", "DOKUMENT 99"));
    EXPECT_EQ(l[64].substr(72), "Strana: 004");
    EXPECT_EQ(l[77].substr(0, 29), row_start(148, "08.03.2026", "DOKUMENT 148"));

    // No pages back: every row is carried, none printed.
    r = go(inst, kEnter001 + kBook + "{PgUp}{Enter}F{Esc}" + kQuit);
    ASSERT_EQ(r.status, 0) << why(r);
    l = report_lines(inst, "tor001.003");
    ASSERT_GE(l.size(), 14u);
    EXPECT_EQ(l[0].substr(68), "Strana: 004");
    EXPECT_EQ(l[12], sums_line("DONOS:", "113,250.00", "11,325.00"));
    EXPECT_EQ(l[13], std::string(132, '='));
}

// A year of 20,000 rows prints to a file in one pass well within two seconds; its last page is
// page 409 (20,000 / 49 rounded up) and the closing sums add every row.
TEST(KepBook, YearOfTwentyThousandRows) {
    Install inst;
    prepare_company(inst, {.activity = "002"});
    std::vector<Fields> rows;
    for (int i = 1; i <= 20000; ++i)
        rows.push_back({{"VRDOK", "K" + std::to_string(100000 + i).substr(0, 6)},
                        {"DATUM", d(2026, 1, 1) + (i - 1) / 300},
                        {"OPIS", "DOKUMENT " + std::to_string(i)},
                        {"ZADUZ", 1.0 * i}});
    seed_book(inst, rows);
    const auto start = std::chrono::steady_clock::now();
    Result r = go(inst, kEnter001 + kBook + "01012026{Enter}{Enter}F{Esc}" + kQuit);
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(r.status, 0) << why(r);
    EXPECT_LT(secs, 2.0);
    const std::vector<std::string> l = report_lines(inst, "tor001.000");
    ASSERT_GE(l.size(), 20u);
    EXPECT_EQ(l[5], "ZA PERIOD OD 01.01.2026 DO 16.03.2026");
    size_t last_heading = 0;
    for (size_t i = 0; i < l.size(); ++i)
        if (l[i].find("Strana: ") != std::string::npos) last_heading = i;
    EXPECT_EQ(l[last_heading].substr(l[last_heading].size() - 11), "Strana: 409");
    EXPECT_EQ(l[l.size() - 6], pad("UKUPNO: (zaliha 200,010,000.00)", 102) + "200,010,000.00            0.00");
}

}  // namespace
