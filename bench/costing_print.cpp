// The costing print of a costing with 1,000 items in three tariff groups, written to a numbered
// report file ("F" at the output question): the time of the print with its postings.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "inbound/inbound.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/console.h"

int main(int argc, char** argv) {
    const int items = argc > 1 ? std::atoi(argv[1]) : 1000;
    char tmpl[] = "/tmp/torbench.XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    const std::string root = tmpl;
    tor::OSNDIR = root + "/";
    tor::DIR = tor::OSNDIR + "001/";
    tor::BR_STP_STR = tor::OSNDIR + "brstpstr";
    tor::CPCID = "BENCH001";
    tor::TEMP_FIL = "Temp/BENCH001.prn";
    tor::WSIFKOM = "001";
    tor::WSIFDEL = "001";
    tor::WNAZKOM = "PRVA RADNJA";
    tor::WVLASNIK = "Petar Petrovic";
    tor::WMESKOM = "Beograd";
    tor::WULICAKOM = "Knez Mihailova 5";
    tor::WPIBKOM = "101234569";
    tor::WPDVKOM = true;
    tor::DDAN = rt::Date::ymd(2026, 3, 16);
    rt::clk::set_virtual(tor::DDAN);
    rt::os::make_dir(tor::DIR);
    rt::console_init_headless("");
    tor::INITDAT();

    {
        rt::dbf::select_free();
        tor::open_table("ukalk");
        rt::dbf::WorkArea& u = rt::dbf::current();
        u.append_blank();
        u.put("BRKALK", "000001");
        u.put("DOBAV", "0001");
        u.put("NAZDOB", "AGROPROMET DOO");
        u.put("MESDOB", "Novi Sad");
        u.put("DATKAL", tor::DDAN);
        u.put("TROSAK", 1000.0);
        u.put("PDV", 5000.0);
        u.unlock();
        u.close();
        rt::dbf::select_free();
        tor::open_table("kalk");
        rt::dbf::WorkArea& k = rt::dbf::current();
        const char* groups[3] = {"010", "018", "020"};
        const double shares[3] = {9.09, 15.254, 16.667}, rates[3] = {10, 18, 20};
        for (int i = 0; i < items; ++i) {
            const int g = i % 3;
            k.append_blank();
            k.put("BRKALK", "000001");
            k.put("SIFART", rt::STRZERO(i + 1, 6));
            k.put("NAZART", "ARTIKAL BROJ " + std::to_string(i + 1));
            k.put("JMERE", "KOM");
            k.put("TARGR", groups[g]);
            k.put("KOLICINA", 1.0 + i % 7);
            k.put("FAKCEN", 100.0 + i % 13);
            k.put("PSPOR", shares[g]);
            k.put("POREZ", rates[g]);
            k.put("PRODCEN", 150.0 + i % 17);
        }
        k.unlock();
        k.close();
    }

    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        rt::console_init_headless("F");
        const auto t0 = std::chrono::steady_clock::now();
        tor::STPKALK("000001");
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    const std::string file = tor::OSNDIR + "tor001.000";
    std::printf("costing: %d items, report %lld bytes\n", items, static_cast<long long>(rt::os::file_size(file)));
    std::printf("print to file with postings (best of 5): %.3f s\n", best);
    std::filesystem::remove_all(root);
    return 0;
}
