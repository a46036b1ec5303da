// (replaced piece by piece by the report output)
#include "report/report.h"
namespace tor {
bool FDISP(std::string_view, int, int, int, int, int) { return true; }
std::string FREADLN(std::FILE*) { return FREADLN_EOF; }
bool A3A4(std::string_view) { return true; }
}  // namespace tor
