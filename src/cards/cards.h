// Goods cards and stock: the card of one article over a period, the stock list of a code range
// (with its reconciliation against the KEP book), the three-column stock print, the check of the
// register's sale prices against the documents, and the recount of the stock into the register.
//
// The movements are read from the document tables: costing items "kalk" (in, by the costing
// date of "ukalk"), invoice items "fakt" (out, by the invoice date of "ufakt"; left out while
// "skipfakt.vlt" lies in the company directory), write-off items "stzart" (out) and price-change
// records "zapis" (no quantity).
#pragma once
#include <string>

#include "rt/fmt/date.h"

namespace tor {

// The code range of the stock list and the three-column print (KARTDOBARA with code
// 0 reads them; the period is WDATOD..WDATDO).
inline double WSIF_OD = 0, WSIF_DO = 999999;

// "1.Kartica Dobara": asks the article code and the period; a code goes to the card (KARTVELE for
// activity "002", KARTMALO for the others), code 0 to the stock list or the recount.
void KARTDOBARA();
// The card layouts of the article chosen in KARTDOBARA (retail and wholesale) and their heading.
void KARTMALO();
void KARTVELE();
void ZSTPSTZ();

// The stock list of the code range and period chosen in KARTDOBARA; with DAJ_ZBIR set, the list
// of articles whose register price differs from their latest document price (every code, from
// 1 January of DDAN's year to DDAN). Expects the stock tables open (open_stock_tables).
void ZBIRSTZART();
void ZZBIRSTZART();
// The stock in three columns (printer or file only) and its heading.
void STPZBIRSTZART();
void ZSTPZBIRSTZART();

// Writes every non-service article's quantity for WDATOD..WDATDO into POPKOL of the goods
// register (records that cannot be locked are left). Expects the stock tables open; closes all.
void ZBIRUPOPIS();

// Opens, each in a new work area: "ukalk" (ukalk), "kalk" (kalk2) related to "ukalk" on BRKALK,
// "ufakt" (ufakt), "fakt" (fakt1) related to "ufakt" on BRFAK, "stzart" (stzart, stzart1),
// "zapis" (zapis3), "tknjiga" (tknjiga) and "mdart" (mdart, mdart1), which is left selected.
// False (and whatever was opened closed again) when a table is held elsewhere.
bool open_stock_tables();

// The quantity of one article for a period from the open stock tables: costing items in, invoice
// items (unless "skipfakt.vlt") and write-off items out, each by its document date, both ends
// included.
double article_period_quantity(const std::string& code, rt::Date from, rt::Date to);

// The recount the costing and invoice screens run on entry when the stock is shown and computed
// (S_ZALIHA and S_RACZAL): from 1 January of DDAN's year to DDAN, in work areas of its own, the
// screen saved and restored, the caller's period left as it was.
void recount_stock_on_entry();

}  // namespace tor
