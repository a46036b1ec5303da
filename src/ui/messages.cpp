// One-line messages, yes/no questions, the error line, titles, the status line, the date text,
// tones and the named colour sets.
#include <algorithm>
#include <string>

#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

void TON(int n) {
    // With the sound switched off the tick still passes, so the pacing of the screens stays.
    rt::SET_SOUND(BEEP);
    rt::TONE(n * 1000.0, 1);
}

void PORUKA(std::string_view text, int mode) {
    const int len = static_cast<int>(text.size());
    const int c = (80 - len) / 2;
    // A text wider than the screen: the box stops at the screen's edges and the text, from its
    // beginning, is cut to fit inside the frame.
    const int left = std::max(0, c - 3);
    const int right = std::min(rt::COLS - 1, c + len + 2);
    const int text_left = std::max(c, left + 1);
    const int text_room = std::max(0, std::min(c + len - 1, right - 1) - text_left + 1);

    rt::ScreenImage saved;
    if (mode != 1) saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    rt::BOX(10, left, 12, right, FRAME_DOUBLE);
    rt::SETCOLOR(SVETLO);
    TON(2);
    TON(3);
    rt::SAY(11, text_left, text.substr(0, static_cast<size_t>(text_room)));
    rt::SETCOLOR(colour);
    if (mode == 1) return;
    if (mode == 0) {
        // A question nobody answered within the time is answered "no".
        if (rt::INKEY(3) == 0) rt::SET_LASTKEY(0);
    } else {
        rt::INKEY(0);
    }
    rt::RESTSCREEN(saved);
}

bool PITANJE(std::string_view question, int mode) {
    PORUKA(question, mode);
    return rt::LASTKEY() == 'D' || rt::LASTKEY() == 'd';
}

void GRESKA(std::string_view text) {
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR();
    const int c = (80 - static_cast<int>(text.size()) - 9) / 2;
    for (;;) {
        rt::CLEAR_RECT(24, 0, 24, 79);
        rt::SAY_COLOR(24, c, "Paznja", SBLINK);
        rt::SAY_COLOR(24, c + 8, "- " + std::string(text), NORMAL);
        TON(2);
        TON(3);
        // Only a space typed now ends the line: a space left over as the last key from an earlier
        // screen must not let the message slip by unread.
        if (rt::INKEY(5) == rt::K::SPACE) break;
        rt::CLEAR_RECT(24, 0, 24, 79);
        rt::SAY_COLOR(24, 24, "Pritisnite RAZMAKNICU za izlaz !", SBLINK);
        if (rt::INKEY(3) == rt::K::SPACE) break;
    }
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
}

void NASLOV(int row, std::string_view text) {
    const int len = static_cast<int>(text.size());
    const int l = (76 - len) / 2;
    const std::string colour = rt::SETCOLOR(NORMAL);
    rt::BOX(row, l, row + 2, l + len + 3, FRAME_DOUBLE);
    rt::SAY_COLOR(row + 1, l + 2, text, SVETLO);
    rt::SETCOLOR(colour);
}

void NASLOV(std::string_view text) { NASLOV(2, text); }

void UP() { UP(XFIRMA); }

void UP(std::string_view text) {
    const std::string colour = rt::SETCOLOR("w");
    rt::CLEAR_RECT(0, 0, 0, 79);
    const std::string line = ":: " + SOFTWARE + " v" + VER + " (" + std::to_string(PRIOR_Y) + ")" +
                             " / " + std::string(text) + " ::";
    const int len = static_cast<int>(line.size());
    rt::SAY(0, 22 + std::max(1, (40 - len) / 2), line);
    DATUM(0, 0);
    rt::SAY(0, 73, "F1=Info");
    rt::SETCOLOR(colour);
}

std::string datum_text(const rt::Date& d) {
    static const char* const days[] = {"Nedelja", "Poned.", "Utorak", "Sreda",
                                       "Cetvr.",  "Petak",  "Subota"};
    if (d.empty()) return "";
    return rt::STRZERO(d.day(), 2) + "." + rt::LEFT(rt::CMONTH(d), 3) + "." +
           rt::STRZERO(d.year(), 4) + ", (" + days[d.dow() - 1] + ")";
}

void DATUM(int row, int col) { rt::SAY(row, col, datum_text(rt::clk::today())); }

bool COLORME() {
    if (COLO) {
        NORMAL = "W+/B,W+/R,,,W+/B";
        SVETLO = "GR+/B";
        INVERZ = "W+/R";
        BLINK = "W+*/B";
        SBLINK = "GR+*/B";
        IBLINK = "W+*/R";
        MENICOL = "W+/B,W+*/B,B";
        MPCOL = "W/B,W/B,B";
        DESKTOP = "B+";
        const std::string desk = rt::os::read_file((OSNDIR.empty() ? "./" : OSNDIR) + "desktop.vlt");
        if (!desk.empty()) {
            // A first character that names no colour would break every later screen: keep blue.
            const std::string wanted = std::string(1, desk[0]) + "+";
            try {
                rt::parse_color(wanted);
                DESKTOP = wanted;
            } catch (const rt::Error&) {
            }
        }
    } else {
        NORMAL = "W/N,N/W";
        SVETLO = "W+";
        INVERZ = "I";
        BLINK = "W*";
        SBLINK = "W+*";
        IBLINK = "I*";
        MENICOL = "W/N,W+*/N";
        MPCOL = "W/N,W/N";
        DESKTOP = "W+";
    }
    rt::dbf::close_all();
    rt::dbf::select(1);
    return true;
}

}  // namespace tor
