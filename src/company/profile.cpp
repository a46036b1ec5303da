// The company profile screens: basic data (which also creates a company), the owner, and the
// business. The owner and business screens hold the record lock for the whole screen and store
// each field as soon as it is left; the basic-data screen stores nothing until it is confirmed.
#include <string>
#include <vector>

#include "calc/checks.h"
#include "company/company.h"
#include "data/data.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

struct Label {
    int row;
    const char* text;
};

void draw_screen(int top, const char* title, const std::vector<Label>& labels) {
    BOXSHAD(top, 0, 24, 79, "double", title);
    rt::SETCOLOR(SVETLO);
    for (const Label& l : labels) rt::SAY(l.row, 1, l.text);
    rt::SETCOLOR(NORMAL);
    rt::SETCURSOR(true);
}

// An input field editing a field of the current record in place: the record gets the value
// when the field is left.
rt::Get field_get(int row, int col, const std::string& field, std::string_view picture = "") {
    rt::dbf::WorkArea* a = &rt::dbf::current();
    const int i = a->field_index(field);
    if (i < 0) throw rt::Error("mdk_pro: nema polja " + field);
    const char type = a->fields()[static_cast<size_t>(i)].type;
    const rt::VType vt = type == 'D' ? rt::VType::D : type == 'N' ? rt::VType::N : type == 'L' ? rt::VType::L
                                                                                                  : rt::VType::C;
    rt::Get g = rt::get(
        row, col, vt, [a, i] { return a->get(i); }, [a, i](const rt::Value& v) { a->put(i, v); }, picture);
    g.name(field);
    return g;
}

bool moving_up() { return rt::LASTKEY() == rt::K::UP; }

// The owner and business screens: the record is locked before the first field is drawn and
// stays locked until the read ends. A record that cannot be locked is not edited.
bool lock_record() {
    if (REC_LOCK(0)) return true;
    rt::SETCURSOR(false);
    return false;
}

void edit_in_place(rt::GetList& gets) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    rt::READ(gets);
    a.commit();
    a.unlock();
    rt::SETCURSOR(false);
}

}  // namespace

void INS_OP() {
    rt::ProcScope proc("INS_OP");
    rt::dbf::WorkArea& a = rt::dbf::current();
    draw_screen(16, " Osnovni Podaci: ",
                {
                    {17, "Sifra.....................................................................:"},
                    {18, "Naziv Radnje.............................................:"},
                    {19, "Ime Vlasnika.......................................................:"},
                    {20, "Prezime Vlasnika..............................................:"},
                    {21, "Sediste Radnje - Mesto...................................:"},
                    {22, "Nacin Vodjenja Knjiga (Knjigas/Pausalac)....................................:"},
                    {23, "Nacin Vodjenja Knjiga (1.SPR/SR 2.VP 5.SKR 7.STR 8.SUR 9.SZR/SR/SA).........:"},
                });

    // The code: a company code is 1 to 999.
    double code = rt::VAL(WSIFRA);
    {
        rt::GetList gl;
        rt::GET(gl, rt::get(17, 76, code, "999").valid([&code] { return code >= 1 && code <= 999; }).name("WSIFRA"));
        rt::READ(gl);
    }
    if (rt::LASTKEY() == rt::K::ESC) {
        rt::SETCURSOR(false);
        return;
    }
    WSIFRA = rt::STRZERO(code, 3);

    std::string naziv = rt::SPACE(20), ime = rt::SPACE(10), prezime = rt::SPACE(15), mesto = rt::SPACE(20);
    std::string knjige = "K";
    double delatnost = 0;
    if (a.seek(WSIFRA)) {
        naziv = a.get_str("FRNAZIVSKR");
        ime = a.get_str("VRIME");
        prezime = a.get_str("VRPREZIME");
        mesto = a.get_str("FRMESTO");
        knjige = a.get_str("PRGTIPKNJ");
        delatnost = rt::VAL(a.get_str("PRGTIPDEL"));
    }

    rt::GetList gl;
    rt::GET(gl, rt::get(18, 59, naziv, "@!K").name("WFRNAZIVSKR"));
    rt::GET(gl, rt::get(19, 69, ime).name("WVRIME"));
    rt::GET(gl, rt::get(20, 64, prezime).name("WVRPREZIME"));
    rt::GET(gl, rt::get(21, 59, mesto).name("WFRMESTO"));
    rt::GET(gl, rt::get(22, 78, knjige, "!")
                    .valid([&knjige] { return knjige == "K" || knjige == "P" || moving_up(); })
                    .name("WPRGTIPKNJ"));
    rt::GET(gl, rt::get(23, 78, delatnost, "9")
                    .valid([&delatnost] { return delatnost < 3 || delatnost >= 5 || moving_up(); })
                    .name("WPRGTIPDEL"));
    rt::READ(gl);
    rt::SETCURSOR(false);
    if (rt::LASTKEY() == rt::K::ESC) return;

    if (!a.seek(WSIFRA)) {
        if (!ADD_REC(0)) return;
        a.put("SIFRA_PRO", WSIFRA);
    }
    if (!REC_LOCK(0)) return;
    a.put("FRNAZIVSKR", naziv);
    a.put("VRIME", ime);
    a.put("VRPREZIME", prezime);
    a.put("FRMESTO", mesto);
    a.put("PRGTIPKNJ", knjige);
    a.put("PRGTIPDEL", rt::STRZERO(delatnost, 3));
    a.commit();
    a.unlock();
}

