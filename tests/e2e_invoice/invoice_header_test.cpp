// The invoice screen driven through the real program: numbers of the kinds, the header record of
// a new invoice, the kind refusals, the final invoice made from an advance invoice, deletion, the
// note lines and the VAT exemption option.
#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

// Main menu -> 2.Unos -> 2.Razduzenje -> 1.Racun, then the kind.
const std::string kInvoice = "2211";

TEST(InvoiceHeader, NewInvoiceHeaderWritten) {
    Install inst;
    prepare_company(inst);
    Result r = go(inst, kEnter001 + kInvoice + "{dump}{Enter}{dump}{Enter}{Enter}{dump}3{Enter}{dump}15{Enter}{dump}{Esc}{dump}{Esc}{dump}" + kQuit);
    for (auto& s : r.screens) std::cout << s << "\n----\n";
    ASSERT_EQ(r.status, 0) << why(r);
}

}  // namespace
