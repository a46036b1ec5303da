// Work areas: navigation, seeks, changes with index maintenance, locks, filters and relations
// over DbfFile (the table file) and NtxFile (the index files).
#include "rt/dbf/dbf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

#include "rt/dbf/keyexpr.h"
#include "rt/dbf/ntx.h"
#include "rt/dbf/table.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"

namespace rt::dbf {

using detail::DbfFile;

namespace {

bool g_hide_deleted = true;

struct Scope {
    std::map<int, std::unique_ptr<WorkArea>> areas;
    int cur = 1;
};

std::vector<std::unique_ptr<Scope>>& scopes() {
    static std::vector<std::unique_ptr<Scope>> s = [] {
        std::vector<std::unique_ptr<Scope>> v;
        v.push_back(std::make_unique<Scope>());
        return v;
    }();
    return s;
}
Scope& top_scope() { return *scopes().back(); }

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string stem(const std::string& path) {
    size_t s = path.find_last_of("/\\");
    std::string n = s == std::string::npos ? path : path.substr(s + 1);
    size_t d = n.find_last_of('.');
    return d == std::string::npos ? n : n.substr(0, d);
}

const double POW10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Numeric field text: leading blanks, sign, digits, one decimal point. Blank or unreadable -> 0.
double parse_number(const char* p, int len) {
    int i = 0;
    while (i < len && p[i] == ' ') ++i;
    bool neg = false;
    if (i < len && (p[i] == '-' || p[i] == '+')) { neg = p[i] == '-'; ++i; }
    while (i < len && p[i] == ' ') ++i;   // "-  1.5" as some writers pad after the sign
    int64_t m = 0;
    int digits = 0, frac = 0;
    bool point = false;
    for (; i < len; ++i) {
        char c = p[i];
        if (c >= '0' && c <= '9') {
            if (digits >= 18) break;
            m = m * 10 + (c - '0');
            ++digits;
            if (point) ++frac;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits >= 18) {   // more digits than the fast path holds
        char buf[300];
        int n = std::min(len, 299);
        std::memcpy(buf, p, static_cast<size_t>(n));
        buf[n] = 0;
        return std::strtod(buf, nullptr);
    }
    double v = frac ? static_cast<double>(m) / POW10[frac] : static_cast<double>(m);
    return neg ? -v : v;
}

// Right-aligned text of v with dec decimals, rounded as xBase does; false when it does not fit.
bool format_number(double v, int len, int dec, char* out) {
    if (!std::isfinite(v) || dec < 0 || dec > 15) return false;
    char tmp[400];
    int n;
    // Fast path: far enough from a half, rounding the scaled value is what ROUND does; close to
    // a half, ROUND's 15-digit guard decides (2.675 -> 2.68).
    double scaled = std::fabs(v) * POW10[dec];
    double r;
    if (scaled < 1.0e15) {
        double fl = std::floor(scaled);
        double fr = scaled - fl;
        if (std::fabs(fr - 0.5) > 1.0e-6) {
            scaled = fr > 0.5 ? fl + 1 : fl;
            if (v < 0) scaled = -scaled;
            r = scaled / POW10[dec];
        } else {
            r = rt::ROUND(v, dec);
            scaled = r * POW10[dec];
        }
    } else {
        r = rt::ROUND(v, dec);
        scaled = r * POW10[dec];
    }
    if (std::fabs(scaled) < 9.0e15) {
        int64_t m = std::llround(scaled);
        bool neg = m < 0;
        uint64_t a = neg ? static_cast<uint64_t>(-m) : static_cast<uint64_t>(m);
        char rev[40];
        int k = 0;
        for (int d = 0; d < dec; ++d) { rev[k++] = static_cast<char>('0' + a % 10); a /= 10; }
        if (dec > 0) rev[k++] = '.';
        do { rev[k++] = static_cast<char>('0' + a % 10); a /= 10; } while (a);
        if (neg) rev[k++] = '-';
        for (int j = 0; j < k; ++j) tmp[j] = rev[k - 1 - j];
        n = k;
    } else {
        n = std::snprintf(tmp, sizeof tmp, "%.*f", dec, r);
        if (n < 0 || n >= static_cast<int>(sizeof tmp)) return false;
    }
    if (n > len) return false;
    std::memset(out, ' ', static_cast<size_t>(len - n));
    std::memcpy(out + (len - n), tmp, static_cast<size_t>(n));
    return true;
}

void format_date(const Date& d, char* out) {
    if (d.empty()) { std::memset(out, ' ', 8); return; }
    int y = d.year(), m = d.month(), dd = d.day();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", y % 10000, m, dd);
    std::memcpy(out, buf, 8);
}

Date parse_date(const char* p) {
    int v[8];
    for (int i = 0; i < 8; ++i) {
        if (p[i] < '0' || p[i] > '9') return Date();
        v[i] = p[i] - '0';
    }
    return Date::ymd(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]);
}

std::string date_text(const Date& d) {
    char b[8];
    format_date(d, b);
    return std::string(b, 8);
}

}  // namespace

struct WorkArea::Impl {
    WorkArea* self = nullptr;
    Scope* scope = nullptr;   // the set of areas this one belongs to (none for a free-standing area)
    int number = 0;
    DbfFile file;
    std::string alias, path;
    std::vector<char> rec, orig, blank;   // current record, as last read / written, a blank one
    uint32_t recno = 0;
    bool eof = true, bof = true, found = false;
    bool dirty = false, is_new = false;
    std::vector<std::unique_ptr<NtxFile>> idx;
    int order = 0;
    // The controlling index's cursor is where the next step continues: on the current record, or,
    // while read-ahead entries are queued, on the last of them.
    bool cursor_ok = false;
    // Scans in index order read the next entries of the controlling index ahead, a growing batch
    // per index lock, instead of taking the lock for every step. In shared mode the records
    // themselves are always read fresh; only the order may lag behind another process's change by
    // one batch.
    std::vector<uint32_t> ahead;
    size_t ahead_pos = 0;
    int ahead_dir = 0;
    bool ahead_end = false;      // the batch reached the end of the index
    size_t ahead_batch = 1;
    static constexpr size_t AHEAD_MAX = 256;

