// rtdemo driven end to end: headless through key scripts, and in tmux on a real terminal.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
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

torpdv_e2e::Run run_demo(const std::string& script) {
    TempDir dir;
    torpdv_e2e::Options o;
    o.binary = "rtdemo";
    o.today = "2026-03-15";
    return torpdv_e2e::run(dir, script, o);
}

std::string expected(const char* name) { return slurp(fs::path(TOR_SOURCE_DIR) / "tests/e2e/expected" / name); }

std::string row(const std::string& screen, int r) { return split_lines(screen).at(r); }

}  // namespace

TEST(Rtdemo, FormMenuAndListShowTheExpectedScreens) {
    // The entry form filled in, the screen after the entry, the month list with its bar moved.
    auto r = run_demo("{Enter}42{Enter}abc d{Enter}-12.5{Enter}{dump}{Alt+D}{Enter}t{Enter}{dump}"
                      "{Right}{Enter}{Down}{Down}{dump}{Esc}3");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.screens.size(), 3u);
    EXPECT_EQ(r.screens[0], expected("form_filled.txt"));
    EXPECT_EQ(r.screens[1], expected("after_entry.txt"));
    EXPECT_EQ(r.screens[2], expected("months.txt"));
}

TEST(Rtdemo, ValidationListChoiceAndAbandonedEntry) {
    // A zero code is refused with a message and the form stays; Esc then abandons the entry.
    auto r = run_demo("{Enter}{Enter}{dump}{Esc}{dump}{Right}{Enter}{End}{Enter}{dump}{Esc}");
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
    auto r = run_demo("{Enter}7{Alt+C}{Ctrl+Enter}{Alt+V}{Ctrl+Enter}{PgDn}{dump}3");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.screens.size(), 1u);
    EXPECT_EQ(rstrip(row(r.screens[0], 23)), " Upisano: 000007 7, iznos 0.00, datum 15.03.2026, nije placeno");
}

// ---- the same screen on a real terminal ----

// The month list as the headless run dumps it, shown by rtdemo in a tmux window of 80 x 25 (a
// server of its own, without the user's configuration).
TEST(RtdemoTerminal, ShowsTheSameScreenAsHeadless) {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
    TempDir dir;
    const std::string session = "rtdemo" + std::to_string(getpid()) + "_" + std::to_string(std::time(nullptr));
    const std::string tmux = "tmux -L " + session + " -f /dev/null ";
    ASSERT_EQ(std::system((tmux + "new-session -d -x 80 -y 25 -s " + session + " \"cd '" + dir.path.string() +
                           "' && env -u TORPDV_KEYS ASAN_OPTIONS=detect_leaks=0 LANG=C.UTF-8 '" + kDemo + "'\"")
                              .c_str()),
              0);
    auto send = [&](const std::string& keys) {
        std::system((tmux + "send-keys -t " + session + " " + keys).c_str());
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    };
    // The 25 rows of the pane, trailing blanks cut.
    auto capture = [&] {
        const fs::path file = dir / "pane.txt";
        std::system((tmux + "capture-pane -p -t " + session + " > '" + file.string() + "' 2>/dev/null").c_str());
        std::vector<std::string> rows = split_lines(slurp(file));
        rows.resize(25);
        std::string out;
        for (const std::string& l : rows) out += rstrip(l) + "\n";
        return out;
    };
    const auto headless = run_demo("{Right}{Enter}{Down}{Down}{dump}{Esc}3");
    ASSERT_EQ(headless.screens.size(), 1u);
    const std::string& want = headless.screens[0];
    std::string screen;
    for (int i = 0; i < 100 && screen.find("1.Unos") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        screen = capture();
    }
    send("Right Enter Down Down");
    for (int i = 0; i < 100 && (screen = capture()) != want; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    send("Escape");
    send("3");
    std::system((tmux + "kill-server 2>/dev/null").c_str());
    EXPECT_EQ(screen, want);
}
