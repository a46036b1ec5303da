// (being built)
#include "inbound/inbound.h"
namespace tor {
void KALKULACIJE() {}
bool costing_header_edit(CostingScreen&) { return false; }
}  // namespace tor
