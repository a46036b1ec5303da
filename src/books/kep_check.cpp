// The KEP book control: every costing, price-change record, invoice (trade and service shops) or
// daily takings line is compared with its row in the book, and every book row with its document;
// the findings are listed in one box and two repairs are offered: the takings rows rebuilt from
// the turnover table, and the rows without a document or twice in the book deleted.
//
// The book is read through a fresh index on the document key ("tmpntx1") and the turnover table
// through one on the running number ("tmpntx2"), both built in the company directory for the run
// and erased afterwards, so that a damaged permanent index cannot hide a row.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "books/books.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace tor {

namespace {

const char* const BUSY = "Podaci su zauzeti na drugoj radnoj stanici !";
const char* const CASHLESS = "BEZGOTOVINSKA UPLATA";
const char* const NO_TAKINGS = "NEMA PAZARA ";

// More errors than this and each check stops after its next one.
constexpr int ERROR_LIMIT = 15;

std::string tmp_index(const char* name) { return ntx_path(name); }

void erase_tmp_indexes() {
    rt::os::erase(tmp_index("tmpntx1"));
    rt::os::erase(tmp_index("tmpntx2"));
}

// Opens the table shared in a new work area without its indexes and builds the temporary index
// on it; false when the table is held exclusively elsewhere.
bool open_with_tmp_index(const std::string& table, const std::string& alias, const std::string& key,
                         const char* index) {
    rt::dbf::select_free();
    if (!NETUSE(table, alias)) {
        rt::dbf::current().close();
        return false;
    }
    rt::dbf::current().create_index(key, tmp_index(index));
    return true;
}

// A table with its dictionary indexes in a new work area.
bool open_in_area(const std::string& table, const std::string& alias = "") {
    rt::dbf::select_free();
    if (open_table(table, alias)) return true;
    rt::dbf::current().close();
    return false;
}

bool takings_kind(const std::string& vrsta) { return vrsta == "A" || vrsta == "B" || vrsta == "C"; }

// The book key of a takings line: "P" + running number without blanks, seven characters.
std::string takings_key(double brojs) { return rt::PADR("P" + rt::ALLTRIM(rt::STR(brojs, 6)), 7); }

// The document number of a book row (after the letter).
std::string doc_number(const std::string& vrdok) { return rt::SUBSTR(vrdok, 2); }

// The findings of one control run.
struct Findings {
    std::string text = "PAZNJA:; Program je pronasao sledece GRESKE:;";
    int errors = 0;
    bool takings = false;   // a takings line differs from the book
    bool keys = false;      // a book row without its document, or twice in the book

