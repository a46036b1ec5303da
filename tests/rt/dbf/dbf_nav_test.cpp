// Navigation, filters, relations, work-area scopes and whole-table operations.
#include <gtest/gtest.h>

#include <tuple>

#include "dbf_test_util.h"
#include "rt/dbf/dbf.h"
#include "rt/dbf/ntx.h"
#include "rt/fmt/fmt.h"

using namespace rt::dbf;

namespace {

class NavTest : public ::testing::Test {
protected:
    // Items: codes 5, 3, 9, 1, 7 (records 1..5), record 3 deleted; lines of documents per item.
    void SetUp() override {
        create_table(dir_ / "items", {{"SIFRA", 'C', 6, 0}, {"NAZIV", 'C', 20, 0}, {"CENA", 'N', 10, 2}});
        WorkArea a;
        ASSERT_TRUE(a.open(dir_ / "items", "", true));
        const int codes[] = {5, 3, 9, 1, 7};
        for (int c : codes) {
            ASSERT_TRUE(a.append_blank());
            a.put("SIFRA", rt::STRZERO(c, 6));
            a.put("NAZIV", "artikal " + std::to_string(c));
            a.put("CENA", c * 10.5);
        }
        a.go_to(3);
        a.delete_record();
        a.create_index("Sifra", dir_ / "items");
        a.close();
    }
    void TearDown() override {
        close_all();
        set_deleted(true);
    }
    std::vector<uint32_t> walk(WorkArea& a) {
        std::vector<uint32_t> r;
        for (a.go_top(); !a.eof(); a.skip()) r.push_back(a.recno());
        return r;
    }
    dbftest::TempDir dir_;
};

TEST_F(NavTest, EofBofAndTheDeletedFilter) {
    WorkArea a;
    ASSERT_TRUE(a.open(dir_ / "items"));
    EXPECT_EQ(a.reccount(), 5u);
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{1, 2, 4, 5}));   // natural order, 3 hidden
    a.set_index({dir_ / "items"});
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{4, 2, 1, 5}));   // 1, 3, 5, 7
    EXPECT_EQ(std::tuple(a.eof(), a.recno(), a.get_str("SIFRA")), std::tuple(true, 6u, "      "));  // a blank phantom
    a.skip();
    EXPECT_TRUE(a.eof());
    a.skip(-1);
    EXPECT_EQ(std::tuple(a.eof(), a.recno()), std::tuple(false, 5u));
    a.go_top();
    a.skip(-1);
    EXPECT_EQ(std::tuple(a.bof(), a.recno()), std::tuple(true, 4u));   // stays on the first record
    a.skip(2);
    EXPECT_EQ(std::tuple(a.bof(), a.recno()), std::tuple(false, 1u));

    set_deleted(false);
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{4, 2, 1, 5, 3}));
    a.go_bottom();
    EXPECT_EQ(std::tuple(a.recno(), a.deleted()), std::tuple(3u, true));
    set_deleted(true);
    a.go_bottom();
    EXPECT_EQ(a.recno(), 5u);

    // Seeks: exact, partial, not found, soft; a deleted record is not found (6: end of file).
    const struct { const char* key; bool soft, found; uint32_t rec; } seeks[] = {
        {"000005", false, true, 1}, {"00000", false, true, 4}, {"000004", false, false, 6},
        {"000004", true, false, 1}, {"000009", false, false, 6}, {"000008", true, false, 6},
    };
    for (const auto& s : seeks) {
        EXPECT_EQ(a.seek(s.key, s.soft), s.found) << s.key;
        EXPECT_EQ(std::tuple(a.recno(), a.eof()), std::tuple(s.rec, s.rec == 6)) << s.key;
    }
    a.go_to(3);   // GOTO ignores the filter
    EXPECT_EQ(a.recno(), 3u);
    a.skip();     // and continues in index order from there
    EXPECT_TRUE(a.eof());
    a.go_to(99);
    EXPECT_TRUE(a.eof());

    // An empty table: both ends at once.
    create_table(dir_ / "empty", {{"X", 'C', 1, 0}});
    WorkArea e;
    ASSERT_TRUE(e.open(dir_ / "empty"));
    EXPECT_TRUE(e.eof() && e.bof());
    e.skip(-1);
    EXPECT_EQ(std::tuple(e.bof(), e.recno()), std::tuple(true, 1u));
}

