// (being built)
#include "outbound/outbound.h"
namespace tor {
void invoice_items(InvoiceScreen&) {}
void IRACUN(InvoiceScreen&) {}
}  // namespace tor
