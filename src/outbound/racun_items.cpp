// The item rows of an invoice: entry of the goods sold on a new or continued document, the list of
// the stored items with their change (IRENT) and deletion, and the header edit in front of the
// list (IRACUN). Invoices and final invoices take the sold quantities off the goods stock at once;
// pro-forma and advance invoices never touch the stock.
//
// The invoice screen keeps the kind's tables open under "ufakt" and "fakt", with "mdart" and
// "mddob", while a document is worked on.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "calc/pricing.h"
#include "data/data.h"
#include "frame/vars.h"
#include "outbound/outbound.h"
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

const std::string PRICE = "9" + BROJ;    // "99999999.99"
const std::string REBATE = "99.99";
constexpr int FIRST_ROW = 13;            // the first item row
constexpr int LAST_ROW = 21;             // the item area scrolls below this row
constexpr int LIST_ROWS = LAST_ROW - FIRST_ROW + 1;

// The goods record an item row works with.
struct Goods {
    std::string sifra;                   // six digits
    std::string naziv;                   // forty characters
    std::string targr, jmere;
    double zaliha = 0;                   // stock
    double prodcen = 0;                  // current selling price
};

rt::dbf::WorkArea& items() { return rt::dbf::area("fakt"); }

// The kinds whose items move the goods stock.
bool moves_stock() {
    const InvoiceKind k = invoice_kind();
    return k == InvoiceKind::INVOICE || k == InvoiceKind::FINAL;
}

double net_price(double prodcen, double rabat) { return prodcen - prodcen * rabat / 100; }

// Net value of the item under the "fakt" pointer.
double net_value() {
    rt::dbf::WorkArea& a = items();
    return a.get_num("KOLICINA") * net_price(a.get_num("PRODCEN"), a.get_num("RABAT"));
}

bool of_document(const InvoiceScreen& s) {
    rt::dbf::WorkArea& a = items();
    return !a.eof() && a.get_str("BRFAK") == s.h.WBRFAK;
}

// The record numbers of the document's items, in the order of the number index.
std::vector<uint32_t> document_items(const InvoiceScreen& s) {
    rt::dbf::WorkArea& a = items();
    a.set_order(1);
    std::vector<uint32_t> recs;
    for (a.seek(s.h.WBRFAK); of_document(s); a.skip()) recs.push_back(a.recno());
    return recs;
}

void place(std::string& line, int col, const std::string& text) {
    line.replace(col, std::min(text.size(), line.size() - col), text.substr(0, line.size() - col));
}

// One item row of 80 characters: line number, code, name, group, quantity, price, rebate and
// net price per unit.
std::string item_line(int rb, const std::string& sifra, const std::string& naziv, const std::string& targr,
                      double kolicina, double prodcen, double rabat) {
    std::string l(80, ' ');
    place(l, 0, rt::STR(rb, 2));
    place(l, 3, sifra);
    place(l, 10, rt::PADR(rt::LEFT(naziv, 27), 27));
    place(l, 38, targr);
    place(l, 41, rt::TRANSFORM(kolicina, BROJ103));
    place(l, 52, rt::TRANSFORM(prodcen, PRICE));
    place(l, 64, rt::TRANSFORM(rabat, REBATE));
    place(l, 69, rt::TRANSFORM(net_price(prodcen, rabat), PRICE));
    return l;
}

// The row of the item under the "fakt" pointer.
std::string stored_line(int rb) {
    rt::dbf::WorkArea& a = items();
    return item_line(rb, a.get_str("SIFART"), a.get_str("NAZART"), a.get_str("TARGR"), a.get_num("KOLICINA"),
                     a.get_num("PRODCEN"), a.get_num("RABAT"));
}

void show_total(const InvoiceScreen& s) { rt::SAY(7, 62, "(" + rt::TRANSFORM(s.h.KONZAPL, BROJ) + ")"); }

void show_stock(double zaliha) {
    if (S_ZALIHA) rt::SAY(23, 62, "Zaliha:" + rt::TRANSFORM(zaliha, BROJ));
}

// Three low tones: the goods went below zero.
void stock_alarm(double zaliha) {
    if (zaliha >= 0) return;
    rt::SET_SOUND(BEEP);
    rt::TONE(555, 1);
    rt::TONE(555, 5);
    rt::TONE(555, 1);
}

