// The tape calculator ("DIGITRON"), opened with "+" from anywhere. It keeps a paper tape of the
// numbers and results in its window, a memory total, and hands its last result to the field
// paste (Alt+C right after a total).
#include <string>

#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/tools.h"
#include "ui/ui.h"

namespace tor {

namespace {

constexpr const char* TAPE_PIC = "9999999999.99";
constexpr const char* TOTAL_PIC = "999999999.999";
constexpr const char* RULE = "-------------";
constexpr const char* DOUBLE_RULE = "=============";
constexpr const char* STARS = "*************";
constexpr const char* DIVISION_BY_ZERO = "Deljenje nulom!";
constexpr int MAX_TYPED = 10;

class Digitron {
public:
    void run();

private:
    // The window: rows DX+2..DX+13, columns DY+2..DY+19.
    int DX = 0, DY = 0;
    double CLAN1 = 0;       // the running result
    double CLAN2 = 0;       // the number just entered
    bool started = false;   // CLAN1 holds a running result (0 included)
    std::string typed;      // the entry after its leading "0"; empty = nothing typed
    char OPER1 = 0;         // the pending operator, 0 when none
    double MEMOCLAN = 0;
    double VO_TO_COPY = 0;
    rt::ScreenImage under;  // the screen the calculator was opened over

    int top() const { return DX + 2; }
    int left() const { return DY + 2; }
    int line_row() const { return DX + 12; }
    std::string entry() const { return "0" + typed; }

    void draw_window();
    void tape(const std::string& text, int col_offset = 4);
    void clear_line();
    void mark_memory();
    void show_entry();
    static void pause_for_key();

