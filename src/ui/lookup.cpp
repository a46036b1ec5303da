// The lookup list behind the code fields: the register or document table of the field's kind in
// a box of five rows, moved through with the cursor keys, narrowed by a name search, printed with
// F2, and the code under the bar put into the field with Enter.
#include "ui/lookup.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "company/company.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/keys.h"
#include "ui/tools.h"
#include "ui/ui.h"

namespace tor {

namespace {

// Which part of mddob a list keeps: partners have codes below 9000, obligations above.
enum class Register { NONE, PARTNERS, OBLIGATIONS };

struct Layout {
    std::string alias;
    std::string za;
    std::string zag;
    std::function<std::string()> red;
    std::function<double()> code;   // the picked value
    std::string search_field;
    Register on_leave = Register::NONE;   // the filter left on the table
    Register in_search = Register::NONE;  // the codes a name search keeps
    bool expenditures = false;            // "RAS": only records with a kind (VRSTA)
};

rt::dbf::WorkArea& cur() { return rt::dbf::current(); }
std::string fs(const char* f) { return cur().get_str(f); }
double fn(const char* f) { return cur().get_num(f); }
std::string fd10(const char* f) { return rt::DTOC(cur().get_date(f)); }
std::string fd8(const char* f) { return rt::DTOC8(cur().get_date(f)); }
std::string num(const char* f, const std::string& pic) { return rt::TRANSFORM(fn(f), pic); }
std::string blanks(int n) { return std::string(static_cast<size_t>(n), ' '); }

double code_of(const char* f) { return rt::VAL(fs(f)); }

// Place, then ", " and the street when there is one, cut to 29 characters.
std::string address() {
    std::string a = rt::TRIM(fs("MESTO"));
    const std::string street = fs("ULICA");
    if (!rt::TRIM(street).empty()) a += ", " + street;
    return rt::LEFT(a, 29);
}

std::string marker(std::string_view kind) {
    if (kind == "ART_U" && cur().get_bool("USLUGA")) return " U ";
    if (kind == "PAR_0" && fs("KD") == "0") return " * ";
    return "   ";
}

// Filters are evaluated whichever work area is selected: they read their own table.
bool in_register(const rt::dbf::WorkArea* a, Register r) {
    if (r == Register::NONE) return true;
    const double c = rt::VAL(a->get_str("SIFRA"));
    return r == Register::PARTNERS ? c < 9000 : c > 9000;
}

std::optional<Layout> layout_of(const std::string& kind) {
    Layout l;
    l.search_field = "NAZIV";
    if (kind == "ART" || kind == "ART_U") {
        l.alias = "mdart";
        l.za = "DOBARA";
        if (WSIFDEL == "002" && S_ZALIHA) {
            l.zag = "Sifra  Naziv Dobra                               Zaliha  Prod.Cena";
            l.red = [kind] {
                return fs("SIFRA") + marker(kind) + fs("NAZIV") + num("POPKOL", BROJ82) + " " +
                       num("PRODCEN", BROJ) + " ";
            };
        } else {
            l.zag = "Sifra    Naziv Dobra                                JM   Prod.Cena";
            l.red = [kind] {
                return fs("SIFRA") + marker(kind) + fs("NAZIV") + blanks(3) + fs("JMERE") + " " +
                       num("PRODCEN", BROJ) + " ";
            };
        }
        l.code = [] { return code_of("SIFRA"); };
    } else if (kind == "PAR" || kind == "PAR_0") {
        l.alias = "mddob";
        l.za = "PARTNERA";
        l.zag = "Sifra  Naziv Partnera                 Adresa";
        l.red = [kind] { return fs("SIFRA") + marker(kind) + fs("NAZIV") + " " + address(); };
        l.code = [] { return code_of("SIFRA"); };
        l.on_leave = l.in_search = Register::PARTNERS;
    } else if (kind == "OBA" || kind == "OPI") {
        l.alias = "mddob";
        l.za = "OBAVEZA";
        l.zag = "Sifra  Naziv                          Tekuci racun";
        l.red = [] { return fs("SIFRA") + blanks(3) + fs("NAZIV") + " " + fs("ZIRO") + blanks(9); };
        l.code = [] { return code_of("SIFRA"); };
        if (kind == "OBA") l.on_leave = l.in_search = Register::OBLIGATIONS;
    } else if (kind == "MES") {
        l.alias = "mddob";
        l.za = "MESOVITO";
        l.zag = "Sifra  Naziv";
        l.red = [] { return fs("SIFRA") + blanks(3) + fs("NAZIV") + " " + address(); };
        l.code = [] { return code_of("SIFRA"); };
    } else if (kind == "BAN") {
        l.alias = "mdban";
        l.za = "BANAKA";
        l.zag = "Sifra Naziv Banke          Ziro racun";
        l.red = [] { return fs("SIFRA") + blanks(3) + fs("NAZIV") + " " + fs("ZIRO"); };
        l.code = [] { return code_of("SIFRA"); };
    } else if (kind == "KAL") {
        l.alias = "ukalk";
        l.za = "KALKULACIJA";
        l.zag = "Br.Kal Datum         Dobavljac                         Za Placanje";
        l.red = [] {
            return fs("BRKALK") + " " + fd10("DATKAL") + " " + fs("DOBAV") + "-" + fs("NAZDOB") + blanks(3) +
                   num("ZAPLA", BROJ) + " ";
        };
        l.code = [] { return code_of("BRKALK"); };
        l.search_field = "NAZDOB";
    } else if (kind == "ZRM") {
        l.alias = "urepro";
        l.za = "REPRO";
        l.zag = "Br.Rep DatDok        Dobavljac                         Za Placanje";
        l.red = [] {
            return fs("BRREP") + " " + fd10("DATDOK") + " " + fs("DOBAV") + "-" + fs("NAZDOB") + blanks(3) +
                   num("ZAPLA", BROJ) + " ";
        };
        l.code = [] { return code_of("BRREP"); };
        l.search_field = "NAZDOB";
    } else if (kind == "FAK") {
        l.alias = "ufakt";
        l.za = "FAKTURA";
        l.zag = "Br.Fak Datum         Kupac                             Za Placanje";
        l.red = [] {
            return fs("BRFAK") + " " + fd10("DATFAK") + " " + fs("KUPAC") + "-" + fs("NAZKUP") + blanks(3) +
                   num("ZAPLA", BROJ) + " ";
        };
        l.code = [] { return code_of("BRFAK"); };
        l.search_field = "NAZKUP";
    } else if (kind == "REP" || kind == "PRO") {
        l.alias = kind == "REP" ? "mdrep" : "mdpro";
        l.za = kind == "REP" ? "REPRO MATERIJAL" : "GOTOVIH PROIZVODA";
        l.zag = kind == "REP" ? "Sifra     Naziv Repro Materijala    J.Mere"
                              : "Sifra     Naziv Gotovog Proizvoda   J.Mere";
        l.red = [] { return fs("SIFRA") + blanks(4) + fs("NAZIV") + blanks(6) + fs("JMERE") + blanks(8); };
        l.code = [] { return code_of("SIFRA"); };
    } else if (kind == "RAS") {
        l.alias = "rashod";
        l.za = "RASHODA";
        l.zag = "Broj   Datum    Opis                          Racun           Iznos";
        l.red = [] {
            return rt::SUBSTR(fs("VRDOK"), 2) + " " + fd8("DATUM") + " " + fs("OPIS") + fs("BRDOK") + " " +
                   num("IZNOS", BROJ);
        };
        l.code = [] { return rt::VAL(rt::SUBSTR(fs("VRDOK"), 2)); };
        l.search_field = "OPIS";
        l.expenditures = true;
    } else if (kind == "ZAD") {
        l.alias = "zadkup";
        l.za = "ZADUZENJA PARTNERA";
        l.zag = "Broj   Datum    Opis                               Duguje Potrazuje";
        l.red = [] {
            return fs("BRZAD") + " " + fd8("DATDOK") + " " + fs("OPIS") + " " + num("IZNOS", BROJ) +
                   num("IZNOSP", BROJ);
        };
        l.code = [] { return code_of("BRZAD"); };
    } else if (kind == "K_M") {
        l.alias = "ukommag";
        l.za = "KOMISIONI MAGACIN";
        l.zag = "Br.Kal Datum         Dobavljac                            Dokument";
        l.red = [] {
            return fs("BRKOMMAG") + " " + fd10("DATKM") + " " + fs("KUPAC") + "-" + fs("NAZKUP") + blanks(3) +
                   fs("BRDOK") + " ";
        };
        l.code = [] { return code_of("BRKOMMAG"); };
        l.search_field = "NAZKUP";
    } else {
        return std::nullopt;  // "TAR" and anything unknown: no list
    }
    return l;
}

bool has_kind(const rt::dbf::WorkArea* a) { return !rt::EMPTY(a->get_str("VRSTA")); }

constexpr int FIRST = 5, LAST = 9;       // the list rows
constexpr int LEFT = 8, RIGHT = 76;      // the part of the rows that is cleared and scrolled
constexpr int COL = 9;
constexpr int BAR = 77;                  // the scroll bar (over the box's right border)
constexpr int CELLS = RIGHT - COL + 1;   // a row never runs into the border

class List {
public:
    List(rt::dbf::WorkArea& a, const Layout& l, std::string kind) : a_(a), l_(l), kind_(std::move(kind)) {}