// The item area: the inverse bar on row 11, the column line, and the stock box.
void item_screen() {
    const std::string colour = rt::SETCOLOR(INVERZ);
    rt::CLEAR_RECT(11, 0, 11, 79);
    rt::SETCOLOR(NORMAL);
    rt::CLEAR_RECT(12, 0, 22, 79);
    rt::SAY(12, 0, "RB Sifra  Naziv                       PDV  Kolicina        Cena Rabat  Prod.Cena");
    if (S_ZALIHA) {
        BOXSHAD(22, 61, 24, 79);
        rt::SAY(23, 62, "Zaliha:");
    }
    rt::SETCOLOR(colour);
}

// The next item row: one down, or the item area scrolled up one line at its last row.
void next_row(InvoiceItemVars& it) {
    ++it.RB;
    if (++it.R > LAST_ROW) {
        rt::SCROLL(FIRST_ROW, 0, LAST_ROW, 79, 1);
        it.R = LAST_ROW;
    }
}

// The document's items listed from the first row on; entry goes on on the row after the last.
// add: each item's net value is added to the running total.
void list_items(InvoiceScreen& s, bool add) {
    rt::CLEAR_RECT(FIRST_ROW, 0, LAST_ROW, 79);
    rt::CLEAR_RECT(LAST_ROW + 1, 0, LAST_ROW + 1, S_ZALIHA ? 60 : 79);
    s.it.R = FIRST_ROW;
    s.it.RB = 1;
    for (uint32_t rec : document_items(s)) {
        items().go_to(rec);
        rt::SAY(s.it.R, 0, stored_line(s.it.RB));
        if (add) s.h.KONZAPL += net_value();
        next_row(s.it);
    }
}

// The goods record of a code in "mdart" (order of codes); false when the register has no such code.
bool find_goods(const std::string& sifra, Goods& g) {
    rt::dbf::WorkArea& a = rt::dbf::area("mdart");
    a.set_order(1);
    if (!a.seek(sifra)) return false;
    g.sifra = a.get_str("SIFRA");
    g.naziv = a.get_str("NAZIV");
    g.targr = a.get_str("TARGR");
    g.jmere = a.get_str("JMERE");
    g.zaliha = a.get_num("POPKOL");
    g.prodcen = a.get_num("PRODCEN");
    return true;
}

// Goods stock PopKol += delta under a record lock (a failed lock leaves it). The new stock, shown
// with the alarm when it is negative.
void move_stock(const std::string& sifra, double delta) {
    if (!moves_stock() || delta == 0) return;
    const int caller = rt::dbf::current_number();
    rt::dbf::select("mdart");
    rt::dbf::WorkArea& a = rt::dbf::current();
    a.set_order(1);
    if (a.seek(sifra) && REC_LOCK()) {
        a.put("POPKOL", a.get_num("POPKOL") + delta);
        a.commit();
        a.unlock();
        show_stock(a.get_num("POPKOL"));
        if (S_ZALIHA) stock_alarm(a.get_num("POPKOL"));
    }
    rt::dbf::select(caller);
}

// The name of an item row: its first 20 characters on the row (padded to the group's column) and
// the rest on the row below; the group at column 38.
void show_goods(int row, const Goods& g) {
    rt::SAY(row, 10, rt::PADR(rt::LEFT(g.naziv, 20), 27));
    rt::SAY(row + 1, 10, rt::PADR(rt::SUBSTR(g.naziv, 21), 20));
    rt::SAY(row, 38, g.targr);
    show_stock(g.zaliha);
}

// Rates and net price of a new item line from its goods.
void prepare_item(InvoiceItemVars& it, const Goods& g) {
    double porez = 0;
    item_rates(rt::TRIM(g.targr), false, porez, it.WPSPOR);
    it.WNPCENA = net_price(it.WPRODCEN, it.WRABAT);
}

