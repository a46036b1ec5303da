// The program's clock: the real one, or a virtual one in headless mode.
// In virtual mode nothing sleeps: timed waits advance the clock instantly.
#pragma once
#include <string>
#include "rt/fmt/date.h"

namespace rt::clk {

// Chooses the mode: virtual when TORPDV_KEYS is set (headless), with TORPDV_TODAY
// (YYYY-MM-DD) as the starting date, else the real date. Called once at start;
// the first use of any function below calls it too.
void init_from_env();
// Forces virtual mode at the given date and time of day (tests).
void set_virtual(Date today, double seconds_since_midnight = 8 * 3600.0);
bool is_virtual();

Date today();                 // DATE()
double seconds();             // SECONDS(): seconds since midnight, with fractions
std::string time_hhmmss();    // TIME(): "hh:mm:ss"
// A monotonic reading in seconds for measuring waits (virtual or real).
double monotonic();
// Waits the given seconds: sleeps in real mode, advances the clock in virtual mode.
void sleep(double secs);

}  // namespace rt::clk