TEST_F(NavTest, FiltersRelationsAndScopes) {
    create_table(dir_ / "lines", {{"SIFRA", 'C', 6, 0}, {"KOL", 'N', 8, 0}});
    ASSERT_EQ(select_free(), 1);
    ASSERT_TRUE(use(dir_ / "lines", "", true));
    WorkArea& l = current();
    for (int c : {7, 4, 5}) {
        ASSERT_TRUE(l.append_blank());
        l.put("SIFRA", rt::STRZERO(c, 6));
        l.put("KOL", c);
    }
    ASSERT_EQ(select_free(), 2);
    ASSERT_TRUE(use(dir_ / "items", "art"));
    current().set_index({dir_ / "items"});
    EXPECT_TRUE(alias_used("ART"));
    EXPECT_EQ(&area("art"), &area(2));

    select("lines");
    EXPECT_EQ(current_number(), 1);
    l.set_relation("art", [] { return current().get_str("SIFRA"); }, "SIFRA");
    l.go_top();
    EXPECT_EQ(std::tuple(area("art").recno(), area("art").found()), std::tuple(5u, true));
    l.skip();   // code 4: no such item
    EXPECT_TRUE(area("art").eof());
    l.skip();
    EXPECT_EQ(area("art").get_str("NAZIV"), rt::PADR("artikal 5", 20));
    l.skip();
    EXPECT_TRUE(l.eof() && area("art").eof());

    // A filter sees its own area as the selected one, even when another is selected.
    select("lines");
    area("art").set_filter([] { return current().get_num("CENA") > 50; }, "CENA > 50");
    EXPECT_EQ(walk(area("art")), (std::vector<uint32_t>{1, 5}));
    EXPECT_EQ(current_number(), 1);
    EXPECT_FALSE(area("art").seek("000001"));   // hidden by the filter
    area("art").clear_filter();
    EXPECT_TRUE(area("art").seek("000001"));

    // A nested scope opens the same alias without touching the caller's areas.
    {
        AreaScope scope;
        EXPECT_TRUE(used_areas().empty());
        EXPECT_FALSE(alias_used("art"));
        select_free();
        ASSERT_TRUE(use(dir_ / "items", "art"));
        current().go_bottom();
        EXPECT_EQ(current().recno(), 5u);
    }
    EXPECT_EQ(std::tuple(current_number(), used_areas(), area("art").recno()), std::tuple(1, std::vector<int>{1, 2}, 4u));
    EXPECT_THROW(area("nothing"), rt::Error);
    EXPECT_THROW(select("nothing"), rt::Error);
    EXPECT_EQ(select_free(), 3);
    EXPECT_THROW(use(dir_ / "items", "lines"), rt::Error) << "alias taken by area 1";
}

