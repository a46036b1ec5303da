// The screen buffer and the drawing operations; the back end only shows what is here.
#include "rt/term/console.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "rt/fmt/error.h"
#include "rt/os/clock.h"
#include "rt/term/keys.h"
#include "rt/term/term_internal.h"

namespace rt {

namespace {
struct Screen {
    Cell cells[ROWS * COLS];
    std::string color_text = "W/N,N/W";
    ColorSpec color = parse_color("W/N,N/W");
    int row = 0, col = 0;
    bool cursor = true;
    bool sound = true;
    bool dirty = true;
    double dirty_since = -1;  // when unshown changes began (live terminal only), -1 = not yet noted
    int shown_row = -1, shown_col = -1;  // the cursor as the back end last showed it
    bool shown_cursor = false;
    std::unique_ptr<term::Backend> backend;
    bool exit_hook = false;
    std::string screen_file;  // where dumps go
};
Screen& S() {
    static Screen* s = new Screen;  // never destroyed: atexit handlers still draw and restore
    return *s;
}

inline bool on_screen(int r, int c) { return r >= 0 && r < ROWS && c >= 0 && c < COLS; }
inline Cell& at(int r, int c) { return S().cells[r * COLS + c]; }

// The part of [lo, hi] inside [0, limit).
inline void clip(int& lo, int& hi, int limit) {
    lo = std::max(lo, 0);
    hi = std::min(hi, limit - 1);
}

void put(int r, int c, uint8_t ch, Attr a) {
    if (!on_screen(r, c)) return;
    Cell& cell = at(r, c);
    if (cell.ch != ch || cell.attr != a) {
        cell.ch = ch;
        cell.attr = a;
        S().dirty = true;
    }
}

// Drawing is shown by the next wait. A program that keeps drawing without waiting (a progress
// counter, an animation) is shown as well once its changes have waited 50 ms.
void after_draw() {
    Screen& s = S();
    if (!s.dirty || !s.backend || s.backend->headless()) return;
    double now = std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    if (s.dirty_since < 0) s.dirty_since = now;
    else if (now - s.dirty_since >= 0.05) console_refresh();
}

void on_exit_restore() { console_shutdown(); }

void install_exit_hooks() {
    if (S().exit_hook) return;
    S().exit_hook = true;
    std::atexit(on_exit_restore);
    static std::terminate_handler previous = std::set_terminate([] {
        console_shutdown();
        if (previous) previous();
        std::abort();
    });
}
}  // namespace

namespace term {
Backend* backend() { return S().backend.get(); }
const Cell* cells() { return S().cells; }

void dump_to(const std::string& path) {
    if (path.empty()) return;
    std::ofstream f(path, std::ios::app | std::ios::binary);
    f << screen_text() << "----\n";
}
}  // namespace term

// ---- colour ----
std::string SETCOLOR() { return S().color_text; }

std::string SETCOLOR(std::string_view colour) {
    ColorSpec c = parse_color(colour);
    std::string old = S().color_text;
    S().color = c;
    S().color_text = std::string(colour);
    return old;
}

const ColorSpec& current_color() { return S().color; }

// ---- drawing ----
void SAY(int row, int col, std::string_view text) { SAY(row, col, text, S().color.standard); }

void SAY(int row, int col, std::string_view text, Attr attr) {
    if (row >= 0 && row < ROWS) {
        for (size_t i = 0; i < text.size(); ++i) {
            int c = col + static_cast<int>(i);
            if (c >= COLS) break;
            put(row, c, static_cast<uint8_t>(text[i]), attr);
        }
    }
    S().row = row;
    S().col = col + static_cast<int>(text.size());
    after_draw();
}

void SAY_COLOR(int row, int col, std::string_view text, std::string_view colour) {
    SAY(row, col, text, parse_color(colour).standard);
}

void FILL(int top, int left, int bottom, int right, uint8_t ch, Attr attr) {
    clip(top, bottom, ROWS);
    clip(left, right, COLS);
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c) put(r, c, ch, attr);
    after_draw();
}

