// The partner code field of the documents: the supplier of a costing, the buyer of an invoice.
// The code is typed as a number; the lookup, the proposal of a new code and the partner register
// itself are reached from the field, and the field is asked again until it holds a code of the
// register or is left with Esc.
#include <vector>

#include "frame/vars.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"

namespace tor {

bool partner_code_field(int row, int col, double& code) {
    const int caller = rt::dbf::current_number();
    for (;;) {
        rt::dbf::select("mddob");
        rt::GetList gl;
        rt::GET(gl, rt::get(row, col, code, "9999").valid([] { return PREGLED("PAR"); }).name("WDOBAV"));
        rt::READ(gl);
        const int key = rt::LASTKEY();
        if (key == rt::K::ESC) {
            rt::dbf::select(caller);
            return false;
        }
        rt::dbf::select("mddob");
        rt::dbf::WorkArea& a = rt::dbf::current();
        if (key == rt::K::PGDN) {
            // The new code lands in the field; the two Enters accept it and open the register on it.
            propose(code, propose_code(4, 1, 8999, PSLSIFRA));
            rt::KEYBOARD(std::vector<int>{rt::K::ENTER, rt::K::ENTER});
            continue;
        }
        if (key != rt::K::PGUP && code > 0 && code < 9000 && a.seek(rt::STRZERO(code, 4))) {
            rt::dbf::select(caller);
            return true;
        }
        // PgUp, code 0 or a code the register does not know: the register, then the field again.
        PART_OB = true;
        PARTNERI(code);
    }
}

}  // namespace tor
