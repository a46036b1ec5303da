// One NTX index file: the Clipper DBFNTX B-tree (1024-byte pages, interior keys are entries),
// with a cursor, updates, the index lock byte and bulk creation by sorting.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include "rt/dbf/field.h"
#include "rt/dbf/keyexpr.h"

namespace rt::dbf {

class NtxFile {
public:
    // Opens an existing index over a table with the given fields; the key expression is read from
    // the header and compiled. Corrupt header or an expression that cannot be evaluated:
    // rt::Error naming the file.
    static std::unique_ptr<NtxFile> open(const std::string& path, const std::vector<FieldDef>& fields,
                                         bool readonly = false);
    // Builds a new index file (replacing any) by sorting all keys first, then writing the pages
    // bottom-up. record(n) gives the raw bytes of record n (1..count).
    static void create(const std::string& path, std::string_view expr, const std::vector<FieldDef>& fields,
                       uint32_t count, const std::function<const char*(uint32_t)>& record,
                       bool unique = false);
    virtual ~NtxFile() = default;

    virtual const KeyExpr& expr() const = 0;
    virtual const std::string& path() const = 0;
    virtual bool unique() const = 0;

    // The index lock byte (shared for reading, exclusive for writing). Taking it re-reads the
    // header and drops cached pages when another process changed the file.
    virtual void lock_read() = 0;
    virtual void lock_write() = 0;
    virtual void unlock() = 0;

    // Cursor. Each returns the record number of the entry now current, or 0 past either end.
    // seek: the first entry whose key is >= key (a shorter key compares as a prefix);
    // found = that entry's key starts with key.
    virtual uint32_t seek(std::string_view key, bool& found) = 0;
    virtual uint32_t first() = 0;
    virtual uint32_t last() = 0;
    virtual uint32_t next() = 0;
    virtual uint32_t prev() = 0;
    // Puts the cursor on the entry (key, recno); false when there is none.
    virtual bool position(std::string_view key, uint32_t recno) = 0;
    // The current entry's key ("" when none).
    virtual std::string current_key() const = 0;

    // Updates (the caller holds the write lock in shared mode).
    virtual void insert(std::string_view key, uint32_t recno) = 0;
    virtual bool remove(std::string_view key, uint32_t recno) = 0;
    virtual void flush() = 0;
    // Checks the whole tree (order, counts, page links); returns "" or a description of the fault.
    virtual std::string check() = 0;
};

}  // namespace rt::dbf
