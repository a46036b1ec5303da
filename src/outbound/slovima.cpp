// (being built)
#include "outbound/outbound.h"
namespace tor {
std::string SLOVIMA(double, bool) { return ""; }
std::string EKOBAJA(const rt::Date&, std::string_view, std::string_view, double) { return ""; }
}  // namespace tor
