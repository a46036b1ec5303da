// The item rows of a purchase costing (the lower half of the costing screen): entry of new items
// with the price build-up from purchase price, rebate, margin and VAT, the list of the stored
// items with change and deletion, and the goods register kept up to date with every accepted item
// (stock quantity, last purchase price, selling price).
#include <algorithm>
#include <string>
#include <vector>

#include "calc/pricing.h"
#include "calc/rates.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "inbound/inbound.h"
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

const char* const COLUMNS =
    "RB Sifra  Naziv                PDV  Kolicina   Nab.Cena  Rabat R.U.C.  Prod.Cena";
const int FIRST_ROW = 13, LAST_ROW = 21;

// Cost and representation costings take goods out of the shop: no purchase price.
bool goods_out() { return KAL_TROS || KAL_REPR; }
// Input VAT entered split by rate (never on a buy-off costing).
bool split_vat() { return S_RAZPRENPDV && !WOTKUP; }
// A buy-off costing of a VAT payer earns the flat-rate compensation on every item.
bool compensated() { return WOTKUP && WPDVKOM; }

double header_part(const CostingScreen& s) {
    return s.h.WTROSAK + (split_vat() ? s.h.WPDVPS + s.h.WPDVOS : s.h.WPDV);
}

void show_konzapl(const CostingScreen& s) {
    rt::SAY(10, 61, "(" + rt::TRANSFORM(s.h.KONZAPL, "9" + BROJ) + ")");
}

// The control total is shown; when it comes to the supplier's amount the match sound is given.
void show_konzapl_and_match(const CostingScreen& s) {
    show_konzapl(s);
    if (rt::ROUND(s.h.KONZAPL, 2) == rt::ROUND(s.h.WZAPLA, 2)) TON(2);
}

void show_stock(double stock) {
    if (!S_ZALIHA) return;
    rt::SAY(23, 62, "Zaliha:" + rt::TRANSFORM(stock, BROJ));
}

// One line of a costing as the screen shows it.
struct Line {
    std::string sifra, naziv, targr, jmere;
    double kolicina = 0, fakcen = 0, rabat = 0, rucp = 0, prodcen = 0;
};

// A stored item as its row shows it (stored items show no rebate).
Line line_of(const rt::dbf::WorkArea& k) {
    const CostingItemRecord r = read_costing_item(k);
    return {r.sifart, r.nazart, r.targr, r.jmere, r.kolicina, r.fakcen, 0, r.rucp, r.prodcen};
}

void draw_line(int row, int rb, const Line& l) {
    rt::SAY(row, 0, rt::STRZERO(rb, 2));
    rt::SAY(row, 3, rt::PADR(l.sifra, 6));
    rt::SAY(row, 10, rt::PADR(rt::LEFT(l.naziv, 20), 20));
    rt::SAY(row, 31, rt::PADR(l.targr, 3));
    rt::SAY(row, 35, rt::TRANSFORM(l.kolicina, BROJ93));
    rt::SAY(row, 45, rt::TRANSFORM(l.fakcen, BROJ103));
    rt::SAY(row, 56, rt::TRANSFORM(l.rabat, BROJ62));
    rt::SAY(row, 63, rt::TRANSFORM(l.rucp, BROJ62));
    rt::SAY(row, 70, rt::TRANSFORM(l.prodcen, BROJ));
}

void clear_row(int row) {
    // Row 22 keeps the stock box on its right.
    rt::CLEAR_RECT(row, 0, row, row >= 22 ? 60 : 79);
}

// ---- the item table of the costing ----

rt::dbf::WorkArea& items() {
    rt::dbf::select("kalk");
    rt::dbf::WorkArea& k = rt::dbf::current();
    if (k.order() != 1) k.set_order(1);
    return k;
}

std::string key_of(const CostingScreen& s) { return rt::PADR(s.h.WBRKALK, 6); }

bool of_costing(const rt::dbf::WorkArea& k, const CostingScreen& s) {
    return !k.eof() && !k.bof() && k.get_str("BRKALK") == key_of(s);
}

// The records of the costing's items, in list order.
std::vector<uint32_t> item_records(const CostingScreen& s) {
    rt::dbf::WorkArea& k = items();
    std::vector<uint32_t> recs;
    for (k.seek(key_of(s)); of_costing(k, s); k.skip()) recs.push_back(k.recno());
    return recs;
}

