// The screens of start and end: the logo, the exit question with its dissolve and sweep, the
// information screen and the help text.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "data/data.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/memoedit.h"
#include "rt/input/menu.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

// A pause that lets a real terminal show the step; the virtual clock passes it at once.
void pause(double secs) {
    rt::console_refresh();
    rt::clk::sleep(secs);
}

const std::string MAKER = "VELT Office";
const std::string CLOSING_TEXT = "Hvala sto koristite TOR-PDV. Program je izradio VELT Office.";

// The letters of the maker's name in single-line box characters, six rows each.
using Glyph = std::array<const char*, 6>;
const std::vector<Glyph>& banner_glyphs() {
    static const std::vector<Glyph> g = {
        // V
        Glyph{"│     │", "│     │", "│     │", "└┐   ┌┘", " └┐ ┌┘ ", "  └─┘  "},
        // E
        Glyph{"┌─────", "│     ", "├──── ", "│     ", "│     ", "└─────"},
        // L
        Glyph{"│     ", "│     ", "│     ", "│     ", "│     ", "└─────"},
        // T
        Glyph{"──┬──", "  │  ", "  │  ", "  │  ", "  │  ", "  ┴  "},
        // the gap between the words
        Glyph{"  ", "  ", "  ", "  ", "  ", "  "},
        // O
        Glyph{"┌────┐", "│    │", "│    │", "│    │", "│    │", "└────┘"},
        // f
        Glyph{" ┌──", " │  ", "─┼─ ", " │  ", " │  ", " ┴  "},
        // f
        Glyph{" ┌──", " │  ", "─┼─ ", " │  ", " │  ", " ┴  "},
        // i
        Glyph{"┬", "┴", "┬", "│", "│", "┴"},
        // c
        Glyph{"    ", "    ", "┌───", "│   ", "│   ", "└───"},
        // e
        Glyph{"    ", "    ", "┌──┐", "├──┘", "│   ", "└───"},
    };
    return g;
}

// The seven logo rows 1-7 (index 0 is logo row 1): the banner centred in 79 columns, then blanks.
std::vector<std::string> logo_rows() {
    std::vector<std::string> rows(6);
    for (const Glyph& gl : banner_glyphs()) {
        for (int r = 0; r < 6; ++r) {
            if (!rows[r].empty()) rows[r] += "  ";
            rows[r] += rt::utf8_to_cp437(gl[r]);
        }
    }
    const int width = static_cast<int>(rows[0].size());
    const int lead = std::max(1, (79 - width) / 2);
    for (std::string& r : rows) r = rt::PADR(std::string(lead, ' ') + r, 79);
    rows.push_back(std::string(79, ' '));
    return rows;
}

}  // namespace

void VLTSCR() {
    rt::FILL(0, 0, rt::ROWS - 1, rt::COLS - 1, 0xDB, rt::parse_color(DESKTOP).standard);
    rt::SETCOLOR(INVERZ);
    rt::SETCURSOR(false);
    // Logo row 0 is a blank line of 80; rows 1-7 the banner and a blank line of 79.
    std::vector<std::string> logo;
    logo.push_back(std::string(80, ' '));
    for (std::string& r : logo_rows()) logo.push_back(r);
    auto at = [&](int n, int pos) {  // 1-based position, 0 counts as 1
        const std::string& s = logo[n];
        const size_t i = static_cast<size_t>(std::max(pos, 1) - 1);
        return i < s.size() ? std::string(1, s[i]) : std::string(" ");
    };
    for (int l = 0; l <= 79; ++l) {
        if (rt::INKEY() != 0) break;
        for (int n = 1; n <= 7; n += 2) rt::SAY(10 + n, l, at(n, l));
        for (int m = 2; m <= 6; m += 2) rt::SAY(10 + m, 79 - l, at(m, 79 - l));
        pause(0.01);
    }
    for (int n = 1; n <= 7; ++n) rt::SAY(10 + n, 1, logo[n]);
    rt::SETCOLOR(NORMAL);
    CLIP = rt::SAVESCREEN();
}

