// The start-up pieces of the program frame below MAIN: the files of the installation and of this
// workstation, the setup record, the company-in-use marker, the hot keys and the lines of the
// program-settings screen. MAIN strings them together; the tests drive them one by one.
#pragma once
#include <string>

#include "report/report.h"   // print_folder_file(), print_folder(): the Windows-printer folder

namespace tor {

// ---- files of the installation and of this workstation ----
std::string settings_file();       // OSNDIR + "LocalSet/" + CPCID + ".set"
std::string desktop_file();        // OSNDIR + "desktop.vlt"

// The workstation identifier: TORPDV_PCID when set, "vDOS" when "vDos.lnk" lies in the start
// directory, "remote" when "remote.sys" does, else the machine's own identifier.
std::string find_workstation_id();
// Start directory, OSNDIR/DIR, the program-wide table names, "Temp" and "LocalSet", CPCID and
// the print file TEMP_FIL.
void prepare_directories();
// An old settings file moves into this workstation's settings file (done once per workstation).
void migrate_settings();

// The setup table: chosen by "novell.vlt", moved aside and refilled once when outdated, created
// when missing, given its one record; the switches "/B", "/Z", "/RUC" (DOSPAR) applied and stored;
// the record copied into COLO, SAST, BEEP, CLOC, MESS, TELS …, DDAN and PROC_RUC. All tables
// closed afterwards. rt::Error for a damaged table.
void read_setup();

// ---- the company-in-use marker "cur_user" of the open company (DIR) ----
// Takes the marker's exclusive lock; false (and CUR_USER false) when another workstation holds
// it. rt::Error when the marker table is missing.
bool hold_cur_user();
// Gives the marker back (nothing when not held).
void release_cur_user();

// Binds the toolkit's keys and the settings toggles, and hands the profile menu the settings screen.
void register_hotkeys();

// ---- the program-settings screen ----
// The text of prompt n (1-12) with the current values; folder is the print folder (used while
// the Windows printer is on).
std::string ins_pp_prompt(int n, const std::string& folder);
// The three items that are more than a toggle.
void ITEM_PRINTER();
void ITEM_DATUM();
void ITEM_POTPIS();

}  // namespace tor

namespace tor {
// OSNDIR + SUF.
std::string setup_path();
// Opens the setup table in the current work area on its record (appended with the defaults when
// the table has none); false when another workstation holds the table exclusively.
bool open_setup_record();
}  // namespace tor

namespace tor {
// The chosen company made the working one: the processing-date notice, the menu positions, the
// title line, its directory with every table and index, the marker, the flat-rate notice and the
// company line on row 2.
void enter_company();
// Back to the company choice: the marker given back, the installation directory the default.
void leave_company();
}  // namespace tor