    // Held exclusively, the records of a long batch are read too, in file order with one read per
    // stretch of nearby records, instead of one read per record.
    std::vector<char> ahead_recs;
    bool ahead_recs_ok = false;
    static constexpr size_t PREFETCH_BYTES = 8u << 20;
    static constexpr size_t PREFETCH_GAP = 16u << 10;   // bytes read over rather than another read

    size_t excl_batch_max() const { return std::max<size_t>(AHEAD_MAX, PREFETCH_BYTES / rec.size()); }

    void prefetch_records() {
        ahead_recs_ok = false;
        if (shared() || ahead.size() < 64) return;
        file.flush();   // buffered appends go to disk, so every record is read from there
        const size_t rl = rec.size();
        std::vector<std::pair<uint32_t, uint32_t>> byrec;   // (record, position in the batch)
        byrec.reserve(ahead.size());
        for (size_t i = 0; i < ahead.size(); ++i) {
            if (ahead[i] < 1 || ahead[i] > file.count()) return;   // an index out of step: read one by one
            byrec.emplace_back(ahead[i], static_cast<uint32_t>(i));
        }
        std::sort(byrec.begin(), byrec.end());
        ahead_recs.resize(ahead.size() * rl);
        const uint32_t gap = static_cast<uint32_t>(std::max<size_t>(1, PREFETCH_GAP / rl));
        const uint32_t span_max = static_cast<uint32_t>(std::max<size_t>(1, (1u << 20) / rl));
        span_.resize(static_cast<size_t>(span_max) * rl);
        size_t a = 0;
        while (a < byrec.size()) {
            const uint32_t first = byrec[a].first;
            size_t b = a + 1;
            while (b < byrec.size() && byrec[b].first - byrec[b - 1].first <= gap && byrec[b].first - first < span_max) ++b;
            const uint32_t last = byrec[b - 1].first;
            file.read_span(first, last, span_.data());
            for (size_t k = a; k < b; ++k)
                std::memcpy(ahead_recs.data() + static_cast<size_t>(byrec[k].second) * rl,
                            span_.data() + static_cast<size_t>(byrec[k].first - first) * rl, rl);
            a = b;
        }
        ahead_recs_ok = true;
    }
    std::vector<char> span_;

    void reset_ahead() {
        ahead_recs_ok = false;
        if (ahead_recs.capacity() > (1u << 20)) {   // the memory of a long scan is given back
            std::vector<char>().swap(ahead_recs);
            std::vector<char>().swap(span_);
            std::vector<uint32_t>().swap(ahead);
        }
        ahead.clear();
        ahead_pos = 0;
        ahead_dir = 0;
        ahead_end = false;
        ahead_batch = 1;
    }
    void invalidate_cursor() {
        cursor_ok = false;
        reset_ahead();
    }
    std::vector<uint32_t> locks;
    bool file_locked = false;
    bool append_held = false;   // append_lock taken: append_blank neither takes nor releases it
    std::function<bool()> filter;
    std::string filter_text;
    struct Relation {
        std::string alias;
        std::function<std::string()> key;
        std::string text;
    };
    std::vector<Relation> relations;

    // Evaluates caller code (filters, relation keys) with this area selected.
    struct SelectGuard {
        Scope* s;
        int prev;
        explicit SelectGuard(const Impl& im) : s(im.scope), prev(im.scope ? im.scope->cur : 0) {
            if (s) s->cur = im.number;
        }
        ~SelectGuard() { if (s) s->cur = prev; }
    };

    // Index lock held for a read in shared mode.
    struct ReadLock {
        NtxFile* x;
        explicit ReadLock(NtxFile* n, bool shared) : x(shared ? n : nullptr) { if (x) x->lock_read(); }
        ~ReadLock() {
            if (!x) return;
            try { x->unlock(); } catch (...) {}
        }
    };
    // Index lock held for an update in shared mode; done() writes the changed pages and releases
    // it (errors reach the caller), the destructor only releases it after an error.
    struct WriteLock {
        NtxFile* x;
        explicit WriteLock(NtxFile* n, bool shared) : x(shared ? n : nullptr) { if (x) x->lock_write(); }
        void done() {
            if (!x) return;
            NtxFile* n = x;
            x = nullptr;
            n->flush();
            n->unlock();
        }
        ~WriteLock() {
            if (!x) return;
            try { x->unlock(); } catch (...) {}
        }
    };