bool RANEKR(const rt::ScreenImage& target) {
    auto cell_of = [&](int r, int c) {
        if (target.valid() && r >= target.top && r <= target.bottom && c >= target.left &&
            c <= target.right)
            return target.cells[static_cast<size_t>((r - target.top) * target.width() + (c - target.left))];
        return rt::Cell{};
    };
    auto show_tile = [&](int a) {
        const int top = 2 * (a / 20), left = 4 * (a % 20);
        for (int r = top; r <= top + 1 && r < rt::ROWS; ++r)
            for (int c = left; c <= left + 3; ++c) {
                const rt::Cell cell = cell_of(r, c);
                rt::SAY(r, c, std::string(1, static_cast<char>(cell.ch)), cell.attr);
            }
    };
    std::array<bool, 250> shown{};
    long long seed = static_cast<long long>(rt::clk::seconds() * 131071) % 65537;
    for (int step = 0; step < 250; ++step) {
        if (rt::INKEY() != 0) break;
        seed = seed * 131071 % 65537;
        int t = static_cast<int>(seed % 250);
        while (t < 250 && shown[t]) ++t;
        if (t == 250) {
            t = 0;
            while (t < 250 && shown[t]) ++t;
        }
        if (t == 250) break;
        shown[t] = true;
        show_tile(t);
        pause(0.004);
    }
    // The 250 tiles leave the right half of the last row out: the whole image ends the effect.
    for (int r = 0; r < rt::ROWS; ++r)
        for (int c = 0; c < rt::COLS; ++c) {
            const rt::Cell cell = cell_of(r, c);
            rt::SAY(r, c, std::string(1, static_cast<char>(cell.ch)), cell.attr);
        }
    rt::console_refresh();
    return true;
}

void REFLEKTOR(int row, int col, std::string_view text) {
    const std::string colour = rt::SETCOLOR("w/n");
    rt::SETCURSOR(false);
    rt::SAY(row, col, text);
    const int start = col + static_cast<int>(text.size()) - 12;
    for (const char* part : {"w+/n", "w/n"}) {
        for (int i = 0; i < static_cast<int>(MAKER.size()); ++i) {
            if (start + i < 0) continue;
            rt::SAY_COLOR(row, start + i, std::string(1, MAKER[i]), part);
            pause(0.01);
        }
        pause(0.1);
    }
    rt::SETCURSOR(true);
    rt::SETCOLOR(colour);
}

void KRAJ() {
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR();
    const bool cursor = rt::CURSOR_ON();
    BOXSHAD(19, 28, 22, 52, "");
    rt::SETCOLOR(MENICOL);
    TON(2);
    TON(3);
    rt::SETCURSOR(false);
    rt::SAY(20, 31, "Izlaz iz Programa ?");
    int choice = 0;
    while (choice == 0) {
        rt::PROMPT(21, 35, " Da ");
        rt::PROMPT(21, 40, " Ne ");
        choice = rt::MENU_TO(1);
    }
    if (choice != 1) {
        rt::RESTSCREEN(saved);
        rt::SETCOLOR(colour);
        rt::SETCURSOR(cursor);
        return;
    }
    rt::dbf::close_all();
    RANEKR(DOSEK);
    rt::SETCOLOR("w/n");
    rt::CLEAR_RECT(std::max(0, ZAV_RED - 1), 0, std::min(rt::ROWS - 1, ZAV_RED + 1), rt::COLS - 1);
    REFLEKTOR(ZAV_RED, 0, CLOSING_TEXT);
    throw ProgramExit{0};
}

void SHOWINFO() {
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    if (OSEK.valid()) rt::RESTSCREEN(OSEK);
    rt::FILL(0, 0, 0, rt::COLS - 1, 0xDB, rt::parse_color(DESKTOP).standard);
    BOXSHAD(1, 2, 14, 76, "double", " O PROGRAMU ");
    auto centre = [](int row, const std::string& s, const std::string& colour) {
        rt::SAY_COLOR(row, 3 + (73 - static_cast<int>(s.size())) / 2, s, colour);
    };
    centre(2, SOFTWARE + " v" + VER + " (" + std::to_string(PRIOR_Y) + ")", SVETLO);
    centre(3, "Program za evidenciju robe i PDV-a", NORMAL);
    centre(5, "Vodi kalkulacije, fakture, knjige KEP, KPO i PK-1, evidencije PDV-a,", NORMAL);
    centre(6, "kartice robe i partnera, obracun PDV-a i godisnje poreske obrasce.", NORMAL);
    centre(8, "Izradio: VELT Office", SVETLO);
    rt::SAY(10, 3, std::string(73, '\xC4'));
    centre(11, "Podrska korisnicima: obratite se prodavcu od koga ste nabavili program.", NORMAL);
    centre(12, "Pomoc u radu: F1 na svakom ekranu, Tab za licne poruke.", NORMAL);
    if (!CPCID.empty()) centre(13, "Radna stanica: " + CPCID, NORMAL);
    rt::INKEY(0);
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
}

void HELP() {
    rt::dbf::AreaScope scope;
    const std::string file = (OSNDIR.empty() ? std::string("./") : OSNDIR) + "torhelp.vlt";
    if (!rt::os::exists(file)) {
        SHOWINFO();
        return;
    }
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    PORUKA("Sacekaj...", 1);
    FDISP(rt::os::resolve(file), 2, 0, 23, 79, 132);
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
}

}  // namespace tor
