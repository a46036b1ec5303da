// The company list print (F2 in the company choice): a chooser of the columns over a fixed
// catalogue of 32 data items of the company register, kept in the work table "mdk_op" of the
// installation directory; the layout of one print line from the chosen items; and the list of the
// register's companies printed with those columns.
#include <algorithm>
#include <string>
#include <vector>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/browse.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/table_rows.h"
#include "ui/ui.h"

namespace tor {

namespace {

using Reg = rt::dbf::WorkArea;

// ---- the catalogue of data items ----

std::string f(const Reg& r, const char* name) { return r.get_str(name); }

// A blank and the field's value for each of the fields that is not empty.
std::string non_empty_parts(const Reg& r, std::initializer_list<const char*> names) {
    std::string out;
    for (const char* n : names) {
        const std::string v = f(r, n);
        if (!rt::EMPTY(v)) out += " " + v;
    }
    return out;
}

// The street with the house number and its letter, the floor, the flat and its letter.
std::string street(const Reg& r, bool owner) {
    if (owner) return f(r, "VRULICA") + non_empty_parts(r, {"VRULKBR", "VRULKBRS", "VRULSPR", "VRULSTBR", "VRULSTS"});
    return f(r, "FRULICA") + non_empty_parts(r, {"FRULKBR", "FRULKBRS", "FRULSPR", "FRULSTBR", "FRULSTS"});
}

struct Item {
    const char* expr;   // the value's expression as kept in POLJE_N
    const char* type;   // "C" or "N"
    int width;          // print width
    const char* label;  // header label
    std::string (*value)(const Reg& r, long rb);
};

// clang-format off
const Item kItems[SPIS_KOM_STAVKI] = {
    {"Transform(RB,'9999')", "N", 4, "R.Br", [](const Reg&, long rb) { return rt::TRANSFORM(static_cast<double>(rb), "9999"); }},
    {"Sifra_Pro+'  '", "C", 5, "Sifra", [](const Reg& r, long) { return f(r, "SIFRA_PRO") + "  "; }},
    {"VrIme+' '", "C", 10, "Ime vl.", [](const Reg& r, long) { return f(r, "VRIME") + " "; }},
    {"VrImeO", "C", 11, "Ime oca vl.", [](const Reg& r, long) { return f(r, "VRIMEO"); }},
    {"VrPrezime", "C", 15, "Prezime vl.", [](const Reg& r, long) { return f(r, "VRPREZIME"); }},
    {"VrJmbg", "C", 13, "JMBG vl.", [](const Reg& r, long) { return f(r, "VRJMBG"); }},
    {"VrBrLk", "C", 10, "BRLK vl.", [](const Reg& r, long) { return f(r, "VRBRLK"); }},
    {"VrOpstina", "C", 20, "Opstina vl.", [](const Reg& r, long) { return f(r, "VROPSTINA"); }},
    {"VrMesto", "C", 20, "Mesto vl.", [](const Reg& r, long) { return f(r, "VRMESTO"); }},
    {"VrUlica+Deo(VrUlKBr)+Deo(VrUlKBrS)+Deo(VrUlSpr)+Deo(VrUlStBr)+Deo(VrUlStS)", "C", 30, "Ulica i broj vl.",
     [](const Reg& r, long) { return street(r, true); }},
    {"Deo(VrTelPBr)+Deo(VrTelBr)", "C", 11, "Telefon vl.",
     [](const Reg& r, long) { return non_empty_parts(r, {"VRTELPBR", "VRTELBR"}); }},
    {"FrNazivSkr", "C", 20, "Naziv firme", [](const Reg& r, long) { return f(r, "FRNAZIVSKR"); }},
    {"FrNazivPun", "C", 50, "Pun Naziv firme", [](const Reg& r, long) { return f(r, "FRNAZIVPUN"); }},
    {"FrOpstina", "C", 20, "Opstina firme", [](const Reg& r, long) { return f(r, "FROPSTINA"); }},
    {"FrMesto", "C", 20, "Mesto firme", [](const Reg& r, long) { return f(r, "FRMESTO"); }},
    {"FrMestoPJ", "C", 20, "Mesto poslovne jed.", [](const Reg& r, long) { return f(r, "FRMESTOPJ"); }},
    {"FrUlica+Deo(FrUlKBr)+Deo(FrUlKBrS)+Deo(FrUlSpr)+Deo(FrUlStBr)+Deo(FrUlStS)", "C", 30, "Ulica i broj firme",
     [](const Reg& r, long) { return street(r, false); }},
    {"Deo(FrTelPBr)+Deo(FrTelBr)", "C", 11, "Tel. firme",
     [](const Reg& r, long) { return non_empty_parts(r, {"FRTELPBR", "FRTELBR"}); }},
    {"Deo(FrFaxPBr)+Deo(FrFaxBr)", "C", 11, "Fax firme",
     [](const Reg& r, long) { return non_empty_parts(r, {"FRFAXPBR", "FRFAXBR"}); }},
    {"FrEmail", "C", 30, "e-mail", [](const Reg& r, long) { return f(r, "FREMAIL"); }},
    {"FrDelSif", "C", 5, "S.Del.", [](const Reg& r, long) { return f(r, "FRDELSIF"); }},
    {"FrDelNaz", "C", 30, "Delatnost", [](const Reg& r, long) { return f(r, "FRDELNAZ"); }},
    {"FrBanka1R", "C", 20, "Tekuci racun 1", [](const Reg& r, long) { return f(r, "FRBANKA1R"); }},
    {"FrBanka2R", "C", 20, "Tekuci racun 2", [](const Reg& r, long) { return f(r, "FRBANKA2R"); }},
    {"FrBanka3R", "C", 20, "Tekuci racun 3", [](const Reg& r, long) { return f(r, "FRBANKA3R"); }},
    {"FrPib", "C", 9, "PIB", [](const Reg& r, long) { return f(r, "FRPIB"); }},
    {"FrMatBr+'   '", "C", 11, "Maticni br.", [](const Reg& r, long) { return f(r, "FRMATBR") + "   "; }},
    {"FrPePdv", "C", 9, "PEPDV br.", [](const Reg& r, long) { return f(r, "FRPEPDV"); }},
    {"FrPorRac+IIf(Empty(FrPorRacKB),' ','-')+FrPorRacKB+'  '", "C", 11, "Poreski br.",
     [](const Reg& r, long) {
         const std::string kb = f(r, "FRPORRACKB");
         return f(r, "FRPORRAC") + (rt::EMPTY(kb) ? " " : "-") + kb + "  ";
     }},
    {"FrPio", "C", 10, "PIO br.", [](const Reg& r, long) { return f(r, "FRPIO"); }},
    {"FrRegBr", "C", 20, "Registarski br.", [](const Reg& r, long) { return f(r, "FRREGBR"); }},
    {"PrgNapom", "C", 20, "Napomena", [](const Reg& r, long) { return f(r, "PRGNAPOM"); }},
};
// clang-format on

const Polja& catalogue_fields() {
    static const Polja p = {"POLJE_N   C255", "POLJE_T   C1  ", "POLJE_D   N2  ",
                            "POLJE_O   C20 ", "POLJE_S   N2  ", "POLJE_I   N1  "};
    return p;
}

std::string catalogue_table() { return (OSNDIR.empty() ? std::string("./") : OSNDIR) + "mdk_op"; }

// The item a catalogue record stands for: the records are appended in catalogue order on every
// call, so the record number is the item number.
int item_of(const Reg& a) { return static_cast<int>(a.recno()); }

// ---- the chooser's browse over the catalogue, in position order ----

// The chooser's state while its browse runs (KOREKS reaches it).
struct Chooser {
    rt::Browse* browse = nullptr;
    int area = 0;
    bool leave = false;   // Esc: the chooser ends
};
Chooser g_chooser;

// The next row of the list print (ZSTPSPIS_KOM leaves the first data row of a page here).
int g_row = 0;

// Edits the position of the item under the bar in place, under a record lock; an item that
// cannot be locked within five seconds is left as it is.
void edit_position() {
    rt::dbf::WorkArea& a = rt::dbf::area(g_chooser.area);
    if (!REC_LOCK(5)) return;
    if (g_chooser.browse) g_chooser.browse->edit_cell(2);
    a.commit();
    a.unlock();
}

// Ends the browse so that the layout line is computed anew and the browse starts again.
int refresh() { return 0; }

std::string rule(char c) {
    return std::string(static_cast<size_t>(std::max(SK_DUZ_TXT, 0)), c) + (SK_COND ? COND_OFF : "");
}

}  // namespace

// ---- the catalogue and the line layout ----

bool spis_kom_catalogue() {
    const std::string table = catalogue_table();
    CRTDBF(table, catalogue_fields());
    if (!NETUSE(table, "mdk_op", true)) return false;
    rt::dbf::WorkArea& a = rt::dbf::current();
    a.zap();
    for (const Item& it : kItems) {
        a.append_blank();
        a.put("POLJE_N", it.expr);
        a.put("POLJE_T", it.type);
        a.put("POLJE_D", it.width);
        a.put("POLJE_O", it.label);
        a.put("POLJE_S", 0);
        a.put("POLJE_I", 0);
    }
    a.commit();
    a.create_index("polje_s", ntx_path(table));
    return true;
}

std::string spis_kom_item(int item, const rt::dbf::WorkArea& reg, long rb) {
    if (item < 1 || item > SPIS_KOM_STAVKI) return "";
    return kItems[item - 1].value(reg, rb);
}

std::string spis_kom_cell(int item, const rt::dbf::WorkArea& reg, long rb) {
    if (item < 1 || item > SPIS_KOM_STAVKI) return "";
    const size_t width = static_cast<size_t>(kItems[item - 1].width);
    std::string v = kItems[item - 1].value(reg, rb);
    // A value is fitted to its column so that the columns of every line stand under their
    // headers: a shorter one is padded, a longer one loses only its trailing blanks (no printed
    // character is ever cut off).
    if (v.size() < width) v.resize(width, ' ');
    while (v.size() > width && v.back() == ' ') v.pop_back();
    return v;
}

std::string spis_kom_line(const rt::dbf::WorkArea& reg, long rb) {
    std::string line;
    for (int item : SK_RED) line += spis_kom_cell(item, reg, rb) + " ";
    return line;
}

std::string RAC_DUZ_ZAG() {
    rt::dbf::WorkArea& a = rt::dbf::current();
    const uint32_t here = a.recno();
    int w = 0;
    int highest = 0;
    SK_ZAG.clear();
    SK_RED.clear();
    for (a.go_top(); !a.eof(); a.skip(1)) {
        const int pos = static_cast<int>(a.get_num("POLJE_S"));
        if (pos <= 0) continue;
        const int width = static_cast<int>(a.get_num("POLJE_D"));
        w += width + 1;
        SK_ZAG += rt::LEFT(a.get_str("POLJE_O"), width) + " ";
        SK_RED.push_back(item_of(a));
        highest = std::max(highest, pos);
    }
    a.go_to(here);
    SL_BROJ = highest + 1;
    w -= 1;  // no blank after the last column
    SK_DUZ_TXT = w;
    const std::string n = rt::ALLTRIM(rt::STR(w));
    if (w <= 0) {
        SK_REDOVA = 0;
        return "ZAGLAVLJE NIJE ODABRANO!";
    }
    if (w <= 80) {
        SK_REDOVA = 1;
        SK_COND = false;
        return "jedan red (karaktera: " + n + ").";
    }
    if (w <= 136) {
        SK_REDOVA = 1;
        SK_COND = true;
        return "jedan red zgusnuta stampa (karaktera: " + n + ").";
    }
    SK_REDOVA = 0;
    return "predugacko - morate izbaciti neka polja (karaktera:" + n + ")";
}

// ---- the chooser ----

void SPIS_KOM() {
    rt::ProcScope proc("SPIS_KOM");
    const int back = rt::dbf::current_number();
    const rt::ScreenImage screen = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    rt::dbf::select_free();
    const int area = rt::dbf::current_number();
    if (!spis_kom_catalogue()) {
        // Another workstation is choosing the columns of its list right now.
        PORUKA("Spisak komitenata se priprema na drugoj radnoj stanici !", 0);
        rt::SETCOLOR(colour);
        rt::RESTSCREEN(screen);
        rt::dbf::select(back);
        return;
    }
    rt::dbf::WorkArea& a = rt::dbf::current();

    rt::BOX(2, 0, 23, 79, FRAME_DOUBLE);
    rt::SAY(4, 1, rt::REPLICATE("\xCD", 78));
    rt::SAY(19, 1, rt::REPLICATE("\xCD", 78));
    rt::SAY(21, 1, rt::REPLICATE("\xC4", 78));
    rt::SAY_COLOR(3, 18, "ODABIR PODATAKA ZA STAMPU SPISKA KOMITENATA", SVETLO);
    rt::SAY_COLOR(20, 2, "<S>-Stampa spiska    <Enter>-prvi sledeci broj    <0...9>-rucna dodela broja", SVETLO);
    SL_BROJ = 1;

    struct Reset {
        ~Reset() { g_chooser = Chooser{}; }
    } reset;
    for (;;) {
        rt::dbf::select(area);
        rt::CLEAR_RECT(22, 1, 22, 78);
        rt::SAY(22, 2, "Duzina Zaglavlja: " + RAC_DUZ_ZAG());
        if (!a.seek(1.0)) a.go_top();

        TableRows rows(a);
        rt::Browse b(5, 1, 18, 78, rows);
        b.col_sep(" \xB3 ").head_sep("\xCD");
        b.add({"Podaci za Stampu", [&a] { return rt::Value(a.get_str("POLJE_O")); }, "!!!!!!!!!!!!!!!!!!!!"});
        b.add({"Redosled u Zaglavlju", [&a] { return rt::Value(a.get_num("POLJE_S")); }, "99", 0,
               [&a](const rt::Value& v) { a.put("POLJE_S", v); }});
        b.on_key([](int, int mode, int col) { return KOREKS(mode, col) == 0 ? rt::BR::ABORT : rt::BR::CONTINUE; });
        g_chooser.browse = &b;
        g_chooser.area = area;
        g_chooser.leave = false;
        b.run();
        g_chooser.browse = nullptr;
        if (g_chooser.leave) break;
    }
    rt::dbf::area(area).close();
    rt::SETCOLOR(colour);
    rt::RESTSCREEN(screen);
    rt::dbf::select(back);
}

int KOREKS(int mode, int column) {
    if (!g_chooser.browse) return 1;  // only the chooser's browse has a catalogue to work on
    switch (mode) {
    case rt::BR::EMPTY:      // an empty catalogue: a tone at every key
        TON(1);
        return 1;
    case rt::BR::EXCEPTION:
        break;
    default:
        return 1;
    }
    rt::dbf::WorkArea& a = rt::dbf::area(g_chooser.area);
    const int k = rt::LASTKEY();
    if (k == rt::K::ESC) {
        g_chooser.leave = true;
        return 0;
    }
    if (k >= '/' && k <= '9') {
        if (column == 1) {
            // Shown until a key or three seconds, or the browse drawn again would hide it at once.
            PORUKA("Morate se pozicionirati na REDOSLED U ZAGLAVLJU!", 0);
            return refresh();
        }
        rt::KEYBOARD({k});
        edit_position();
        return refresh();
    }
    if (k == rt::K::ENTER) {
        if (column == 1) {
            // Positions have two digits: after 99 no further number is given.
            if (a.get_num("POLJE_S") == 0 && SL_BROJ > 99) TON(1);
            else if (a.get_num("POLJE_S") == 0 && REC_LOCK(5)) {
                a.put("POLJE_S", SL_BROJ);
                a.commit();
                a.unlock();
            }
            return refresh();
        }
        // The new position changes the line layout and the next free number: computed anew.
        edit_position();
        return refresh();
    }
    if (k == 'S' || k == 's') {
        STPSPIS_KOM();
        return refresh();
    }
    return 1;
}

// ---- the print ----

void ZSTPSPIS_KOM() {
    ++STR;
    PSAY(0, 0, SAST);
    PSAY(0, 70, "Strana: " + rt::STRZERO(STR, 2));
    PSAY(1, 0, MESS);
    PSAY(3, 0, std::string("SPISAK KOMITENATA") + (SK_COND ? COND_ON : ""));
    const std::string eq(static_cast<size_t>(std::max(SK_DUZ_TXT, 0)), '=');
    PSAY(4, 0, eq);
    PSAY(5, 0, SK_ZAG);
    PSAY(6, 0, eq);
    g_row = 7;
}

void STPSPIS_KOM() {
    if (SK_REDOVA == 0) {
        // Shown until a key or three seconds, or the browse drawn again would hide it at once.
        PORUKA("Stampa spiska nije moguca.", 0);
        return;
    }
    const int back = rt::dbf::current_number();
    const rt::ScreenImage screen = rt::SAVESCREEN();

    // The register of the company choice, in code order with its name filter; opened here only
    // when the list is printed from elsewhere.
    bool own_register = false;
    int reg_area = 0;
    if (rt::dbf::alias_used("mdk_pro")) {
        rt::dbf::select("mdk_pro");
        reg_area = rt::dbf::current_number();
    } else {
        rt::dbf::select_free();
        reg_area = rt::dbf::current_number();
        if (!open_table("mdk_pro")) {
            PORUKA("Registar radnji je zauzet na drugoj radnoj stanici !", 0);
            rt::dbf::select(back);
            return;
        }
        own_register = true;
    }

    // Companies marked deleted are listed too.
    struct ShowDeleted {
        bool hidden = rt::dbf::set_deleted(false);
        ~ShowDeleted() { rt::dbf::set_deleted(hidden); }
    } show_deleted;
    EKRSTP();
    rt::dbf::select(reg_area);
    rt::dbf::WorkArea& reg = rt::dbf::current();
    STR = 0;
    ZSTPSPIS_KOM();
    long rb = 0;
    for (reg.go_top(); !reg.eof(); reg.skip(1)) {
        PSAY(g_row, 0, spis_kom_line(reg, ++rb));
        ++g_row;
        if (g_row > 60) {
            PSAY(g_row, 0, rule('-'));
            PSAY(g_row + 1, 0, "");
            ZSTPSPIS_KOM();
        }
    }
    PSAY(g_row, 0, rule('='));
    PSAY(g_row + 1, 0, COND_ON + SOFTWARE + " " + VER + COND_OFF);
    PSAY(g_row + 2, 0, "");
    report_end(159, false);

    if (own_register) rt::dbf::area(reg_area).close();
    rt::RESTSCREEN(screen);
    rt::dbf::select(back);
}

}  // namespace tor
