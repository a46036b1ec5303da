// The terminal back end on ncursesw. The only file that includes the curses header: its macros
// (clear, move, erase, OK …) stay here.
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

#define NCURSES_WIDECHAR 1
#include <ncursesw/curses.h>

#include "rt/os/clock.h"
#include "rt/term/term_internal.h"

namespace rt::term {

namespace {
constexpr int kEscDelayMs = 30;

// PC colour number (black, blue, green, cyan, red, magenta, brown, grey) -> curses colour.
constexpr short kPcToCurses[8] = {COLOR_BLACK, COLOR_BLUE, COLOR_GREEN, COLOR_CYAN,
                                  COLOR_RED,   COLOR_MAGENTA, COLOR_YELLOW, COLOR_WHITE};

// Sequences of modified keys that terminfo often lacks (xterm style, rxvt, CSI u), and the
// fallback keys for codes a terminal may not be able to send.
struct Seq {
    const char* seq;
    int code;
};
constexpr Seq kSeqs[] = {
    // Plain keys in the encodings of the common terminals, for a TERM that does not match.
    {"\x1b[A", K::UP},  {"\x1bOA", K::UP},    {"\x1b[B", K::DOWN}, {"\x1bOB", K::DOWN},
    {"\x1b[C", K::RIGHT}, {"\x1bOC", K::RIGHT}, {"\x1b[D", K::LEFT}, {"\x1bOD", K::LEFT},
    {"\x1b[H", K::HOME}, {"\x1bOH", K::HOME},  {"\x1b[1~", K::HOME}, {"\x1b[7~", K::HOME},
    {"\x1b[F", K::END},  {"\x1bOF", K::END},   {"\x1b[4~", K::END},  {"\x1b[8~", K::END},
    {"\x1b[2~", K::INS}, {"\x1b[3~", K::DEL},  {"\x1b[5~", K::PGUP}, {"\x1b[6~", K::PGDN},
    {"\x1bOP", K::F1},   {"\x1bOQ", K::F2},    {"\x1bOR", K::F3},    {"\x1bOS", K::F4},
    {"\x1b[11~", K::F1}, {"\x1b[12~", K::F2},  {"\x1b[13~", K::F3},  {"\x1b[14~", K::F4},
    {"\x1b[[A", K::F1},  {"\x1b[[B", K::F2},   {"\x1b[[C", K::F3},   {"\x1b[[D", K::F4},
    {"\x1b[[E", K::F5},  {"\x1b[15~", K::F5},  {"\x1b[17~", K::F6},  {"\x1b[18~", K::F7},
    {"\x1b[19~", K::F8}, {"\x1b[20~", K::F9},  {"\x1b[21~", K::F10}, {"\x1b[23~", K::F11},
    {"\x1b[24~", K::F12}, {"\x1b[Z", 271},
    // Modified keys.
    {"\x1b[1;3A", K::ALT_UP},       {"\x1b[1;3B", K::ALT_DOWN},    {"\x1b[1;3C", K::ALT_RIGHT},
    {"\x1b[1;3D", K::ALT_LEFT},     {"\x1b[1;9A", K::ALT_UP},      {"\x1b[1;9B", K::ALT_DOWN},
    {"\x1b[1;9C", K::ALT_RIGHT},    {"\x1b[1;9D", K::ALT_LEFT},    {"\x1b[6;3~", K::ALT_PGDN},
    {"\x1b[6;9~", K::ALT_PGDN},     {"\x1b[1;5H", K::CTRL_HOME},   {"\x1b[1;5~", K::CTRL_HOME},
    {"\x1b[7^", K::CTRL_HOME},      {"\x1b[2;5~", K::CTRL_INS},    {"\x1b[2^", K::CTRL_INS},
    {"\x1b[21;5~", K::CTRL_F10},    {"\x1b[21^", K::CTRL_F10},     {"\x1b[27;5;13~", K::CTRL_ENTER},
    {"\x1b[13;5u", K::CTRL_ENTER},  {"\x1b[27;3;13~", K::ALT_ENTER}, {"\x1b[13;3u", K::ALT_ENTER},
    // Shift+F9 .. Shift+F12: the fallbacks for Ctrl+Ins, Ctrl+F10, Ctrl+Home and code 390.
    {"\x1b[20;2~", K::CTRL_INS},    {"\x1b[21;2~", K::CTRL_F10},   {"\x1b[23;2~", K::CTRL_HOME},
    {"\x1b[24;2~", 390},            {"\x1b[20$", K::CTRL_INS},     {"\x1b[21$", K::CTRL_F10},
    {"\x1b[23$", K::CTRL_HOME},     {"\x1b[24$", 390},
};

// A function key as curses reports it -> INKEY code (0 = ignored).
int function_key(int kc) {
    switch (kc) {
    case KEY_UP: return K::UP;
    case KEY_DOWN: return K::DOWN;
    case KEY_LEFT: return K::LEFT;
    case KEY_RIGHT: return K::RIGHT;
    case KEY_HOME: case KEY_A1: case KEY_FIND: return K::HOME;
    case KEY_END: case KEY_C1: case KEY_SELECT: return K::END;
    case KEY_PPAGE: case KEY_A3: return K::PGUP;
    case KEY_NPAGE: case KEY_C3: return K::PGDN;
    case KEY_IC: return K::INS;
    case KEY_DC: return K::DEL;
    case KEY_BACKSPACE: return K::BS;
    case KEY_ENTER: return K::ENTER;
    case KEY_BTAB: return 271;  // Shift+Tab
    default: break;
    }
    if (kc >= KEY_F(1) && kc <= KEY_F(60)) {
        int n = kc - KEY_F(0);
        if (n == 1) return K::F1;
        if (n <= 10) return -(n - 1);             // F2..F10: -1..-9
        if (n == 11) return K::F11;
        if (n == 12) return K::F12;
        if (n == 21) return K::CTRL_INS;          // Shift+F9  (fallback)
        if (n == 22) return K::CTRL_F10;          // Shift+F10 (fallback)
        if (n == 23) return K::CTRL_HOME;         // Shift+F11 (fallback)
        if (n == 24) return 390;                  // Shift+F12 (fallback)
        if (n >= 13 && n <= 20) return -(n - 3);  // Shift+F1..F8: -10..-17
        if (n >= 25 && n <= 34) return -(n - 5);  // Ctrl+F1..F10: -20..-29
        if (n >= 49 && n <= 58) return -(n - 19); // Alt+F1..F10: -30..-39
    }
    return 0;
}

class Curses;
Curses* g_active = nullptr;

void on_signal(int sig);

class Curses final : public Backend {
public:
    Curses() {
        std::setlocale(LC_ALL, "");
        if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
            std::setlocale(LC_CTYPE, "C.UTF-8");  // the glyphs need a UTF-8 terminal
        if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
            std::fprintf(stderr, "Program se pokrece u terminalu (ili sa TORPDV_KEYS bez terminala).\n");
            std::exit(2);
        }
        if (!std::getenv("ESCDELAY")) set_escdelay(kEscDelayMs);
        scr_ = newterm(nullptr, stdout, stdin);
        if (!scr_) {
            std::fprintf(stderr, "Terminal \"%s\" nije podrzan.\n", std::getenv("TERM") ? std::getenv("TERM") : "");
            std::exit(2);
        }
        if (::LINES < ROWS || ::COLS < rt::COLS) {
            endwin();
            delscreen(scr_);
            scr_ = nullptr;
            std::fprintf(stderr, "Prozor terminala mora biti najmanje 80 x 25.\n");
            std::exit(2);
        }
        raw();
        noecho();
        nonl();
        intrflush(stdscr, FALSE);
        keypad(stdscr, TRUE);
        if (has_colors()) {
            start_color();
            colors16_ = COLORS >= 16 && COLOR_PAIRS > 128;
        }
        for (size_t i = 0; i < sizeof kSeqs / sizeof kSeqs[0]; ++i) {
            int have = key_defined(kSeqs[i].seq);
            if (have > 0) {
                ext_[have] = kSeqs[i].code;
            } else {
                int mine = 0x2000 + static_cast<int>(i);
                define_key(kSeqs[i].seq, mine);
                ext_[mine] = kSeqs[i].code;
            }
        }
        erase();
        shadow_.assign(ROWS * rt::COLS, Cell{});
        full_ = true;
        g_active = this;
        for (int sig : {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGABRT}) std::signal(sig, on_signal);
    }