// Quantity, price, rebate and net price on the row. False when the item is given up (Esc or PgUp).
bool read_item(InvoiceItemVars& it) {
    rt::GetList gl;
    rt::GET(gl, rt::get(it.R, 41, it.WKOLICINA, BROJ103).valid([&] { return KONTR_KOL(it.WKOLICINA); }).name("WKOLICINA"));
    rt::GET(gl, rt::get(it.R, 52, it.WPRODCEN, PRICE).valid([&] { return it.WPRODCEN != 0; }).name("WPRODCEN"));
    rt::GET(gl, rt::get(it.R, 64, it.WRABAT, REBATE).valid([&] { return RAC_N_PC(it); }).name("WRABAT"));
    rt::GET(gl, rt::get(it.R, 69, it.WNPCENA, PRICE).valid([&] { return RAC_N_RAB(it); }).name("WNPCENA"));
    int start = 0;
    for (;;) {
        rt::READ(gl, start);
        const int key = rt::LASTKEY();
        if (key == rt::K::ESC || key == rt::K::PGUP) return false;
        // A read ended early (PgDn in the quantity) never passed the price field: a price of 0
        // is not taken.
        if (it.WPRODCEN != 0) return true;
        start = 1;
    }
}

void clear_item_row(int row) {
    rt::SAY(row, 3, std::string(77, ' '));
    rt::SAY(row + 1, 10, std::string(20, ' '));
}

void write_item(const InvoiceScreen& s, const Goods& g) {
    rt::dbf::WorkArea& a = items();
    a.put("BRFAK", s.h.WBRFAK);
    a.put("SIFART", g.sifra);
    a.put("NAZART", g.naziv);
    a.put("JMERE", g.jmere);
    a.put("KOLICINA", s.it.WKOLICINA);
    a.put("PRODCEN", s.it.WPRODCEN);
    a.put("RABAT", s.it.WRABAT);
    a.put("TARGR", g.targr);
    a.put("PSPOR", s.it.WPSPOR);
    a.commit();
    a.unlock();
}

// One new item on row R. False when entry ends (Esc in the code field).
bool new_item(InvoiceScreen& s) {
    InvoiceItemVars& it = s.it;
    rt::SAY(it.R, 0, rt::STR(it.RB, 2));
    double code = 0;
    for (;;) {
        s.h.GD_IZMENA = false;
        CodeRead read;
        {
            ItemReturnKey up(GDIR(s.h, s.it, [&s] { IRACUN(s); }));
            rt::dbf::select("mdart");
            read = goods_code_field(it.R, 3, code);
        }
        if (s.h.GD_IZMENA) {
            // Back from the item list: the list may have changed, the rows are shown afresh.
            s.h.GD_IZMENA = false;
            item_screen();
            list_items(s, false);
            show_total(s);
            return true;
        }
        if (read == CodeRead::ESC) return false;
        if (read == CodeRead::FOUND) break;
        rt::SAY(it.R, 0, rt::STR(it.RB, 2));   // the register was open over the rows
    }

    Goods g;
    if (!find_goods(rt::dbf::area("mdart").get_str("SIFRA"), g)) return true;
    show_goods(it.R, g);
    it.WPRODCEN = g.prodcen;
    it.WKOLICINA = 0;
    it.WRABAT = 0;
    prepare_item(it, g);

    if (!read_item(it)) {
        clear_item_row(it.R);
        return true;
    }
    // A net price above the price is a higher price, not a negative rebate.
    if (it.WRABAT < 0) {
        it.WPRODCEN = it.WNPCENA;
        it.WRABAT = 0;
    }
    it.WNPCENA = net_price(it.WPRODCEN, it.WRABAT);

    rt::dbf::select("fakt");
    if (!ADD_REC()) {
        clear_item_row(it.R);
        return true;
    }
    write_item(s, g);

    rt::SAY(it.R, 0, item_line(it.RB, g.sifra, g.naziv, g.targr, it.WKOLICINA, it.WPRODCEN, it.WRABAT));
    rt::SAY(it.R + 1, 10, std::string(20, ' '));
    s.h.KONZAPL += it.WKOLICINA * it.WNPCENA;
    show_total(s);
    move_stock(g.sifra, -it.WKOLICINA);
    next_row(it);
    return true;
}

// Rebate memory of a document: forgotten when entry or the list is left.
void forget_rebate(InvoiceScreen& s) { s.it.WRABAT = 0; }

void close_invoice_tables() {
    for (const char* alias : {"ufakt", "fakt", "mdart", "mddob"})
        if (rt::dbf::alias_used(alias)) rt::dbf::area(alias).close();
}

