// (being built)
#include "outbound/outbound.h"
namespace tor {
void STPRAC(const std::string&) {}
}  // namespace tor