// ---- the goods register ----

// "mdart" on the goods record of the code; false when the register has no such code.
bool seek_goods(const std::string& sifra) {
    rt::dbf::select("mdart");
    rt::dbf::WorkArea& a = rt::dbf::current();
    const int order = a.order();
    if (order != 1) a.set_order(1);
    const bool found = a.seek(rt::PADR(sifra, 6));
    if (order != 1) a.set_order(order);
    return found;
}

// Adds the quantity to the stock of the goods code (under a record lock); the new stock.
double move_stock(const std::string& sifra, double quantity) {
    if (!seek_goods(sifra)) return 0;
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (REC_LOCK()) {
        a.put("POPKOL", a.get_num("POPKOL") + quantity);
        a.commit();
        a.unlock();
    }
    return a.get_num("POPKOL");
}

// The prices of an accepted item become the goods' current prices.
void store_goods_prices(const std::string& sifra, const CostingItemVars& it) {
    if (!seek_goods(sifra)) return;
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (!REC_LOCK()) return;
    if (!goods_out()) a.put("NABCEN", it.WFAKCEN);
    a.put("PRODCEN", it.WPRODCEN);
    a.commit();
    a.unlock();
}

// A negative stock is announced by three low tones.
void negative_stock_tones(double stock) {
    if (stock >= 0) return;
    rt::TONE(555, 1);
    rt::TONE(555, 5);
    rt::TONE(555, 1);
}

// ---- the header's input VAT of a buy-off costing ----

void rewrite_header_pdv(const CostingScreen& s) {
    rt::dbf::select("ukalk");
    rt::dbf::WorkArea& u = rt::dbf::current();
    if (u.order() != 1) u.set_order(1);
    if (!u.seek(key_of(s)) || !REC_LOCK()) return;
    // A buy-off costing never splits its input VAT: the general-rate field holds the whole of it.
    u.put("PDV", s.h.WPDV);
    u.put("PDV18", s.h.WPDV);
    u.commit();
    u.unlock();
}

// The amount of an item in the control total, with its flat-rate compensation on a buy-off
// costing (sign +1 adds it, -1 takes it off; the header's VAT is rewritten at once).
void book_amount(CostingScreen& s, double quantity, double price, int sign) {
    s.h.KONZAPL += sign * quantity * price;
    if (!compensated()) return;
    const double compensation = quantity * price * OTKUP_STOPA(s.WDATKAL) / 100;
    s.h.WPDV += sign * compensation;
    s.h.KONZAPL += sign * compensation;
    rt::SAY(9, 38, rt::TRANSFORM(s.h.WPDV, BROJ));
    rewrite_header_pdv(s);
}

// ---- one item ----

struct Item {
    std::string sifra, naziv, jmere, targr;
    double zaliha = 0;
};

// Name, group, unit and stock from the goods record "mdart" is on; the prices proposed are the
// goods' current ones (no purchase price when goods are taken out).
Item load_goods(CostingItemVars& it) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    Item g;
    g.sifra = a.get_str("SIFRA");
    g.naziv = a.get_str("NAZIV");
    g.jmere = a.get_str("JMERE");
    g.targr = a.get_str("TARGR");
    g.zaliha = a.get_num("POPKOL");
    it.WFAKCEN = goods_out() ? 0 : a.get_num("NABCEN");
    it.WPRODCEN = a.get_num("PRODCEN");
    return g;
}

// A new row also shows the rest of a long name on the row below (free until the next item).
void show_goods(const Item& g, int row, bool rest_below) {
    rt::SAY(row, 10, rt::PADR(rt::LEFT(g.naziv, 20), 20));
    if (rest_below) rt::SAY(row + 1, 10, rt::PADR(rt::SUBSTR(g.naziv, 21, 20), 20));
    rt::SAY(row, 31, rt::PADR(g.targr, 3));
    show_stock(g.zaliha);
}

