// Tables and indexes written by another DBFNTX engine, read through the index files and through
// work areas, rebuilt and updated, against the listings of their key order and fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "dbf_test_util.h"
#include "rt/dbf/dbf.h"
#include "rt/dbf/ntx.h"
#include "rt/fmt/fmt.h"

using namespace dbftest;
using namespace rt::dbf;

namespace {

struct Case {
    const char* dbf;
    const char* ntx;
    const char* listing;
};

const Case kCases[] = {
    {"mdart.dbf", "mdart.ntx", "listing_mdart_mdart.txt"},
    {"mdart.dbf", "mdart1.ntx", "listing_mdart_mdart1.txt"},
    {"stzart.dbf", "stzart.ntx", "listing_stzart_stzart.txt"},
    {"stzinc.dbf", "stzinc.ntx", "listing_stzinc_stzinc.txt"},
};

// The current record's fields as the listing writes them.
void expect_fields(const WorkArea& a, const ListedKey& e) {
    ASSERT_EQ(static_cast<size_t>(a.field_count()), e.fields.size());
    EXPECT_EQ(a.deleted(), e.deleted) << "record " << e.rec;
    for (int i = 0; i < a.field_count(); ++i) {
        const FieldDef& f = a.fields()[static_cast<size_t>(i)];
        const std::string& want = e.fields[static_cast<size_t>(i)];
        Value v = a.get(i);
        switch (f.type) {
        case 'C': EXPECT_EQ(std::get<std::string>(v), want) << f.name << " of " << e.rec; break;
        case 'N': EXPECT_DOUBLE_EQ(std::get<double>(v), rt::VAL(want)) << f.name << " of " << e.rec; break;
        case 'D': EXPECT_EQ(rt::DTOS(std::get<rt::Date>(v)), want) << f.name << " of " << e.rec; break;
        case 'L': EXPECT_EQ(std::get<bool>(v), want == "T") << f.name << " of " << e.rec; break;
        }
    }
}

std::vector<std::string> keys_of(const std::vector<ListedKey>& v) {
    std::vector<std::string> k;
    for (auto& e : v) k.push_back(e.key);
    return k;
}

std::vector<std::pair<std::string, uint32_t>> sorted_pairs(const std::vector<ListedKey>& v) {
    std::vector<std::pair<std::string, uint32_t>> p;
    for (auto& e : v) p.emplace_back(e.key, e.rec);
    std::sort(p.begin(), p.end());
    return p;
}

std::vector<ListedKey> walk_forward(NtxFile& f) {
    std::vector<ListedKey> out;
    for (uint32_t r = f.first(); r != 0; r = f.next()) out.push_back({r, f.current_key()});
    return out;
}

// Every way of reading the index gives the listing's order.
void expect_matches_listing(NtxFile& f, const std::vector<ListedKey>& want, const std::string& what) {
    SCOPED_TRACE(what);
    auto fw = walk_forward(f);
    ASSERT_EQ(keys_of(fw), keys_of(want));
    EXPECT_EQ(sorted_pairs(fw), sorted_pairs(want));
    std::vector<ListedKey> bw;
    for (uint32_t r = f.last(); r != 0; r = f.prev()) bw.insert(bw.begin(), {r, f.current_key()});
    EXPECT_EQ(sorted_pairs(bw), sorted_pairs(fw));
    EXPECT_EQ(keys_of(bw), keys_of(fw));
    EXPECT_EQ(f.check(), "");

    const auto keys = keys_of(want);
    for (size_t i = 0; i < want.size(); ++i) {
        const std::string& k = want[i].key;
        bool found = false;
        uint32_t r = f.seek(k, found);
        ASSERT_TRUE(found && r) << k;
        ASSERT_EQ(f.current_key(), k);
        if (f.prev()) {
            EXPECT_LT(f.current_key(), k) << "not the first of its run of equal keys";
        }
        ASSERT_TRUE(f.position(k, want[i].rec)) << k << " " << want[i].rec;
        EXPECT_EQ(f.current_key(), k);
        // prefixes: the first key that is not below the prefix
        for (size_t len : {size_t{1}, k.size() / 2, k.size() - 1}) {
            std::string p = k.substr(0, len);
            auto it = std::lower_bound(keys.begin(), keys.end(), p,
                                       [&](const std::string& a, const std::string& b) { return a.compare(0, len, b) < 0; });
            r = f.seek(p, found);
            ASSERT_NE(r, 0u);
            EXPECT_TRUE(found);
            EXPECT_EQ(f.current_key(), *it) << "prefix [" << p << "]";
        }
    }
    // Between and past the keys.
    bool found = true;
    EXPECT_EQ(f.seek(std::string(1, '\xff'), found), 0u);
    EXPECT_FALSE(found);
    uint32_t r = f.seek(std::string(1, '\x01'), found);
    EXPECT_FALSE(found);
    EXPECT_EQ(f.current_key(), keys.front());
    EXPECT_NE(r, 0u);
    EXPECT_FALSE(f.position(keys.front(), 999999));
}

}  // namespace