    void show(const Cell* cells, int crow, int ccol, bool cursor) override {
        if (!scr_) return;
        for (int r = 0; r < ROWS; ++r)
            for (int c = 0; c < rt::COLS; ++c) {
                const Cell& cell = cells[r * rt::COLS + c];
                Cell& seen = shadow_[r * rt::COLS + c];
                if (!full_ && cell == seen) continue;
                seen = cell;
                draw(r, c, cell);
            }
        full_ = false;
        row_ = crow;
        col_ = ccol;
        cursor_ = cursor;
        place_cursor();
        wrefresh(stdscr);
    }

    int peek_key(Wait w, double secs) override {
        if (pending_) return pending_;
        if (w == Wait::POLL) {
            pending_ = read_key(0);
        } else if (w == Wait::FOREVER) {
            while (!pending_) pending_ = read_key(-1);
        } else {
            double end = rt::clk::monotonic() + secs;
            for (;;) {
                double left = end - rt::clk::monotonic();
                if (left <= 0) break;
                pending_ = read_key(static_cast<int>(left * 1000) + 1);
                if (pending_) break;
            }
        }
        return pending_;
    }

    void take_key() override { pending_ = 0; }

    void beep(double) override {
        if (scr_) ::beep();
    }

    void shutdown() override {
        if (!scr_) return;
        curs_set(1);
        endwin();
        delscreen(scr_);
        scr_ = nullptr;
        g_active = nullptr;
        std::fflush(stdout);
    }