// Quantity and prices of the item on row it.R, the margin computed back from the selling price.
// False when the item is not to be taken: Esc or PgUp in the inputs, a negative margin or one
// too large to store (those two with their message).
bool item_inputs(CostingScreen& s, const Item& g) {
    CostingItemVars& it = s.it;
    item_rates(rt::TRIM(g.targr), KAL_REPR, it.WPOREZ, it.WPSPOR);
    const int R = it.R;
    rt::SETCOLOR(NORMAL);
    rt::GetList gl;
    rt::GET(gl, rt::get(R, 35, it.WKOLICINA, BROJ93).valid([&] { return KONTR_KOL(it); }).name("WKOLICINA"));
    if (!goods_out()) rt::GET(gl, rt::get(R, 45, it.WFAKCEN, BROJ103).name("WFAKCEN"));
    if (!S_KALK) {
        rt::GET(gl, rt::get(R, 56, it.WRABAT, BROJ62).valid([&] { return RABATK(it); }).name("WRABAT"));
        rt::GET(gl, rt::get(R, 63, it.WRUCP, BROJ62).valid([&] { return RAC_PC(it); }).name("WRUCP"));
    }
    rt::GET(gl, rt::get(R, 70, it.WPRODCEN, BROJ).valid([&] { return NULA_PC(it); }).name("WPRODCEN"));
    rt::READ(gl);
    const int key = rt::LASTKEY();
    if (key == rt::K::ESC) return false;

    RUC_IZ_CENE(it);
    Line shown{g.sifra, g.naziv, g.targr, g.jmere, it.WKOLICINA, it.WFAKCEN, it.WRABAT, it.WRUCP, it.WPRODCEN};
    draw_line(R, it.RB, shown);
    if (key == rt::K::PGUP) return false;
    if (it.WRUCP < 0) {
        PORUKA("Negativna razlika u ceni!", 2);
        return false;
    }
    if (it.WRUCP > 9999.99) {
        PORUKA("Procenat razlike u ceni " + rt::ALLTRIM(rt::TRANSFORM(it.WRUCP, BROJ)) + "% je prevelik!", 2);
        return false;
    }
    return true;
}

// All fields of an item record from the item being entered.
void put_item(rt::dbf::WorkArea& k, const CostingScreen& s, const Item& g) {
    k.put("BRKALK", key_of(s));
    k.put("SIFART", rt::PADR(g.sifra, 6));
    k.put("NAZART", g.naziv);
    k.put("JMERE", g.jmere);
    k.put("KOLICINA", s.it.WKOLICINA);
    k.put("FAKCEN", s.it.WFAKCEN);
    k.put("RUCP", s.it.WRUCP);
    k.put("TARGR", g.targr);
    k.put("PSPOR", s.it.WPSPOR);
    k.put("POREZ", s.it.WPOREZ);
    k.put("PRODCEN", s.it.WPRODCEN);
}

// ---- the item area ----

void draw_item_area() {
    rt::SETCOLOR(INVERZ);
    rt::CLEAR_RECT(11, 0, 11, 79);
    rt::SETCOLOR(NORMAL);
    rt::CLEAR_RECT(12, 0, 22, 79);
    if (S_ZALIHA) {
        BOXSHAD(22, 61, 24, 79);
        rt::SAY(23, 62, "Zaliha:");
    }
    rt::SAY(12, 0, COLUMNS);
}

// The last items of the costing above the entry row: as listing them all would leave the screen,
// at most eight, with the row for the next item below them. total: the control total gets every
// item's amount.
void list_tail(CostingScreen& s, bool total) {
    const std::vector<uint32_t> recs = item_records(s);
    rt::dbf::WorkArea& k = items();
    rt::CLEAR_RECT(FIRST_ROW, 0, LAST_ROW, 79);
    clear_row(22);
    const size_t shown = std::min<size_t>(recs.size(), LAST_ROW - FIRST_ROW);
    int row = FIRST_ROW;
    for (size_t i = 0; i < recs.size(); ++i) {
        k.go_to(recs[i]);
        const Line l = line_of(k);
        if (total) s.h.KONZAPL += l.kolicina * l.fakcen;
        if (i + shown >= recs.size()) draw_line(row++, static_cast<int>(i) + 1, l);
    }
    s.it.R = row;
    s.it.RB = static_cast<int>(recs.size()) + 1;
}

// The next entry row (the area scrolls up once the last row is passed).
void next_row(CostingItemVars& it) {
    ++it.RB;
    if (++it.R > LAST_ROW) {
        rt::SCROLL(FIRST_ROW, 0, LAST_ROW, 79, 1);
        it.R = LAST_ROW;
    }
}

void clear_rebate(CostingScreen& s) {
    s.it.ZBIRNIRABAT = false;
    s.it.PITAO_RABAT = false;
    s.it.WRABAT = 0;
}

