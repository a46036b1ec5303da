// The NTX index engine: page cache, cursor, updates with splits and merges, the index lock byte
// and the consistency check. Bulk creation is in ntx_build.cpp; the layout in ntx_page.h.
#include "rt/dbf/ntx.h"
#include "rt/dbf/range_lock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <unordered_set>

#include "rt/dbf/ntx_page.h"
#include "rt/fmt/error.h"

namespace rt::dbf {

using namespace ntx;

namespace {

// A page decoded for the rarer structural changes (splits, borrowing, merging).
struct Node {
    int n = 0;
    std::vector<uint32_t> ch;   // n + 1 children (all 0 in leaves)
    std::vector<uint32_t> rec;  // n record numbers
    std::string keys;           // n keys, key size each
};

class NtxImpl final : public NtxFile {
public:
    NtxImpl(const std::string& path, const std::vector<FieldDef>& fields, bool readonly);
    ~NtxImpl() override;

    const KeyExpr& expr() const override { return expr_; }
    const std::string& path() const override { return path_; }
    bool unique() const override { return unique_; }

    void lock_read() override;
    void lock_write() override;
    void unlock() override;

    uint32_t seek(std::string_view key, bool& found) override;
    uint32_t first() override;
    uint32_t last() override;
    uint32_t next() override;
    uint32_t prev() override;
    bool position(std::string_view key, uint32_t recno) override;
    std::string current_key() const override { return valid_ ? cur_key_ : std::string(); }

    void insert(std::string_view key, uint32_t recno) override;
    bool remove(std::string_view key, uint32_t recno) override;
    void flush() override;
    std::string check() override;

private:
    struct Slot {
        uint32_t off = 0;
        bool dirty = false;
        bool ref = false;
        uint8_t b[kPageSize];
    };
    struct Step {
        uint32_t page;
        int pos;
    };
    // Cached pages besides a mapping: those changed and not yet written, and those beyond the
    // mapping's end. Without a mapping (see map_limit) the cache holds cache_pages() pages.
    static constexpr size_t kCacheSlots = 1024;

    [[noreturn]] void corrupt(const std::string& what) const {
        throw rt::Error("Indeks " + path_ + " je ostecen: " + what);
    }
    [[noreturn]] void io_error(const char* op) const {
        throw rt::Error("Greska pri " + std::string(op) + " indeksa " + path_ + ": " + std::strerror(errno));
    }

    // ---- file and cache ----
    void read_at(uint64_t off, uint8_t* buf, size_t len);
    void write_at(uint64_t off, const uint8_t* buf, size_t len);
    void check_offset(uint32_t off);
    void validate(const uint8_t* b, uint32_t off) const;
    const uint8_t* page(uint32_t off);
    int victim();
    void store(uint32_t off, const uint8_t* b);
    void drop_cache();
    uint32_t alloc_page();
    uint32_t free_next(uint32_t off);
    void free_page(uint32_t off);
    void refresh_header();
    void remap(bool keep_checked = false);
    void set_lock(short type);
    void need_write() const {
        if (ro_) throw rt::Error("Indeks " + path_ + " je otvoren samo za citanje");
    }

    // ---- cursor ----
    template <class F> void descend(F pos_in_page);
    void descend_from(uint32_t off, bool leftmost);
    uint32_t settle_forward();
    uint32_t settle_backward();
    uint32_t step_next();
    uint32_t step_prev();
    void load_current(const uint8_t* b, int pos);
    bool relocate();
    std::string_view normal_key(std::string_view key);
    int cmp_kr(const PageView& v, int i, const char* k, uint32_t r) const {
        int c = std::memcmp(v.key(i), k, static_cast<size_t>(keylen_));
        if (c) return c;
        return v.rec(i) < r ? -1 : v.rec(i) > r ? 1 : 0;
    }

    // ---- updates ----
    void decode(const uint8_t* b, Node& nd) const;
    void encode_store(uint32_t off, const Node& nd);
    void page_insert(uint8_t* b, int i, uint32_t child, uint32_t rec, const char* key) const;
    void page_remove(uint8_t* b, int i) const;
    void rebalance(int d);

    struct CursorKeep {  // keeps the cursor's entry across an update and marks it for re-positioning
        NtxImpl& f;
        bool valid;
        uint32_t rec;
        explicit CursorKeep(NtxImpl& x) : f(x), valid(x.valid_), rec(x.cur_rec_) { x.keep_key_.assign(x.cur_key_); }
        ~CursorKeep() {
            f.valid_ = valid;
            f.cur_key_.assign(f.keep_key_);
            f.cur_rec_ = rec;
            f.stale_ = valid;
        }
    };

    std::string check_page(uint32_t off, int depth, int& leaf_depth, const std::string* lo, const std::string* hi,
                           uint64_t& entries, std::unordered_set<uint32_t>& seen);

