// The costing print: the price-costing form, 160 columns in condensed print, with the dependent
// costs spread over the items, subtotals by VAT tariff group and the tax summary; after it the
// costing is booked into the trade book ("tknjiga") and the expense and margin register
// ("rashod"). Also the dispatch note of a negative costing, the buy-off receipt of a purchase
// from a farmer, and the commission forms KR (receipt of goods) and KR-1 (return of goods) of a
// commission shop with the commission contract that goes with form KR.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "inbound/inbound.h"
#include "report/device.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

const char* const NO_DATA = "Ne postoje potpuni podaci za ovu Kalkulaciju !";
const std::string SUM_PIC = "9" + BROJ;   // "99999999.99"
const std::string EQ80(80, '='), EQ160(160, '=');
const std::string LIST80_COLUMNS =
    "Rb  Sifra  Naziv                            JM    Kolicina       Cena   Vrednost";

// The column heading of the costing form, rows 12-18.
const char* const KALK_COLUMNS[7] = {
    "   I                           I   I  Po fakturi dobavljaca       I        I         IProd.vred.I         P  D  V         I Prodajna vred- I Prodajna I         ",
    "   I                           I   I------------------------------IZavisni I Razlika I robe bez I-------------------------I  nost robe sa  I cena po  I         ",
    "Rb I   SIFRA I NAZIV ROBE      I   I         I  Cena   I Vrednost ItroskoviI u ceni  I   PDV    I            I Obracunati I  obracunatim   I jedinici I Napomena",
    "   I                           IJedIKolicina I po jed. I   robe   I        I         I          I  S t o p a I   iznos    I      PDV       I   mere   I         ",
    "   I                           IMerI         I  mere   I   (4x5)  I        I         I (6+7+8)  I            I            I     (9+11)     I  (12:4)  I         ",
    "---+---------------------------+---+---------+---------+----------+--------+---------+----------+-----+------+------------+------+--------------------+---------",
    "1  I           2               I 3 I    4    I    5    I     6    I    7   I    8    I     9    I     10     I     11     I      12        I    13    I    14",
};

struct KalkHeader {
    bool found = false;
    std::string brkalk, dobav, nazdob, mesdob, brdok;
    rt::Date datdok, datkal;
    double trosak = 0, pdv = 0, zapla = 0;
    bool otkup = false;
};

using KalkItem = CostingItemRecord;

struct Costing {
    KalkHeader h;
    std::vector<KalkItem> items;   // in number + tariff-group order
};

// The header and the items of a costing. Tables held exclusively elsewhere read as empty.
Costing read_costing(const std::string& brkalk) {
    Costing c;
    c.h.brkalk = brkalk;
    rt::dbf::AreaScope scope;
    rt::dbf::select_free();
    if (open_table("ukalk")) {
        rt::dbf::WorkArea& u = rt::dbf::current();
        if (u.seek(brkalk)) {
            c.h.found = true;
            c.h.dobav = u.get_str("DOBAV");
            c.h.nazdob = u.get_str("NAZDOB");
            c.h.mesdob = u.get_str("MESDOB");
            c.h.brdok = u.get_str("BRDOK");
            c.h.datdok = u.get_date("DATDOK");
            c.h.datkal = u.get_date("DATKAL");
            c.h.trosak = u.get_num("TROSAK");
            c.h.pdv = u.get_num("PDV");
            c.h.zapla = u.get_num("ZAPLA");
            c.h.otkup = u.get_bool("OTKUP");
        }
        u.close();
    }
    rt::dbf::select_free();
    if (open_table("kalk")) {
        rt::dbf::WorkArea& k = rt::dbf::current();
        k.set_order(2);
        for (k.seek(brkalk); !k.eof() && k.get_str("BRKALK") == brkalk; k.skip()) {
            c.items.push_back(read_costing_item(k));
        }
        k.close();
    }
    if (!c.h.found) c.items.clear();
    return c;
}

std::string T(double v, const std::string& pic) { return rt::TRANSFORM(v, pic); }

