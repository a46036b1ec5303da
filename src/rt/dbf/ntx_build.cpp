// Building an index file in one go: every key is collected and sorted (in memory, or in sorted runs
// on temporary files merged at the end when the table is large), then the pages are written in
// key order, each page after its children, so the file is written front to back.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <queue>
#include <vector>

#include "rt/dbf/ntx.h"
#include "rt/os/os.h"
#include "rt/dbf/ntx_page.h"
#include "rt/fmt/error.h"

namespace rt::dbf {

using namespace ntx;

namespace {

struct SortEnt {
    uint64_t a, b;  // the first 16 key bytes, big-endian, for quick comparison
    uint32_t idx;   // position in the chunk
    uint32_t rec;
};

inline uint64_t be_prefix(const char* k, size_t len) {
    uint64_t v = 0;
    for (size_t i = 0; i < 8; ++i) v = (v << 8) | (i < len ? static_cast<unsigned char>(k[i]) : 0u);
    return v;
}

[[noreturn]] void io_fail(const std::string& path, const char* what) {
    throw rt::Error("Greska pri " + std::string(what) + " indeksa " + path + ": " + std::strerror(errno));
}

// Written a memory page at a time: the page cache then holds the file in small pages, and the
// later change of one index page touches one of them (a write into a large cached page costs
// time in proportion to its size).
void write_all(int fd, const void* data, size_t len, const std::string& path) {
    const char* p = static_cast<const char*>(data);
    while (len > 0) {
        ssize_t r = ::write(fd, p, std::min<size_t>(len, 4096));
        if (r < 0) {
            if (errno == EINTR) continue;
            io_fail(path, "upisu");
        }
        p += r;
        len -= static_cast<size_t>(r);
    }
}

// One chunk of keys sorted in memory. Keys of up to 16 bytes live only in the sort entries
// (as two big-endian words), so sorting and reading them back touch one array in order.
class Chunk {
public:
    Chunk(size_t kl, size_t cap) : kl_(kl), cap_(cap), packed_(kl <= 16), ents_(new SortEnt[cap]) {
        if (!packed_) keys_.reset(new char[cap * kl]);
    }
    size_t size() const { return n_; }
    void clear() { n_ = 0; }
    // The place for the next key (kl bytes), then end_add().
    char* begin_add() { return packed_ ? scratch_ : &keys_[n_ * kl_]; }
    void end_add(uint32_t rec) {
        const char* k = packed_ ? scratch_ : &keys_[n_ * kl_];
        SortEnt& e = ents_[n_];
        e.a = be_prefix(k, kl_);
        e.b = kl_ > 8 ? be_prefix(k + 8, kl_ - 8) : 0;
        e.idx = static_cast<uint32_t>(n_);
        e.rec = rec;
        ++n_;
    }
    void sort() {
        const size_t kl = kl_;
        const char* keys = keys_.get();
        if (packed_) {
            std::sort(ents_.get(), ents_.get() + n_, [](const SortEnt& x, const SortEnt& y) {
                if (x.a != y.a) return x.a < y.a;
                if (x.b != y.b) return x.b < y.b;
                return x.rec < y.rec;
            });
            return;
        }
        std::sort(ents_.get(), ents_.get() + n_, [kl, keys](const SortEnt& x, const SortEnt& y) {
            if (x.a != y.a) return x.a < y.a;
            if (x.b != y.b) return x.b < y.b;
            int c = std::memcmp(keys + static_cast<size_t>(x.idx) * kl + 16, keys + static_cast<size_t>(y.idx) * kl + 16, kl - 16);
            if (c) return c < 0;
            return x.rec < y.rec;
        });
    }
    // The i-th key in sorted order: a pointer into the chunk, or written to buf (16 bytes).
    const char* key(size_t i, char* buf) const {
        const SortEnt& e = ents_[i];
        if (!packed_) return &keys_[static_cast<size_t>(e.idx) * kl_];
        for (size_t j = 0; j < kl_; ++j)
            buf[j] = static_cast<char>(j < 8 ? e.a >> (56 - 8 * j) : e.b >> (56 - 8 * (j - 8)));
        return buf;
    }
    uint32_t rec(size_t i) const { return ents_[i].rec; }

private:
    size_t kl_, cap_;
    bool packed_;
    size_t n_ = 0;
    std::unique_ptr<SortEnt[]> ents_;
    std::unique_ptr<char[]> keys_;
    char scratch_[16];
};

// Sorted entries in key order, one at a time.
class Source {
public:
    virtual ~Source() = default;
    virtual bool next(const char*& key, uint32_t& rec) = 0;
};

class ChunkSource final : public Source {
public:
    ChunkSource(const Chunk& c, size_t kl, bool unique) : c_(c), kl_(kl), unique_(unique), last_(kl, '\0') {}
    bool next(const char*& key, uint32_t& rec) override {
        while (i_ < c_.size()) {
            const char* k = c_.key(i_, buf_);
            uint32_t r = c_.rec(i_);
            ++i_;
            if (unique_) {
                if (have_last_ && std::memcmp(last_.data(), k, kl_) == 0) continue;
                std::memcpy(last_.data(), k, kl_);
                have_last_ = true;
            }
            key = k;
            rec = r;
            return true;
        }
        return false;
    }
    void rewind() {
        i_ = 0;
        have_last_ = false;
    }

private:
    const Chunk& c_;
    size_t kl_;
    bool unique_;
    std::string last_;
    bool have_last_ = false;
    size_t i_ = 0;
    char buf_[16];
};

// A sorted run on a temporary file, read through a buffer.
struct Run {
    FILE* f = nullptr;
    std::vector<char> buf;
    size_t pos = 0, len = 0;
    const char* cur = nullptr;
    uint32_t rec = 0;
};

class MergeSource final : public Source {
public:
    MergeSource(std::vector<Run>& runs, size_t kl, bool unique, const std::string& path)
        : runs_(runs), kl_(kl), unique_(unique), path_(path),
          heap_(Cmp{this}) {
        const size_t per = std::max<size_t>(kl + 4, std::min<size_t>(1u << 20, (8u << 20) / std::max<size_t>(1, runs.size())));
        for (auto& r : runs_) r.buf.resize(per / (kl + 4) * (kl + 4));
        rewind();
    }
    void rewind() {
        heap_ = decltype(heap_)(Cmp{this});
        have_last_ = false;
        for (size_t i = 0; i < runs_.size(); ++i) {
            Run& r = runs_[i];
            if (std::fseek(r.f, 0, SEEK_SET) != 0) io_fail(path_, "sortiranju");
            r.pos = r.len = 0;
            if (advance(r)) heap_.push(i);
        }
    }
    bool next(const char*& key, uint32_t& rec) override {
        while (!heap_.empty()) {
            size_t i = heap_.top();
            heap_.pop();
            Run& r = runs_[i];
            std::memcpy(last_key_tmp(), r.cur, kl_);
            uint32_t rr = r.rec;
            if (advance(r)) heap_.push(i);
            if (unique_ && have_last_ && std::memcmp(out_.data(), tmp_.data(), kl_) == 0) continue;
            out_.swap(tmp_);
            have_last_ = true;
            key = out_.data();
            rec = rr;
            return true;
        }
        return false;
    }

private:
    struct Cmp {
        MergeSource* m;
        bool operator()(size_t x, size_t y) const {  // true when x comes after y
            const Run& a = m->runs_[x];
            const Run& b = m->runs_[y];
            int c = std::memcmp(a.cur, b.cur, m->kl_);
            if (c) return c > 0;
            return a.rec > b.rec;
        }
    };
    char* last_key_tmp() {
        if (tmp_.size() != kl_) tmp_.resize(kl_);
        if (out_.size() != kl_) out_.resize(kl_);
        return tmp_.data();
    }
    bool advance(Run& r) {
        const size_t ent = kl_ + 4;
        if (r.pos + ent > r.len) {
            r.len = std::fread(r.buf.data(), 1, r.buf.size(), r.f);
            r.pos = 0;
            if (r.len < ent) return false;
        }
        r.cur = r.buf.data() + r.pos;
        r.rec = rd32(reinterpret_cast<const uint8_t*>(r.cur + kl_));
        r.pos += ent;
        return true;
    }