    std::string path_;
    int fd_ = -1;
    bool ro_ = false;
    KeyExpr expr_;
    bool unique_ = false;
    int keylen_ = 0, item_ = 0, max_ = 0, half_ = 0, base_ = 0;
    uint8_t hdr_[kPageSize];
    // The first page mapped shared: the version, root and free pointer are read and written
    // through it without a system call (other processes see them through the same page cache).
    uint8_t* head_ = nullptr;
    std::vector<int> dirty_;   // cache slots changed since the last flush (may repeat)
    uint16_t version_ = 0;
    uint32_t root_ = 0, free_ = 0;
    uint64_t file_size_ = 0;
    bool modified_ = false;
    int lock_ = 0;  // 0 none, 1 shared, 2 exclusive

    const uint8_t* view_ = nullptr;  // the file mapped for reading
    size_t view_len_ = 0;
    std::vector<uint8_t> checked_;   // mapped pages already validated
    std::deque<Slot> slots_;
    // The cache slot of each page (by page number), -1 when not cached; cached_ counts them.
    std::vector<int> where_;
    size_t cached_ = 0;
    int slot_of(uint32_t off) const {
        const size_t i = off / kPageSize;
        return i < where_.size() ? where_[i] : -1;
    }
    void cache_set(uint32_t off, int idx) {
        const size_t i = off / kPageSize;
        if (i >= where_.size()) where_.resize(i + 1 + i / 8, -1);
        where_[i] = idx;
        ++cached_;
    }
    void cache_unset(uint32_t off) {
        where_[off / kPageSize] = -1;
        --cached_;
    }
    size_t hand_ = 0;