    bool URADI();
    bool take_entry();
    void operator_key(char op);
    void total(bool to_memory);
    void memory_total();
    void move(int ddx, int ddy);
    void close();
};

std::string num(double v) { return rt::TRANSFORM(v, TAPE_PIC); }
std::string sign(char op) { return op ? std::string(1, op) : std::string(); }

void Digitron::draw_window() {
    rt::SETCOLOR(NORMAL);
    rt::CLEAR_RECT(top(), left(), DX + 13, DY + 19);
    rt::SETCOLOR(SVETLO);
    rt::BOX(top(), left(), DX + 13, DY + 19, FRAME_DOUBLE);
    rt::SAY(top(), DY + 7, "DIGITRON");
    rt::SETCOLOR(NORMAL);
    rt::SAY(DX + 11, DY + 3, std::string(16, '\xC4'));
}

// The tape scrolls up by one line and the text goes on its last line.
void Digitron::tape(const std::string& text, int col_offset) {
    rt::SCROLL(DX + 3, DY + 4, DX + 10, DY + 18, 1);
    rt::SAY(DX + 10, DY + col_offset, text.substr(0, static_cast<size_t>(19 - col_offset)));
}

void Digitron::clear_line() { rt::CLEAR_RECT(line_row(), DY + 3, line_row(), DY + 18); }

void Digitron::mark_memory() {
    if (MEMOCLAN != 0) rt::SAY_COLOR(line_row(), DY + 18, "M", SBLINK);
}

// The entry right-aligned with its last character in column DY+13.
void Digitron::show_entry() {
    clear_line();
    const std::string e = entry();
    rt::SAY(line_row(), DY + 14 - static_cast<int>(e.size()), e);
    mark_memory();
}

// Waits for the next key without taking it: the key that ends the pause is handled normally.
void Digitron::pause_for_key() { rt::KEY_WAITING(0); }

// Applies the pending operator to the running result. A division by zero is refused: the
// running result keeps its value.
bool Digitron::URADI() {
    switch (OPER1) {
    case '+': CLAN1 += CLAN2; break;
    case '-': CLAN1 -= CLAN2; break;
    case '*': CLAN1 *= CLAN2; break;
    case '/':
        if (CLAN2 == 0) return false;
        CLAN1 /= CLAN2;
        break;
    default: break;
    }
    return true;
}

// Puts the typed entry on the tape and into the running result. An entry of 0 is a number like
// any other; a division by zero shows the error on the entry line and the entry is dropped.
// False when there was nothing to take or the entry was refused.
bool Digitron::take_entry() {
    if (typed.empty()) return false;
    CLAN2 = rt::VAL(entry());
    typed.clear();
    if (started && OPER1 == '/' && CLAN2 == 0) {
        TON(1);
        clear_line();
        rt::SAY(line_row(), DY + 3, DIVISION_BY_ZERO);
        mark_memory();
        pause_for_key();
        return false;
    }
    tape(num(CLAN2) + sign(OPER1));
    if (!started) {
        // The first number starts the result; a "-" typed before it makes it negative.
        CLAN1 = OPER1 == '-' ? -CLAN2 : CLAN2;
        started = true;
    } else {
        URADI();
    }
    return true;
}

void Digitron::operator_key(char op) {
    const bool refused = !typed.empty() && !take_entry();
    OPER1 = op;  // with nothing typed the key only replaces the pending operator
    if (refused) return;  // the error stays on the entry line until the next key
    clear_line();
    rt::SAY_COLOR(line_row(), DY + 3, std::string(1, op), SBLINK);
    rt::SAY(line_row(), DY + 4, num(CLAN1));
    mark_memory();
}

// Enter (to_memory false) and Space: the total on the tape, the calculation starts anew.
void Digitron::total(bool to_memory) {
    if (!typed.empty() && !take_entry()) return;
    const double result = CLAN1;
    tape(RULE);
    tape(num(result) + "=");
    tape(DOUBLE_RULE);
    VO_TO_COPY = result;
    CLAN1 = 0;
    started = false;
    OPER1 = 0;
    typed.clear();
    if (to_memory) {
        MEMOCLAN += result;
        clear_line();
        rt::SAY(line_row(), DY + 4, num(MEMOCLAN) + " M");
        mark_memory();
        pause_for_key();
        return;
    }
    show_entry();
    pause_for_key();
    if (rt::NEXTKEY() == rt::K::ALT_C) {
        rt::INKEY();
        tape("COPY OK", 10);
        VO_TO_PASTE = VO_TO_COPY;
    }
}

void Digitron::memory_total() {
    tape(STARS);
    rt::SCROLL(DX + 3, DY + 4, DX + 10, DY + 18, 2);
    rt::SAY(DX + 9, DY + 4, "Memo Rezultat");
    rt::SAY(DX + 10, DY + 4, num(MEMOCLAN) + "=");
    tape(DOUBLE_RULE);
    CLAN1 = 0;
    started = false;
    OPER1 = 0;
    typed.clear();
    show_entry();
    pause_for_key();
}

// The window moves over the screen it was opened on; it keeps its contents.
void Digitron::move(int ddx, int ddy) {
    const int nx = DX + ddx, ny = DY + ddy;
    if (ddx != 0 && (nx < -1 || nx > 10)) return;
    if (ddy != 0 && (ny < 1 || ny > 57)) return;
    const rt::ScreenImage window = rt::SAVESCREEN(top(), left(), DX + 13, DY + 19);
    rt::RESTSCREEN(under);
    DX = nx;
    DY = ny;
    rt::RESTSCREEN(top(), left(), window);
}

void Digitron::close() {
    KALLSCR = rt::SAVESCREEN(top(), left(), DX + 13, DY + 19);
    SCRKALL = true;
    rt::RESTSCREEN(under);
}

void Digitron::run() {
    under = rt::SAVESCREEN();
    if (const double* v = std::get_if<double>(&VO_TO_PASTE)) VO_TO_COPY = *v;
    draw_window();
    show_entry();
    for (;;) {
        const int k = rt::INKEY(0);
        if (k >= '0' && k <= '9') {
            if (static_cast<int>(typed.size()) < MAX_TYPED) typed += static_cast<char>(k);
            else TON(1);
            show_entry();
        } else if (k == '.') {
            if (typed.find('.') != std::string::npos || static_cast<int>(typed.size()) >= MAX_TYPED) TON(1);
            else typed += '.';
            show_entry();
        } else if (k == rt::K::BS) {
            if (!typed.empty()) typed.pop_back();
            show_entry();
        } else if (k == '+' || k == '-' || k == '*' || k == '/') {
            operator_key(static_cast<char>(k));
        } else if (k == rt::K::ENTER) {
            if (typed.empty() && !started) {
                if (OPER1 == 0) {
                    close();
                    return;
                }
                OPER1 = 0;  // an operator with no number before it is simply dropped
                show_entry();
                continue;
            }
            total(false);
        } else if (k == rt::K::SPACE) {
            if (typed.empty() && !started) {
                // Nothing to add: the memory is shown.
                OPER1 = 0;
                clear_line();
                rt::SAY(line_row(), DY + 4, num(MEMOCLAN) + " M");
                mark_memory();
                pause_for_key();
                continue;
            }
            total(true);
        } else if (k == 'T' || k == 't') {
            clear_line();
            rt::SAY(line_row(), DY + 4, rt::TRANSFORM(CLAN1, TOTAL_PIC));
            mark_memory();
            pause_for_key();
        } else if (k == 'M' || k == 'm') {
            memory_total();
        } else if (k == 'C' || k == 'c') {
            typed.clear();
            MEMOCLAN = 0;
            show_entry();
            pause_for_key();
        } else if (k == 'R' || k == 'r') {
            if (SCRKALL && KALLSCR.valid()) rt::RESTSCREEN(top(), left(), KALLSCR);
            else TON(1);
        } else if (k == rt::K::UP) {
            move(-1, 0);
        } else if (k == rt::K::DOWN) {
            move(1, 0);
        } else if (k == rt::K::RIGHT) {
            move(0, 1);
        } else if (k == rt::K::LEFT) {
            move(0, -1);
        } else if (k == rt::K::ESC) {
            rt::SAY(line_row(), DY + 3, " ");
            tape(RULE);
            tape(num(CLAN1) + "=");
            tape(DOUBLE_RULE);
            close();
            return;
        } else {
            TON(1);
        }
    }
}

}  // namespace

void KALL() {
    const std::string colour = rt::SETCOLOR();
    const bool cursor = rt::CURSOR_ON();
    const int row = rt::ROW(), col = rt::COL();
    rt::SETCURSOR(false);
    Digitron d;
    d.run();
    rt::SETCOLOR(colour);
    rt::SETPOS(row, col);
    rt::SETCURSOR(cursor);
}

void register_tool_hotkeys() {
    rt::SETKEY(rt::K::PLUS, [](const std::string&, int, const std::string&) { KALL(); });
    rt::SETKEY(rt::K::ALT_D, [](const std::string&, int, const std::string&) {
        rt::Date start;
        bool store = false;
        if (rt::Get* g = rt::active_get(); g && g->type() == rt::VType::D) {
            start = std::get<rt::Date>(g->value());
            store = true;
        }
        KALENDAR(4, 6, start, store);
    });
}

}  // namespace tor
