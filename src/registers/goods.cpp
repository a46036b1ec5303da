// The goods register: every article and service the company buys and sells, with its unit, VAT
// rate and the purchase and selling prices. Articles of a producing company can be copied into
// the finished-products register on saving.
#include <string>

#include "calc/pricing.h"
#include "calc/rates.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"
#include "ui/ui.h"

namespace tor {

namespace {

const char* const BUSY = "Registar dobara je zauzet na drugoj radnoj stanici !";
const std::string PRICE = "9" + BROJ;   // "99999999.99"

struct Article {
    std::string naziv = std::string(40, ' ');
    GoodsEntryVars v{std::string(3, ' ')};   // unit, rate, purchase and selling price
};

void draw_screen() {
    rt::SETCOLOR(NORMAL);
    BOXSHAD(13, 15, 20, 74);
    rt::SAY(14, 17, "  Sifra Dobra :");
    rt::SAY(15, 17, "  Naziv Dobra :");
    rt::SAY(16, 17, "Jedinica Mere :");
    rt::SAY(17, 17, "    Stopa PDV :");
    rt::SAY(18, 17, " Nabavna Cena :");
    rt::SAY(19, 17, "Prodajna Cena :");
}

Article load() {
    rt::dbf::WorkArea& a = rt::dbf::current();
    Article r;
    r.naziv = a.get_str("NAZIV");
    r.v.WJMERE = a.get_str("JMERE");
    r.v.WTARGR = rt::VAL(a.get_str("TARGR"));
    r.v.WNABCEN = a.get_num("NABCEN");
    r.v.WPRODCEN = a.get_num("PRODCEN");
    return r;
}

void show(const std::string& sifra, const Article& r) {
    rt::SAY(14, 33, sifra);
    rt::SAY(15, 33, r.naziv);
    rt::SAY(16, 33, r.v.WJMERE);
    rt::SAY(17, 33, rt::TRANSFORM(r.v.WTARGR, "999"));
    rt::SAY(18, 33, rt::TRANSFORM(r.v.WNABCEN, PRICE));
    rt::SAY(19, 33, rt::TRANSFORM(r.v.WPRODCEN, PRICE));
}

// The unit field: PgDn gives "KG ", an empty unit "KOM"; the field shows the new unit and an Enter
// waits in the keyboard, so the refused field is left with it at once.
bool unit_ok(std::string& unit) {
    if (JEME(unit, 16, 33)) return true;
    if (rt::Get* g = rt::active_get()) g->assign(unit);
    rt::KEYBOARD(std::vector<int>{rt::K::ENTER}, false);
    return false;
}

// Rows 15-19; false on Esc.
bool edit(Article& r) {
    rt::GetList gl;
    rt::GET(gl, rt::get(15, 33, r.naziv, "@!K").name("WNAZIVA"));
    rt::GET(gl, rt::get(16, 33, r.v.WJMERE, "@!").valid([&] { return unit_ok(r.v.WJMERE); }).name("WJMERE"));
    rt::GET(gl, rt::get(17, 33, r.v.WTARGR, "999").valid([&] { return rate_field_ok(r.v.WTARGR); }).name("WTARGR"));
    rt::GET(gl, rt::get(18, 33, r.v.WNABCEN, PRICE).name("WNABCEN"));
    rt::GET(gl, rt::get(19, 33, r.v.WPRODCEN, PRICE).valid([&] { return RAC_NABCEN(r.v); }).name("WPRODCEN"));
    rt::READ(gl);
    return rt::LASTKEY() != rt::K::ESC;
}

bool store(const std::string& sifra, const Article& r) {
    if (!lock_code_record(sifra)) return false;
    rt::dbf::WorkArea& a = rt::dbf::current();
    a.put("SIFRA", sifra);
    a.put("NAZIV", r.naziv);
    a.put("JMERE", r.v.WJMERE);
    a.put("TARGR", rt::STRZERO(r.v.WTARGR, 3));
    a.put("PRODCEN", r.v.WPRODCEN);
    a.put("NABCEN", r.v.WNABCEN);
    a.commit();
    a.unlock();
    return true;
}

// Producing, catering and craft companies: the article can go into the finished-products register.
void copy_to_products(const std::string& sifra, const Article& r) {
    if (WSIFDEL != "001" && WSIFDEL != "009" && WSIFDEL != "008") return;
    if (!PITANJE("Prenos Dobara na Gotov proizvod (D/N)?", 2)) return;
    const int goods = rt::dbf::current_number();
    rt::dbf::select_free();
    if (open_table("mdpro")) {
        if (lock_code_record(sifra)) {
            rt::dbf::WorkArea& p = rt::dbf::current();
            p.put("SIFRA", sifra);
            p.put("NAZIV", r.naziv);
            p.put("JMERE", r.v.WJMERE);
            p.commit();
            p.unlock();
        }
        rt::dbf::current().close();
    } else {
        PORUKA("Registar gotovih proizvoda je zauzet na drugoj radnoj stanici !", 2);
    }
    rt::dbf::select(goods);
}

// The code loop. one: called from a document for one record (returns after saving).
void goods_loop(double& code, bool one) {
    for (;;) {
        draw_screen();
        rt::GetList gl;
        rt::GET(gl, rt::get(14, 33, code, "999999").valid([] { return PREGLED("ART"); }).name("WSIFRA"));
        rt::READ(gl);
        const int key = rt::LASTKEY();
        if (key == rt::K::ESC) return;
        if (key == rt::K::PGDN) {
            propose(code, propose_code(6, 1, 999999, PSLSIFRA));
            continue;
        }
        if (code == 0) return;

        const std::string sifra = rt::STRZERO(code, 6);
        rt::dbf::WorkArea& a = rt::dbf::current();
        Article r;
        if (a.seek(sifra)) {
            r = load();
            show(sifra, r);
            const int choice = MOGUCNOSTI(7);
            if (choice == 3) delete_asked();
            if (choice != 2) continue;
        }
        if (!edit(r)) continue;
        if (!store(sifra, r)) {
            PORUKA(NOT_SAVED, 2);
            continue;
        }
        copy_to_products(sifra, r);
        if (one) {
            code = rt::VAL(sifra);
            return;
        }
    }
}

}  // namespace

void ARTIKLI() {
    double code = 0;
    with_register_table("mdart", BUSY, [&] { goods_loop(code, false); });
}

void ARTIKLI(double& WSIFRA) {
    // PgUp on a known code in the item line: accept the code and pick "Izmena" at once.
    if (WSIFRA != 0 && rt::LASTKEY() == rt::K::PGUP)
        rt::KEYBOARD(std::vector<int>{rt::K::ENTER, rt::K::DOWN, rt::K::ENTER}, false);
    with_register_table("mdart", BUSY, [&] { goods_loop(WSIFRA, true); });
}

}  // namespace tor
