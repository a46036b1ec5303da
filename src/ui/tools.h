// The two pop-up tools available everywhere: the tape calculator ("+") and the month calendar
// (Alt+D). Both draw over the current screen and restore it when they close.
#pragma once
#include "rt/fmt/date.h"
#include "rt/term/console.h"

namespace tor {

inline rt::ScreenImage KALLSCR;   // the calculator window at its last closing
inline bool SCRKALL = false;      // KALLSCR holds a window ("R" shows the last tape)

// The calculator.
void KALL();
// The calendar with its window's top row r and left column c, starting on start (today when
// empty). Returns the chosen date on Enter, the starting date on Esc. With store (the hot key
// inside a date field) Ctrl+Enter also puts the date into the active field.
rt::Date KALENDAR(int r = 4, int c = 6, rt::Date start = {}, bool store = false);

// Binds "+" to the calculator and Alt+D to the calendar of the active date field.
void register_tool_hotkeys();

}  // namespace tor
