// rtdemo driven end to end: headless through key scripts, and in tmux on a real terminal.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

TEST(RtdemoTerminal, ShowsTheSameScreenAsHeadless) {
    if (!torpdv_e2e::have_tmux()) GTEST_SKIP() << "tmux is not installed";
    const auto headless = run_demo("{Right}{Enter}{Down}{Down}{dump}{Esc}3");
    ASSERT_EQ(headless.screens.size(), 1u);
    TempDir dir;
    torpdv_e2e::Pane pane(dir, kDemo);
    ASSERT_TRUE(pane.started());
    std::string s;
    ASSERT_TRUE(pane.wait_for("1.Unos", &s)) << s;
    pane.send("Right Enter Down Down");
    EXPECT_TRUE(pane.watch([&](const std::string& now) { return now == headless.screens[0]; }, 10, &s))
        << s << "\n" << headless.screens[0];
    pane.send("Escape");
    pane.type("3");
    EXPECT_EQ(pane.wait_exit(), 0);
}