// Keys that make the header screen open the costing again: the menu item, the number, Enter
// (and Right to put the bar on " NASTAVAK "). A commission company's menu item first asks which
// form the costing makes: Enter there takes the form chosen before.
void reopen(const CostingScreen& s, bool on_continue) {
    std::vector<int> keys{rt::K::ENTER};
    if (WSIFDEL == "005" && !WOTKUP && !KAL_TROS && !KAL_REPR) keys.push_back(rt::K::ENTER);
    for (char c : rt::PADR(s.h.WBRKALK, 6)) keys.push_back(static_cast<unsigned char>(c));
    keys.push_back(rt::K::ENTER);
    if (on_continue) keys.push_back(rt::K::RIGHT);
    rt::KEYBOARD(keys, false);
}

// ---- change of one stored item (IKENT): the item table on it, its row on the screen ----

// The code of the changed item: the lookup, PgUp or 0 opens the goods register; an unknown code
// is refused. False on Esc; true with "mdart" on the goods record.
bool changed_code(int row, double& code) {
    for (;;) {
        rt::dbf::select("mdart");
        rt::SETCOLOR(NORMAL);
        rt::GetList gl;
        rt::GET(gl, rt::get(row, 3, code, "999999").valid([] { return PREGLED("ART"); }).name("WSIFRA"));
        rt::READ(gl);
        const int key = rt::LASTKEY();
        if (key == rt::K::ESC) return false;
        if (key == rt::K::PGUP || code == 0) {
            ARTIKLI(code);
            continue;
        }
        if (seek_goods(rt::STRZERO(code, 6))) return true;
        PORUKA("Nepostoji ta Sifra !", 2);
    }
}

void IKENT(CostingScreen& s, int row, int rb) {
    rt::dbf::WorkArea& k = items();
    const uint32_t rec = k.recno();
    const Line old = line_of(k);
    CostingItemVars& it = s.it;
    const int saved_r = it.R, saved_rb = it.RB;
    it.R = row;
    it.RB = rb;
    double code = rt::VAL(old.sifra);
    for (;;) {
        if (!changed_code(row, code)) break;
        const Item g = load_goods(it);
        it.WKOLICINA = old.kolicina;
        it.WRABAT = 0;
        it.WRUCP = 0;
        show_goods(g, row, false);
        book_amount(s, old.kolicina, old.fakcen, -1);
        if (!item_inputs(s, g)) {
            book_amount(s, old.kolicina, old.fakcen, +1);
            draw_line(row, rb, old);
            continue;
        }
        rt::dbf::WorkArea& kk = items();
        kk.go_to(rec);
        if (!REC_LOCK()) {
            // The item stays as it was, and so do the control total and the goods register.
            book_amount(s, old.kolicina, old.fakcen, +1);
            draw_line(row, rb, old);
            PORUKA(NOT_SAVED, 2);
            break;
        }
        put_item(kk, s, g);
        kk.commit();
        kk.unlock();
        book_amount(s, it.WKOLICINA, it.WFAKCEN, +1);
        show_konzapl_and_match(s);
        store_goods_prices(g.sifra, it);
        break;
    }
    items().go_to(rec);
    it.R = saved_r;
    it.RB = saved_rb;
}

// ---- the item list ----

class ItemList {
public:
    ItemList(CostingScreen& s, bool from_entry) : s_(s), from_entry_(from_entry) {}

    // Runs the list; the item table is on the current item when it starts.
    void run();

private:
    CostingScreen& s_;
    bool from_entry_;
    int row_ = FIRST_ROW;   // screen row of the current item

    int ordinal() {
        rt::dbf::WorkArea& k = items();
        const uint32_t rec = k.recno();
        int n = 0;
        for (k.seek(key_of(s_)); of_costing(k, s_); k.skip()) {
            ++n;
            if (k.recno() == rec) break;
        }
        k.go_to(rec);
        return n;
    }

