// The index B-tree under random updates against an ordered model, cursors that survive changes,
// unique indexes and the index lock between two handles.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <thread>

#include "rt/dbf/ntx.h"
#include "rt/dbf/ntx_page.h"
#include "rt/fmt/error.h"
#include "dbf_test_util.h"

using namespace dbftest;
using rt::dbf::FieldDef;
using rt::dbf::NtxFile;

namespace {

using Model = std::set<std::pair<std::string, uint32_t>>;

std::vector<FieldDef> key_fields(int len) { return {{"K", 'C', len, 0, 1}}; }

class Fuzz {
public:
    Fuzz(int keylen, uint32_t seed, int alphabet)
        : keylen_(keylen), rng_(seed), alphabet_(alphabet), fields_(key_fields(keylen)), path_(tmp_ / "t.ntx") {}

    std::string random_key() {
        std::string k(static_cast<size_t>(keylen_), ' ');
        // a few distinct leading characters give long runs of equal keys and shared prefixes
        int used = std::uniform_int_distribution<int>(1, std::min(keylen_, 4))(rng_);
        for (int i = 0; i < used; ++i) k[static_cast<size_t>(i)] = static_cast<char>('A' + rng_() % static_cast<unsigned>(alphabet_));
        if (keylen_ > 20) k[static_cast<size_t>(keylen_ - 1)] = static_cast<char>('a' + rng_() % 3);
        return k;
    }

    // Builds the starting file by sorting n random records.
    void build(uint32_t n) {
        std::vector<std::string> recs(n);
        for (uint32_t i = 0; i < n; ++i) {
            recs[i] = " " + random_key();
            model_.emplace(recs[i].substr(1), i + 1);
        }
        next_rec_ = n + 1;
        NtxFile::create(path_, "k", fields_, n, [&](uint32_t r) { return recs[r - 1].c_str(); });
        reopen();
    }

    void reopen() {
        f_.reset();
        f_ = NtxFile::open(path_, fields_);
        ASSERT_EQ(f_->check(), "");
    }

    void expect_walks() {
        std::vector<std::pair<std::string, uint32_t>> fw;
        for (uint32_t r = f_->first(); r; r = f_->next()) fw.emplace_back(f_->current_key(), r);
        ASSERT_TRUE(std::equal(fw.begin(), fw.end(), model_.begin(), model_.end()));
        size_t i = model_.size();
        for (uint32_t r = f_->last(); r; r = f_->prev()) ASSERT_EQ(i > 0 ? fw[--i].second : 0u, r);
        ASSERT_EQ(i, 0u);
    }

    void insert() {
        std::string k = random_key();
        uint32_t r = next_rec_++;
        f_->insert(k, r);
        model_.emplace(k, r);
    }
    void erase() {
        if (model_.empty()) return;
        auto it = pick();
        ASSERT_TRUE(f_->remove(it->first, it->second)) << it->first;
        model_.erase(it);
    }
    void change() {  // a record's key changes: the old entry goes, the new one comes
        if (model_.empty()) return;
        auto it = pick();
        const uint32_t r = it->second;
        ASSERT_TRUE(f_->remove(it->first, r));
        model_.erase(it);
        std::string nk = random_key();
        f_->insert(nk, r);
        model_.emplace(nk, r);
    }
    void seek() {
        std::string k = random_key();
        size_t len = std::uniform_int_distribution<size_t>(1, k.size())(rng_);
        k.resize(len);
        auto it = model_.lower_bound({k, 0});
        bool found = false;
        uint32_t r = f_->seek(k, found);
        if (it == model_.end()) {
            ASSERT_TRUE(r == 0 && !found);
            return;
        }
        ASSERT_EQ(r, it->second) << "[" << k << "]";
        ASSERT_EQ(found, it->first.compare(0, len, k) == 0);
        // a few steps on from there
        auto jt = it;
        for (int s = 0; s < 3; ++s) {
            ++jt;
            uint32_t n = f_->next();
            ASSERT_EQ(n, jt == model_.end() ? 0u : jt->second);
            if (!n) break;
        }
    }
    // The cursor stays on its entry while others are added and removed around it.
    void cursor_survives() {
        if (model_.size() < 10) return;
        auto it = pick();
        const auto at = *it;
        ASSERT_TRUE(f_->position(at.first, at.second));
        for (int i = 0; i < 20; ++i) {
            if (rng_() % 2) {
                insert();
            } else {
                auto jt = pick();
                if (*jt == at) continue;
                ASSERT_TRUE(f_->remove(jt->first, jt->second));
                model_.erase(jt);
            }
        }
        auto nx = std::next(model_.find(at));
        EXPECT_EQ(f_->next(), nx == model_.end() ? 0u : nx->second);
        ASSERT_TRUE(f_->position(at.first, at.second));
        // and when its own entry goes, the neighbours of where it was
        auto cur = model_.find(at);
        auto before = cur == model_.begin() ? model_.end() : std::prev(cur);
        ASSERT_TRUE(f_->remove(at.first, at.second));
        model_.erase(cur);
        EXPECT_EQ(f_->prev(), before == model_.end() ? 0u : before->second);
    }