    void need_open() const {
        if (!file.is_open()) throw rt::Error("Radno podrucje nije otvoreno");
    }
    bool shared() const { return !file.exclusive(); }
    NtxFile* ctl() const { return order > 0 && order <= static_cast<int>(idx.size()) ? idx[order - 1].get() : nullptr; }
    const std::string& tname() const { return path; }

    const FieldDef& field(int i) const {
        if (i < 0 || i >= static_cast<int>(file.fields().size()))
            throw rt::Error("Polje broj " + std::to_string(i + 1) + " ne postoji u tabeli " + tname());
        return file.fields()[static_cast<size_t>(i)];
    }
    int field_no(const std::string& name) const {
        need_open();
        int i = find_field(file.fields(), name);
        if (i < 0) throw rt::Error("Polje " + upper(name) + " ne postoji u tabeli " + tname());
        return i;
    }

    bool visible() {
        if (g_hide_deleted && rec[0] == '*') return false;
        if (filter) {
            SelectGuard g(*this);
            return filter();
        }
        return true;
    }

    void load(uint32_t n) {
        file.read_record(n, rec.data());
        std::memcpy(orig.data(), rec.data(), rec.size());
        recno = n;
        eof = false;
    }
    // Loads the record an index entry points to; false when the table has no such record.
    bool load_entry(uint32_t n) {
        if (n > file.count()) file.refresh_count();
        if (n < 1 || n > file.count()) return false;
        load(n);
        return true;
    }
    void set_eof() {
        recno = file.count() + 1;
        std::memcpy(rec.data(), blank.data(), blank.size());
        std::memcpy(orig.data(), blank.data(), blank.size());
        eof = true;
        invalidate_cursor();
    }

    // Writes the current record when changed, keeping every open index current.
    void flush_rec() {
        if (!dirty) return;
        if (eof) { dirty = false; return; }
        ahead_recs_ok = false;
        file.write_record(recno, rec.data());
        for (size_t i = 0; i < idx.size(); ++i) {
            NtxFile* x = idx[i].get();
            std::string nk = x->expr().eval(rec.data());
            if (is_new) {
                WriteLock w(x, shared());
                x->insert(nk, recno);
                w.done();
            } else {
                std::string ok = x->expr().eval(orig.data());
                if (ok == nk) continue;
                WriteLock w(x, shared());
                x->remove(ok, recno);
                x->insert(nk, recno);
                w.done();
            }
            if (static_cast<int>(i) == order - 1) invalidate_cursor();
        }
        std::memcpy(orig.data(), rec.data(), rec.size());
        dirty = false;
        is_new = false;
    }

    // Puts the controlling index's cursor on the current record; false when it has no entry.
    bool sync_cursor(NtxFile* x) {
        // The index keeps its cursor across locks and changes made elsewhere (it re-finds the entry).
        if (cursor_ok) return true;
        if (x->position(x->expr().eval(orig.data()), recno)) {
            cursor_ok = true;
            return true;
        }
        return false;
    }

    // The entry after the current record in direction dir, with the cursor synchronised first.
    uint32_t first_step(NtxFile* x, int dir) {
        if (sync_cursor(x)) return dir > 0 ? x->next() : x->prev();
        // The record is not in the index (its key was changed elsewhere): continue from its key.
        bool f;
        uint32_t r = x->seek(x->expr().eval(orig.data()), f);
        if (dir < 0) r = r ? x->prev() : x->last();
        while (r && r == recno) r = dir > 0 ? x->next() : x->prev();
        return r;
    }

    // One visible record further in the current order (dir +1 / -1): its number, 0 when none.
    uint32_t step(int dir) {
        if (NtxFile* x = ctl()) {
            if (ahead_dir != dir && !ahead.empty()) invalidate_cursor();   // turned round: from here
            for (;;) {
                if (ahead_pos < ahead.size()) {
                    const size_t i = ahead_pos++;
                    const uint32_t r = ahead[i];
                    if (ahead_recs_ok) {
                        if (r < 1 || r > file.count()) continue;
                        std::memcpy(rec.data(), ahead_recs.data() + i * rec.size(), rec.size());
                        std::memcpy(orig.data(), rec.data(), rec.size());
                        recno = r;
                        eof = false;
                        if (visible()) return r;
                        continue;
                    }
                    if (load_entry(r) && visible()) return r;
                    continue;
                }
                if (ahead_end) {
                    invalidate_cursor();
                    return 0;
                }
                // The next batch of entries, under one index lock.
                const size_t batch = ahead_batch;
                {
                    ReadLock g(x, shared());
                    uint32_t r = ahead.empty() ? first_step(x, dir) : (dir > 0 ? x->next() : x->prev());
                    ahead.clear();
                    ahead_pos = 0;
                    ahead_dir = dir;
                    while (r) {
                        ahead.push_back(r);
                        if (ahead.size() >= batch) break;
                        r = dir > 0 ? x->next() : x->prev();
                    }
                    ahead_end = r == 0;
                    cursor_ok = r != 0;
                }
                ahead_batch = std::min(batch * 2, shared() ? AHEAD_MAX : excl_batch_max());
                prefetch_records();
            }
        }
        uint32_t r = recno;
        for (;;) {
            if (dir > 0) {
                ++r;
                if (r > file.count()) {
                    file.refresh_count();
                    if (r > file.count()) return 0;
                }
            } else {
                if (r > file.count() + 1) r = file.count() + 1;
                if (r <= 1) return 0;
                --r;
            }
            load(r);
            if (visible()) return r;
        }
    }

