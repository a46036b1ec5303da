// Partners and obligations: one table, two registers told apart by the code. Partners (suppliers
// and buyers, codes 1-8999) carry the full address and tax data; obligations (payees of taxes,
// contributions and other payments, codes 9001-9999) only a name and an account.
#include <string>

#include "calc/checks.h"
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

const char* const BUSY = "Registar partnera je zauzet na drugoj radnoj stanici !";
// The twelve stored fields, each kept in its full width.
struct Partner {
    std::string naziv, naziv2, ulica, ulica2, ptt, pak, mesto, ziro, pib, pepdv, tel;
};

std::string blank(int n) { return std::string(static_cast<size_t>(n), ' '); }

Partner empty_partner() {
    return {blank(30), blank(30), blank(30), blank(30), blank(5), blank(6),
            blank(20), blank(20), blank(13), blank(9),  blank(20)};
}

Partner load() {
    const rt::dbf::WorkArea& a = rt::dbf::current();
    return {a.get_str("NAZIV"), a.get_str("NAZIV2"), a.get_str("ULICA"), a.get_str("ULICA2"),
            a.get_str("PTT"),   a.get_str("PAK"),    a.get_str("MESTO"), a.get_str("ZIRO"),
            a.get_str("PIB"),   a.get_str("PEPDV"),  a.get_str("TEL")};
}

bool in_register(const rt::dbf::WorkArea* a, bool partners) {
    const double c = rt::VAL(a->get_str("SIFRA"));
    return partners ? c < 9000 : c > 9000;
}

// The standing filter: every seek and step sees only the register being worked on.
void standing_filter(bool partners) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    const rt::dbf::WorkArea* pa = &a;
    if (partners) a.set_filter([pa] { return in_register(pa, true); }, "val(sifra)<9000");
    else a.set_filter([pa] { return in_register(pa, false); }, "val(sifra)>9000");
    // A record of the other register under the pointer would still show in a list started there.
    if (!a.eof() && !in_register(pa, partners)) a.go_top();
}

void draw_screen(bool partners) {
    rt::SETCOLOR(NORMAL);
    if (!partners) {
        BOXSHAD(12, 15, 16, 65);
        rt::SAY(13, 17, " Sifra Obaveze :");
        rt::SAY(14, 17, " Naziv Obaveze :");
        rt::SAY(15, 17, "  Tekuci Racun :");
        return;
    }
    BOXSHAD(12, 15, 24, 65);
    rt::SAY(13, 17, "Sifra Partnera :");
    rt::SAY(14, 17, "Naziv Partnera :");
    rt::SAY(16, 17, "  Ulica i Broj :");
    rt::SAY(18, 17, "      PTT Broj :        PAK:");
    rt::SAY(19, 17, "         Mesto :");
    rt::SAY(20, 17, "  Tekuci Racun :");
    rt::SAY(21, 17, "           PIB :");
    rt::SAY(22, 17, "    Broj PEPDV :");
    rt::SAY(23, 17, "       Telefon :");
}

void show(bool partners, const std::string& sifra, const Partner& p) {
    rt::SAY(13, 34, sifra);
    rt::SAY(14, 34, p.naziv);
    if (!partners) {
        rt::SAY(15, 34, p.ziro);
        return;
    }
    rt::SAY(15, 34, p.naziv2);
    rt::SAY(16, 34, p.ulica);
    rt::SAY(17, 34, p.ulica2);
    rt::SAY(18, 34, p.ptt);
    rt::SAY(18, 46, p.pak);
    rt::SAY(19, 34, p.mesto);
    rt::SAY(20, 34, p.ziro);
    rt::SAY(21, 34, p.pib);
    rt::SAY(22, 34, p.pepdv);
    PEPDV_DN(p.pepdv);
    rt::SAY(23, 34, p.tel);
}

