// Work areas over dBASE III tables with NTX indexes, file- and lock-compatible with Clipper's
// DBFNTX: the commands of the xBase runtime as C++ calls.
//
//   rt::dbf::select_free();                       // SELECT 0
//   if (!rt::dbf::use("mdart", "", false)) ...    // USE mdart SHARED (false: held exclusively)
//   auto& a = rt::dbf::current();
//   a.set_index({"mdart", "mdart1"});
//   if (a.seek("000001")) a.put("NAZIV", std::string("…"));
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <variant>
#include <utility>
#include <vector>
#include "rt/dbf/field.h"
#include "rt/fmt/date.h"
#include "rt/fmt/error.h"

namespace rt::dbf {

using Value = std::variant<std::string, double, Date, bool>;

class NtxFile;

class WorkArea {
public:
    WorkArea();
    ~WorkArea();
    WorkArea(const WorkArea&) = delete;
    WorkArea& operator=(const WorkArea&) = delete;

    // ---- open / close ----
    // Opens the table (".dbf" added when the name has no extension; found case-insensitively)
    // shared or exclusive, closing what was open here. False when another process holds it in a
    // conflicting way (the network-error case); rt::Error for a missing or corrupt file.
    bool open(const std::string& path, const std::string& alias = "", bool exclusive = false);
    void close();
    bool used() const;
    const std::string& alias() const;
    const std::string& path() const;
    bool exclusive() const;

    // ---- indexes ----
    // SET INDEX TO: opens the index files (".ntx" added when there is no extension); the first
    // controls the order. An empty list closes them.
    void set_index(const std::vector<std::string>& ntx_paths);
    void add_index(const std::string& ntx_path);
    // 0 = natural (record-number) order, 1.. = the index in the order opened. The record stays.
    void set_order(int n);
    int order() const;
    int index_count() const;
    std::string index_key(int n) const;   // the key expression text of index n (1-based)
    // INDEX ON expr TO path: builds (replacing any file) and opens it as the only index.
    void create_index(const std::string& expr, const std::string& ntx_path, bool unique = false);

    // ---- navigation (filters and the deleted-records setting apply) ----
    void go_top();
    void go_bottom();
    void skip(long n = 1);
    void go_to(uint32_t recno);          // GOTO: any record, filters do not apply
    // SEEK in the controlling index: exact or soft; a shorter key matches as a prefix.
    // Positions on the first match (found), else at EOF, or (soft) on the next greater key.
    bool seek(const std::string& key, bool soft = false);
    bool seek(double number, bool soft = false);   // numeric key
    bool seek(const Date& d, bool soft = false);   // date key
    bool found() const;
    bool eof() const;
    bool bof() const;
    uint32_t recno() const;              // RECNO(): at EOF, reccount() + 1
    uint32_t reccount() const;           // physical count, deleted records included
    bool deleted() const;

    // ---- fields of the current record ----
    int field_count() const;
    const std::vector<FieldDef>& fields() const;
    int field_index(const std::string& name) const;   // -1 when absent
    Value get(const std::string& name) const;
    Value get(int field) const;
    std::string get_str(const std::string& name) const;  // C field as stored (padded)
    double get_num(const std::string& name) const;
    Date get_date(const std::string& name) const;
    bool get_bool(const std::string& name) const;
    // REPLACE: strings padded / cut to the width, numbers rounded to the decimals; a number too
    // wide for its field throws rt::Error (never stored as asterisks or cut). Keys of every open
    // index are kept current. A type mismatch throws rt::Error.
    void put(const std::string& name, const Value& v);
    void put(int field, const Value& v);
    void put(const std::string& name, const char* s) { put(name, Value(std::string(s))); }
    void put(const std::string& name, int v) { put(name, Value(static_cast<double>(v))); }
    // Without these, a double or bool argument would convert to int and lose its value.
    void put(const std::string& name, bool v) { put(name, Value(v)); }
    void put(const std::string& name, const Date& v) { put(name, Value(v)); }
    void put(const std::string& name, const std::string& v) { put(name, Value(v)); }
    template <class T>
        requires(std::is_arithmetic_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, int>)
    void put(const std::string& name, T v) { put(name, Value(static_cast<double>(v))); }

