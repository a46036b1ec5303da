// Index files as files: read back by the independent walker, built through sorted runs on
// temporary files, and damaged on purpose.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "rt/dbf/ntx.h"
#include "rt/dbf/ntx_page.h"
#include "rt/fmt/error.h"
#include "dbf_test_util.h"

using namespace dbftest;
using rt::dbf::FieldDef;
using rt::dbf::NtxFile;

namespace {

// A table of two fields: code (C 6) and date (D 8), keyed "Sifra+dtos(datum)".
struct Table {
    std::vector<FieldDef> fields{{"SIFRA", 'C', 6, 0, 1}, {"DATUM", 'D', 8, 0, 7}};
    std::vector<std::string> recs;
    explicit Table(uint32_t n, uint32_t seed, int codes) {
        std::mt19937 rng(seed);
        char buf[32];
        for (uint32_t i = 0; i < n; ++i) {
            std::snprintf(buf, sizeof buf, " %06u2024%02u%02u", static_cast<unsigned>(rng() % static_cast<unsigned>(codes)),
                          static_cast<unsigned>(1 + rng() % 12), static_cast<unsigned>(1 + rng() % 28));
            recs.emplace_back(buf);
        }
    }
    std::function<const char*(uint32_t)> reader() const {
        return [this](uint32_t r) { return recs[r - 1].c_str(); };
    }
    std::set<std::pair<std::string, uint32_t>> expected() const {
        std::set<std::pair<std::string, uint32_t>> m;
        for (uint32_t i = 0; i < recs.size(); ++i) m.emplace(recs[i].substr(1), i + 1);
        return m;
    }
};

std::string walker(const std::string& path, int* status = nullptr) {
    const std::string out = path + ".walk";
    const std::string cmd = "python3 '" + std::string(TOR_SOURCE_DIR) + "/tests/tools/ntxwalk.py' '" + path + "' > '" + out + "' 2>/dev/null";
    int rc = std::system(cmd.c_str());
    if (status) *status = rc;
    return read_all(out);
}

std::string as_lines(const std::set<std::pair<std::string, uint32_t>>& m) {
    std::string s;
    for (auto& [k, r] : m) s += std::to_string(r) + "|" + k + "\n";
    return s;
}

}  // namespace

TEST(NtxFile, WalkerReadsBuiltAndUpdatedIndexes) {
    TempDir tmp;
    Table t(20000, 5, 3000);
    const std::string path = tmp / "w.ntx";
    NtxFile::create(path, "Sifra+dtos(datum)", t.fields, static_cast<uint32_t>(t.recs.size()), t.reader());
    auto want = t.expected();
    int rc = -1;
    EXPECT_EQ(walker(path, &rc), as_lines(want));
    EXPECT_EQ(rc, 0);
    {
        auto f = NtxFile::open(path, t.fields);
        std::mt19937 rng(9);
        for (int i = 0; i < 15000; ++i) {
            auto it = want.lower_bound({std::to_string(rng() % 1000000), 0});
            if (it == want.end()) continue;
            auto [k, r] = *it;
            ASSERT_TRUE(f->remove(k, r));
            want.erase(it);
            if (i % 3 == 0) {
                std::string nk = k;
                nk[0] = static_cast<char>('0' + rng() % 10);
                f->insert(nk, r);
                want.emplace(nk, r);
            }
        }
    }  // closing writes everything
    EXPECT_EQ(walker(path, &rc), as_lines(want));
    EXPECT_EQ(rc, 0);
}

