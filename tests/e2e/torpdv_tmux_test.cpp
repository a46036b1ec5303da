// The program on a real terminal: tmux runs it in an 80 x 25 window, keys are typed into the
// pane and the pane is read back, text and colours. A new company is created through the profile
// screens, entered, the print menu opened, and the program left through the exit question; the
// index rebuild shows its progress while it works.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "torpdv_harness.h"

namespace {

namespace fs = std::filesystem;
using torpdv_e2e::at;
using torpdv_e2e::cp437;
using torpdv_e2e::have_tmux;
using torpdv_e2e::Install;
using torpdv_e2e::Pane;
using torpdv_e2e::slurp;

// Colours of a capture with escapes, per row and cell: ANSI colour numbers 0-15 (4 blue, 1 red;
// the terminal's default counts as light grey on black, bold as bright). The capture only names
// an attribute where it changes, also from one row to the next, so the rows are read in order.
struct Colour {
    int fg = 7, bg = 0;
};
std::vector<std::vector<Colour>> colours(const std::vector<std::string>& lines) {
    std::vector<std::vector<Colour>> all;
    int fg = -1, bg = -1;
    bool bold = false, reverse = false;
    for (const std::string& line : lines) {
        std::vector<Colour> out;
        for (size_t i = 0; i < line.size();) {
            if (line[i] == '\x1b' && i + 1 < line.size() && line[i + 1] == '[') {
                size_t e = line.find('m', i);
                if (e == std::string::npos) break;
                std::vector<int> ps;
                std::istringstream body(line.substr(i + 2, e - i - 2));
                for (std::string part; std::getline(body, part, ';');) ps.push_back(std::atoi(part.c_str()));
                if (ps.empty()) ps.push_back(0);
                for (size_t k = 0; k < ps.size(); ++k) {
                    int v = ps[k];
                    if (v == 0) fg = bg = -1, bold = reverse = false;
                    else if (v == 1) bold = true;
                    else if (v == 22) bold = false;
                    else if (v == 7) reverse = true;
                    else if (v == 27) reverse = false;
                    else if (v >= 30 && v <= 37) fg = v - 30;
                    else if (v == 39) fg = -1;
                    else if (v >= 40 && v <= 47) bg = v - 40;
                    else if (v == 49) bg = -1;
                    else if (v >= 90 && v <= 97) fg = v - 90 + 8;
                    else if (v >= 100 && v <= 107) bg = v - 100 + 8;
                    else if ((v == 38 || v == 48) && k + 2 < ps.size() && ps[k + 1] == 5) {
                        (v == 38 ? fg : bg) = ps[k + 2];
                        k += 2;
                    }
                }
                i = e + 1;
                continue;
            }
            unsigned char c = line[i];
            size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
            Colour col;
            col.fg = fg < 0 ? 7 : (bold && fg < 8 ? fg + 8 : fg);
            col.bg = bg < 0 ? 0 : bg;
            if (reverse) std::swap(col.fg, col.bg);
            out.push_back(col);
            i += n;
        }
        while (out.size() < 80) out.push_back(Colour{});
        all.push_back(out);
    }
    return all;
}

// A shadow cell: light grey on black.
bool grey_on_black(const Colour& c) { return c.fg == 7 && c.bg == 0; }

}  // namespace