    // Leaves the terminal usable when the program is killed.
    void emergency_end() {
        if (scr_) endwin();
    }

    bool headless() const override { return false; }

    ~Curses() override { shutdown(); }

private:
    // Pair fg * 8 + bg; black on black (pair 0 is the terminal's own) goes to the first free pair
    // above the others when the terminal has one.
    short pair_for(short fg, short bg) {
        short n = static_cast<short>(fg * 8 + bg);
        if (n == 0) {
            const short spare = colors16_ ? 128 : 64;
            if (COLOR_PAIRS <= spare) return 0;
            n = spare;
        }
        if (n >= COLOR_PAIRS) return 0;
        if (!pair_ready_[n]) {
            init_pair(n, fg, bg);
            pair_ready_[n] = true;
        }
        return n;
    }

    void draw(int r, int c, const Cell& cell) {
        attr_t a = A_NORMAL;
        short pair = 0;
        const int fg = cell.attr & 0x0F, bg = (cell.attr >> 4) & 0x07;
        if (has_colors()) {
            short f = kPcToCurses[fg & 7];
            if (fg & 8) {
                if (colors16_) f = static_cast<short>(f + 8);
                else a |= A_BOLD;
            }
            pair = pair_for(f, kPcToCurses[bg]);
        } else {
            if (bg != 0) a |= A_REVERSE;
            if (fg & 8) a |= A_BOLD;
        }
        if (cell.attr & 0x80) a |= A_BLINK;
        wchar_t wc[2] = {static_cast<wchar_t>(cp437_to_unicode(cell.ch)), 0};
        cchar_t cc;
        setcchar(&cc, wc, a, pair, nullptr);
        mvwadd_wch(stdscr, r, c, &cc);
    }

    void place_cursor() {
        int r = row_ < 0 ? 0 : row_ >= ROWS ? ROWS - 1 : row_;
        int c = col_ < 0 ? 0 : col_ >= rt::COLS ? rt::COLS - 1 : col_;
        curs_set(cursor_ ? 1 : 0);
        wmove(stdscr, r, c);
    }