    // The error box holds twenty lines: the heading, sixteen errors and the two closing hints.
    // Errors past the sixteenth are counted (they still decide the repairs offered) but not listed,
    // so the hint that more errors follow always shows.
    void add(const std::string& line) {
        if (errors <= ERROR_LIMIT) text += line;
        ++errors;
    }
    // Adds the amount error when the two differ; true when the check is to stop.
    bool amount(const std::string& what, double book, double doc) {
        if (rt::ROUND(book, 2) == rt::ROUND(doc, 2)) return false;
        add(" - " + what + " iznos u TK: " + rt::ALLTRIM(rt::TRANSFORM(book, BROJ)) +
            " iznos u PK-1: " + rt::ALLTRIM(rt::TRANSFORM(doc, BROJ)) + ";");
        return errors > ERROR_LIMIT;
    }
};

// The amount of the first book row of the key in the column; 0 without a row.
double book_amount(rt::dbf::WorkArea& book, const std::string& key, const char* column) {
    return book.seek(key) ? book.get_num(column) : 0.0;
}

// A per-document sum over an item table, read once.
template <class Amount>
std::map<std::string, double> sums_by(const std::string& alias, const char* number, Amount amount) {
    std::map<std::string, double> sums;
    rt::dbf::WorkArea& a = rt::dbf::area(alias);
    a.set_order(0);
    for (a.go_top(); !a.eof(); a.skip()) sums[a.get_str(number)] += amount(a);
    return sums;
}

void check_costings(Findings& f, rt::dbf::WorkArea& book) {
    const auto sums = sums_by("kalk", "BRKALK", [](rt::dbf::WorkArea& a) {
        return a.get_num("KOLICINA") * a.get_num("PRODCEN");
    });
    rt::dbf::WorkArea& u = rt::dbf::area("ukalk");
    for (u.go_top(); !u.eof(); u.skip()) {
        const std::string number = u.get_str("BRKALK");
        const auto it = sums.find(number);
        const std::string what = (rt::EMPTY(u.get_str("DOBAV")) ? "proizvodnja " : "kalkulacija ") + number;
        if (f.amount(what, book_amount(book, "K" + number, "ZADUZ"), it == sums.end() ? 0.0 : it->second)) return;
    }
}

void check_price_changes(Findings& f, rt::dbf::WorkArea& book) {
    rt::dbf::WorkArea& z = rt::dbf::area("zapis");
    z.set_order(1);   // "zapis": by number, so a record's lines come together
    std::vector<std::pair<std::string, double>> records;
    for (z.go_top(); !z.eof(); z.skip()) {
        const std::string number = z.get_str("BRZAP");
        if (records.empty() || records.back().first != number) records.emplace_back(number, 0.0);
        records.back().second += (z.get_num("NPRODCEN") - z.get_num("SPRODCEN")) * z.get_num("KOLICINA");
    }
    for (const auto& [number, sum] : records) {
        if (f.amount("zapisnik " + number, book_amount(book, "Z" + number, "ZADUZ"), sum)) return;
    }
}

void check_invoices(Findings& f, rt::dbf::WorkArea& book) {
    const auto sums = sums_by("fakt", "BRFAK", [](rt::dbf::WorkArea& a) {
        return a.get_num("KOLICINA") * (a.get_num("PRODCEN") - a.get_num("PRODCEN") * a.get_num("RABAT") / 100);
    });
    rt::dbf::WorkArea& u = rt::dbf::area("ufakt");
    for (u.go_top(); !u.eof(); u.skip()) {
        const std::string number = u.get_str("BRFAK");
        const auto it = sums.find(number);
        if (f.amount("racun " + number, book_amount(book, "R" + number, "RAZDUZ"), it == sums.end() ? 0.0 : it->second))
            return;
    }
}

// The takings rows of one key: the credit is on the first, the cashless and cheque rows carry none,
// so the credits of all of them add up to the amount taken.
double takings_in_book(rt::dbf::WorkArea& book, const std::string& key) {
    double sum = 0;
    for (book.seek(key); !book.eof() && book.get_str("VRDOK") == key; book.skip()) sum += book.get_num("RAZDUZ");
    return sum;
}

void check_takings(Findings& f, rt::dbf::WorkArea& book) {
    rt::dbf::WorkArea& p = rt::dbf::area("prihod");
    for (p.go_top(); !p.eof(); p.skip()) {
        const double iznos = p.get_num("IZNOS");
        if (iznos == 0 || !takings_kind(p.get_str("VRSTA"))) continue;
        const double in_book = takings_in_book(book, takings_key(p.get_num("BROJS")));
        if (rt::ROUND(in_book, 2) != rt::ROUND(iznos, 2)) f.takings = true;
        if (f.amount("dnevni promet " + rt::DTOC(p.get_date("DATUM")), in_book, iznos)) return;
    }
}

// True when the document of a "P", "K" or "Z" row exists (rows of other kinds always count as
// having theirs).
bool document_exists(const std::string& vrdok) {
    const std::string number = doc_number(vrdok);
    switch (vrdok.empty() ? ' ' : vrdok[0]) {
    case 'P': return rt::dbf::area("prihodbr").seek(rt::VAL(number));
    case 'K': return !rt::EMPTY(number) && rt::dbf::area("ukalk").seek(number);
    case 'Z': return !rt::EMPTY(number) && rt::dbf::area("zapis").seek(rt::TRIM(number));
    default: return true;
    }
}

std::string without_leading_zeros(const std::string& number) {
    std::string s = rt::ALLTRIM(number);
    const size_t nz = s.find_first_not_of('0');
    return nz == std::string::npos ? (s.empty() ? s : "0") : s.substr(nz);
}

void check_keys(Findings& f, rt::dbf::WorkArea& book) {
    std::string previous;
    bool first = true;
    for (book.go_top(); !book.eof(); book.skip()) {
        const std::string key = book.get_str("VRDOK");
        const char kind = key.empty() ? ' ' : key[0];
        if (!f.keys && !document_exists(key)) {
            f.add(" - indeks greska;");
            f.keys = true;
        }
        if (!first && kind != 'P' && key == previous) {
            f.add(std::string(" - indeks greska (dvostruki podatak ") + (kind == 'K' ? "Kalkulacija " : "Zapisnik ") +
                  without_leading_zeros(doc_number(key)) + ");");
            f.keys = true;
        }
        previous = key;
        first = false;
    }
}

// The tables of the control and of the key repair: the book and the turnover table by their
// temporary indexes, the documents by their own. False when one of them is held elsewhere.
bool open_control_tables() {
    return open_with_tmp_index("tknjiga", "tknjiga", "vrdok", "tmpntx1") &&
           open_with_tmp_index("prihod", "prihodbr", "brojs", "tmpntx2") && open_in_area("prihod") &&
           open_in_area("ukalk") && open_in_area("kalk") && open_in_area("zapis") && open_in_area("ufakt") &&
           open_in_area("fakt");
}

}  // namespace

