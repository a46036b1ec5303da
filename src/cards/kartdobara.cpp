// The goods card: the dialogue that asks the article and the period (code 0 leads to the stock
// list or the recount of the whole register), and the card of one article in its two layouts,
// retail and wholesale, with the heading, the movements day by day, the running balance, the
// period totals, the closing stock and the signature lines.
#include <algorithm>
#include <string>
#include <vector>

#include "cards/cards.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"
#include "ui/ui.h"

namespace tor {

namespace {

// The article of the card and its period, as the dialogue leaves them for the layouts.
struct CardArticle {
    std::string WSIFRA;      // six digits
    std::string WNAZIV, WJMERE, WTARGR;
    double WPRODCEN = 0;     // the register's current sale price
};
CardArticle card;

// Quantities print with three decimals, prices and values with two; the balance and the totals
// take one digit more than the quantities.
const std::string& Q() { return BROJ103; }
const std::string& P() { return BROJ; }
std::string S() { return "9" + BROJ103; }

// One movement of the article in the period. The kinds are numbered in the order in which the
// movements of one day are listed.
enum Kind { PRICE_CHANGE = 0, COSTING = 1, INVOICE = 2, WRITE_OFF = 3 };
struct Movement {
    rt::Date date;
    Kind kind;
    std::string number;      // BRZAP, BRKALK or BRFAK
    std::string partner;     // supplier (costing) or customer (invoice)
    double quantity = 0;
    double price = 0;        // sale price; net of the rebate for an invoice; old price of a change
    double new_price = 0;    // new price of a price change
};

bool in_period(const rt::Date& d) { return !d.empty() && d >= WDATOD && d <= WDATDO; }

// Every movement of the article in the period. Each table is sought once on the article's code
// and read while the code matches; the document date of costing and invoice items comes from
// the header the relation has positioned. The result is ordered by day and, within a day, price
// changes, costings, invoices and write-offs, each kind in its index order.
std::vector<Movement> card_movements(const std::string& code, bool with_invoices) {
    std::vector<Movement> out;
    {
        rt::dbf::WorkArea& z = rt::dbf::area("zapis");
        for (z.seek(code); !z.eof() && z.get_str("SIFRA") == code; z.skip()) {
            const rt::Date d = z.get_date("DATZAP");
            if (in_period(d))
                out.push_back({d, PRICE_CHANGE, z.get_str("BRZAP"), "", z.get_num("KOLICINA"),
                               z.get_num("SPRODCEN"), z.get_num("NPRODCEN")});
        }
    }
    {
        rt::dbf::WorkArea& k = rt::dbf::area("kalk");
        const rt::dbf::WorkArea& u = rt::dbf::area("ukalk");
        for (k.seek(code); !k.eof() && k.get_str("SIFART") == code; k.skip()) {
            if (u.eof()) continue;   // an item without its header has no date
            const rt::Date d = u.get_date("DATKAL");
            if (in_period(d))
                out.push_back({d, COSTING, k.get_str("BRKALK"), u.get_str("DOBAV"), k.get_num("KOLICINA"),
                               k.get_num("PRODCEN"), 0});
        }
    }
    if (with_invoices) {
        rt::dbf::WorkArea& f = rt::dbf::area("fakt");
        const rt::dbf::WorkArea& u = rt::dbf::area("ufakt");
        for (f.seek(code); !f.eof() && f.get_str("SIFART") == code; f.skip()) {
            if (u.eof()) continue;
            const rt::Date d = u.get_date("DATFAK");
            if (!in_period(d)) continue;
            const double price = f.get_num("PRODCEN");
            out.push_back({d, INVOICE, f.get_str("BRFAK"), u.get_str("KUPAC"), f.get_num("KOLICINA"),
                           price - price * f.get_num("RABAT") / 100, 0});
        }
    }
    {
        rt::dbf::WorkArea& s = rt::dbf::area("stzart");
        for (s.seek(code); !s.eof() && s.get_str("SIFRA") == code; s.skip()) {
            const rt::Date d = s.get_date("DATUM");
            if (in_period(d))
                out.push_back({d, WRITE_OFF, "", "", s.get_num("KOLICINA"), s.get_num("PRODCEN"), 0});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Movement& a, const Movement& b) {
        if (a.date != b.date) return a.date < b.date;
        return a.kind < b.kind;
    });
    return out;
}

// A running sum of quantities kept to their three decimals (no -0.000 from binary leftovers).
void add(double& sum, double q) { sum = rt::ROUND(sum + q, 3) + 0.0; }

// Where the columns of a layout lie (print positions, 0-based).
struct Layout {
    bool wholesale;
    int first_row;            // first data row below the heading
    int date_col;
    int in_col, out_col;      // quantity in (costing, price change) and out (invoice, write-off)
    int price_col;
    int new_price_col;        // new price of a price change
    int balance_col;
    int in_total_col, out_total_col;
};
const Layout kRetail = {false, 12, 20, 32, 43, 54, 65, 64, 31, 42};
const Layout kWholesale = {true, 13, 14, 25, 36, 47, 58, 69, 24, 35};

// The card of the article chosen in the dialogue, in the given layout.
void print_card(const Layout& L) {
    const bool skip_invoices = rt::os::exists(DIR + "skipfakt.vlt");
    const bool skip_quantity = rt::os::exists(DIR + "skipkol.vlt");
    const std::vector<Movement> moves = card_movements(card.WSIFRA, !skip_invoices);

    EKRSTP();
    STR = 0;
    ZSTPSTZ();
    int R = L.first_row;
    double balance = 0, in_total = 0, out_total = 0;
    for (const Movement& m : moves) {
        const std::string date = rt::DTOC(m.date);
        switch (m.kind) {
        case PRICE_CHANGE:
            PSAY(R, 0, (L.wholesale ? "Z " : "Zapisnik ") + m.number);
            PSAY(R, L.date_col, date);
            if (!skip_quantity) PSAY(R, L.in_col, rt::TRANSFORM(m.quantity, Q()));
            PSAY(R, L.price_col, rt::TRANSFORM(m.price, P()));
            PSAY(R, L.new_price_col, rt::TRANSFORM(m.new_price, P()));
            break;
        case COSTING:
            add(balance, m.quantity);
            add(in_total, m.quantity);
            if (L.wholesale) {
                PSAY(R, 0, "K " + m.number);
                PSAY(R, 9, m.partner);
            } else {
                PSAY(R, 0, "Kalkulacija " + m.number);
            }
            PSAY(R, L.date_col, date);
            PSAY(R, L.in_col, rt::TRANSFORM(m.quantity, Q()));
            PSAY(R, L.price_col, rt::TRANSFORM(m.price, P()));
            if (L.wholesale) PSAY(R, 58, rt::TRANSFORM(m.quantity * m.price, P()));
            PSAY(R, L.balance_col, rt::TRANSFORM(balance, S()));
            break;
        case INVOICE:
        case WRITE_OFF:
            add(balance, -m.quantity);
            add(out_total, m.quantity);
            if (m.kind == INVOICE) {
                if (L.wholesale) {
                    PSAY(R, 0, "R " + m.number);
                    PSAY(R, 9, m.partner);
                } else {
                    PSAY(R, 0, "Racun " + m.number);
                }
            } else {
                PSAY(R, 0, L.wholesale ? "fiskal" : "Paragon Blok");
            }
            PSAY(R, L.date_col, date);
            PSAY(R, L.out_col, rt::TRANSFORM(m.quantity, Q()));
            PSAY(R, L.price_col, rt::TRANSFORM(m.price, P()));
            if (L.wholesale) PSAY(R, 58, rt::TRANSFORM(m.quantity * m.price, P()));
            PSAY(R, L.balance_col, rt::TRANSFORM(balance, S()));
            break;
        }
        ++R;
    }

    // The closing block: totals of the period and the stock at its end.
    PSAY(R, 0, std::string(80, '='));
    ++R;
    PSAY(R, L.in_total_col, rt::TRANSFORM(in_total, S()));
    PSAY(R, L.out_total_col, rt::TRANSFORM(out_total, S()));
    R += 2;
    PSAY(R++, 0, "Z A L I H A");
    PSAY(R++, 0, std::string(26, '='));
    PSAY(R++, 0, "Kolicina......: " + rt::TRANSFORM(balance, S()));
    PSAY(R++, 0, "Prodajna Cena.: " + rt::TRANSFORM(card.WPRODCEN, "9" + BROJ));
    PSAY(R, 0, std::string(26, '='));
    signature_lines(R + 3);
    report_end(79);
}

// The period question of the dialogue: both dates at row 15. False on Esc.
bool read_period() {
    rt::GetList gl;
    rt::GET(gl, rt::get(15, 40, WDATOD).name("WDATOD"));
    rt::GET(gl, rt::get(15, 54, WDATDO).name("WDATDO"));
    rt::READ(gl);
    return rt::LASTKEY() != rt::K::ESC;
}

// Code 0: the code range, then the period; the stock list, or the recount into the register when
// the period starts on 1 January and the user asks for it.
void whole_register() {
    rt::SAY(14, 30, "Sifre od        do       ");
    WSIF_OD = 0;
    WSIF_DO = 999999;
    rt::GetList gl;
    rt::GET(gl, rt::get(14, 39, WSIF_OD, "999999").name("WSIF_OD"));
    rt::GET(gl, rt::get(14, 49, WSIF_DO, "999999").valid([] { return WSIF_DO >= WSIF_OD; }).name("WSIF_DO"));
    rt::READ(gl);
    if (rt::LASTKEY() == rt::K::ESC || !read_period()) return;
    // A lookup left with Esc keeps the register on the record under its bar; the stock list and
    // the recount cover the register from its first article all the same.
    rt::dbf::area("mdart").go_top();
    rt::dbf::select("mdart");
    if (rt::LEFT(rt::DTOC(WDATOD), 5) == "01.01" && PITANJE("Prenosite Zalihu u Popis (D/N) ?")) {
        ZBIRUPOPIS();
        return;
    }
    ZBIRSTZART();
}

}  // namespace

void KARTDOBARA() {
    if (!open_stock_tables()) {
        PORUKA("Podaci su zauzeti na drugoj radnoj stanici !", 2);
        return;
    }
    const std::string colour = rt::SETCOLOR(NORMAL);
    BOXSHAD(13, 28, 16, 65);
    for (;;) {
        double wsifra = 0;
        WDATOD = rt::Date::ymd(rt::YEAR(DDAN), 1, 1);
        WDATDO = DDAN;
        rt::SAY(14, 30, "Sifra Dobra");
        // The label clears the dates a previous turn left at its right (a restart after an unknown
        // code shows no stale period).
        rt::SAY(15, 30, rt::PADR("Period od            do ", 34));
        rt::GetList gl;
        rt::GET(gl, rt::get(14, 42, wsifra, "999999").valid([] { return PREGLED("ART"); }).name("WSIFRA"));
        rt::READ(gl);
        if (rt::LASTKEY() == rt::K::ESC) break;
        if (wsifra == 0) {
            whole_register();
            break;
        }
        if (!read_period()) break;
        card.WSIFRA = rt::STRZERO(wsifra, 6);
        rt::dbf::WorkArea& art = rt::dbf::area("mdart");
        if (!art.seek(card.WSIFRA)) {
            PORUKA("Nepostoji ta Sifra !", 2);
            continue;
        }
        card.WNAZIV = art.get_str("NAZIV");
        card.WJMERE = art.get_str("JMERE");
        card.WTARGR = art.get_str("TARGR");
        card.WPRODCEN = art.get_num("PRODCEN");
        if (WSIFDEL == "002")
            KARTVELE();
        else
            KARTMALO();
        break;
    }
    rt::SETCOLOR(colour);
    rt::dbf::close_all();
}

void KARTMALO() { print_card(kRetail); }
void KARTVELE() { print_card(kWholesale); }

void ZSTPSTZ() {
    ++STR;
    PSAY(0, 0, "Obveznik: " + rt::ALLTRIM(WNAZKOM) + ", " + rt::TRIM(WVLASNIK));
    PSAY(0, 70, "Strana: " + rt::STRZERO(STR, 2));
    PSAY(1, 0, "Mesto: " + rt::TRIM(WMESKOM));
    PSAY(2, 0, "Datum: " + rt::DTOC(DDAN));
    PSAY(3, 0, std::string(68, '.') + "VELT Office.");
    PSAY(4, 0, "KARTICA DOBRA BROJ " + card.WSIFRA);
    PSAY(5, 0, "ZA PERIOD OD " + rt::DTOC(WDATOD) + " DO " + rt::DTOC(WDATDO));
    PSAY(6, 0, "Naziv " + rt::TRIM(card.WNAZIV));
    PSAY(7, 0, "Jedinica Mere " + rt::TRIM(card.WJMERE));
    PSAY(8, 0, "Tarifna Grupa " + card.WTARGR);
    PSAY(9, 0, std::string(80, '='));
    if (WSIFDEL == "002") {
        PSAY(10, 0, "Vrsta i  Kup.              Kolicina   Kolicina (Stara Cena Nova Cena)      Saldo");
        PSAY(11, 0, "Br.Dok.  Dob. Datum            Ulaz      Izlaz       Cena   Vrednost    Kolicina");
        PSAY(12, 0, std::string(80, '='));
    } else {
        PSAY(10, 0, "O P I S               Datum           Ulaz      Izlaz       Cena     Stanje");
        PSAY(11, 0, std::string(80, '='));
    }
}

}  // namespace tor
