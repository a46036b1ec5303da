// Record lock, table lock and append-and-lock with the waiting policy shared by all three.
#include <chrono>
#include <thread>

#include "data/data.h"
#include "rt/dbf/dbf.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

namespace tor {

namespace {

int g_attempts = 0;
std::function<void(int)> g_observer;

// Half a second, ended early by a key that stays in the buffer. The virtual clock of headless
// runs does not sleep, so a few real milliseconds let the workstation holding the lock go on
// instead of spinning; the same when a waiting key ends every pause at once.
void pause_half_second() {
    const bool key = rt::KEY_WAITING(0.5);
    if (key || rt::clk::is_virtual()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

// The notice of an unlimited wait, on row 24, with what was there put back afterwards.
class WaitNotice {
public:
    void show() {
        if (shown_) return;
        saved_ = rt::SAVESCREEN(24, 0, 24, rt::COLS - 1);
        rt::CLEAR_RECT(24, 0, 24, rt::COLS - 1);
        rt::SAY(24, (rt::COLS - static_cast<int>(LOCK_NOTICE.size())) / 2, LOCK_NOTICE);
        rt::console_refresh();
        shown_ = true;
    }
    ~WaitNotice() {
        if (shown_) {
            rt::RESTSCREEN(saved_);
            rt::console_refresh();
        }
    }
private:
    bool shown_ = false;
    rt::ScreenImage saved_;
};

template <class Attempt>
bool with_wait(int wait, Attempt attempt) {
    g_attempts = 0;
    auto once = [&] {
        ++g_attempts;
        return attempt();
    };
    if (once()) return true;
    if (wait != 0) {
        double remaining = wait;
        for (;;) {
            if (g_observer) g_observer(g_attempts);
            pause_half_second();
            remaining -= 0.5;
            if (remaining <= 0) return false;
            if (once()) return true;
        }
    }
    WaitNotice notice;
    double waited = 0;
    for (;;) {
        if (g_observer) g_observer(g_attempts);
        pause_half_second();
        waited += 0.5;
        if (waited >= 2.0) notice.show();
        if (once()) return true;
    }
}

}  // namespace

bool REC_LOCK(int wait) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    // No record to lock (no table, end of file): waiting could never succeed.
    if (!a.used() || a.eof()) {
        g_attempts = 0;
        return false;
    }
    return with_wait(wait, [&] { return a.rlock(); });
}

bool FIL_LOCK(int wait) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (!a.used()) {
        g_attempts = 0;
        return false;
    }
    return with_wait(wait, [&] { return a.flock(); });
}

bool ADD_REC(int wait) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    return with_wait(wait, [&] { return a.append_blank(); });
}

KeyedAdd ADD_REC_KEY(const std::string& key, const std::function<void()>& fill, int wait) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (!with_wait(wait, [&] { return a.append_lock(); })) return KeyedAdd::FAILED;
    struct Release {
        rt::dbf::WorkArea& a;
        ~Release() { a.append_unlock(); }
    } release{a};
    if (a.seek(key)) return KeyedAdd::FOUND;
    if (!a.append_blank()) return KeyedAdd::FAILED;
    fill();
    a.commit();
    return KeyedAdd::ADDED;
}

int last_lock_attempts() { return g_attempts; }

void set_lock_wait_observer(std::function<void(int attempt)> observer) { g_observer = std::move(observer); }

}  // namespace tor