    // One decoded key within timeout_ms (-1 = no limit); 0 when none (or one that means nothing).
    int read_key(int timeout_ms) {
        if (!pushback_.empty()) {
            int k = pushback_.front();
            pushback_.pop_front();
            return k;
        }
        wint_t ch = 0;
        wtimeout(stdscr, timeout_ms);
        int r = wget_wch(stdscr, &ch);
        if (r == ERR) return 0;
        if (r == KEY_CODE_YES) {
            if (static_cast<int>(ch) == KEY_RESIZE) {
                resized();
                return 0;
            }
            return decode_function(static_cast<int>(ch));
        }
        if (ch == 27) return after_escape();
        return decode_char(ch);
    }

    int decode_function(int kc) {
        auto it = ext_.find(kc);
        if (it != ext_.end()) return it->second;
        return function_key(kc);
    }

    static int decode_char(wint_t ch) {
        if (ch == 127) return K::BS;  // the Backspace key of most terminals
        if (ch == '\n') return K::CTRL_ENTER;
        if (ch < 128) return static_cast<int>(ch);
        int b = unicode_to_cp437(static_cast<char32_t>(ch));
        return b < 0 ? 0 : b;
    }

    // Esc alone, or Esc as the Alt (Meta) prefix of the next key.
    int after_escape() {
        wint_t ch = 0;
        wtimeout(stdscr, get_escdelay());
        int r = wget_wch(stdscr, &ch);
        if (r == ERR) return K::ESC;
        if (r == KEY_CODE_YES) {
            int k = decode_function(static_cast<int>(ch));
            switch (k) {
            case K::UP: return K::ALT_UP;
            case K::DOWN: return K::ALT_DOWN;
            case K::LEFT: return K::ALT_LEFT;
            case K::RIGHT: return K::ALT_RIGHT;
            case K::PGDN: return K::ALT_PGDN;
            case K::ENTER: return K::ALT_ENTER;
            default:
                if (k) pushback_.push_back(k);
                return K::ESC;
            }
        }
        if (ch == '[' || ch == 'O') return unknown_sequence(ch);
        if (ch == '\r') return K::ALT_ENTER;
        if (ch < 128 && std::isalnum(static_cast<int>(ch))) return alt_key(static_cast<char>(ch));
        int k = ch == 27 ? K::ESC : decode_char(ch);
        if (k) pushback_.push_back(k);
        return K::ESC;
    }

    // Esc [ or Esc O: the start of a sequence no table knows, or Alt+O / Alt+[ typed alone.
    // An unknown sequence is skipped whole; it must not arrive as Esc and stray characters.
    int unknown_sequence(wint_t intro) {
        wint_t ch = 0;
        wtimeout(stdscr, get_escdelay());
        int r = wget_wch(stdscr, &ch);
        if (r == ERR) return intro == 'O' ? alt_key('O') : K::ESC;
        if (r == KEY_CODE_YES || intro == 'O') return 0;
        while (!(ch >= 0x40 && ch <= 0x7E)) {  // parameters up to the final byte
            r = wget_wch(stdscr, &ch);
            if (r != OK) break;
        }
        return 0;
    }

    void resized() {
        full_ = true;
        clearok(curscr, TRUE);
        show(term::cells(), row_, col_, cursor_);
    }

    SCREEN* scr_ = nullptr;
    bool colors16_ = false;
    bool pair_ready_[256] = {};
    std::vector<Cell> shadow_;
    bool full_ = true;
    int row_ = 0, col_ = 0;
    bool cursor_ = true;
    int pending_ = 0;
    std::deque<int> pushback_;
    std::map<int, int> ext_;
};

void on_signal(int sig) {
    if (g_active) g_active->emergency_end();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}
}  // namespace

std::unique_ptr<Backend> make_curses_backend() { return std::make_unique<Curses>(); }

}  // namespace rt::term