    std::vector<Run>& runs_;
    size_t kl_;
    bool unique_;
    std::string path_;
    std::string out_, tmp_;
    bool have_last_ = false;
    std::priority_queue<size_t, std::vector<size_t>, Cmp> heap_;
};

// Writes the tree for n sorted entries: every page except the root holds between half and max
// entries, leaves as full as the count allows.
class TreeWriter {
public:
    TreeWriter(int fd, const std::string& path, int kl, int max, int half)
        : fd_(fd), path_(path), kl_(kl), max_(max), half_(half) {
        uint64_t mn = static_cast<uint64_t>(half), mx = static_cast<uint64_t>(max);
        for (int h = 0; h < kMaxDepth; ++h) {
            minsub_.push_back(mn);
            maxsub_.push_back(mx);
            const uint64_t cap = uint64_t{1} << 50;
            mn = std::min(cap, static_cast<uint64_t>(half) + static_cast<uint64_t>(half + 1) * mn);
            mx = std::min(cap, static_cast<uint64_t>(max) + static_cast<uint64_t>(max + 1) * mx);
        }
    }
    uint32_t build_all(Source& src, uint64_t n) {
        src_ = &src;
        int h = 1;
        while (n > maxsub_[static_cast<size_t>(h - 1)]) ++h;
        uint32_t root = build(h, n, true);
        flush();
        return root;
    }

private:
    static constexpr size_t kFlushPages = 256;

