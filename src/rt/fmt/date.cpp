#include "rt/fmt/date.h"

namespace rt {

namespace {
// Gregorian calendar <-> Julian day number (Fliegel & Van Flandern).
int64_t to_jd(int64_t y, int64_t m, int64_t d) {
    int64_t a = (14 - m) / 12;
    int64_t yy = y + 4800 - a;
    int64_t mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}
void from_jd(int64_t jd, int& y, int& m, int& d) {
    int64_t a = jd + 32044;
    int64_t b = (4 * a + 3) / 146097;
    int64_t c = a - 146097 * b / 4;
    int64_t dd = (4 * c + 3) / 1461;
    int64_t e = c - 1461 * dd / 4;
    int64_t mm = (5 * e + 2) / 153;
    d = static_cast<int>(e - (153 * mm + 2) / 5 + 1);
    m = static_cast<int>(mm + 3 - 12 * (mm / 10));
    y = static_cast<int>(100 * b + dd - 4800 + mm / 10);
}
}  // namespace

bool is_leap_year(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
    static const int dm[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && is_leap_year(y) ? 29 : dm[m - 1];
}

Date Date::ymd(int y, int m, int d) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > days_in_month(y, m)) return Date();
    return from_jd(to_jd(y, m, d));
}

int Date::year() const { if (empty()) return 0; int y, m, d; rt::from_jd(jd_, y, m, d); return y; }
int Date::month() const { if (empty()) return 0; int y, m, d; rt::from_jd(jd_, y, m, d); return m; }
int Date::day() const { if (empty()) return 0; int y, m, d; rt::from_jd(jd_, y, m, d); return d; }
int Date::dow() const { return empty() ? 0 : static_cast<int>((jd_ + 1) % 7) + 1; }

}  // namespace rt
