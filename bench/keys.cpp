// Key throughput of the headless console: a 10,000-key script walks rtdemo's form and menu
// over and over; reports keys per second and the peak memory of the run.
//
//   build/bench/keys [path/to/rtdemo] [keys]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Keys in a script fragment: a {Name} is one key, every other character one key.
long count_keys(const std::string& s) {
    long n = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '{') i = s.find('}', i);
        ++n;
    }
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path demo = argc > 1 ? fs::path(argv[1])
                             : fs::absolute(fs::path(argv[0])).parent_path().parent_path() / "rtdemo";
    long target = argc > 2 ? std::atol(argv[2]) : 10000;
    if (!fs::exists(demo)) {
        std::fprintf(stderr, "rtdemo not found at %s\n", demo.c_str());
        return 2;
    }

    // One round: a full entry (code, upper-cased name, negative amount, today's date by hot
    // key, logical), then the month list down to April and back to the first menu item.
    const std::string round =
        "{Home}{Enter}123456{Enter}naziv artikla{Enter}-1234.56{Enter}{Alt+D}{Enter}t{Enter}\n"
        "{Right}{Enter}{Down}{Down}{Down}{Enter}\n"
        "{Home}{Enter}{Up}{Ins}x{Ins}{Down}{Down}{BS}{BS}77{PgDn}\n";
    const long per_round = count_keys(round);
    std::string script;
    long keys = 0;
    while (keys + 1 < target) {
        script += round;
        keys += per_round;
    }
    script += "3\n";
    keys += 1;

    fs::path dir = fs::temp_directory_path() / ("tor-bench-keys-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "keys.txt") << script;

    auto t0 = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        setenv("TORPDV_KEYS", "keys.txt", 1);
        setenv("TORPDV_TODAY", "2026-03-15", 1);
        unsetenv("TORPDV_SCREEN");
        execl(demo.c_str(), demo.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    rusage ru{};
    getrusage(RUSAGE_CHILDREN, &ru);
    fs::remove_all(dir);

    int rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::printf("keys: %ld\nexit status: %d\ntime: %.3f s\nkeys per second: %.0f\npeak memory: %ld kB\n",
                keys, rc, secs, keys / secs, ru.ru_maxrss);
    return rc == 0 ? 0 : 1;
}