TEST(TorpdvTerminal, NewCompanyMenuAndExitOnARealTerminal) {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
    Install dir;
    Pane pane(dir);
    ASSERT_TRUE(pane.started());
    std::string s;

    // The empty register opens the profile menu by itself.
    ASSERT_TRUE(pane.wait_for("1.Osnovni Podaci", &s)) << s;
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("Naziv Radnje", &s)) << s;
    pane.send("1 Enter MARKET Enter Enter Enter Enter K Enter 1 Enter");
    ASSERT_TRUE(pane.wait_for("001 MARKET", &s)) << s;

    // Entering the company: the main bar with the company line.
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("1.Maticni podaci", &s)) << s;
    EXPECT_EQ(at(s, 2, 3, 75), cp437("\xDA" + std::string(23, '\xC4')) + "(MARKET NIJE PDV obveznik)" +
                                   cp437(std::string(24, '\xC4') + "\xBF"))
        << s;
    EXPECT_EQ(at(s, 3, 3, 75), cp437("\xB3") + "   1.Maticni podaci       2.Unos        3.Stampa     4.Obracun   Servis  " +
                                   cp437("\xB3")) << s;
    EXPECT_EQ(at(s, 4, 3, 75), cp437("\xC0" + std::string(73, '\xC4') + "\xD9")) << s;
    {
        // The main bar's shadow: the column right of the box from row 3 to 5, the row under it
        // from column 4 to 78; the box itself is white on blue.
        std::vector<std::vector<Colour>> e = colours(pane.capture(true));
        for (int r = 3; r <= 5; ++r) EXPECT_TRUE(grey_on_black(e[r][78])) << "row " << r;
        for (int c = 4; c <= 78; ++c) EXPECT_TRUE(grey_on_black(e[5][c])) << "column " << c;
        EXPECT_FALSE(grey_on_black(e[6][40]));
        EXPECT_FALSE(grey_on_black(e[3][79]));
        EXPECT_EQ(e[3][25].bg, 4);
    }

    {
        // A second workstation entering the same company meanwhile is warned on row 7 and works on.
        torpdv_e2e::Run second = torpdv_e2e::run(dir, "{pause}{Enter}{dump}{Esc}{Esc}D");
        EXPECT_EQ(second.status, 0) << second.err;
        ASSERT_EQ(second.screens.size(), 1u);
        EXPECT_EQ(at(second.screens[0], 8, 10, 60), "PAZNJA: Drugi operater radi sa podacima odabranog komitenta!")
            << second.screens[0];
        EXPECT_EQ(at(second.screens[0], 3, 7, 16), "1.Maticni podaci") << second.screens[0];
    }

    // The print menu hangs from the main bar: T-pieces on row 4, prompts every other row.
    pane.type("3");
    ASSERT_TRUE(pane.wait_for("7.Ostali Izvestaji", &s)) << s;
    EXPECT_EQ(at(s, 4, 39, 22), cp437("\xC2" + std::string(20, '\xC4') + "\xC2")) << s;
    EXPECT_EQ(at(s, 18, 39, 22), cp437("\xB3") + " 7.Ostali Izvestaji " + cp437("\xB3")) << s;
    EXPECT_EQ(at(s, 19, 39, 22), cp437("\xB3" + std::string(20, ' ') + "\xB3")) << s;
    EXPECT_EQ(at(s, 20, 39, 22), cp437("\xC0" + std::string(20, '\xC4') + "\xD9")) << s;
    {
        // Its shadow: column 61 from row 5 to 21 and row 21 from column 40 to 61.
        std::vector<std::vector<Colour>> e = colours(pane.capture(true));
        for (int r = 5; r <= 21; ++r) EXPECT_TRUE(grey_on_black(e[r][61])) << "row " << r;
        for (int c = 40; c <= 61; ++c) EXPECT_TRUE(grey_on_black(e[21][c])) << "column " << c;
        for (int r = 6; r <= 21; ++r) EXPECT_FALSE(grey_on_black(e[r][62])) << "row " << r;
        for (int c = 41; c <= 62; ++c) EXPECT_FALSE(grey_on_black(e[22][c])) << "column " << c;
        EXPECT_EQ(e[10][50].bg, 4);
    }

    // The terminal's Right arrow moves to the next pull-down, the print menu closes.
    pane.send("Right");
    ASSERT_TRUE(pane.wait_for("7.Obrazac EPPDV", &s)) << s;
    EXPECT_EQ(at(s, 6, 55, 13), "1.Obracun PDV") << s;
    EXPECT_EQ(at(s, 4, 39, 1), cp437("\xC4")) << "the print menu closed\n" << s;

    // Out: the menu, the company, then "Da" of the exit question.
    pane.send("Escape");  // one at a time: a lone Esc is told apart by the pause after it
    pane.send("Escape");
    ASSERT_TRUE(pane.wait_for("Esc - Izlaz iz programa", &s)) << s;
    {
        // Back at the company choice the company is free again: no warning for another entry.
        torpdv_e2e::Run other = torpdv_e2e::run(dir, "{pause}{Enter}{dump}{Esc}{Esc}D");
        EXPECT_EQ(other.status, 0) << other.err;
        ASSERT_EQ(other.screens.size(), 1u);
        EXPECT_EQ(at(other.screens[0], 3, 7, 16), "1.Maticni podaci") << other.screens[0];
        EXPECT_EQ(other.screens[0].find("PAZNJA"), std::string::npos) << other.screens[0];
    }
    pane.send("Escape");
    ASSERT_TRUE(pane.wait_for("Izlaz iz Programa ?", &s)) << s;
    pane.type("D");
    EXPECT_EQ(pane.wait_exit(), 0) << pane.text();
    EXPECT_TRUE(fs::exists(dir / "001" / "mdart.dbf"));
}

