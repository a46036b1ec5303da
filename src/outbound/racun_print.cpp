// The invoice print: letterhead (text, or a picture command from "faktmemo.vlt"), buyer block,
// item lines in the narrow 80-column or the wide condensed form, the totals with the advances of a
// final invoice, the amount in words, payment terms, the company's optional texts (clause,
// e-invoice identifier, statement of account, e-signature), the signature lines; then the amount
// to pay stored in the header and, for a trade shop, the invoice booked into the KEP book.
#include <algorithm>
#include <string>
#include <vector>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "outbound/outbound.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/memoedit.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace tor {

namespace {

// Double width off (the letterhead's company name is printed double width).
const std::string DWIDTH_OFF = "\x14";

struct Item {
    std::string sifart, nazart, jmere, targr;
    double kolicina = 0, prodcen = 0, rabat = 0, pspor = 0;
};

struct Header {
    std::string brfak, kupac, nazkup, nazkup2, pttkup, pakkup, meskup, ulkup, ulkup2, pibkup;
    std::string napomena[4];
    rt::Date datfak, datpro, datval;
    double avans000 = 0, avans008 = 0, avans018 = 0;
};

// The state of one print: the form, the kind, the picture letterhead and the running totals.
struct Print {
    InvoiceKind kind = InvoiceKind::INVOICE;
    bool narrow = false;     // 80-column form
    bool printing = false;   // printer codes go out (not on the screen)
    Header h;
    // picture letterhead
    bool memo = false;
    int rows = 0;
    std::string picture, suffix;
    // totals
    double rebate = 0, base = 0, vat = 0, gross = 0;
    double base_low = 0, vat_low = 0, base_gen = 0, vat_gen = 0;

    int width() const { return narrow ? 80 : 136; }
    // A printer code, or nothing on the screen.
    std::string code(const std::string& c) const { return printing ? c : std::string(); }
    bool proforma() const { return kind == InvoiceKind::PROFORMA; }
    bool advance() const { return kind == InvoiceKind::ADVANCE; }
    bool final_invoice() const { return kind == InvoiceKind::FINAL; }
};

std::string company_file(const std::string& name) { return DIR + name; }

// "faktmemo.vlt": rows;picture path,dpi;suffix;
void read_memo(Print& p) {
    const std::string file = company_file("faktmemo.vlt");
    if (!rt::os::exists(file)) return;
    const std::string text = rt::os::read_file(file);
    std::vector<std::string> parts;
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t semi = text.find(';', pos);
        if (semi == std::string::npos) {
            parts.push_back(text.substr(std::min(pos, text.size())));
            pos = text.size();
        } else {
            parts.push_back(text.substr(pos, semi - pos));
            pos = semi + 1;
        }
    }
    p.memo = true;
    p.rows = static_cast<int>(rt::VAL(parts[0]));
    if (p.rows < 0) p.rows = 0;
    p.picture = "\x1B\"" + parts[1] + "\"";
    p.suffix = parts[2];
    // A line end left in the file is not part of the suffix.
    while (!p.suffix.empty() && (p.suffix.back() == '\r' || p.suffix.back() == '\n')) p.suffix.pop_back();
}

// The text's lines without a trailing empty line.
std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> lines = rt::memo_lines(text);
    while (!lines.empty() && rt::TRIM(lines.back()).empty()) lines.pop_back();
    return lines;
}

// Prints the lines of a text from the row after row; returns the last row used.
int print_text(int row, const std::string& text) {
    for (const std::string& l : text_lines(text)) PSAY(++row, 0, rt::TRIM(l));
    return row;
}

// Codes are printed at the row and column without taking room on paper, then the text.
void say(int row, int col, const std::string& codes, const std::string& text) {
    PSAY(row, col, "");
    PRAW(codes);
    PSAY(row, col, text);
}