// The document opens again at its number prompt: Enter, Enter, the number and Enter, and with
// on_continue the light bar moved onto " NASTAVAK ".
void reopen(const InvoiceScreen& s, bool on_continue) {
    close_invoice_tables();
    std::vector<int> keys{rt::K::ENTER, rt::K::ENTER};
    for (unsigned char c : s.h.WBRFAK) keys.push_back(c);
    keys.push_back(rt::K::ENTER);
    if (on_continue) keys.push_back(rt::K::RIGHT);
    rt::KEYBOARD(keys);
}

const char* kind_prefix() {
    switch (invoice_kind()) {
        case InvoiceKind::PROFORMA: return "Pred";
        case InvoiceKind::ADVANCE: return "Avansni ";
        default: return "";
    }
}

// ---- change of one item ----

// The item under the "fakt" pointer changed on row `row`: code, then quantity, price, rebate and
// net price. The running total follows. Esc in the code field leaves the item as it was.
void IRENT(InvoiceScreen& s, int row) {
    rt::ProcScope scope("IRENT");
    InvoiceItemVars& it = s.it;
    it.R = row;
    const uint32_t rec = items().recno();
    double code = rt::VAL(items().get_str("SIFART"));
    for (;;) {
        rt::dbf::select("mdart");
        rt::GetList gl;
        rt::GET(gl, rt::get(row, 3, code, "999999").valid([] { return PREGLED("ART"); }).name("WSIFRA"));
        rt::READ(gl);
        const int key = rt::LASTKEY();
        if (key == rt::K::ESC) return;
        if (key == rt::K::PGUP || code == 0) {
            ARTIKLI(code);
            continue;
        }
        Goods g;
        if (!find_goods(rt::STRZERO(code, 6), g)) {
            PORUKA("Nepostoji ta Sifra !", 2);
            continue;
        }
        rt::dbf::WorkArea& a = items();
        a.go_to(rec);
        const double old_value = net_value();
        s.h.KONZAPL -= old_value;
        it.WKOLICINA = a.get_num("KOLICINA");
        it.WRABAT = a.get_num("RABAT");
        it.WPRODCEN = g.prodcen;
        show_goods(row, g);
        prepare_item(it, g);
        if (!read_item(it)) {
            s.h.KONZAPL += old_value;
            continue;
        }
        // The rebate is kept as typed, also a negative one.
        it.WNPCENA = net_price(it.WPRODCEN, it.WRABAT);
        a.go_to(rec);
        rt::dbf::select("fakt");
        if (REC_LOCK()) {
            write_item(s, g);
            s.h.KONZAPL += it.WKOLICINA * it.WNPCENA;
        } else {
            s.h.KONZAPL += old_value;   // the item stays as it was
        }
        show_total(s);
        return;
    }
}

// ---- the item list ----

class ItemList {
public:
    ItemList(InvoiceScreen& s, bool from_entry) : s_(s), from_entry_(from_entry) {}

    void run() {
        rt::ProcScope scope("IRACUN");
        item_screen();
        recs_ = document_items(s_);
        if (recs_.empty()) {
            TON(1);
            PORUKA(std::string("Ovaj ") + kind_prefix() + "Racun nema unete stavke !", 2);
            if (from_entry_) return back_to_entry();
            reopen(s_, true);
            return;
        }
        if (!from_entry_) {
            for (uint32_t rec : recs_) {
                items().go_to(rec);
                s_.h.KONZAPL += net_value();
            }
        }
        show_total(s_);
        cur_ = top_ = 0;
        for (;;) {
            draw();
            const int key = rt::INKEY(0);
            switch (key) {
                case rt::K::DOWN:
                    if (cur_ + 1 < recs_.size()) {
                        ++cur_;
                        if (cur_ - top_ >= static_cast<size_t>(LIST_ROWS)) ++top_;
                    } else if (from_entry_) {
                        return back_to_entry();
                    }
                    break;
                case rt::K::UP:
                    if (cur_ == 0) {
                        TON(1);
                    } else {
                        --cur_;
                        if (cur_ < top_) top_ = cur_;
                    }
                    break;
                case rt::K::HOME:
                case rt::K::END:
                    recs_ = document_items(s_);
                    if (recs_.empty()) return no_more_items();
                    if (key == rt::K::HOME) {
                        cur_ = top_ = 0;
                    } else {
                        cur_ = recs_.size() - 1;
                        top_ = recs_.size() > static_cast<size_t>(LIST_ROWS) ? recs_.size() - LIST_ROWS : 0;
                    }
                    break;
                case rt::K::F1:
                case rt::K::PLUS:
                case rt::K::ALT_D:
                case rt::K::CTRL_INS:
                case rt::K::CTRL_HOME:
                case rt::K::ALT_PGDN:
                    rt::fire_hotkey(key);
                    break;
                case rt::K::ENTER:
                    change();
                    break;
                case rt::K::DEL:
                    if (!remove()) return no_more_items();
                    break;
                case rt::K::ESC:
                    forget_rebate(s_);
                    if (from_entry_) return back_to_entry();
                    reopen(s_, false);
                    return;
                default:
                    TON(1);
            }
        }
    }

private:
    int row_of_current() const { return FIRST_ROW + static_cast<int>(cur_ - top_); }

