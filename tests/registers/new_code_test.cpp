// Workstations saving new codes of one register at the same moment: the check for the code and the
// append that depends on it happen under one lock, so every code ends up in exactly one record.
#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "data/helpers.h"
#include "registers/registers.h"

namespace tor::test {
namespace {

class NewCodes : public DataDir {
protected:
    void SetUp() override {
        DataDir::SetUp();
        INITDAT();
    }
};

TEST_F(NewCodes, FourWorkstationsSavingTheSameCodesStoreEachOnce) {
    constexpr int kProcs = 4, kCodes = 150;
    // All start together; between the look-up of a code and its saving a little time passes, as it
    // does while the user types the article's name.
    const auto start = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    std::vector<std::unique_ptr<Child>> children;
    for (int p = 0; p < kProcs; ++p) {
        children.push_back(std::make_unique<Child>([p, start] {
            if (!open_table("mdart")) return false;
            rt::dbf::WorkArea& a = rt::dbf::current();
            std::this_thread::sleep_until(start);
            for (int i = 1; i <= kCodes; ++i) {
                const std::string code = rt::STRZERO(i, 6);
                const bool known = a.seek(code);
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                if (known ? !REC_LOCK(0) : !lock_code_record(code)) return false;
                a.put("NAZIV", "RADNA STANICA " + std::to_string(p));
                a.commit();
                a.unlock();
            }
            a.close();
            return true;
        }));
    }
    for (auto& c : children) EXPECT_EQ(c->wait(), 0);

    ASSERT_TRUE(open_table("mdart"));
    rt::dbf::WorkArea& a = rt::dbf::current();
    std::map<std::string, int> count;
    a.set_order(0);
    for (a.go_top(); !a.eof(); a.skip()) ++count[a.get_str("SIFRA")];
    EXPECT_EQ(count.size(), static_cast<size_t>(kCodes));
    for (const auto& [code, n] : count) EXPECT_EQ(n, 1) << code;
    // The key order agrees with the records.
    a.set_order(1);
    int n = 0;
    for (a.go_top(); !a.eof(); a.skip()) EXPECT_EQ(a.get_str("SIFRA"), rt::STRZERO(++n, 6));
    EXPECT_EQ(n, kCodes);
}

}  // namespace
}  // namespace tor::test
