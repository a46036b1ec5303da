// Goods card, stock list, recount and KEP book on a large company: 5,000 articles, 100,000 goods
// movements (50,000 costing items in 2,500 costings, 40,000 invoice items in 4,000 invoices,
// 8,000 write-off items, 2,000 price-change lines) over the year, and 20,000 KEP rows. Each report
// runs in-process through its menu procedure with its keys scripted, printed to a numbered report
// file ("F"); the tables are written without indexes and the indexes built afterwards in bulk.
//
//   books_cards [DIR [RUNS]]      (defaults: a temporary directory, 3)
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_util.h"
#include "books/books.h"
#include "cards/cards.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace {

constexpr int ARTICLES = 5000, COSTINGS = 2500, COSTING_ITEMS = 20, INVOICES = 4000, INVOICE_ITEMS = 10,
              WRITE_OFFS = 8000, PRICE_CHANGES = 500, PRICE_CHANGE_ITEMS = 4, KEP_ROWS = 20000;

// A pseudo-random sequence of our own, so that every run builds the same company.
unsigned long long g_seed = 88172645463325252ull;
unsigned next_random(unsigned n) {
    g_seed ^= g_seed << 13;
    g_seed ^= g_seed >> 7;
    g_seed ^= g_seed << 17;
    return static_cast<unsigned>(g_seed % n);
}

rt::Date day_of_year(int n) { return rt::Date::ymd(2026, 1, 1) + n; }
std::string code(int n, int width = 6) { return rt::STRZERO(static_cast<double>(n), width); }

// Opens a company table without its indexes (they are built afterwards).
void open_plain(rt::dbf::WorkArea& a, const std::string& table) {
    if (!a.open(tor::dbf_path(table))) {
        std::fprintf(stderr, "cannot open %s\n", table.c_str());
        std::exit(1);
    }
}

void fill_company() {
    const char* groups[3] = {"010", "018", "020"};
    rt::dbf::WorkArea a;
    open_plain(a, "mdart");
    for (int i = 1; i <= ARTICLES; ++i) {
        a.append_blank();
        a.put("SIFRA", code(i));
        a.put("NAZIV", "ARTIKAL BROJ " + std::to_string(i));
        a.put("JMERE", "KOM");
        a.put("TARGR", groups[i % 3]);
        a.put("NABCEN", 80.0 + i % 40);
        a.put("PRODCEN", 120.0 + i % 40);
        a.put("USLUGA", i % 100 == 0);
    }
    a.unlock();
    a.close();

    // KEP rows: one per costing and invoice, the rest daily turnover.
    rt::dbf::WorkArea kep;
    open_plain(kep, "tknjiga");
    auto kep_row = [&kep](const std::string& vrdok, rt::Date d, double debit, double credit) {
        kep.append_blank();
        kep.put("VRDOK", vrdok);
        kep.put("DATUM", d);
        kep.put("OPIS", "DOKUMENT " + vrdok);
        kep.put("ZADUZ", debit);
        kep.put("RAZDUZ", credit);
    };

    rt::dbf::WorkArea h, it;
    open_plain(h, "ukalk");
    open_plain(it, "kalk");
    for (int c = 1; c <= COSTINGS; ++c) {
        const rt::Date d = day_of_year(c * 365 / (COSTINGS + 1));
        h.append_blank();
        h.put("BRKALK", code(c));
        h.put("DATKAL", d);
        h.put("DOBAV", code(1 + c % 50, 4));
        h.put("NAZDOB", "DOBAVLJAC " + std::to_string(1 + c % 50));
        double value = 0;
        for (int k = 0; k < COSTING_ITEMS; ++k) {
            const int art = 1 + static_cast<int>(next_random(ARTICLES));
            const double qty = 10 + next_random(40), price = 120.0 + art % 40;
            it.append_blank();
            it.put("BRKALK", code(c));
            it.put("SIFART", code(art));
            it.put("NAZART", "ARTIKAL BROJ " + std::to_string(art));
            it.put("JMERE", "KOM");
            it.put("TARGR", groups[art % 3]);
            it.put("KOLICINA", qty);
            it.put("FAKCEN", 80.0 + art % 40);
            it.put("PRODCEN", price);
            value += qty * price;
        }
        kep_row("K" + code(c), d, value, 0);
    }
    h.close();
    it.close();

    open_plain(h, "ufakt");
    open_plain(it, "fakt");
    for (int f = 1; f <= INVOICES; ++f) {
        const rt::Date d = day_of_year(f * 365 / (INVOICES + 1));
        h.append_blank();
        h.put("BRFAK", code(f));
        h.put("DATFAK", d);
        h.put("KUPAC", code(100 + f % 80, 4));
        h.put("NAZKUP", "KUPAC " + std::to_string(100 + f % 80));
        double value = 0;
        for (int k = 0; k < INVOICE_ITEMS; ++k) {
            const int art = 1 + static_cast<int>(next_random(ARTICLES));
            const double qty = 1 + next_random(5), price = 120.0 + art % 40, rebate = (k % 4) * 2.5;
            it.append_blank();
            it.put("BRFAK", code(f));
            it.put("SIFART", code(art));
            it.put("NAZART", "ARTIKAL BROJ " + std::to_string(art));
            it.put("JMERE", "KOM");
            it.put("TARGR", groups[art % 3]);
            it.put("KOLICINA", qty);
            it.put("PRODCEN", price);
            it.put("RABAT", rebate);
            value += qty * (price - price * rebate / 100);
        }
        kep_row("R" + code(f), d, 0, value);
    }
    h.close();
    it.close();

    open_plain(it, "stzart");
    for (int w = 0; w < WRITE_OFFS; ++w) {
        const int art = 1 + static_cast<int>(next_random(ARTICLES));
        it.append_blank();
        it.put("SIFRA", code(art));
        it.put("DATUM", day_of_year(static_cast<int>(next_random(365))));
        it.put("KOLICINA", 1.0 + next_random(3));
        it.put("PRODCEN", 120.0 + art % 40);
        it.put("TARGR", groups[art % 3]);
    }
    it.close();

    open_plain(it, "zapis");
    for (int z = 1; z <= PRICE_CHANGES; ++z) {
        const rt::Date d = day_of_year(z * 365 / (PRICE_CHANGES + 1));
        for (int k = 0; k < PRICE_CHANGE_ITEMS; ++k) {
            const int art = 1 + static_cast<int>(next_random(ARTICLES));
            it.append_blank();
            it.put("BRZAP", code(z, 4));
            it.put("DATZAP", d);
            it.put("SIFRA", code(art));
            it.put("NAZIV", "ARTIKAL BROJ " + std::to_string(art));
            it.put("TARGR", groups[art % 3]);
            it.put("KOLICINA", 5.0 + next_random(20));
            it.put("SPRODCEN", 120.0 + art % 40);
            it.put("NPRODCEN", 125.0 + art % 40);
        }
    }
    it.close();

    for (int p = 1, rows = COSTINGS + INVOICES; rows < KEP_ROWS; ++p, ++rows)
        kep_row("P" + std::to_string(p), day_of_year(p % 365), 0, 1000.0 + p % 500);
    kep.close();
}

