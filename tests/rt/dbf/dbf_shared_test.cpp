// Several processes on one table: opening while another appends, record and table locks, a writer
// killed midway. (Many processes appending through two indexes are shown by the data-layer lock tests.)
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "dbf_test_util.h"
#include "rt/dbf/dbf.h"
#include "rt/dbf/ntx.h"
#include "rt/fmt/fmt.h"

using namespace rt::dbf;

namespace {

const std::vector<FieldDef> kFields = {{"ID", 'C', 8, 0}, {"SIFRA", 'C', 6, 0}, {"KOL", 'N', 10, 2}};

using dbftest::spawn;
using dbftest::wait_exit;

// The index is a sound tree (its check covers the key order) with one entry per record.
void expect_index_walks(const std::string& ntx, uint32_t expected) {
    auto n = NtxFile::open(ntx, kFields);
    EXPECT_EQ(n->check(), "") << ntx;
    EXPECT_EQ(dbftest::index_order(*n).size(), expected) << ntx;
}

// A table opened while another process appends: the count in the header may be newer than the
// size seen a moment before, never newer than the records the file holds.
TEST(SharedTables, OpenedWhileAnotherProcessAppends) {
    dbftest::TempDir dir;
    create_table(dir / "busy", kFields);
    pid_t kid = spawn([&] {
        WorkArea a;
        if (!a.open(dir / "busy", "", false)) return false;
        for (int i = 0; i < 20000; ++i) {
            if (!a.append_blank()) return false;
            a.unlock();
        }
        return true;
    });
    int opened = 0;
    for (int t = 0; t < 3000; ++t) {
        WorkArea b;
        ASSERT_TRUE(b.open(dir / "busy", "", false));
        ++opened;
        int st = 0;
        if (waitpid(kid, &st, WNOHANG) == kid) {
            kid = 0;
            EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
            break;
        }
    }
    if (kid) {
        EXPECT_EQ(wait_exit(kid), 0);
    }
    EXPECT_GT(opened, 0);
}

TEST(SharedTables, LocksAreRefusedWhileHeldElsewhere) {
    dbftest::TempDir dir;
    create_table(dir / "locks", kFields);
    WorkArea a;
    ASSERT_TRUE(a.open(dir / "locks", "", false));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(a.append_blank());
        a.put("ID", std::to_string(i + 1));
    }
    a.unlock();
    a.go_to(2);
    ASSERT_TRUE(a.rlock());

    int to_child[2], to_parent[2];
    ASSERT_EQ(pipe(to_child), 0);
    ASSERT_EQ(pipe(to_parent), 0);
    pid_t kid = spawn([&] {
        WorkArea b;
        if (!b.open(dir / "locks", "", false)) return false;
        WorkArea other;
        if (other.open(dir / "locks", "", true)) return false;    // shared elsewhere: no exclusive open
        b.go_to(2);
        bool ok = !b.rlock() && !b.flock() && b.rlock(1);       // record 2 refused, others free
        b.unlock();
        char c = ok ? 'y' : 'n';
        if (write(to_parent[1], &c, 1) != 1) return false;
        if (read(to_child[0], &c, 1) != 1) return false;        // the parent released record 2
        b.go_to(2);
        if (!b.rlock()) return false;
        b.put("KOL", 5);
        b.unlock();
        return b.flock();
    });
    char c = 0;
    ASSERT_EQ(read(to_parent[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    a.unlock();
    ASSERT_EQ(write(to_child[1], "g", 1), 1);
    EXPECT_EQ(wait_exit(kid), 0);
    a.go_to(2);
    EXPECT_DOUBLE_EQ(a.get_num("KOL"), 5);   // the other process's change is read

    // Two areas of this process conflict the same way (locks belong to the open file).
    WorkArea b;
    ASSERT_TRUE(b.open(dir / "locks", "b", false));
    ASSERT_TRUE(a.rlock(3));
    b.go_to(3);
    EXPECT_FALSE(b.rlock());
    EXPECT_TRUE(b.rlock(1));
    EXPECT_FALSE(a.flock());
    b.unlock();
    EXPECT_TRUE(a.flock());
    EXPECT_FALSE(b.append_blank()) << "the new record is covered by the table lock";
    a.unlock();
    EXPECT_TRUE(b.append_blank());
    EXPECT_EQ(a.reccount(), 4u);
    b.close();
    a.close();
    ASSERT_TRUE(a.open(dir / "locks", "", true));
    EXPECT_FALSE(b.open(dir / "locks", "", false));
}

TEST(SharedTables, WriterKilledMidwayLeavesAUsableTable) {
    dbftest::TempDir dir;
    create_table(dir / "killed", kFields);
    {
        WorkArea a;
        ASSERT_TRUE(a.open(dir / "killed", "", true));
        a.create_index("Id", dir / "killed");
    }
    pid_t kid = spawn([&] {
        WorkArea a;
        if (!a.open(dir / "killed", "", false)) return false;
        a.set_index({dir / "killed"});
        for (;;) {
            if (!a.append_blank()) return false;
            a.put("ID", rt::STRZERO(a.recno(), 8));
            a.put("KOL", a.recno() * 0.5);
            a.unlock();
        }
    });
    WorkArea w;
    ASSERT_TRUE(w.open(dir / "killed", "", false));
    for (int t = 0; t < 2000 && w.reccount() < 300; ++t) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(kid, SIGKILL);
    EXPECT_EQ(wait_exit(kid), 100 + SIGKILL);
    w.close();

    WorkArea a;
    ASSERT_TRUE(a.open(dir / "killed", "", true));
    const uint32_t n = a.reccount();
    EXPECT_GE(n, 300u);
    for (uint32_t r = 1; r <= n; ++r) {
        a.go_to(r);
        if (r == n && a.get_str("ID") == "        ") break;   // appended, not yet filled
        EXPECT_EQ(a.get_str("ID"), rt::STRZERO(r, 8));
        EXPECT_DOUBLE_EQ(a.get_num("KOL"), r * 0.5);
    }
    a.create_index("Id", dir / "killed");
    a.close();
    expect_index_walks(dir / "killed.ntx", n);
}

}  // namespace
