// The company choice: a short scrolling list of the register "mdk_pro" with a detail panel of
// the company under the bar, searches by code and by name, the profile menu, and the entry into
// a company.
#include <algorithm>
#include <string>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/menu.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/tools.h"
#include "ui/ui.h"

namespace tor {

namespace {

constexpr int LIST_TOP = 3;
constexpr int LIST_BOTTOM = 7;
constexpr int LIST_ROWS = LIST_BOTTOM - LIST_TOP + 1;

// The register's work area while the choice runs: the area number, so that a procedure that
// selects other areas cannot make the list read the wrong table.
class Register {
public:
    explicit Register(int area) : area_(area) {}
    rt::dbf::WorkArea& a() const { return rt::dbf::area(area_); }
    void select() const { rt::dbf::select(area_); }

    std::string code() const { return a().get_str("SIFRA_PRO"); }
    // No company under the bar: an empty register (or the end of it) or a record without a code.
    bool no_company() const { return a().eof() || rt::EMPTY(code()); }
    // The record KO_JE, the top of the register when it is 0 or no longer there.
    void to_ko_je() const {
        if (KO_JE > 0 && static_cast<uint32_t>(KO_JE) <= a().reccount()) a().go_to(static_cast<uint32_t>(KO_JE));
        else a().go_top();
    }
    long here() const { return a().eof() ? 0 : static_cast<long>(a().recno()); }
    // A list row: the code ("XXX" for a company marked deleted), a blank, the short name.
    std::string row_text() const {
        if (a().eof()) return rt::SPACE(24);
        return (a().deleted() ? std::string("XXX") : code()) + " " + a().get_str("FRNAZIVSKR");
    }

private:
    int area_;
};

void key_help() {
    rt::CLEAR_RECT(3, 3, 7, 28);
    rt::CLEAR_RECT(3, 35, 7, 75);
    rt::SAY(3, 36, "Esc - Izlaz iz programa");
    rt::SAY(4, 36, "Enter - Ulaz u odabranu radnju");
    rt::SAY(5, 36, "Ins - Unos/Izmena podataka o radnji");
    rt::SAY(6, 36, "\x19\x18,PgUp,PgDn,Home,End - Kretanje/odabir");
    rt::SAY(7, 36, "0..9,A,B,C... - Pretraga radnji");
}

// The detail panel from row 17 down: one framed row per non-empty line of the current company.
void detail_panel(const Register& reg) {
    struct Line {
        std::string text;
        bool note;
    };
    std::vector<Line> lines;
    if (!reg.a().eof()) {
        const std::vector<std::string> all = company_detail_lines();
        for (size_t i = 0; i < all.size(); ++i)
            if (!all[i].empty()) lines.push_back({all[i], i + 1 == all.size()});
    }
    int w = 24;
    for (const Line& l : lines) w = std::max(w, static_cast<int>(l.text.size()));
    w = std::min(w, 78);
    const std::string bar = rt::REPLICATE("\xCD", w);
    if (lines.empty()) {
        rt::SAY(17, 14, bar + "\xCD\xCD");
        return;
    }
    rt::SAY(17, 0, "\xC9" + bar + "\xBB");
    int row = 18;
    const rt::Attr bright = rt::parse_color(SVETLO).standard;
    const rt::Attr normal = rt::current_color().standard;
    for (size_t i = 0; i < lines.size() && row < rt::ROWS; ++i, ++row) {
        rt::CLEAR_RECT(row, 0, row, w + 1);
        rt::SAY(row, 0, "\xBA");
        rt::SAY(row, w + 1, "\xBA");
        rt::SAY(row, 1, rt::LEFT(lines[i].text, w), lines[i].note ? bright : normal);
    }
    if (row < rt::ROWS) rt::SAY(row, 0, "\xC8" + bar + "\xBC");
}

// The profile menu (Ins). True: the list is drawn again from KO_JE (outer round).
bool profile_menu(const Register& reg) {
    rt::dbf::WorkArea& a = reg.a();
    const rt::ScreenImage screen = rt::SAVESCREEN();
    a.clear_filter();
    WSIFRA = reg.code();
    rt::CLEAR_RECT(3, 35, 7, 75);
    rt::SAY(3, 36, "OPCIJE:");
    rt::PROMPT(4, 36, rt::PADR("1.Osnovni Podaci", 39));
    rt::PROMPT(5, 36, rt::PADR("2.Podaci o Vlasniku", 39));
    rt::PROMPT(6, 36, rt::PADR("3.Podaci o Radnji", 39));
    rt::PROMPT(7, 36, rt::PADR("4.Programska Podesavanja", 39));
    const int choice = rt::MENU_TO(1);
    if (choice == 0) {
        rt::RESTSCREEN(screen);
        return false;
    }
    switch (choice) {
    case 1:
        INS_OP();
        reg.select();
        if (!a.seek(WSIFRA)) {
            // Left without saving a new company: back where the list was.
            reg.to_ko_je();
            rt::RESTSCREEN(screen);
            return false;
        }
        break;
    case 2:
    case 3:
        // The owner and business screens edit an existing company only.
        if (reg.no_company()) {
            rt::RESTSCREEN(screen);
            return false;
        }
        if (choice == 2) INS_POV();
        else INS_POR();
        reg.select();
        break;
    case 4:
        if (PROGRAM_SETTINGS) {
            // The settings screen may close the tables it finds open: it works in its own areas.
            rt::dbf::AreaScope scope;
            PROGRAM_SETTINGS();
        }
        reg.select();
        break;
    }
    if (!reg.no_company()) AZURMDK();
    reg.select();
    rt::RESTSCREEN(screen);
    a.seek(WSIFRA);
    KO_JE = reg.here();
    return true;
}

// The code search ("1"-"9"). True: outer round.
bool code_search(const Register& reg, int key) {
    rt::dbf::WorkArea& a = reg.a();
    rt::KEYBOARD({key});
    const rt::ScreenImage screen = rt::SAVESCREEN();
    rt::SETCOLOR(SVETLO);
    BOXSHAD(4, 37, 6, 53, FRAME_BLOCK);
    rt::SAY(5, 39, "Sifra:");
    rt::SETCOLOR(NORMAL);
    const std::string text = GETUGET(5, 45, 4);
    if (text == "0") {
        rt::RESTSCREEN(screen);
        return false;
    }
    rt::SAY_COLOR(5, 39, "Trazim", SBLINK);
    a.clear_filter();
    const uint32_t before = a.recno();
    if (!a.seek(rt::STRZERO(rt::VAL(text), 3))) {
        a.go_to(before);
        GRESKA("Nepostoji trazena Sifra !");
    } else {
        KO_JE = reg.here();
        rt::KEYBOARD({rt::K::ENTER});
    }
    return true;
}

// The name search (a letter). True: outer round.
bool name_search(const Register& reg, int key) {
    rt::dbf::WorkArea& a = reg.a();
    rt::KEYBOARD({key});
    const rt::ScreenImage screen = rt::SAVESCREEN();
    rt::SETCOLOR(SVETLO);
    BOXSHAD(4, 37, 6, 67, FRAME_BLOCK);
    rt::SAY(5, 39, "Naziv:");
    rt::SETCOLOR(NORMAL);
    const std::string text = GETUGET(5, 45, 20);
    if (text == "0" || rt::EMPTY(text)) {
        rt::RESTSCREEN(screen);
        return false;
    }
    rt::SAY_COLOR(5, 39, "Trazim", SBLINK);
    const std::string wanted = rt::ALLTRIM(text);
    const uint32_t before = a.recno();
    rt::dbf::WorkArea* area = &a;
    a.set_filter([area, wanted] { return rt::CONTAINS(wanted, rt::UPPER(area->get_str("FRNAZIVSKR"))); },
                 "'" + wanted + "' $ UPPER(FRNAZIVSKR)");
    a.go_top();
    if (a.eof()) {
        a.clear_filter();
        a.go_to(before);
        GRESKA("Nepostoji trazeni Naziv !");
    } else {
        KO_JE = reg.here();
    }
    return true;
}

// Entering the company under the bar. True when it was entered.
bool enter_company(const Register& reg) {
    rt::dbf::WorkArea& a = reg.a();
    if (!a.eof() && a.deleted()) {
        PORUKA("Komitent je oznacen za brisanje !?");
        return false;
    }
    if (reg.no_company()) return false;
    company_vars();
    KO_JE = reg.here();
    const std::string code = rt::ALLTRIM(WSIFKOM);
    const std::string dir = OSNDIR + code + "/";
    if (!rt::os::exists(dir + "mdart.dbf")) rt::os::make_dir(OSNDIR + code);
    if (S_INDEX) BRISIF(dir, "*.ntx");
    return true;
}

// Opens the register; while another workstation holds it exclusively the user is told and may
// leave the program.
int open_register() {
    for (;;) {
        rt::dbf::select_free();
        if (open_table("mdk_pro")) return rt::dbf::current_number();
        PORUKA("Registar radnji je zauzet na drugoj radnoj stanici !", 2);
        if (rt::LASTKEY() == rt::K::ESC) KRAJ();
    }
}

}  // namespace

std::string KOMIT() {
    rt::ProcScope proc("KOMIT");
    // Companies marked deleted are shown (as "XXX") while the choice runs.
    struct Guard {
        bool hidden = rt::dbf::set_deleted(false);
        ~Guard() {
            rt::dbf::close_all();
            rt::dbf::set_deleted(hidden);
        }
    } guard;

    rt::SETCOLOR(NORMAL);
    BOXSHAD(2, 2, 8, 29, "");
    BOXSHAD(2, 34, 8, 76);
    const Register reg(open_register());
    rt::dbf::WorkArea& a = reg.a();
    rt::SETCURSOR(false);

    for (;;) {  // outer round: the list drawn from KO_JE
        rt::SETCOLOR(NORMAL);
        rt::SETCURSOR(false);
        reg.select();
        key_help();
        reg.to_ko_je();
        if (reg.no_company()) rt::KEYBOARD({rt::K::INS});
        for (int i = 0; i < LIST_ROWS && !a.eof(); ++i) {
            rt::SAY(LIST_TOP + i, 4, reg.row_text());
            a.skip(1);
        }
        reg.to_ko_je();
        int r = LIST_TOP;
        const rt::ScreenImage below = rt::SAVESCREEN(17, 0, 24, 79);

        bool outer = false;
        while (!outer) {  // inner round: the bar on row r
            detail_panel(reg);
            rt::SAY_COLOR(r, 4, reg.row_text(), INVERZ);
            const int k = rt::INKEY(0);
            rt::RESTSCREEN(below);
            rt::SAY(r, 4, reg.row_text());
            if (reg.no_company()) rt::KEYBOARD({rt::K::INS});

            switch (k) {
            case rt::K::DOWN:
                a.skip(1);
                ++r;
                if (a.eof()) {
                    TON(1);
                    a.skip(-1);
                    --r;
                }
                if (r > LIST_BOTTOM) {
                    r = LIST_BOTTOM;
                    rt::SCROLL(LIST_TOP, 3, LIST_BOTTOM, 27, 1);
                }
                break;
            case rt::K::UP:
                a.skip(-1);
                --r;
                if (a.bof()) {
                    TON(1);
                    ++r;
                }
                if (r < LIST_TOP) {
                    r = LIST_TOP;
                    rt::SCROLL(LIST_TOP, 3, LIST_BOTTOM, 27, -1);
                }
                break;
            case rt::K::INS:
                outer = profile_menu(reg);
                break;
            case rt::K::TAB:
                rt::dbf::set_deleted(true);
                MESSAGE();
                rt::dbf::set_deleted(false);
                reg.select();
                break;
            case rt::K::F1:
                HELP();
                reg.select();
                break;
            case rt::K::PLUS: KALL(); break;
            case rt::K::ALT_D: KALENDAR(); break;
            case rt::K::CTRL_INS: VO_SAVE_SCREEN(); break;
            case rt::K::CTRL_HOME: VO_REST_SCREEN(); break;
            case rt::K::F2:
                KO_JE = reg.here();
                SPIS_KOM();
                reg.select();
                outer = true;
                break;
            case rt::K::F3:
                a.clear_filter();
                PORUKA("Sredjujem sifre !");
                outer = true;
                break;
            case rt::K::HOME:
                KO_JE = 0;
                outer = true;
                break;
            case rt::K::END:
                a.go_bottom();
                KO_JE = reg.here();
                outer = true;
                break;
            case rt::K::PGUP:
                a.skip(-4);
                KO_JE = reg.here();
                outer = true;
                break;
            case rt::K::PGDN:
                a.skip(4);
                if (a.eof()) a.go_bottom();
                KO_JE = reg.here();
                outer = true;
                break;
            case rt::K::ESC:
                KRAJ();  // leaves the program on "Da"
                reg.select();
                break;
            case rt::K::ENTER:
                if (enter_company(reg)) {
                    rt::dbf::close_all();
                    return WNAZKOM;
                }
                break;
            default:
                if (k >= '1' && k <= '9') outer = code_search(reg, k);
                else if (k >= 65 && k <= 122) outer = name_search(reg, k);
                else TON(1);
                break;
            }
        }
    }
}

}  // namespace tor
