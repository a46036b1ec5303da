// (being built)
#include "inbound/inbound.h"
namespace tor {
void costing_items(CostingScreen&) {}
void IKALKULACIJE(CostingScreen&) {}
}  // namespace tor
