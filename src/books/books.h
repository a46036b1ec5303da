// The KEP book (goods turnover at sale value): its print for a period or its last pages, the
// control that compares the book with the documents that post into it, and the two repairs.
//
// The rows of "tknjiga" are written by the documents themselves; the letter in front of VRDOK
// tells the kind: "K" costing (BRKALK, debit), "Z" price-change record (BRZAP, debit), "R" invoice
// of activities "002" and "009" (BRFAK, credit), "P" daily turnover of the other activities
// (running number BROJS left-aligned, credit and paid-in).
#pragma once
#include <string>

namespace tor {

// Rows of the book per printed page (print rows 13 to 61).
inline constexpr int KEP_PAGE_ROWS = 49;

// "1.Obrazac KEP": asks the period and prints the book (Enter), only its last page (PgDn) or its
// last NSTR pages (PgUp), with the carried totals "DONOS:" / "SVEGA ZA PRENOS:".
void KTKNJIGA();
// The page heading of the book (page counter STR plus 1).
void ZKTKNJIGA();
// Service check "4.Kontrola KEP/Obrazac PK-1": compares the book with the costings, price-change
// records, invoices or daily turnover, lists what differs and offers the repairs.
void KONTKPK1();
// Rebuilds the daily-turnover rows of the book from "prihod"; logs the rows it had to add in
// "korek_tk.log" of the company directory.
void KOREKTK();
// Deletes book rows whose document does not exist and the second of two rows with one key.
void KOREKTK2();

}  // namespace tor
