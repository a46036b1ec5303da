// The costing screen: the number prompt with its proposal, the header of a new costing, the action
// menu of an existing one with its deletion, and the menu at the end of item entry. The four
// variants (ordinary, buy-off, cost, representation) share the screen; the menu sets their flags.
#include <algorithm>
#include <string>
#include <vector>

#include "calc/pricing.h"
#include "cards/cards.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "inbound/inbound.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/input/menu.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"
#include "ui/ui.h"

namespace tor {

namespace {

const std::string AMOUNT = "9" + BROJ;   // amount to pay and the control total

// What the screen does after a costing has been dealt with.
enum class Next { PROMPT, LEAVE };

rt::dbf::WorkArea& area(const char* alias) {
    rt::dbf::select(alias);
    return rt::dbf::current();
}

// The form KR-1 of a commission company returns goods: its costings carry negative numbers.
bool kr1() { return WSIFDEL == "005" && KALK_FORM == 2 && !WOTKUP && !KAL_TROS && !KAL_REPR; }

// Input VAT is split into the lower and the general rate (never on a buy-off costing).
bool split_vat() { return S_RAZPRENPDV && !WOTKUP; }

bool supplier_is_filtered(const rt::dbf::WorkArea* a) { return rt::VAL(a->get_str("SIFRA")) < 9000; }

// "ukalk", "kalk", "mdart" and "mddob" (suppliers only), shared, with their indexes.
bool open_tables() {
    for (const char* t : {"kalk", "ukalk", "mdart", "mddob"}) {
        if (rt::dbf::alias_used(t)) continue;
        rt::dbf::select_free();
        if (!open_table(t)) {
            rt::dbf::close_all();
            return false;
        }
    }
    rt::dbf::WorkArea& d = area("mddob");
    const rt::dbf::WorkArea* pd = &d;
    d.set_filter([pd] { return supplier_is_filtered(pd); }, "val(sifra)<9000");
    rt::dbf::select("ukalk");
    return true;
}

void show_konzapl(double konzapl) { rt::SAY(10, 61, "(" + rt::TRANSFORM(konzapl, AMOUNT) + ")"); }

std::string supplier_line(const std::string& naziv, const std::string& mesto) {
    return rt::PADR(rt::TRIM(naziv) + ", " + rt::TRIM(mesto), 42);
}

// ---- the number ----

// The next number in number order; for form KR-1 the next negative one. The date of the last
// costing comes with it.
double proposed_number(rt::Date& datkal) {
    rt::dbf::WorkArea& u = area("ukalk");
    u.set_order(1);
    u.go_bottom();
    datkal = u.eof() || u.get_date("DATKAL").empty() ? DDAN : u.get_date("DATKAL");
    // Only returns of goods (form KR-1) stored so far would make the next ordinary number 0 or
    // negative: ordinary costings start at 1.
    if (!kr1()) return u.eof() ? 1 : std::max(1.0, rt::VAL(u.get_str("BRKALK")) + 1);
    // Negative numbers ("-00003") sort before every positive one: the last of them is the
    // largest in magnitude, and it lies just before the first number from "0" on.
    if (u.seek(std::string("0"), true)) {
        u.skip(-1);
    } else if (u.eof()) {
        u.go_bottom();
    } else {
        u.skip(-1);
    }
    for (; !u.bof() && !u.eof(); u.skip(-1))
        if (rt::LEFT(u.get_str("BRKALK"), 1) == "-") return rt::VAL(u.get_str("BRKALK")) - 1;
    return -1;
}

// The running number of the buy-off receipts: one more than the largest of the buy-off costings.
double next_buyoff_document() {
    rt::dbf::WorkArea& u = area("ukalk");
    const uint32_t rec = u.recno();
    double top = 0;
    for (u.go_top(); !u.eof(); u.skip())
        if (u.get_bool("OTKUP")) top = std::max(top, rt::VAL(u.get_str("BRDOK")));
    u.go_to(rec);
    return top + 1;
}

void draw_screen() {
    rt::SETCOLOR(NORMAL);
    rt::RESTSCREEN(OSEK);
    rt::RESTSCREEN(1, 5, KOM_FLEKA);
    rt::CLEAR_RECT(2, 0, 10, 79);
    rt::SAY(3, 7, "Broj Kalkulacije");
    rt::SAY(3, 31, "Datum Kalkulacije");
    rt::SAY(5, 7, "Sifra Dobavljaca");
    rt::SAY(7, 7, WOTKUP ? "Otkup" : "Racun");
    rt::SAY(7, 25, std::string("Datum ") + (WOTKUP ? "Otkupa" : "Racuna"));
    rt::SAY(7, 50, "Valuta");
    if (split_vat()) {
        rt::SAY(9, 7, "PDV PS");
        rt::SAY(9, 30, "PDV OS");
    } else {
        rt::SAY_COLOR(9, 6, "(Alt+R ulazni PDV po stopi)", "w/b");
        rt::SAY(9, 34, "PDV");
    }
    rt::SAY(9, 50, "Za placanje");
}

// ---- the header record ----

// The memory variables from the header record under the "ukalk" pointer; the supplier's VAT
// number from the register.
void load_header(CostingScreen& s) {
    const rt::dbf::WorkArea& u = area("ukalk");
    s.WDATKAL = u.get_date("DATKAL");
    s.WDOBAV = rt::VAL(u.get_str("DOBAV"));
    s.WNAZDOB = u.get_str("NAZDOB");
    s.WMESDOB = u.get_str("MESDOB");
    s.WBRDOK = u.get_str("BRDOK");
    s.WDATDOK = u.get_date("DATDOK");
    s.WDATVAL = u.get_date("DATVAL");
    s.h.WTROSAK = u.get_num("TROSAK");
    s.h.WPDV = u.get_num("PDV");
    s.h.WPDVPS = u.get_num("PDV8");
    s.h.WPDVOS = u.get_num("PDV18");
    s.h.WZAPLA = u.get_num("ZAPLA");
    const std::string dobav = u.get_str("DOBAV");
    rt::dbf::WorkArea& d = area("mddob");
    s.WPEPDVDOB = d.seek(dobav) ? d.get_str("PEPDV") : std::string();
    rt::dbf::select("ukalk");
}

// The header fields of the record under the "ukalk" pointer (locked by the caller).
void write_header(const CostingScreen& s) {
    rt::dbf::WorkArea& u = area("ukalk");
    const bool split = split_vat();
    u.put("BRKALK", s.h.WBRKALK);
    u.put("DOBAV", rt::STRZERO(s.WDOBAV, 4));
    u.put("NAZDOB", s.WNAZDOB);
    u.put("MESDOB", s.WMESDOB);
    u.put("BRDOK", s.WBRDOK);
    u.put("DATDOK", s.WDATDOK);
    u.put("DATKAL", s.WDATKAL);
    u.put("TROSAK", s.h.WTROSAK);
    u.put("PDV", split ? s.h.WPDVPS + s.h.WPDVOS : s.h.WPDV);
    u.put("PDV8", split ? s.h.WPDVPS : 0.0);
    u.put("PDV18", split ? s.h.WPDVOS : s.h.WPDV);
    u.put("ZAPLA", s.h.WZAPLA);
    u.put("DATVAL", s.WDATVAL);
    u.put("OTKUP", WOTKUP);
    u.commit();
}

// ---- header inputs shared by a new costing and the change of one ----

// The costing date under the closed-period guard; false on Esc.
bool date_input(CostingScreen& s) {
    rt::GetList gl;
    rt::GET(gl, rt::get(3, 49, s.WDATKAL).valid([&] { return LASTPDVDATE(s.WDATKAL); }).name("WDATKAL"));
    rt::READ(gl);
    return rt::LASTKEY() != rt::K::ESC;
}

// The supplier: a partner of the register, shown with its place; a buy-off costing takes only a
// supplier who is not a VAT payer. False on Esc.
bool supplier_input(CostingScreen& s) {
    for (;;) {
        if (!partner_code_field(5, 24, s.WDOBAV)) return false;
        const rt::dbf::WorkArea& d = rt::dbf::area("mddob");
        const std::string pepdv = d.get_str("PEPDV");
        if (WOTKUP && !rt::EMPTY(pepdv)) {
            PORUKA("Kalkulacija po Otkupu se radi samo kad dobavljac NIJE PDV obveznik!", 2);
            continue;
        }
        s.WNAZDOB = d.get_str("NAZIV");
        s.WMESDOB = d.get_str("MESTO");
        s.WPEPDVDOB = pepdv;
        rt::SAY(5, 32, supplier_line(s.WNAZDOB, s.WMESDOB));
        rt::dbf::select("ukalk");
        return true;
    }
}

// Input VAT is asked only of a VAT-paying company for a supplier who charges it; goods taken out
// for own use or for hospitality carry none.
bool asks_input_vat(const CostingScreen& s) {
    return !rt::EMPTY(s.WPEPDVDOB) && WPDVKOM && !KAL_TROS && !KAL_REPR;
}

// Document number, its date, the due date, input VAT and the amount to pay; false on Esc.
bool amounts_input(CostingScreen& s) {
    s.WBRDOK = rt::PADR(s.WBRDOK, 10);
    rt::GetList gl;
    rt::GET(gl, rt::get(7, 13, s.WBRDOK, "@!K").name("WBRDOK"));
    rt::GET(gl, rt::get(7, 38, s.WDATDOK).name("WDATDOK"));
    rt::GET(gl, rt::get(7, 57, s.WDATVAL).name("WDATVAL"));
    if (asks_input_vat(s)) {
        if (split_vat()) {
            rt::GET(gl, rt::get(9, 14, s.h.WPDVPS, BROJ).name("WPDVPS"));
            rt::GET(gl, rt::get(9, 38, s.h.WPDVOS, BROJ).name("WPDVOS"));
        } else {
            rt::GET(gl, rt::get(9, 38, s.h.WPDV, BROJ).name("WPDV"));
        }
    }
    rt::GET(gl, rt::get(9, 62, s.h.WZAPLA, AMOUNT).name("WZAPLA"));
    rt::READ(gl);
    if (rt::LASTKEY() == rt::K::ESC) return false;
    if (split_vat()) s.h.WPDV = s.h.WPDVPS + s.h.WPDVOS;
    if (s.h.WTROSAK != 0) PORUKA("Nije preporucljivo unositi Trosak!", 2);
    return true;
}

// ---- a new costing ----

// The header of a new costing, up to its record; PROMPT: back to the number prompt (the number
// was taken and no other wanted, or the record could not be stored), LEAVE: Esc.
Next new_header(CostingScreen& s, bool& stored) {
    stored = false;
    s.h.NASTAVAK = false;
    s.WDOBAV = 0;
    s.WBRDOK = WOTKUP ? rt::STR(next_buyoff_document(), 10) : rt::STR(rt::VAL(s.h.WBRKALK), 10);
    s.WDATDOK = s.WDATVAL = DDAN;
    s.h.WTROSAK = s.h.WPDV = s.h.WPDVPS = s.h.WPDVOS = s.h.WZAPLA = 0;

    if (!date_input(s)) return Next::LEAVE;
    if (!supplier_input(s)) return Next::LEAVE;
    s.WDATDOK = s.WDATVAL = s.WDATKAL;
    if (!amounts_input(s)) return Next::LEAVE;

    rt::dbf::WorkArea& u = area("ukalk");
    u.set_order(1);
    for (;;) {
        KeyedAdd added = KeyedAdd::FOUND;
        if (!u.seek(s.h.WBRKALK)) {
            const std::string number = s.h.WBRKALK;
            added = ADD_REC_KEY(number, [&] { u.put("BRKALK", number); });
        }
        if (added == KeyedAdd::FAILED) {
            PORUKA(NOT_SAVED, 2);
            return Next::PROMPT;
        }
        if (added == KeyedAdd::ADDED) break;
        // Another workstation has stored this number since it was proposed.
        PORUKA("Broj Kalkulacije " + s.h.WBRKALK + " je vec zauzeo drugi operater!", 2);
        if (!PITANJE("Zelite li prvi sledeci slobodan broj (D/N)?", 2)) return Next::PROMPT;
        rt::Date ignored;
        const double next = proposed_number(ignored);
        s.h.WBRKALK = rt::STRZERO(next, 6);
        rt::SAY(3, 24, rt::TRANSFORM(next, "999999"));
        u.set_order(1);
    }
    write_header(s);
    u.unlock();
    stored = true;
    return Next::PROMPT;
}

// ---- the end of item entry ----

Next end_of_entry(const CostingScreen& s) {
    rt::dbf::close_all();
    const int choice = ACTION_ROW(10, 22, 57, {{24, " KRAJ "}, {30, " STAMPA "}, {38, " IZMENA "}, {46, " NASTAVAK "}});
    switch (choice) {
    case 2:
        STPKALK(s.h.WBRKALK);
        rt::dbf::close_all();
        return Next::PROMPT;
    case 3:
    case 4:
        // The same costing reopens at the number prompt and takes the chosen action.
        rt::KEYBOARD(s.h.WBRKALK + "\r" + (choice == 3 ? "I" : "N"));
        return Next::PROMPT;
    default:
        return Next::LEAVE;
    }
}

// ---- an existing costing ----

// Control total and selling value over the stored items.
void sum_items(CostingScreen& s) {
    const rt::ScreenImage under = rt::SAVESCREEN();
    BOXSHAD(10, 23, 12, 59);
    rt::SAY(11, 25, "Sumiram Kalkulaciju. Sacekajte...");
    s.h.KONZAPL = s.h.WTROSAK + s.h.WPDV;
    s.KONOTP = 0;
    rt::dbf::WorkArea& k = area("kalk");
    k.set_order(1);
    for (k.seek(s.h.WBRKALK); !k.eof() && k.get_str("BRKALK") == s.h.WBRKALK; k.skip()) {
        s.h.KONZAPL += k.get_num("KOLICINA") * k.get_num("FAKCEN");
        s.KONOTP += k.get_num("KOLICINA") * k.get_num("PRODCEN");
    }
    rt::RESTSCREEN(under);
    rt::dbf::select("ukalk");
}

void show_header(const CostingScreen& s) {
    const rt::dbf::WorkArea& u = rt::dbf::area("ukalk");
    rt::SAY(3, 49, rt::DTOC(s.WDATKAL));
    rt::SAY(5, 24, u.get_str("DOBAV"));
    rt::SAY(5, 32, supplier_line(s.WNAZDOB, s.WMESDOB));
    rt::SAY(7, 13, s.WBRDOK);
    rt::SAY(7, 38, rt::DTOC(s.WDATDOK));
    rt::SAY(7, 57, rt::DTOC(s.WDATVAL));
    if (split_vat()) {
        rt::SAY(9, 14, rt::TRANSFORM(s.h.WPDVPS, BROJ));
        rt::SAY(9, 38, rt::TRANSFORM(s.h.WPDVOS, BROJ));
    } else {
        rt::SAY(9, 38, rt::TRANSFORM(s.h.WPDV, BROJ));
    }
    rt::SAY(9, 62, rt::TRANSFORM(s.h.WZAPLA, AMOUNT));
}

// Every record of the key in the area's index of that order.
void delete_keyed(rt::dbf::WorkArea& a, int order, const std::string& key) {
    a.set_order(order);
    while (a.seek(key)) a.delete_record();
    a.commit();
}

// The header, the items and the postings of the costing's print go together: all four tables
// are locked first, and nothing is deleted unless every lock was obtained.
void delete_costing(const std::string& number) {
    rt::dbf::select_free();
    const bool rashod = open_table("rashod");
    if (!rashod) rt::dbf::current().close();
    rt::dbf::select_free();
    const bool tknjiga = open_table("tknjiga");
    if (!tknjiga) rt::dbf::current().close();
    std::vector<const char*> tables = {"ukalk", "kalk"};
    if (rashod) tables.push_back("rashod");
    if (tknjiga) tables.push_back("tknjiga");

    bool locked = rashod && tknjiga;
    std::vector<const char*> held;
    for (const char* t : tables) {
        if (!locked) break;
        rt::dbf::select(t);
        if (!FIL_LOCK()) locked = false;
        else held.push_back(t);
    }
    if (locked) {
        const std::string posting = costing_posting_key(number);
        delete_keyed(area("ukalk"), 1, number);
        delete_keyed(area("kalk"), 1, number);
        delete_keyed(area("rashod"), 2, posting);
        delete_keyed(area("tknjiga"), 2, posting);
    }
    for (const char* t : held) area(t).unlock();
    if (!locked) PORUKA(NOT_SAVED, 2);
}

Next existing_costing(CostingScreen& s) {
    load_header(s);
    sum_items(s);
    show_konzapl(s.h.KONZAPL);
    show_header(s);

    const bool negative = s.h.KONZAPL < 0 || s.KONOTP < 0;
    std::vector<std::pair<int, std::string>> prompts{{12, " KRAJ "},     {18, " NASTAVAK "}, {28, " IZMENA "},
                                                     {36, " STAMPA "},   {44, " BRISANJE "}, {54, " PRENOS "}};
    if (negative) prompts.emplace_back(62, " OTP ");
    const int IZK = ACTION_ROW(10, 10, negative ? 68 : 63, prompts);

    switch (IZK) {
    case 2:
        s.h.NASTAVAK = true;
        costing_items(s);
        return end_of_entry(s);
    case 3:
        s.h.GD_IZMENA = false;
        IKALKULACIJE(s);
        break;
    case 4:
        rt::dbf::close_all();
        STPKALK(s.h.WBRKALK);
        break;
    case 5:
        if (PITANJE("Sigurno Brisete (D/N) ?", 2)) {
            PORUKA("Brisanje u toku....");
            delete_costing(s.h.WBRKALK);
        }
        break;
    case 6:
        rt::dbf::close_all();
        PRENOSKALK(s.h.WBRKALK, negative);
        break;
    case 7:
        rt::dbf::close_all();
        STPOTP(s.h.WBRKALK);
        break;
    default:
        break;
    }
    rt::dbf::close_all();
    return Next::LEAVE;
}

// One pass of the number prompt: the costing of the number typed, new or stored.
Next one_costing() {
    if (!open_tables()) return Next::LEAVE;
    CostingScreen s;
    double number = proposed_number(s.WDATKAL);
    draw_screen();

    rt::GetList gl;
    rt::GET(gl, rt::get(3, 24, number, "999999").valid([] { return PREGLED("KAL"); }).name("WBRKALK"));
    rt::dbf::select("ukalk");
    rt::READ(gl);
    if (rt::LASTKEY() == rt::K::ESC || number == 0) return Next::LEAVE;
    if (kr1() && number > 0) {
        PORUKA("Broj Kalkulacije kojom se formira Obrazac KR-1 mora biti NEGATIVAN broj!", 2);
        return Next::LEAVE;
    }

    s.h.WBRKALK = rt::STRZERO(number, 6);
    s.it.ZBIRNIRABAT = s.it.PITAO_RABAT = false;
    rt::dbf::WorkArea& u = area("ukalk");
    u.set_order(1);
    if (u.seek(s.h.WBRKALK)) {
        if (rt::EMPTY(u.get_str("DOBAV"))) {
            PORUKA("Odabrani dokument je Zaduzenje Gotovog Proizvoda!", 2);
            return Next::PROMPT;
        }
        const bool otkup = u.get_bool("OTKUP");
        if (WOTKUP && !otkup) {
            PORUKA("Odabrani dokument NIJE Otkup!", 2);
            return Next::LEAVE;
        }
        if (!WOTKUP && otkup) {
            PORUKA("Odabrani dokument je Otkup!", 2);
            return Next::LEAVE;
        }
        return existing_costing(s);
    }

    bool stored = false;
    const Next after = new_header(s, stored);
    if (!stored) return after;
    s.h.KONZAPL = s.h.WTROSAK + (split_vat() ? s.h.WPDVPS + s.h.WPDVOS : s.h.WPDV);
    costing_items(s);
    return end_of_entry(s);
}

}  // namespace

void KALKULACIJE() {
    rt::ProcScope scope("KALKULACIJE");
    if (S_ZALIHA && S_RACZAL) recount_stock_on_entry();
    while (one_costing() == Next::PROMPT) rt::dbf::close_all();
    rt::dbf::close_all();
}

bool costing_header_edit(CostingScreen& s) {
    rt::dbf::WorkArea& u = area("ukalk");
    u.set_order(1);
    if (!u.seek(s.h.WBRKALK)) return false;
    load_header(s);
    if (!date_input(s)) return false;
    if (!supplier_input(s)) return false;

    const double konzapl = s.h.KONZAPL;
    s.h.KONZAPL -= s.h.WTROSAK + s.h.WPDV;
    if (!amounts_input(s)) {
        s.h.KONZAPL = konzapl;
        return false;
    }
    s.h.KONZAPL += s.h.WTROSAK + s.h.WPDV;
    show_konzapl(s.h.KONZAPL);

    rt::dbf::select("ukalk");
    if (!u.seek(s.h.WBRKALK) || !REC_LOCK()) {
        PORUKA(NOT_SAVED, 2);
        return false;
    }
    write_header(s);
    u.unlock();
    return true;
}

}  // namespace tor