// A report whose document has nothing to print: the output is dropped (nothing goes to the
// printer) and its file erased, then the message.
void drop_report(const char* message) {
    const Route route = print_route();
    const std::string file = print_file();
    report::open_route(Route::NONE);
    if ((route == Route::SCREEN || route == Route::FILE) && !file.empty()) rt::os::erase(file);
    PORUKA(message, 2);
}

// The supplier's name and place as the costing and dispatch-note headings print them: the fields
// as stored, with their blanks, cut to 48 characters.
std::string supplier_heading(const KalkHeader& h) { return rt::LEFT(h.nazdob + ", " + h.mesdob, 48); }

// The supplier's name and place without their blanks, as the commission forms print them.
std::string supplier_line(const KalkHeader& h) { return rt::ALLTRIM(h.nazdob) + ", " + rt::ALLTRIM(h.mesdob); }

// ---------------------------------------------------------------------------------------------
// The costing form

// The six amounts of an item that add up into the tariff-group subtotals and the totals.
struct Amounts {
    double nab = 0;      // 6: purchase value
    double tros = 0;     // 7: share of the dependent costs
    double ruc = 0;      // 8: margin after costs
    double bezpdv = 0;   // 9: selling value without VAT
    double pdv = 0;      // 11: VAT inside the selling value
    double sapdv = 0;    // 12: selling value with VAT
    void add(const Amounts& o) {
        nab += o.nab;
        tros += o.tros;
        ruc += o.ruc;
        bezpdv += o.bezpdv;
        pdv += o.pdv;
        sapdv += o.sapdv;
    }
};

// Margin of an item before costs: selling value without VAT less purchase value.
double item_margin(const KalkItem& it) {
    return it.kolicina * it.prodcen - it.prodcen * it.kolicina * it.pspor / 100 - it.kolicina * it.fakcen;
}

void ZSTPKALK(const KalkHeader& h, const std::string& title) {
    ++STR;
    // The company's data as the company register holds them: the name, the place and the codes
    // keep the blanks of their fields; the owner and the street are composed without them.
    PSAY(0, 0, "PIB: " + WPIBKOM);
    PSAY(0, 78, "KL");
    PSAY(1, 0, "Obveznik: " + WVLASNIK);
    PSAY(1, 70, "Strana: " + rt::STRZERO(STR, 2));
    PSAY(2, 0, "Firma-radnje: " + WNAZKOM);
    PSAY(3, 0, "Sediste: " + WMESKOM + ", " + WULICAKOM);
    PSAY(4, 0, "Sifra poreskog obveznika: " + WBRPORRAC);
    PSAY(5, 0, "Sifra delatnosti: " + WSIFRADEL);
    PSAY(5, 57, "Redni broj iz PK-1 ____");
    PSAY(7, 10, title + h.brkalk);
    PSAY(8, 10, "po dokumentu " + supplier_heading(h));
    PSAY(9, 10, "broj " + h.brdok + " od " + rt::DTOC(h.datdok));
    PSAY(10, 0, "");
    PRAW(ELITE + COND_ON);
    PSAY(11, 0, EQ160);
    for (int i = 0; i < 7; ++i) PSAY(12 + i, 0, KALK_COLUMNS[i]);
    PSAY(19, 0, EQ160);
}

// A subtotal or total row: the six amounts in their columns.
void sum_row(int r, const std::string& label, const Amounts& s) {
    PSAY(r, 0, label);
    PSAY(r, 55, T(s.nab, SUM_PIC));
    PSAY(r, 66, T(s.tros, "99999.99"));
    PSAY(r, 74, T(s.ruc, SUM_PIC));
    PSAY(r, 85, T(s.bezpdv, SUM_PIC));
    PSAY(r, 109, T(s.pdv, SUM_PIC));
    PSAY(r, 125, T(s.sapdv, SUM_PIC));
}

// A negative costing outside the commission shop says what it is; the answer gives the title.
std::string negative_title() {
    for (;;) {
        PORUKA("Kalkulacija je: 1.Povratnica 2.Otpis Robe 3.Storno 4.Interni prenos?", 2);
        switch (rt::LASTKEY()) {
        case '1': return "POVRATNICA BROJ ";
        case '2': return "OTPIS DOBARA BROJ ";
        case '3': return "STORNO DOBARA BROJ ";
        case '4': return "INTERNI PRENOS ";
        default: break;
        }
    }
}