TEST(NtxFile, BuildThroughSortedRunsEqualsBuildInMemory) {
    TempDir tmp;
    Table t(30000, 11, 500);
    const uint32_t n = static_cast<uint32_t>(t.recs.size());
    for (bool unique : {false, true}) {
        const std::string mem = tmp / "mem.ntx", runs = tmp / "runs.ntx";
        NtxFile::create(mem, "Sifra+dtos(datum)", t.fields, n, t.reader(), unique);
        const size_t saved = rt::dbf::ntx::sort_budget();
        rt::dbf::ntx::sort_budget() = 64 * 1024;  // about 1700 keys a run: 18 runs
        NtxFile::create(runs, "Sifra+dtos(datum)", t.fields, n, t.reader(), unique);
        rt::dbf::ntx::sort_budget() = saved;
        EXPECT_EQ(read_all(mem), read_all(runs)) << unique;
        if (!unique) continue;  // a plain build is read back by the walker test
        auto f = NtxFile::open(runs, t.fields);
        EXPECT_EQ(f->check(), "");
        std::set<std::string> distinct;
        for (auto& r : t.recs) distinct.insert(r.substr(1));
        std::vector<std::string> keys;
        for (uint32_t r = f->first(); r; r = f->next()) keys.push_back(f->current_key());
        EXPECT_EQ(keys, std::vector<std::string>(distinct.begin(), distinct.end()));
    }
}

// Damaged files end in rt::Error or in answers that hang together, never in a crash or a hang.
TEST(NtxFile, DamagedFilesFailCleanly) {
    TempDir tmp;
    Table t(3000, 3, 400);
    const std::string good = tmp / "good.ntx";
    NtxFile::create(good, "Sifra+dtos(datum)", t.fields, static_cast<uint32_t>(t.recs.size()), t.reader());
    {  // some updates so pages are not all in their built layout
        auto f = NtxFile::open(good, t.fields);
        for (uint32_t r = 1; r <= 300; ++r) f->remove(t.recs[r - 1].substr(1), r);
        for (uint32_t r = 1; r <= 150; ++r) f->insert(t.recs[r - 1].substr(1), r);
    }
    const std::string orig = read_all(good);
    const std::string path = tmp / "bad.ntx";
    std::mt19937 rng(77);
    int errors = 0, survived = 0;
    for (int round = 0; round < 600; ++round) {
        std::string data = orig;
        const unsigned kind = rng() % 4;
        if (kind == 0) {
            data.resize(rng() % data.size());
        } else {
            const int flips = 1 + static_cast<int>(rng() % 12);
            for (int i = 0; i < flips; ++i) {
                size_t at;
                if (kind == 1) at = rng() % 24;                          // header fields
                else if (kind == 2) at = 1024 * (1 + rng() % (data.size() / 1024 - 1)) + rng() % 90;  // counts, offsets
                else at = rng() % data.size();
                data[at] = static_cast<char>(rng() % 3 == 0 ? 0xFF : rng());
            }
        }
        write_all(path, data);
        try {
            auto f = NtxFile::open(path, t.fields);
            size_t steps = 0;
            for (uint32_t r = f->first(); r && steps < 100000; r = f->next()) ++steps;
            ASSERT_LT(steps, 100000u) << "endless walk, round " << round;
            steps = 0;
            for (uint32_t r = f->last(); r && steps < 100000; r = f->prev()) ++steps;
            ASSERT_LT(steps, 100000u) << "endless walk back, round " << round;
            bool found;
            for (int i = 0; i < 20; ++i) f->seek(t.recs[rng() % t.recs.size()].substr(1, 6), found);
            f->check();
            for (uint32_t r = 1; r <= 40; ++r) f->remove(t.recs[r - 1].substr(1), r);
            for (uint32_t r = 1; r <= 40; ++r) f->insert(t.recs[r - 1].substr(1), r);
            f->flush();
            ++survived;
        } catch (const rt::Error& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
            ++errors;
        }
    }
    EXPECT_GT(errors, 100);
    EXPECT_GT(survived, 10);
}

