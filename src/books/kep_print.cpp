// The KEP book print: the book of a period, or only its last page(s), 49 book rows a page with the
// debit and credit carried from page to page ("DONOS:" / "SVEGA ZA PRENOS:"). Row numbers and
// page numbers run through the whole book in date order, so a period continues the year.
#include <string>
#include <vector>

#include "books/books.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

const std::string AMOUNT_PIC = "999,999,999.99";
const std::string DC4 = "\x14";
const std::string EQ132(132, '='), DASH132(132, '-');

// The book's page heading reads these: the period shown and the page the first heading carries
// less one (the rows carried in front of the first printed row, in pages, not rounded).
rt::Date g_from, g_to;
double g_first_page = 0;

struct BookRow {
    std::string vrdok, opis;
    rt::Date datum, datupl;
    double zaduz = 0, razduz = 0;
};

// The whole book in date order, read once.
std::vector<BookRow> read_book() {
    std::vector<BookRow> rows;
    rt::dbf::AreaScope scope;
    rt::dbf::select_free();
    if (!open_table("tknjiga")) return rows;
    rt::dbf::WorkArea& t = rt::dbf::current();
    t.set_order(1);   // "tknjiga": by date
    for (t.go_top(); !t.eof(); t.skip()) {
        BookRow r;
        r.vrdok = t.get_str("VRDOK");
        r.opis = t.get_str("OPIS");
        r.datum = t.get_date("DATUM");
        r.datupl = t.get_date("DATUPL");
        r.zaduz = t.get_num("ZADUZ");
        r.razduz = t.get_num("RAZDUZ");
        rows.push_back(std::move(r));
    }
    t.close();
    return rows;
}

std::string amount(double v) { return rt::TRANSFORM(v, AMOUNT_PIC); }

void donos_row(double zz, double zr) {
    PSAY(12, 17, "DONOS:");
    PSAY(12, 102, amount(zz));
    PSAY(12, 118, amount(zr));
}

enum class Mode { PERIOD, LAST_PAGES };

// The period box; false on Esc. The key that ended the input chooses the mode; PgUp also asks
// how many pages back (nstr).
bool ask_period(Mode& mode, int& nstr) {
    WDATOD = POCMES(DDAN);
    WDATDO = DDAN;
    BOXSHAD(20, 21, 22, 60);
    rt::SAY(21, 24, "Period od            do           ");
    rt::GetList gl;
    rt::GET(gl, rt::get(21, 34, WDATOD).name("WDATOD"));
    rt::GET(gl, rt::get(21, 48, WDATDO).name("WDATDO"));
    rt::READ(gl);
    const int key = rt::LASTKEY();
    if (key == rt::K::ESC) return false;
    mode = Mode::PERIOD;
    nstr = 1;
    if (key == rt::K::PGDN) {
        mode = Mode::LAST_PAGES;
    } else if (key == rt::K::PGUP) {
        double pages = 0;
        BOXSHAD(16, 21, 18, 50);
        rt::SAY(17, 23, "Koliko strana unazad");
        rt::GetList g2;
        rt::GET(g2, rt::get(17, 44, pages, "999").name("NSTR"));
        rt::READ(g2);
        if (rt::LASTKEY() == rt::K::ESC) return false;
        mode = Mode::LAST_PAGES;
        nstr = static_cast<int>(pages);
    }
    return true;
}

}  // namespace

