// Calendar dates as the xBase runtime keeps them: a day number, or the empty date.
#pragma once
#include <cstdint>
#include <string>

namespace rt {

class Date {
public:
    // The empty date (shown as blanks, stored as eight blanks).
    constexpr Date() = default;
    // A date from year, month, day; an impossible date gives the empty date.
    static Date ymd(int y, int m, int d);
    // A date from its day number (Julian day number, as the xBase runtime counts).
    static constexpr Date from_jd(int64_t jd) { Date r; r.jd_ = jd; return r; }

    bool empty() const { return jd_ == 0; }
    int64_t jd() const { return jd_; }
    int year() const;   // 0 for the empty date
    int month() const;  // 0 for the empty date
    int day() const;    // 0 for the empty date
    int dow() const;    // 1 = Sunday … 7 = Saturday, 0 for the empty date

    // Date arithmetic: the empty date stays empty.
    Date operator+(int64_t days) const { return empty() ? Date() : from_jd(jd_ + days); }
    Date operator-(int64_t days) const { return empty() ? Date() : from_jd(jd_ - days); }
    Date& operator+=(int64_t days) { *this = *this + days; return *this; }
    Date& operator-=(int64_t days) { *this = *this - days; return *this; }
    // Days between two dates (an empty date counts as day 0).
    int64_t operator-(const Date& o) const { return jd_ - o.jd_; }
    auto operator<=>(const Date&) const = default;

private:
    int64_t jd_ = 0;
};

bool is_leap_year(int y);
int days_in_month(int y, int m);  // 0 for an invalid month

}  // namespace rt