namespace {

// Fills a table with n records of blanks and random six-digit codes in its first field, writing
// the file directly, so that building its indexes takes a while.
void fill_table(const fs::path& p, uint32_t n) {
    std::string head = slurp(p);
    ASSERT_GE(head.size(), 12u);
    uint16_t header_len, record_len;
    std::memcpy(&header_len, head.data() + 8, 2);
    std::memcpy(&record_len, head.data() + 10, 2);
    head.resize(header_len);
    std::memcpy(head.data() + 4, &n, 4);
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f << head;
    std::string rec(record_len, ' ');
    uint32_t x = 12345;
    for (uint32_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        std::string code = std::to_string(100000 + (x >> 8) % 900000);
        rec.replace(1, 6, code);
        f << rec;
    }
    f << '\x1a';
}

}  // namespace

TEST(TorpdvTerminal, IndexRebuildShowsItsProgressBox) {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
    Install dir;
    torpdv_e2e::Run made = torpdv_e2e::run(
        dir, "{pause}{Enter}1{Enter}MARKET{Enter}{Enter}{Enter}{Enter}K{Enter}1{Enter}{Enter}{Esc}{Esc}D");
    ASSERT_EQ(made.status, 0) << made.err;
    // A goods register big enough for its two indexes to take a visible moment.
    ASSERT_NO_FATAL_FAILURE(fill_table(dir / "001" / "mdart.dbf", 400000));

    Pane pane(dir);
    ASSERT_TRUE(pane.started());
    std::string s;
    ASSERT_TRUE(pane.wait_for("001 MARKET", &s)) << s;
    pane.send("Enter");
    ASSERT_TRUE(pane.wait_for("1.Maticni podaci", &s)) << s;
    pane.type("S");
    ASSERT_TRUE(pane.wait_for("Indeksiranje", &s)) << s;
    pane.type("I");

    // The progress box on rows 10-14, columns 28-52, while the goods register's indexes are
    // built: they are the second and third index of the company (after the partners').
    auto progress = [](const std::string& sc) {
        std::string counter = at(sc, 11, 30, 21), file = at(sc, 13, 30, 21);
        bool goods = (counter == "Kreiram indekse...002" && file.rfind("Datoteka: mdart", 0) == 0 &&
                      file.rfind("Datoteka: mdart1", 0) != 0) ||
                     (counter == "Kreiram indekse...003" && file.rfind("Datoteka: mdart1", 0) == 0);
        return goods && at(sc, 10, 28, 25) == cp437("\xDA" + std::string(23, '\xC4') + "\xBF") &&
               at(sc, 14, 28, 25) == cp437("\xC0" + std::string(23, '\xC4') + "\xD9");
    };
    EXPECT_TRUE(pane.watch(progress, 20, &s)) << s;

    // Then back in the main menu of the same company.
    ASSERT_TRUE(pane.wait_for("1.Maticni podaci", &s)) << s;
    EXPECT_NE(s.find("(MARKET NIJE PDV obveznik)"), std::string::npos) << s;
    EXPECT_TRUE(fs::exists(dir / "001" / "mdart.ntx"));
    EXPECT_TRUE(fs::exists(dir / "001" / "mdart1.ntx"));
}
