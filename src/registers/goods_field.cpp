// The goods code of a document line: typed as a number, picked from the goods lookup, proposed
// new with PgDn, or taken from the goods register when the code is not known yet.
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
    if (SL_SIFRA && supplier > 0)
        // Goods of a supplier are numbered in the supplier's thousand: supplier x 1000 + 1..999.
        code = propose_code(6, supplier * 1000 + 1, supplier * 1000 + 999, true);
    else
        code = propose_code(6, 1, 999999, PSLSIFRA);
    a.set_order(order);
    return code;
}

}  // namespace

CodeRead goods_code_field(int row, int col, double& code, double supplier) {
    rt::dbf::select("mdart");
    rt::GetList gl;
    rt::GET(gl, rt::get(row, col, code, "999999").valid([] { return PREGLED("ART"); }).name("WSIFRA"));
    rt::READ(gl);
    // A hot key on Up (back into the document's item list) belongs to the code input alone: it is
    // off while the goods register works on the code.
    struct UpOff {
        rt::HotKey saved = rt::SETKEY(rt::K::UP, {});
        ~UpOff() { rt::SETKEY(rt::K::UP, saved); }
    } up_off;
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
