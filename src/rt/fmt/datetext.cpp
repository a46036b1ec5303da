// Dates as text: the fixed date format "dd.mm.yyyy", the short form "dd.mm.yy", "yyyymmdd",
// and the parts of a date.
#include <cstdio>
#include <string>

#include "rt/fmt/fmt.h"

namespace rt {

namespace {
const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string two(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n % 100);
    return b;
}
}  // namespace

std::string DTOC(const Date& d) {
    if (d.empty()) return "  .  .    ";
    char b[16];
    std::snprintf(b, sizeof b, "%02d.%02d.%04d", d.day(), d.month(), d.year());
    return b;
}

std::string DTOC8(const Date& d) {
    if (d.empty()) return "  .  .  ";
    return two(d.day()) + "." + two(d.month()) + "." + two(d.year());
}

std::string DTOS(const Date& d) {
    if (d.empty()) return "        ";
    char b[16];
    std::snprintf(b, sizeof b, "%04d%02d%02d", d.year(), d.month(), d.day());
    return b;
}

Date CTOD(std::string_view s) {
    // Day, month and year as three runs of digits divided by date separators; a two-digit year
    // falls in 1930..2029.  Anything else gives the empty date.
    long part[3] = {0, 0, 0};
    int len[3] = {0, 0, 0};
    int n = 0;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            if (n == 3) return Date();
            while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
                if (++len[n] > 6) return Date();
                part[n] = part[n] * 10 + (s[i] - '0');
                ++i;
            }
            ++n;
        } else if (c == '.' || c == '/' || c == '-' || c == ' ') {
            ++i;
        } else {
            return Date();
        }
    }
    if (n != 3) return Date();
    long y = part[2];
    if (len[2] <= 2) y += y < 30 ? 2000 : 1900;
    return Date::ymd(static_cast<int>(y), static_cast<int>(part[1]), static_cast<int>(part[0]));
}

Date STOD(std::string_view s) {
    if (s.size() != 8) return Date();
    int v[8];
    for (size_t i = 0; i < 8; ++i) {
        if (s[i] < '0' || s[i] > '9') return Date();
        v[i] = s[i] - '0';
    }
    int y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
    return Date::ymd(y, v[4] * 10 + v[5], v[6] * 10 + v[7]);
}

int DAY(const Date& d) { return d.day(); }
int MONTH(const Date& d) { return d.month(); }
int YEAR(const Date& d) { return d.year(); }
int DOW(const Date& d) { return d.dow(); }

std::string CMONTH(const Date& d) { return d.empty() ? "" : kMonths[d.month() - 1]; }
std::string CDOW(const Date& d) { return d.empty() ? "" : kDays[d.dow() - 1]; }

}  // namespace rt
