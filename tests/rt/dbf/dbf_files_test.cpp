// The table file format: what we write is read by an independent reader, damaged files are
// refused with an error naming them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "dbf_test_util.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"

using namespace rt::dbf;

namespace {

std::vector<FieldDef> sample_fields() {
    return {{"NAME", 'C', 10, 0}, {"wide", 'C', 300, 0}, {"QTY", 'N', 12, 3},
            {"CNT", 'N', 5, 0},   {"DAT", 'D', 8, 0},    {"OK", 'L', 1, 0}};
}

// Three records: a full one, a deleted one with negative numbers, one with blank date and logical.
void fill_sample(WorkArea& a) {
    ASSERT_TRUE(a.append_blank());
    a.put("NAME", "Alpha");
    a.put("WIDE", std::string(301, 'x'));
    a.put("QTY", 12.3456);
    a.put("CNT", 42);
    a.put("DAT", rt::Date::ymd(2024, 2, 29));
    a.put("OK", true);
    ASSERT_TRUE(a.append_blank());
    a.put("name", "Beta");
    a.put("QTY", -0.0005);
    a.put("CNT", -7);
    a.put("DAT", rt::Date());
    a.put("OK", false);
    a.delete_record();
    ASSERT_TRUE(a.append_blank());
    a.put("WIDE", "end");
    a.put("QTY", -1234.5);
    a.put("CNT", 0);
    a.unlock();
    a.commit();
}

std::string dbfread(const dbftest::TempDir& dir, const std::string& table) {
    dbftest::write_all(dir / "show.py",
                       "import sys\n"
                       "from dbfread import DBF\n"
                       "t = DBF(sys.argv[1], encoding='latin-1')\n"
                       "print(len(t.fields), [(f.name, f.type, f.length, f.decimal_count) for f in t.fields])\n"
                       "for r in t: print('L', repr(list(r.values())))\n"
                       "for r in t.deleted: print('D', repr(list(r.values())))\n");
    std::string cmd = "/usr/bin/python3 " + (dir / "show.py") + " " + (dir / table) + " > " + (dir / "out.txt") + " 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << dbftest::read_all(dir / "out.txt");
    return dbftest::read_all(dir / "out.txt");
}

const std::string kExpected =
    "6 [('NAME', 'C', 10, 0), ('WIDE', 'C', 300, 0), ('QTY', 'N', 12, 3), ('CNT', 'N', 5, 0), "
    "('DAT', 'D', 8, 0), ('OK', 'L', 1, 0)]\n"
    "L ['Alpha', '" + std::string(300, 'x') + "', 12.346, 42, datetime.date(2024, 2, 29), True]\n"
    "L ['', 'end', -1234.5, 0, None, None]\n"
    "D ['Beta', '', -0.001, -7, None, False]\n";

TEST(TableFiles, WrittenTablesReadByAnIndependentReader) {
    for (bool exclusive : {true, false}) {
        dbftest::TempDir dir;
        create_table(dir / "sample", sample_fields());
        {
            WorkArea a;
            ASSERT_TRUE(a.open(dir / "sample", "", exclusive));
            fill_sample(a);
        }
        EXPECT_EQ(dbfread(dir, "sample.dbf"), kExpected) << (exclusive ? "exclusive" : "shared");

        // The layout itself: header length, EOF byte after the last record.
        std::string raw = dbftest::read_all(dir / "sample.dbf");
        ASSERT_GE(raw.size(), 32u);
        const unsigned hdr = dbftest::le16(raw, 8), rl = dbftest::le16(raw, 10);
        EXPECT_EQ(raw[0], '\x03');
        EXPECT_EQ(raw[4], 3);
        EXPECT_EQ(rl, 1u + 10 + 300 + 12 + 5 + 8 + 1);
        EXPECT_EQ(raw.size(), hdr + 3 * rl + 1);
        EXPECT_EQ(raw.back(), '\x1A');
        EXPECT_EQ(raw.substr(hdr + rl + 311, 12), "      -0.001");

        // And our own reading of it.
        WorkArea a;
        ASSERT_TRUE(a.open(dir / "SAMPLE.DBF"));
        bool prev = set_deleted(false);
        a.go_to(2);
        EXPECT_TRUE(a.deleted());
        EXPECT_EQ(a.get_str("NAME"), "Beta      ");
        EXPECT_DOUBLE_EQ(a.get_num("QTY"), -0.001);
        EXPECT_TRUE(a.get_date("DAT").empty());
        a.go_to(1);
        EXPECT_EQ(a.get_date("DAT"), rt::Date::ymd(2024, 2, 29));
        EXPECT_TRUE(a.get_bool("OK"));
        EXPECT_EQ(a.get_str("WIDE"), std::string(300, 'x'));
        set_deleted(prev);
    }
}

TEST(TableFiles, NumberTooWideIsRefusedNamingFieldAndTable) {
    dbftest::TempDir dir;
    create_table(dir / "nums", {{"N52", 'N', 5, 2}, {"N30", 'N', 3, 0}});
    WorkArea a;
    ASSERT_TRUE(a.open(dir / "nums", "", true));
    ASSERT_TRUE(a.append_blank());
    a.put("N52", 99.994);   // rounds to 99.99: fits
    EXPECT_DOUBLE_EQ(a.get_num("N52"), 99.99);
    try {
        a.put("N52", 99.995);   // rounds to 100.00: six characters
        FAIL() << "stored a number wider than its field";
    } catch (const rt::Error& e) {
        std::string m = e.what();
        EXPECT_NE(m.find("N52"), std::string::npos) << m;
        EXPECT_NE(m.find("nums.dbf"), std::string::npos) << m;
    }
    EXPECT_DOUBLE_EQ(a.get_num("N52"), 99.99);
    a.put("N30", -99);
    EXPECT_THROW(a.put("N30", -999), rt::Error);
    EXPECT_THROW(a.put("N30", std::string("12")), rt::Error);   // wrong type
    a.put("N30", 2.5);   // half away from zero
    EXPECT_DOUBLE_EQ(a.get_num("N30"), 3);
    a.put("N52", -1.005);
    EXPECT_DOUBLE_EQ(a.get_num("N52"), -1.01);
}

// Opening a damaged file gives an rt::Error naming it.
void expect_refused(const std::string& path, const std::string& what) {
    WorkArea a;
    try {
        a.open(path, "", true);
        ADD_FAILURE() << what << ": opened";
    } catch (const rt::Error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << what << ": " << e.what();
    }
}

TEST(TableFiles, DamagedFilesAreRefused) {
    dbftest::TempDir dir;
    create_table(dir / "good", {{"A", 'C', 10, 0}, {"B", 'N', 8, 2}});
    {
        WorkArea a;
        ASSERT_TRUE(a.open(dir / "good", "", true));
        for (int i = 0; i < 10; ++i) {
            ASSERT_TRUE(a.append_blank());
            a.put("A", "rec" + std::to_string(i));
            a.put("B", i * 1.5);
        }
    }
    const std::string good = dbftest::read_all(dir / "good.dbf");
    const size_t hdr = 32 + 2 * 32 + 1;
    ASSERT_EQ(good.size(), hdr + 10 * 19 + 1);

    dbftest::write_all(dir / "trunc.dbf", good.substr(0, hdr + 5 * 19 + 7));   // fewer records than counted
    expect_refused(dir / "trunc.dbf", "truncated");
    dbftest::write_all(dir / "short.dbf", good.substr(0, 20));
    expect_refused(dir / "short.dbf", "shorter than a header");

    std::string bad = good;
    bad[8] = static_cast<char>(hdr + 32);
    expect_refused(dir / "hdrlen.dbf", (dbftest::write_all(dir / "hdrlen.dbf", bad), "header length"));
    bad = good;
    bad[10] = 40;
    expect_refused(dir / "reclen.dbf", (dbftest::write_all(dir / "reclen.dbf", bad), "record length"));
    bad = good;
    for (size_t i = 0; i < 32; ++i) bad[i] = static_cast<char>(0xA5 ^ (i * 37));
    expect_refused(dir / "garbage.dbf", (dbftest::write_all(dir / "garbage.dbf", bad), "garbage header"));
    bad = good;
    bad[32 + 11] = 'M';
    expect_refused(dir / "memo.dbf", (dbftest::write_all(dir / "memo.dbf", bad), "unknown type"));
    expect_refused(dir / "missing.dbf", "missing");

    // Random damage anywhere: either the table opens and reads through, or an error names it.
    std::mt19937 rng(20261207);
    const bool prev = set_deleted(false);
    for (int round = 0; round < 300; ++round) {
        bad = good;
        const int flips = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < flips; ++k) {
            size_t pos = round % 2 ? rng() % hdr : rng() % bad.size();
            bad[pos] = static_cast<char>(rng());
        }
        if (round % 7 == 0) bad.resize(rng() % bad.size());
        const std::string p = dir / "rnd.dbf";
        dbftest::write_all(p, bad);
        WorkArea a;
        try {
            if (!a.open(p, "", false)) continue;
            uint32_t n = 0;
            for (a.go_top(); !a.eof(); a.skip()) {
                for (int f = 0; f < a.field_count(); ++f) (void)a.get(f);
                ASSERT_LE(++n, a.reccount()) << "endless walk in round " << round;
            }
            n = 0;
            for (a.go_bottom(); !a.bof(); a.skip(-1)) ASSERT_LE(++n, a.reccount()) << "round " << round;
        } catch (const rt::Error& e) {
            EXPECT_NE(std::string(e.what()).find(p), std::string::npos) << e.what();
        }
    }
    set_deleted(prev);
}

}  // namespace
