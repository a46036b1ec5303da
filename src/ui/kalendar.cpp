// The month calendar (Alt+D): weekdays in rows, weeks in columns, the chosen date on the line
// under the grid. The day, month or year is changed with the arrows or typed; Ctrl+Enter opened
// from a date field puts the date into the field.
#include <algorithm>
#include <string>

#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/input/picture.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/tools.h"
#include "ui/ui.h"

namespace tor {

namespace {

enum Level { DAY = 1, MONTH = 2, YEAR = 3 };

constexpr const char* WEEKDAYS = "NPUSCPS";  // Sunday first

class Kalendar {
public:
    Kalendar(int r, int c, rt::Date start) : r_(r), c_(c), shown_(start) {}
    rt::Date run(const rt::Date& start, bool store);

private:
    int r_, c_;
    rt::Date shown_;
    int level_ = DAY;
    rt::ScreenImage area_;

    void save_area() { area_ = rt::SAVESCREEN(r_ - 1, c_ - 3, r_ + 9, c_ + 17); }
    void restore_area() const { rt::RESTSCREEN(area_); }
    void draw_frame() const;
    void draw_month() const;
    void draw_date_line() const;
    void draw() const {
        draw_frame();
        draw_month();
        draw_date_line();
    }
    // Column of the part of a level on the date line, and its width.
    int part_col(int level) const { return c_ + 3 + (level == DAY ? 0 : level == MONTH ? 3 : 6); }
    static int part_width(int level) { return level == YEAR ? 4 : 2; }
    int part(int level) const {
        return level == DAY ? shown_.day() : level == MONTH ? shown_.month() : shown_.year();
    }
    // The shown date with one part replaced; the empty date when that is no date.
    rt::Date with_part(int level, int value) const;
    void step(int delta);
    void type_part(int first_key);
    void move(int dr, int dc);
};

void Kalendar::draw_frame() const {
    const int left = c_ - 3;
    std::string top = "\xDA\xC4", sep = "\xC3\xC4";
    for (int i = 0; i < 6; ++i) {
        top += "\xC2\xC4\xC4";
        sep += "\xC1\xC4\xC4";
    }
    top += "\xB7";
    sep += "\xB6";
    rt::SAY(r_ - 1, left, top);
    for (int d = 0; d < 7; ++d) {
        std::string line = "\xB3";
        line += WEEKDAYS[d];
        line += "\xB3";
        for (int w = 0; w < 6; ++w) line += w < 5 ? "  \xB3" : "  ";
        line += "\xBA";
        rt::SAY(r_ + d, left, line);
    }
    rt::SAY(r_ + 7, left, sep);
    rt::SAY(r_ + 8, left, "\xB3" + std::string(19, ' ') + "\xBA");
    rt::SAY(r_ + 9, left, "\xD4" + std::string(19, '\xCD') + "\xBC");
}

void Kalendar::draw_month() const {
    const rt::Date first = rt::Date::ymd(shown_.year(), shown_.month(), 1);
    const int f = first.dow() - 1;  // 0 = Sunday
    const int last = LASTDAY(shown_);
    for (int i = 0; i < 42; ++i) {
        const int row = r_ + i % 7, col = c_ + 3 * (i / 7);
        const int day = i - f + 1;
        if (day < 1 || day > last) {
            rt::SAY(row, col, "  ");
        } else if (day == shown_.day()) {
            rt::SAY_COLOR(row, col, rt::STRZERO(day, 2), "I");
        } else {
            rt::SAY(row, col, rt::STRZERO(day, 2));
        }
    }
}

void Kalendar::draw_date_line() const {
    for (int level : {DAY, MONTH, YEAR}) {
        const std::string text = rt::STRZERO(part(level), part_width(level));
        if (level == level_) rt::SAY_COLOR(r_ + 8, part_col(level), text, "I");
        else rt::SAY(r_ + 8, part_col(level), text);
    }
    rt::SAY(r_ + 8, c_ + 5, ".");
    rt::SAY(r_ + 8, c_ + 8, ".");
}

rt::Date Kalendar::with_part(int level, int value) const {
    int d = shown_.day(), m = shown_.month(), y = shown_.year();
    (level == DAY ? d : level == MONTH ? m : y) = value;
    if (y < 1 || y > 9999) return {};
    return rt::Date::ymd(y, m, d);
}

// Up/"+" and Down/"-": the day wraps within its month, the month within the year, the year does
// not wrap. A result that is no date (31 February) leaves the date as it was.
void Kalendar::step(int delta) {
    int v = part(level_) + delta;
    if (level_ == DAY) {
        const int last = LASTDAY(shown_);
        if (v < 1) v = last;
        if (v > last) v = 1;
    } else if (level_ == MONTH) {
        if (v < 1) v = 12;
        if (v > 12) v = 1;
    }
    const rt::Date d = with_part(level_, v);
    if (!d.empty()) shown_ = d;
}

// A digit starts typing the current part in place: digits overwrite it from the left, the entry
// ends after its last position (or early on Enter, PgUp, PgDn); the level then moves on.
void Kalendar::type_part(int first_key) {
    const int w = part_width(level_);
    const int col = part_col(level_);
    const std::string old = rt::STRZERO(part(level_), w);
    std::string text = old;
    int pos = 0;
    const bool cursor = rt::CURSOR_ON();
    rt::SETCURSOR(true);
    bool keep_old = false;
    for (int k = first_key;; k = 0) {
        if (k == 0) {
            rt::SAY_COLOR(r_ + 8, col, text, "I");
            rt::SETPOS(r_ + 8, col + pos);
            k = rt::INKEY(0);
        }
        if (k >= '0' && k <= '9') {
            text[static_cast<size_t>(pos++)] = static_cast<char>(k);
            if (pos == w) break;
        } else if (k == rt::K::BS || k == rt::K::LEFT) {
            pos = std::max(0, pos - 1);
        } else if (k == rt::K::ENTER || k == rt::K::PGUP || k == rt::K::PGDN) {
            break;
        } else if (k == rt::K::ESC) {
            keep_old = true;
            break;
        }
    }
    rt::SETCURSOR(cursor);
    if (!keep_old && text != old) {
        const rt::Date d = with_part(level_, std::stoi(text));
        if (!d.empty()) shown_ = d;
    }
    level_ = level_ == YEAR ? DAY : level_ + 1;
}

// Alt+arrows: one row up or down (top row 1 to 15), two columns left or right (3 to 62).
void Kalendar::move(int dr, int dc) {
    const int nr = std::clamp(r_ + dr, 1, 15), nc = std::clamp(c_ + dc, 3, 62);
    if (nr == r_ && nc == c_) return;
    restore_area();
    r_ = nr;
    c_ = nc;
    save_area();
    draw();
}

rt::Date Kalendar::run(const rt::Date& start, bool store) {
    const int row = rt::ROW(), col = rt::COL();
    const bool cursor = rt::CURSOR_ON();
    const std::string colour = rt::SETCOLOR(NORMAL);
    rt::SETCURSOR(false);
    save_area();
    auto leave = [&](const rt::Date& result) {
        restore_area();
        rt::SETCOLOR(colour);
        rt::SETPOS(row, col);
        rt::SETCURSOR(cursor || rt::active_get() != nullptr);
        return result;
    };
    for (;;) {
        draw();
        const int k = rt::INKEY(0);
        switch (k) {
        case 'D': case 'd': level_ = DAY; break;
        case 'M': case 'm': level_ = MONTH; break;
        case 'G': case 'g': level_ = YEAR; break;
        case rt::K::RIGHT: level_ = level_ == YEAR ? DAY : level_ + 1; break;
        case rt::K::LEFT: level_ = level_ == DAY ? YEAR : level_ - 1; break;
        case rt::K::UP: case '+': step(1); break;
        case rt::K::DOWN: case '-': step(-1); break;
        case rt::K::ALT_UP: move(-1, 0); break;
        case rt::K::ALT_DOWN: move(1, 0); break;
        case rt::K::ALT_LEFT: move(0, -2); break;
        case rt::K::ALT_RIGHT: move(0, 2); break;
        case rt::K::CTRL_ENTER: {
            rt::Get* g = store ? rt::active_get() : nullptr;
            if (!g || g->type() != rt::VType::D) break;  // no date field to put the date into
            const rt::Date chosen = shown_;
            leave(chosen);
            g->assign(chosen);
            return chosen;
        }
        case rt::K::ENTER: return leave(shown_);
        case rt::K::ESC: return leave(start);
        default:
            if (k >= '0' && k <= '9') type_part(k);
            break;
        }
    }
}

}  // namespace

rt::Date KALENDAR(int r, int c, rt::Date start, bool store) {
    if (start.empty()) start = rt::clk::today();
    r = std::clamp(r, 1, 15);
    c = std::clamp(c, 3, 62);
    Kalendar k(r, c, start);
    return k.run(start, store);
}

}  // namespace tor