void ZKTKNJIGA() {
    ++STR;
    PSAY(0, 0, "Obveznik: " + rt::ALLTRIM(WNAZKOM) + ", " + rt::TRIM(WVLASNIK));
    PSAY(0, 68, "Strana: " + rt::STRZERO(g_first_page + STR, 3));
    PSAY(1, 0, "Mesto: " + rt::ALLTRIM(WMESKOM));
    PSAY(2, 0, rt::DTOC(DDAN));
    PSAY(2, 68, "Obrazac KEP");
    PSAY(3, 0, std::string(80, '-'));
    PSAY(4, 0, DWIDTH + "KNJIGA EVIDENCIJE PROMETA" + DC4);
    PSAY(5, 0, "ZA PERIOD OD " + rt::DTOC(g_from) + " DO " + rt::DTOC(g_to));
    PSAY(6, 0, COND_ON);
    PSAY(7, 0, EQ132);
    PSAY(8, 0,
         "Red    Datum             O P I S   K N J I Z E N J A                                                        "
         "I z n o s    d i n a r a");
    PSAY(9, 0,
         "Br.   knjizenja        (naziv, broj i datum dokumenta)                                                      "
         "zaduzenje     razduzenje");
    PSAY(10, 0,
         " 1       2                          3                                                                          "
         "4              5");
    PSAY(11, 0, EQ132);
}

void KTKNJIGA() {
    const rt::ScreenImage under = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    Mode mode = Mode::PERIOD;
    int nstr = 1;
    const bool go = ask_period(mode, nstr);
    rt::RESTSCREEN(under);
    rt::SETCOLOR(colour);
    if (!go) return;

    const std::vector<BookRow> book = read_book();
    const size_t n = book.size();

    // The rows carried in front of the first printed row.
    size_t first = 0;
    if (mode == Mode::PERIOD) {
        while (first < n && book[first].datum < WDATOD) ++first;
    } else {
        const long pages = static_cast<long>(n / KEP_PAGE_ROWS);
        long d = (n % KEP_PAGE_ROWS == 0 ? pages - 1 : pages) * KEP_PAGE_ROWS;
        d -= static_cast<long>(KEP_PAGE_ROWS) * (nstr - 1);
        first = d > 0 ? static_cast<size_t>(d) : 0;
        if (first > n) first = n;   // "0 pages back" reaches past the end: everything is carried
    }
    double zz = 0, zr = 0;
    for (size_t i = 0; i < first; ++i) {
        zz += book[i].zaduz;
        zr += book[i].razduz;
    }
    long rb = static_cast<long>(first);

    const bool any = first < n && !(WDATDO < book[first].datum);
    g_from = any ? book[first].datum : WDATOD;
    g_to = WDATDO;
    g_first_page = static_cast<double>(rb) / KEP_PAGE_ROWS;

    EKRSTP();
    STR = 0;
    ZKTKNJIGA();
    donos_row(zz, zr);
    int r = 13;
    for (size_t i = first; i < n && !(WDATDO < book[i].datum); ++i) {
        if (r > 61) {
            PSAY(62, 0, DASH132);
            PSAY(63, 17, "SVEGA ZA PRENOS:");
            PSAY(63, 102, amount(zz));
            PSAY(63, 118, amount(zr));
            PSAY(64, 0, "");
            ZKTKNJIGA();
            donos_row(zz, zr);
            r = 13;
        }
        const BookRow& b = book[i];
        const char kind = b.vrdok.empty() ? ' ' : b.vrdok[0];
        ++rb;
        PSAY(r, 0, rt::TRANSFORM(static_cast<double>(rb), "99999"));
        PSAY(r, 6, rt::DTOC(b.datum));
        PSAY(r, 17, b.opis);
        if (kind == 'K' || kind == 'R') PSAY(r, 68, rt::SUBSTR(b.vrdok, 2));
        PSAY(r, 75, rt::DTOC(kind == 'P' ? b.datupl : b.datum));
        PSAY(r, 102, amount(b.zaduz));
        PSAY(r, 118, amount(b.razduz));
        zz += b.zaduz;
        zr += b.razduz;
        ++r;
    }

    PSAY(r++, 0, EQ132);
    PSAY(r, 0, "UKUPNO: (zaliha " + rt::ALLTRIM(amount(zz - zr)) + ")");
    PSAY(r, 102, amount(zz));
    PSAY(r++, 118, amount(zr));
    PSAY(r, 0, EQ132);
    PRAW(COND_OFF);
    signature_lines(r + 3);
    report_end(130);
}

}  // namespace tor