    // A subtree of height h (1 = a leaf) holding n entries; returns its page offset.
    uint32_t build(int h, uint64_t n, bool root) {
        const size_t kl = static_cast<size_t>(kl_);
        std::vector<uint32_t> ch, recs;
        std::string keys;
        if (h == 1) {  // a leaf is filled in place in the output buffer
            uint32_t off;
            uint8_t* pg = reserve(off);
            encode_page(pg, max_, kl_, 0, nullptr, nullptr, nullptr);
            wr16(pg, static_cast<uint32_t>(n));
            const size_t base = 2 + 2 * static_cast<size_t>(max_ + 1), item = kl + 8;
            for (uint64_t i = 0; i < n; ++i) {
                uint8_t* it = pg + base + i * item;
                uint32_t rec;
                take(reinterpret_cast<char*>(it + 8), rec);
                wr32(it + 4, rec);
            }
            return off;
        }
        const uint64_t mn = minsub_[static_cast<size_t>(h - 2)], mx = maxsub_[static_cast<size_t>(h - 2)];
        uint64_t k = std::max<uint64_t>(root ? 2 : static_cast<uint64_t>(half_) + 1, (n + 1 + mx) / (mx + 1));
        while (k * (mn + 1) - 1 > n) --k;  // cannot happen for counts in range; kept as a guard
        if (k < 2 || k > static_cast<uint64_t>(max_) + 1) throw rt::Error("Indeks " + path_ + ": greska u izgradnji stabla");
        const uint64_t m = n - (k - 1), base = m / k, extra = m % k;
        ch.resize(k);
        recs.resize(k - 1);
        keys.resize((k - 1) * kl);
        for (uint64_t i = 0; i < k; ++i) {
            ch[i] = build(h - 1, base + (i < extra ? 1 : 0), false);
            if (i + 1 < k) take(&keys[i * kl], recs[i]);
        }
        return put(static_cast<int>(k - 1), ch.data(), recs.data(), keys.data());
    }
    void take(char* key, uint32_t& rec) {
        const char* k = nullptr;
        if (!src_->next(k, rec)) throw rt::Error("Indeks " + path_ + ": nedostaju kljucevi pri izgradnji");
        std::memcpy(key, k, static_cast<size_t>(kl_));
    }
    uint8_t* reserve(uint32_t& off) {
        if (next_off_ > 0xFFFFF000ULL) throw rt::Error("Indeks " + path_ + " je prevelik");
        if (used_ + kPageSize > kFlushPages * kPageSize) flush();
        off = static_cast<uint32_t>(next_off_);
        next_off_ += kPageSize;
        uint8_t* p = out_.get() + used_;
        used_ += kPageSize;
        return p;
    }
    uint32_t put(int n, const uint32_t* ch, const uint32_t* recs, const char* keys) {
        uint32_t off;
        encode_page(reserve(off), max_, kl_, n, ch, recs, keys);
        return off;
    }
    void flush() {
        if (!used_) return;
        write_all(fd_, out_.get(), used_, path_);
        used_ = 0;
    }

    int fd_;
    std::string path_;
    int kl_, max_, half_;
    Source* src_ = nullptr;
    uint64_t next_off_ = kPageSize;
    std::vector<uint64_t> minsub_, maxsub_;
    std::unique_ptr<uint8_t[]> out_{new uint8_t[kFlushPages * kPageSize]};
    size_t used_ = 0;
};

FILE* temp_file(const std::string& path) {
    std::string dir = ".";
    size_t sl = path.find_last_of('/');
    if (sl != std::string::npos) dir = sl == 0 ? "/" : path.substr(0, sl);
    std::string tmpl = dir + "/.ntxsortXXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        tmpl = "/tmp/ntxsortXXXXXX";
        fd = ::mkstemp(tmpl.data());
    }
    if (fd < 0) io_fail(path, "sortiranju");
    ::unlink(tmpl.c_str());
    FILE* f = ::fdopen(fd, "w+b");
    if (!f) {
        ::close(fd);
        io_fail(path, "sortiranju");
    }
    return f;
}

}  // namespace

