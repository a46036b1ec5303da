// The user's notes window on the Tab key: dated one-line notes kept in a program-wide table.
#include <string>

#include "data/data.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/keys.h"
#include "ui/tools.h"
#include "ui/ui.h"

namespace tor {

namespace {

constexpr int FIRST = 6, LAST = 18;       // rows of the list
constexpr int LEFT = 4, RIGHT = 74;       // columns of a row: date at 4, text at 15

const Polja& notes_fields() {
    static const Polja fallback = {"DATUM     D8  ", "TEKST     C60 "};
    const TableDef* def = table_def("message.vlt");
    return def ? def->polja : fallback;
}

class NotesWindow {
public:
    explicit NotesWindow(rt::dbf::WorkArea& a) : a_(a) {}

    void run() {
        a_.go_top();
        p_ = FIRST;
        fill();
        for (;;) {
            show_row(p_, INVERZ);
            const int k = rt::INKEY(0);
            show_row(p_, NORMAL);
            switch (k) {
            case rt::K::DOWN: down(); break;
            case rt::K::UP: up(); break;
            case rt::K::HOME:
                a_.go_top();
                p_ = FIRST;
                fill();
                break;
            case rt::K::END:
                a_.go_bottom();
                p_ = FIRST;
                fill();
                break;
            case rt::K::ESC: return;
            case rt::K::PLUS: KALL(); break;
            case rt::K::ENTER: edit(); break;
            case rt::K::INS: insert(); break;
            case rt::K::DEL: remove(); break;
            default: TON(1); break;
            }
        }
    }

private:
    std::string row_text() const {
        if (a_.eof()) return std::string(RIGHT - LEFT + 1, ' ');
        return rt::PADR(rt::DTOC(a_.get_date("DATUM")), 11) + rt::PADR(a_.get_str("TEKST"), 60);
    }

    void show_row(int row, const std::string& colour) {
        rt::SAY_COLOR(row, LEFT, rt::PADR(row_text(), RIGHT - LEFT + 1), colour);
    }

    // Lists from the current record at row p_ down, then returns to it.
    void fill() {
        int shown = 0;
        int row = p_;
        for (; row <= LAST && !a_.eof(); ++row) {
            show_row(row, NORMAL);
            a_.skip(1);
            ++shown;
        }
        for (; row <= LAST; ++row) rt::SAY_COLOR(row, LEFT, std::string(RIGHT - LEFT + 1, ' '), NORMAL);
        if (shown > 0) a_.skip(-shown);
    }

    // Shows the current record on row `want` with as many earlier notes above it as there are.
    void place(int want) {
        long back = 0;
        while (back < want - FIRST) {
            a_.skip(-1);
            if (a_.bof()) break;
            ++back;
        }
        p_ = FIRST;
        fill();
        a_.skip(back);
        p_ = FIRST + static_cast<int>(back);
    }

    void down() {
        if (a_.eof()) {
            TON(1);
            return;
        }
        a_.skip(1);
        if (a_.eof()) {
            TON(1);
            a_.skip(-1);
            return;
        }
        if (++p_ > LAST) {
            p_ = LAST;
            rt::SCROLL(FIRST, LEFT, LAST, RIGHT, 1);
        }
    }

    void up() {
        if (a_.eof()) {
            TON(1);
            return;
        }
        a_.skip(-1);
        if (a_.bof()) {
            TON(1);
            return;
        }
        if (--p_ < FIRST) {
            p_ = FIRST;
            rt::SCROLL(FIRST, LEFT, LAST, RIGHT, -1);
        }
    }

    // Edits the text of the current note on its row; the record is locked by the caller.
    void edit_text() {
        std::string text = a_.get_str("TEKST");
        rt::SETCOLOR(NORMAL);
        rt::GetList gl;
        rt::GET(gl, rt::get(p_, LEFT + 11, text));
        rt::SETCURSOR(true);
        rt::READ(gl);
        rt::SETCURSOR(false);
        if (rt::LASTKEY() != rt::K::ESC) a_.put("TEKST", text);
        a_.commit();
    }

    void edit() {
        if (a_.eof() || a_.get_date("DATUM").empty()) {
            rt::SAY_COLOR(p_, LEFT, rt::PADR("Poruke se unose sa Insert !", RIGHT - LEFT + 1), SVETLO);
            rt::KEY_WAITING(2);
            show_row(p_, NORMAL);
            return;
        }
        if (!REC_LOCK(0)) return;
        edit_text();
        a_.unlock();
        show_row(p_, NORMAL);
    }

    void insert() {
        a_.go_bottom();
        if (!ADD_REC(0)) {
            place(p_);
            return;
        }
        a_.put("DATUM", rt::clk::today());
        place(LAST);
        show_row(p_, NORMAL);
        edit_text();
        a_.unlock();
        show_row(p_, NORMAL);
    }

    void remove() {
        if (a_.eof()) {
            TON(1);
            return;
        }
        if (!FIL_LOCK(0)) return;
        a_.delete_record();
        a_.commit();
        a_.unlock();
        a_.skip(1);
        if (a_.eof()) a_.go_bottom();
        place(p_);
    }

    rt::dbf::WorkArea& a_;
    int p_ = FIRST;
};

}  // namespace

bool MESSAGE() {
    // The notes keep their own work areas: the screen that Tab interrupted keeps its tables.
    rt::dbf::AreaScope scope;
    const bool window = rt::LASTKEY() == rt::K::TAB;
    // Taken before the table is made, so that its creation box does not stay on the screen that
    // Tab interrupted.
    const rt::ScreenImage saved = window ? rt::SAVESCREEN() : rt::ScreenImage{};
    const std::string base = OSNDIR.empty() ? std::string("./") : OSNDIR;
    const std::string table = base + "message.vlt";
    const std::string index = base + "message";
    if (!rt::os::exists(dbf_path(table))) MAKEDBF(table, notes_fields());
    MAKENTX(table, "DATUM", index);
    rt::dbf::select(1);
    if (!NETUSE(table)) {
        if (window) rt::RESTSCREEN(saved);
        return true;
    }
    rt::dbf::WorkArea& a = rt::dbf::current();
    // An index that could not be made (the table held elsewhere meanwhile): natural order.
    if (rt::os::exists(ntx_path(index))) a.set_index({ntx_path(index)});
    if (!window) {
        a.close();
        return true;
    }

    const std::string colour = rt::SETCOLOR(NORMAL);
    const bool cursor = rt::CURSOR_ON();
    rt::SETCURSOR(false);
    if (OSEK.valid()) rt::RESTSCREEN(OSEK);
    UP("PORUKE");
    BOXSHAD(5, 3, 19, 75, "", " PORUKE ");
    NotesWindow(a).run();
    a.close();
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
    rt::SETCURSOR(cursor);
    return true;
}

}  // namespace tor
