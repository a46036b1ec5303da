// (being built)
#include "inbound/inbound.h"
namespace tor {
void PRENOSKALK(const std::string&, bool) {}
}  // namespace tor