void NtxFile::create(const std::string& path, std::string_view expr_text, const std::vector<FieldDef>& fields,
                     uint32_t count, const std::function<const char*(uint32_t)>& record, bool unique) {
    KeyExpr expr = KeyExpr::compile(expr_text, fields);
    const int kl = expr.key_size();
    const size_t ukl = static_cast<size_t>(kl);
    const int max = max_items(kl);
    const int half = max / 2;
    if (max < 2) throw rt::Error("Indeks " + path + ": kljuc je predugacak");
    if (expr.text().size() > 255) throw rt::Error("Indeks " + path + ": izraz kljuca je predugacak");

    // Collect and sort the keys: one chunk in memory, or sorted runs on temporary files.
    const size_t per_key = ukl + sizeof(SortEnt);
    const size_t cap = std::max<size_t>(64, sort_budget() / per_key);
    auto chunk_owner = std::make_unique<Chunk>(ukl, std::min<size_t>(cap, std::max<size_t>(count, 1)));
    Chunk& chunk = *chunk_owner;
    std::vector<Run> runs;
    struct RunsCloser {
        std::vector<Run>& r;
        ~RunsCloser() {
            for (auto& x : r)
                if (x.f) std::fclose(x.f);
        }
    } closer{runs};
    uint64_t total = 0;
    auto spill = [&]() {
        chunk.sort();
        Run r;
        r.f = temp_file(path);
        runs.push_back(std::move(r));
        FILE* f = runs.back().f;
        std::vector<char> line(ukl + 4);
        std::string last;
        char kb[16];
        for (size_t i = 0; i < chunk.size(); ++i) {
            const char* k = chunk.key(i, kb);
            if (unique && !last.empty() && std::memcmp(last.data(), k, ukl) == 0) continue;
            if (unique) last.assign(k, ukl);
            std::memcpy(line.data(), k, ukl);
            wr32(reinterpret_cast<uint8_t*>(line.data() + ukl), chunk.rec(i));
            if (std::fwrite(line.data(), 1, line.size(), f) != line.size()) io_fail(path, "sortiranju");
        }
        if (std::fflush(f) != 0) io_fail(path, "sortiranju");
        chunk.clear();
    };
    for (uint32_t r = 1; r <= count; ++r) {
        const char* rec = record(r);
        if (!rec) continue;
        if (chunk.size() >= cap) spill();
        expr.eval_to(rec, chunk.begin_add());
        chunk.end_add(r);
        ++total;
    }

    // The new file is written beside the old one and renamed over it when complete: a failed
    // build leaves the old index, and handles still open on the old file never see it shrink.
    std::string tmp_path = path + ".XXXXXX";
    int fd = ::mkostemp(tmp_path.data(), O_CLOEXEC);
    if (fd < 0) throw rt::Error("Ne moze da se napravi indeks " + path + ": " + std::strerror(errno));
    rt::os::give_mode_of(fd, path);
    try {
        uint8_t hdr[kPageSize];
        std::memset(hdr, 0, sizeof hdr);
        write_all(fd, hdr, kPageSize, path);
        TreeWriter tw(fd, path, kl, max, half);
        // The tree's shape needs the number of keys first: for a unique index, those left
        // after dropping repeated keys.
        auto build = [&](auto& src) {
            uint64_t n = total;
            if (unique) {
                n = 0;
                const char* k;
                uint32_t rr;
                while (src.next(k, rr)) ++n;
                src.rewind();
            }
            return tw.build_all(src, n);
        };
        uint32_t root;
        if (runs.empty()) {
            chunk.sort();
            ChunkSource src(chunk, ukl, unique);
            root = build(src);
        } else {
            if (chunk.size()) spill();
            chunk_owner.reset();  // the merge needs only its read buffers
            MergeSource src(runs, ukl, unique, path);
            root = build(src);
        }
        wr16(hdr, 6);
        wr16(hdr + 2, 1);
        wr32(hdr + 4, root);
        wr32(hdr + 8, 0);
        wr16(hdr + 12, static_cast<uint32_t>(kl + 8));
        wr16(hdr + 14, static_cast<uint32_t>(kl));
        wr16(hdr + 16, static_cast<uint32_t>(expr.decimals()));
        wr16(hdr + 18, static_cast<uint32_t>(max));
        wr16(hdr + 20, static_cast<uint32_t>(half));
        std::memcpy(hdr + 22, expr.text().data(), expr.text().size());
        hdr[278] = unique ? 1 : 0;
        if (::pwrite(fd, hdr, kPageSize, 0) != static_cast<ssize_t>(kPageSize)) io_fail(path, "upisu");
        if (::close(fd) != 0) {
            fd = -1;
            io_fail(path, "upisu");
        }
        fd = -1;
        if (::rename(tmp_path.c_str(), path.c_str()) != 0) io_fail(path, "upisu");
    } catch (...) {
        if (fd >= 0) ::close(fd);
        ::unlink(tmp_path.c_str());
        throw;
    }
}

}  // namespace rt::dbf