    // The first / last visible record in the current order: its number, 0 when none.
    uint32_t edge(bool first) {
        file.refresh_count();
        if (NtxFile* x = ctl()) {
            reset_ahead();
            ReadLock g(x, shared());
            uint32_t r = first ? x->first() : x->last();
            while (r && !(load_entry(r) && visible())) r = first ? x->next() : x->prev();
            cursor_ok = r != 0;
            return r;
        }
        if (first) {
            for (uint32_t r = 1; r <= file.count(); ++r) {
                load(r);
                if (visible()) return r;
            }
        } else {
            for (uint32_t r = file.count(); r >= 1; --r) {
                load(r);
                if (visible()) return r;
            }
        }
        return 0;
    }

    void top() {
        if (edge(true)) {
            eof = bof = false;
        } else {
            set_eof();
            bof = true;
        }
    }

    void fire_relations() {
        if (relations.empty() || !scope) return;
        for (auto& rel : relations) {
            WorkArea* child = nullptr;
            for (auto& [n, a] : scope->areas)
                if (a->used() && a->alias() == rel.alias) { child = a.get(); break; }
            if (!child || child == self) continue;
            if (eof) {
                child->go_to(0);
                continue;
            }
            std::string k;
            {
                SelectGuard g(*this);
                k = rel.key();
            }
            if (child->order() > 0) child->seek(k);
            else child->go_to(static_cast<uint32_t>(std::max(0.0, rt::VAL(k))));
        }
    }

    void check_writable() {
        if (file.readonly()) throw rt::Error("Tabela " + tname() + " je otvorena samo za citanje");
        if (shared() && !file_locked && std::find(locks.begin(), locks.end(), recno) == locks.end())
            throw rt::Error("Zapis " + std::to_string(recno) + " tabele " + tname() + " nije zakljucan");
    }

    void release_locks() {
        for (uint32_t n : locks) file.unlock(LOCK_BASE + n, 1);
        locks.clear();
        if (file_locked) file.unlock(FILE_LOCK_START, FILE_LOCK_LEN);
        file_locked = false;
    }

    // Stores v into field f of the record buffer rec (with the overflow check).
    void store(const FieldDef& f, const Value& v, char* rbuf) {
        char* p = rbuf + f.offset;
        switch (f.type) {
        case 'C': {
            const std::string* s = std::get_if<std::string>(&v);
            if (!s) break;
            size_t n = std::min(s->size(), static_cast<size_t>(f.len));
            std::memcpy(p, s->data(), n);
            std::memset(p + n, ' ', static_cast<size_t>(f.len) - n);
            return;
        }
        case 'N': {
            const double* d = std::get_if<double>(&v);
            if (!d) break;
            if (!format_number(*d, f.len, f.dec, p)) {
                char b[64];
                std::snprintf(b, sizeof b, "%.*f", std::clamp(f.dec, 0, 15), *d);
                throw rt::Error("Vrednost " + std::string(b) + " ne staje u polje " + f.name + " (N" +
                                std::to_string(f.len) + "." + std::to_string(f.dec) + ") tabele " + tname());
            }
            return;
        }
        case 'D': {
            const Date* d = std::get_if<Date>(&v);
            if (!d) break;
            format_date(*d, p);
            return;
        }
        case 'L': {
            const bool* b = std::get_if<bool>(&v);
            if (!b) break;
            *p = *b ? 'T' : 'F';
            return;
        }
        }
        throw rt::Error("Pogresan tip vrednosti za polje " + f.name + " tabele " + tname());
    }

