// Report output end to end: the help text in the viewer reached with F1 in the real program, and
// a numbered report of three pages written through the destination question to the printer, to
// a numbered file and to the screen, with the page count of the company.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "rt/term/console.h"
#include "torpdv_harness.h"

namespace {

namespace fs = std::filesystem;
using namespace torpdv_e2e;
using PRun = torpdv_e2e::Run;

std::string trimmed(const PRun& r, size_t i, int row) { return rstrip(row_of(r, i, row)); }

// ---- the viewer over the help text ----

std::string help_line(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", n);
    std::string l = std::string("Pomoc red ") + buf;
    l.resize(100, ' ');
    l += std::string("desno ") + buf;
    l.resize(396, ' ');
    return l + "kraj";   // columns 397-400
}

TEST(TorpdvReport, HelpTextInTheViewer) {
    Install inst;
    {
        std::ofstream f(inst / "torhelp.vlt", std::ios::binary);
        for (int i = 1; i <= 200; ++i) f << help_line(i) << "\r\n";
    }
    PRun r = run(inst,
                 "{pause}{F1}{dump}"                        // 0
                 "{Up}{PgUp}{dump}"                         // 1: the first page stays
                 "{Down}{Down}{dump}"                       // 2
                 "{Down}{PgDn}{dump}"                       // 3
                 "{PgUp}{Down}{dump}"                       // 4
                 "{End}{Down}{dump}"                        // 5: the last page stays
                 "{Up}{Up}{dump}"                           // 6
                 "{Home}{Right}{dump}" +                    // 7: from column 21
                     keys("{Right}", 4) + "{dump}" +        // 8: from column 101
                     keys("{Right}", 14) + "{dump}" +       // 9: from column 381, not past 400
                     keys("{Left}", 20) + "{dump}"          // 10: back at the first column
                     "desno 15{Enter}{dump}"                // 11: a typed letter starts the search
                     "{Esc}{dump}");                        // 12: the screen under the help again
    ASSERT_EQ(r.screens.size(), 14u) << r.err;

    struct W {
        std::string top, bottom, pct;
        bool operator==(const W&) const = default;
    };
    auto win = [&](size_t i) {
        return W{trimmed(r, i, 2).substr(0, 13), trimmed(r, i, 23).substr(0, 13), row_of(r, i, 24).substr(0, 5)};
    };
    EXPECT_EQ(row_of(r, 0, 1), std::string(33, '\xDB') + " VELT Office " + std::string(34, '\xDB'));
    EXPECT_EQ(row_of(r, 0, 24).substr(5), std::string(57, '\xDB') + " <F3/Tekst>-Trazi ");
    EXPECT_EQ(win(0), (W{"Pomoc red 001", "Pomoc red 022", " 11% "}));
    EXPECT_EQ(win(1), (W{"Pomoc red 001", "Pomoc red 022", " 11% "}));
    EXPECT_EQ(win(2), (W{"Pomoc red 003", "Pomoc red 024", " 12% "}));
    EXPECT_EQ(win(3), (W{"Pomoc red 025", "Pomoc red 046", " 23% "}));   // the bottom line on top
    EXPECT_EQ(win(4), (W{"Pomoc red 005", "Pomoc red 026", " 13% "}));   // the top line at the bottom
    EXPECT_EQ(win(5), (W{"Pomoc red 179", "Pomoc red 200", "100% "}));
    EXPECT_EQ(win(6), (W{"Pomoc red 177", "Pomoc red 198", " 99% "}));
    // Sideways in steps of 20 columns, up to the 400th.
    EXPECT_EQ(row_of(r, 7, 2), help_line(1).substr(20, 80));
    EXPECT_EQ(trimmed(r, 8, 2) + "|" + trimmed(r, 8, 23), "desno 001|desno 022");
    EXPECT_EQ(row_of(r, 9, 2), std::string(16, ' ') + "kraj" + std::string(60, ' '));
    EXPECT_EQ(row_of(r, 10, 2), help_line(1).substr(0, 80));
    // The search keeps the lines that hold the text, in upper or lower case.
    for (int row = 2; row <= 11; ++row)
        EXPECT_EQ(trimmed(r, 11, row).substr(0, 13), "Pomoc red 15" + std::to_string(row - 2)) << row;
    EXPECT_EQ(trimmed(r, 11, 12) + trimmed(r, 11, 23), "");
    // Esc: the screen the help was called from.
    EXPECT_EQ(r.screens[12].find("VELT Office"), std::string::npos);
    EXPECT_EQ(r.screens[12].find("Pomoc red"), std::string::npos);
}

// ---- a report of three pages ----

// The report the probe writes for company "001" (120 lines, a break after row 61), put together
// line by line: three pages of header, title and heading, 55 + 55 + 10 lines, the rule before
// each break, the closing rule and the form feed of the end.
std::string three_pages() {
    const std::string crlf = "\r\n";
    std::string out;
    int n = 0;
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) out += "\x0C";
        out += "Obveznik: PRODAVNICA PROBA, PETAR PETROVIC" + std::string(27, ' ') + "Strana: 0" +
               std::to_string(page) + crlf;
        out += "Mesto: NOVI SAD" + std::string(54, ' ') + "16.03.2026" + crlf;
        out += crlf;
        out += "\x1BGPROBNI IZVESTAJ\x1BH" + crlf;
        out += crlf;
        out += "R.Br  Opis" + crlf;
        out += std::string(80, '=');
        const int body = page < 3 ? 55 : 10;
        for (int i = 0; i < body; ++i) {
            ++n;
            char num[8];
            std::snprintf(num, sizeof num, "%04d", n);
            out += crlf + num + "  Stavka broj " + std::to_string(n);
        }
        if (page < 3) out += crlf + std::string(80, '-');
    }
    return out + "\r\n" + std::string(80, '=') + "\x0C";
}

