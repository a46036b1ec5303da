// What the goods, partner and obligation registers share: the code proposal of PgDn, the options
// box of a found code and the deletion with its question.
#include <functional>
#include <string>
#include <string_view>

#include "data/data.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/menu.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace tor {

double propose_code(int width, double from, double to, bool first_free) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (!first_free) {
        a.go_bottom();
        return a.eof() ? from : rt::VAL(a.get_str("SIFRA")) + 1;
    }
    // The codes in index order from the first of the range: the first one missing is free.
    double expected = from;
    a.seek(rt::STRZERO(from, width), true);
    for (; !a.eof() && expected <= to; a.skip()) {
        const double code = rt::VAL(a.get_str("SIFRA"));
        if (code < expected) continue;
        if (code > expected) break;
        ++expected;
    }
    return expected <= to ? expected : 0;
}

bool lock_code_record(const std::string& code) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (!a.seek(code) && ADD_REC_KEY(code, [&] { a.put("SIFRA", code); }, 0) == KeyedAdd::FAILED) return false;
    return REC_LOCK(0);
}

int MOGUCNOSTI(int top) {
    const rt::ScreenImage screen = rt::SAVESCREEN();
    BOXSHAD(top, 33, top + 7, 46, "double");
    rt::SAY_COLOR(top, 33, "  MOGUCNOSTI  ", IBLINK);
    rt::PROMPT(top + 2, 35, " Novi     ");
    rt::PROMPT(top + 4, 35, " Izmena   ");
    rt::PROMPT(top + 6, 35, " Brisanje ");
    const int choice = rt::MENU_TO(1);
    rt::RESTSCREEN(screen);
    return choice;
}

void delete_asked() {
    if (!PITANJE("Sigurno Brisete (D/N)?", 2)) return;
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (!FIL_LOCK(0)) return;
    a.delete_record();
    a.commit();
    a.unlock();
}

void with_register_table(const std::string& table, std::string_view busy, const std::function<void()>& body) {
    const rt::ScreenImage screen = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR();
    const int caller = rt::dbf::current_number();
    const bool opened_here = !rt::dbf::alias_used(table);
    bool open = true;
    if (opened_here) {
        rt::dbf::select_free();
        open = open_table(table);
        if (!open) {
            rt::dbf::current().close();
            PORUKA(busy, 2);
        }
    } else {
        rt::dbf::select(table);
    }
    if (open) {
        body();
        if (opened_here) {
            rt::dbf::select(table);
            rt::dbf::current().close();
        }
    }
    rt::dbf::select(caller);
    rt::RESTSCREEN(screen);
    rt::SETCOLOR(colour);
}

}  // namespace tor
