// Outbound documents: the sales invoice in its four kinds (invoice, pro-forma, advance, final
// invoice after an advance), its item rows, the invoice print with the amount in words and the
// invoice's unique identifier, and the settings screens of the invoice texts.
//
// The menu sets PRED_RAC / A_RAC / K_RAC and calls RACUN. Pro-forma and advance tables are opened
// under the aliases "ufakt" and "fakt", so the header, the items and the print work on whichever
// pair is open.
#pragma once
#include <string>
#include <string_view>

#include "calc/pricing.h"
#include "rt/fmt/date.h"

namespace tor {

enum class InvoiceKind { INVOICE, PROFORMA, ADVANCE, FINAL };
// The kind the flags PRED_RAC, A_RAC, K_RAC select.
InvoiceKind invoice_kind();
// The header and item tables of a kind ("ufakt"/"fakt", "upfakt"/"pfakt", "uafakt"/"afakt").
std::string invoice_header_table(InvoiceKind k);
std::string invoice_item_table(InvoiceKind k);
// Opens the kind's header and item tables (with their indexes) under the aliases "ufakt" and
// "fakt", and "mdart" and "mddob". False when one could not be opened (nothing left open).
bool open_invoice_tables(InvoiceKind k);

// The memory variables of the open invoice screen, shared by the header, the items and the list.
struct InvoiceScreen {
    InvoiceHeaderVars h;        // WBRFAK (six characters), WDATPRO, WVALUTA, WDATVAL, KONZAPL,
                                // NASTAVAK, GD_IZMENA
    InvoiceItemVars it;         // the item row being entered, R, RB
    rt::Date WDATFAK;           // invoice date
    std::string WKBRFAK;        // number of the final invoice being made
    double WKUPAC = 0;          // buyer code
    std::string WNAZKUP, WNAZKUP2, WMESKUP, WPTTKUP, WPAKKUP, WULKUP, WULKUP2, WPIBKUP;
    double WAVANS = 0, WAVANS000 = 0, WAVANSPS = 0, WAVANSOS = 0;
    double WZAPLA = 0;
};

// ---- the invoice screen (header) ----
void RACUN();
// The header part of IRACUN: dates, buyer, days of credit, and for a final invoice the advances
// paid; the header record rewritten. False when left with Esc.
bool invoice_header_edit(InvoiceScreen& s);

// ---- the item rows ----
// Item entry of a new or continued document (s.h.NASTAVAK: the stored items are listed first).
// Returns when entry ends with Esc; the rebate memory is cleared.
void invoice_items(InvoiceScreen& s);
// Header edit (unless entered from item entry) and the browse of the stored items with change
// (IRENT) and deletion.
void IRACUN(InvoiceScreen& s);

// ---- the print (tables of the current kind opened and closed here) ----
void STPRAC(const std::string& brfak);
// The amount in words: "HiljaduDvestotineTridesetCetiri dinara i 50/100".
std::string SLOVIMA(double amount, bool paras);
// The singular "dinar" goes with a whole amount ending in 1 but not in 11 (1, 21, 101, 1001);
// every other amount takes "dinara" (11, 1000, 1,000,000).
bool singular_dinar(double whole);
// The invoice's unique identifier: three base-36 groups joined with "-".
std::string EKOBAJA(const rt::Date& datfak, std::string_view pib, std::string_view brfak, double amount);

// ---- the settings screens of the invoice texts ("8.Forma Racuna") ----
void RN_ZAGLAVLJE();
void RN_KLAUZULA();
void RN_NAPOMENA();

// The key of an invoice's posting in "tknjiga".
inline std::string invoice_posting_key(const std::string& brfak) { return "R" + brfak; }
// Wholesale ("002") and the service trades ("009") keep their sales in the KEP book invoice by
// invoice; the other activities post their daily turnover instead.
bool invoices_post_to_kep();

}  // namespace tor