// The page heading; returns the row of the first item line.
int ZSTPRAC(const Print& p) {
    const Header& h = p.h;
    int r = 0;
    if (p.memo) {
        r = p.rows;
        PSAY(0, 0, p.picture);
    } else {
        // The company's data as the company register holds them, with the blanks of their fields
        // (the street and the phone are composed without them).
        say(0, 0, p.code(DSTRIKE_ON + EMPH_ON + DWIDTH), WNAZKOM);
        PRAW(p.code(DWIDTH_OFF));
        std::string place = WMESKOM;
        if (!rt::EMPTY(WULICAKOM)) place += ", " + WULICAKOM;
        PSAY(1, 0, place);
        PSAY(2, 0, "Telefon: " + WTELKOM);
        PSAY(3, 0, "Tekuci racun: " + WZIROKOM);
        std::string pib = "PIB: " + WPIBKOM;
        if (WPDVKOM) pib += "  PEPDV: " + WPEPDVKOM;
        PSAY(4, 0, pib);
        PSAY(5, 0, std::string(68, '.') + "VELT Office.");
        PRAW(p.code(EMPH_OFF + DSTRIKE_OFF));
    }
    PSAY(6 + r, 41, "Sifra Kupca: " + h.kupac);
    std::string title = p.proforma() ? "PRED" : p.advance() ? "AVANSNI " : p.final_invoice() ? "KONACNI " : "";
    title += "RACUN";
    if (S_RACOTP && !p.proforma() && !p.advance()) title += "-OTPREMNICA";
    title += " broj: " + h.brfak + p.suffix;
    say(7 + r, 0, p.code(DSTRIKE_ON), title);
    // The buyer's data are printed as stored in the invoice header.
    PSAY(8 + r, 41, "Kupac: " + h.nazkup);
    PRAW(p.code(DSTRIKE_OFF));
    int o = r;   // offset of the rows below the buyer's name
    if (!rt::EMPTY(h.nazkup2)) {
        PSAY(9 + r, 48, h.nazkup2);
        ++o;
    }
    // The rows below the name, gathered first and printed in row order.
    struct Cell {
        int row, col;
        std::string text;
    };
    std::vector<Cell> cells;
    cells.push_back({9 + o, 0, std::string("Datum ") + (p.proforma() ? "Pred" : "") + "Racuna: " + rt::DTOC(h.datfak)});
    cells.push_back({9 + o, 48, h.pttkup + " " + h.meskup});
    cells.push_back({10 + o, 0, "Mesto Izdavanja: " + (rt::EMPTY(WMESKOMPJ) ? WMESKOM : WMESKOMPJ)});
    if (!p.proforma() && !p.advance())
        cells.push_back({11 + o, 0, "Datum Prometa dobara i usluga: " + rt::DTOC(h.datpro)});
    // Buyer's identification: a personal number of 13 characters, otherwise the tax number.
    const std::string ident = (rt::ALLTRIM(h.pibkup).size() == 13 ? "JMBG: " : "PIB: ") + h.pibkup;
    int id_row = 10 + o;
    if (!rt::EMPTY(h.ulkup)) {
        cells.push_back({10 + o, 48, h.ulkup});
        id_row = 11 + o;
        if (!rt::EMPTY(h.ulkup2)) {
            cells.push_back({11 + o, 48, h.ulkup2});
            id_row = 12 + o;
        }
    }
    cells.push_back({id_row, 48, ident});
    if (!rt::EMPTY(h.pakkup)) cells.push_back({id_row, 66, "[PAK:" + h.pakkup + "]"});
    std::stable_sort(cells.begin(), cells.end(),
                     [](const Cell& a, const Cell& b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
    for (const Cell& c : cells) PSAY(c.row, c.col, c.text);
    // The column heading keeps clear of a buyer block that reaches down to its first row.
    int hr = 12 + o;
    if (id_row >= hr) hr = id_row + 1;
    if (p.narrow) {
        PSAY(hr, 0, std::string(80, '='));
        PSAY(hr + 1, 0, "Red                           Jed.  PDV Rabat               Prodajna    Prodajna");
        PSAY(hr + 2, 0, "Br. Sifra Naziv dobra/usluge  Mere stopa (%)    Kolicina        Cena    Vrednost");
        PSAY(hr + 3, 0, std::string(80, '='));
    } else {
        say(hr, 0, p.code(COND_ON), std::string(136, '='));
        PSAY(hr + 1, 0,
             "Red                                     Jed.                  Cena Rabat   Prod. cena   Vrednost Stopa     "
             "Iznos  Prod. Cena    Vrednost");
        PSAY(hr + 2, 0,
             "Br. Sifra Naziv dobra ili usluge        Mere Kolicina      bez PDV  (%)       bez PDV    bez PDV  PDV       "
             " PDV      sa PDV      sa PDV");
        PSAY(hr + 3, 0, std::string(136, '='));
    }
    return hr + 4;
}

// The name cut for the item line: at the last blank within the width, else at the width. Both
// parts are printed as cut from the stored name.
void split_name(const std::string& name, int width, std::string& first, std::string& rest) {
    const std::string trimmed = rt::TRIM(name);
    int cut = rt::RAT(" ", rt::LEFT(name, width));
    if (cut == 0 || static_cast<int>(trimmed.size()) < width) {
        first = rt::LEFT(name, width);
        rest = rt::SUBSTR(name, width + 1);
    } else {
        first = rt::LEFT(name, cut - 1);
        rest = rt::SUBSTR(name, cut + 1);
    }
}

// One item line (and the rest of its name); returns the next free row.
int print_item(Print& p, int row, int rb, const Item& it) {
    const double nc = it.prodcen - it.prodcen * it.rabat / 100;
    const double j = it.pspor == 0 ? 1 : rt::VAL("1." + rt::RIGHT(it.targr, 2));
    const double p0 = it.prodcen / j;
    const double n0 = nc / j;
    const double v = nc - n0;
    std::string first, rest;
    split_name(it.nazart, p.narrow ? 20 : 29, first, rest);
    const std::string qpic = it.kolicina == rt::INT(it.kolicina) ? BROJ : BROJ103;
    const std::string q = rt::TRANSFORM(it.kolicina, qpic);
    // Two digits; from the hundredth line on the whole number (never asterisks).
    PSAY(row, 0, rb < 100 ? rt::STRZERO(rb, 2) : std::to_string(rb));
    PSAY(row, 3, it.sifart);
    PSAY(row, 10, first);
    if (p.narrow) {
        PSAY(row, 31, it.jmere);
        PSAY(row, 36, it.targr);
        PSAY(row, 40, rt::TRANSFORM(it.rabat, "99.99"));
        PSAY(row, 46, q);
        PSAY(row, 57, rt::TRANSFORM(nc, "9" + BROJ));
        PSAY(row, 69, rt::TRANSFORM(it.kolicina * nc, "9" + BROJ));
    } else {
        PSAY(row, 40, it.jmere);
        PSAY(row, 43, q);
        PSAY(row, 54, rt::TRANSFORM(p0, "99" + BROJ103));
        PSAY(row, 67, rt::TRANSFORM(it.rabat, "99.99"));
        PSAY(row, 73, rt::TRANSFORM(n0, "99" + BROJ103));
        PSAY(row, 86, rt::TRANSFORM(it.kolicina * n0, "9" + BROJ));
        PSAY(row, 98, it.targr);
        PSAY(row, 102, rt::TRANSFORM(it.kolicina * v, BROJ));
        PSAY(row, 113, rt::TRANSFORM(nc, "9" + BROJ));
        PSAY(row, 125, rt::TRANSFORM(it.kolicina * nc, "9" + BROJ));
    }
    ++row;
    if (!rt::EMPTY(rest)) PSAY(row++, 10, rest);

    p.rebate += (p0 - n0) * it.kolicina;
    p.base += it.kolicina * n0;
    p.vat += it.kolicina * v;
    p.gross += it.kolicina * nc;
    if (it.targr == "008" || it.targr == "010") {
        p.base_low += it.kolicina * n0;
        p.vat_low += it.kolicina * v;
    } else if (it.targr == "018" || it.targr == "020") {
        p.base_gen += it.kolicina * n0;
        p.vat_gen += it.kolicina * v;
    }
    return row;
}

// Days between the date of supply and the due date (0 when one of them is missing).
double days_of_credit(const Header& h) {
    if (h.datval.empty() || h.datpro.empty()) return 0;
    return static_cast<double>(h.datval - h.datpro);
}

std::string amt(double v) { return rt::TRANSFORM(v, "9" + BROJ); }

// The three columns of a final invoice: the invoice, the advance, the difference. Each column is
// 31 characters wide; one blank keeps them apart.
constexpr int kCol2 = 32, kCol3 = 64;

void three(int row, const std::string& a, const std::string& b, const std::string& c) {
    PSAY(row, 0, a);
    PSAY(row, kCol2, b);
    PSAY(row, kCol3, c);
}

// The summary of a final invoice, from row; returns the next free row.
int final_summary(const Print& p, int row) {
    const double a0 = p.h.avans000, aps = p.h.avans008, aos = p.h.avans018;
    const double d = p.h.datfak < rt::Date::ymd(2012, 10, 1) ? 1.18 : 1.20;
    const double adv_base_low = aps / 1.10, adv_base_gen = aos / d;
    const double adv_vat_low = aps - adv_base_low, adv_vat_gen = aos - adv_base_gen;
    const double adv_base = a0 + adv_base_low + adv_base_gen;
    const double adv_vat = adv_vat_low + adv_vat_gen;
    const std::string eq(31, '='), dash(31, '-');
    say(row, 0, p.code(COND_ON), "UKUPNO BEZ PDV:     " + amt(p.base));
    PSAY(row, kCol2, "AVANS BEZ PDV:      " + amt(adv_base));
    PSAY(row, kCol3, "RAZLIKA BEZ PDV:    " + amt(p.base - adv_base));
    three(++row, eq, eq, eq);
    if (WPDVKOM) {
        const std::string head = "   Osnovica Stopa           PDV";
        three(++row, head, head, head);
        three(++row, dash, dash, dash);
        three(++row, amt(p.base_low) + " Posebna " + amt(p.vat_low), amt(adv_base_low) + " Posebna " + amt(adv_vat_low),
              amt(p.base_low - adv_base_low) + " Posebna " + amt(p.vat_low - adv_vat_low));
        three(++row, amt(p.base_gen) + " Opsta   " + amt(p.vat_gen), amt(adv_base_gen) + " Opsta   " + amt(adv_vat_gen),
              amt(p.base_gen - adv_base_gen) + " Opsta   " + amt(p.vat_gen - adv_vat_gen));
        three(++row, dash, dash, dash);
    }
    three(++row, "UKUPNO PDV:         " + amt(p.vat), "AVANS PDV:          " + amt(adv_vat),
          "RAZLIKA PDV:        " + amt(p.vat - adv_vat));
    three(++row, eq, eq, eq);
    PRAW(p.code(COND_OFF));
    return row + 1;
}

// The text with the statement of account filled in: the previous debt is read after its marker.
std::string statement_of_account(std::string text, double zapla) {
    const std::string mark = "%PRETHODNI_DUG%";
    double previous = 0;
    const int at = rt::AT(mark, text);
    if (at > 0) {
        text = rt::STRTRAN(text, mark, "");
        previous = rt::VAL(rt::STRTRAN(rt::SUBSTR(text, at, 10), ",", ""));
    }
    text = rt::STRTRAN(text, "%TEKUCI_MESEC%", rt::TRANSFORM(zapla, "999,999.99"));
    text = rt::STRTRAN(text, "%UKUPNO_ZA_UPLATU%", rt::TRANSFORM(previous + zapla, "999,999.99"));
    return text;
}

// The invoice booked into the KEP book of a trade shop: one row "R" + number.
}  // namespace

bool invoices_post_to_kep() { return WSIFDEL == "002" || WSIFDEL == "009"; }

namespace {

void post_to_kep_book(const Header& h, double gross) {
    const rt::ScreenImage under = rt::SAVESCREEN();
    PORUKA("Prenos Racuna u druge knjige...", 1);
    rt::dbf::select_free();
    if (open_table("tknjiga")) {
        rt::dbf::WorkArea& t = rt::dbf::current();
        t.set_order(2);   // "tknjiga1": by document code
        const std::string key = invoice_posting_key(h.brfak);
        const bool locked = t.seek(key) ? REC_LOCK() : ADD_REC();
        if (locked) {
            t.put("VRDOK", key);
            t.put("DATUM", h.datfak);
            t.put("OPIS", rt::TRIM(rt::TRIM(h.nazkup) + ", " + rt::TRIM(h.meskup)));
            t.put("RAZDUZ", rt::ROUND(gross, 2));
            t.commit();
            t.unlock();
        }
        t.close();
    }
    rt::RESTSCREEN(under);
}

Header read_header(rt::dbf::WorkArea& u) {
    Header h;
    h.brfak = u.get_str("BRFAK");
    h.kupac = u.get_str("KUPAC");
    h.nazkup = u.get_str("NAZKUP");
    h.nazkup2 = u.get_str("NAZKUP2");
    h.pttkup = u.get_str("PTTKUP");
    h.pakkup = u.get_str("PAKKUP");
    h.meskup = u.get_str("MESKUP");
    h.ulkup = u.get_str("ULKUP");
    h.ulkup2 = u.get_str("ULKUP2");
    h.pibkup = u.get_str("PIBKUP");
    for (int i = 0; i < 4; ++i) h.napomena[i] = u.get_str("NAPOMENA" + std::to_string(i + 1));
    h.datfak = u.get_date("DATFAK");
    h.datpro = u.get_date("DATPRO");
    h.datval = u.get_date("DATVAL");
    h.avans000 = u.get_num("AVANS000");
    h.avans008 = u.get_num("AVANS008");
    h.avans018 = u.get_num("AVANS018");
    return h;
}

std::vector<Item> read_items(rt::dbf::WorkArea& f, const std::string& brfak) {
    std::vector<Item> items;
    for (f.seek(brfak); !f.eof() && f.get_str("BRFAK") == brfak; f.skip()) {
        Item it;
        it.sifart = f.get_str("SIFART");
        it.nazart = f.get_str("NAZART");
        it.jmere = f.get_str("JMERE");
        it.targr = f.get_str("TARGR");
        it.kolicina = f.get_num("KOLICINA");
        it.prodcen = f.get_num("PRODCEN");
        it.rabat = f.get_num("RABAT");
        it.pspor = f.get_num("PSPOR");
        items.push_back(it);
    }
    return items;
}

}  // namespace

void STPRAC(const std::string& brfak) {
    rt::dbf::AreaScope scope;
    Print p;
    p.kind = invoice_kind();
    p.narrow = S_RACUN;
    if (!open_invoice_tables(p.kind)) return;
    rt::dbf::WorkArea& u = rt::dbf::area("ufakt");
    rt::dbf::WorkArea& f = rt::dbf::area("fakt");
    u.set_order(1);
    f.set_order(1);
    if (!u.seek(brfak)) return;
    p.h = read_header(u);
    const std::vector<Item> items = read_items(f, brfak);
    const bool invoice = p.kind == InvoiceKind::INVOICE || p.kind == InvoiceKind::FINAL;
    read_memo(p);

    const bool eracun = rt::os::exists(company_file("eracun.vlt"));
    EinvoiceTarget target{rt::TRIM(p.h.pibkup), p.h.datfak};
    EKRSTP(eracun ? &target : nullptr);
    p.printing = !NAEKR;
    STR = 0;

    // ---- items ----
    const int first_row = ZSTPRAC(p);
    int row = first_row;
    for (size_t i = 0; i < items.size(); ++i) {
        row = print_item(p, row, static_cast<int>(i) + 1, items[i]);
        if (i + 1 < items.size() && row > 62) {
            PSAY(row, 0, std::string(p.width(), '-'));
            if (!p.narrow) PRAW(p.code(COND_OFF));
            ZSTPRAC(p);
            row = first_row;
        }
    }

    // ---- notes ----
    bool notes = false;
    for (const std::string& n : p.h.napomena) notes = notes || !rt::EMPTY(n);
    if (notes) {
        say(row, 0, p.narrow ? "" : p.code(COND_OFF), std::string(80, '-'));
        PSAY(++row, 0, "NAPOMENA:");
        bool first = true;
        for (const std::string& n : p.h.napomena) {
            if (rt::EMPTY(n)) continue;
            if (!first) ++row;
            PSAY(row, 10, n);
            first = false;
        }
        if (!p.narrow) PRAW(p.code(COND_ON));
        ++row;
    }

    // ---- totals ----
    PSAY(row, 0, std::string(p.width(), '='));
    if (++row > 45) {
        ZSTPRAC(p);
        row = first_row;
    }
    PSAY(row, 0, "UKUPNO:");
    if (p.narrow) {
        PSAY(row, 69, amt(p.gross));
    } else {
        PSAY(row, 86, amt(p.base));
        PSAY(row, 101, amt(p.vat));
        PSAY(row, 125, amt(p.gross));
    }
    ++row;
    if (!p.narrow) PSAY(row, 0, p.code(COND_OFF));
    ++row;
    if (p.final_invoice()) row = final_summary(p, row);

    double zapla = p.gross;
    say(row, 0, p.code(DSTRIKE_ON + EMPH_ON), "ZA PLACANjE:      " + rt::TRANSFORM(p.gross, "99,999,999.99"));
    if (p.final_invoice()) {
        const double advances = p.h.avans000 + p.h.avans008 + p.h.avans018;
        zapla = p.gross - advances;
        // The advance and the difference stand under the advance and difference columns of the
        // summary above.
        PSAY(row, kCol2, "AVANS:             " + amt(advances));
        PSAY(row, kCol3, "RAZLIKA:           " + amt(zapla));
    }
    row += 2;
    PSAY(row, 0, "Slovima: " + SLOVIMA(rt::ROUND(zapla, 2), true));
    PRAW(p.code(DSTRIKE_OFF + EMPH_OFF));
    if (!WPDVKOM) {
        row += 2;
        PSAY(row, 0, WNAZKOM + " nije PDV obveznik.");
    }
    if (rt::ROUND(p.rebate, 2) != 0) {
        const double rebate = rt::ROUND(p.rebate, 2);
        row += 2;
        say(row, 0, p.code(DSTRIKE_ON + EMPH_ON),
            std::string("Rabat odobren po ovom ") + (p.proforma() ? "pred" : "") + "racunu iznosi: " +
                rt::ALLTRIM(rt::TRANSFORM(rebate, BROJ)) + (singular_dinar(rebate) ? " dinar." : " dinara."));
        PRAW(p.code(DSTRIKE_OFF + EMPH_OFF));
    }
    row += 2;
    PSAY(row, 0, std::string(p.proforma() ? "Pred" : "") + "Racun je plativ u roku " +
                     rt::ALLTRIM(rt::STR(days_of_credit(p.h))) + " dana. Valuta " + rt::DTOC(p.h.datval));
    PSAY(++row, 0, p.proforma() ? "U slucaju kasnjenja sa placanjem zadrzavamo pravo izmene uslova ovog predracuna."
                                : "U slucaju kasnjenja sa placanjem zaracunavamo zateznu kamatu.");

    // ---- the company's texts ----
    const std::string klauzula = company_file("klauzula.vlt");
    if (rt::os::exists(klauzula)) {
        const std::string exc = rt::os::read_file(company_file("klau_exc.vlt"));
        if (!rt::CONTAINS(p.h.kupac + ";", exc)) row = print_text(row, rt::os::read_file(klauzula));
    }
    const std::string eid = EKOBAJA(p.h.datfak, p.h.pibkup, p.h.brfak, zapla);
    if (eracun) row = print_text(row, rt::STRTRAN(rt::os::read_file(company_file("eracun.vlt")), "%eID%", eid));
    const std::string ios = company_file("rn" + rt::TRIM(p.h.brfak) + ".ios");
    if (rt::os::exists(ios)) row = print_text(row, statement_of_account(rt::os::read_file(ios), zapla));

    // ---- the amount to pay in the header ----
    rt::dbf::select("ufakt");
    if (REC_LOCK()) {
        u.put("ZAPLA", rt::ROUND(zapla, 3));
        u.commit();
        u.unlock();
    }

    // ---- signatures ----
    row += 3;
    const std::string epotpis = company_file("epotpis.vlt");
    if (rt::os::exists(epotpis)) {
        PSAY(row, 0, std::string(p.proforma() ? "PRED" : "") + "RACUN IZDAO" + (p.proforma() ? "" : "    ") +
                         std::string(39, ' ') + "JEDINSTVENI IDENTIFIKATOR");
        print_text(row, rt::STRTRAN(rt::os::read_file(epotpis), "%eID%", eid));
    } else {
        ++row;
        if (S_RACOTP) {
            PSAY(row, 0, " ROBU I RACUN IZDAO                                         ROBU I RACUN PRIMIO");
        } else {
            const std::string pre = p.proforma() ? "PRED" : "    ";
            PSAY(row, 0, pre + "RACUN IZDAO" + std::string(45, ' ') + pre + "RACUN PRIMIO");
        }
        PSAY(row + 2, 0, "____________________                   (MP)                 ____________________");
    }

    if (invoices_post_to_kep() && invoice) post_to_kep_book(p.h, p.gross);

    const bool screen = print_route() == Route::SCREEN;
    const bool written = print_route() != Route::DISCARD && print_route() != Route::NONE;
    report_end(p.narrow ? 79 : 159, false);
    if (written && !screen) BRSTPSTR(0);

    if (invoice && WSIFDEL != "002" && WSIFDEL != "009") {
        rt::RESTSCREEN(OSEK);
        if (KOM_FLEKA.valid()) rt::RESTSCREEN(KOM_FLEKA);
        const std::string old = HELPKEY;
        HELPKEY =
            "PAZNJA:; Da bi RACUN bio validno knjizen potrebno je iznos racuna;  proknjiziti i kroz PROMET dobara "
            "(odnosno PROMET usluga;  ako ste na racunu iskazali samo usluge.); ;  Pritisnite Enter za nastavak...; ";
        HELPBOX();
        HELPKEY = old;
    }
}

}  // namespace tor
