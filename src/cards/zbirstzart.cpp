// The stock of a range of articles over a period, read from the documents: the stock list with
// its reconciliation against the KEP book, the check of the register's sale prices against the
// latest document price, the stock in three columns, and the recount of the stock into POPKOL.
//
// Every article is found in each item table by seeking its code and reading while the code
// matches; the document date of costing and invoice items comes from the header the item table
// is related to. No table is read in full per article.
#include <algorithm>
#include <string>

#include "cards/cards.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace tor {

namespace {

using rt::Date;

// The period and the way the heading reads it (copies made when the list starts).
Date WWDATOD, WWDATDO;

constexpr int LIST_FIRST_ROW = 9;    // first body row of the stock list
constexpr int LIST_LAST_ROW = 60;    // a printed row past this ends the page
constexpr int COLS_FIRST_ROW = 4;    // first body row of the three-column print
constexpr int COLS_LAST_ROW = 65;
constexpr int BLOCK = 54;            // width of one article in the three-column print

const std::string LIST_COLUMNS =
    "R.Br Sifra  Naziv Dobra                              JM     Kolicina        Cena";
const std::string CHECK_COLUMNS =
    "R.Br Sifra  Naziv Dobra                              JM         Cena Moguca Cena";
const std::string BLOCK_COLUMNS = "Sifra    Naziv Dobra          Kolicina       Cena     ";

// Invoices stay out of every stock figure while this marker lies in the company directory.
bool invoices_counted() { return !rt::os::exists(DIR + "skipfakt.vlt"); }

bool in_period(const Date& d, const Date& from, const Date& to) { return d >= from && d <= to; }

// What the documents of the period say about one article.
struct Moves {
    double qty = 0;        // in less out
    double sold = 0;       // out through invoices and write-offs
    double wpc = 0;        // the latest document price
    double purchases = 0;  // costings at sale price, plus the price changes' difference on stock
    double takings = 0;    // invoices (before rebate) and write-offs at sale price
    std::string costings;  // the costing numbers seen, comma-separated
};

// The movements of an article in the open stock tables. Without prices only the quantities are
// gathered (the recount needs no more).
Moves article_moves(const std::string& code, const Date& from, const Date& to, bool with_prices, bool invoices) {
    Moves m;
    // The latest price: a later (or, for most kinds, equal) document date takes over. The kinds
    // are visited in the order costings, price changes, invoices, write-offs, so on one day the
    // later-visited kind wins; a price change needs a date strictly after the last one taken.
    Date ref = Date::ymd(2000, 1, 1);

    rt::dbf::WorkArea& kalk = rt::dbf::area("kalk");
    rt::dbf::WorkArea& ukalk = rt::dbf::area("ukalk");
    for (bool on = kalk.seek(code); on && !kalk.eof() && kalk.get_str("SIFART") == code; kalk.skip()) {
        const Date d = ukalk.eof() ? Date() : ukalk.get_date("DATKAL");
        if (!in_period(d, from, to)) continue;
        const double q = kalk.get_num("KOLICINA"), p = kalk.get_num("PRODCEN");
        m.qty += q;
        if (!with_prices) continue;
        m.purchases += q * p;
        if (d >= ref) {
            m.wpc = p;
            ref = d;
        }
        if (!m.costings.empty()) m.costings += ",";
        m.costings += rt::ALLTRIM(rt::STR(rt::VAL(kalk.get_str("BRKALK")), 10, 0));
    }

    if (with_prices) {
        rt::dbf::WorkArea& zapis = rt::dbf::area("zapis");
        for (bool on = zapis.seek(code); on && !zapis.eof() && zapis.get_str("SIFRA") == code; zapis.skip()) {
            const Date d = zapis.get_date("DATZAP");
            if (!in_period(d, from, to)) continue;
            const double n = zapis.get_num("NPRODCEN");
            m.purchases += zapis.get_num("KOLICINA") * (n - zapis.get_num("SPRODCEN"));
            if (d > ref) {
                m.wpc = n;
                ref = d;
            }
        }
    }

    auto out = [&](double q, double p, const Date& d) {
        m.qty -= q;
        m.sold += q;
        m.takings += q * p;
        if (d >= ref) {
            m.wpc = p;
            ref = d;
        }
    };
    if (invoices) {
        rt::dbf::WorkArea& fakt = rt::dbf::area("fakt");
        rt::dbf::WorkArea& ufakt = rt::dbf::area("ufakt");
        for (bool on = fakt.seek(code); on && !fakt.eof() && fakt.get_str("SIFART") == code; fakt.skip()) {
            const Date d = ufakt.eof() ? Date() : ufakt.get_date("DATFAK");
            if (in_period(d, from, to)) out(fakt.get_num("KOLICINA"), fakt.get_num("PRODCEN"), d);
        }
    }
    rt::dbf::WorkArea& stz = rt::dbf::area("stzart");
    for (bool on = stz.seek(code); on && !stz.eof() && stz.get_str("SIFRA") == code; stz.skip()) {
        const Date d = stz.get_date("DATUM");
        if (in_period(d, from, to)) out(stz.get_num("KOLICINA"), stz.get_num("PRODCEN"), d);
    }
    return m;
}

bool nonzero(double v, int dec) { return rt::ROUND(v, dec) != 0; }
bool same_integer(double a, double b) { return rt::INT(rt::ROUND(a, 2)) == rt::INT(rt::ROUND(b, 2)); }
std::string num(double v, const std::string& picture) { return rt::TRANSFORM(v, picture); }

// The first article of the code range (the walk starts there whatever the register's position).
void goods_from(rt::dbf::WorkArea& mdart, double from_code) {
    if (from_code <= 0) mdart.go_top();
    else mdart.seek(rt::STRZERO(from_code, 6), true);
}

bool wanted(const rt::dbf::WorkArea& mdart, double lo, double hi) {
    if (mdart.get_bool("USLUGA")) return false;
    const double code = rt::VAL(mdart.get_str("SIFRA"));
    return code >= lo && code <= hi;
}

// " Obradjeno " and the share of the register walked so far; drawn again only when it changes.
void progress(long walked, uint32_t count, int& shown) {
    const double share = count ? std::min(100.0, static_cast<double>(walked) / count * 100) : 0;
    const int now = static_cast<int>(rt::ROUND(share, 0));
    if (now == shown) return;
    shown = now;
    rt::SAY(12, 32, " Obradjeno " + rt::TRANSFORM(share, "999% "));
}

// "Sastavio" and "Odgovorno lice" three rows below the last row, the names under them.
void signatures(int row) { signature_lines(row + 3); }

// The stock value and its reconciliation with the purchases, the takings and the KEP book, on
// the screen route of the stock list. Returns the row after the last one printed.
int reconciliation(int row, double purchases, double takings, double at_latest, double value) {
    if (!same_integer(at_latest, purchases - takings))
        PSAY(row++, 0, "=> Razlika izmedju Zalihe i Nabavka-Pazari je " + num(at_latest - (purchases - takings), BROJ));
    double debit = 0, credit = 0;
    rt::dbf::WorkArea& kep = rt::dbf::area("tknjiga");
    for (kep.go_top(); !kep.eof() && kep.get_date("DATUM") <= WWDATDO; kep.skip()) {
        debit += kep.get_num("ZADUZ");
        credit += kep.get_num("RAZDUZ");
    }
    ++row;
    PSAY(row++, 0, "Stanje KEP za period " + rt::DTOC(WWDATOD) + " do " + rt::DTOC(WWDATDO));
    PSAY(row++, 0, "Zaduzenje " + num(debit, BROJ122) + "   -   Razduzenje " + num(credit, BROJ122) +
                       "   =   Zaliha " + num(debit - credit, BROJ122));
    if (!same_integer(debit, purchases))
        PSAY(row++, 0, "=> Razlika izmedju Zaduzenja i Nabavke je " + num(debit - purchases, BROJ));
    if (!same_integer(credit, takings))
        PSAY(row++, 0, "=> Razlika izmedju Razduzenja i Pazara je " + num(credit - takings, BROJ));
    if (!same_integer(value, debit - credit))
        PSAY(row++, 0, "=> Razlika izmedju Stanja Zalihe i Zalihe KEP je " + num(value - (debit - credit), BROJ));
    return row;
}

}  // namespace