void INS_POV() {
    rt::ProcScope proc("INS_POV");
    draw_screen(14, " Podaci o Vlasniku: ",
                {
                    {15, "Ime................................................................:"},
                    {16, "Ime Oca............................................................:"},
                    {17, "Prezime.......................................................:"},
                    {18, "JMBG............................................................:"},
                    {19, "BRLK...............................................................:"},
                    {20, "Opstina..................................................:"},
                    {21, "Mesto....................................................:"},
                    {22, "Ulica.........:                     broj     slovo   sprat    stan     slovo "},
                    {23, "Telefon...........................................................:"},
                });
    if (!lock_record()) return;
    rt::dbf::WorkArea* a = &rt::dbf::current();
    rt::GetList gl;
    rt::GET(gl, field_get(15, 69, "VRIME"));
    rt::GET(gl, field_get(16, 69, "VRIMEO"));
    rt::GET(gl, field_get(17, 64, "VRPREZIME"));
    rt::GET(gl, field_get(18, 66, "VRJMBG", "9999999999999").valid([a] { return KBJMBG(a->get_str("VRJMBG")); }));
    rt::GET(gl, field_get(19, 69, "VRBRLK"));
    rt::GET(gl, field_get(20, 59, "VROPSTINA"));
    rt::GET(gl, field_get(21, 59, "VRMESTO"));
    rt::GET(gl, field_get(22, 16, "VRULICA"));
    rt::GET(gl, field_get(22, 42, "VRULKBR"));
    rt::GET(gl, field_get(22, 52, "VRULKBRS", "!"));
    rt::GET(gl, field_get(22, 60, "VRULSPR"));
    rt::GET(gl, field_get(22, 68, "VRULSTBR"));
    rt::GET(gl, field_get(22, 78, "VRULSTS", "!"));
    rt::GET(gl, field_get(23, 68, "VRTELPBR"));
    rt::GET(gl, field_get(23, 72, "VRTELBR"));
    edit_in_place(gl);
}

