// The .dbf file itself: header, field descriptors, records, the EOF byte and the byte-range
// locks of the Clipper scheme. WorkArea builds navigation and indexes on top of it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "rt/dbf/field.h"

namespace rt::dbf::detail {

// "name.dbf" when the name has no extension; found case-insensitively.
std::string table_path(const std::string& path);
// Same for index files (".ntx").
std::string index_path(const std::string& path);
// The header bytes of a new table with these fields (offsets filled in, names checked).
std::string make_header(std::vector<FieldDef>& fields, uint32_t count);

class DbfFile {
public:
    DbfFile() = default;
    ~DbfFile();
    DbfFile(const DbfFile&) = delete;
    DbfFile& operator=(const DbfFile&) = delete;

    // False when another process holds the file in a conflicting way; rt::Error when it is
    // missing or corrupt. A file that cannot be written is opened read-only.
    bool open(const std::string& resolved_path, bool exclusive);
    void close();
    bool is_open() const { return fd_ >= 0; }

    const std::string& path() const { return path_; }
    const std::vector<FieldDef>& fields() const { return fields_; }
    bool exclusive() const { return exclusive_; }
    bool readonly() const { return readonly_; }
    uint32_t count() const { return count_; }
    uint32_t record_len() const { return rec_len_; }
    uint32_t header_len() const { return hdr_len_; }

    // Re-reads the record count another process may have changed (shared mode only).
    void refresh_count();
    // Reads record n (1..count) into buf (record_len bytes).
    void read_record(uint32_t n, char* buf);
    // Raw bytes of record n for sequential bulk reading (a read-ahead window; the pointer stays
    // valid until the next call).
    const char* scan_record(uint32_t n);
    // Records first..last (on disk, not in the append buffer) into out, with one read.
    void read_span(uint32_t first, uint32_t last, char* out);
    // Writes record n; n == count() + 1 appends it (exclusive mode only: buffered).
    void write_record(uint32_t n, const char* buf);
    // Shared append: writes a blank record at count + 1, with the EOF byte, and the new count in
    // the header. The caller holds the append lock.
    void append_shared(const char* blank);
    // Empties the table (exclusive).
    void truncate_all();
    // Writes buffered appends, the EOF byte and the header.
    void flush();

    // Byte-range locks (open-file-description locks): write locks on [start, start + len).
    bool lock(uint64_t start, uint64_t len, bool wait);
    void unlock(uint64_t start, uint64_t len);

    // "Vrednost ne staje ..." messages name the table by its file name.
    std::string name() const;

private:
    void corrupt(const std::string& why) const;
    void write_header();
    void flush_appends();
    void pwrite_all(const char* p, size_t n, uint64_t off);

    int fd_ = -1;
    // The start of the header mapped shared: the record count is read and written through it
    // without a system call; other processes see it through the same page cache.
    unsigned char* head_ = nullptr;
    std::string path_;
    bool exclusive_ = false;
    bool readonly_ = false;
    std::vector<FieldDef> fields_;
    uint32_t hdr_len_ = 0, rec_len_ = 0, count_ = 0;
    uint32_t disk_count_ = 0;       // records on disk (the rest are in the append buffer)
    bool header_dirty_ = false;
    std::vector<char> abuf_;        // buffered appends (exclusive mode)
    std::vector<char> scan_;        // read-ahead window for scan_record
    uint32_t scan_first_ = 0, scan_n_ = 0;
};

}  // namespace rt::dbf::detail
