// Table-engine benchmark: a stock-movement table of RECORDS records with one index on
// "Sifra+dtos(datum)"; appends, index build, seeks, scans and locked changes, exclusive and shared.
//
//   tables DIR [RUNS RECORDS OPS]      (defaults 3, 1000000, 100000)
//
// Every run starts from fresh files with the Park-Miller generator seeded with 12345. Prints one
// line per run, then "step median=seconds" per step and the peak memory.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"

using namespace rt::dbf;

namespace {

uint64_t g_seed = 12345;

// seed := seed * 16807 mod 2147483647; rnd(n) := int((seed - 1) / 2147483646 * n)
long rnd(long n) {
    g_seed = g_seed * 16807 % 2147483647;
    return static_cast<long>(static_cast<double>(g_seed - 1) / 2147483646.0 * static_cast<double>(n));
}

std::string zero6(long v) {
    std::string s(6, '0');
    for (int i = 5; i >= 0 && v > 0; --i, v /= 10) s[static_cast<size_t>(i)] = static_cast<char>('0' + v % 10);
    return s;
}

const char* const kNames[16] = {
    "SECER KRISTAL 1KG", "BRASNO T-400 1KG", "ULJE SUNCOKRETOVO 1L", "SO KUHINJSKA 1KG",
    "KAFA MLEVENA 200G", "DETERDZENT 3KG", "SAPUN TECNI 500ML", "BOJA BELA 0.75L",
    "SRAF M6X20", "EKSER 50MM", "LEPAK UNIVERZALNI", "PAPIR A4 500L",
    "OLOVKA HB", "SVESKA A5", "BATERIJA AA", "SIJALICA 60W"};
const char* const kUnits[5] = {"KOM", "KG", "L", "PAK", "M"};
const char* const kGroups[8] = {"1", "2", "3", "4", "5", "A", "B", "C"};

const rt::Date kBase = rt::Date::ymd(2023, 1, 1);

void fill(WorkArea& a, long i) {
    a.put("SIFRA", zero6(rnd(100000) + 1));
    a.put("VEZA", "K" + zero6(i / 7));
    a.put("NAZIV", kNames[i % 16]);
    a.put("JMERE", kUnits[i % 5]);
    a.put("TARGR", kGroups[i % 8]);
    a.put("DATUM", kBase + rnd(1000));
    a.put("KOLICINA", static_cast<double>(rnd(100000)) / 1000.0);
    const double prodcen = static_cast<double>(rnd(10000000)) / 1000.0;
    a.put("PRODCEN", prodcen);
    a.put("NABCEN", rt::ROUND(prodcen * 0.8, 3));
    a.put("USLUGA", i % 10 == 0);
}

double cpu_seconds() {
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// CPU seconds (user + system) of the last timed step: on a loaded machine the wall time says
// little, this says what the step costs.
double g_cpu = 0;

double timed(const std::function<void()>& f) {
    const double c0 = cpu_seconds();
    auto t0 = std::chrono::steady_clock::now();
    f();
    g_cpu = cpu_seconds() - c0;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double peak_mib() {
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return static_cast<double>(ru.ru_maxrss) / 1024.0;
}

// The peak memory after each step: which step raised it.
std::vector<double> g_peak;

double timed_cpu(std::vector<double>& cpu, const std::function<void()>& f) {
    double t = timed(f);
    cpu.push_back(g_cpu);
    g_peak.push_back(peak_mib());
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tables DIR [RUNS RECORDS OPS]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const long records = argc > 3 ? std::atol(argv[3]) : 1000000;
    const long ops = argc > 4 ? std::atol(argv[4]) : 100000;
    rt::os::make_dir(dir);
    const std::string table = dir + "/tables.dbf";
    const std::string index = dir + "/tables.ntx";

    const std::vector<std::string> steps = {"create_append", "index_build",    "seek_excl",   "scan_excl",
                                            "seek_shared",   "scan_shared",    "replace_nonkey", "replace_key",
                                            "append_locked"};
    std::vector<std::vector<double>> times(steps.size());
    double checksum = 0;

    try {
        for (int run = 1; run <= runs; ++run) {
            rt::os::erase(table);
            rt::os::erase(index);
            g_seed = 12345;
            std::vector<double> t;
            std::vector<double> cpu;
            g_peak.clear();
            WorkArea a;

            t.push_back(timed_cpu(cpu, [&] {
                create_table(table, {{"SIFRA", 'C', 6, 0},    {"VEZA", 'C', 7, 0},     {"NAZIV", 'C', 40, 0},
                                     {"JMERE", 'C', 3, 0},    {"TARGR", 'C', 3, 0},    {"DATUM", 'D', 8, 0},
                                     {"KOLICINA", 'N', 12, 3}, {"PRODCEN", 'N', 12, 3}, {"NABCEN", 'N', 12, 3},
                                     {"USLUGA", 'L', 1, 0}});
                if (!a.open(table, "", true)) throw rt::Error("cannot open " + table);
                for (long i = 1; i <= records; ++i) {
                    a.append_blank();
                    fill(a, i);
                }
                a.close();
            }));
            t.push_back(timed_cpu(cpu, [&] {
                if (!a.open(table, "", true)) throw rt::Error("cannot open " + table);
                a.create_index("Sifra+dtos(datum)", index);
            }));
            auto seeks = [&] {
                for (long k = 0; k < ops; ++k)
                    if (a.seek(zero6(rnd(100000) + 1))) checksum += a.get_num("KOLICINA");
            };
            auto scan = [&] {
                for (a.go_top(); !a.eof(); a.skip()) checksum += a.get_num("KOLICINA");
            };
            t.push_back(timed_cpu(cpu, seeks));
            t.push_back(timed_cpu(cpu, scan));
            a.close();
            if (!a.open(table, "", false)) throw rt::Error("cannot open " + table);
            a.set_index({index});
            t.push_back(timed_cpu(cpu, seeks));
            t.push_back(timed_cpu(cpu, scan));
            t.push_back(timed_cpu(cpu, [&] {
                for (long k = 0; k < ops; ++k) {
                    if (!a.seek(zero6(rnd(100000) + 1)) || !a.rlock()) continue;
                    a.put("KOLICINA", a.get_num("KOLICINA") + 1);
                    a.unlock();
                }
            }));
            t.push_back(timed_cpu(cpu, [&] {
                for (long k = 0; k < ops; ++k) {
                    if (!a.seek(zero6(rnd(100000) + 1)) || !a.rlock()) continue;
                    a.put("DATUM", a.get_date("DATUM") + 1);
                    a.unlock();
                }
            }));
            t.push_back(timed_cpu(cpu, [&] {
                for (long k = 0; k < ops; ++k) {
                    if (!a.append_blank()) throw rt::Error("append refused");
                    fill(a, records + k + 1);
                    a.unlock();
                }
            }));
            a.close();

            std::printf("run %d", run);
            for (size_t s = 0; s < steps.size(); ++s) {
                std::printf(" %s=%.3f", steps[s].c_str(), t[s]);
                times[s].push_back(t[s]);
            }
            std::printf("\nrun %d cpu", run);
            for (size_t s = 0; s < steps.size(); ++s) std::printf(" %s=%.3f", steps[s].c_str(), cpu[s]);
            std::printf("\nrun %d peak_mib", run);
            for (size_t s = 0; s < steps.size(); ++s) std::printf(" %s=%.1f", steps[s].c_str(), g_peak[s]);
            std::printf("\n");
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tables: %s\n", e.what());
        return 1;
    }
    for (size_t s = 0; s < steps.size(); ++s) {
        std::vector<double> v = times[s];
        std::sort(v.begin(), v.end());
        std::printf("%s median=%.3f\n", steps[s].c_str(), v.empty() ? 0.0 : v[v.size() / 2]);
    }
    std::printf("peak_memory_mib=%.1f\n", peak_mib());
    std::printf("checksum=%.3f\n", checksum);
    return 0;
}