// The fields of the register; false on Esc.
bool edit(bool partners, Partner& p) {
    rt::GetList gl;
    rt::GET(gl, rt::get(14, 34, p.naziv, "@!").name("WNAZIV"));
    if (!partners) {
        rt::GET(gl, rt::get(15, 34, p.ziro).valid([&] { return KBZR(p.ziro); }).name("WZIRO"));
    } else {
        rt::GET(gl, rt::get(15, 34, p.naziv2, "@!").name("WNAZIV2"));
        rt::GET(gl, rt::get(16, 34, p.ulica).name("WULICA"));
        rt::GET(gl, rt::get(17, 34, p.ulica2).name("WULICA2"));
        rt::GET(gl, rt::get(18, 34, p.ptt).name("WPTT"));
        rt::GET(gl, rt::get(18, 46, p.pak).name("WPAK"));
        rt::GET(gl, rt::get(19, 34, p.mesto, "@!").name("WMESTO"));
        rt::GET(gl, rt::get(20, 34, p.ziro).valid([&] { return KBZR(p.ziro); }).name("WZIRO"));
        rt::GET(gl, rt::get(21, 34, p.pib).name("WPIB"));
        rt::GET(gl, rt::get(22, 34, p.pepdv).valid([&] { return PEPDV_DN(p.pepdv); }).name("WPEPDV"));
        rt::GET(gl, rt::get(23, 34, p.tel).name("WTEL"));
    }
    rt::READ(gl);
    return rt::LASTKEY() != rt::K::ESC;
}

bool store(const std::string& sifra, const Partner& p) {
    if (!lock_code_record(sifra)) return false;
    rt::dbf::WorkArea& a = rt::dbf::current();
    a.put("SIFRA", sifra);
    a.put("NAZIV", p.naziv);
    a.put("NAZIV2", p.naziv2);
    a.put("ULICA", p.ulica);
    a.put("ULICA2", p.ulica2);
    a.put("PTT", p.ptt);
    a.put("PAK", p.pak);
    a.put("MESTO", p.mesto);
    a.put("ZIRO", p.ziro);
    a.put("PIB", p.pib);
    a.put("PEPDV", p.pepdv);
    a.put("TEL", p.tel);
    a.commit();
    a.unlock();
    return true;
}

void partner_loop(double& code, bool one) {
    const bool partners = PART_OB;
    standing_filter(partners);
    for (;;) {
        draw_screen(partners);
        rt::GetList gl;
        rt::GET(gl, rt::get(13, 34, code, "9999")
                        .valid([partners] { return PREGLED(partners ? "PAR" : "OBA"); })
                        .name("WSIFRA"));
        rt::READ(gl);
        // The lookup leaves its own register's filter; the screen keeps the standing one.
        standing_filter(partners);
        const int key = rt::LASTKEY();
        if (key == rt::K::ESC) return;
        if (key == rt::K::PGDN) {
            // An empty obligation register starts at its first code, not at 0001.
            propose(code, partners ? propose_code(4, 1, 8999, PSLSIFRA) : propose_code(4, 9001, 9999, PSLSIFRA));
            continue;
        }
        if (code == 0) return;
        if (!partners && code < 9001) {
            PORUKA("Sifra za Obaveze mora biti veca od 9000!", 0);
            continue;
        }
        if (partners && code > 8999) {
            PORUKA("Sifra za Partnere mora biti manja od 9000!", 0);
            continue;
        }

        const std::string sifra = rt::STRZERO(code, 4);
        rt::dbf::WorkArea& a = rt::dbf::current();
        Partner p = empty_partner();
        if (a.seek(sifra)) {
            p = load();
            show(partners, sifra, p);
            const int choice = MOGUCNOSTI(5);
            if (choice == 3) delete_asked();
            if (choice != 2) continue;
        }
        if (!edit(partners, p)) continue;
        if (!store(sifra, p)) {
            PORUKA(NOT_SAVED, 2);
            continue;
        }
        if (one) {
            code = rt::VAL(sifra);
            return;
        }
    }
}

}  // namespace

bool PEPDV_DN(const std::string& WPEPDV) {
    rt::SAY(22, 45, blank(20));
    rt::SAY(22, 45, rt::EMPTY(WPEPDV) ? "NIJE PDV obveznik" : "PDV obveznik");
    return true;
}

void PARTNERI() {
    double code = 0;
    with_register_table("mddob", BUSY, [&] { partner_loop(code, false); });
}

void PARTNERI(double& WSIFRA) { with_register_table("mddob", BUSY, [&] { partner_loop(WSIFRA, true); }); }

}  // namespace tor