    // The window: the current item on its row in the inverse colour, its neighbours above and
    // below as far as the rows reach.
    void draw() {
        rt::dbf::WorkArea& k = items();
        const uint32_t rec = k.recno();
        const int rb = ordinal();
        rt::CLEAR_RECT(FIRST_ROW, 0, LAST_ROW, 79);
        clear_row(22);
        int row = row_, n = rb;
        for (k.go_to(rec); row >= FIRST_ROW && of_costing(k, s_); k.skip(-1)) draw_line(row--, n--, line_of(k));
        row = row_ + 1;
        n = rb + 1;
        k.go_to(rec);
        for (k.skip(); row <= LAST_ROW && of_costing(k, s_); k.skip()) draw_line(row++, n++, line_of(k));
        k.go_to(rec);
        rt::SETCOLOR(INVERZ);
        draw_line(row_, rb, line_of(k));
        rt::SETCOLOR(NORMAL);
    }

    // Back into item entry below the last items; the code field the list was opened from ends as
    // if left by Esc, whatever key closed the last message.
    void back_to_entry() {
        s_.it.R = FIRST_ROW;
        list_tail(s_, false);
        rt::SET_LASTKEY(rt::K::ESC);
    }

    // No item left under the pointer: the list ends.
    void none_left() {
        TON(1);
        PORUKA("Kalkulacija nema vise stavki !", 2);
        if (from_entry_) {
            back_to_entry();
        } else {
            rt::dbf::close_all();
            reopen(s_, true);
        }
    }

    bool go_first() {
        rt::dbf::WorkArea& k = items();
        k.seek(key_of(s_));
        row_ = FIRST_ROW;
        return of_costing(k, s_);
    }

    bool go_last() {
        const std::vector<uint32_t> recs = item_records(s_);
        if (recs.empty()) return false;
        items().go_to(recs.back());
        row_ = std::min<int>(FIRST_ROW + static_cast<int>(recs.size()) - 1, LAST_ROW);
        return true;
    }

    void change();
    bool remove();
};

void ItemList::change() {
    rt::dbf::WorkArea& k = items();
    const uint32_t rec = k.recno();
    const Line old = line_of(k);
    // The stock of the item leaves its goods and comes back with the item as changed.
    move_stock(old.sifra, -old.kolicina);
    IKENT(s_, row_, ordinal());
    rt::dbf::WorkArea& kk = items();
    kk.go_to(rec);
    const Line now = line_of(kk);
    const double stock = move_stock(now.sifra, now.kolicina);
    show_stock(stock);
    items().go_to(rec);
}

// Deletion of the current item; false when no item of the costing is left to stand on.
bool ItemList::remove() {
    if (!PITANJE("Sigurno Brisete (D/N)?", 2)) return true;
    rt::dbf::WorkArea& k = items();
    const uint32_t rec = k.recno();
    const Line old = line_of(k);
    // The item goes first: while another workstation holds the table it stays, and so do the
    // control total and the stock.
    if (!FIL_LOCK()) return true;
    k.delete_record();
    k.commit();
    k.unlock();
    book_amount(s_, old.kolicina, old.fakcen, -1);
    show_konzapl_and_match(s_);
    move_stock(old.sifra, -old.kolicina);
    rt::dbf::WorkArea& kk = items();
    // The pointer goes to the next item, or to the one before when the last was deleted.
    kk.go_to(rec);
    kk.skip();
    if (!of_costing(kk, s_)) {
        kk.go_to(rec);
        kk.skip(-1);
        if (row_ > FIRST_ROW) --row_;
    }
    return of_costing(kk, s_);
}

void ItemList::run() {
    draw_item_area();
    // From item entry the list starts on the last item, otherwise on the first.
    if (from_entry_) go_last();
    else items().seek(key_of(s_));
    if (!of_costing(items(), s_)) {
        if (from_entry_) {
            none_left();
            return;
        }
        TON(1);
        PORUKA("Ova Kalkulacija nema unete stavke !", 2);
        rt::dbf::close_all();
        reopen(s_, true);
        return;
    }
    // From item entry the list starts on the last item where entry showed it.
    row_ = from_entry_ ? std::clamp(s_.it.R, FIRST_ROW, LAST_ROW) : FIRST_ROW;
    for (;;) {
        draw();
        const int key = rt::INKEY(0);
        if (rt::fire_hotkey(key)) continue;
        rt::dbf::WorkArea& a = items();
        const uint32_t rec = a.recno();
        switch (key) {
        case rt::K::DOWN:
            a.skip();
            if (of_costing(a, s_)) {
                if (row_ < LAST_ROW) ++row_;
                break;
            }
            a.go_to(rec);
            if (from_entry_) {
                back_to_entry();
                return;
            }
            break;
        case rt::K::UP:
            a.skip(-1);
            if (of_costing(a, s_)) {
                if (row_ > FIRST_ROW) --row_;
            } else {
                a.go_to(rec);
                TON(1);
            }
            break;
        case rt::K::HOME:
            if (!go_first()) {
                none_left();
                return;
            }
            break;
        case rt::K::END:
            if (!go_last()) {
                none_left();
                return;
            }
            break;
        case rt::K::ENTER:
            change();
            break;
        case rt::K::DEL:
            if (!remove()) {
                none_left();
                return;
            }
            break;
        case rt::K::ESC:
            clear_rebate(s_);
            if (from_entry_) {
                back_to_entry();
            } else {
                ZAOKRUZI(s_.h);
                rt::dbf::close_all();
                reopen(s_, false);
            }
            return;
        default:
            TON(1);
            break;
        }
    }
}

}  // namespace

