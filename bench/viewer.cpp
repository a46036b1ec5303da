// The viewer over a report of 100,000 lines: the time to open it (the lines read into the work
// table and the first window shown), the time to jump to the end, the peak memory.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "data/data.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/console.h"

namespace {

double run(const std::string& file, const std::string& keys) {
    rt::console_init_headless(keys);
    const auto t0 = std::chrono::steady_clock::now();
    tor::FDISP(file, 2, 0, 23, 79, 132);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    char tmpl[] = "/tmp/torbench.XXXXXX";
    if (!mkdtemp(tmpl)) return 1;
    const std::string root = tmpl;
    tor::OSNDIR = root + "/";
    tor::DIR = tor::OSNDIR;
    tor::CPCID = "BENCH001";
    rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
    // A real installation around the viewer: the program's and the company's tables.
    rt::console_init_headless("");
    tor::INITDAT();

    // A 132-column report: a running number, a description, amounts; a rule every 60 lines.
    const std::string file = root + "/report.prn";
    {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        for (int i = 1; i <= lines; ++i) {
            char buf[200];
            if (i % 60 == 0)
                std::snprintf(buf, sizeof buf, "%s\r\n", std::string(132, '-').c_str());
            else
                std::snprintf(buf, sizeof buf, "%6d  Stavka izvestaja broj %-40d %12.2f %12.2f %12.2f %20s\r\n", i,
                              i, i * 1.25, i * 0.2, i * 1.45, "kraj reda");
            std::fputs(buf, f);
        }
        std::fclose(f);
    }
    std::printf("report: %d lines, %lld bytes\n", lines, static_cast<long long>(rt::os::file_size(file)));

    double open_close = run(file, "{Esc}");
    for (int i = 0; i < 4; ++i) open_close = std::min(open_close, run(file, "{Esc}"));
    std::string jumps;
    for (int i = 0; i < 50; ++i) jumps += "{End}{Home}";
    const double with_end = run(file, "{End}{Esc}");
    const double jumping = run(file, jumps + "{Esc}");
    const double with_search = run(file, "{F3}BROJ 99999{Enter}{End}{Esc}");
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("open + close:           %.3f s\n", open_close);
    std::printf("open + End + close:     %.3f s\n", with_end);
    std::printf("End or Home, each:      %.2f ms\n", (jumping - open_close) / 100 * 1000);
    std::printf("open + rare-text search + End: %.3f s\n", with_search);
    std::printf("peak memory (maxrss):   %ld KiB\n", ru.ru_maxrss);
    std::filesystem::remove_all(root);
    return 0;
}
