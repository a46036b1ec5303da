// The goods code of a document line: typed as a number, picked from the goods lookup, proposed
// new with PgDn, or taken from the goods register when the code is not known yet.
#include <string>
#include <vector>

#include "frame/vars.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"

namespace tor {

namespace {

// The new code PgDn proposes over the goods register (in code order while it looks).
double proposed_goods_code(double supplier) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    const int order = a.order();
    a.set_order(1);
    double code;
    // Goods of a supplier are numbered in the supplier's thousand: supplier x 1000 + 1..999. A
    // supplier from 1000 up has no such thousand within the six digits of a code: the ordinary
    // proposal serves.
    if (SL_SIFRA && supplier > 0 && supplier <= 999)
        code = propose_code(6, supplier * 1000 + 1, supplier * 1000 + 999, true);
    else
        code = propose_code(6, 1, 999999, PSLSIFRA);
    a.set_order(order);
    return code;
}

}  // namespace

CodeRead goods_code_field(int row, int col, double& code, double supplier) {
    // The document's hot key on Up (back into its item list) may end the read and run the list;
    // the field then has nothing more to do, whatever key the list was left with.
    bool taken_over = false;
    const rt::HotKey up = rt::GETKEY(rt::K::UP);
    if (up)
        rt::SETKEY(rt::K::UP, [&taken_over, up](const std::string& proc, int line, const std::string& var) {
            up(proc, line, var);
            // Keys were read after the Up: the list ran.
            if (rt::LASTKEY() != rt::K::UP) taken_over = true;
        });
    rt::dbf::select("mdart");
    rt::GetList gl;
    rt::GET(gl, rt::get(row, col, code, "999999").valid([] { return PREGLED("ART"); }).name("WSIFRA"));
    rt::READ(gl);
    // The hot key belongs to the code input alone: off while the goods register works on the code,
    // and given back as the read left it (the list's handler unbinds itself).
    struct UpOff {
        rt::HotKey saved;
        ~UpOff() { rt::SETKEY(rt::K::UP, saved); }
    } up_off{rt::GETKEY(rt::K::UP) ? up : rt::HotKey{}};
    rt::SETKEY(rt::K::UP, {});
    if (taken_over) return CodeRead::ESC;
    rt::dbf::select("mdart");
    const int key = rt::LASTKEY();
    if (key == rt::K::ESC) return CodeRead::ESC;
    if (key == rt::K::PGDN) {
        const double proposal = proposed_goods_code(supplier);
        propose(code, proposal);
        // Two Enters: the first accepts the proposed code in the field, the second the code field
        // of the goods register that the unknown code opens.
        if (proposal != 0) rt::KEYBOARD(std::vector<int>{rt::K::ENTER, rt::K::ENTER}, false);
        return CodeRead::AGAIN;
    }
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (key != rt::K::PGUP && code != 0) {
        const int order = a.order();
        a.set_order(1);
        const bool found = a.seek(rt::STRZERO(code, 6));
        a.set_order(order);
        if (found) return CodeRead::FOUND;
    }
    ARTIKLI(code);
    rt::dbf::select("mdart");
    return CodeRead::AGAIN;
}

}  // namespace tor