    Step stack_[kMaxDepth];
    int depth_ = 0;
    bool valid_ = false;
    bool stale_ = false;
    std::string cur_key_;
    uint32_t cur_rec_ = 0;
    std::string kbuf_;      // the key of an update or position, padded to the key size
    std::string keep_key_;  // the cursor's key kept across an update
    std::string find_key_;  // the cursor's key while it is found again
};

// ---------------------------------------------------------------- file and cache

void NtxImpl::read_at(uint64_t off, uint8_t* buf, size_t len) {
    size_t done = 0;
    while (done < len) {
        ssize_t r = ::pread(fd_, buf + done, len - done, static_cast<off_t>(off + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            io_error("citanju");
        }
        if (r == 0) corrupt("datoteka je skracena");
        done += static_cast<size_t>(r);
    }
}

void NtxImpl::write_at(uint64_t off, const uint8_t* buf, size_t len) {
    size_t done = 0;
    while (done < len) {
        ssize_t r = ::pwrite(fd_, buf + done, len - done, static_cast<off_t>(off + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            io_error("upisu");
        }
        done += static_cast<size_t>(r);
    }
}

void NtxImpl::check_offset(uint32_t off) {
    if (off < kPageSize || off % kPageSize != 0) corrupt("neispravna adresa stranice " + std::to_string(off));
    if (off + uint64_t{kPageSize} > file_size_) {
        struct stat st;
        if (::fstat(fd_, &st) == 0 && static_cast<uint64_t>(st.st_size) > file_size_)
            file_size_ = static_cast<uint64_t>(st.st_size);
        if (off + uint64_t{kPageSize} > file_size_) corrupt("stranica " + std::to_string(off) + " je izvan datoteke");
    }
}

void NtxImpl::validate(const uint8_t* b, uint32_t off) const {
    PageView v{b};
    const int n = v.count();
    if (n > max_) corrupt("stranica " + std::to_string(off) + " ima previse kljuceva");
    // Items must not overlap. Offsets on the item grid (the usual case) need only be distinct;
    // others are sorted and compared.
    uint64_t grid[2] = {0, 0};
    bool on_grid = true;
    for (int i = 0; i <= max_; ++i) {
        int o = v.slot(i);
        if (o < base_ || o + item_ > static_cast<int>(kPageSize))
            corrupt("stranica " + std::to_string(off) + ": pogresan pomak stavke");
        int rel = o - base_;
        if (rel % item_ != 0 || rel / item_ >= 128) {
            on_grid = false;
            continue;
        }
        uint64_t bit = uint64_t{1} << ((rel / item_) & 63);
        uint64_t& w = grid[rel / item_ / 64];
        if (w & bit) corrupt("stranica " + std::to_string(off) + ": stavke se preklapaju");
        w |= bit;
    }
    if (!on_grid) {
        uint16_t offs[kPageSize / 8];
        for (int i = 0; i <= max_; ++i) offs[i] = static_cast<uint16_t>(v.slot(i));
        std::sort(offs, offs + max_ + 1);
        for (int i = 1; i <= max_; ++i)
            if (offs[i] - offs[i - 1] < item_) corrupt("stranica " + std::to_string(off) + ": stavke se preklapaju");
    }
    if (n > 0) {
        bool leaf = v.child(0) == 0;
        for (int i = 1; i <= n; ++i)
            if ((v.child(i) == 0) != leaf) corrupt("stranica " + std::to_string(off) + ": mesoviti pokazivaci");
    }
}

int NtxImpl::victim() {
    if (slots_.size() < (view_ ? kCacheSlots : std::max<size_t>(cache_pages(), 8))) {
        slots_.emplace_back();
        return static_cast<int>(slots_.size() - 1);
    }
    for (;;) {
        size_t i = hand_;
        hand_ = (hand_ + 1) % slots_.size();
        Slot& s = slots_[i];
        if (s.ref) {
            s.ref = false;
            continue;
        }
        if (s.off) {
            if (s.dirty) write_at(s.off, s.b, kPageSize);
            cache_unset(s.off);
        }
        s.off = 0;
        s.dirty = false;
        return static_cast<int>(i);
    }
}

// Maps the whole file for reading (pages written by this handle stay in the cache until flushed;
// the cache is looked at first). Without a mapping pages are read into the cache.
void NtxImpl::remap(bool keep_checked) {
    if (view_) ::munmap(const_cast<uint8_t*>(view_), view_len_);
    view_ = nullptr;
    view_len_ = 0;
    struct stat st;
    if (::fstat(fd_, &st) != 0) io_error("citanju");
    const size_t len = static_cast<size_t>(st.st_size) / kPageSize * kPageSize;
    if (len >= kPageSize && len <= map_limit()) {
        void* p = ::mmap(nullptr, len, PROT_READ, MAP_SHARED, fd_, 0);
        if (p != MAP_FAILED) {
            view_ = static_cast<const uint8_t*>(p);
            view_len_ = len;
        }
    }
    if (keep_checked) checked_.resize(len / kPageSize, 0);
    else checked_.assign(len / kPageSize, 0);
    for (Slot& s : slots_)
        if (s.off && !s.dirty && s.off + size_t{kPageSize} <= view_len_) {
            cache_unset(s.off);
            s.off = 0;
            s.ref = false;
        }
}

const uint8_t* NtxImpl::page(uint32_t off) {
    // The cache holds pages within the mapping only while they are changed and not yet written
    // (flush and remap give the others back), so a page in the mapping is looked up only then.
    if (cached_ && !(off + size_t{kPageSize} <= view_len_ && dirty_.empty())) {
        const int at = slot_of(off);
        if (at >= 0) {
            Slot& s = slots_[static_cast<size_t>(at)];
            s.ref = true;
            return s.b;
        }
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (off >= kPageSize && off % kPageSize == 0 && off + size_t{kPageSize} <= view_len_) {
            const uint8_t* p = view_ + off;
            uint8_t& c = checked_[off / kPageSize];
            if (!c) {
                validate(p, off);
                c = 1;
            }
            return p;
        }
        check_offset(off);
        // The file grew (by this handle's own writes, or another's): map it again once it has
        // grown by an eighth; pages beyond the mapping are read into the cache till then.
        if (attempt == 0 && view_ && file_size_ >= view_len_ + view_len_ / 8 + 64 * kPageSize) remap(true);
    }
    int idx = victim();
    Slot& s = slots_[static_cast<size_t>(idx)];
    read_at(off, s.b, kPageSize);
    validate(s.b, off);
    s.off = off;
    s.ref = true;
    cache_set(off, idx);
    return s.b;
}

void NtxImpl::store(uint32_t off, const uint8_t* b) {
    int idx = slot_of(off);
    if (idx < 0) {
        idx = victim();
        cache_set(off, idx);
    }
    Slot& s = slots_[static_cast<size_t>(idx)];
    if (s.b != b) std::memcpy(s.b, b, kPageSize);
    s.off = off;
    if (!s.dirty) {
        if (dirty_.size() >= 4 * kCacheSlots) {   // slots written out by eviction leave stale entries
            std::vector<int> keep;
            for (int i : dirty_)
                if (slots_[static_cast<size_t>(i)].dirty) keep.push_back(i);
            dirty_.swap(keep);
        }
        dirty_.push_back(idx);
    }
    s.dirty = true;
    s.ref = true;
    modified_ = true;
}

void NtxImpl::drop_cache() {
    for (const Slot& s : slots_)
        if (s.off) where_[s.off / kPageSize] = -1;
    cached_ = 0;
    slots_.clear();
    dirty_.clear();
    hand_ = 0;
    remap();
}

// The next page on the free chain after page off. Other engines leave the old keys in a freed
// page and only set its item 0 child pointer, so the page is not checked as a tree page.
uint32_t NtxImpl::free_next(uint32_t off) {
    uint8_t raw[kPageSize];
    const uint8_t* b;
    const int at = slot_of(off);
    if (at >= 0) {
        b = slots_[static_cast<size_t>(at)].b;
    } else {
        check_offset(off);
        read_at(off, raw, kPageSize);
        b = raw;
    }
    const int slot0 = rd16(b + 2);
    if (slot0 < 2 || slot0 + 4 > static_cast<int>(kPageSize)) corrupt("neispravna slobodna stranica " + std::to_string(off));
    const uint32_t next = rd32(b + slot0);
    if (next == off || next % kPageSize != 0) corrupt("neispravan lanac slobodnih stranica");
    return next;
}

uint32_t NtxImpl::alloc_page() {
    if (free_ != 0) {
        const uint32_t off = free_;
        free_ = free_next(off);
        modified_ = true;
        return off;
    }
    uint64_t off = (file_size_ + kPageSize - 1) / kPageSize * kPageSize;
    if (off + kPageSize > 0xFFFFFC00ULL) throw rt::Error("Indeks " + path_ + " je prevelik");
    file_size_ = off + kPageSize;
    return static_cast<uint32_t>(off);
}

void NtxImpl::free_page(uint32_t off) {
    uint8_t b[kPageSize];
    uint32_t ch = free_;
    encode_page(b, max_, keylen_, 0, &ch, nullptr, nullptr);
    store(off, b);
    free_ = off;
}

void NtxImpl::refresh_header() {
    flush();  // changes made before the lock was taken are this handle's own: keep them
    uint8_t h[24];
    if (head_) std::memcpy(h, head_, sizeof h);
    else read_at(0, h, sizeof h);
    if (rd16(h + 2) == version_ && rd32(h + 4) == root_ && rd32(h + 8) == free_) return;
    if (rd16(h + 14) != keylen_ || rd16(h + 18) != max_) corrupt("zaglavlje je promenjeno");
    std::memcpy(hdr_, h, sizeof h);
    version_ = rd16(h + 2);
    root_ = rd32(h + 4);
    free_ = rd32(h + 8);
    struct stat st;
    if (::fstat(fd_, &st) == 0) file_size_ = static_cast<uint64_t>(st.st_size);
    drop_cache();
    modified_ = false;
    stale_ = valid_;
    check_offset(root_);
}

void NtxImpl::set_lock(short type) {
    int err = range_lock(fd_, type, kLockOffset, 1, true);
    if (err != 0) {
        errno = err;
        io_error("zakljucavanju");
    }
}

NtxImpl::NtxImpl(const std::string& path, const std::vector<FieldDef>& fields, bool readonly)
    : path_(path), ro_(readonly) {
    fd_ = ::open(path.c_str(), (readonly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (fd_ < 0) throw rt::Error("Ne moze da se otvori indeks " + path + ": " + std::strerror(errno));
    try {
        struct stat st;
        if (::fstat(fd_, &st) != 0) io_error("citanju");
        file_size_ = static_cast<uint64_t>(st.st_size);
        if (file_size_ < 2 * kPageSize) corrupt("datoteka je prekratka");
        read_at(0, hdr_, kPageSize);
        uint16_t sig = rd16(hdr_);
        if (sig != 6 && sig != 7) corrupt("nije NTX datoteka");
        version_ = rd16(hdr_ + 2);
        root_ = rd32(hdr_ + 4);
        free_ = rd32(hdr_ + 8);
        item_ = rd16(hdr_ + 12);
        keylen_ = rd16(hdr_ + 14);
        max_ = rd16(hdr_ + 18);
        half_ = rd16(hdr_ + 20);
        if (keylen_ < 1 || keylen_ > 256 || item_ != keylen_ + 8) corrupt("pogresna duzina kljuca");
        if (max_ < 2 || 2 + (max_ + 1) * (item_ + 2) > static_cast<int>(kPageSize) || half_ < 1 || 2 * half_ > max_)
            corrupt("pogresan broj kljuceva po stranici");
        base_ = 2 + 2 * (max_ + 1);
        unique_ = hdr_[278] != 0;
        // Other engines mark descending order at 280 and keep a FOR condition from 282; an index
        // in either form would be kept wrongly here, so it is refused.
        if (hdr_[280] != 0) throw rt::Error("Indeks " + path_ + " je u opadajucem redu, to nije podrzano");
        if (hdr_[282] != 0) throw rt::Error("Indeks " + path_ + " ima uslov (FOR), to nije podrzano");
        size_t tl = 0;
        while (tl < 256 && hdr_[22 + tl] != 0) ++tl;
        std::string text(reinterpret_cast<const char*>(hdr_ + 22), tl);
        try {
            expr_ = KeyExpr::compile(text, fields);
        } catch (const rt::Error& e) {
            throw rt::Error("Indeks " + path_ + ": " + e.what());
        }
        if (expr_.key_size() != keylen_)
            throw rt::Error("Indeks " + path_ + ": duzina kljuca " + std::to_string(keylen_) +
                            " ne odgovara izrazu \"" + text + "\" (" + std::to_string(expr_.key_size()) + ")");
        check_offset(root_);
        void* hp = ::mmap(nullptr, kPageSize, PROT_READ | (ro_ ? 0 : PROT_WRITE), MAP_SHARED, fd_, 0);
        if (hp != MAP_FAILED) head_ = static_cast<uint8_t*>(hp);
        remap();
        cur_key_.reserve(static_cast<size_t>(keylen_));
        kbuf_.reserve(static_cast<size_t>(keylen_));
    } catch (...) {
        if (head_) ::munmap(head_, kPageSize);
        head_ = nullptr;
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

NtxImpl::~NtxImpl() {
    if (fd_ < 0) return;
    try {
        flush();
    } catch (...) {
    }
    if (lock_) {
        try {
            set_lock(F_UNLCK);
        } catch (...) {
        }
    }
    if (view_) ::munmap(const_cast<uint8_t*>(view_), view_len_);
    if (head_) ::munmap(head_, kPageSize);
    ::close(fd_);
}

void NtxImpl::flush() {
    if (!modified_ || ro_) return;
    for (int i : dirty_) {
        Slot& s = slots_[static_cast<size_t>(i)];
        if (s.off && s.dirty) {
            write_at(s.off, s.b, kPageSize);
            s.dirty = false;
            // Written, the page is read from the mapping again: the slot is given back, and the
            // cache of a mapped file stays empty between changes (looked up for nothing).
            if (view_ && s.off + size_t{kPageSize} <= view_len_) {
                cache_unset(s.off);
                s.off = 0;
                s.ref = false;
            }
        }
    }
    dirty_.clear();
    ++version_;
    wr16(hdr_ + 2, version_);
    wr32(hdr_ + 4, root_);
    wr32(hdr_ + 8, free_);
    // The pages are in the file before the header that names them.
    if (head_) std::memcpy(head_ + 2, hdr_ + 2, 10);
    else write_at(0, hdr_, 12);
    modified_ = false;
}

// ---------------------------------------------------------------- locks

void NtxImpl::lock_read() {
    if (lock_ >= 1) return;
    set_lock(F_RDLCK);
    lock_ = 1;
    refresh_header();
}

void NtxImpl::lock_write() {
    if (lock_ == 2) return;
    set_lock(F_WRLCK);
    lock_ = 2;
    refresh_header();
}

void NtxImpl::unlock() {
    if (!lock_) return;
    flush();
    set_lock(F_UNLCK);
    lock_ = 0;
}

// ---------------------------------------------------------------- cursor

template <class F> void NtxImpl::descend(F pos_in_page) {
    depth_ = 0;
    uint32_t off = root_;
    for (;;) {
        if (depth_ >= kMaxDepth) corrupt("stablo je preduboko ili ima petlju");
        PageView v{page(off)};
        int i = pos_in_page(v);
        stack_[depth_++] = {off, i};
        uint32_t c = v.child(i);
        if (c == 0) return;
        off = c;
    }
}

// Descends from page off to its leftmost (or rightmost) leaf, pushing the steps.
void NtxImpl::descend_from(uint32_t off, bool leftmost) {
    for (;;) {
        if (depth_ >= kMaxDepth) corrupt("stablo je preduboko ili ima petlju");
        PageView v{page(off)};
        int i = leftmost ? 0 : v.count();
        stack_[depth_++] = {off, i};
        uint32_t c = v.child(i);
        if (c == 0) return;
        off = c;
    }
}

void NtxImpl::load_current(const uint8_t* b, int pos) {
    PageView v{b};
    cur_key_.assign(reinterpret_cast<const char*>(v.key(pos)), static_cast<size_t>(keylen_));
    cur_rec_ = v.rec(pos);
    valid_ = true;
    stale_ = false;
}

// The top step's pos names the candidate entry; climbs while it is past the page's end.
uint32_t NtxImpl::settle_forward() {
    while (depth_ > 0) {
        Step& s = stack_[depth_ - 1];
        const uint8_t* b = page(s.page);
        if (s.pos < PageView{b}.count()) {
            load_current(b, s.pos);
            return cur_rec_;
        }
        --depth_;
    }
    valid_ = false;
    stale_ = false;
    return 0;
}

// The top step's pos names the child (or gap) just left; the entry before it is current.
uint32_t NtxImpl::settle_backward() {
    while (depth_ > 0) {
        Step& s = stack_[depth_ - 1];
        if (s.pos > 0) {
            const uint8_t* b = page(s.page);
            int n = PageView{b}.count();
            if (s.pos > n) s.pos = n;
            if (s.pos > 0) {
                --s.pos;
                load_current(b, s.pos);
                return cur_rec_;
            }
        }
        --depth_;
    }
    valid_ = false;
    stale_ = false;
    return 0;
}

uint32_t NtxImpl::step_next() {
    Step& s = stack_[depth_ - 1];
    PageView v{page(s.page)};
    ++s.pos;
    uint32_t c = v.child(s.pos);
    if (c != 0) descend_from(c, true);
    return settle_forward();
}

uint32_t NtxImpl::step_prev() {
    Step& s = stack_[depth_ - 1];
    PageView v{page(s.page)};
    uint32_t c = v.child(s.pos);
    if (c != 0) descend_from(c, false);
    return settle_backward();
}

std::string_view NtxImpl::normal_key(std::string_view key) {
    kbuf_.assign(key.substr(0, static_cast<size_t>(keylen_)));
    kbuf_.resize(static_cast<size_t>(keylen_), ' ');
    return kbuf_;
}

// Puts the cursor back on its entry after the tree changed; when the entry is gone, the path is
// left at the place where it would be (the caller settles forward or backward from there).
bool NtxImpl::relocate() {
    stale_ = false;
    find_key_.assign(cur_key_);
    const std::string& k = find_key_;
    const uint32_t r = cur_rec_;
    if (position(k, r)) return true;
    descend([&](const PageView& v) {
        int lo = 0, hi = v.count();
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (cmp_kr(v, mid, k.data(), r) < 0) lo = mid + 1; else hi = mid;
        }
        return lo;
    });
    return false;
}

uint32_t NtxImpl::seek(std::string_view key, bool& found) {
    const size_t len = std::min(key.size(), static_cast<size_t>(keylen_));
    const char* k = key.data();
    descend([&](const PageView& v) {
        int lo = 0, hi = v.count();
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (std::memcmp(v.key(mid), k, len) < 0) lo = mid + 1; else hi = mid;
        }
        return lo;
    });
    uint32_t r = settle_forward();
    found = r != 0 && std::memcmp(cur_key_.data(), k, len) == 0;
    return r;
}

uint32_t NtxImpl::first() {
    depth_ = 0;
    descend_from(root_, true);
    return settle_forward();
}

uint32_t NtxImpl::last() {
    depth_ = 0;
    descend_from(root_, false);
    return settle_backward();
}

uint32_t NtxImpl::next() {
    if (!valid_) return 0;
    if (stale_ && !relocate()) return settle_forward();
    return step_next();
}

uint32_t NtxImpl::prev() {
    if (!valid_) return 0;
    if (stale_ && !relocate()) return settle_backward();
    return step_prev();
}

bool NtxImpl::position(std::string_view key, uint32_t recno) {
    const std::string& k = kbuf_;
    normal_key(key);
    // Equal keys are kept in record order by this engine: try the direct way first.
    descend([&](const PageView& v) {
        int lo = 0, hi = v.count();
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (cmp_kr(v, mid, k.data(), recno) < 0) lo = mid + 1; else hi = mid;
        }
        return lo;
    });
    uint32_t r = settle_forward();
    if (r == recno && cur_key_ == k) return true;
    // Files written elsewhere may hold equal keys in another order: scan the run of equal keys.
    bool found = false;
    r = seek(k, found);
    const uint64_t bound = file_size_ / kPageSize * static_cast<uint64_t>(max_ + 1) + 1;
    for (uint64_t steps = 0; r != 0 && cur_key_ == k; ++steps) {
        if (r == recno) return true;
        if (steps > bound) corrupt("kruzni lanac kljuceva");
        r = step_next();
    }
    valid_ = false;
    return false;
}

// ---------------------------------------------------------------- updates

void NtxImpl::decode(const uint8_t* b, Node& nd) const {
    PageView v{b};
    nd.n = v.count();
    nd.ch.resize(static_cast<size_t>(nd.n) + 1);
    nd.rec.resize(static_cast<size_t>(nd.n));
    nd.keys.resize(static_cast<size_t>(nd.n) * static_cast<size_t>(keylen_));
    for (int i = 0; i < nd.n; ++i) {
        nd.ch[static_cast<size_t>(i)] = v.child(i);
        nd.rec[static_cast<size_t>(i)] = v.rec(i);
        std::memcpy(&nd.keys[static_cast<size_t>(i) * static_cast<size_t>(keylen_)], v.key(i), static_cast<size_t>(keylen_));
    }
    nd.ch[static_cast<size_t>(nd.n)] = v.child(nd.n);
}

void NtxImpl::encode_store(uint32_t off, const Node& nd) {
    uint8_t b[kPageSize];
    encode_page(b, max_, keylen_, nd.n, nd.ch.data(), nd.rec.data(), nd.keys.data());
    store(off, b);
}

// Inserts an entry before entry i: the unused item slot after the rightmost one takes it.
void NtxImpl::page_insert(uint8_t* b, int i, uint32_t child, uint32_t rec, const char* key) const {
    const int n = rd16(b);
    uint8_t* slots = b + 2;
    const uint16_t off = rd16(slots + 2 * (n + 1));
    std::memmove(slots + 2 * (i + 1), slots + 2 * i, static_cast<size_t>(2 * (n + 1 - i)));
    wr16(slots + 2 * i, off);
    wr32(b + off, child);
    wr32(b + off + 4, rec);
    std::memcpy(b + off + 8, key, static_cast<size_t>(keylen_));
    wr16(b, static_cast<uint32_t>(n + 1));
}

// Removes entry i (its child pointer goes with it); its item slot becomes unused.
void NtxImpl::page_remove(uint8_t* b, int i) const {
    const int n = rd16(b);
    uint8_t* slots = b + 2;
    const uint16_t off = rd16(slots + 2 * i);
    std::memmove(slots + 2 * i, slots + 2 * (i + 1), static_cast<size_t>(2 * (n - i)));
    wr16(slots + 2 * n, off);
    wr16(b, static_cast<uint32_t>(n - 1));
}

void NtxImpl::insert(std::string_view key, uint32_t recno) {
    need_write();
    CursorKeep keep(*this);
    const std::string& k = kbuf_;
    normal_key(key);
    if (unique_) {
        bool found = false;
        seek(k, found);
        if (found) return;
    }
    descend([&](const PageView& v) {  // after the equal keys with lower record numbers
        int lo = 0, hi = v.count();
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (cmp_kr(v, mid, k.data(), recno) <= 0) lo = mid + 1; else hi = mid;
        }
        return lo;
    });
    int d = depth_ - 1;
    uint8_t b[kPageSize];
    std::memcpy(b, page(stack_[d].page), kPageSize);
    if (rd16(b) < max_) {
        page_insert(b, stack_[d].pos, 0, recno, k.data());
        store(stack_[d].page, b);
        return;
    }
    // Split upwards: the page holds max + 1 entries; the middle one goes to the parent.
    Node nd;
    decode(b, nd);
    uint32_t up_rec = recno, up_left = 0, up_right = 0;
    std::string up_key = k;
    for (;;) {
        const size_t i = static_cast<size_t>(stack_[d].pos);
        const size_t kl = static_cast<size_t>(keylen_);
        nd.rec.insert(nd.rec.begin() + static_cast<long>(i), up_rec);
        nd.keys.insert(i * kl, up_key);
        nd.ch.insert(nd.ch.begin() + static_cast<long>(i), up_left);
        if (up_left) nd.ch[i + 1] = up_right;
        ++nd.n;
        if (nd.n <= max_) {
            encode_store(stack_[d].page, nd);
            return;
        }
        const size_t h = static_cast<size_t>(half_);
        Node left, right;
        left.n = half_;
        left.rec.assign(nd.rec.begin(), nd.rec.begin() + static_cast<long>(h));
        left.keys.assign(nd.keys, 0, h * kl);
        left.ch.assign(nd.ch.begin(), nd.ch.begin() + static_cast<long>(h) + 1);
        right.n = nd.n - half_ - 1;
        right.rec.assign(nd.rec.begin() + static_cast<long>(h) + 1, nd.rec.end());
        right.keys.assign(nd.keys, (h + 1) * kl, std::string::npos);
        right.ch.assign(nd.ch.begin() + static_cast<long>(h) + 1, nd.ch.end());
        up_rec = nd.rec[h];
        up_key.assign(nd.keys, h * kl, kl);
        const uint32_t left_off = stack_[d].page;
        const uint32_t right_off = alloc_page();
        encode_store(left_off, left);
        encode_store(right_off, right);
        up_left = left_off;
        up_right = right_off;
        if (d == 0) {
            Node root;
            root.n = 1;
            root.rec = {up_rec};
            root.keys = up_key;
            root.ch = {up_left, up_right};
            const uint32_t root_off = alloc_page();
            encode_store(root_off, root);
            root_ = root_off;
            modified_ = true;
            return;
        }
        --d;
        std::memcpy(b, page(stack_[d].page), kPageSize);
        if (rd16(b) < max_) {
            const int j = stack_[d].pos;
            page_insert(b, j, up_left, up_rec, up_key.data());
            wr32(b + rd16(b + 2 + 2 * (j + 1)), up_right);
            store(stack_[d].page, b);
            return;
        }
        decode(b, nd);
    }
}

bool NtxImpl::remove(std::string_view key, uint32_t recno) {
    need_write();
    CursorKeep keep(*this);
    if (!position(key, recno)) return false;
    int d = depth_ - 1;
    const uint32_t target = stack_[d].page;
    const int ti = stack_[d].pos;
    uint8_t b[kPageSize];
    PageView tv{page(target)};
    uint32_t c = tv.child(ti);
    if (c != 0) {
        // An interior entry: its predecessor (the last entry of the left subtree) takes its place.
        descend_from(c, false);
        d = depth_ - 1;
        PageView lv{page(stack_[d].page)};
        if (lv.count() == 0) corrupt("prazna stranica " + std::to_string(stack_[d].page));
        stack_[d].pos = lv.count() - 1;
        const uint32_t prec = lv.rec(stack_[d].pos);
        std::string pkey(reinterpret_cast<const char*>(lv.key(stack_[d].pos)), static_cast<size_t>(keylen_));
        std::memcpy(b, page(target), kPageSize);
        uint8_t* it = b + rd16(b + 2 + 2 * ti);
        wr32(it + 4, prec);
        std::memcpy(it + 8, pkey.data(), static_cast<size_t>(keylen_));
        store(target, b);
    }
    std::memcpy(b, page(stack_[d].page), kPageSize);
    page_remove(b, stack_[d].pos);
    store(stack_[d].page, b);
    rebalance(d);
    return true;
}

// Restores the minimum occupancy from path level d upwards by borrowing from a sibling or merging
// with it; an empty interior root gives way to its only child.
void NtxImpl::rebalance(int d) {
    const size_t kl = static_cast<size_t>(keylen_);
    Node np, nn, ns;
    while (d > 0) {
        const uint32_t off = stack_[d].page;
        if (PageView{page(off)}.count() >= half_) return;
        const uint32_t poff = stack_[d - 1].page;
        const size_t j = static_cast<size_t>(stack_[d - 1].pos);
        decode(page(poff), np);
        decode(page(off), nn);
        const uint32_t left = j > 0 ? np.ch[j - 1] : 0;
        const uint32_t right = j < static_cast<size_t>(np.n) ? np.ch[j + 1] : 0;
        if (left) {
            decode(page(left), ns);
            if (ns.n > half_) {  // borrow the left sibling's last entry through the parent
                nn.rec.insert(nn.rec.begin(), np.rec[j - 1]);
                nn.keys.insert(0, np.keys, (j - 1) * kl, kl);
                nn.ch.insert(nn.ch.begin(), ns.ch.back());
                ++nn.n;
                --ns.n;
                np.rec[j - 1] = ns.rec.back();
                np.keys.replace((j - 1) * kl, kl, ns.keys, static_cast<size_t>(ns.n) * kl, kl);
                ns.rec.pop_back();
                ns.keys.resize(static_cast<size_t>(ns.n) * kl);
                ns.ch.pop_back();
                encode_store(left, ns);
                encode_store(off, nn);
                encode_store(poff, np);
                return;
            }
        }
        if (right) {
            decode(page(right), ns);
            if (ns.n > half_) {  // borrow the right sibling's first entry through the parent
                nn.rec.push_back(np.rec[j]);
                nn.keys.append(np.keys, j * kl, kl);
                nn.ch.push_back(ns.ch.front());
                ++nn.n;
                np.rec[j] = ns.rec.front();
                np.keys.replace(j * kl, kl, ns.keys, 0, kl);
                ns.rec.erase(ns.rec.begin());
                ns.keys.erase(0, kl);
                ns.ch.erase(ns.ch.begin());
                --ns.n;
                encode_store(right, ns);
                encode_store(off, nn);
                encode_store(poff, np);
                return;
            }
        }
        if (!left && !right) corrupt("stranica " + std::to_string(off) + " nema susede");
        // Merge with a sibling: left part + separator + right part into the left page.
        size_t sep = left ? j - 1 : j;
        Node* l = left ? &ns : &nn;
        Node* r = left ? &nn : &ns;
        const uint32_t loff = left ? left : off;
        const uint32_t roff = left ? off : right;
        decode(page(left ? left : right), ns);
        l->rec.push_back(np.rec[sep]);
        l->keys.append(np.keys, sep * kl, kl);
        l->rec.insert(l->rec.end(), r->rec.begin(), r->rec.end());
        l->keys += r->keys;
        l->ch.insert(l->ch.end(), r->ch.begin(), r->ch.end());
        l->n += 1 + r->n;
        if (l->n > max_) corrupt("stranice ne mogu da se spoje");
        encode_store(loff, *l);
        free_page(roff);
        np.rec.erase(np.rec.begin() + static_cast<long>(sep));
        np.keys.erase(sep * kl, kl);
        np.ch.erase(np.ch.begin() + static_cast<long>(sep) + 1);
        --np.n;
        if (d - 1 == 0 && np.n == 0) {
            root_ = loff;
            free_page(poff);
            modified_ = true;
            return;
        }
        encode_store(poff, np);
        --d;
    }
}

// ---------------------------------------------------------------- check

std::string NtxImpl::check_page(uint32_t off, int depth, int& leaf_depth, const std::string* lo,
                                const std::string* hi, uint64_t& entries, std::unordered_set<uint32_t>& seen) {
    const std::string where = "stranica " + std::to_string(off) + ": ";
    if (depth >= kMaxDepth) return where + "stablo je preduboko";
    if (!seen.insert(off).second) return where + "stranica je vise puta u stablu";
    Node nd;
    decode(page(off), nd);
    const size_t kl = static_cast<size_t>(keylen_);
    if (depth > 0 && nd.n < half_) return where + "premalo kljuceva (" + std::to_string(nd.n) + ")";
    const bool leaf = nd.ch[0] == 0;
    if (!leaf && nd.n == 0) return where + "prazna unutrasnja stranica";
    if (leaf) {
        if (leaf_depth < 0) leaf_depth = depth;
        else if (leaf_depth != depth) return where + "listovi na razlicitim dubinama";
    }
    entries += static_cast<uint64_t>(nd.n);
    for (int i = 0; i < nd.n; ++i) {
        std::string k = nd.keys.substr(static_cast<size_t>(i) * kl, kl);
        if (lo && k < *lo) return where + "kljuc manji od granice";
        if (hi && k > *hi) return where + "kljuc veci od granice";
        if (i > 0 && k < nd.keys.substr(static_cast<size_t>(i - 1) * kl, kl)) return where + "kljucevi nisu u redu";
        if (nd.rec[static_cast<size_t>(i)] == 0) return where + "broj zapisa 0";
    }
    if (!leaf) {
        for (int i = 0; i <= nd.n; ++i) {
            std::string a, z;
            const std::string* l2 = lo;
            const std::string* h2 = hi;
            if (i > 0) {
                a = nd.keys.substr(static_cast<size_t>(i - 1) * kl, kl);
                l2 = &a;
            }
            if (i < nd.n) {
                z = nd.keys.substr(static_cast<size_t>(i) * kl, kl);
                h2 = &z;
            }
            std::string e = check_page(nd.ch[static_cast<size_t>(i)], depth + 1, leaf_depth, l2, h2, entries, seen);
            if (!e.empty()) return e;
        }
    }
    return {};
}

std::string NtxImpl::check() {
    try {
        std::unordered_set<uint32_t> seen;
        uint64_t entries = 0;
        int leaf_depth = -1;
        std::string e = check_page(root_, 0, leaf_depth, nullptr, nullptr, entries, seen);
        if (!e.empty()) return e;
        // The free chain: pages not in the tree, no cycle.
        uint32_t f = free_;
        while (f != 0) {
            if (!seen.insert(f).second) return "slobodna stranica " + std::to_string(f) + " je vec u upotrebi";
            f = free_next(f);
        }
        if (seen.size() > file_size_ / kPageSize) return "vise stranica nego sto datoteka ima";
        return {};
    } catch (const rt::Error& e) {
        return e.what();
    }
}

}  // namespace

std::unique_ptr<NtxFile> NtxFile::open(const std::string& path, const std::vector<FieldDef>& fields, bool readonly) {
    return std::make_unique<NtxImpl>(path, fields, readonly);
}

}  // namespace rt::dbf
