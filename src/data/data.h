// Data files: the field-definition convention, creation and upgrade of tables, creation of
// indexes, the shared open, the three lock operations with their waiting policy, the one-time
// migration helper, deletion by mask, and the dictionary of every table of the system.
//
// Table names without a directory resolve against DIR (the installation directory or the open
// company's directory); a name with a "/" is used as it is. A name without an extension gets
// ".dbf" (tables) or ".ntx" (indexes).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "rt/dbf/field.h"

namespace tor {

// ---- directories (plain paths ending in "/"; empty = the working directory) ----
inline std::string OSNDIR;       // the installation directory: program-wide tables
inline std::string DIR;          // the default directory for tables: OSNDIR or OSNDIR + company code + "/"
inline std::string M_PORUKE;     // OSNDIR + "mporuke" (set at start-up)
inline std::string BR_STP_STR;   // OSNDIR + "brstpstr" (set at start-up)

// Tables and indexes created since it was last set to 0 (start-up, each company entry).
inline int KRE_DAT = 0;
// Set by BRISIF: files were erased (the index rebuild tests it).
inline bool RE_SET = false;

// ---- field definitions ----
// A table's structure as 14-character definition strings (POLJE01, POLJE02, …):
// positions 1-10 name, 11 type (C N D L), 12-13 width, 14 decimals (blank = 0). For a character
// field a decimals digit d adds 256 * d to the width ("C255" is 1305 wide).
using Polja = std::vector<std::string>;

// One definition string as a field; rt::Error for a malformed definition.
rt::dbf::FieldDef parse_polje(std::string_view def);
std::vector<rt::dbf::FieldDef> parse_polja(const Polja& defs);

// The path of a table file: DIR in front when the name has no directory, ".dbf" added when the
// name has no extension, found case-insensitively (a new file is named in lower case).
std::string dbf_path(const std::string& name);
// The same for an index file (".ntx").
std::string ntx_path(const std::string& name);

// ---- creation ----
// Creates the table with exactly these fields (replacing any file of that name), showing the
// progress box. Always true.
bool MAKEDBF(const std::string& file, const Polja& defs);
// Creates a missing table; upgrades one with fewer fields than defs (warning shown with HELPBOX;
// the old file stays as name + ".K" + field count); leaves one with as many fields or more alone.
// A table that cannot be opened exclusively for the upgrade (in use elsewhere) is left for the
// next time. Returns false only in that case.
bool CRTDBF(const std::string& name, const Polja& defs);
// Creates the index file over the table when it does not exist (an existing file is kept whatever
// its expression). Uses the current work area and closes it afterwards. False when the table
// could not be opened (held exclusively elsewhere): the index is then created at the next call.
bool MAKENTX(const std::string& table, const std::string& key, const std::string& index_file);
// The progress box of table and index creation (increments KRE_DAT).
void kre_dat_box(bool index, const std::string& file_name);

// ---- opening ----
// Opens the table shared (or exclusive) in the current work area; false when another workstation
// holds it in a conflicting way.
bool NETUSE(const std::string& table, const std::string& alias = "", bool exclusive = false);
// NETUSE in the current area followed by all the table's indexes from the dictionary, the first
// one controlling the order. A table unknown to the dictionary is opened without indexes.
bool open_table(const std::string& table, const std::string& alias = "", bool exclusive = false);

// ---- locks (current work area) ----
// wait: 5 (default) = 5 seconds, 0 = without limit, n = n seconds. After each failed attempt a
// pause of half a second (ended early by a key, which stays in the buffer) counts half a second
// off. No message on failure; while waiting without limit a notice appears on row 24 after two
// seconds and goes away when the lock is obtained.
bool REC_LOCK(int wait = 5);
bool FIL_LOCK(int wait = 5);
// Appends a blank record and locks it (record locks held before in the area are released).
bool ADD_REC(int wait = 5);
// The record of a key that must exist once (a new code of a register). Under the append lock the
// key is sought in the controlling index: when another workstation stored it meanwhile, that record
// becomes current (FOUND, not locked); otherwise a blank record is appended, fill() writes its key
// fields and they are committed before the lock is released, so the next workstation's check finds
// them (ADDED, the record stays locked). FAILED: the append lock was not obtained, nothing written.
enum class KeyedAdd { FAILED, FOUND, ADDED };
KeyedAdd ADD_REC_KEY(const std::string& key, const std::function<void()>& fill, int wait = 5);
// Attempts made by the last REC_LOCK / FIL_LOCK / ADD_REC.
int last_lock_attempts();
// Called after every failed attempt (for the tests of the waiting policy); empty = none.
void set_lock_wait_observer(std::function<void(int attempt)> observer);
inline const std::string LOCK_NOTICE = "Zapis je zauzet na drugoj radnoj stanici, cekam...";

// ---- migration and deletion ----
// Moves an outdated table aside (fill false: when the table exists, the copy does not, and the
// table has fewer than exact fields) or refills its empty successor from the copy (fill true).
void KOPIRAJ(const std::string& table, const std::string& copy, bool fill, int exact = 999);
// Erases every file in the directory matching the DOS mask; sets RE_SET. True when every
// matching file was erased.
bool BRISIF(const std::string& dir, const std::string& mask);

// ---- the dictionary ----
struct IndexDef {
    std::string file;  // index file name (without ".ntx")
    std::string key;   // key expression over the table's fields
};
enum class Where { COMPANY, PROGRAM };
struct TableDef {
    std::string name;      // table name as listed (files are created in lower case)
    Where where;           // company directory or installation directory
    bool upgrade;          // CRTDBF (created and upgraded) or only created when missing
    Polja polja;           // field definitions in order
    std::vector<IndexDef> indexes;
};
// Company tables in the order INITDAT processes them (60).
const std::vector<TableDef>& company_tables();
// Program-wide tables of the installation directory: the setup table and the notes table
// (created by their own procedures), the company registers and the tax-advance tables (start-up),
// "mporuke" and "brstpstr" (INITDAT).
const std::vector<TableDef>& program_tables();
// A table's definition by name (case-insensitive; a directory and extension are ignored);
// nullptr when the dictionary does not know it.
const TableDef* table_def(std::string_view name);

// Creates the program-wide tables of the installation directory at start-up: "mdk_pro", "mdk",
// "ur147p", "apid", "apidvirm", "apidras", "strukras" with their indexes; fills an empty
// "strukras" with its 36 structure codes. Leaves all tables closed.
void INITOSN();
// Creates every missing company table and index in DIR, upgrading tables whose definition gained
// fields; after "nomen" the program-wide "mporuke" and "brstpstr" when missing. Leaves all
// tables closed.
void INITDAT();

}  // namespace tor