    Value value(const FieldDef& f) const {
        const char* p = rec.data() + f.offset;
        switch (f.type) {
        case 'N': return parse_number(p, f.len);
        case 'D': return parse_date(p);
        case 'L': return *p == 'T' || *p == 't' || *p == 'Y' || *p == 'y';
        default: return std::string(p, static_cast<size_t>(f.len));
        }
    }
};

// ---------------------------------------------------------------------------------------------

WorkArea::WorkArea() : impl_(std::make_unique<Impl>()) { impl_->self = this; }

WorkArea::~WorkArea() {
    try { close(); } catch (...) {}
}

bool WorkArea::open(const std::string& path, const std::string& alias, bool exclusive) {
    close();
    Impl& m = *impl_;
    std::string al = upper(alias.empty() ? stem(path) : alias);
    if (m.scope) {
        for (auto& [n, a] : m.scope->areas)
            if (a.get() != this && a->used() && a->alias() == al)
                throw rt::Error("Alias " + al + " je vec u upotrebi");
    }
    std::string p = detail::table_path(path);
    if (!m.file.open(p, exclusive)) return false;
    m.alias = al;
    m.path = p;
    const size_t rl = m.file.record_len();
    m.rec.assign(rl, ' ');
    m.orig.assign(rl, ' ');
    m.blank.assign(rl, ' ');
    m.dirty = m.is_new = false;
    m.order = 0;
    m.invalidate_cursor();
    m.found = false;
    m.top();
    return true;
}

void WorkArea::close() {
    Impl& m = *impl_;
    if (!m.file.is_open()) return;
    std::exception_ptr err;
    try {
        m.flush_rec();
        for (auto& x : m.idx) {
            Impl::WriteLock w(x.get(), m.shared());
            x->flush();
            w.done();
        }
        m.file.flush();
    } catch (...) {
        err = std::current_exception();
    }
    m.dirty = false;
    m.release_locks();
    m.append_held = false;   // the file's locks go with its descriptor
    m.idx.clear();
    m.order = 0;
    m.file.close();
    m.filter = nullptr;
    m.filter_text.clear();
    m.relations.clear();
    m.alias.clear();
    m.path.clear();
    m.eof = m.bof = true;
    m.found = false;
    m.recno = 0;
    if (err) std::rethrow_exception(err);
}

bool WorkArea::used() const { return impl_->file.is_open(); }
const std::string& WorkArea::alias() const { return impl_->alias; }
const std::string& WorkArea::path() const { return impl_->path; }
bool WorkArea::exclusive() const { return impl_->file.is_open() && impl_->file.exclusive(); }

// ---- indexes ----

void WorkArea::set_index(const std::vector<std::string>& ntx_paths) {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    m.idx.clear();
    m.order = 0;
    m.invalidate_cursor();
    for (const std::string& p : ntx_paths) {
        if (p.empty()) continue;
        m.idx.push_back(NtxFile::open(detail::index_path(p), m.file.fields(), m.file.readonly()));
    }
    if (!m.idx.empty()) {
        m.order = 1;
        go_top();
    }
}

void WorkArea::add_index(const std::string& ntx_path) {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    m.idx.push_back(NtxFile::open(detail::index_path(ntx_path), m.file.fields(), m.file.readonly()));
    if (m.order == 0 && m.idx.size() == 1) {
        m.order = 1;
        m.invalidate_cursor();
    }
}

void WorkArea::set_order(int n) {
    Impl& m = *impl_;
    m.flush_rec();
    m.order = (n >= 1 && n <= static_cast<int>(m.idx.size())) ? n : 0;
    m.invalidate_cursor();
}

int WorkArea::order() const { return impl_->order; }
int WorkArea::index_count() const { return static_cast<int>(impl_->idx.size()); }

std::string WorkArea::index_key(int n) const {
    if (n < 1 || n > static_cast<int>(impl_->idx.size())) return "";
    return impl_->idx[static_cast<size_t>(n - 1)]->expr().text();
}

void WorkArea::create_index(const std::string& expr, const std::string& ntx_path, bool unique) {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    m.file.flush();
    m.idx.clear();
    m.order = 0;
    m.file.refresh_count();
    const std::string p = detail::index_path(ntx_path);
    NtxFile::create(p, expr, m.file.fields(), m.file.count(),
                    [&m](uint32_t n) { return m.file.scan_record(n); }, unique);
    m.idx.push_back(NtxFile::open(p, m.file.fields(), m.file.readonly()));
    m.order = 1;
    go_top();
}

// ---- navigation ----

void WorkArea::go_top() {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    m.found = false;
    m.top();
    m.fire_relations();
}

void WorkArea::go_bottom() {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    m.found = false;
    if (m.edge(false)) {
        m.eof = m.bof = false;
    } else {
        m.set_eof();
        m.bof = true;
    }
    m.fire_relations();
}

void WorkArea::skip(long n) {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    m.found = false;
    if (n == 0) {
        if (!m.eof) {
            m.file.refresh_count();
            m.load(m.recno);
        }
    } else if (n > 0) {
        m.bof = false;
        for (; n > 0 && !m.eof; --n)
            if (!m.step(+1)) m.set_eof();
    } else {
        if (m.eof) {
            // From the phantom record one step back is the last record.
            if (m.edge(false)) {
                m.eof = m.bof = false;
                ++n;
            } else {
                m.set_eof();
                m.bof = true;
                n = 0;
            }
        }
        for (; n < 0; ++n) {
            if (!m.step(-1)) {
                m.top();
                m.bof = true;
                break;
            }
            m.bof = false;
        }
    }
    m.fire_relations();
}

void WorkArea::go_to(uint32_t recno) {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    m.found = false;
    if (recno > m.file.count()) m.file.refresh_count();
    if (recno < 1 || recno > m.file.count()) {
        m.set_eof();
    } else {
        m.load(recno);
        m.eof = m.bof = false;
        m.invalidate_cursor();
    }
    m.fire_relations();
}

bool WorkArea::seek(const std::string& key, bool soft) {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    NtxFile* x = m.ctl();
    if (!x) throw rt::Error("Trazenje bez aktivnog indeksa u tabeli " + m.tname());
    std::string_view k(key);
    const size_t ks = static_cast<size_t>(x->expr().key_size());
    if (k.size() > ks) k = k.substr(0, ks);
    uint32_t r;
    bool f = false;
    {
        Impl::ReadLock g(x, m.shared());
        r = x->seek(k, f);
        bool skipped = false;
        while (r && !(m.load_entry(r) && m.visible())) {
            r = x->next();
            skipped = true;
        }
        if (r && skipped) f = x->current_key().compare(0, k.size(), k) == 0;
    }
    m.bof = false;
    m.reset_ahead();
    if (!r || (!f && !soft)) {
        m.set_eof();
    } else {
        m.eof = false;
        m.cursor_ok = true;
    }
    m.found = r && f;
    m.fire_relations();
    return m.found;
}

bool WorkArea::seek(double number, bool soft) {
    NtxFile* x = impl_->ctl();
    if (!x) throw rt::Error("Trazenje bez aktivnog indeksa u tabeli " + impl_->tname());
    return seek(key_of_number(number, x->expr().key_size(), x->expr().decimals()), soft);
}

bool WorkArea::seek(const Date& d, bool soft) { return seek(key_of_date_text(date_text(d)), soft); }

bool WorkArea::found() const { return impl_->found; }
bool WorkArea::eof() const { return impl_->eof; }
bool WorkArea::bof() const { return impl_->bof; }
uint32_t WorkArea::recno() const { return impl_->file.is_open() ? impl_->recno : 0; }

uint32_t WorkArea::reccount() const {
    if (!impl_->file.is_open()) return 0;
    impl_->file.refresh_count();
    return impl_->file.count();
}

bool WorkArea::deleted() const { return impl_->file.is_open() && !impl_->eof && impl_->rec[0] == '*'; }

// ---- fields ----

int WorkArea::field_count() const { return static_cast<int>(impl_->file.fields().size()); }
const std::vector<FieldDef>& WorkArea::fields() const { return impl_->file.fields(); }
int WorkArea::field_index(const std::string& name) const { return find_field(impl_->file.fields(), name); }

Value WorkArea::get(const std::string& name) const { return impl_->value(impl_->field(impl_->field_no(name))); }
Value WorkArea::get(int field) const {
    impl_->need_open();
    return impl_->value(impl_->field(field));
}

std::string WorkArea::get_str(const std::string& name) const {
    const FieldDef& f = impl_->field(impl_->field_no(name));
    if (f.type == 'C') return std::string(impl_->rec.data() + f.offset, static_cast<size_t>(f.len));
    throw rt::Error("Polje " + f.name + " tabele " + impl_->tname() + " nije znakovno");
}

double WorkArea::get_num(const std::string& name) const {
    const FieldDef& f = impl_->field(impl_->field_no(name));
    if (f.type == 'N') return parse_number(impl_->rec.data() + f.offset, f.len);
    throw rt::Error("Polje " + f.name + " tabele " + impl_->tname() + " nije numericko");
}

Date WorkArea::get_date(const std::string& name) const {
    const FieldDef& f = impl_->field(impl_->field_no(name));
    if (f.type == 'D') return parse_date(impl_->rec.data() + f.offset);
    throw rt::Error("Polje " + f.name + " tabele " + impl_->tname() + " nije datum");
}

bool WorkArea::get_bool(const std::string& name) const {
    const FieldDef& f = impl_->field(impl_->field_no(name));
    if (f.type == 'L') return std::get<bool>(impl_->value(f));
    throw rt::Error("Polje " + f.name + " tabele " + impl_->tname() + " nije logicko");
}

void WorkArea::put(const std::string& name, const Value& v) { put(impl_->field_no(name), v); }

void WorkArea::put(int field, const Value& v) {
    Impl& m = *impl_;
    m.need_open();
    const FieldDef& f = m.field(field);
    if (m.eof) return;   // the phantom record takes no values
    m.check_writable();
    m.store(f, v, m.rec.data());
    m.dirty = true;
}

// ---- changes ----

bool WorkArea::append_blank() {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    if (m.file.readonly()) throw rt::Error("Tabela " + m.tname() + " je otvorena samo za citanje");
    m.found = false;
    if (m.file.exclusive()) {
        m.file.write_record(m.file.count() + 1, m.blank.data());
    } else {
        for (uint32_t n : m.locks) m.file.unlock(LOCK_BASE + n, 1);
        m.locks.clear();
        if (!m.append_held && !m.file.lock(LOCK_BASE, 1, true)) return false;
        try {
            m.file.refresh_count();
            const uint32_t n = m.file.count() + 1;
            if (!m.file_locked && !m.file.lock(LOCK_BASE + n, 1, false)) {
                if (!m.append_held) m.file.unlock(LOCK_BASE, 1);
                return false;
            }
            try {
                m.file.append_shared(m.blank.data());
            } catch (...) {
                if (!m.file_locked) m.file.unlock(LOCK_BASE + n, 1);
                throw;
            }
            if (!m.file_locked) m.locks.push_back(n);
        } catch (...) {
            if (!m.append_held) m.file.unlock(LOCK_BASE, 1);
            throw;
        }
        if (!m.append_held) m.file.unlock(LOCK_BASE, 1);
    }
    m.recno = m.file.count();
    std::memcpy(m.rec.data(), m.blank.data(), m.blank.size());
    std::memcpy(m.orig.data(), m.blank.data(), m.blank.size());
    m.eof = m.bof = false;
    m.is_new = m.dirty = true;
    m.invalidate_cursor();
    m.fire_relations();
    return true;
}

void WorkArea::delete_record() {
    Impl& m = *impl_;
    m.need_open();
    if (m.eof) return;
    m.check_writable();
    m.rec[0] = '*';
    m.dirty = true;
}

void WorkArea::recall() {
    Impl& m = *impl_;
    m.need_open();
    if (m.eof) return;
    m.check_writable();
    m.rec[0] = ' ';
    m.dirty = true;
}

bool WorkArea::append_lock() {
    Impl& m = *impl_;
    m.need_open();
    if (m.file.exclusive() || m.append_held) return true;
    if (!m.file.lock(LOCK_BASE, 1, true)) return false;
    m.append_held = true;
    m.file.refresh_count();
    return true;
}

void WorkArea::append_unlock() {
    Impl& m = *impl_;
    if (!m.append_held) return;
    m.append_held = false;
    if (m.file.is_open()) m.file.unlock(LOCK_BASE, 1);
}

bool WorkArea::rlock() {
    Impl& m = *impl_;
    if (!m.file.is_open() || m.eof) return false;
    if (m.file.exclusive()) return true;
    m.flush_rec();
    if (std::find(m.locks.begin(), m.locks.end(), m.recno) != m.locks.end() && m.locks.size() == 1 && !m.file_locked)
        return true;
    m.release_locks();
    return rlock(m.recno);
}

bool WorkArea::rlock(uint32_t recno) {
    Impl& m = *impl_;
    if (!m.file.is_open() || recno < 1) return false;
    if (m.file.exclusive() || m.file_locked) return true;
    if (std::find(m.locks.begin(), m.locks.end(), recno) != m.locks.end()) return true;
    m.flush_rec();
    if (!m.file.lock(LOCK_BASE + recno, 1, false)) return false;
    m.locks.push_back(recno);
    // The record as it is now (another process may have changed it before the lock); the count
    // only matters for a record beyond the one known.
    if (recno > m.file.count()) m.file.refresh_count();
    if (recno == m.recno && !m.eof && recno <= m.file.count()) m.load(recno);
    return true;
}

bool WorkArea::flock() {
    Impl& m = *impl_;
    if (!m.file.is_open()) return false;
    if (m.file.exclusive() || m.file_locked) return true;
    m.flush_rec();
    m.release_locks();
    if (!m.file.lock(FILE_LOCK_START, FILE_LOCK_LEN, false)) return false;
    m.file_locked = true;
    m.file.refresh_count();
    if (!m.eof && m.recno <= m.file.count()) m.load(m.recno);
    return true;
}

void WorkArea::unlock() {
    Impl& m = *impl_;
    if (!m.file.is_open()) return;
    m.flush_rec();
    m.release_locks();
}

bool WorkArea::is_locked(uint32_t recno) const {
    const Impl& m = *impl_;
    if (!m.file.is_open()) return false;
    if (m.file.exclusive() || m.file_locked) return true;
    return std::find(m.locks.begin(), m.locks.end(), recno) != m.locks.end();
}

void WorkArea::commit() {
    Impl& m = *impl_;
    if (!m.file.is_open()) return;
    m.flush_rec();
    m.file.flush();
    if (m.file.exclusive())
        for (auto& x : m.idx) x->flush();
}

void WorkArea::zap() {
    Impl& m = *impl_;
    m.need_open();
    if (!m.file.exclusive()) throw rt::Error("Tabela " + m.tname() + " mora biti otvorena iskljucivo za praznjenje");
    if (m.file.readonly()) throw rt::Error("Tabela " + m.tname() + " je otvorena samo za citanje");
    m.dirty = m.is_new = false;
    m.file.truncate_all();
    for (auto& x : m.idx) {
        const std::string text = x->expr().text();
        const std::string p = x->path();
        const bool uniq = x->unique();
        x.reset();
        NtxFile::create(p, text, m.file.fields(), 0, [](uint32_t) -> const char* { return nullptr; }, uniq);
        x = NtxFile::open(p, m.file.fields(), false);
    }
    m.found = false;
    m.set_eof();
    m.bof = true;
}

void WorkArea::append_from(const std::string& path) {
    Impl& m = *impl_;
    m.need_open();
    m.flush_rec();
    DbfFile src;
    const std::string p = detail::table_path(path);
    if (!src.open(p, false)) throw rt::Error("Datoteka " + p + " je zauzeta");
    struct Pair { const FieldDef* from; const FieldDef* to; };
    std::vector<Pair> pairs;
    for (const FieldDef& t : m.file.fields()) {
        int i = find_field(src.fields(), t.name);
        if (i >= 0) pairs.push_back({&src.fields()[static_cast<size_t>(i)], &t});
    }
    const uint32_t count = src.count();
    for (uint32_t n = 1; n <= count; ++n) {
        const char* s = src.scan_record(n);
        if (!append_blank()) throw rt::Error("Ne mogu da dodam zapis u tabelu " + m.tname());
        char* d = m.rec.data();
        d[0] = s[0] == '*' ? '*' : ' ';
        for (const Pair& pr : pairs) {
            const FieldDef& a = *pr.from;
            const FieldDef& b = *pr.to;
            if (a.type != b.type) continue;   // incompatible types stay blank
            if (a.type == 'N' && (a.len != b.len || a.dec != b.dec)) {
                m.store(b, parse_number(s + a.offset, a.len), d);
            } else if (a.type == 'C') {
                size_t k = static_cast<size_t>(std::min(a.len, b.len));
                std::memcpy(d + b.offset, s + a.offset, k);
                std::memset(d + b.offset + k, ' ', static_cast<size_t>(b.len) - k);
            } else {
                std::memcpy(d + b.offset, s + a.offset, static_cast<size_t>(b.len));
            }
        }
        m.dirty = true;
        m.flush_rec();
    }
    src.close();
    unlock();
}

// ---- filters and relations ----

void WorkArea::set_filter(std::function<bool()> cond, std::string text) {
    impl_->filter = std::move(cond);
    impl_->filter_text = std::move(text);
}

void WorkArea::clear_filter() {
    impl_->filter = nullptr;
    impl_->filter_text.clear();
}

const std::string& WorkArea::filter_text() const { return impl_->filter_text; }
const std::function<bool()>& WorkArea::filter() const { return impl_->filter; }

void WorkArea::set_relation(const std::string& child_alias, std::function<std::string()> key, std::string text) {
    impl_->relations.push_back({upper(child_alias), std::move(key), std::move(text)});
}

void WorkArea::clear_relations() { impl_->relations.clear(); }

std::vector<std::pair<std::string, std::string>> WorkArea::relations() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& r : impl_->relations) out.emplace_back(r.text, r.alias);
    return out;
}