    // The list until Enter or Esc; the picked value (0 on Esc).
    double run();

private:
    std::string row() const { return rt::LEFT(RED(), CELLS); }
    void clear_rows() const { rt::CLEAR_RECT(FIRST, LEFT, LAST, RIGHT); }
    void fill();
    void frame() const;
    // The filter of the list itself (no search): only expenditures with a kind for "RAS".
    void base_filter();
    void search(int key);
    void print();
    void leave_filter();

    rt::dbf::WorkArea& a_;
    const Layout& l_;
    std::string kind_;
    int p_ = FIRST;
    double y_ = 0, d_ = 0;
};

void List::frame() const {
    rt::SETCOLOR(SVETLO);
    BOXSHAD(2, 7, 12, 77, "double", " PREGLED ");
    rt::SETCOLOR(NORMAL);
    const std::string rule(67, '\xC4');
    rt::SAY(4, COL, rule);
    rt::SAY(10, COL, rule);
    rt::SAY(11, COL, "<F2>-Stampa  <F3,ABC...>-Trazi  <\x1B,\x18,\x19,\x1A,Home,End>-Kretanje");
    rt::SAY_COLOR(3, COL, ZAG, SVETLO);
}

// From the current record down to row 9 or the end of the table; the current record is the one
// on the first row afterwards.
void List::fill() {
    rt::SETCOLOR(NORMAL);
    long shown = 0;
    for (int r = FIRST; r <= LAST && !a_.eof(); ++r) {
        rt::SAY(r, COL, row());
        a_.skip();
        ++shown;
    }
    if (shown) a_.skip(-shown);
    p_ = FIRST;
}

void List::base_filter() {
    const rt::dbf::WorkArea* a = &a_;
    if (l_.expenditures) a_.set_filter([a] { return has_kind(a); }, "!empty(vrsta)");
    else a_.clear_filter();
}

void List::leave_filter() {
    const rt::dbf::WorkArea* a = &a_;
    switch (l_.on_leave) {
    case Register::PARTNERS: a_.set_filter([a] { return in_register(a, Register::PARTNERS); }, "val(sifra)<9000"); break;
    case Register::OBLIGATIONS: a_.set_filter([a] { return in_register(a, Register::OBLIGATIONS); }, "val(sifra)>9000"); break;
    case Register::NONE: a_.clear_filter(); break;
    }
}

void List::search(int key) {
    if (key != rt::K::F3) rt::KEYBOARD(std::vector<int>{key}, true);
    const rt::ScreenImage saved = rt::SAVESCREEN();
    rt::SETCOLOR(SVETLO);
    BOXSHAD(6, 25, 8, 55, FRAME_BLOCK);
    rt::SAY(7, 27, "Naziv:");
    const std::string text = GETUGET(7, 33, 20);
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(NORMAL);
    if (text == "0" || rt::ALLTRIM(text).empty()) {
        base_filter();
        if (a_.eof()) a_.go_top();
    } else {
        SKLJUC = rt::ALLTRIM(text);
        // Names are stored in any case; the typed text is in upper case.
        const std::string field = l_.search_field;
        const Register keep = l_.in_search;
        const bool expenditures = l_.expenditures;
        const rt::dbf::WorkArea* a = &a_;
        a_.set_filter(
            [a, field, keep, expenditures] {
                return rt::CONTAINS(SKLJUC, rt::UPPER(a->get_str(field))) && in_register(a, keep) &&
                       (!expenditures || has_kind(a));
            },
            "'" + SKLJUC + "' $ upper(" + rt::LOWER(field) + ")");
        a_.go_top();
        y_ = 0;
    }
    clear_rows();
    fill();
}

void List::print() {
    const bool partners = kind_ == "PAR" || kind_ == "PAR_0";
    const std::string zag = ZAG;
    const auto red = RED;
    if (partners) {
        ZAG += "                    Ziro Racun";
        RED = [red] { return red() + " " + fs("ZIRO"); };
    }
    const uint32_t rec = a_.recno();
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR();
    STAMPRE();
    rt::dbf::select(l_.alias);
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
    a_.go_to(rec);
    ZAG = zag;
    RED = red;
    clear_rows();
    fill();
}

double List::run() {
    const long count = std::max<long>(1, a_.reccount());
    d_ = 5.0 / static_cast<double>(count);
    frame();
    fill();
    for (;;) {
        rt::SETCOLOR(NORMAL);
        for (int r = FIRST; r <= LAST; ++r) rt::SAY_COLOR(r, BAR, "\xB2", SVETLO);
        rt::SAY_COLOR(FIRST + static_cast<int>(y_), BAR, "\xB1", NORMAL);
        const bool empty = a_.eof();  // a search that found nothing
        if (!empty) rt::SAY_COLOR(p_, COL, row(), INVERZ);
        rt::SETCURSOR(false);
        const int k = rt::INKEY(0);
        if (!empty) rt::SAY_COLOR(p_, COL, row(), NORMAL);
        switch (k) {
        case rt::K::DOWN:
            if (empty) {
                TON(1);
                break;
            }
            a_.skip();
            if (a_.eof()) {
                TON(1);
                a_.skip(-1);
                y_ = 4;
            } else {
                y_ = std::min(4.0, y_ + d_);
                if (++p_ > LAST) {
                    p_ = LAST;
                    rt::SCROLL(FIRST, LEFT, LAST, RIGHT, 1);
                }
            }
            break;
        case rt::K::UP:
            if (empty) {
                TON(1);
                break;
            }
            a_.skip(-1);
            if (a_.bof()) {
                TON(1);
                y_ = 0;
            } else {
                y_ = std::max(0.0, y_ - d_);
                if (--p_ < FIRST) {
                    p_ = FIRST;
                    rt::SCROLL(FIRST, LEFT, LAST, RIGHT, -1);
                }
            }
            break;
        case rt::K::HOME:
            a_.go_top();
            y_ = 0;
            clear_rows();
            fill();
            break;
        case rt::K::END:
            a_.go_bottom();
            y_ = 4;
            clear_rows();
            fill();
            break;
        case rt::K::PGUP:
            a_.skip(-5);
            y_ = std::max(0.0, y_ - 5 * d_);
            clear_rows();
            fill();
            break;
        case rt::K::PGDN:
            a_.skip(5);
            if (a_.eof()) a_.go_bottom();  // past the end: the last record, never an empty list
            y_ = std::min(4.0, y_ + 5 * d_);
            clear_rows();
            fill();
            break;
        case rt::K::F1:
            HELP();
            break;
        case rt::K::F2:
            print();
            break;
        case rt::K::ESC:
        case rt::K::ENTER: {
            const double v = (k == rt::K::ENTER && !a_.eof()) ? l_.code() : 0;
            leave_filter();
            if (l_.expenditures) a_.set_order(2);
            return v;
        }
        case rt::K::SPACE:
            if (!l_.expenditures) {
                TON(1);
                break;
            }
            a_.set_order(a_.order() == 1 ? 2 : 1);
            PORUKA(a_.order() == 1 ? "Redosled po DATUMU." : "Redosled po BROJU.", 0);
            clear_rows();
            fill();
            break;
        case rt::K::PLUS:
            KALL();
            break;
        case rt::K::CTRL_INS:
            VO_SAVE_SCREEN();
            break;
        case rt::K::CTRL_HOME:
            VO_REST_SCREEN();
            break;
        default:
            if (k == rt::K::F3 || (k >= 48 && k <= 122)) search(k);
            else TON(1);
            break;
        }
    }
}

}  // namespace

bool PREGLED(std::string_view kind_text) {
    if (rt::LASTKEY() != rt::K::CTRL_ENTER && !PRESED_CENT) {
        rt::SETCURSOR(true);
        return true;
    }
    PRESED_CENT = false;
    const std::string kind = rt::UPPER(kind_text);
    const std::optional<Layout> layout = layout_of(kind);
    if (!layout) {
        rt::SETCURSOR(true);
        return true;
    }
    if (!rt::dbf::alias_used(layout->alias)) {
        GRESKA("Nema podataka u aktuelnoj bazi !");
        return false;
    }

    // The caller's work area is selected again however the list ends.
    struct Selection {
        int area = rt::dbf::current_number();
        ~Selection() { rt::dbf::select(area); }
    } selection;
    rt::dbf::select(layout->alias);
    rt::dbf::WorkArea& a = rt::dbf::current();
    ZA = layout->za;
    ZAG = layout->zag;
    RED = layout->red;
    if (layout->expenditures) {
        const rt::dbf::WorkArea* pa = &a;
        a.set_filter([pa] { return has_kind(pa); }, "!empty(vrsta)");
        if (!a.eof() && !has_kind(pa)) a.go_top();
    }
    if (a.eof()) a.go_top();  // after a code that was not found: the list from the top
    if (a.eof()) {
        GRESKA("Nema podataka u aktuelnoj bazi !");
        return false;
    }

    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR();
    List list(a, *layout, kind);
    const double value = list.run();
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
    rt::SETCURSOR(true);
    PREGLED_VALUE = value;
    if (rt::Get* g = rt::active_get()) g->assign(value);
    return false;
}

}  // namespace tor
