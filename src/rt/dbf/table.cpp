#include "rt/dbf/table.h"
#include "rt/dbf/range_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "rt/fmt/error.h"
#include "rt/os/os.h"

namespace rt::dbf::detail {

namespace {

constexpr size_t APPEND_BUFFER = 1 << 20;   // bytes of buffered appends before a write
constexpr size_t SCAN_WINDOW = 256 << 10;   // read-ahead window of bulk scans
constexpr size_t HEAD_MAP = 4096;           // the header's first bytes, mapped shared
constexpr size_t WRITE_PIECE = 4096;        // the largest single write (see pwrite_all)

uint32_t le32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
void put32(unsigned char* p, uint32_t v) { p[0] = v & 0xFF; p[1] = (v >> 8) & 0xFF; p[2] = (v >> 16) & 0xFF; p[3] = v >> 24; }
void put16(unsigned char* p, uint16_t v) { p[0] = v & 0xFF; p[1] = v >> 8; }

bool has_ext(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

void today(unsigned char* p) {
    time_t t = time(nullptr);
    struct tm tmv;
    localtime_r(&t, &tmv);
    p[0] = static_cast<unsigned char>(tmv.tm_year);   // years since 1900, as dBASE writes them
    p[1] = static_cast<unsigned char>(tmv.tm_mon + 1);
    p[2] = static_cast<unsigned char>(tmv.tm_mday);
}

std::string sys_error(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::string table_path(const std::string& path) {
    return rt::os::resolve(has_ext(path) ? path : path + ".dbf");
}

std::string index_path(const std::string& path) {
    return rt::os::resolve(has_ext(path) ? path : path + ".ntx");
}

std::string make_header(std::vector<FieldDef>& fields, uint32_t count) {
    if (fields.empty()) throw rt::Error("Tabela mora imati bar jedno polje");
    if (fields.size() > 1000) throw rt::Error("Previse polja u tabeli");
    const size_t n = fields.size();
    std::string h(32 + 32 * n + 1, '\0');
    auto* u = reinterpret_cast<unsigned char*>(h.data());
    u[0] = 0x03;
    today(u + 1);
    put32(u + 4, count);
    int off = 1;
    for (size_t i = 0; i < n; ++i) {
        FieldDef& f = fields[i];
        std::string name;
        for (char c : f.name) {
            if (c == ' ') continue;
            name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        if (name.empty() || name.size() > 10) throw rt::Error("Neispravno ime polja \"" + f.name + "\"");
        f.name = name;
        if (f.type >= 'a' && f.type <= 'z') f.type = static_cast<char>(f.type - 'a' + 'A');
        switch (f.type) {
        case 'C': f.dec = 0; if (f.len < 1 || f.len > 65535) throw rt::Error("Neispravna sirina polja " + name); break;
        case 'N': if (f.len < 1 || f.len > 255 || f.dec < 0 || (f.dec > 0 && f.dec > f.len - 2)) throw rt::Error("Neispravna sirina polja " + name); break;
        case 'D': f.len = 8; f.dec = 0; break;
        case 'L': f.len = 1; f.dec = 0; break;
        default: throw rt::Error("Nepoznat tip polja " + name);
        }
        f.offset = off;
        off += f.len;
        if (off > 65535) throw rt::Error("Zapis tabele je predugacak");
        unsigned char* d = u + 32 + 32 * i;
        std::memcpy(d, name.data(), name.size());
        d[11] = static_cast<unsigned char>(f.type);
        if (f.type == 'C') { d[16] = f.len & 0xFF; d[17] = static_cast<unsigned char>(f.len >> 8); }
        else { d[16] = static_cast<unsigned char>(f.len); d[17] = static_cast<unsigned char>(f.dec); }
    }
    put16(u + 8, static_cast<uint16_t>(h.size()));
    put16(u + 10, static_cast<uint16_t>(off));
    u[32 + 32 * n] = 0x0D;
    return h;
}

DbfFile::~DbfFile() {
    try { close(); } catch (...) {}
}

std::string DbfFile::name() const {
    size_t s = path_.find_last_of('/');
    return s == std::string::npos ? path_ : path_.substr(s + 1);
}

void DbfFile::corrupt(const std::string& why) const {
    throw rt::Error("Neispravna datoteka " + path_ + " (" + why + ")");
}

bool DbfFile::open(const std::string& resolved_path, bool exclusive) {
    close();
    path_ = resolved_path;
    exclusive_ = exclusive;
    readonly_ = false;
    int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        readonly_ = fd >= 0;
    }
    if (fd < 0) {
        if (errno == ENOENT) throw rt::Error("Ne postoji datoteka " + path_);
        throw rt::Error(sys_error("Ne mogu da otvorim datoteku", path_));
    }
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK || e == EAGAIN) return false;
        errno = e;
        throw rt::Error(sys_error("Ne mogu da otvorim datoteku", path_));
    }
    fd_ = fd;
    try {
        // The header is read before the size is taken: a writer in another process extends the
        // file before it puts the new count in the header, so the size taken after the count
        // covers every record the count names.
        struct stat st;
        unsigned char h[32];
        if (fstat(fd_, &st) != 0) throw rt::Error(sys_error("Ne mogu da citam datoteku", path_));
        if (!S_ISREG(st.st_mode)) corrupt("nije obicna datoteka");
        if (pread(fd_, h, 32, 0) != 32) corrupt("zaglavlje je krace od 32 bajta");
        if (h[0] != 0x03 && h[0] != 0x83) corrupt("nepoznata verzija tabele");
        if (fstat(fd_, &st) != 0) throw rt::Error(sys_error("Ne mogu da citam datoteku", path_));
        const uint64_t size = static_cast<uint64_t>(st.st_size);
        const uint32_t count = le32(h + 4);
        const uint32_t hdr_len = le16(h + 8);
        const uint32_t rec_len = le16(h + 10);
        if (hdr_len < 32 + 32 + 1 || hdr_len > size) corrupt("pogresna duzina zaglavlja");
        std::vector<unsigned char> hdr(hdr_len);
        if (pread(fd_, hdr.data(), hdr_len, 0) != static_cast<ssize_t>(hdr_len)) corrupt("zaglavlje nije procitano");
        std::vector<FieldDef> fields;
        uint32_t p = 32;
        int off = 1;
        while (p < hdr_len && hdr[p] != 0x0D) {
            if (p + 32 > hdr_len) corrupt("opis polja preko kraja zaglavlja");
            const unsigned char* d = hdr.data() + p;
            FieldDef f;
            for (int i = 0; i < 11 && d[i]; ++i) {
                char c = static_cast<char>(d[i]);
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
                f.name += c;
            }
            while (!f.name.empty() && f.name.back() == ' ') f.name.pop_back();
            if (f.name.empty()) corrupt("prazno ime polja");
            for (char c : f.name)
                if (static_cast<unsigned char>(c) < 0x20) corrupt("neispravno ime polja");
            f.type = static_cast<char>(d[11]);
            if (f.type >= 'a' && f.type <= 'z') f.type = static_cast<char>(f.type - 'a' + 'A');
            if (f.type == 'F') f.type = 'N';
            switch (f.type) {
            case 'C': f.len = d[16] + 256 * d[17]; f.dec = 0; break;
            case 'N': f.len = d[16]; f.dec = d[17]; if (f.dec >= f.len && f.dec != 0) corrupt("polje " + f.name + " ima vise decimala nego mesta"); break;
            case 'D': f.len = d[16]; f.dec = 0; if (f.len != 8) corrupt("polje " + f.name + " tipa D nije sirine 8"); break;
            case 'L': f.len = d[16]; f.dec = 0; if (f.len != 1) corrupt("polje " + f.name + " tipa L nije sirine 1"); break;
            default: corrupt("nepodrzan tip polja " + f.name);
            }
            if (f.len < 1) corrupt("polje " + f.name + " nulte sirine");
            f.offset = off;
            off += f.len;
            fields.push_back(std::move(f));
            p += 32;
        }
        if (fields.empty()) corrupt("nema polja");
        if (p >= hdr_len) corrupt("nema kraja opisa polja");
        if (hdr_len - p > 2) corrupt("pogresna duzina zaglavlja");
        if (static_cast<uint32_t>(off) != rec_len) corrupt("duzina zapisa ne odgovara poljima");
        if (static_cast<uint64_t>(hdr_len) + static_cast<uint64_t>(count) * rec_len > size)
            corrupt("broj zapisa je veci od velicine datoteke");
        fields_ = std::move(fields);
        hdr_len_ = hdr_len;
        rec_len_ = rec_len;
        count_ = disk_count_ = count;
        header_dirty_ = false;
        void* hp = ::mmap(nullptr, HEAD_MAP, PROT_READ | (readonly_ ? 0 : PROT_WRITE), MAP_SHARED, fd_, 0);
        head_ = hp == MAP_FAILED ? nullptr : static_cast<unsigned char*>(hp);
        abuf_.clear();
        scan_n_ = 0;
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    return true;
}

void DbfFile::close() {
    if (fd_ < 0) return;
    try {
        flush();
    } catch (...) {
        if (head_) ::munmap(head_, HEAD_MAP);
        head_ = nullptr;
        ::close(fd_);
        fd_ = -1;
        throw;
    }
    if (head_) ::munmap(head_, HEAD_MAP);
    head_ = nullptr;
    ::close(fd_);   // releases the flock and every byte-range lock of this description
    fd_ = -1;
    fields_.clear();
    scan_.clear();
    scan_.shrink_to_fit();
    abuf_.clear();
    abuf_.shrink_to_fit();
}

// Long stretches are written a memory page at a time: the page cache then holds the file in
// small pages, and a later change of one record touches one of them (a write into a large cached
// page costs time in proportion to its size).
void DbfFile::pwrite_all(const char* p, size_t n, uint64_t off) {
    if (readonly_) throw rt::Error("Datoteka " + path_ + " je samo za citanje");
    while (n > 0) {
        const size_t piece = std::min<size_t>(n, WRITE_PIECE - off % WRITE_PIECE);
        ssize_t w = ::pwrite(fd_, p, piece, static_cast<off_t>(off));
        if (w < 0) {
            if (errno == EINTR) continue;
            throw rt::Error(sys_error("Greska pri upisu u datoteku", path_));
        }
        p += w;
        n -= static_cast<size_t>(w);
        off += static_cast<uint64_t>(w);
    }
}

void DbfFile::refresh_count() {
    if (exclusive_ || fd_ < 0) return;
    unsigned char b[4];
    if (head_) std::memcpy(b, head_ + 4, 4);
    else if (pread(fd_, b, 4, 4) != 4) corrupt("zaglavlje nije procitano");
    uint32_t c = le32(b);
    if (c == count_) return;
    struct stat st;
    if (fstat(fd_, &st) != 0) throw rt::Error(sys_error("Ne mogu da citam datoteku", path_));
    // A writer that puts the new count before the record is caught in between: only the records
    // the file already holds count.
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    const uint64_t held = size > hdr_len_ ? (size - hdr_len_) / rec_len_ : 0;
    if (c > held) c = static_cast<uint32_t>(held);
    count_ = disk_count_ = c;
    scan_n_ = 0;
}

void DbfFile::read_record(uint32_t n, char* buf) {
    if (n < 1 || n > count_) corrupt("zapis " + std::to_string(n) + " ne postoji");
    if (n > disk_count_) {
        std::memcpy(buf, abuf_.data() + static_cast<size_t>(n - disk_count_ - 1) * rec_len_, rec_len_);
        return;
    }
    const uint64_t off = hdr_len_ + static_cast<uint64_t>(n - 1) * rec_len_;
    size_t got = 0;
    while (got < rec_len_) {
        ssize_t r = ::pread(fd_, buf + got, rec_len_ - got, static_cast<off_t>(off + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw rt::Error(sys_error("Greska pri citanju datoteke", path_));
        if (r == 0) corrupt("zapis " + std::to_string(n) + " je preko kraja datoteke");
        got += static_cast<size_t>(r);
    }
}

void DbfFile::read_span(uint32_t first, uint32_t last, char* out) {
    if (first < 1 || last < first || last > disk_count_) corrupt("zapis " + std::to_string(last) + " ne postoji");
    const uint64_t off = hdr_len_ + static_cast<uint64_t>(first - 1) * rec_len_;
    const size_t need = static_cast<size_t>(last - first + 1) * rec_len_;
    size_t got = 0;
    while (got < need) {
        ssize_t r = ::pread(fd_, out + got, need - got, static_cast<off_t>(off + got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw rt::Error(sys_error("Greska pri citanju datoteke", path_));
        if (r == 0) corrupt("zapis je preko kraja datoteke");
        got += static_cast<size_t>(r);
    }
}

const char* DbfFile::scan_record(uint32_t n) {
    if (n < 1 || n > count_) corrupt("zapis " + std::to_string(n) + " ne postoji");
    if (n > disk_count_) return abuf_.data() + static_cast<size_t>(n - disk_count_ - 1) * rec_len_;
    if (scan_n_ == 0 || n < scan_first_ || n >= scan_first_ + scan_n_) {
        uint32_t per = static_cast<uint32_t>(std::max<size_t>(1, SCAN_WINDOW / rec_len_));
        uint32_t want = std::min(per, disk_count_ - n + 1);
        scan_.resize(static_cast<size_t>(want) * rec_len_);
        const uint64_t off = hdr_len_ + static_cast<uint64_t>(n - 1) * rec_len_;
        size_t got = 0, need = scan_.size();
        while (got < need) {
            ssize_t r = ::pread(fd_, scan_.data() + got, need - got, static_cast<off_t>(off + got));
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) throw rt::Error(sys_error("Greska pri citanju datoteke", path_));
            if (r == 0) corrupt("zapis je preko kraja datoteke");
            got += static_cast<size_t>(r);
        }
        scan_first_ = n;
        scan_n_ = want;
    }
    return scan_.data() + static_cast<size_t>(n - scan_first_) * rec_len_;
}

void DbfFile::write_record(uint32_t n, const char* buf) {
    if (readonly_) throw rt::Error("Datoteka " + path_ + " je samo za citanje");
    if (n == count_ + 1) {
        if (!exclusive_) corrupt("dodavanje zapisa bez zakljucavanja");
        abuf_.insert(abuf_.end(), buf, buf + rec_len_);
        ++count_;
        header_dirty_ = true;
        if (abuf_.size() >= APPEND_BUFFER) flush_appends();
        return;
    }
    if (n < 1 || n > count_) corrupt("zapis " + std::to_string(n) + " ne postoji");
    if (scan_n_ && n >= scan_first_ && n < scan_first_ + scan_n_)
        std::memcpy(scan_.data() + static_cast<size_t>(n - scan_first_) * rec_len_, buf, rec_len_);
    if (n > disk_count_) {
        std::memcpy(abuf_.data() + static_cast<size_t>(n - disk_count_ - 1) * rec_len_, buf, rec_len_);
        return;
    }
    pwrite_all(buf, rec_len_, hdr_len_ + static_cast<uint64_t>(n - 1) * rec_len_);
    if (exclusive_) header_dirty_ = true;
}

void DbfFile::append_shared(const char* blank) {
    std::string b(blank, rec_len_);
    b += '\x1A';
    pwrite_all(b.data(), b.size(), hdr_len_ + static_cast<uint64_t>(count_) * rec_len_);
    ++count_;
    disk_count_ = count_;
    write_header();
}

void DbfFile::truncate_all() {
    abuf_.clear();
    scan_n_ = 0;
    if (ftruncate(fd_, hdr_len_) != 0) throw rt::Error(sys_error("Greska pri praznjenju datoteke", path_));
    count_ = disk_count_ = 0;
    const char eof = 0x1A;
    pwrite_all(&eof, 1, hdr_len_);
    write_header();
}

void DbfFile::flush_appends() {
    if (abuf_.empty()) return;
    abuf_.push_back('\x1A');
    pwrite_all(abuf_.data(), abuf_.size(), hdr_len_ + static_cast<uint64_t>(disk_count_) * rec_len_);
    abuf_.clear();
    disk_count_ = count_;
}

void DbfFile::flush() {
    if (fd_ < 0 || readonly_) return;
    flush_appends();
    if (header_dirty_) write_header();
}

void DbfFile::write_header() {
    unsigned char h[7];
    today(h);
    put32(h + 3, count_);
    if (head_ && !readonly_) {
        // The count in one aligned store, so that another process never reads half of it.
        std::memcpy(head_ + 1, h, 3);
        std::memcpy(head_ + 4, h + 3, 4);
    } else {
        pwrite_all(reinterpret_cast<const char*>(h), 7, 1);
    }
    header_dirty_ = false;
}

bool DbfFile::lock(uint64_t start, uint64_t len, bool wait) {
    if (exclusive_) return true;
    int err = range_lock(fd_, F_WRLCK, start, len, wait);
    if (err == 0) return true;
    if (err == EACCES || err == EAGAIN || err == EBADF) return false;
    errno = err;
    throw rt::Error(sys_error("Greska pri zakljucavanju datoteke", path_));
}

void DbfFile::unlock(uint64_t start, uint64_t len) {
    if (exclusive_ || fd_ < 0) return;
    range_lock(fd_, F_UNLCK, start, len, false);
}

}  // namespace rt::dbf::detail
