// Tables and indexes written by another DBFNTX engine, checked against its listings.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "dbf_test_util.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"

using namespace rt::dbf;

namespace {

struct Entry {
    uint32_t recno;
    bool deleted;
    std::string key;
    std::vector<std::string> fields;
};

struct Listing {
    std::vector<Entry> entries;   // in key order
    std::map<uint32_t, size_t> by_recno;
};

Listing load_listing(const std::string& path) {
    Listing l;
    std::string text = dbftest::read_all(path);
    for (const std::string& line : dbftest::split(text, '\n')) {
        if (line.size() < 2 || line[0] != 'R' || line[1] != '|') continue;
        auto parts = dbftest::split(line, '|');
        Entry e;
        e.recno = static_cast<uint32_t>(std::stoul(parts[1]));
        e.deleted = parts[2] == "*";
        e.key = parts[3];
        e.fields.assign(parts.begin() + 4, parts.end());
        l.by_recno[e.recno] = l.entries.size();
        l.entries.push_back(std::move(e));
    }
    return l;
}

// The current record's fields as the listing writes them.
void expect_fields(const WorkArea& a, const Entry& e) {
    ASSERT_EQ(static_cast<size_t>(a.field_count()), e.fields.size());
    EXPECT_EQ(a.deleted(), e.deleted) << "record " << e.recno;
    for (int i = 0; i < a.field_count(); ++i) {
        const FieldDef& f = a.fields()[static_cast<size_t>(i)];
        const std::string& want = e.fields[static_cast<size_t>(i)];
        Value v = a.get(i);
        switch (f.type) {
        case 'C': EXPECT_EQ(std::get<std::string>(v), want) << f.name << " of " << e.recno; break;
        case 'N': EXPECT_DOUBLE_EQ(std::get<double>(v), rt::VAL(want)) << f.name << " of " << e.recno; break;
        case 'D': EXPECT_EQ(rt::DTOS(std::get<rt::Date>(v)), want) << f.name << " of " << e.recno; break;
        case 'L': EXPECT_EQ(std::get<bool>(v), want == "T") << f.name << " of " << e.recno; break;
        }
    }
}

class FixtureTest : public ::testing::TestWithParam<std::pair<std::string, std::string>> {
protected:
    void SetUp() override {
        prev_ = set_deleted(false);
        for (const char* n : {"mdart.dbf", "mdart.ntx", "mdart1.ntx", "stzart.dbf", "stzart.ntx", "stzinc.dbf", "stzinc.ntx"}) {
            std::filesystem::copy_file(std::string(TOR_FIXTURES_DIR) + "/xbase/" + n, dir_ / n);
            std::filesystem::permissions(dir_ / n, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        }
    }
    void TearDown() override { set_deleted(prev_); }
    dbftest::TempDir dir_;
    bool prev_ = true;
};

TEST_P(FixtureTest, WalksAndSeeksInTheListedOrder) {
    const auto& [table, index] = GetParam();
    Listing l = load_listing(std::string(TOR_FIXTURES_DIR) + "/xbase/listing_" + table + "_" + index + ".txt");
    ASSERT_FALSE(l.entries.empty());

    WorkArea a;
    ASSERT_TRUE(a.open(dir_ / table, "", false));
    a.set_index({dir_ / index});
    EXPECT_EQ(a.reccount(), l.entries.size());

    // Forward: the keys in order, every record once, fields as listed.
    std::multiset<uint32_t> seen;
    size_t i = 0;
    for (a.go_top(); !a.eof(); a.skip()) {
        ASSERT_LT(i, l.entries.size());
        auto it = l.by_recno.find(a.recno());
        ASSERT_NE(it, l.by_recno.end()) << a.recno();
        const Entry& mine = l.entries[it->second];
        EXPECT_EQ(mine.key, l.entries[i].key) << "position " << i;
        expect_fields(a, mine);
        seen.insert(a.recno());
        ++i;
    }
    EXPECT_EQ(i, l.entries.size());
    EXPECT_EQ(seen.size(), l.entries.size());
    EXPECT_EQ(a.recno(), a.reccount() + 1);

    // Backward from the bottom.
    i = l.entries.size();
    for (a.go_bottom(); !a.bof(); a.skip(-1)) {
        ASSERT_GT(i, 0u);
        --i;
        EXPECT_EQ(l.entries[l.by_recno.at(a.recno())].key, l.entries[i].key) << "position " << i;
    }
    EXPECT_EQ(i, 0u);
    EXPECT_TRUE(a.bof());
    EXPECT_FALSE(a.eof());

    // Every key is found, on the first of its equal keys.
    std::set<std::string> keys;
    for (const Entry& e : l.entries) keys.insert(e.key);
    for (const std::string& k : keys) {
        ASSERT_TRUE(a.seek(k)) << "[" << k << "]";
        const Entry& e = l.entries[l.by_recno.at(a.recno())];
        EXPECT_EQ(e.key, k);
        expect_fields(a, e);
        a.skip(-1);
        if (!a.bof()) {
            EXPECT_LT(l.entries[l.by_recno.at(a.recno())].key, k);
        }
    }
    a.close();
}

INSTANTIATE_TEST_SUITE_P(Xbase, FixtureTest,
                         ::testing::Values(std::make_pair(std::string("mdart"), std::string("mdart")),
                                           std::make_pair(std::string("mdart"), std::string("mdart1")),
                                           std::make_pair(std::string("stzart"), std::string("stzart")),
                                           std::make_pair(std::string("stzinc"), std::string("stzinc"))));

TEST(FixtureFiles, DeletedFilterHidesListedDeletedRecords) {
    dbftest::TempDir dir;
    std::filesystem::copy_file(std::string(TOR_FIXTURES_DIR) + "/xbase/stzart.dbf", dir / "stzart.dbf");
    std::filesystem::copy_file(std::string(TOR_FIXTURES_DIR) + "/xbase/stzart.ntx", dir / "stzart.ntx");
    Listing l = load_listing(std::string(TOR_FIXTURES_DIR) + "/xbase/listing_stzart_stzart.txt");
    size_t live = 0;
    for (const Entry& e : l.entries) live += !e.deleted;
    ASSERT_LT(live, l.entries.size());

    bool prev = set_deleted(true);
    WorkArea a;
    ASSERT_TRUE(a.open(dir / "STZART", "", true));   // found case-insensitively
    a.set_index({dir / "stzart"});
    size_t n = 0;
    for (a.go_top(); !a.eof(); a.skip()) {
        EXPECT_FALSE(a.deleted());
        ++n;
    }
    EXPECT_EQ(n, live);
    n = 0;
    a.set_order(0);
    for (a.go_top(); !a.eof(); a.skip()) ++n;
    EXPECT_EQ(n, live);
    set_deleted(prev);
}

}  // namespace