    // ---- changes ----
    // APPEND BLANK: under the append lock, adds a blank record, which is then locked (record
    // locks held before in this area are released). False when the append lock was not obtained
    // in one attempt.
    bool append_blank();
    // The append lock held across a check and the append that depends on it (a new code looked
    // up and then appended): while it is held no other process appends, append_blank keeps it,
    // and append_unlock releases it. One attempt; true at once for a table held exclusively.
    bool append_lock();
    void append_unlock();
    void delete_record();
    void recall();
    bool rlock();                // one attempt at locking the current record
    bool rlock(uint32_t recno);
    bool flock();                // one attempt at locking the whole table
    void unlock();               // releases every lock of this area
    bool is_locked(uint32_t recno) const;
    void commit();               // writes buffers and header to disk
    void zap();                  // empties the table and its open indexes (exclusive)
    // APPEND FROM: every record of the other table, fields matched by name, deleted marks carried.
    void append_from(const std::string& path);

    // ---- filters and relations ----
    void set_filter(std::function<bool()> cond, std::string text = "");
    void clear_filter();
    const std::string& filter_text() const;
    const std::function<bool()>& filter() const;   // the condition (empty without a filter)
    // SET RELATION TO key INTO child: after every move here the child seeks key().
    void set_relation(const std::string& child_alias, std::function<std::string()> key, std::string text = "");
    void clear_relations();
    // The relations set here: (key text, child alias), in the order they were set.
    std::vector<std::pair<std::string, std::string>> relations() const;

    struct Impl;
private:
    friend WorkArea& area(int n);
    std::unique_ptr<Impl> impl_;
};

// ---- work areas (numbered from 1, with aliases) ----
WorkArea& current();
int current_number();
WorkArea& area(int n);
WorkArea& area(const std::string& alias);        // rt::Error when no area has the alias
bool alias_used(const std::string& alias);
void select(int n);
void select(const std::string& alias);
int select_free();                               // SELECT 0: the first unused area; returns it
// USE in the current area; the alias defaults to the file name without path and extension.
bool use(const std::string& path, const std::string& alias = "", bool exclusive = false);
void close_all();
// Areas in use, for the table inspector.
std::vector<int> used_areas();

// A nested scope of work areas: inside it, areas are a fresh set (a hot-key procedure opens and
// closes its own tables); on leaving, its tables are closed and the caller's areas and selection
// come back untouched.
class AreaScope {
public:
    AreaScope();
    ~AreaScope();
    AreaScope(const AreaScope&) = delete;
    AreaScope& operator=(const AreaScope&) = delete;
};

// SET DELETED: true hides deleted records (the default). Returns the previous setting.
bool set_deleted(bool hide);
bool deleted_hidden();

// ---- files ----
// CREATE: a new table with exactly these fields (replacing any file). Offsets are computed.
void create_table(const std::string& path, const std::vector<FieldDef>& fields);
// The fields of a table file without opening it as a work area.
std::vector<FieldDef> table_fields(const std::string& path);
// Copies a table file byte for byte.
void copy_table_file(const std::string& from, const std::string& to);

// The lock scheme (Clipper DBFNTX): byte offsets locked with fcntl on the files.
constexpr uint64_t LOCK_BASE = 1000000000ULL;        // record n: LOCK_BASE + n; append: LOCK_BASE
constexpr uint64_t FILE_LOCK_START = 1000000001ULL;  // table lock: LOCK_BASE bytes from here
constexpr uint64_t FILE_LOCK_LEN = 1000000000ULL;

}  // namespace rt::dbf