    // Up to nine rows from the top of the window, the current one in the inverse colour.
    void draw() {
        for (int i = 0; i < LIST_ROWS; ++i) {
            const size_t n = top_ + i;
            if (n >= recs_.size()) {
                rt::SAY_COLOR(FIRST_ROW + i, 0, std::string(80, ' '), NORMAL);
                continue;
            }
            items().go_to(recs_[n]);
            rt::SAY_COLOR(FIRST_ROW + i, 0, stored_line(static_cast<int>(n) + 1), n == cur_ ? INVERZ : NORMAL);
        }
        items().go_to(recs_[cur_]);
    }

    // Enter: the item's quantity goes back to its goods, the item is changed, and the (new)
    // quantity is taken off the (new) goods.
    void change() {
        rt::dbf::WorkArea& a = items();
        a.go_to(recs_[cur_]);
        move_stock(a.get_str("SIFART"), a.get_num("KOLICINA"));
        const rt::ScreenImage rows = rt::SAVESCREEN(FIRST_ROW, 0, 22, 79);
        IRENT(s_, row_of_current());
        rt::RESTSCREEN(rows);
        a.go_to(recs_[cur_]);
        move_stock(a.get_str("SIFART"), -a.get_num("KOLICINA"));
        rt::dbf::select("fakt");
    }

    // Del: after the question the item leaves the total, its quantity goes back to its goods and
    // the record is deleted. False when the document has no items left.
    bool remove() {
        if (!PITANJE("Sigurno Brisete (D/N)?", 2)) return true;
        rt::dbf::WorkArea& a = items();
        a.go_to(recs_[cur_]);
        rt::dbf::select("fakt");
        if (!FIL_LOCK()) return true;
        const double value = net_value();
        const std::string sifra = a.get_str("SIFART");
        const double kolicina = a.get_num("KOLICINA");
        a.delete_record();
        a.commit();
        a.unlock();
        s_.h.KONZAPL -= value;
        show_total(s_);
        move_stock(sifra, kolicina);
        rt::dbf::select("fakt");

        recs_ = document_items(s_);
        if (recs_.empty()) return false;
        if (cur_ >= recs_.size()) cur_ = recs_.size() - 1;
        if (top_ > cur_) top_ = cur_;
        return true;
    }

    void no_more_items() {
        TON(1);
        PORUKA(std::string(invoice_kind() == InvoiceKind::PROFORMA ? "Pred" : "") + "Racun nema vise stavki !", 2);
        if (from_entry_) return back_to_entry();
        forget_rebate(s_);
        reopen(s_, true);
    }

    // Back into item entry: the code field the list was opened from ends as if left by Esc, and
    // the entry loop, seeing GD_IZMENA, shows the rows again.
    void back_to_entry() {
        forget_rebate(s_);
        rt::SET_LASTKEY(rt::K::ESC);
    }

    InvoiceScreen& s_;
    bool from_entry_;
    std::vector<uint32_t> recs_;
    size_t cur_ = 0, top_ = 0;
};

}  // namespace

void invoice_items(InvoiceScreen& s) {
    rt::ProcScope scope("RACUN");
    item_screen();
    if (s.h.NASTAVAK) {
        list_items(s, true);
    } else {
        s.it.R = FIRST_ROW;
        s.it.RB = 1;
    }
    show_total(s);
    while (new_item(s)) {
    }
    forget_rebate(s);
    rt::dbf::select("fakt");
}

void IRACUN(InvoiceScreen& s) {
    const bool from_entry = s.h.GD_IZMENA;
    if (!from_entry && !invoice_header_edit(s)) return;
    ItemList(s, from_entry).run();
}

}  // namespace tor
