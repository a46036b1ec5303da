// Report output: the choice of the print destination, positioned output to it (the printer
// device), the page protocol every report follows, the per-company count of printed pages, the
// full-screen viewer of report files and the split print of wide reports.
//
//   if (!EKRSTP()) ...                  // destination chosen and opened (NAEKR = screen)
//   STR = 0; my_header();               // page_header() prints the common first two rows
//   for (...) { PSAY(row, 0, line); if (++row > 61) { page_rule(row); my_header(); row = 8; } }
//   report_end(132);                    // form feed, close, viewer or page count
//
// Report text is bytes (CP852 data, ESC/P printer codes kept as they are). Print files are
// written with CR LF line ends. Messages shown while a report is written go to the screen and
// never into the report.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

#include "rt/fmt/date.h"

namespace tor {

inline bool NAEKR = false;   // the report goes to the screen (set by EKRSTP)
inline int STR = 0;          // page number of the report being written

// ---- printer control codes (Epson ESC/P) embedded in report text ----
inline const std::string DSTRIKE_ON = "\x1BG", DSTRIKE_OFF = "\x1BH";
inline const std::string EMPH_ON = "\x1B" "E", EMPH_OFF = "\x1B" "F";
inline const std::string COND_ON = "\x0F", COND_OFF = "\x12";
inline const std::string ELITE = "\x1BM", PICA = "\x1BP";
inline const std::string DWIDTH = "\x0E";
inline const std::string FORM_FEED = "\x0C";

// The destination EKRSTP opened.
enum class Route { NONE, SCREEN, FILE, PRINTER, WINPRINTER, DISCARD };
Route print_route();
// The file the report is written into ("" for the printer port until it is closed).
std::string print_file();

// An invoice printed in Windows-printer mode while "eracun.vlt" lies in the company folder goes
// to "C:\Temp\" + buyer's tax number + "_" + ddmmyyyy + ".prn"; the invoice print passes these.
struct EinvoiceTarget {
    std::string pib;
    rt::Date date;
};

// Asks "Prikaz na Ekranu ili Stampacu (E/S)" and opens the chosen destination: "E" TEMP_FIL,
// "F" the first free OSNDIR + "tor" + WSIFKOM + ".NNN", "S" the printer (or "dosprint.prn" in the
// print folder in Windows-printer mode). Shows "Stampa u Fajl u toku..." / "Stampa u toku...".
// Returns NAEKR. Esc dissolves into the console picture and throws OrderlyAbort.
// When "F" finds no free name up to ".999": PORUKA("Nema slobodnog imena za izvestaj."); the
// report is then written nowhere (Route::DISCARD), returns false, and report_end() does nothing.
bool EKRSTP(const EinvoiceTarget* einvoice = nullptr);

// ---- positioned output to the open destination (the xBase printer device) ----
// @ row, col SAY text: a row above the current one starts a new page (form feed, row 0); a row
// below moves down with line ends; on the same row a column left of the current one overprints
// (CR, then blanks up to col). Without an open destination nothing is written.
void PSAY(int row, int col, std::string_view text);
// Bytes at the current position that take no room on paper (printer codes): PROW and PCOL stay
// as they are. Text without a line end ("??") is PSAY(PROW(), PCOL(), text).
void PRAW(std::string_view bytes);
int PROW();
int PCOL();
void SETPRC(int row, int col);   // sets the counters without writing anything
void EJECT();                     // form feed; row and column 0
// Closes the destination: the print file is closed; the printer route sends the job, and when the
// printer refuses it the report is kept in the next numbered file with a one-line message.
void print_close();

// ---- the page protocol ----
// The first two rows of the common page header: STR + 1; (0, 0) "Obveznik: " + trimmed WNAZKOM +
// ", " + WVLASNIK, (0, 69) "Strana: " + STR as two digits; (1, 0) "Mesto: " + trimmed WMESKOM
// (+ ", " + trimmed WULICAKOM when with_street), (1, 69) DDAN.
void page_header(bool with_street = false);
// The rule before a page break: 80 "-" at row 62, or at row when that is further down.
void page_rule(int row);
// The signature lines under a form: (row, 0) "Sastavio", (row, 60) "Odgovorno lice"; next row the
// name of the one who made it (SAST) and a line to sign on at 60.
void signature_lines(int row);
// The end of a report: form feed, close; on the screen route the viewer over TEMP_FIL (width as
// given) and the file erased; otherwise the printed pages (STR) added to the page count.
// count_pages = false for the lists that do not count.
void report_end(int width, bool count_pages = true);

// Adds pages to the page count of the company WNAZKOM in "brstpstr".
void BRSTPSTR(int pages);

// ---- the viewer ----
// Shows a text file in rows 2-23 with a 400-column horizontal range; the window arguments are
// accepted for the callers' sake. Always true.
bool FDISP(std::string_view file, int top = 2, int left = 0, int bottom = 23, int right = 79,
           int width = 79);

// The next line of an open file without its line end (CR LF, LF or CR); the last line is returned
// also without a line end. At the end of the file FREADLN_EOF.
inline const std::string FREADLN_EOF(1024, '\x1B');
std::string FREADLN(std::FILE* f);

// Prints a text file of lines up to 400 columns wide on a narrow printer in two passes.
bool A3A4(std::string_view file);

// The bank chosen in the bank-statement screens ("000": all banks); the viewer's sum of payments
// (Tab) counts the items of that bank.
inline std::string WBANKA = "000";

// ---- the Windows-printer folder of this workstation ----
// OSNDIR + "LocalSet/dp" + CPCID + ".set": the folder the print helper DOSPRINT watches.
std::string print_folder_file();
// That file's folder up to its last backslash ("C:\" when the file is missing or holds none).
std::string print_folder();

// ---- the list print of the current lookup (F2 in the lookup list) ----
void STAMPRE();
void ZSTAMPRE();

}  // namespace tor
