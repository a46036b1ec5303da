// The company register ("mdk_pro") and the choice of the working company, the company variables
// every other subsystem reads, the summary register "mdk", and the profile screens.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "rt/fmt/date.h"

namespace rt::dbf {
class WorkArea;
}

namespace tor {

// ---- company variables (set when a company is entered; AZURMDK sets them too) ----
inline std::string WSIFKOM;        // company code, three digits: also its directory name
inline std::string WSIFDEL;        // activity type ("001", "002", "005", "006", "007", "008", "009", "000")
inline std::string WNAZKOM;        // short name
inline std::string WVLASNIK;       // owner: first name and surname
inline std::string WULICAKOM;      // street and number of the seat
inline std::string WPTT;           // empty
inline std::string WMESKOM;        // place of the seat
inline std::string WMESKOMPJ;      // place of the business unit
inline std::string WOPSTKOM;       // municipality of the seat
inline std::string WTELKOM;        // telephone
inline std::string WZIROKOM;       // first bank account
inline std::string WREGBR;         // register number
inline std::string WPIBKOM;        // tax identification number
inline std::string WBRPORRAC;      // taxpayer code with its check character
inline std::string WJMBG;          // owner's personal number
inline std::string WMATBR;         // registration number
inline std::string WULICAVL;       // owner's street and number
inline rt::Date WDATOTV;           // date of registration
inline std::string WKLASIFIKATOR;  // book-keeping mode + second classification ("P..." flat-rate)
inline std::string WSIFRADEL;      // code of the main activity
inline bool WPDVKOM = false;       // VAT payer
inline std::string WPEPDVKOM;      // number of the VAT registration certificate
inline std::string WPIO;           // pension insurance number (set by AZURMDK)
inline std::string WSD;            // the activity name last given by SIDEL

// The record the company list is positioned on (0: top of the register); kept between calls.
inline long KO_JE = 0;
// The code the profile menu was opened on (three digits); the basic-data screen may change it.
inline std::string WSIFRA;

// The company choice: returns the short name of the chosen company with the company variables
// set and all tables closed. The program ends from inside it (exit question).
std::string KOMIT();
// With "mdk_pro" positioned on a company: the company variables from the record, and the record
// of "mdk" brought up to date. True.
bool AZURMDK();
// The activity name of a three-digit activity code ("" for others); also left in WSD.
std::string SIDEL(std::string_view code);
// "" when value is empty, else prefix + trimmed value.
std::string MDKPOD(std::string_view prefix, std::string_view value);
// Validation of the business-unit field FRIPJ<n> of the current register record.
bool TRAZIIPJ(int n);
// The company variables from the current "mdk_pro" record, as when the company is entered.
void company_vars();
// The seven lines of the detail panel of the company list for the current "mdk_pro" record
// (a line whose every part is empty is empty).
std::vector<std::string> company_detail_lines();

// ---- the profile screens (register open and selected, positioned on the company) ----
void INS_OP();    // basic data (may create a new company)
void INS_POV();   // owner
void INS_POR();   // business

// ---- the company list print (F2 in the company choice) ----
// The line layout computed by RAC_DUZ_ZAG and read by the print.
inline int SK_DUZ_TXT = 0;          // width of the print line
inline std::string SK_ZAG;          // the header line
inline std::vector<int> SK_RED;     // the items of one data line (catalogue numbers, in print order)
inline int SK_REDOVA = 0;           // 1 when the list can be printed, else 0
inline bool SK_COND = false;        // condensed print
inline int SL_BROJ = 1;             // the next free position number
inline constexpr int SPIS_KOM_STAVKI = 32;   // items in the catalogue "mdk_op"

// The chooser of the list's columns; returns with the work area that was selected selected again.
void SPIS_KOM();
// The layout summary over the catalogue (the current area, in position order).
std::string RAC_DUZ_ZAG();
// The key handler of the chooser's browse: 0 leaves the browse (Esc, or to draw it anew), 1 goes on.
int KOREKS(int mode, int column);
// Prints the list of the register's companies; its page header.
void STPSPIS_KOM();
void ZSTPSPIS_KOM();
// Creates or upgrades the catalogue "mdk_op" of the installation directory, opens it exclusively
// in the current area, fills it with the 32 items (positions 0) and indexes it on the position.
// False when another workstation holds it.
bool spis_kom_catalogue();
// The value of catalogue item (1-32) for the register record, rb the running number.
std::string spis_kom_item(int item, const rt::dbf::WorkArea& reg, long rb);
// That value fitted to the item's print width (padded; longer only by printed characters).
std::string spis_kom_cell(int item, const rt::dbf::WorkArea& reg, long rb);
// One data line of the list: the cells of SK_RED, each followed by a blank.
std::string spis_kom_line(const rt::dbf::WorkArea& reg, long rb);

// "4.Programska Podesavanja" of the profile menu: the program-settings screen, which belongs to
// the frame above this subsystem; the frame sets it at start-up.
inline void (*PROGRAM_SETTINGS)() = nullptr;

namespace toggle {
// Alt+PgDn: first-free-code recognition on/off (the flag PSLSIFRA).
void PSLSIFRA();
}  // namespace toggle

}  // namespace tor
