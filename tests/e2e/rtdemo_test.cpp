// rtdemo driven end to end: headless through key scripts, and in tmux on a real terminal.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "torpdv_harness.h"

namespace fs = std::filesystem;

namespace {

using torpdv_e2e::rstrip;
using torpdv_e2e::split_lines;
using torpdv_e2e::slurp;
using TempDir = torpdv_e2e::Install;

const std::string kDemo = std::string(TOR_BIN_DIR) + "/rtdemo";
const fs::path kExpected = fs::path(TOR_SOURCE_DIR) / "tests/e2e/expected";

// Characters (not bytes) in a UTF-8 line.
size_t chars(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

struct DemoRun {
    int status = -1;
    std::vector<std::string> screens;  // each: 25 lines joined with "\n", trailing blanks cut
    std::string err;
};

DemoRun run_demo(const std::string& script, const std::string& today = "2026-03-15") {
    TempDir dir;
    std::ofstream(dir.path / "keys.txt") << script;
    std::string cmd = "cd '" + dir.path.string() + "' && TORPDV_KEYS=keys.txt TORPDV_SCREEN=screen.txt" +
                      " TORPDV_TODAY=" + today + " ASAN_OPTIONS=detect_leaks=0 '" + kDemo +
                      "' </dev/null >out.txt 2>err.txt";
    DemoRun r;
    int rc = std::system(cmd.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.err = slurp(dir.path / "err.txt");
    std::vector<std::string> lines = split_lines(slurp(dir.path / "screen.txt"));
    std::string cur;
    int n = 0;
    for (const std::string& l : lines) {
        if (l == "----") {
            EXPECT_EQ(n, 25) << "a dump has 25 lines";
            r.screens.push_back(cur);
            cur.clear();
            n = 0;
            continue;
        }
        EXPECT_EQ(chars(l), 80u) << "a dump line has 80 characters: [" << l << "]";
        cur += rstrip(l) + "\n";
        ++n;
    }
    return r;
}

std::string expected(const char* name) { return slurp(kExpected / name); }

std::string row(const std::string& screen, int r) { return split_lines(screen).at(r); }

// A key script: the keys of the demo's first entry, with {dump} where screens are checked.
const char* kEntry =
    "# choose the entry form and fill it in\n"
    "{Enter}42{Enter}abc d{Enter}-12.5{Enter}{dump}\n"
    "{Alt+D}{Enter}t{Enter}{dump}\n";

}  // namespace

TEST(Rtdemo, FormMenuAndListShowTheExpectedScreens) {
    DemoRun r = run_demo(std::string(kEntry) + "{Right}{Enter}{Down}{Down}{dump}{Esc}3");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.screens.size(), 3u);
    EXPECT_EQ(r.screens[0], expected("form_filled.txt"));
    EXPECT_EQ(r.screens[1], expected("after_entry.txt"));
    EXPECT_EQ(r.screens[2], expected("months.txt"));
}

TEST(Rtdemo, ValidationListChoiceAndAbandonedEntry) {
    // A zero code is refused with a message and the form stays; Esc then abandons the entry.
    DemoRun r = run_demo("{Enter}{Enter}{dump}{Esc}{dump}{Right}{Enter}{End}{Enter}{dump}{Esc}");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.screens.size(), 3u);
    EXPECT_EQ(rstrip(row(r.screens[0], 23)), " Sifra mora biti veca od nule.");
    EXPECT_EQ(rstrip(row(r.screens[0], 5)).substr(0, 11), "        \xE2\x95\x94");  // the form is open
    EXPECT_EQ(rstrip(row(r.screens[1], 23)), " Unos je prekinut.");
    EXPECT_EQ(rstrip(row(r.screens[1], 5)), "");
    EXPECT_EQ(rstrip(row(r.screens[2], 23)), " Izabran mesec: Decembar");
}

TEST(Rtdemo, PasteAndCtrlEnterThroughHotKeys) {
    // Alt+C copies the code, Alt+V pastes it into the name; Ctrl+Enter leaves fields like Enter.
    DemoRun r = run_demo("{Enter}7{Alt+C}{Ctrl+Enter}{Alt+V}{Ctrl+Enter}{PgDn}{dump}3");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_EQ(rstrip(row(r.screens[0], 23)),
              " Upisano: 000007 7, iznos 0.00, datum 15.03.2026, nije placeno");
}

TEST(Rtdemo, ExitStatuses) {
    // The menu's exit item and Esc end normally.
    EXPECT_EQ(run_demo("3").status, 0);
    EXPECT_EQ(run_demo("{Esc}").status, 0);

    // A script that runs out while the program waits: status 3 and the last screen dumped.
    DemoRun r = run_demo("{Enter}12");
    EXPECT_EQ(r.status, 3);
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_EQ(rstrip(row(r.screens[0], 7)), "        \xE2\x95\x91  Sifra:         12                                           \xE2\x95\x91");

    // A malformed script: status 2 before anything runs, the message names the line.
    r = run_demo("# a comment\n{Enter}\n{NoSuchKey}\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("red 3"), std::string::npos) << r.err;
    EXPECT_TRUE(r.screens.empty());
}

// ---- the same screen on a real terminal ----

namespace {

bool have_tmux() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

// A server of our own (-L), without the user's configuration (-f /dev/null).
std::string tmux(const std::string& session) { return "tmux -L " + session + " -f /dev/null "; }

std::string capture(const std::string& session) {
    std::string file = (fs::temp_directory_path() / (session + ".cap")).string();
    std::system((tmux(session) + "capture-pane -p -t " + session + " > '" + file + "' 2>/dev/null").c_str());
    std::string s = slurp(file);
    fs::remove(file);
    std::string out;
    int n = 0;
    for (const std::string& l : split_lines(s)) {
        if (n++ == 25) break;
        out += rstrip(l) + "\n";
    }
    for (; n < 25; ++n) out += "\n";
    return out;
}

}  // namespace

TEST(RtdemoTerminal, ShowsTheSameScreenAsHeadless) {
    if (!have_tmux()) GTEST_SKIP() << "tmux is not installed";
    DemoRun headless = run_demo("{Right}{Enter}{Down}{Down}{dump}{Esc}3");
    ASSERT_EQ(headless.screens.size(), 1u);

    TempDir dir;
    std::string session = "rtdemo" + std::to_string(getpid()) + "_" + std::to_string(std::time(nullptr));
    std::string start = tmux(session) + "new-session -d -x 80 -y 25 -s " + session + " \"cd '" + dir.path.string() +
                        "' && env -u TORPDV_KEYS ASAN_OPTIONS=detect_leaks=0 LANG=C.UTF-8 '" + kDemo + "'\"";
    ASSERT_EQ(std::system(start.c_str()), 0);
    auto send = [&](const std::string& keys) {
        std::system((tmux(session) + "send-keys -t " + session + " " + keys).c_str());
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    };
    // Wait for the menu, then open the list and move the bar.
    std::string screen;
    for (int i = 0; i < 100 && screen.find("1.Unos") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        screen = capture(session);
    }
    send("Right Enter Down Down");
    for (int i = 0; i < 100; ++i) {
        screen = capture(session);
        if (screen == headless.screens[0]) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    send("Escape");
    send("3");
    std::system((tmux(session) + "kill-server 2>/dev/null").c_str());
    EXPECT_EQ(screen, headless.screens[0]);
}
