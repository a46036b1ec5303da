// (being built)
#include "inbound/inbound.h"
namespace tor {
void STPKALK(const std::string&) {}
void STPOTP(const std::string&) {}
void OTKUP_PRIZ(const std::string&) {}
}  // namespace tor
