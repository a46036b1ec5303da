// The program frame: start-up, the outer loop (company choice, table check, main menu), the
// workstation settings and their toggles, the program-settings screen and the menu tree.
#pragma once
#include <string>
#include <string_view>

namespace tor {

// The program: command line (at most one switch), start-up, outer loop. Returns the exit status.
int MAIN(int argc, char** argv);

// ---- start-up pieces (also used by the tests and the benchmark) ----
// The switch a command-line argument selects: "!" none, "?" help, else "WP", "3", "Z", "B", "S",
// "M", "CD", "RUC", "U" (prefix match on the upper-cased argument, the last match winning).
std::string parse_switch(std::string_view arg);
// The help text of "/?", lines ended by "\n".
std::string help_text();
// Reads the workstation settings file into MEM_VAR (unreadable: empty) and sets the ten settings.
void read_settings();
// Writes MEM_VAR as the whole settings file; false when it cannot be written.
bool write_settings();
// In MEM_VAR: every entry of key removed, key + value + ";" appended.
void set_setting(std::string_view key, bool on);

// ---- the ten toggles (each inverts its variable, reports and rewrites the settings file) ----
namespace toggle {
void S_INDEX();
void S_PROMETOPIS();
void S_KALK();
void S_RACUN();
void S_RACOTP();
void S_ZALIHA();
void S_RACZAL();
void S_NULAZALIHA();
void S_RAZPRENPDV();
void S_PRINTER();
}  // namespace toggle

// Desktop colour (letter into "desktop.vlt").
void S_DESKTOP();
// The program-settings screen.
void INS_PP();

// ---- the menu tree (company open) ----
void main_menu();   // the main bar on row 3 until Esc
void MATPOD();
void OBRADA();
void ZADUZENJE();
void RAZDUZENJE();
void STAMPA();
void OBRACUN();
void SERVIS();

}  // namespace tor