void KONTKPK1() {
    const rt::ScreenImage under = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    HELPKEY = std::string("PAZNJA:; Program ce uraditi kontrolu podataka odabranog komitenta.; ;") +
              " Zamolite sve operatere da napuste program, a zatim pritisnite;" +
              " Enter i sacekajte da program zavrsi kontrolu.; ;" + " Pritisnite Enter za nastavak...; ;";
    HELPBOX();
    NASLOV(7, "PAZNJA: U toku kontrole ne dirajte tastaturu racunara!");
    PORUKA("Kontrola u toku...", 1);

    Findings f;
    {
        rt::dbf::AreaScope scope;
        if (!open_control_tables()) {
            rt::dbf::close_all();
            erase_tmp_indexes();
            PORUKA(BUSY, 2);
            rt::RESTSCREEN(under);
            rt::SETCOLOR(colour);
            return;
        }
        rt::dbf::WorkArea& book = rt::dbf::area("tknjiga");
        check_costings(f, book);
        check_price_changes(f, book);
        if (WSIFDEL == "002" || WSIFDEL == "009") check_invoices(f, book);
        else check_takings(f, book);
        check_keys(f, book);
        rt::dbf::close_all();
    }
    erase_tmp_indexes();

    if (f.errors == 0) {
        PORUKA("Kontrola je zavrsena. Program nije nasao gresku u podacima.", 2);
    } else {
        PORUKA("Kontrola je zavrsena.", 1);
        HELPKEY = f.text;
        if (f.errors > ERROR_LIMIT) HELPKEY += " Ostale greske mozete videti tek nakon ispravke ovih gresaka";
        HELPKEY += " ; Pritisnite Enter, a zatim ispravite greske...;";
        HELPBOX();
        if (f.takings && PITANJE("Zelite li autokorekciju gresaka DNEVNI PROMET > TK (D/N)?")) KOREKTK();
        if (f.keys && PITANJE("Zelite li autokorekciju INDEKS greske (D/N)?")) KOREKTK2();
    }
    rt::RESTSCREEN(under);
    rt::SETCOLOR(colour);
}

