#include "rt/os/clock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace rt::clk {

namespace {
struct State {
    bool initialised = false;
    bool virt = false;
    Date vdate;
    double vsecs = 8 * 3600.0;  // virtual time of day
    double vmono = 0.0;
    bool fixed_date = false;  // TORPDV_TODAY given
};
State& st() { static State s; return s; }

void ensure() { if (!st().initialised) init_from_env(); }

Date real_today() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return Date::ymd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}
}  // namespace

void init_from_env() {
    State& s = st();
    s = State();  // a second call starts afresh
    s.initialised = true;
    s.virt = std::getenv("TORPDV_KEYS") != nullptr;
    s.vdate = real_today();
    if (const char* t = std::getenv("TORPDV_TODAY")) {
        int y = 0, m = 0, d = 0;
        if (std::sscanf(t, "%d-%d-%d", &y, &m, &d) == 3) {
            Date dt = Date::ymd(y, m, d);
            if (!dt.empty()) { s.vdate = dt; s.fixed_date = true; }
        }
    }
}

void set_virtual(Date today, double secs) {
    State& s = st();
    s.initialised = true;
    s.virt = true;
    s.vdate = today;
    s.vsecs = secs;
}

bool is_virtual() { ensure(); return st().virt; }

Date today() {
    ensure();
    return st().virt || st().fixed_date ? st().vdate : real_today();
}

double seconds() {
    ensure();
    if (st().virt) return st().vsecs;
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    double frac = std::chrono::duration<double>(now.time_since_epoch()).count();
    frac -= static_cast<double>(static_cast<long long>(frac));
    return tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec + frac;
}

std::string time_hhmmss() {
    long s = static_cast<long>(seconds());
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", (s / 3600) % 24, (s / 60) % 60, s % 60);
    return buf;
}

double monotonic() {
    ensure();
    if (st().virt) return st().vmono;
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleep(double secs) {
    ensure();
    if (secs <= 0) return;
    State& s = st();
    if (s.virt) {
        s.vmono += secs;
        s.vsecs += secs;
        while (s.vsecs >= 86400.0) {  // past midnight: the next day
            s.vsecs -= 86400.0;
            s.vdate = s.vdate + 1;
        }
        return;
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(secs));
}

}  // namespace rt::clk
