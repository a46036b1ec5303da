// The headless contract as a program sees it: console_init reads TORPDV_KEYS and TORPDV_SCREEN.
// The test runs this test program again in child mode with those variables set. (Scripts run
// to their end, status 3 and the screen dumps, are shown by the end-to-end runs of the program.)
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "rt/term/console.h"

using namespace rt;

namespace {
struct ChildMode {
    ChildMode() {
        if (std::getenv("RT_TERM_HEADLESS_CHILD")) {
            console_init();
            console_dump();
            console_shutdown();
            std::exit(0);
        }
    }
} child_mode;

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}
}  // namespace

TEST(Headless, MalformedOrUnreadableScriptIsNamedAndExits2) {
    char tmpl[] = "/tmp/rt_term_headlessXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    auto run = [&](const std::string& keys_file) {
        std::string cmd = "cd " + dir + " && RT_TERM_HEADLESS_CHILD=1 TORPDV_KEYS=" + keys_file +
                          " TORPDV_SCREEN=screen.txt ASAN_OPTIONS=detect_leaks=0 " +
                          std::string(exe, static_cast<size_t>(n)) + " 2>err.txt";
        int st = std::system(cmd.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    };
    std::ofstream(dir + "/keys.txt", std::ios::binary) << "ab\n{Enter}\n# ok\nx{Bogus}y\n";
    EXPECT_EQ(run("keys.txt"), 2);
    std::string err = slurp(dir + "/err.txt");
    EXPECT_NE(err.find("red 4"), std::string::npos) << err;
    EXPECT_NE(err.find("{Bogus}"), std::string::npos) << err;
    EXPECT_EQ(slurp(dir + "/screen.txt"), "");
    EXPECT_EQ(run("missing.txt"), 2);
    err = slurp(dir + "/err.txt");
    EXPECT_NE(err.find("missing.txt"), std::string::npos) << err;
    std::system(("rm -rf " + dir).c_str());
}