// The body of the form from row 20 and its closing lines; returns the totals.
Amounts print_costing_body(const Costing& c, const std::string& title) {
    const KalkHeader& h = c.h;
    double uk_ruc = 0;
    for (const KalkItem& it : c.items) uk_ruc += item_margin(it);
    const double koef_rt = rt::safe_div(h.trosak, uk_ruc);

    Amounts tot, sub;
    int r = 20;
    for (size_t i = 0; i < c.items.size(); ++i) {
        const KalkItem& it = c.items[i];
        const int rb = static_cast<int>(i) + 1;
        const double m = item_margin(it);
        Amounts a;
        a.tros = m * koef_rt;
        a.ruc = m - a.tros;
        a.nab = it.kolicina * it.fakcen;
        a.bezpdv = a.nab + a.ruc + a.tros;
        a.pdv = it.prodcen * it.kolicina * it.pspor / 100;
        a.sapdv = it.kolicina * it.prodcen;
        PSAY(r, 0, T(rb, "999"));
        PSAY(r, 4, it.sifart + " " + rt::LEFT(it.nazart, 19));
        PSAY(r, 32, it.jmere);
        PSAY(r, 36, T(it.kolicina, BROJ93));
        PSAY(r, 46, T(it.fakcen, BROJ92));
        PSAY(r, 56, T(a.nab, BROJ));
        PSAY(r, 67, T(a.tros, "9999.99"));
        PSAY(r, 76, T(a.ruc, BROJ92));
        PSAY(r, 86, T(a.bezpdv, BROJ));
        PSAY(r, 98, it.targr);
        PSAY(r, 103, T(it.porez, "999.99"));
        PSAY(r, 110, T(a.pdv, BROJ));
        PSAY(r, 126, T(a.sapdv, BROJ));
        if (it.kolicina != 0) {
            PSAY(r, 140, T(a.sapdv / it.kolicina, BROJ92));
        } else {
            PORUKA("Neispravna Kolicina na Kalkulaciji (Nula kolicina na Red.Br. " + std::to_string(rb) + ") !", 0);
        }
        tot.add(a);
        sub.add(a);
        ++r;
        if (i + 1 == c.items.size() || c.items[i + 1].targr != it.targr) {
            sum_row(r, "Pod zbir za tarifu " + it.targr, sub);
            sub = Amounts{};
            ++r;
        }
        if (r > 61) {
            PSAY(r, 0, "");
            PRAW(COND_OFF + PICA);
            page_rule(r);
            ZSTPKALK(h, title);
            r = 20;
        }
    }

    PSAY(r++, 0, EQ160);
    sum_row(r++, "UKUPNO:", tot);
    PSAY(r, 0, EQ160);
    PRAW(PICA + COND_OFF);
    r += 2;
    PSAY(r++, 0, "Evidencija Poreza");
    PSAY(r++, 0, std::string(36, '='));
    PSAY(r++, 0, "Porez na promet dobara.: " + T(tot.pdv, BROJ));
    PSAY(r++, 0, "Prethodni porez........: " + T(h.pdv, BROJ));
    PSAY(r++, 0, "Obracunati po dokumentu: " + T(tot.pdv - h.pdv, BROJ));
    PSAY(r, 0, std::string(36, '='));
    r += 2;
    PSAY(r, 0, "Za placanje dobavljacu: " + T(tot.nab + h.trosak + h.pdv, SUM_PIC));
    r += 4;
    PSAY(r, 0, "Datum " + rt::DTOC(h.datkal));
    PSAY(r, 35, "Sastavio");
    PSAY(r, 66, "Odgovorno lice");
    ++r;
    PSAY(r, 35, SAST);
    PSAY(r, 66, "______________");
    return tot;
}