// Erases every index of the company and builds them again from the full tables.
void rebuild_indexes() {
    for (const auto& e : fs::directory_iterator(tor::DIR))
        if (e.path().extension() == ".ntx") fs::remove(e.path());
    tor::INITDAT();
    rt::dbf::close_all();
}

// Median seconds of a menu procedure run on its key script.
double timed(int runs, const std::string& keys, void (*proc)()) {
    return bench::median_seconds(runs, [&keys] { rt::console_init_headless(keys); }, [proc] {
        proc();
        rt::dbf::close_all();
    });
}

long report_bytes() {
    long newest = 0;
    fs::file_time_type t = fs::file_time_type::min();
    for (const auto& e : fs::directory_iterator(tor::OSNDIR))
        if (e.path().filename().string().rfind("tor001.", 0) == 0 && e.last_write_time() >= t) {
            t = e.last_write_time();
            newest = static_cast<long>(e.file_size());
        }
    return newest;
}

}  // namespace

int main(int argc, char** argv) {
    bool temporary = false;
    const std::string dir = bench::installation(argc, argv, "books-cards", temporary);
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

    rt::console_init_headless("");
    tor::OSNDIR = dir + "/";
    tor::DIR = tor::OSNDIR + "001/";
    tor::BR_STP_STR = tor::OSNDIR + "brstpstr";
    tor::M_PORUKE = tor::OSNDIR + "mporuke";
    tor::TEMP_FIL = tor::OSNDIR + "Temp/BENCH001.prn";
    fs::create_directories(tor::DIR);
    fs::create_directories(tor::OSNDIR + "Temp");
    tor::DDAN = rt::Date::ymd(2026, 12, 31);
    tor::WDATOD = tor::WDATDO = tor::DDAN;
    tor::WSIFKOM = "001";
    tor::WSIFDEL = "001";
    tor::WNAZKOM = "PRVA RADNJA";
    tor::WVLASNIK = "Petar Petrovic";
    tor::WMESKOM = "Beograd";
    tor::SAST = "Petar Petrovic";
    tor::INITDAT();
    rt::dbf::close_all();
    fill_company();
    rebuild_indexes();
    tor::OSEK = rt::SAVESCREEN();

    // KARTDOBARA: code, period from 01.01 to DDAN, "F"; code 0: range, period, the recount
    // question (N: stock list, D: recount), "F", not in three columns.
    const std::string year = "01012026{Enter}{Enter}";
    const double card = timed(runs, "2501{Enter}" + year + "F{Esc}{Esc}", tor::KARTDOBARA);
    const long card_bytes = report_bytes();
    const double list = timed(runs, "0{Enter}{Enter}{Enter}" + year + "NFN{Esc}{Esc}", tor::KARTDOBARA);
    const long list_bytes = report_bytes();
    const double recount = timed(runs, "0{Enter}{Enter}{Enter}" + year + "D{Esc}{Esc}", tor::KARTDOBARA);
    const double kep = timed(runs, year + "F{Esc}{Esc}", tor::KTKNJIGA);
    const long kep_bytes = report_bytes();

    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("articles=%d movements=%d kep_rows=%d\n", ARTICLES,
                COSTINGS * COSTING_ITEMS + INVOICES * INVOICE_ITEMS + WRITE_OFFS + PRICE_CHANGES * PRICE_CHANGE_ITEMS,
                KEP_ROWS);
    std::printf("goods card of one article, median=%.4f s (report %ld bytes)\n", card, card_bytes);
    std::printf("stock list, median=%.4f s (report %ld bytes)\n", list, list_bytes);
    std::printf("stock recount into the register, median=%.4f s\n", recount);
    std::printf("KEP book for the year, median=%.4f s (report %ld bytes)\n", kep, kep_bytes);
    std::printf("peak memory=%.1f MiB\n", ru.ru_maxrss / 1024.0);
    if (temporary) fs::remove_all(dir);
    return 0;
}
