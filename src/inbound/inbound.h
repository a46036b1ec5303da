// Inbound documents: the purchase costing. The costing screen (header, action menu, deletion, the
// menu at the end of entry), its item rows with the price build-up and the item list, the costing
// print with the postings into the trade book and the expense and margin register, the dispatch
// note, the buy-off receipt, the commission forms and the transfer of a costing into another
// company of the installation.
//
// The menu sets WOTKUP / KAL_TROS / KAL_REPR (and KALK_FORM for activity "005") and calls
// KALKULACIJE. The header screen keeps the tables "ukalk", "kalk", "mdart" and "mddob" open while
// a costing is worked on; the print procedures open and close what they read themselves.
#pragma once
#include <string>

#include "calc/pricing.h"
#include "rt/fmt/date.h"

namespace rt::dbf {
class WorkArea;
}

namespace tor {

// One stored item of a costing as "kalk" holds it.
struct CostingItemRecord {
    std::string sifart, nazart, jmere, targr;
    double kolicina = 0, fakcen = 0, rucp = 0, pspor = 0, porez = 0, prodcen = 0;
};
// The item the work area "kalk" stands on.
CostingItemRecord read_costing_item(const rt::dbf::WorkArea& k);

// The memory variables of the open costing screen, shared by the header, the items and the list.
struct CostingScreen {
    CostingHeaderVars h;        // WBRKALK (six characters), WTROSAK, WPDV, WPDVPS, WPDVOS, WZAPLA,
                                // KONZAPL, NASTAVAK, GD_IZMENA
    CostingItemVars it;         // the item row being entered, R, RB and the rebate memory
    rt::Date WDATKAL;           // costing (booking) date
    rt::Date WDATDOK;           // date of the supplier's document
    rt::Date WDATVAL;           // due date
    double WDOBAV = 0;          // supplier code
    std::string WNAZDOB;        // supplier name (30)
    std::string WMESDOB;        // supplier place (20)
    std::string WPEPDVDOB;      // supplier's VAT number; empty: not a VAT payer
    std::string WBRDOK;         // supplier's document number (10)
    double KONOTP = 0;          // selling value: quantity x selling price over the items
};

// ---- the costing screen (header) ----
// From the receipts menu: the whole costing screen until the user leaves it.
void KALKULACIJE();
// The header part of IKALKULACIJE (change of an existing costing): date, supplier, document
// number and dates, input VAT and amount to pay, with the same keys and checks as a new costing;
// the header record rewritten. False when left with Esc (nothing rewritten).
bool costing_header_edit(CostingScreen& s);

// ---- the item rows (lower half of the screen) ----
// Item entry of a new or continued costing (s.h.NASTAVAK: the stored items are listed first).
// Returns when entry ends with Esc, after the rounding correction; the rebate memory is cleared.
void costing_items(CostingScreen& s);
// Header edit (unless entered from item entry, s.h.GD_IZMENA) and the browse of the stored items
// with change (IKENT) and deletion.
void IKALKULACIJE(CostingScreen& s);

// ---- print and transfer (tables opened and closed here) ----
// The costing print with its postings ("rashod", "tknjiga"), the amount check, and the forms that
// follow it (commission forms KR / KR-1 for activity "005", the buy-off receipt).
void STPKALK(const std::string& brkalk);
// The dispatch note of a costing with a negative total.
void STPOTP(const std::string& brkalk);
// The buy-off receipt of a buy-off costing.
void OTKUP_PRIZ(const std::string& brkalk);
// The transfer of the costing into another company of the installation. negative: the costing's
// control total or selling value is negative.
void PRENOSKALK(const std::string& brkalk, bool negative);

// The key of a costing's postings in "rashod" and "tknjiga".
inline std::string costing_posting_key(const std::string& brkalk) { return "K" + brkalk; }

}  // namespace tor