// ---- work areas ----

namespace {

WorkArea& make_area(Scope& s, int n) {
    auto it = s.areas.find(n);
    if (it != s.areas.end()) return *it->second;
    auto a = std::make_unique<WorkArea>();
    WorkArea& r = *a;
    s.areas.emplace(n, std::move(a));
    return r;
}

}  // namespace

WorkArea& area(int n) {
    if (n < 1 || n > 65534) throw rt::Error("Neispravan broj radnog podrucja " + std::to_string(n));
    Scope& s = top_scope();
    bool fresh = s.areas.find(n) == s.areas.end();
    WorkArea& a = make_area(s, n);
    if (fresh) {
        // The area knows its scope and number so that filters and relation keys run with it selected.
        a.impl_->scope = &s;
        a.impl_->number = n;
    }
    return a;
}

WorkArea& current() { return area(top_scope().cur); }
int current_number() { return top_scope().cur; }

WorkArea& area(const std::string& alias) {
    const std::string al = upper(alias);
    for (auto& [n, a] : top_scope().areas)
        if (a->used() && a->alias() == al) return *a;
    throw rt::Error("Alias " + al + " ne postoji");
}

bool alias_used(const std::string& alias) {
    const std::string al = upper(alias);
    for (auto& [n, a] : top_scope().areas)
        if (a->used() && a->alias() == al) return true;
    return false;
}

