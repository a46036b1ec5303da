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
        const double next = a.eof() ? from : rt::VAL(a.get_str("SIFRA")) + 1;
        if (next <= to) return next;
        // Past the last code of the range (it would not fit the code): the first free one instead.
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

void propose(double& code, double proposal) {
    if (proposal == 0) PORUKA("Nema slobodne sifre u registru !", 0);
    else code = proposal;
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
    if (opened_here) {
        rt::dbf::select_free();
        if (open_table(table)) {
            body();
            rt::dbf::select(table);
        } else {
            PORUKA(busy, 2);
        }
        rt::dbf::current().close();
    } else {
        // The document's own work area: the screen works in code order under its own filter, and
        // the document gets its order and filter back.
        rt::dbf::select(table);
        rt::dbf::WorkArea& a = rt::dbf::current();
        const int order = a.order();
        const std::function<bool()> filter = a.filter();
        const std::string filter_text = a.filter_text();
        a.set_order(1);
        body();
        rt::dbf::select(table);
        a.set_order(order);
        if (filter) a.set_filter(filter, filter_text);
        else a.clear_filter();
    }
    rt::dbf::select(caller);
    rt::RESTSCREEN(screen);
    rt::SETCOLOR(colour);
}

}  // namespace tor