    Model::iterator pick() {
        auto it = model_.lower_bound({random_key(), 0});
        if (it == model_.end()) it = model_.begin();
        return it;
    }

    void run(int ops, size_t target) {
        for (int i = 0; i < ops; ++i) {
            unsigned op = rng_() % 100;
            // drift towards the target size so the tree grows and shrinks through its levels
            bool grow = model_.size() < target;
            if (op < (grow ? 45u : 25u)) insert();
            else if (op < 60) erase();
            else if (op < 75) change();
            else if (op < 99) seek();
            else cursor_survives();
            if (::testing::Test::HasFatalFailure()) return;
            if (i % 5000 == 4999) {
                ASSERT_EQ(f_->check(), "") << "after op " << i;
                reopen();
                expect_walks();
            }
        }
        ASSERT_EQ(f_->check(), "");
        expect_walks();
    }

    void drain() {
        while (!model_.empty()) {
            erase();
            if (::testing::Test::HasFatalFailure()) return;
        }
        ASSERT_EQ(f_->first(), 0u);
        ASSERT_EQ(f_->check(), "");
        reopen();
        ASSERT_EQ(f_->last(), 0u);
    }

    size_t file_size() const { return read_all(path_).size(); }

private:
    TempDir tmp_;
    int keylen_;
    std::mt19937 rng_;
    int alphabet_;
    std::vector<FieldDef> fields_;
    std::string path_;
    std::unique_ptr<NtxFile> f_;
    Model model_;
    uint32_t next_rec_ = 1;
};

}  // namespace

// Short keys, many to a page; the last case reads an index too large to map through a bounded
// page cache, so evicted pages, changed ones among them, are written and read back.
TEST(NtxBtree, ShortKeysManyPerPage) {
    const size_t limit = rt::dbf::ntx::map_limit(), pages = rt::dbf::ntx::cache_pages();
    for (int len : {6, 8}) {
        SCOPED_TRACE(len);
        const bool unmapped = len == 8;
        if (unmapped) rt::dbf::ntx::map_limit() = 0, rt::dbf::ntx::cache_pages() = 16;
        Fuzz z(len, static_cast<uint32_t>(len) * 7919u, 6);
        z.build(3000);
        z.run(unmapped ? 30000 : 60000, 12000);
        z.run(unmapped ? 10000 : 20000, 500);
    }
    rt::dbf::ntx::map_limit() = limit;
    rt::dbf::ntx::cache_pages() = pages;
}

TEST(NtxBtree, LongKeysFewPerPage) {
    Fuzz z(120, 42, 5);  // 6 entries per page: deep trees, frequent splits and merges
    z.build(200);
    z.run(40000, 3000);
    const size_t grown = z.file_size();
    z.drain();
    z.run(20000, 1500);
    EXPECT_LE(z.file_size(), grown + 16 * 1024) << "the second growth takes its pages from the free chain";
    Fuzz y(250, 43, 5);  // the longest keys: two entries per page, one at least
    y.build(50);
    y.run(8000, 600);
    y.drain();
}

