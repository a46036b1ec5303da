// Start-up benchmark: runs the torpdv binary headless N times, each time in fresh temporary
// installation directories, and reports the median wall time and the peak memory of
//   (a) the first start up to the company choice (the key script is empty: the program stops
//       at the profile menu that the empty register opens, the first moment it waits for a key);
//   (b) entering a new company: a first start that types company "001" into the basic-data
//       screen and enters it (creating its tables and indexes), minus (a).
//
//   startup [BINARY] [N]      (defaults: ./build/torpdv, 20)
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Sample {
    double secs = 0;
    long max_rss_kib = 0;
    int status = -1;
};

// One headless run of the program in dir with the key script; wall time and peak memory of the
// child process.
Sample run_once(const std::string& binary, const fs::path& dir, const std::string& script) {
    std::ofstream(dir / "keys.txt", std::ios::binary) << script;
    Sample s;
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0) {
        perror("fork");
        std::exit(2);
    }
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(126);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(devnull, 2);
        setenv("TORPDV_KEYS", "keys.txt", 1);
        setenv("TORPDV_SCREEN", "screen.txt", 1);
        setenv("TORPDV_TODAY", "2026-03-16", 1);
        setenv("TORPDV_PCID", "BENCH001", 1);
        setenv("TORPDV_PRINTER", "printer.out", 1);
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int wstatus = 0;
    struct rusage ru {};
    if (wait4(pid, &wstatus, 0, &ru) < 0) {
        perror("wait4");
        std::exit(2);
    }
    s.secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    s.max_rss_kib = ru.ru_maxrss;
    s.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return s;
}

fs::path fresh_dir() {
    std::string tmpl = (fs::temp_directory_path() / "torpdv-bench-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        perror("mkdtemp");
        std::exit(2);
    }
    return tmpl;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The start-up logo stops at the first key and swallows it: the script waits it out first.
const char* const kEnterNewCompany =
    "{pause}{Enter}1{Enter}Bench{Enter}Petar{Enter}Petrovic{Enter}Beograd{Enter}{Enter}1{Enter}{Enter}";

}  // namespace

int main(int argc, char** argv) {
    const std::string binary = fs::absolute(argc > 1 ? argv[1] : "./build/torpdv").string();
    const int n = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    if (access(binary.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "Program nije pronadjen: %s\n", binary.c_str());
        return 2;
    }

    std::vector<double> start, enter;
    long start_rss = 0, enter_rss = 0;
    for (int i = 0; i < n; ++i) {
        const fs::path a = fresh_dir(), b = fresh_dir();
        const Sample sa = run_once(binary, a, "");
        const Sample sb = run_once(binary, b, kEnterNewCompany);
        // Both runs end where the script runs out while the program waits for a key (status 3):
        // (a) at the profile menu, (b) at the main menu of the entered company.
        const bool ok = sa.status == 3 && sb.status == 3 && fs::exists(b / "001" / "mdart.dbf");
        std::error_code ec;
        fs::remove_all(a, ec);
        fs::remove_all(b, ec);
        if (!ok) {
            std::fprintf(stderr, "Run %d failed: status %d / %d\n", i + 1, sa.status, sb.status);
            return 1;
        }
        start.push_back(sa.secs);
        enter.push_back(sb.secs);
        start_rss = std::max(start_rss, sa.max_rss_kib);
        enter_rss = std::max(enter_rss, sb.max_rss_kib);
    }
    const double ma = median(start), mb = median(enter);
    std::printf("runs: %d\n", n);
    std::printf("(a) start to the company choice:    median %.3f s   peak RSS %.1f MiB\n", ma, start_rss / 1024.0);
    std::printf("(b) entering a new company:         median %.3f s   peak RSS %.1f MiB"
                "   (whole run %.3f s)\n",
                mb - ma, enter_rss / 1024.0, mb);
    return 0;
}