double article_period_quantity(const std::string& code, rt::Date from, rt::Date to) {
    return article_moves(code, from, to, false, invoices_counted()).qty;
}

void ZZBIRSTZART() {
    ++STR;
    PSAY(0, 0, "Obveznik: " + rt::ALLTRIM(WNAZKOM) + ", " + rt::TRIM(WVLASNIK));
    PSAY(0, 69, "Strana: " + rt::STRZERO(STR, 2));
    PSAY(1, 0, "Mesto: " + rt::ALLTRIM(WMESKOM));
    PSAY(2, 0, "Datum: " + rt::DTOC(DDAN));
    PSAY(3, 0, std::string(67, '.') + "VELT Office.");
    const std::string from = rt::DTOC(WWDATOD), to = rt::DTOC(WWDATDO);
    if (DAJ_ZBIR) {
        PSAY(5, 0, "MOGUCE GRESKE U PRODAJNOJ CENI (Period od " + from + " do " + to + ")");
        PSAY(6, 0, std::string(80, '='));
        PSAY(7, 0, CHECK_COLUMNS);
    } else {
        PSAY(5, 0, "STANJE ZALIHA DOBARA za period od " + from + " do " + to);
        PSAY(6, 0, std::string(80, '='));
        PSAY(7, 0, LIST_COLUMNS + (NAEKR ? " (Prodato)  Kalkulacije" : ""));
    }
    PSAY(8, 0, std::string(80, '='));
}

