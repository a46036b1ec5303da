// The VAT rate change of the goods register: every article of one tariff group moves to another,
// optionally with its selling price carried over to the new rate.
#include <string>

#include "calc/pricing.h"
#include "calc/rates.h"
#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

void PROMENIPDV() {
    const rt::ScreenImage screen = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    BOXSHAD(19, 10, 23, 51);
    double stara = 0, nova = 0;
    std::string cene = "N";
    rt::GetList gl;
    rt::SAY(20, 12, "Stara stopa PDV");
    rt::GET(gl, rt::get(20, 28, stara, "999").valid([&] { return rate_field_ok(stara); }));
    rt::SAY(21, 12, "Nova stopa PDV ");
    rt::GET(gl, rt::get(21, 28, nova, "999").valid([&] { return rate_field_ok(nova); }));
    rt::SAY(22, 12, "Promeni cenu za procenat promene PDV");
    rt::GET(gl, rt::get(22, 49, cene, "!").valid([&] { return cene == "D" || cene == "N"; }));
    rt::READ(gl);
    if (rt::LASTKEY() == rt::K::ESC) {
        rt::RESTSCREEN(screen);
        rt::SETCOLOR(colour);
        return;
    }

    PORUKA("Promena stope PDV u toku...");
    rt::dbf::select_free();
    if (!open_table("mdart")) {
        rt::dbf::close_all();
        PORUKA("Registar dobara je zauzet na drugoj radnoj stanici !", 2);
        rt::RESTSCREEN(screen);
        rt::SETCOLOR(colour);
        return;
    }
    rt::dbf::WorkArea& a = rt::dbf::current();
    // Record order: the walk is not disturbed by the tariff-group keys that change under it.
    a.set_order(0);
    const std::string old_group = rt::STRZERO(stara, 3), new_group = rt::STRZERO(nova, 3);
    int skipped = 0;
    for (a.go_top(); !a.eof(); a.skip()) {
        if (a.get_str("TARGR") != old_group) continue;
        if (!REC_LOCK()) {
            ++skipped;
            continue;
        }
        // Locking reads the record anew: another workstation may have changed it meanwhile.
        if (a.get_str("TARGR") != old_group) continue;
        a.put("TARGR", new_group);
        if (cene == "D") a.put("PRODCEN", a.get_num("PRODCEN") / (1 + stara / 100) * (1 + nova / 100));
    }
    a.commit();
    a.unlock();
    // An article held by another workstation keeps its old rate: the user must know which
    // articles still need the change rather than believe the register is done.
    if (skipped > 0)
        PORUKA("Artikli zauzeti na drugoj radnoj stanici nisu promenjeni: " + std::to_string(skipped), 2);
    PORUKA("Promena stope PDV je zavrsena.", 2);
    rt::dbf::close_all();
    rt::RESTSCREEN(screen);
    rt::SETCOLOR(colour);
}

}  // namespace tor
