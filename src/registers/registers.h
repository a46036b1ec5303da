// The master-data registers: goods, partners and obligations. One screen serves entry, change and
// deletion: the user types a code; an unknown code starts a new record, a known one offers a new
// record, a change or a deletion. The document screens call the same procedures for one record.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace tor {

// ---- goods register ("mdart") ----
// From the menu: opens the register and loops over codes until the code field is left with Esc
// or with code 0.
void ARTIKLI();
// From a document's item line, for one record: the register open under "mdart" is used (opened
// and closed here when it is not). On return WSIFRA holds the code saved; after Esc it keeps what
// the code field held. Entered with a code and PgUp as the last key, it goes straight into the
// change of that article.
void ARTIKLI(double& WSIFRA);

// ---- partners and obligations ("mddob"), switched by PART_OB ----
// Partners have codes 1-8999, obligations 9001-9999. While the screen is open the table shows only
// the register being worked on (a document's own work area gets its filter back afterwards).
void PARTNERI();
// For one record from a document (the table open under "mddob", or opened here): returns the
// saved code in WSIFRA.
void PARTNERI(double& WSIFRA);
// The VAT number field's validation: "NIJE PDV obveznik" (empty number) or "PDV obveznik" on
// row 22 from column 45. Accepts every value.
bool PEPDV_DN(const std::string& WPEPDV);

// ---- shared by the registers ----
// The code PgDn proposes in the current work area (controlling index on the code, filter
// applied), as a number: the highest code present + 1 (from when there is none), or with
// first_free, or when the next code would lie past to, the smallest code of from..to not present.
// 0 when every code of the range is taken.
double propose_code(int width, double from, double to, bool first_free);
// Puts a proposal into the code; 0 (every code taken): "Nema slobodne sifre u registru !" and the
// code stays.
void propose(double& code, double proposal);
// What the registers say when a record could not be locked for saving.
inline const char* const NOT_SAVED = "Podaci nisu upisani: zapis je zauzet na drugoj radnoj stanici !";
// The record of the code in the current work area, appended when no workstation has stored it yet
// (the check and the append under one lock, so two workstations saving the same new code make one
// record), then locked. False when a lock was not obtained: nothing is stored.
bool lock_code_record(const std::string& code);
// The options box of a found code with its top row at top: 0 Esc, 1 "Novi", 2 "Izmena",
// 3 "Brisanje". The screen under it is given back.
int MOGUCNOSTI(int top);
// "Sigurno Brisete (D/N)?"; on D the current record is marked deleted under a table lock.
void delete_asked();
// Runs body with the register table selected: the caller's work area of that name when it is open
// (in code order while body runs; its order and filter come back afterwards), otherwise the table
// opened here (with its indexes) and closed afterwards. The caller's screen, colour and work area
// come back. A table that cannot be opened: busy shown, body not run.
void with_register_table(const std::string& table, std::string_view busy, const std::function<void()>& body);

// ---- the partner and goods code fields of the documents ----
// A document's partner field (supplier of a costing, buyer of an invoice): the code read at
// (row, col) with picture "9999" and the partner lookup on Ctrl+Enter, over the document's "mddob"
// work area (filtered to partners, codes below 9000). PgDn proposes a new code (PSLSIFRA: the first
// free one, else the last + 1) and presses Enter twice, which opens the partner register on it;
// PgUp, 0 or a code not in the register opens the partner register (PART_OB true) for that code,
// and the field is read again with the code chosen there. Returns false on Esc; true with "mddob"
// on the partner's record.
bool partner_code_field(int row, int col, double& code);
// One read of a document line's goods code at (row, col), picture "999999", goods lookup on
// Ctrl+Enter, over the document's "mdart" work area:
//   FOUND: a code of the register; "mdart" on its record.
//   ESC:   Esc pressed.
//   AGAIN: PgDn proposed a new code (SL_SIFRA: the first free supplier x 1000 + n, n 1-999;
//          PSLSIFRA: the first free code 1-999999; else the last + 1) and pushed two Enter keys,
//          or PgUp / 0 / an unknown code opened the goods register (ARTIKLI(code)): the caller
//          reads the code again (code holds what the register gave back).
// When a hot key ends the read and takes over (Up into the item list), the field returns ESC
// whatever key the list was left with; the caller tells the two apart by its own flag (GD_IZMENA).
enum class CodeRead { FOUND, ESC, AGAIN };
CodeRead goods_code_field(int row, int col, double& code, double supplier = 0);

}  // namespace tor