TEST_F(NavTest, IndexesFollowChangesAppendsAndDeletes) {
    {
        WorkArea a;
        ASSERT_TRUE(a.open(dir_ / "items", "", true));
        a.create_index("Naziv", dir_ / "byname");
    }
    WorkArea a;
    ASSERT_TRUE(a.open(dir_ / "items", "", false));
    a.set_index({dir_ / "items", dir_ / "byname"});
    ASSERT_TRUE(a.seek("000005"));
    EXPECT_THROW(a.put("SIFRA", "000002"), rt::Error) << "shared change without a lock";
    EXPECT_EQ(a.get_str("SIFRA"), "000005");
    ASSERT_TRUE(a.rlock());
    a.put("SIFRA", "000008");
    a.put("NAZIV", "zzz");
    a.unlock();
    EXPECT_FALSE(a.is_locked(1));
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{4, 2, 5, 1}));
    ASSERT_TRUE(a.append_blank());
    EXPECT_EQ(a.recno(), 6u);
    a.put("SIFRA", "000000");
    a.put("NAZIV", "aaa");
    a.unlock();
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{6, 4, 2, 5, 1}));
    a.set_order(2);
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{6, 4, 2, 5, 1}));   // aaa, artikal 1, 3, 7, zzz
    // Changing the key while walking moves the record to its new place.
    a.go_top();
    ASSERT_TRUE(a.rlock());
    a.put("NAZIV", "artikal 4");
    a.skip();
    EXPECT_EQ(a.recno(), 5u);
    a.unlock();
    // Deleted records stay in the indexes and are only hidden.
    ASSERT_TRUE(a.flock());
    a.go_to(4);
    a.delete_record();
    a.go_to(3);
    a.recall();
    a.unlock();
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{2, 6, 5, 3, 1}));
    a.set_order(0);
    EXPECT_EQ(walk(a), (std::vector<uint32_t>{1, 2, 3, 5, 6}));
    a.set_order(1);
    EXPECT_TRUE(a.seek("000009"));
    EXPECT_EQ(a.recno(), 3u);
    a.close();

    for (const char* ix : {"items.ntx", "byname.ntx"}) {
        auto n = NtxFile::open(dir_ / ix, table_fields(dir_ / "items"));
        EXPECT_EQ(n->check(), "") << ix;
        EXPECT_EQ(dbftest::index_order(*n).size(), 6u) << ix;
    }

    // ZAP empties the table and its indexes; it needs the table exclusively.
    ASSERT_TRUE(a.open(dir_ / "items", "", false));
    a.set_index({dir_ / "items", dir_ / "byname"});
    EXPECT_THROW(a.zap(), rt::Error);
    a.close();
    copy_table_file(dir_ / "items", dir_ / "saved");
    ASSERT_TRUE(a.open(dir_ / "items", "", true));
    a.set_index({dir_ / "items", dir_ / "byname"});
    a.zap();
    EXPECT_EQ(a.reccount(), 0u);
    EXPECT_TRUE(a.eof() && a.bof());
    EXPECT_TRUE(walk(a).empty());
    ASSERT_TRUE(a.append_blank());
    a.put("SIFRA", "000042");
    EXPECT_TRUE(a.seek("000042"));
    EXPECT_EQ(a.index_key(1), "Sifra");
    a.close();
    EXPECT_EQ(dbftest::read_all(dir_ / "items.dbf").size(), 32u + 3 * 32 + 1 + 37 + 1);

    // APPEND FROM by field name, deleted marks carried, narrower fields cut, new fields blank.
    create_table(dir_ / "copy", {{"NAZIV", 'C', 9, 0}, {"NOVO", 'N', 5, 0}, {"SIFRA", 'C', 6, 0}, {"CENA", 'N', 12, 3}});
    ASSERT_TRUE(a.open(dir_ / "copy", "", false));
    a.append_from(dir_ / "saved");
    EXPECT_EQ(a.reccount(), 6u);
    set_deleted(false);
    auto row = [](bool del, const char* code, const char* name, double price) {
        return std::string(del ? "*" : " ") + code + rt::PADR(name, 9) + rt::STR(price, 8, 2) + "|0";
    };
    std::vector<std::string> rows;
    for (a.go_top(); !a.eof(); a.skip())
        rows.push_back(std::string(a.deleted() ? "*" : " ") + a.get_str("SIFRA") + a.get_str("NAZIV") +
                       rt::STR(a.get_num("CENA"), 8, 2) + "|" + std::to_string(static_cast<int>(a.get_num("NOVO"))));
    EXPECT_EQ(rows, (std::vector<std::string>{row(false, "000008", "zzz", 52.5), row(false, "000003", "artikal 3", 31.5),
                                              row(false, "000009", "artikal 9", 94.5), row(true, "000001", "artikal 1", 10.5),
                                              row(false, "000007", "artikal 7", 73.5), row(false, "000000", "artikal 4", 0)}));
}

