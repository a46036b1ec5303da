// Invoice print benchmark: an invoice of ITEMS items (goods at three rates, rebates, long names
// that break onto a second line, so that the print runs over several pages) printed in-process
// to a numbered report file, wide and narrow, timed from the call to the return (the amount
// stored in the header and the KEP posting included).
//
//   invoice_print [DIR [ITEMS RUNS]]      (defaults: a temporary directory, 500, 5)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_util.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "outbound/outbound.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace {

void fill_invoice(long items) {
    rt::dbf::WorkArea u;
    u.open(tor::dbf_path("ufakt"));
    u.set_index({tor::ntx_path("ufakt")});
    u.append_blank();
    u.put("BRFAK", "000001");
    u.put("DATFAK", rt::Date::ymd(2026, 3, 10));
    u.put("DATPRO", rt::Date::ymd(2026, 3, 10));
    u.put("DATVAL", rt::Date::ymd(2026, 3, 25));
    u.put("KUPAC", "0001");
    u.put("NAZKUP", "AGROPROMET DOO");
    u.put("MESKUP", "Novi Sad");
    u.put("ULKUP", "Futoska 10");
    u.put("PIBKUP", "100200300");
    u.put("NAPOMENA1", "Isporuka franko magacin kupca");
    u.unlock();
    u.commit();
    u.close();

    rt::dbf::WorkArea f;
    f.open(tor::dbf_path("fakt"));
    f.set_index({tor::ntx_path("fakt"), tor::ntx_path("fakt1")});
    const char* groups[3] = {"020", "010", "018"};
    const double shares[3] = {16.667, 9.091, 15.254};
    for (long i = 1; i <= items; ++i) {
        f.append_blank();
        f.put("BRFAK", "000001");
        f.put("SIFART", rt::STRZERO(static_cast<double>(i % 1000), 6));
        f.put("NAZART", i % 4 == 0 ? "ROBA SA DUGIM NAZIVOM KOJI SE LOMI U DVA REDA" : "ROBA KRATKOG NAZIVA");
        f.put("JMERE", "KOM");
        f.put("KOLICINA", i % 3 == 0 ? 1.5 : static_cast<double>(i % 7 + 1));
        f.put("PRODCEN", 100.0 + static_cast<double>(i % 50));
        f.put("RABAT", static_cast<double>(i % 5) * 2.5);
        f.put("TARGR", groups[i % 3]);
        f.put("PSPOR", shares[i % 3]);
    }
    f.unlock();
    f.commit();
    f.close();
}

// Median wall seconds of runs prints to a report file.
double timed(int runs) {
    return bench::median_seconds(runs, [] { rt::console_init_headless("F"); }, [] { tor::STPRAC("000001"); });
}

}  // namespace

int main(int argc, char** argv) {
    bool temporary = false;
    const std::string dir = bench::installation(argc, argv, "invoice-print", temporary);
    const long items = argc > 2 ? std::atol(argv[2]) : 500;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;

    rt::console_init_headless("");
    tor::OSNDIR = dir + "/";
    tor::DIR = tor::OSNDIR + "001/";
    tor::BR_STP_STR = tor::OSNDIR + "brstpstr";
    tor::M_PORUKE = tor::OSNDIR + "mporuke";
    fs::create_directories(tor::DIR);
    tor::DDAN = rt::Date::ymd(2026, 3, 16);
    tor::WSIFKOM = "001";
    tor::WNAZKOM = "PRVA RADNJA";
    tor::WMESKOM = "Beograd";
    tor::WPDVKOM = true;
    tor::WSIFDEL = "002";   // the KEP posting runs, no reminder box waits for a key
    tor::INITDAT();
    rt::dbf::close_all();
    fill_invoice(items);
    tor::OSEK = rt::SAVESCREEN();

    tor::S_RACUN = false;
    const double wide = timed(runs);
    tor::S_RACUN = true;
    const double narrow = timed(runs);
    std::printf("items=%ld report=%lld bytes\n", items,
                static_cast<long long>(fs::file_size(tor::OSNDIR + "tor001.000")));
    std::printf("print_wide median=%.4f\n", wide);
    std::printf("print_narrow median=%.4f\n", narrow);
    if (temporary) fs::remove_all(dir);
    return 0;
}
