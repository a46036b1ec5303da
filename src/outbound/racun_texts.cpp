// (being built)
#include "outbound/outbound.h"
namespace tor {
void RN_ZAGLAVLJE() {}
void RN_KLAUZULA() {}
void RN_NAPOMENA() {}
}  // namespace tor