// ---- item entry ----

void costing_items(CostingScreen& s) {
    rt::ProcScope proc("KALKULACIJE");
    CostingItemVars& it = s.it;
    draw_item_area();
    s.h.KONZAPL = header_part(s);
    it.R = FIRST_ROW;
    it.RB = 1;
    if (s.h.NASTAVAK) list_tail(s, true);
    show_konzapl(s);

    double code = 0;   // WSIFRA: kept when an item is refused, cleared when one is taken
    for (;;) {
        rt::SETCOLOR(NORMAL);
        clear_row(it.R);
        clear_row(it.R + 1 <= LAST_ROW ? it.R + 1 : 22);
        rt::SAY(it.R, 0, rt::STRZERO(it.RB, 2));
        CodeRead read;
        {
            // Up on the code of a new row goes back into the list of the stored items; the code
            // read then ends as one left with Esc.
            ItemReturnKey up(GDIK(s.h, it, [&s] { IKALKULACIJE(s); }));
            read = goods_code_field(it.R, 3, code, s.WDOBAV);
        }
        if (read == CodeRead::ESC) {
            if (s.h.GD_IZMENA) {
                // Back from the list: the rows below the listed items are free for entry.
                s.h.GD_IZMENA = false;
                rt::CLEAR_RECT(it.R, 0, LAST_ROW, 79);
                clear_row(22);
                continue;
            }
            ZAOKRUZI(s.h);
            clear_rebate(s);
            return;
        }
        // Back from the goods register (or with a proposed code waiting in the keyboard): the code
        // is read again, showing what the register gave back.
        if (read == CodeRead::AGAIN) continue;

        const Item g = load_goods(it);
        it.WKOLICINA = 0;
        it.WRUCP = 0;
        if (!it.ZBIRNIRABAT) it.WRABAT = 0;
        show_goods(g, it.R, true);
        if (!item_inputs(s, g)) continue;

        // The item record first: an item that could not be stored moves neither the control total
        // nor the goods register; its row is entered again.
        rt::dbf::WorkArea& k = items();
        if (!ADD_REC()) {
            PORUKA(NOT_SAVED, 2);
            continue;
        }
        put_item(k, s, g);
        k.commit();
        k.unlock();
        book_amount(s, it.WKOLICINA, it.WFAKCEN, +1);
        show_konzapl_and_match(s);
        next_row(it);
        store_goods_prices(g.sifra, it);
        const double stock = move_stock(g.sifra, it.WKOLICINA);
        show_stock(stock);
        if (S_ZALIHA) negative_stock_tones(stock);
        code = 0;
    }
}

void IKALKULACIJE(CostingScreen& s) {
    rt::ProcScope proc("IKALKULACIJE");
    const bool from_entry = s.h.GD_IZMENA;
    if (!from_entry && !costing_header_edit(s)) return;
    ItemList(s, from_entry).run();
}

CostingItemRecord read_costing_item(const rt::dbf::WorkArea& k) {
    CostingItemRecord r;
    r.sifart = k.get_str("SIFART");
    r.nazart = k.get_str("NAZART");
    r.jmere = k.get_str("JMERE");
    r.targr = k.get_str("TARGR");
    r.kolicina = k.get_num("KOLICINA");
    r.fakcen = k.get_num("FAKCEN");
    r.rucp = k.get_num("RUCP");
    r.pspor = k.get_num("PSPOR");
    r.porez = k.get_num("POREZ");
    r.prodcen = k.get_num("PRODCEN");
    return r;
}

}  // namespace tor
