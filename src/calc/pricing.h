// Price, rebate, VAT and rounding helpers: the validation hooks the document screens hang on
// their input fields (true lets the cursor move on, false keeps it in the field), the rounding
// correction of a costing, the closed-period guard on document dates, the date proposals, the
// VAT rate change of the goods register and the Up key that goes back from a new item row to the
// item list.
//
// The hooks work on the input variables of the screen that is open. Each screen owns one of the
// small structs below and hands it to the hooks of its fields:
//
//   CostingItemVars it;  CostingHeaderVars h;
//   gl.push_back(rt::get(it.R, 56, it.WRABAT, BROJ62).valid([&] { return RABATK(it); }));
#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "rt/fmt/date.h"
#include "rt/term/keys.h"

namespace tor {

// ---- the screen variables the hooks read and write ----

// One item of a costing or of a finished-product receipt.
struct CostingItemVars {
    double WKOLICINA = 0;       // quantity
    double WFAKCEN = 0;         // purchase price per unit after rebate, without VAT (3 decimals)
    double WRABAT = 0;          // rebate in %
    double WRUCP = 0;           // margin in % over the purchase price
    double WFCR = 0;            // selling price without VAT (intermediate)
    double WPRODCEN = 0;        // selling price per unit including VAT
    double WPOREZ = 0;          // VAT rate of the item
    double WPSPOR = 0;          // VAT share inside the gross price
    bool ZBIRNIRABAT = false;   // the same rebate applies to the whole document
    bool PITAO_RABAT = false;   // that question was already asked in this document
    int R = 13;                 // screen row of the item being entered
    int RB = 1;                 // its line number
};

// The header of a costing or of a finished-product receipt.
struct CostingHeaderVars {
    std::string WBRKALK;        // number, six characters
    double WTROSAK = 0;         // dependent costs
    double WPDV = 0;            // input VAT (buy-off: the flat-rate compensation)
    double WPDVPS = 0;          // input VAT at the lower rate (split by rate)
    double WPDVOS = 0;          // input VAT at the general rate (split by rate)
    double WZAPLA = 0;          // amount to pay stated on the supplier's invoice
    double KONZAPL = 0;         // control total: costs and VAT plus quantity x purchase price
    bool NASTAVAK = false;      // continuing an existing document
    bool GD_IZMENA = false;     // item entry went over into the item list
};

// One item of an invoice (also of the commission warehouse).
struct InvoiceItemVars {
    double WKOLICINA = 0;       // quantity
    double WPRODCEN = 0;        // price per unit including VAT, before rebate
    double WRABAT = 0;          // rebate in % of the price
    double WNPCENA = 0;         // net (rebated) price per unit including VAT
    double WPSPOR = 0;          // VAT share of the item's group
    int R = 13;
    int RB = 1;
};

// The header of an invoice.
struct InvoiceHeaderVars {
    std::string WBRFAK;         // number, six characters
    rt::Date WDATPRO;           // date of supply
    double WVALUTA = 0;         // days of credit
    rt::Date WDATVAL;           // due date
    double KONZAPL = 0;         // running total
    bool NASTAVAK = false;
    bool GD_IZMENA = false;
};

// The header of a commission warehouse receipt or issue.
struct CommissionHeaderVars {
    std::string WBRKOMMAG;      // number, six characters
    double KONZAPL = 0;
    bool NASTAVAK = false;
    bool GD_IZMENA = false;
};

// The record of the goods register being edited.
struct GoodsEntryVars {
    std::string WJMERE;         // unit of measure, three characters
    double WTARGR = 0;          // tariff group as a number (20 = "020")
    double WNABCEN = 0;         // purchase price
    double WPRODCEN = 0;        // selling price including VAT
};

// An expenditure entry.
struct ExpenditureVars {
    double WTROSAK = 0, WPDV = 0, WPDVPS = 0, WPDVOS = 0;
    double WIZNOS = 0;          // amount to pay
};

// A VAT-base entry (received or issued).
struct VatBaseVars {
    double WOSNOVICA = 0, WPDV = 0;
    double WIZNOS = 0;          // amount to pay
};

// An internal VAT calculation for construction.
struct InternalVatVars {
    double WOOSNOV = 0;         // base
    double WOSTOPA = 0;         // rate
    double WOPDV = 0;           // calculated VAT
    double WOZNAKA = 1;         // kind: 1 with, 2 without the right to deduct input VAT
};

// ---- item rates ----
// The rate and the share of a tariff group as an item takes them: both 0 when the company is not
// a VAT payer (WPDVKOM) or for a representation costing. False (both 0) for a group outside the
// rate table.
bool item_rates(std::string_view targr, bool representation, double& porez_out, double& pspor_out);
// The flat-rate compensation rate of a buy-off costing: POREZ005 before 01.10.2012, POREZ008
// from that day on.
double OTKUP_STOPA(const rt::Date& datkal);

// ---- costing item hooks ----
// Rebate field: folds the rebate into the purchase price; asks once per document whether the
// rebate holds for the whole document. Shows the price at (R,45) and the rebate at (R,56). True.
bool RABATK(CostingItemVars& v);
// Margin field: a non-zero margin sets the selling price from purchase price, margin and rate;
// a zero margin keeps a non-zero selling price. True.
bool RAC_PC(CostingItemVars& v);
// Selling-price field: an empty price is filled as RAC_PC does and the cursor stays (false).
bool NULA_PC(CostingItemVars& v);
// The margin every costing stores with an item, computed back from the selling price.
void RUC_IZ_CENE(CostingItemVars& v);

// ---- quantity hook ----
// Quantity field of a costing: zero refused, and the sign the costing variant demands (cost,
// representation, form KR-1 of a commission company) enforced, each with its message.
bool KONTR_KOL(const CostingItemVars& v);
// Quantity field of screens without costing variants (invoices, commission warehouse): only
// zero is refused.
bool KONTR_KOL(double WKOLICINA);

// ---- rounding correction of a costing ----
// Spreads a small difference between the amount to pay and the control total over the purchase
// prices of the costing's items ("kalk", in the order of "kalk1"), with the user's consent.
void ZAOKRUZI(CostingHeaderVars& h);

// ---- invoice hooks ----
bool RAC_N_RAB(InvoiceItemVars& v);    // rebate from a typed net price. True.
bool RAC_N_PC(InvoiceItemVars& v);     // net price from the rebate. True.
bool RAC_DATV(InvoiceHeaderVars& v);   // due date = date of supply + days, shown at (8,14). True.

// ---- register and entry hooks ----
// Sale price of the goods register (commission company, empty purchase price): the purchase
// price proposed from the sale price less VAT and the commission margin, shown at (18,33). True.
bool RAC_NABCEN(GoodsEntryVars& v);
// Unit field: PgDn gives "KG ", an empty unit "KOM"; the value is shown at (row, col) and the
// cursor stays (false). Any other unit: true.
bool JEME(std::string& WJMERE, int row = 16, int col = 33);
bool TRPDV_IZN(ExpenditureVars& v);    // amount to pay = costs + VAT. True.
bool OOPDV_IZN(VatBaseVars& v);        // amount to pay = base + VAT, shown at (9,62). True.
bool OPDVGR(InternalVatVars& v);       // calculated VAT; input base and VAT at (10,29), (10,56). True.

// ---- dates ----
// Guard on a document date against a VAT period already settled (file "lastdate.pdv" in the
// company directory): a date up to the settled one needs the D-then-A confirmation.
bool LASTPDVDATE(const rt::Date& d);
// The last day of the month before the date's month (31.12 of the previous year in January).
rt::Date PERIOD(const rt::Date& d);
// The last stocktake date before the date: the end of the previous quarter of the stocktake year.
rt::Date DATKUM(const rt::Date& d);

// ---- the VAT rate change of the goods register (service menu) ----
void PROMENIPDV();

// ---- Up from a new item row back into the item list ----
// What the handler needs of the document screen: the item table and its number field, the
// document number, the row and line number of the new item, the flags, and the item editor.
struct ItemListReturn {
    std::string alias;              // item table ("kalk", "fakt", "kommag")
    std::string number_field;       // its document number field ("BRKALK", "BRFAK", "BRKOMMAG")
    const std::string* number = nullptr;  // the document number (read when the key comes)
    int* R = nullptr;
    int* RB = nullptr;
    bool* GD_IZMENA = nullptr;
    const bool* NASTAVAK = nullptr;
    std::function<void()> editor;   // IKALKULACIJE, IRACUN, IKOMISIONIMAGACIN, IGOTOVP
};
// The handler: unbinds Up; for Up on a new item row below the first one ends the READ, steps R
// and RB back, sets GD_IZMENA, positions the item table on the document's last item and runs the
// item editor. Always true.
bool return_to_items(const ItemListReturn& r);
// The hot-key handler of return_to_items, for rt::SETKEY(rt::K::UP, …).
rt::HotKey item_return_key(ItemListReturn r);
// Up bound to the handler for the duration of the first field of a new item row; the binding
// Up had before comes back when the scope ends.
class ItemReturnKey {
public:
    explicit ItemReturnKey(ItemListReturn r);
    ~ItemReturnKey();
    ItemReturnKey(const ItemReturnKey&) = delete;
    ItemReturnKey& operator=(const ItemReturnKey&) = delete;
private:
    rt::HotKey previous_;
};

ItemListReturn GDIK(CostingHeaderVars& h, CostingItemVars& it, std::function<void()> IKALKULACIJE);
ItemListReturn GDIR(InvoiceHeaderVars& h, InvoiceItemVars& it, std::function<void()> IRACUN,
                    std::string alias = "fakt");
ItemListReturn GDIKM(CommissionHeaderVars& h, InvoiceItemVars& it, std::function<void()> IKOMISIONIMAGACIN,
                     std::string alias = "kommag");
ItemListReturn GDIGP(CostingHeaderVars& h, CostingItemVars& it, std::function<void()> IGOTOVP);

}  // namespace tor