void CLEAR_RECT(int top, int left, int bottom, int right) {
    FILL(top, left, bottom, right, ' ', S().color.standard);
    S().row = std::clamp(top, 0, ROWS - 1);
    S().col = std::clamp(left, 0, COLS - 1);
}

void CLS() {
    FILL(0, 0, ROWS - 1, COLS - 1, ' ', S().color.standard);
    S().row = 0;
    S().col = 0;
}

void BOX(int top, int left, int bottom, int right, std::string_view frame9) {
    BOX(top, left, bottom, right, frame9, S().color.standard);
}

void BOX(int top, int left, int bottom, int right, std::string_view frame9, Attr attr) {
    if (bottom < top || right < left) return;
    static const char kSingle[] = "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3";
    std::string f(frame9.empty() ? std::string_view(kSingle, 8) : frame9.substr(0, 9));
    while (f.size() < 8) f += f.back();  // a short frame repeats its last character
    auto ch = [&](int i) { return static_cast<uint8_t>(f[i]); };
    if (f.size() == 9)
        FILL(top + 1, left + 1, bottom - 1, right - 1, ch(8), attr);
    for (int c = left + 1; c < right; ++c) {
        put(top, c, ch(1), attr);
        put(bottom, c, ch(5), attr);
    }
    for (int r = top + 1; r < bottom; ++r) {
        put(r, left, ch(7), attr);
        put(r, right, ch(3), attr);
    }
    put(top, left, ch(0), attr);
    put(top, right, ch(2), attr);
    put(bottom, right, ch(4), attr);
    put(bottom, left, ch(6), attr);
    S().row = top + 1;
    S().col = left + 1;
    after_draw();
}

void SET_ATTR(int top, int left, int bottom, int right, Attr attr) {
    clip(top, bottom, ROWS);
    clip(left, right, COLS);
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c) put(r, c, at(r, c).ch, attr);
    after_draw();
}

Cell CELL(int row, int col) { return on_screen(row, col) ? at(row, col) : Cell{}; }

ScreenImage SAVESCREEN(int top, int left, int bottom, int right) {
    ScreenImage img;
    clip(top, bottom, ROWS);
    clip(left, right, COLS);
    img.top = top;
    img.left = left;
    img.bottom = bottom;
    img.right = right;
    if (!img.valid()) return img;
    img.cells.reserve(static_cast<size_t>(img.height()) * img.width());
    for (int r = top; r <= bottom; ++r)
        for (int c = left; c <= right; ++c) img.cells.push_back(at(r, c));
    return img;
}

void RESTSCREEN(const ScreenImage& img) { RESTSCREEN(img.top, img.left, img); }

void RESTSCREEN(int top, int left, const ScreenImage& img) {
    if (!img.valid() || img.cells.size() != static_cast<size_t>(img.height()) * img.width()) return;
    const int w = img.width();
    for (int r = 0; r < img.height(); ++r)
        for (int c = 0; c < w; ++c) {
            const Cell& cell = img.cells[static_cast<size_t>(r) * w + c];
            put(top + r, left + c, cell.ch, cell.attr);
        }
    after_draw();
}

void SCROLL(int top, int left, int bottom, int right, int n) {
    clip(top, bottom, ROWS);
    clip(left, right, COLS);
    if (top > bottom || left > right) return;
    const Attr a = S().color.standard;
    const int h = bottom - top + 1;
    if (n == 0) return;
    if (n >= h || -n >= h) {
        FILL(top, left, bottom, right, ' ', a);
        return;
    }
    if (n > 0) {
        for (int r = top; r <= bottom - n; ++r)
            for (int c = left; c <= right; ++c) put(r, c, at(r + n, c).ch, at(r + n, c).attr);
        FILL(bottom - n + 1, left, bottom, right, ' ', a);
    } else {
        const int m = -n;
        for (int r = bottom; r >= top + m; --r)
            for (int c = left; c <= right; ++c) put(r, c, at(r - m, c).ch, at(r - m, c).attr);
        FILL(top, left, top + m - 1, right, ' ', a);
    }
}