double pages_counted(const Install& inst) {
    double n = 0;
    for (const Rec& rec : records(inst / "brstpstr.dbf")) {
        EXPECT_EQ(rstrip(std::get<std::string>(rec.at("NAZIV"))), "PRODAVNICA PROBA");
        n += std::get<double>(rec.at("BRSTR"));
    }
    return n;
}

TEST(TorpdvReport, ThreePagesToThePrinterAndToANumberedFile) {
    Install inst;
    Options o;
    o.binary = "torprobe report 120 61";
    // The printer is ready: Enter takes the proposed "S".
    PRun r = run(inst, "{pause}{dump}{Enter}", o);
    ASSERT_RUN_GE(r, 0, 1);
    EXPECT_EQ(row_of(r, 0, 10).substr(19, 41), "\xC9" + std::string(39, '\xCD') + "\xBB");
    EXPECT_EQ(row_of(r, 0, 11).substr(19, 41), "\xBA Prikaz na Ekranu ili Stampacu (E/S) S \xBA");
    EXPECT_EQ(row_of(r, 0, 12).substr(19, 41), "\xC8" + std::string(39, '\xCD') + "\xBC");
    const std::string want = three_pages();
    EXPECT_EQ(slurp(inst / "printer.out"), want);
    EXPECT_EQ(pages_counted(inst), 3);

    // "f": a numbered file of the company, byte for byte the same report; pages counted.
    r = run(inst, "{pause}f", o);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(slurp(inst / "tor001.000"), want);
    EXPECT_EQ(slurp(inst / "printer.out"), want);   // nothing more sent to the printer
    EXPECT_EQ(pages_counted(inst), 6);
}

TEST(TorpdvReport, ScreenRouteShowsTheReportAndCountsNoPages) {
    Install inst;
    Options o;
    o.binary = "torprobe report 120 61";
    // The printer cannot be reached: Enter takes "E"; other keys are refused first.
    o.env["TORPDV_PRINTER"] = "nema/printer.out";
    PRun r = run(inst, "{pause}{dump}x{Enter}{dump}{End}{dump}{Esc}", o);
    ASSERT_RUN_GE(r, 0, 3);
    EXPECT_EQ(row_of(r, 0, 11).substr(21, 37), "Prikaz na Ekranu ili Stampacu (E/S) E");
    EXPECT_EQ(trimmed(r, 1, 2), "Obveznik: PRODAVNICA PROBA, PETAR PETROVIC" + std::string(27, ' ') + "Strana: 01");
    EXPECT_EQ(trimmed(r, 1, 5), "\x1BGPROBNI IZVESTAJ\x1BH");
    // The last window: the closing rule (with the form feed after it, on the same line: the file
    // ends without a line end, and that last line is shown too).
    EXPECT_EQ(trimmed(r, 2, 22), "0120  Stavka broj 120");
    EXPECT_EQ(row_of(r, 2, 23), std::string(80, '='));
    EXPECT_EQ(row_of(r, 2, 24).substr(0, 5), "100% ");
    for (const char* f : {"Temp/TESTPC01.prn", "temp/TESTPC01.prn", "temp/fdtestpc.dbf"}) EXPECT_FALSE(fs::exists(inst / f)) << f;
    EXPECT_EQ(pages_counted(inst), 0);
}

// Through the real program: the list of companies printed from the company choice; Esc at the
// destination question ends the program the orderly way, with nothing written.
TEST(TorpdvReport, EscAtTheQuestionInTheProgramAsksForARestart) {
    Install inst;
    ASSERT_EQ(go(inst, kNew001).status, 3);
    PRun r = go(inst, "{F2}{Enter}S{dump}{Esc}");
    ASSERT_RUN(r, 0, 1);
    EXPECT_EQ(row_of(r, 0, 11).substr(21, 37), "Prikaz na Ekranu ili Stampacu (E/S) S");
    EXPECT_EQ(r.out, "Pokrenite program ponovo !\n");
    EXPECT_FALSE(fs::exists(inst / "printer.out"));
    EXPECT_FALSE(fs::exists(inst / "tor.000"));
}

}  // namespace
