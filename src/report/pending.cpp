// (replaced piece by piece by the report output)
#include "report/report.h"
namespace tor {
Route print_route() { return Route::NONE; }
std::string print_file() { return {}; }
bool EKRSTP(const EinvoiceTarget*) { return false; }
void PSAY(int, int, std::string_view) {}
void PRAW(std::string_view) {}
int PROW() { return 0; }
int PCOL() { return 0; }
void SETPRC(int, int) {}
void EJECT() {}
void print_close() {}
void page_header(bool) {}
void page_rule(int) {}
void report_end(int, bool) {}
void BRSTPSTR(int) {}
bool FDISP(std::string_view, int, int, int, int, int) { return true; }
std::string FREADLN(std::FILE*) { return FREADLN_EOF; }
bool A3A4(std::string_view) { return true; }
}  // namespace tor