// ---- cursor ----
void SETCURSOR(bool on) { S().cursor = on; }
bool CURSOR_ON() { return S().cursor; }
void SETPOS(int row, int col) {
    S().row = row;
    S().col = col;
}
int ROW() { return S().row; }
int COL() { return S().col; }

// ---- sound ----
void TONE(double freq, double ticks) {
    if (S().sound && freq > 0 && S().backend) {
        console_refresh();
        S().backend->beep(freq);
    }
    rt::clk::sleep(ticks / 18.2);
}
void SET_SOUND(bool on) { S().sound = on; }

// ---- back end ----
void console_init() {
    if (S().backend) return;
    if (const char* keys = std::getenv("TORPDV_KEYS")) {
        std::ifstream f(keys, std::ios::binary);
        if (!f) {
            std::fprintf(stderr, "Ne mogu da procitam skriptu tastera %s\n", keys);
            std::exit(2);
        }
        std::stringstream ss;
        ss << f.rdbuf();
        std::vector<ScriptItem> script;
        try {
            script = parse_key_script(ss.str());
        } catch (const Error& e) {
            std::fprintf(stderr, "Greska u skripti tastera %s, %s\n", keys, e.what());
            std::exit(2);
        }
        S().backend = term::make_headless_backend(std::move(script));
    } else {
        S().backend = term::make_curses_backend();
    }
    // Kept absolute: the dumps go to the same file wherever the program's directory moves.
    const char* scr = std::getenv("TORPDV_SCREEN");
    std::error_code ec;
    S().screen_file = scr && *scr ? std::filesystem::absolute(scr, ec).string() : "";
    if (ec) S().screen_file = scr;
    install_exit_hooks();
    term::reset_keyboard();
    S().dirty = true;
}

void console_init_headless(std::string_view key_script, const std::string& screen_file) {
    std::vector<ScriptItem> script = parse_key_script(key_script);
    console_shutdown();
    if (!rt::clk::is_virtual()) rt::clk::set_virtual(rt::clk::today());
    Screen& s = S();
    for (Cell& c : s.cells) c = Cell{};
    s.color_text = "W/N,N/W";
    s.color = parse_color(s.color_text);
    s.row = s.col = 0;
    s.cursor = true;
    s.sound = true;
    s.screen_file = screen_file;
    s.backend = term::make_headless_backend(std::move(script));
    install_exit_hooks();
    term::reset_keyboard();
    s.dirty = true;
}

void console_shutdown() {
    Screen& s = S();
    if (!s.backend) return;
    std::unique_ptr<term::Backend> b = std::move(s.backend);
    b->shutdown();
}

void console_fail(std::string_view message, int status) {
    console_shutdown();
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
    std::exit(status);
}

bool console_headless() { return S().backend && S().backend->headless(); }

void console_refresh() {
    Screen& s = S();
    if (!s.backend) return;
    if (!s.dirty && s.row == s.shown_row && s.col == s.shown_col && s.cursor == s.shown_cursor) return;
    s.dirty = false;
    s.dirty_since = -1;
    s.shown_row = s.row;
    s.shown_col = s.col;
    s.shown_cursor = s.cursor;
    s.backend->show(s.cells, s.row, s.col, s.cursor);
}

void console_dump() { term::dump_to(S().screen_file); }

std::string screen_row_text(int row) {
    std::string out;
    if (row < 0 || row >= ROWS) return out;
    out.reserve(COLS * 3);
    for (int c = 0; c < COLS; ++c) {
        uint8_t b = at(row, c).ch;
        out += cp437_to_utf8(std::string_view(reinterpret_cast<const char*>(&b), 1));
    }
    return out;
}

std::string screen_text() {
    std::string out;
    out.reserve(ROWS * (COLS * 3 + 1));
    for (int r = 0; r < ROWS; ++r) {
        out += screen_row_text(r);
        out += '\n';
    }
    return out;
}

}  // namespace rt