void ZBIRSTZART() {
    const bool check = DAJ_ZBIR;
    // The price check looks at every article over the year so far.
    WWDATOD = check ? Date::ymd(rt::YEAR(DDAN), 1, 1) : WDATOD;
    WWDATDO = check ? DDAN : WDATDO;
    const double lo = check ? 0 : WSIF_OD, hi = check ? 999999 : WSIF_DO;

    EKRSTP();
    const Route route = print_route();
    const bool screen = route == Route::SCREEN;
    if (!check && (route == Route::FILE || route == Route::PRINTER || route == Route::WINPRINTER) &&
        PITANJE("Stampa zalihe u tri kolone (D/N)?")) {
        STPZBIRSTZART();
        return;
    }

    const bool to_ddan = WWDATDO == DDAN;   // a period up to today is priced at the register price
    STR = 0;
    ZZBIRSTZART();
    int row = LIST_FIRST_ROW;
    int number = 0, negative = 0;
    double purchases = 0, takings = 0, at_register = 0, at_latest = 0;

    rt::dbf::select("mdart");
    rt::dbf::WorkArea& mdart = rt::dbf::current();
    const uint32_t count = mdart.reccount();
    long walked = 0;
    int shown = -1;
    const bool invoices = invoices_counted();
    for (goods_from(mdart, lo); !mdart.eof(); mdart.skip()) {
        progress(++walked, count, shown);
        if (rt::VAL(mdart.get_str("SIFRA")) > hi) break;
        if (!wanted(mdart, lo, hi)) continue;
        const std::string code = mdart.get_str("SIFRA");
        const Moves m = article_moves(code, WWDATOD, WWDATDO, true, invoices);
        purchases += m.purchases;
        takings += m.takings;
        if (rt::ROUND(m.qty, 3) < 0) ++negative;
        const double price = mdart.get_num("PRODCEN");

        bool print;
        if (check) print = rt::ROUND(price, 3) != rt::ROUND(m.wpc, 3);
        else print = nonzero(m.qty, 3) || S_NULAZALIHA;
        if (!print) continue;

        PSAY(row, 0, rt::TRANSFORM(static_cast<double>(++number), "9999"));
        PSAY(row, 5, code);
        PSAY(row, 12, mdart.get_str("NAZIV"));
        PSAY(row, 53, mdart.get_str("JMERE"));
        if (check) {
            PSAY(row, 58, num(price, BROJ));
            PSAY(row, 70, num(m.wpc, BROJ));
        } else {
            PSAY(row, 58, num(m.qty, BROJ103));
            PSAY(row, 70, num(to_ddan ? price : m.wpc, BROJ));
            if (screen) {
                if (nonzero(m.sold, 3)) PSAY(row, 81, "(" + rt::ALLTRIM(num(m.sold, BROJ103)) + ")");
                if (!m.costings.empty()) PSAY(row, 92, rt::LEFT(m.costings, 200));
            }
            at_register += m.qty * price;
            at_latest += m.qty * m.wpc;
        }
        if (++row > LIST_LAST_ROW) {
            PSAY(row, 0, std::string(80, '-'));
            PSAY(row + 2, 0, "");   // an empty row under the rule
            ZZBIRSTZART();
            row = LIST_FIRST_ROW;
        }
    }

    PSAY(row, 0, std::string(80, '='));
    if (!check) {
        const double value = to_ddan ? at_register : at_latest;
        if (screen) {
            row += 2;
            PSAY(row++, 0, "Nabavka       " + num(purchases, BROJ122));
            PSAY(row++, 0, "Pazari        " + num(takings, BROJ122));
            PSAY(row++, 0, std::string(24, '='));
            PSAY(row, 0, "Stanje zaliha " + num(value, BROJ122));
            if (rt::MONTH(WWDATOD) == 1 && rt::DAY(WWDATOD) == 1)
                row = reconciliation(row + 1, purchases, takings, at_latest, value) - 1;
        } else {
            ++row;
            PSAY(row, 0, "Stanje zaliha ");
            PSAY(row, 68, num(value, BROJ122));
        }
        signatures(row);
    }
    EJECT();
    print_close();
    if (!check && negative > 0)
        PORUKA("Dobara sa negativnom kolicinom ukupno: " + rt::TRANSFORM(static_cast<double>(negative), "99999"), 2);
    if (screen) {
        const std::string file = OSNDIR + TEMP_FIL;
        FDISP(file, 2, 0, 23, 79, 79);
        rt::os::erase(file);
    } else if (route != Route::DISCARD && route != Route::NONE) {
        BRSTPSTR(STR);
    }
}