// The costing's rows in the expense and margin register and in the trade book, written anew on
// every print; a costing stated without an amount to pay gets the computed one.
void post_costing(const KalkHeader& h, const Amounts& tot, double due) {
    PORUKA("Prenos Kalkulacije u druge knjige...", 1);
    rt::dbf::AreaScope scope;
    const std::string key = costing_posting_key(h.brkalk);

    std::string street;
    rt::dbf::select_free();
    if (open_table("mddob")) {
        rt::dbf::WorkArea& d = rt::dbf::current();
        if (d.seek(h.dobav)) street = d.get_str("ULICA");
        d.close();
    }

    // The record of the key, found or appended, locked; false when the lock was not obtained.
    auto keyed_record = [&](rt::dbf::WorkArea& a) {
        a.set_order(2);
        return a.seek(key) ? REC_LOCK() : ADD_REC();
    };

    rt::dbf::select_free();
    if (open_table("rashod")) {
        rt::dbf::WorkArea& a = rt::dbf::current();
        if (keyed_record(a)) {
            a.put("VRDOK", key);
            a.put("DATUM", h.datkal);
            a.put("OPIS", rt::LEFT(rt::PADR(h.nazdob, 10), 10) + " " + h.brkalk);
            a.put("P8", tot.nab + h.trosak);
            a.put("P9", tot.ruc);
            a.put("P10", tot.pdv);
            a.put("P11", tot.sapdv);
            a.commit();
            a.unlock();
        }
        a.close();
    }

    rt::dbf::select_free();
    if (open_table("tknjiga")) {
        rt::dbf::WorkArea& a = rt::dbf::current();
        if (keyed_record(a)) {
            a.put("VRDOK", key);
            a.put("DATUM", h.datkal);
            a.put("OPIS", rt::ALLTRIM(h.nazdob) + ", " + rt::ALLTRIM(h.mesdob) + ", " + rt::ALLTRIM(street));
            a.put("ZADUZ", tot.sapdv);
            a.commit();
            a.unlock();
        }
        a.close();
    }

    if (h.zapla == 0) {
        rt::dbf::select_free();
        if (open_table("ukalk")) {
            rt::dbf::WorkArea& u = rt::dbf::current();
            if (u.seek(h.brkalk) && REC_LOCK()) {
                u.put("ZAPLA", due);
                u.commit();
                u.unlock();
            }
            u.close();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The 80-column lists: dispatch note, buy-off receipt, commission forms

struct List80 {
    int first_row;                        // the row of the first item
    std::function<void()> heading;        // prints the page heading (adds one to STR)
    double sign = 1;                      // the quantity as printed: stored quantity x sign
    bool purchase_price = false;          // purchase price (else the selling price)
};

// The items: number, code and name, unit, quantity, price, value; the page breaks after row 61.
// Returns the total value and leaves the row after the last item in r.
double list80_items(const Costing& c, const List80& l, int& r) {
    double total = 0;
    r = l.first_row;
    for (size_t i = 0; i < c.items.size(); ++i) {
        const KalkItem& it = c.items[i];
        const double q = it.kolicina * l.sign;
        const double price = l.purchase_price ? it.fakcen : it.prodcen;
        PSAY(r, 0, T(static_cast<double>(i + 1), "999"));
        PSAY(r, 4, it.sifart + " " + rt::LEFT(it.nazart, 32));
        PSAY(r, 44, it.jmere);
        PSAY(r, 48, T(q, BROJ103));
        PSAY(r, 59, T(price, BROJ));
        PSAY(r, 70, T(q * price, BROJ));
        total += q * price;
        ++r;
        if (r > 61 && i + 1 < c.items.size()) {
            page_rule(r);
            l.heading();
            r = l.first_row;
        }
    }
    return total;
}

// The closing lines of the dispatch note and the commission forms from row r.
void list80_end(int r, double total) {
    PSAY(r++, 0, EQ80);
    PSAY(r, 0, "UKUPNO:");
    PSAY(r++, 70, T(total, BROJ));
    PSAY(r, 0, EQ80);
    signature_lines(r + 4);
}

void ZSTPOTP(const KalkHeader& h) {
    ++STR;
    PSAY(0, 0, "Obveznik: " + WNAZKOM + ", " + WVLASNIK);
    PSAY(0, 69, "Strana: " + rt::STRZERO(STR, 2));
    PSAY(1, 0, "Mesto: " + WMESKOM);
    PSAY(1, 69, rt::DTOC(h.datkal));
    PSAY(3, 0, "OTPREMNICA BROJ " + h.brkalk);
    PSAY(4, 0, "za " + h.dobav + " " + supplier_heading(h));
    PSAY(6, 0, EQ80);
    PSAY(7, 0, LIST80_COLUMNS);
    PSAY(8, 0, EQ80);
}

// The commission form of a costing: KR for goods received from the principal, KR-1 for goods
// returned to him (quantities printed as returned, that is with their sign reversed); valued at
// the purchase price agreed with the principal.
void ZKR(const KalkHeader& h, bool kr1) {
    page_header();
    PSAY(3, 0, kr1 ? "OBRAZAC KR-1" : "OBRAZAC KR");
    PSAY(4, 0, "broj " + h.brkalk + " od " + rt::DTOC(h.datkal));
    PSAY(5, 0, "Komitent: " + rt::LEFT(rt::ALLTRIM(h.dobav) + " " + supplier_line(h), 48));
    PSAY(7, 0, EQ80);
    PSAY(8, 0, LIST80_COLUMNS);
    PSAY(9, 0, EQ80);
}

void STPKR(const std::string& brkalk, bool kr1) {
    const Costing c = read_costing(brkalk);
    EKRSTP();
    STR = 0;
    ZKR(c.h, kr1);
    if (c.items.empty()) return drop_report(NO_DATA);
    List80 l{10, [&] { ZKR(c.h, kr1); }, kr1 ? -1.0 : 1.0, true};
    int r = 0;
    const double total = list80_items(c, l, r);
    list80_end(r, total);
    report_end(79);
}

// ---------------------------------------------------------------------------------------------
// The buy-off receipt

// The farmer's name, street, place and tax number as the partner register holds them, with the
// blanks of their fields; "???" for a partner no longer in the register.
struct Farmer {
    bool found = false;
    std::string naziv = "???", ulica = "???", mesto = "???", pib = "???";
};

Farmer read_farmer(const std::string& dobav) {
    Farmer f;
    rt::dbf::AreaScope scope;
    rt::dbf::select_free();
    if (open_table("mddob")) {
        rt::dbf::WorkArea& d = rt::dbf::current();
        if (d.seek(dobav)) {
            f.found = true;
            f.naziv = d.get_str("NAZIV");
            f.ulica = d.get_str("ULICA");
            f.mesto = d.get_str("MESTO");
            f.pib = d.get_str("PIB");
        }
        d.close();
    }
    return f;
}

void ZOTKUP_PRIZ(const KalkHeader& h, const Farmer& f) {
    ++STR;
    PSAY(0, 0, "IZDAVALAC PRIZNANICE                    PRIMALAC PRIZNANICE");
    PSAY(1, 0, "Naziv: " + WNAZKOM);
    PSAY(1, 40, "Ime i prezime: " + f.naziv);
    PSAY(2, 0, "Ulica: " + WULICAKOM);
    PSAY(2, 40, "Ulica: " + f.ulica);
    PSAY(3, 0, "Mesto: " + WMESKOM);
    PSAY(3, 40, "Mesto: " + f.mesto);
    PSAY(4, 0, "PIB: " + WPIBKOM);
    PSAY(4, 40, "PIB: " + f.pib);
    PSAY(5, 0, "Broj PEPDV: " + WPEPDVKOM);
    PSAY(7, 0, "");
    PRAW(DWIDTH);
    PSAY(7, 0, "PRIZNANICA BROJ " + rt::ALLTRIM(h.brdok));
    PSAY(8, 0, "Mesto, datum izdavanja: " + WMESKOM + ", " + rt::DTOC(h.datdok));
    PSAY(9, 0, EQ80);
    PSAY(10, 0, LIST80_COLUMNS);
    PSAY(11, 0, EQ80);
}

// ---------------------------------------------------------------------------------------------
// The commission contract

// Text broken into lines of at most width characters at the blanks between words.
std::vector<std::string> wrap(const std::string& text, size_t width) {
    std::vector<std::string> lines;
    std::string line;
    size_t from = 0;
    while (from < text.size()) {
        size_t to = text.find(' ', from);
        if (to == std::string::npos) to = text.size();
        const std::string word = text.substr(from, to - from);
        from = to + 1;
        if (word.empty()) continue;
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// Printed centred on an 80-column line.
void say_centred(int r, const std::string& text) {
    PSAY(r, text.size() < 80 ? static_cast<int>((80 - text.size()) / 2) : 0, text);
}

// The contract between the principal (the supplier of the costing) and the shop for the goods of
// form KR: the parties, the goods' count and their value at selling prices, the commission, the
// return of unsold goods and the settlement; one page with the signature lines.
void STPUGOVOR(const std::string& brkalk) {
    const Costing c = read_costing(brkalk);
    const KalkHeader& h = c.h;
    // The principal as the partner register holds him; a partner no longer there keeps the name
    // and place the costing was entered with.
    Farmer p = read_farmer(h.dobav);
    if (!p.found) {
        p.naziv = h.nazdob;
        p.mesto = h.mesdob;
        p.ulica.clear();
        p.pib.clear();
    }
    EKRSTP();
    STR = 0;
    if (c.items.empty()) return drop_report(NO_DATA);
    ++STR;

    double value = 0;
    for (const KalkItem& it : c.items) value += it.kolicina * it.prodcen;
    const std::string date = rt::DTOC(h.datkal);
    const std::string place = rt::ALLTRIM(WMESKOM);
    auto joined = [](const std::string& a, const std::string& b) {
        const std::string x = rt::ALLTRIM(a), y = rt::ALLTRIM(b);
        return x.empty() || y.empty() ? x + y : x + ", " + y;
    };

    say_centred(1, "UGOVOR O KOMISIONOJ PRODAJI ROBE");
    say_centred(2, "broj " + h.brkalk + " od " + date);
    PSAY(4, 0, "Ugovorne strane:");
    PSAY(6, 0, "Komitent: " + rt::ALLTRIM(p.naziv));
    PSAY(7, 10, joined(p.ulica, p.mesto));
    PSAY(8, 10, "PIB/JMBG: " + rt::ALLTRIM(p.pib));
    PSAY(10, 0, "Komisionar: " + rt::ALLTRIM(WNAZKOM));
    PSAY(11, 12, joined(WULICAKOM, WMESKOM));
    PSAY(12, 12, "PIB: " + rt::ALLTRIM(WPIBKOM));

    const std::string articles[] = {
        "Komitent predaje komisionaru u komisionu prodaju robu navedenu u obrascu KR broj " + h.brkalk + " od " + date +
            " (broj stavki: " + std::to_string(c.items.size()) + "), u ukupnoj vrednosti od " +
            rt::ALLTRIM(T(value, BROJ)) + " din. po prodajnim cenama.",
        "Komisionar prodaje robu u svoje ime, a za racun komitenta, po prodajnim cenama iz obrasca KR.",
        "Komisionaru pripada provizija od " + rt::ALLTRIM(T(PROC_RUC, "999.99")) + " % od vrednosti prodate robe.",
        "Neprodatu robu komisionar vraca komitentu na obrascu KR-1.",
        "Komisionar isplacuje komitentu vrednost prodate robe umanjenu za proviziju, posle izvrsene prodaje.",
    };
    int r = 14;
    int n = 0;
    for (const std::string& text : articles) {
        PSAY(r++, 0, "Clan " + std::to_string(++n) + ".");
        for (const std::string& line : wrap(text, 80)) PSAY(r++, 0, line);
        ++r;
    }
    ++r;
    PSAY(r, 0, "U " + place + ", " + date);
    r += 3;
    PSAY(r, 0, "KOMITENT");
    PSAY(r, 50, "KOMISIONAR");
    r += 2;
    PSAY(r, 0, "______________________");
    PSAY(r, 50, "______________________");
    report_end(79);
}

}  // namespace

void OTKUP_PRIZ(const std::string& brkalk) {
    const Costing c = read_costing(rt::PADR(brkalk, 6));
    const Farmer f = read_farmer(c.h.dobav);
    const double naknada = WPDVKOM ? c.h.pdv : 0;
    EKRSTP();
    STR = 0;
    ZOTKUP_PRIZ(c.h, f);
    if (c.items.empty()) return drop_report("Ne postoje potpuni podaci za ovaj Otkup !");
    List80 l{12, [&] { ZOTKUP_PRIZ(c.h, f); }, 1.0, true};
    int r = 0;
    const double total = list80_items(c, l, r);
    PSAY(r++, 0, EQ80);
    PSAY(r, 0, "a) Svega - vrednost primljenih dobara i usluga");
    PSAY(r++, 70, T(total, BROJ));
    PSAY(r++, 0, std::string(80, '-'));
    const bool before_8 = c.h.datkal < rt::Date::ymd(2012, 10, 1);
    PSAY(r, 0, std::string("b) Iznos PDV nadoknade obracunate poljoprivredniku (") + (before_8 ? "5" : "8") + "%)");
    PSAY(r++, 70, T(naknada, BROJ));
    PSAY(r++, 0, EQ80);
    PSAY(r, 0, "Ukupan iznos za isplatu (a+b)");
    PSAY(r++, 70, T(total + naknada, BROJ));
    PSAY(r, 0, EQ80);
    r += 2;
    PSAY(r, 0, "Datum prometa dobara i usluga " + rt::DTOC(c.h.datkal));
    // The company's own text for its receipts (a legal note, the bank account ...), line by line.
    const std::string note = DIR + "otkup.txt";
    if (rt::os::exists(note)) {
        ++r;
        std::FILE* in = std::fopen(rt::os::resolve(note).c_str(), "rb");
        if (in) {
            for (std::string line = FREADLN(in); line != FREADLN_EOF; line = FREADLN(in)) PSAY(++r, 0, line);
            std::fclose(in);
        }
    }
    r += 3;
    PSAY(r, 0, "Obracun izvrsio");
    PSAY(r, 60, "Potpis primaoca");
    ++r;
    PSAY(r, 0, "_______________");
    PSAY(r, 60, "_______________");
    report_end(79);
}

void STPOTP(const std::string& brkalk) {
    const Costing c = read_costing(rt::PADR(brkalk, 6));
    EKRSTP();
    STR = 0;
    ZSTPOTP(c.h);
    if (c.items.empty()) return drop_report(NO_DATA);
    List80 l{9, [&] { ZSTPOTP(c.h); }, -1.0, false};
    int r = 0;
    const double total = list80_items(c, l, r);
    list80_end(r, total);
    report_end(79);
}

void STPKALK(const std::string& number) {
    const std::string brkalk = rt::PADR(number, 6);
    EKRSTP();
    STR = 0;
    const Costing c = read_costing(brkalk);
    const KalkHeader& h = c.h;
    const std::string title = h.zapla < 0 && WSIFDEL != "005" ? negative_title() : "KALKULACIJA PRODAJNE CENE BROJ ";
    ZSTPKALK(h, title);
    if (c.items.empty()) return drop_report(NO_DATA);

    const Amounts tot = print_costing_body(c, title);
    const double due = tot.nab + h.trosak + h.pdv;
    if (h.zapla != 0 && rt::ROUND(h.zapla, 2) != rt::ROUND(due, 2))
        PORUKA("Nabavna vrednost i Iznos za Placanje se razlikuju za " + rt::ALLTRIM(T(h.zapla - due, BROJ)) + " din.!",
               2);
    post_costing(h, tot, due);
    report_end(159);

    if (WSIFDEL == "005") {
        const bool kr1 = tot.nab < 0;
        if (PITANJE(std::string("Stampa Obrasca ") + (kr1 ? "KR-1" : "KR") + " (D/N) ?", 2)) {
            STPKR(brkalk, kr1);
            // Goods received on form KR go with the contract that says on what terms they are sold.
            if (!kr1 && PITANJE("Stampa Ugovora (D/N) ?", 2)) STPUGOVOR(brkalk);
        }
    }
    if (h.otkup && PITANJE("Stampa Priznanice (D/N) ?", 2)) OTKUP_PRIZ(brkalk);
}

}  // namespace tor