// Long scans read ahead (entries, and records when held exclusively): what this area changes on
// the way must still be what is read afterwards, in both directions.
TEST(LongScans, SeeTheirOwnChanges) {
    dbftest::TempDir dir;
    for (bool exclusive : {true, false}) {
        create_table(dir / "big", {{"K", 'C', 8, 0}, {"N", 'N', 8, 0}});
        WorkArea a;
        ASSERT_TRUE(a.open(dir / "big", "", exclusive));
        uint32_t seed = 7;
        for (int i = 0; i < 3000; ++i) {
            ASSERT_TRUE(a.append_blank());
            seed = seed * 1103515245u + 12345u;
            a.put("K", rt::STRZERO((seed >> 8) % 100000, 8));
            a.put("N", i);
        }
        a.unlock();
        a.create_index("K", dir / "big");
        int n = 0;
        std::string prev;
        for (a.go_top(); !a.eof(); a.skip(), ++n) {
            ASSERT_LE(prev, a.get_str("K"));
            prev = a.get_str("K");
            ASSERT_TRUE(a.rlock());
            a.put("N", a.get_num("N") + 100000);
            if (n % 500 == 0) a.delete_record();
            if (n == 1000) {
                const uint32_t here = a.recno();
                ASSERT_TRUE(a.append_blank());   // appended while scanning: comes at the end
                a.put("K", "99999999");
                a.put("N", 3000);
                a.go_to(here);
                ASSERT_TRUE(a.rlock());
            }
        }
        a.unlock();
        EXPECT_EQ(n, 3001) << exclusive;
        EXPECT_EQ(a.reccount(), 3001u);
        int back = 0;
        for (a.go_bottom(); !a.bof(); a.skip(-1), ++back) {
            ASSERT_GE(a.get_num("N"), 100000) << a.recno();
            ASSERT_FALSE(a.deleted());
        }
        EXPECT_EQ(back, 3001 - 7);
        // Turning round in the middle of a scan.
        a.go_top();
        a.skip(200);
        const uint32_t mid = a.recno();
        a.skip(100);
        a.skip(-100);
        EXPECT_EQ(a.recno(), mid);
        a.close();
    }
}

TEST(KeyedSeeks, NumbersAndDates) {
    dbftest::TempDir dir;
    create_table(dir / "docs", {{"BROJ", 'N', 6, 0}, {"IZNOS", 'N', 10, 2}, {"DATUM", 'D', 8, 0}});
    WorkArea a;
    ASSERT_TRUE(a.open(dir / "docs", "", true));
    const int nums[] = {120, -5, 7, 42, 1000};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(a.append_blank());
        a.put("BROJ", nums[i]);
        a.put("IZNOS", nums[i] * 1.25);
        a.put("DATUM", rt::Date::ymd(2024, 1, 1) + nums[i]);
    }
    a.create_index("broj", dir / "bybroj");
    std::vector<uint32_t> by_number;
    for (a.go_top(); !a.eof(); a.skip()) by_number.push_back(a.recno());
    EXPECT_EQ(by_number, (std::vector<uint32_t>{2, 3, 4, 1, 5}));   // -5 first
    EXPECT_TRUE(a.seek(-5.0));
    EXPECT_EQ(a.recno(), 2u);
    EXPECT_TRUE(a.seek(42.0));
    EXPECT_EQ(a.recno(), 4u);
    EXPECT_FALSE(a.seek(43.0));
    EXPECT_TRUE(a.eof());
    EXPECT_FALSE(a.seek(43.0, true));
    EXPECT_EQ(a.recno(), 1u);   // the next greater number: 120
    a.create_index("Iznos", dir / "byiznos");
    EXPECT_TRUE(a.seek(8.75));
    EXPECT_EQ(a.recno(), 3u);
    EXPECT_FALSE(a.seek(-6.0, true));   // soft: the next greater value, 8.75
    EXPECT_EQ(a.recno(), 3u);
    const std::string h = dbftest::read_all(dir / "byiznos.ntx");
    EXPECT_EQ(dbftest::le16(h, 14), 10);   // key size
    EXPECT_EQ(dbftest::le16(h, 16), 2);    // key decimals
    a.create_index("dtos(datum)", dir / "bydtos");
    EXPECT_TRUE(a.seek(rt::Date::ymd(2024, 1, 1) + 1000));
    EXPECT_EQ(a.recno(), 5u);
    EXPECT_TRUE(a.seek(std::string("202401")));   // a date prefix
    EXPECT_EQ(a.recno(), 3u);                       // 2024-01-08 is the first in January
    a.create_index("datum", dir / "bydate");
    EXPECT_TRUE(a.seek(rt::Date::ymd(2023, 12, 27)));
    EXPECT_EQ(a.recno(), 2u);
}

}  // namespace
