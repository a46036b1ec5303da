// Costing screen benchmark: a company with RECORDS costing headers (with both indexes) and the
// costing screen opened in-process with a key script, timed from the call to the number prompt
// and back (Esc at the prompt). Three cases: the ordinary proposal (last number + 1), the
// negative proposal of a commission return form with a few negative numbers among the
// positive ones, and a new buy-off costing up to its document-number field (the running buy-off
// number reads every header).
//
//   costing_open [DIR [RECORDS RUNS]]      (defaults: a temporary directory, 100000, 5)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_util.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "inbound/inbound.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace fs = std::filesystem;

namespace {

const rt::Date kBase = rt::Date::ymd(2020, 1, 1);

// Headers 1..records (every tenth a buy-off), three return-form numbers, and two partners.
void fill_company(long records) {
    rt::dbf::WorkArea u;
    u.open(tor::dbf_path("ukalk"));
    for (long i = 1; i <= records; ++i) {
        u.append_blank();
        u.put("BRKALK", rt::STRZERO(static_cast<double>(i), 6));
        u.put("DOBAV", i % 10 == 0 ? "0002" : "0001");
        u.put("NAZDOB", "DOBAVLJAC");
        u.put("BRDOK", rt::STR(static_cast<double>(i), 10));
        u.put("DATKAL", kBase + i / 100);
        u.put("ZAPLA", static_cast<double>(i % 1000));
        u.put("OTKUP", i % 10 == 0);
    }
    for (const char* n : {"-00001", "-00002", "-00005"}) {
        u.append_blank();
        u.put("BRKALK", n);
        u.put("DOBAV", "0001");
        u.put("DATKAL", kBase);
    }
    u.unlock();
    u.commit();
    u.create_index("dtos(datkal)", tor::ntx_path("ukalk1"));
    u.create_index("BrKalk", tor::ntx_path("ukalk"));
    u.close();

    rt::dbf::WorkArea d;
    d.open(tor::dbf_path("mddob"));
    d.set_index({tor::ntx_path("mddob")});
    const char* names[2] = {"AGROPROMET DOO", "JOVAN JOVIC"};
    for (int i = 0; i < 2; ++i) {
        d.append_blank();
        d.put("SIFRA", rt::STRZERO(i + 1, 4));
        d.put("NAZIV", names[i]);
        d.put("PEPDV", i == 0 ? "111222333" : "");
    }
    d.unlock();
    d.commit();
    d.close();
}

// Median wall seconds of runs calls of the costing screen with the key script.
double timed(int runs, const std::string& keys, const std::function<void()>& set_mode) {
    return bench::median_seconds(
        runs,
        [&] {
            rt::console_init_headless(keys);
            set_mode();
        },
        [] { tor::KALKULACIJE(); });
}

}  // namespace

int main(int argc, char** argv) {
    bool temporary = false;
    const std::string dir = bench::installation(argc, argv, "costing-open", temporary);
    const long records = argc > 2 ? std::atol(argv[2]) : 100000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;

    rt::console_init_headless("");
    tor::OSNDIR = dir + "/";
    tor::DIR = tor::OSNDIR + "001/";
    fs::create_directories(tor::DIR);
    tor::DDAN = rt::Date::ymd(2026, 3, 16);
    tor::WPDVKOM = true;
    tor::INITDAT();
    rt::dbf::close_all();
    const auto f0 = std::chrono::steady_clock::now();
    fill_company(records);
    const double fill_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - f0).count();
    tor::OSEK = rt::SAVESCREEN();
    tor::KOM_FLEKA = rt::SAVESCREEN(2, 5, 2, 74);

    const double ordinary = timed(runs, "{Esc}", [] {
        tor::WSIFDEL = "001";
        tor::WOTKUP = tor::KAL_TROS = tor::KAL_REPR = false;
    });
    const double kr1 = timed(runs, "{Esc}", [] {
        tor::WSIFDEL = "005";
        tor::KALK_FORM = 2;
        tor::WOTKUP = tor::KAL_TROS = tor::KAL_REPR = false;
    });
    const double buyoff = timed(runs, "{Enter}{Enter}2{Enter}{Esc}", [] {
        tor::WSIFDEL = "001";
        tor::KALK_FORM = 1;
        tor::WOTKUP = true;
    });
    std::printf("records=%ld fill=%.3f\n", records, fill_s);
    std::printf("open_to_number_prompt median=%.4f\n", ordinary);
    std::printf("open_kr1_negative_proposal median=%.4f\n", kr1);
    std::printf("new_buyoff_to_document_number median=%.4f\n", buyoff);
    if (temporary) fs::remove_all(dir);
    return 0;
}