TEST(NtxFile, HeaderAndExpressionErrorsNameTheFile) {
    TempDir tmp;
    Table t(100, 1, 50);
    const std::string path = tmp / "h.ntx";
    NtxFile::create(path, "Sifra+dtos(datum)", t.fields, 100, t.reader());
    std::vector<FieldDef> other{{"NAZIV", 'C', 14, 0, 1}};
    try {
        NtxFile::open(path, other);
        FAIL() << "an expression over missing fields was accepted";
    } catch (const rt::Error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
    std::vector<FieldDef> wider{{"SIFRA", 'C', 8, 0, 1}, {"DATUM", 'D', 8, 0, 9}};
    EXPECT_THROW(NtxFile::open(path, wider), rt::Error);  // key size differs from the header
    EXPECT_THROW(NtxFile::open(tmp / "missing.ntx", t.fields), rt::Error);
    // descending and conditional indexes of other engines are refused, not misread
    for (size_t at : {size_t{280}, size_t{282}}) {
        std::string data = read_all(path);
        data[at] = at == 280 ? 1 : 'X';
        const std::string other = tmp / "o.ntx";
        write_all(other, data);
        EXPECT_THROW(NtxFile::open(other, t.fields), rt::Error) << at;
    }
    EXPECT_THROW(NtxFile::create(tmp / "x.ntx", "Sifra+", t.fields, 100, t.reader()), rt::Error);
}

// Pages freed by another engine keep their old count and keys; only item 0 links the chain.
TEST(NtxFile, ReusesFreePagesLeftByOtherEngines) {
    TempDir tmp;
    Table t(6000, 21, 800);
    const std::string path = tmp / "f.ntx";
    NtxFile::create(path, "Sifra+dtos(datum)", t.fields, 6000, t.reader());
    auto want = t.expected();
    {
        auto f = NtxFile::open(path, t.fields);
        for (uint32_t r = 1; r <= 4000; ++r) {
            ASSERT_TRUE(f->remove(t.recs[r - 1].substr(1), r));
            want.erase({t.recs[r - 1].substr(1), r});
        }
    }
    std::string data = read_all(path);
    auto le32 = [&](size_t o) {
        return static_cast<uint32_t>(static_cast<unsigned char>(data[o]) | static_cast<unsigned char>(data[o + 1]) << 8 |
                                     static_cast<unsigned char>(data[o + 2]) << 16 | static_cast<uint32_t>(static_cast<unsigned char>(data[o + 3])) << 24);
    };
    int freed = 0;
    for (uint32_t p = le32(8); p != 0; p = le32(p + le16(data, p + 2)), ++freed) {
        ASSERT_LT(freed, 1000);
        data[p] = 7;  // a stale count
    }
    ASSERT_GT(freed, 20);
    write_all(path, data);
    {
        auto f = NtxFile::open(path, t.fields);
        EXPECT_EQ(f->check(), "");
        for (uint32_t r = 1; r <= 4000; ++r) {
            f->insert(t.recs[r - 1].substr(1), r);
            want.emplace(t.recs[r - 1].substr(1), r);
        }
        EXPECT_EQ(f->check(), "");
    }
    EXPECT_EQ(walker(path), as_lines(want));
    data = read_all(path);
    EXPECT_EQ(le32(8), 0u);  // every freed page was taken again
}

// A rebuild replaces the file only when it is complete; a handle on the old file keeps working.
TEST(NtxFile, RebuildReplacesTheFileWhole) {
    TempDir tmp;
    Table t(5000, 8, 600);
    const std::string path = tmp / "r.ntx";
    NtxFile::create(path, "Sifra+dtos(datum)", t.fields, 5000, t.reader());
    const std::string before = read_all(path);
    auto old = NtxFile::open(path, t.fields);
    auto failing = [&](uint32_t r) -> const char* {
        if (r == 4000) throw rt::Error("citanje zapisa 4000");
        return t.recs[r - 1].c_str();
    };
    EXPECT_THROW(NtxFile::create(path, "Sifra+dtos(datum)", t.fields, 5000, failing), rt::Error);
    EXPECT_EQ(read_all(path), before);
    NtxFile::create(path, "Sifra+dtos(datum)", t.fields, 10, t.reader());
    EXPECT_EQ(index_order(*old).size(), 5000u);
    EXPECT_EQ(index_order(*NtxFile::open(path, t.fields)).size(), 10u);
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(tmp.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1u);  // no temporary files left behind
}