TEST(NtxBtree, UniqueIndexKeepsFirstRecordOfEachKey) {
    TempDir tmp;
    auto fields = key_fields(3);
    std::vector<std::string> recs = {" BBB", " AAA", " BBB", " CCC", " AAA"};
    const std::string path = tmp / "u.ntx";
    NtxFile::create(path, "K", fields, 5, [&](uint32_t r) { return recs[r - 1].c_str(); }, true);
    auto f = NtxFile::open(path, fields);
    EXPECT_TRUE(f->unique());
    EXPECT_EQ(index_order(*f), (std::vector<uint32_t>{2, 1, 4}));
    f->insert("AAA", 9);  // already there: left out
    f->insert("ABC", 8);
    EXPECT_EQ(index_order(*f), (std::vector<uint32_t>{2, 8, 1, 4}));
}

TEST(NtxBtree, SecondHandleSeesChangesAfterLocking) {
    TempDir tmp;
    auto fields = key_fields(6);
    std::vector<std::string> recs;
    for (int i = 0; i < 2000; ++i) recs.push_back(" " + std::to_string(100000 + 2 * i));
    const std::string path = tmp / "s.ntx";
    NtxFile::create(path, "K", fields, 2000, [&](uint32_t r) { return recs[r - 1].c_str(); });
    auto a = NtxFile::open(path, fields);
    auto b = NtxFile::open(path, fields);

    a->lock_read();
    bool found = false;
    ASSERT_EQ(a->seek("101000", found), 501u);
    a->unlock();

    b->lock_write();
    b->insert("101001", 3001);                      // right after a's entry
    for (int i = 0; i < 400; ++i) b->remove(recs[static_cast<size_t>(i)].substr(1), static_cast<uint32_t>(i + 1));
    b->unlock();

    a->lock_read();
    EXPECT_EQ(a->next(), 3001u);
    EXPECT_EQ(a->next(), 502u);
    bool f2 = true;
    a->seek("100000", f2);
    EXPECT_FALSE(f2);
    EXPECT_EQ(a->current_key(), "100800");
    EXPECT_EQ(a->check(), "");
    a->unlock();

    // The write lock keeps out the other handle until it is released.
    a->lock_write();
    std::atomic<bool> got{false};
    std::thread t([&] {
        b->lock_write();
        got = true;
        b->unlock();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(got.load());
    a->unlock();
    t.join();
    EXPECT_TRUE(got.load());
}

// Processes updating one index under the index lock: nothing is lost, the tree stays sound.
TEST(NtxBtree, ProcessesShareOneIndexUnderTheLock) {
    TempDir tmp;
    auto fields = key_fields(8);
    const std::string path = tmp / "p.ntx";
    NtxFile::create(path, "K", fields, 0, [](uint32_t) { return static_cast<const char*>(nullptr); });
    constexpr int kProcs = 3, kEach = 1500;
    std::vector<pid_t> kids;
    for (int p = 0; p < kProcs; ++p) {
        kids.push_back(spawn([&, p] {
            auto f = NtxFile::open(path, fields);
            std::mt19937 rng(static_cast<uint32_t>(p));
            bool sound = true;
            for (int i = 0; i < kEach; ++i) {
                char k[16];
                std::snprintf(k, sizeof k, "%08u", static_cast<unsigned>(rng() % 100000));
                const uint32_t rec = static_cast<uint32_t>(p * kEach + i + 1);
                f->lock_write();
                f->insert(k, rec);
                if (i % 3 == 2) f->remove(k, rec);  // some go again
                f->unlock();
                if (i % 100 == 0) {  // readers see a sound tree at any moment
                    f->lock_read();
                    sound = sound && f->check().empty();
                    f->unlock();
                }
            }
            return sound;
        }));
    }
    for (pid_t k : kids) EXPECT_EQ(wait_exit(k), 0);
    auto f = NtxFile::open(path, fields);
    EXPECT_EQ(f->check(), "");
    size_t n = 0;
    for (uint32_t r = f->first(); r; r = f->next()) {
        EXPECT_NE((r - 1) % kEach % 3, 2u) << r;
        ++n;
    }
    EXPECT_EQ(n, static_cast<size_t>(kProcs * (kEach - kEach / 3)));
}
