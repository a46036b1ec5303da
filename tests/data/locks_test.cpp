// The waiting policy of REC_LOCK, FIL_LOCK and ADD_REC against a lock held by another process,
// and many processes appending into one indexed table at once.
#include <set>

#include "helpers.h"
#include "rt/os/os.h"

namespace tor::test {
namespace {

class Locks : public DataDir {
protected:
    void SetUp() override {
        DataDir::SetUp();
        MAKEDBF("zapis", {"Sifra     C6  ", "Naziv     C20 "});
        ASSERT_TRUE(NETUSE("zapis"));
        for (const char* s : {"000001", "000002"}) {
            ASSERT_TRUE(ADD_REC());
            rt::dbf::current().put("SIFRA", s);
        }
        rt::dbf::close_all();
        path_ = company("zapis.dbf");
    }
    // Another workstation: locks record 1 (or the whole table), signals, and holds the lock
    // until told to let go (or for hold_ms real milliseconds).
    Child holder(bool whole_table, int hold_ms = -1) {
        return Child([this, whole_table, hold_ms] {
            rt::dbf::WorkArea a;
            if (!a.open(path_)) return false;
            a.go_to(1);
            if (!(whole_table ? a.flock() : a.rlock())) return false;
            if (!ready_.send()) return false;
            if (hold_ms >= 0)
                usleep(static_cast<useconds_t>(hold_ms) * 1000);
            else if (!release_.receive())
                return false;
            a.unlock();
            return true;
        });
    }
    std::string path_;
    Pipe ready_, release_;
};

TEST_F(Locks, RecordLockGivesUpAfterTenAttemptsInFiveSeconds) {
    Child other = holder(false);
    ASSERT_TRUE(ready_.receive());
    ASSERT_TRUE(NETUSE("zapis"));
    auto& a = rt::dbf::current();
    a.go_to(1);

    double t0 = rt::clk::monotonic();
    EXPECT_FALSE(REC_LOCK());
    EXPECT_EQ(last_lock_attempts(), 10);
    EXPECT_DOUBLE_EQ(rt::clk::monotonic() - t0, 5.0);

    t0 = rt::clk::monotonic();
    EXPECT_FALSE(REC_LOCK(2));
    EXPECT_EQ(last_lock_attempts(), 4);
    EXPECT_DOUBLE_EQ(rt::clk::monotonic() - t0, 2.0);

    // A key ends every pause at once and stays for the screen that reads it.
    rt::KEYBOARD("D");
    t0 = rt::clk::monotonic();
    EXPECT_FALSE(REC_LOCK());
    EXPECT_EQ(last_lock_attempts(), 10);
    EXPECT_LT(rt::clk::monotonic() - t0, 0.5);
    EXPECT_EQ(rt::INKEY(), 'D');

    // Another record is free; the table lock is not.
    a.go_to(2);
    EXPECT_TRUE(REC_LOCK());
    EXPECT_EQ(last_lock_attempts(), 1);
    EXPECT_FALSE(FIL_LOCK(1));
    EXPECT_EQ(last_lock_attempts(), 2);

    ASSERT_TRUE(release_.send());
    EXPECT_EQ(other.wait(), 0);
    a.go_to(1);
    EXPECT_TRUE(REC_LOCK());
    EXPECT_TRUE(FIL_LOCK());
    // At the end of the table there is no record to wait for.
    a.go_to(3);
    EXPECT_FALSE(REC_LOCK(0));
}

TEST_F(Locks, UnlimitedWaitShowsANoticeUntilTheRecordIsFree) {
    rt::SAY(24, 0, "statusna linija");
    const std::string row_before = rt::screen_row_text(24);
    Child other = holder(false, 500);
    ASSERT_TRUE(ready_.receive());
    ASSERT_TRUE(NETUSE("zapis"));
    rt::dbf::current().go_to(1);

    std::vector<std::string> rows;
    set_lock_wait_observer([&](int) { rows.push_back(rt::screen_row_text(24)); });
    const double t0 = rt::clk::monotonic();
    EXPECT_TRUE(REC_LOCK(0));
    EXPECT_GT(last_lock_attempts(), 5);
    EXPECT_GE(rt::clk::monotonic() - t0, 2.0);

    // Seen before each further attempt: nothing during the first two seconds, then the notice.
    ASSERT_GE(rows.size(), 6u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(rows[i], row_before) << i;
    for (size_t i = 4; i < rows.size(); ++i) EXPECT_EQ(rows[i], rt::PADR(std::string(15, ' ') + LOCK_NOTICE, 80)) << i;
    EXPECT_EQ(rt::screen_row_text(24), row_before);
    EXPECT_EQ(other.wait(), 0);
}

TEST_F(Locks, AppendWaitsForTheTableLockToBeReleased) {
    Child other = holder(true, 500);
    ASSERT_TRUE(ready_.receive());
    ASSERT_TRUE(NETUSE("zapis"));
    auto& a = rt::dbf::current();
    EXPECT_FALSE(ADD_REC(1));
    EXPECT_EQ(a.reccount(), 2u);
    EXPECT_TRUE(ADD_REC(0));
    EXPECT_GT(last_lock_attempts(), 1);
    EXPECT_EQ(a.reccount() * 10 + a.recno(), 33u);
    EXPECT_TRUE(a.is_locked(3));
    EXPECT_EQ(other.wait(), 0);
}

TEST_F(Locks, FourProcessesAppendingLoseAndDuplicateNothing) {
    constexpr int kProcs = 4, kEach = 5000;
    MAKEDBF("stavke", {"Proc      C1  ", "Seq       C5  ", "Datum     D8  "});
    ASSERT_TRUE(MAKENTX("stavke", "Proc+Seq", "stavke"));
    ASSERT_TRUE(MAKENTX("stavke", "dtos(datum)+Seq+Proc", "stavke1"));

    std::vector<std::unique_ptr<Child>> children;
    for (int p = 0; p < kProcs; ++p) {
        children.push_back(std::make_unique<Child>([p, this] {
            if (!NETUSE("stavke")) return false;
            auto& a = rt::dbf::current();
            a.set_index({company("stavke"), company("stavke1")});
            for (int i = 0; i < kEach; ++i) {
                if (!ADD_REC(0)) return false;
                a.put("PROC", std::string(1, static_cast<char>('A' + p)));
                a.put("SEQ", rt::STRZERO(i, 5));
                a.put("DATUM", rt::dbf::Value(rt::Date::ymd(2026, 1, 1) + (i * 7 + p) % 365));
            }
            a.unlock();
            a.commit();
            a.close();
            return true;
        }));
    }
    for (auto& c : children) EXPECT_EQ(c->wait(), 0);

    ASSERT_TRUE(NETUSE("stavke"));
    auto& a = rt::dbf::current();
    a.set_index({company("stavke"), company("stavke1")});
    ASSERT_EQ(a.reccount(), static_cast<uint32_t>(kProcs * kEach));
    // Walked through either index: every record once, keys in order (no record lost or doubled).
    for (int order = 1; order <= 2; ++order) {
        a.set_order(order);
        std::string prev;
        std::set<uint32_t> recs;
        std::set<std::string> keys;
        for (a.go_top(); !a.eof(); a.skip()) {
            const std::string key = order == 1 ? a.get_str("PROC") + a.get_str("SEQ")
                                               : rt::DTOS(a.get_date("DATUM")) + a.get_str("SEQ") + a.get_str("PROC");
            EXPECT_LE(prev, key) << "order " << order << " at record " << a.recno();
            prev = key;
            recs.insert(a.recno());
            keys.insert(key);
        }
        EXPECT_EQ(recs.size() + keys.size(), static_cast<size_t>(2 * kProcs * kEach)) << "order " << order;
        // Every key can be found through the index.
        EXPECT_TRUE(a.seek(order == 1 ? "D04999" : "20260101"));
    }
}

}  // namespace
}  // namespace tor::test