void select(int n) {
    if (n == 0) { select_free(); return; }
    area(n);
    top_scope().cur = n;
}

void select(const std::string& alias) {
    const std::string al = upper(alias);
    for (auto& [n, a] : top_scope().areas)
        if (a->used() && a->alias() == al) { top_scope().cur = n; return; }
    throw rt::Error("Alias " + al + " ne postoji");
}

int select_free() {
    Scope& s = top_scope();
    int n = 1;
    for (auto& [k, a] : s.areas) {
        if (k != n) break;
        if (!a->used()) break;
        ++n;
    }
    area(n);
    s.cur = n;
    return n;
}

bool use(const std::string& path, const std::string& alias, bool exclusive) {
    return current().open(path, alias, exclusive);
}

void close_all() {
    std::exception_ptr err;
    for (auto& [n, a] : top_scope().areas) {
        try { a->close(); } catch (...) { if (!err) err = std::current_exception(); }
    }
    top_scope().cur = 1;
    if (err) std::rethrow_exception(err);
}

std::vector<int> used_areas() {
    std::vector<int> r;
    for (auto& [n, a] : top_scope().areas)
        if (a->used()) r.push_back(n);
    return r;
}

AreaScope::AreaScope() { scopes().push_back(std::make_unique<Scope>()); }