void ZSTPZBIRSTZART() {
    ++STR;
    PSAY(0, 0, rt::ALLTRIM(WNAZKOM) + ", " + rt::TRIM(WVLASNIK));
    PSAY(0, 69, "Strana: " + rt::STRZERO(STR, 2));
    PSAY(1, 0, "STANJE ZALIHA DOBARA za period " + rt::DTOC(WWDATOD) + " - " + rt::DTOC(WWDATDO));
    PRAW(ELITE + COND_ON);
    PSAY(2, 0, BLOCK_COLUMNS + BLOCK_COLUMNS + rt::TRIM(BLOCK_COLUMNS));
    PSAY(3, 0, std::string(157, '='));
}

void STPZBIRSTZART() {
    WWDATOD = WDATOD;
    WWDATDO = WDATDO;
    STR = 0;
    ZSTPZBIRSTZART();
    int row = COLS_FIRST_ROW, column = 0;
    double value = 0;
    const bool invoices = invoices_counted();

    rt::dbf::select("mdart");
    rt::dbf::WorkArea& mdart = rt::dbf::current();
    for (goods_from(mdart, WSIF_OD); !mdart.eof(); mdart.skip()) {
        if (rt::VAL(mdart.get_str("SIFRA")) > WSIF_DO) break;
        if (!wanted(mdart, WSIF_OD, WSIF_DO)) continue;
        const double qty = article_moves(mdart.get_str("SIFRA"), WWDATOD, WWDATDO, false, invoices).qty;
        if (!nonzero(qty, 3) && !S_NULAZALIHA) continue;
        const double price = mdart.get_num("PRODCEN");
        const int at = column * BLOCK;
        // The quantity takes the place of the name's end: 21 characters of the name are shown.
        PSAY(row, at, mdart.get_str("SIFRA"));
        PSAY(row, at + 7, rt::LEFT(mdart.get_str("NAZIV"), 21));
        PSAY(row, at + 28, num(qty, BROJ93));
        PSAY(row, at + 39, num(price, BROJ));
        value += qty * price;
        if (++column == 3) {
            column = 0;
            if (++row > COLS_LAST_ROW) {
                PSAY(row, 0, std::string(157, '-'));
                PRAW(PICA + COND_OFF);
                ZSTPZBIRSTZART();
                row = COLS_FIRST_ROW;
            }
        }
    }
    if (column > 0) ++row;
    PSAY(row, 0, std::string(157, '='));
    PRAW(PICA + COND_OFF);
    PSAY(row + 1, 0, "Stanje zaliha ");
    PSAY(row + 1, 66, num(value, "99" + BROJ));
    EJECT();
    print_close();
    rt::dbf::close_all();
}

void ZBIRUPOPIS() {
    PORUKA("Proracun Zalihe u toku...", 1);
    rt::dbf::select("mdart");
    rt::dbf::WorkArea& mdart = rt::dbf::current();
    const bool invoices = invoices_counted();
    for (mdart.go_top(); !mdart.eof(); mdart.skip()) {
        if (mdart.get_bool("USLUGA")) continue;
        const double qty =
            rt::ROUND(article_moves(mdart.get_str("SIFRA"), WDATOD, WDATDO, false, invoices).qty, 3);
        if (rt::ROUND(mdart.get_num("POPKOL"), 3) == qty) continue;   // nothing to store
        if (!REC_LOCK()) continue;   // held by another workstation: left as it was
        mdart.put("POPKOL", qty);
        mdart.unlock();
    }
    mdart.commit();
    rt::dbf::close_all();
}

void recount_stock_on_entry() {
    const Date from = WDATOD, to = WDATDO;
    const rt::ScreenImage screen = rt::SAVESCREEN();
    {
        rt::dbf::AreaScope scope;
        WDATOD = Date::ymd(rt::YEAR(DDAN), 1, 1);
        WDATDO = DDAN;
        if (open_stock_tables()) ZBIRUPOPIS();
    }
    WDATOD = from;
    WDATDO = to;
    rt::RESTSCREEN(screen);
}

}  // namespace tor
