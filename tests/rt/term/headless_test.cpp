// The headless contract as a program sees it: console_init reads TORPDV_KEYS and TORPDV_SCREEN.
// The test runs this test program again in child mode with those variables set.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

using namespace rt;

namespace {
// Child mode: a box, then every key typed is echoed on row 5 until Esc ends the program normally.
void run_child() {
    console_init();
    BOX(0, 0, 2, 10, "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ");
    SAY(1, 1, "unos");
    std::string typed;
    for (;;) {
        int k = INKEY(0);
        if (k == K::ESC) break;
        if (k == K::F10) {  // a three-second message that a key may cut short
            SAY(4, 0, "poruka");
            INKEY(3);
            SAY(4, 0, "      ");
            continue;
        }
        typed += key_name(k);
        SAY(5, 0, typed);
    }
    SAY(6, 0, "kraj " + clk::time_hhmmss());
    console_dump();
    console_shutdown();
}

struct ChildMode {
    ChildMode() {
        if (std::getenv("RT_TERM_HEADLESS_CHILD")) {
            run_child();
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

class Headless : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/rt_term_headlessXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        char exe[4096];
        ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        ASSERT_GT(n, 0);
        exe_.assign(exe, static_cast<size_t>(n));
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    // Runs the child with the script (read from keys_file); returns its exit status.
    int run(const std::string& script, const std::string& keys_file = "keys.txt") {
        std::ofstream(dir_ + "/keys.txt", std::ios::binary) << script;
        std::string cmd = "cd " + dir_ + " && RT_TERM_HEADLESS_CHILD=1 TORPDV_KEYS=" + keys_file + " TORPDV_SCREEN=screen.txt "
                          "TORPDV_TODAY=2024-03-01 ASAN_OPTIONS=detect_leaks=0 " + exe_ + " 2>err.txt";
        int st = std::system(cmd.c_str());
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    std::string screens() { return slurp(dir_ + "/screen.txt"); }
    std::string err() { return slurp(dir_ + "/err.txt"); }
    std::string dir_, exe_;
};
}  // namespace

TEST_F(Headless, ExhaustedScriptDumpsAndEndsWithStatus3) {
    EXPECT_EQ(run("ab{dump}\n# comment\nc"), 3);
    // Two dumps: the {dump} and the one at the end of the script.
    std::string s = screens();
    size_t first = s.find("----\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(s.substr(0, s.find('\n')), "╔═════════╗" + std::string(69, ' '));
    EXPECT_NE(s.substr(0, first).find("\nab" + std::string(78, ' ') + "\n"), std::string::npos);
    EXPECT_NE(s.find("\nabc" + std::string(77, ' ') + "\n", first), std::string::npos);
    EXPECT_EQ(s.substr(s.size() - 5), "----\n");
}

TEST_F(Headless, NormalEndExitsZeroWithVirtualTime) {
    // The pause lets the three-second message time out; the clock starts at 08:00:00.
    EXPECT_EQ(run("{F10}{pause}{F10}xy{Esc}"), 0);
    std::string s = screens();
    // x ended the second message and was taken by it; y is typed.
    EXPECT_NE(s.find("\ny" + std::string(79, ' ') + "\n"), std::string::npos) << s;
    EXPECT_NE(s.find("kraj 08:00:03"), std::string::npos) << s;
}

TEST_F(Headless, MalformedOrUnreadableScriptIsNamedAndExits2) {
    EXPECT_EQ(run("ab\n{Enter}\n# ok\nx{Bogus}y\n"), 2);
    EXPECT_NE(err().find("red 4"), std::string::npos) << err();
    EXPECT_NE(err().find("{Bogus}"), std::string::npos) << err();
    EXPECT_EQ(screens(), "");
    EXPECT_EQ(run("", "missing.txt"), 2);
    EXPECT_NE(err().find("missing.txt"), std::string::npos) << err();
}
