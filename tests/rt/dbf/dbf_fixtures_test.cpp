// Tables and indexes written by another DBFNTX engine, read through work areas against its listings.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "dbf_test_util.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"

using namespace rt::dbf;
using dbftest::fixture;
using dbftest::ListedKey;

namespace {

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

class FixtureTest : public ::testing::TestWithParam<std::pair<std::string, std::string>> {
protected:
    void SetUp() override {
        prev_ = set_deleted(false);
        for (const char* n : {"mdart.dbf", "mdart.ntx", "mdart1.ntx", "stzart.dbf", "stzart.ntx", "stzinc.dbf", "stzinc.ntx"}) {
            std::filesystem::copy_file(fixture(n), dir_ / n);
            std::filesystem::permissions(dir_ / n, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        }
    }
    void TearDown() override { set_deleted(prev_); }
    dbftest::TempDir dir_;
    bool prev_ = true;
};

TEST_P(FixtureTest, WalksAndSeeksInTheListedOrder) {
    const auto& [table, index] = GetParam();
    const auto l = dbftest::load_listing(fixture("listing_" + table + "_" + index + ".txt"));
    ASSERT_FALSE(l.empty());
    std::map<uint32_t, size_t> by_recno;
    for (size_t i = 0; i < l.size(); ++i) by_recno[l[i].rec] = i;
    auto listed = [&](uint32_t rec) -> const ListedKey& { return l[by_recno.at(rec)]; };

    WorkArea a;
    ASSERT_TRUE(a.open(dir_ / rt::UPPER(table), "", false));   // found case-insensitively
    a.set_index({dir_ / index});
    EXPECT_EQ(a.reccount(), l.size());

    // Forward: the keys in order, every record once, fields as listed.
    std::multiset<uint32_t> seen;
    size_t i = 0;
    for (a.go_top(); !a.eof(); a.skip(), ++i) {
        ASSERT_LT(i, l.size());
        ASSERT_TRUE(by_recno.count(a.recno())) << a.recno();
        EXPECT_EQ(listed(a.recno()).key, l[i].key) << "position " << i;
        expect_fields(a, listed(a.recno()));
        seen.insert(a.recno());
    }
    EXPECT_EQ(i, l.size());
    EXPECT_EQ(seen.size(), l.size());
    EXPECT_EQ(a.recno(), a.reccount() + 1);

    // Every key is found, with the fields listed for its record (the order of equal keys and the
    // walk backwards are the index's own business, checked on the index files).
    for (const ListedKey& e : l) {
        ASSERT_TRUE(a.seek(e.key)) << "[" << e.key << "]";
        EXPECT_EQ(listed(a.recno()).key, e.key);
        expect_fields(a, listed(a.recno()));
    }

    // With the deleted filter on, in index and in natural order, the listed deleted records are hidden.
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

INSTANTIATE_TEST_SUITE_P(Xbase, FixtureTest,
                         ::testing::Values(std::make_pair(std::string("mdart"), std::string("mdart")),
                                           std::make_pair(std::string("mdart"), std::string("mdart1")),
                                           std::make_pair(std::string("stzart"), std::string("stzart")),
                                           std::make_pair(std::string("stzinc"), std::string("stzinc"))));

}  // namespace
