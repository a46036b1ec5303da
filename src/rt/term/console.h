// The console: a 25 x 80 buffer of cells (CP437 byte + attribute) that everything draws into,
// and a back end (ncurses on a terminal, or headless under TORPDV_KEYS) that shows it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

constexpr int ROWS = 25;
constexpr int COLS = 80;

// A PC text attribute: bits 0-3 foreground (bit 3 bright), bits 4-6 background, bit 7 blink.
using Attr = uint8_t;

struct Cell {
    uint8_t ch = ' ';
    Attr attr = 0x07;
    bool operator==(const Cell&) const = default;
};

// A colour string of the xBase runtime parsed into its five parts:
// standard, enhanced, border, background, unselected. Missing parts take the runtime's defaults
// (enhanced = inverse of standard when absent, unselected = enhanced).
struct ColorSpec {
    Attr standard = 0x07;
    Attr enhanced = 0x70;
    Attr border = 0x00;
    Attr background = 0x00;
    Attr unselected = 0x70;
};
// Parses "W+/B,W+/R,,,W+/B", "GR+*/B", "I", "w+/n" … (letters N B G BG R RB GR W, "+", "*", "I",
// "U", "X", case-insensitive). An invalid string throws rt::Error naming it.
ColorSpec parse_color(std::string_view s);
Attr parse_attr(std::string_view one_part);

// A saved rectangle of the screen (SAVESCREEN): restorable at its place or at another.
struct ScreenImage {
    int top = 0, left = 0, bottom = -1, right = -1;
    std::vector<Cell> cells;  // row-major, (bottom-top+1) x (right-left+1)
    int height() const { return bottom - top + 1; }
    int width() const { return right - left + 1; }
    bool valid() const { return bottom >= top && right >= left; }
};

// ---- the current colour (SETCOLOR) ----
std::string SETCOLOR();                          // the current colour string
std::string SETCOLOR(std::string_view colour);   // sets it, returns the previous one
const ColorSpec& current_color();

// ---- drawing (all clip to the screen; nothing wraps) ----
void SAY(int row, int col, std::string_view text);                // standard colour
void SAY(int row, int col, std::string_view text, Attr attr);
void SAY_COLOR(int row, int col, std::string_view text, std::string_view colour);  // standard part
void CLEAR_RECT(int top, int left, int bottom, int right);        // blanks, standard colour
void CLS();                                                       // whole screen, cursor 0,0
void FILL(int top, int left, int bottom, int right, uint8_t ch, Attr attr);
// Frame of nine characters (tl, t, tr, r, br, b, bl, l, fill); an empty fill keeps the inside.
void BOX(int top, int left, int bottom, int right, std::string_view frame9);  // standard colour
void BOX(int top, int left, int bottom, int right, std::string_view frame9, Attr attr);
void SET_ATTR(int top, int left, int bottom, int right, Attr attr);  // attributes only
Cell CELL(int row, int col);
ScreenImage SAVESCREEN(int top = 0, int left = 0, int bottom = ROWS - 1, int right = COLS - 1);
void RESTSCREEN(const ScreenImage& img);                      // at its own place
void RESTSCREEN(int top, int left, const ScreenImage& img);   // with its top-left at top, left
// Scroll the rectangle by n lines: n > 0 up, n < 0 down; the freed lines are blank.
void SCROLL(int top, int left, int bottom, int right, int n);

// ---- cursor ----
void SETCURSOR(bool on);
bool CURSOR_ON();
void SETPOS(int row, int col);
int ROW();
int COL();

// ---- sound ----
// One tone of freq Hz for ticks clock ticks (1 tick = 1/18.2 s); silent when sound is off,
// but it always lasts its time (virtual time in headless mode).
void TONE(double freq, double ticks);
void SET_SOUND(bool on);

// ---- back end ----
// Starts the console: headless when TORPDV_KEYS is set, else ncurses on the terminal.
// A terminal smaller than 80 x 25: "Prozor terminala mora biti najmanje 80 x 25." and exit 2.
// A malformed key script: a message naming the line and exit 2.
void console_init();
// Restores the terminal as it was before the program started (leaves the alternate screen).
void console_shutdown();
bool console_headless();
// Ends the program with a message on stderr after giving the terminal back (a runtime error:
// status 1). The message would be lost on the program's own screen otherwise.
[[noreturn]] void console_fail(std::string_view message, int status = 1);
// Shows the changed cells (the back ends never redraw unchanged cells). Called by every wait.
void console_refresh();
// Writes the screen in the dump format (25 lines of 80 characters, then "----") to TORPDV_SCREEN.
void console_dump();

// The screen as text, one line per row, CP437 shown as UTF-8 (for dumps and tests).
std::string screen_text();
std::string screen_row_text(int row);
// CP437 byte -> Unicode code point, and back (unknown -> '?').
char32_t cp437_to_unicode(uint8_t b);
std::string cp437_to_utf8(std::string_view bytes);
int unicode_to_cp437(char32_t c);                 // -1 when the code page has no such glyph
std::string utf8_to_cp437(std::string_view text);  // unknown characters become '?'

// Starts the headless back end with a key script given as text (tests; the program uses
// console_init). Resets the screen, the colour, the cursor and the keyboard, and puts the clock
// in virtual mode. A malformed script throws rt::Error naming the line.
void console_init_headless(std::string_view key_script, const std::string& screen_file = "");

}  // namespace rt