// Work areas over copies of the tables: the keys in order, every record once with its fields as
// listed, every key found; with the deleted filter on, in index and natural order, the listed
// deleted records are hidden.
TEST(NtxFixtures, WorkAreasReadForeignTables) {
    TempDir dir;
    const bool prev = set_deleted(false);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.ntx);
        for (const char* n : {c.dbf, c.ntx})
            if (!std::filesystem::exists(dir / n)) {
                std::filesystem::copy_file(fixture(n), dir / n);
                std::filesystem::permissions(dir / n, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
            }
        const auto l = load_listing(fixture(c.listing));
        std::map<uint32_t, size_t> by_recno;
        for (size_t i = 0; i < l.size(); ++i) by_recno[l[i].rec] = i;
        auto listed = [&](uint32_t rec) -> const ListedKey& { return l[by_recno.at(rec)]; };

        set_deleted(false);
        WorkArea a;
        ASSERT_TRUE(a.open(dir / rt::UPPER(c.dbf), "", false));   // found case-insensitively
        a.set_index({dir / c.ntx});
        EXPECT_EQ(a.reccount(), l.size());
        std::set<uint32_t> seen;
        size_t i = 0;
        for (a.go_top(); !a.eof(); a.skip(), ++i) {
            ASSERT_LT(i, l.size());
            ASSERT_TRUE(by_recno.count(a.recno())) << a.recno();
            EXPECT_EQ(listed(a.recno()).key, l[i].key) << "position " << i;
            expect_fields(a, listed(a.recno()));
            seen.insert(a.recno());
        }
        EXPECT_EQ(seen.size(), l.size());
        EXPECT_EQ(a.recno(), a.reccount() + 1);
        for (const ListedKey& e : l) {
            ASSERT_TRUE(a.seek(e.key)) << "[" << e.key << "]";
            EXPECT_EQ(listed(a.recno()).key, e.key);
            expect_fields(a, listed(a.recno()));
        }
        size_t live = 0;
        for (const ListedKey& e : l) live += !e.deleted;
        ASSERT_LT(live, l.size()) << "every fixture holds deleted records";
        set_deleted(true);
        for (int order : {1, 0}) {
            a.set_order(order);
            size_t n = 0;
            for (a.go_top(); !a.eof(); a.skip(), ++n) EXPECT_FALSE(a.deleted());
            EXPECT_EQ(n, live) << "order " << order;
        }
    }
    set_deleted(prev);
}

// The foreign index and the same index rebuilt from the table: equal header fields, the keys
// the expression gives are the ones stored, and both read in the listing's order.
TEST(NtxFixtures, ForeignAndRebuiltIndexesReadInListingOrder) {
    TempDir tmp;
    for (const Case& c : kCases) {
        MiniDbf dbf = load_dbf(fixture(c.dbf));
        const auto want = load_listing(fixture(c.listing));
        ASSERT_EQ(want.size(), dbf.count);
        auto foreign = NtxFile::open(fixture(c.ntx), dbf.fields, true);
        for (auto& e : want) ASSERT_EQ(foreign->expr().eval(dbf.record(e.rec)), e.key) << c.ntx;
        expect_matches_listing(*foreign, want, c.ntx);

        const std::string orig = read_all(fixture(c.ntx));
        const std::string expr(orig.c_str() + 22);
        const std::string out = tmp / c.ntx;
        NtxFile::create(out, expr, dbf.fields, dbf.count, [&](uint32_t n) { return dbf.record(n); });
        const std::string built = read_all(out);
        ASSERT_EQ(built.size() % 1024, 0u);
        EXPECT_EQ(le16(built, 0), 6);
        for (size_t o : {12, 14, 16, 18, 20}) EXPECT_EQ(le16(built, o), le16(orig, o)) << c.ntx << " @" << o;
        EXPECT_EQ(std::string(built.c_str() + 22), expr);
        EXPECT_EQ(built[278], 0);
        auto f = NtxFile::open(out, dbf.fields, true);
        expect_matches_listing(*f, want, std::string("rebuilt ") + c.ntx);
        EXPECT_THROW(f->insert(std::string(f->expr().key_size(), 'A'), 1), rt::Error) << "read-only handle";
    }
}

// Updating a file written elsewhere (its pages keep their own item layout) keeps it valid.
TEST(NtxFixtures, UpdatesForeignIndex) {
    TempDir tmp;
    MiniDbf dbf = load_dbf(fixture("stzinc.dbf"));
    auto want = load_listing(fixture("listing_stzinc_stzinc.txt"));
    const std::string path = tmp / "stzinc.ntx";
    std::filesystem::copy_file(fixture("stzinc.ntx"), path);
    {
        auto f = NtxFile::open(path, dbf.fields);
        for (size_t i = 0; i < want.size(); i += 2) ASSERT_TRUE(f->remove(want[i].key, want[i].rec)) << i;
        ASSERT_EQ(f->check(), "");
        std::vector<ListedKey> rest;
        for (size_t i = 1; i < want.size(); i += 2) rest.push_back(want[i]);
        EXPECT_EQ(sorted_pairs(walk_forward(*f)), sorted_pairs(rest));
        EXPECT_FALSE(f->remove(want[0].key, want[0].rec));
        for (size_t i = 0; i < want.size(); i += 2) f->insert(want[i].key, want[i].rec);
        f->flush();
    }
    auto f = NtxFile::open(path, dbf.fields);
    ASSERT_EQ(f->check(), "");
    auto got = walk_forward(*f);
    EXPECT_EQ(keys_of(got), keys_of(want));
    EXPECT_EQ(sorted_pairs(got), sorted_pairs(want));
    const std::string h = read_all(path);
    EXPECT_GT(le16(h, 2), 67);  // the version counter moved on
}
