// The inner pieces of the report output that the viewer, the split print and the tests share:
// opening a destination directly, the numbered report files and the Windows-printer file.
#pragma once
#include <string>
#include <string_view>

#include "report/report.h"
#include "rt/dbf/dbf.h"

namespace tor::report {

// Opens the destination without asking (any open one is closed first). FILE, SCREEN and
// WINPRINTER write into path (created anew); PRINTER collects the bytes for print_close; DISCARD
// drops everything. False when the file cannot be created (nothing is open then).
bool open_route(Route route, const std::string& path = "");
// True while a destination is open.
bool route_open();

// Takes the first free name OSNDIR + "tor" + WSIFKOM + ".000" … ".999" by creating it empty;
// "" when every number is taken.
std::string take_numbered_file();

// The file of the Windows-printer mode: the e-invoice file when einvoice is given and
// "eracun.vlt" lies in DIR (its folder created), else "dosprint.prn" in the print folder when
// this workstation has a print-folder file, else "c:\dosprint.prn".
std::string winprinter_file(const EinvoiceTarget* einvoice);

// The printer route's bytes went nowhere: they are kept in the next numbered file, whose name
// is told in a one-line message. Returns that file ("" when none was free).
std::string keep_refused_job(std::string_view bytes);

// The viewer's work table of this workstation: OSNDIR + "temp/fd" + the first six characters of
// CPCID in lower case + ".dbf" (for "remote" the last five digits of the seconds since midnight).
std::string viewer_table();
// Creates a work table of one field RED C 400 under path unless one of that structure is there.
void make_line_table(const std::string& path);
// Appends every line of a text file to such a table (cut to 400 characters); nothing when the
// file cannot be read.
void load_lines(rt::dbf::WorkArea& t, std::string_view file);

}  // namespace tor::report