void INS_POR() {
    rt::ProcScope proc("INS_POR");
    draw_screen(0, " Podaci o Radnji: ",
                {
                    {1, "Pun Naziv..................:"},
                    {2, "Opstina..................................................:"},
                    {3, "Mesto....................................................:"},
                    {4, "Mesto Poslovne Jedinice (ako je ovo Poslovna Jedinica)...:"},
                    {5, "Ulica.........:                     broj     slovo   sprat    stan     slovo "},
                    {6, "Telefon - Fax.....................................................:"},
                    {7, "Fax...............................................................:"},
                    {8, "e-mail.........................................:"},
                    {9, "Banka:  Naziv                          Mesto                Racun"},
                    {10, "(1)..:"},
                    {11, "(2)..:"},
                    {12, "(3)..:"},
                    {13, "Poreski Identifikacioni Broj - PIB..................................:"},
                    {14, "Sifra poreskog obveznika (Poreski racun)............................:       -"},
                    {15, "Maticni Broj.........................................................:"},
                    {16, "Broj Potvrde o Evidenciji PDV (Obrazac PEPDV)...:          Datum...:"},
                    {17, "Broj Penzisko Invalidskog Osiguranja - PIO.........................:"},
                    {18, "Registarski Broj.........................................:"},
                    {19, "Pretezna Delatnost - Sifra..............................................:"},
                    {20, "Pretezna Delatnost - Naziv.....................:"},
                    {21, "Datum Upisa u Registar - Datum Otvaranja...........................:"},
                    {22, "Izdvojene Poslovne Jedinice................:(1)    (2)    (3)    (4)    (5)"},
                    {23, "NAPOMENA:"},
                });
    if (!lock_record()) return;
    rt::dbf::WorkArea* a = &rt::dbf::current();
    rt::GetList gl;
    rt::GET(gl, field_get(1, 29, "FRNAZIVPUN", "@!K"));
    rt::GET(gl, field_get(2, 59, "FROPSTINA"));
    rt::GET(gl, field_get(3, 59, "FRMESTO"));
    rt::GET(gl, field_get(4, 59, "FRMESTOPJ", "@!K"));
    rt::GET(gl, field_get(5, 16, "FRULICA"));
    rt::GET(gl, field_get(5, 42, "FRULKBR"));
    rt::GET(gl, field_get(5, 52, "FRULKBRS", "!"));
    rt::GET(gl, field_get(5, 60, "FRULSPR"));
    rt::GET(gl, field_get(5, 68, "FRULSTBR"));
    rt::GET(gl, field_get(5, 78, "FRULSTS", "!"));
    rt::GET(gl, field_get(6, 68, "FRTELPBR"));
    rt::GET(gl, field_get(6, 72, "FRTELBR"));
    rt::GET(gl, field_get(7, 68, "FRFAXPBR"));
    rt::GET(gl, field_get(7, 72, "FRFAXBR"));
    rt::GET(gl, field_get(8, 49, "FREMAIL"));
    for (int b = 1; b <= 3; ++b) {
        const std::string n = std::to_string(b);
        rt::GET(gl, field_get(9 + b, 7, "FRBANKA" + n + "N"));
        rt::GET(gl, field_get(9 + b, 38, "FRBANKA" + n + "M"));
        rt::GET(gl, field_get(9 + b, 59, "FRBANKA" + n + "R"));
    }
    rt::GET(gl, field_get(13, 70, "FRPIB", "999999999").valid([a] { return KBPIB(a->get_str("FRPIB")); }));
    rt::GET(gl, field_get(14, 70, "FRPORRAC", "9999999"));
    rt::GET(gl, field_get(14, 78, "FRPORRACKB", "9"));
    rt::GET(gl, field_get(15, 71, "FRMATBR", "99999999"));
    rt::GET(gl, field_get(16, 50, "FRPEPDV", "999999999"));
    rt::GET(gl, field_get(16, 69, "FRDATPDV"));
    rt::GET(gl, field_get(17, 69, "FRPIO", "9999999999"));
    rt::GET(gl, field_get(18, 59, "FRREGBR"));
    rt::GET(gl, field_get(19, 74, "FRDELSIF", "99999"));
    rt::GET(gl, field_get(20, 49, "FRDELNAZ", "@!K"));
    rt::GET(gl, field_get(21, 69, "FRDATOTV"));
    for (int n = 1; n <= 5; ++n) {
        const std::string field = "FRIPJ" + std::to_string(n);
        // A business unit is another company of the register, or nothing.
        rt::GET(gl, field_get(22, 48 + 7 * (n - 1), field, "@K999").valid([a, field, n] {
            return rt::EMPTY(a->get_str(field)) || TRAZIIPJ(n) || moving_up();
        }));
    }
    rt::GET(gl, field_get(23, 10, "PRGNAPOM", "@!K"));
    edit_in_place(gl);
}

}  // namespace tor