void KOREKTK() {
    PORUKA("Korekcija...", 1);
    std::string log = "\r";
    log += "Vreme korekcije " + rt::DTOC(rt::clk::today()) + ", " + rt::clk::time_hhmmss() + ", firma " +
           rt::TRIM(WNAZKOM) + " : ";
    log += "\r";
    {
        rt::dbf::AreaScope scope;
        if (!open_in_area("prihod") || !open_in_area("tknjiga")) {
            rt::dbf::close_all();
            PORUKA(BUSY, 2);
            return;
        }
        rt::dbf::WorkArea& p = rt::dbf::area("prihod");
        rt::dbf::WorkArea& t = rt::dbf::area("tknjiga");
        t.set_order(2);   // "tknjiga1": by document key
        for (p.go_top(); !p.eof(); p.skip()) {
            const rt::Date datum = p.get_date("DATUM");
            if (datum.empty() || !takings_kind(p.get_str("VRSTA"))) continue;
            const std::string key = takings_key(p.get_num("BROJS"));
            const double iznos = p.get_num("IZNOS"), gotupl = p.get_num("GOTUPL"), bgupl = p.get_num("BGUPL");
            const rt::Date datupl = p.get_date("DATUPL");
            std::string text = "DNEVNI PAZAR";
            if (iznos == 0) {
                if (gotupl == 0 && bgupl == 0) text = NO_TAKINGS;
                else if (gotupl == 0) text = CASHLESS;
                else text = "GOTOVINSKA UPLATA";
            }

            std::vector<uint32_t> old;
            for (t.seek(key); !t.eof() && t.get_str("VRDOK") == key && old.size() < 2; t.skip()) old.push_back(t.recno());
            rt::dbf::select("tknjiga");
            if (!FIL_LOCK()) continue;   // left as it is; the next line goes on
            // The new rows first: when one cannot be appended, those already appended go again and
            // the old rows stay, so the book never loses the line.
            std::vector<uint32_t> added;
            bool appended = true;
            auto append = [&](const std::string& opis, double razduz, double iznupl) {
                if (!appended) return;
                if (!ADD_REC()) {
                    appended = false;
                    return;
                }
                added.push_back(t.recno());
                t.put("VRDOK", key);
                t.put("DATUM", datum);
                t.put("OPIS", opis);
                t.put("RAZDUZ", razduz);
                t.put("DATUPL", datupl);
                t.put("IZNUPL", iznupl);
            };
            if (iznos != 0 || gotupl != 0 || text == NO_TAKINGS) append(text, iznos, gotupl);
            if (bgupl != 0) append(CASHLESS, 0.0, bgupl);
            for (uint32_t n : appended ? old : added) {
                t.go_to(n);
                t.delete_record();
            }
            if (appended && old.empty()) {
                log += rt::TRIM(key) + " " + rt::DTOC(datum) + " " + text + " " + rt::TRANSFORM(iznos, BROJ) + " " +
                       rt::DTOC(datupl) + " " + rt::TRANSFORM(gotupl, BROJ) + " " + rt::TRANSFORM(bgupl, BROJ) + "\r";
            }
            t.commit();
            t.unlock();
        }
        rt::dbf::close_all();
    }
    rt::os::append_file(DIR + "korek_tk.log", log);
}

void KOREKTK2() {
    {
        rt::dbf::AreaScope scope;
        if (!open_with_tmp_index("tknjiga", "tknjiga", "vrdok", "tmpntx1") ||
            !open_with_tmp_index("prihod", "prihodbr", "brojs", "tmpntx2") || !open_in_area("ukalk") ||
            !open_in_area("zapis")) {
            rt::dbf::close_all();
            erase_tmp_indexes();
            PORUKA(BUSY, 2);
            return;
        }
        rt::dbf::WorkArea& t = rt::dbf::area("tknjiga");
        rt::dbf::select("tknjiga");
        std::string previous;
        bool first = true;
        for (t.go_top(); !t.eof();) {
            const std::string key = t.get_str("VRDOK");
            const char kind = key.empty() ? ' ' : key[0];
            const bool twice = !first && kind != 'P' && key == previous;
            previous = key;
            first = false;
            if ((twice || !document_exists(key)) && FIL_LOCK()) {
                t.delete_record();
                t.commit();
                t.unlock();
            }
            t.skip();
        }
        rt::dbf::close_all();
    }
    erase_tmp_indexes();
}

}  // namespace tor
