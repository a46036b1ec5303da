// The screen toolkit: boxes with a drop shadow, the multi-line help box and the named colours
// every screen selects by name.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rt/input/picture.h"
#include "rt/term/console.h"

namespace tor {

// ---- named colours (colour display set; COLORME switches to the monochrome set) ----
inline std::string NORMAL = "W+/B,W+/R,,,W+/B";   // ordinary text, boxes, input fields
inline std::string SVETLO = "GR+/B";              // titles, message text, list headings
inline std::string INVERZ = "W+/R";               // selected row, chosen value
inline std::string BLINK = "W+*/B";
inline std::string SBLINK = "GR+*/B";             // "Paznja", "Trazim"
inline std::string IBLINK = "W+*/R";              // input cursor mark
inline std::string MENICOL = "W+/B,W+*/B,B";      // light-bar menus
inline std::string MPCOL = "W/B,W/B,B";
inline std::string DESKTOP = "B+";                // the desktop fill

// ---- saved screens and the copy/paste value ----
inline rt::ScreenImage OSEK;      // the main-menu background (after the logo)
inline rt::ScreenImage DOSEK;     // the console before the program drew anything
inline rt::ScreenImage CLIP;      // the screen snapshot (Ctrl+Ins)
inline rt::ScreenImage POSM;      // the main-menu screen saved by the menu (Left/Right between menus)
inline rt::Value VO_TO_PASTE = 0.0;
inline int ZAV_RED = 23;          // the row of the closing text of the exit sequence

// ---- input helpers ----
inline bool PRESED_CENT = false;  // Ctrl+Enter was pressed in the field just left
inline std::string _KLJUC;        // the text typed into GETUGET

// The program's end from the exit question (status 0), caught by main after the screen work is done.
struct ProgramExit {
    int status = 0;
};
// The orderly abort (Esc at the output-route question): caught by the outer loop.
struct OrderlyAbort {};

// ---- frame strings: top-left, top, top-right, right, bottom-right, bottom, bottom-left, left, fill ----
inline const std::string FRAME_SINGLE = "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3 ";
inline const std::string FRAME_DOUBLE = "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ";
inline const std::string FRAME_BLOCK = "\xDB\xDF\xDB\xDB\xDB\xDC\xDB\xDB ";

// The text HELPBOX shows: lines each ended by ";" and one skipped character ("; " between lines,
// "; ;" for an empty line).
inline std::string HELPKEY;

// Shadow to the right of and below the box: those cells keep their characters and turn light grey
// on black. Coordinates are moved one down/right and kept on the screen (rows 1-24, columns 1-79).
bool SHADOW(int top, int left, int bottom, int right);

// Shadow, cleared rectangle and frame in the current colour. frame: "" = single line, "double" =
// double line, otherwise the nine frame characters. A title is printed on the top border, centred.
bool BOXSHAD(int top, int left, int bottom, int right, std::string_view frame = "",
             std::string_view title = "");

// The lines of a HELPKEY text (at most 20).
std::vector<std::string> helpbox_lines(std::string_view text);

// Shows HELPKEY (when not empty) in a double-framed box from row 2, waits for a key, then puts
// the screen and the colour back.
void HELPBOX();

// ---- messages and lines ----
// Centred message box on rows 10-12. mode 1: stays, returns at once; 0: waits up to 3 seconds or
// a key; 2: waits for a key. Modes 0 and 2 restore the screen. The key pressed stays LASTKEY();
// a wait that times out leaves LASTKEY() 0 (a question that times out is answered "no").
void PORUKA(std::string_view text, int mode = 1);
// PORUKA(question, mode) and true when the answer is "D" or "d".
bool PITANJE(std::string_view question, int mode = 2);
// Blinking error line on row 24; ends only on the space bar.
void GRESKA(std::string_view text);
// Title box (row defaults to 2).
void NASLOV(int row, std::string_view text);
void NASLOV(std::string_view text);
// Status line on row 0 (text defaults to XFIRMA).
void UP();
void UP(std::string_view text);
// Today's date as "07.Dec.2026, (Poned.)".
void DATUM(int row, int col);
std::string datum_text(const rt::Date& d);
// One tone of n x 1000 Hz for one tick (silent tick when BEEP is off).
void TON(int n);
// Creates the colour variables from COLO (and the desktop colour file), closes all tables.
bool COLORME();

// The action row of a document: a double box over rows top..top+2 from column left to right in
// the menu colour, the prompts (column, text) on row top+1, the first letter choosing. before,
// when given, draws over the standing box before the bar waits. The screen and the colour under
// the box come back after the choice. Returns the prompt chosen (1-based), 0 for Esc.
int ACTION_ROW(int top, int left, int right, const std::vector<std::pair<int, std::string>>& prompts,
               const std::function<void()>& before = {});

// ---- help, information, snapshots, copy/paste ----
void HELP();
void SHOWINFO();
void VO_SAVE_SCREEN();
void VO_REST_SCREEN();
void VO_COPY();
void VO_PASTE();
// Right / Left inside a pull-down menu: back to the main bar, which opens the neighbour.
void DESNO();
void LEVO();
// The user's notes window (Tab). Outside a Tab key press it only makes sure the notes table exists.
bool MESSAGE();
// The exit question; "Da" throws ProgramExit after the exit sequence.
void KRAJ();
bool RANEKR(const rt::ScreenImage& target);
void REFLEKTOR(int row, int col, std::string_view text);
// The start-up logo; leaves the finished screen in CLIP.
void VLTSCR();
// The table inspector (Ctrl+F10).
void DBDEBUG();
// The key handler of the inspector's list of work areas (rt::ACHOICE user function).
int AFUNC(int mode, int item, int row);
// The structure text the inspector shows for a work area (lines ended by CR LF).
std::string area_structure_text(int area);
inline bool _DBDEBUG = false;     // the inspector is running (it cannot be entered twice)

// ---- registering the toolkit's hot keys (F1, Tab, Alt+C, Alt+V, Ctrl+Ins, Ctrl+Home,
// Ctrl+F10, Ctrl+Enter) ----
void register_ui_hotkeys();
// Ctrl+Enter: sets PRESED_CENT, empties the type-ahead and pushes Enter.
void MY_CTRL_ENTER();
// One-line text prompt of width cells from col + 1; the text in upper case (also in _KLJUC);
// Esc gives "0", or the old value when one is given.
std::string GETUGET(int row, int col, int width);
std::string GETUGET(int row, int col, int width, std::string_view old);

// ---- small date and string helpers ----
std::string DAT8C(const rt::Date& d);
rt::Date POCMES(const rt::Date& d);
rt::Date POCGOD(const rt::Date& d);
int LASTDAY(const rt::Date& d);
std::string FINDSTR(std::string_view text, std::string_view key, std::string_view deflt);
std::string DECTOBASE(long long number, int base);

}  // namespace tor