AreaScope::~AreaScope() {
    auto& s = scopes();
    if (s.size() <= 1) return;
    for (auto& [n, a] : s.back()->areas) {
        try { a->close(); } catch (...) {}
    }
    s.pop_back();
}

bool set_deleted(bool hide) {
    bool prev = g_hide_deleted;
    g_hide_deleted = hide;
    return prev;
}

bool deleted_hidden() { return g_hide_deleted; }

// ---- files ----

void create_table(const std::string& path, const std::vector<FieldDef>& fields) {
    std::vector<FieldDef> f = fields;
    std::string h = detail::make_header(f, 0);
    h += '\x1A';
    const std::string p = detail::table_path(path);
    if (!rt::os::write_file(p, h)) throw rt::Error("Ne mogu da napravim datoteku " + p);
}

std::vector<FieldDef> table_fields(const std::string& path) {
    DbfFile f;
    if (!f.open(detail::table_path(path), false)) throw rt::Error("Datoteka " + path + " je zauzeta");
    return f.fields();
}

void copy_table_file(const std::string& from, const std::string& to) {
    const std::string a = detail::table_path(from);
    const std::string b = detail::table_path(to);
    if (!rt::os::exists(a)) throw rt::Error("Ne postoji datoteka " + a);
    if (!rt::os::copy_file(a, b)) throw rt::Error("Ne mogu da kopiram " + a + " u " + b);
}

}  // namespace rt::dbf
