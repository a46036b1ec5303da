// (being built)
#include "outbound/outbound.h"
namespace tor {
InvoiceKind invoice_kind() { return InvoiceKind::INVOICE; }
std::string invoice_header_table(InvoiceKind) { return "ufakt"; }
std::string invoice_item_table(InvoiceKind) { return "fakt"; }
bool open_invoice_tables(InvoiceKind) { return false; }
void RACUN() {}
bool invoice_header_edit(InvoiceScreen&) { return false; }
}  // namespace tor
