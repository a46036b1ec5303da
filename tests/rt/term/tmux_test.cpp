// The terminal back end in a real terminal: tmux runs this test program in child mode, the test
// types keys with send-keys and reads the screen with capture-pane. Skipped without tmux.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "rt/term/console.h"
#include "rt/term/keys.h"

using namespace rt;

namespace {
// Child mode: draws a box with a shadow, then shows the code and name of every key on its own row
// until "q".
void run_child() {
    console_init();
    SETCOLOR("W+/B,W+/R,,,W+/B");
    CLS();
    BOX(1, 1, 4, 20, "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ");
    SET_ATTR(2, 21, 5, 21, 0x07);
    SAY(2, 3, "spreman");
    SAY_COLOR(3, 3, "Paznja", "GR+*/B");
    int row = 6;
    for (;;) {
        int k = INKEY(0);
        if (k == 'q') break;
        SAY(row, 0, std::to_string(k) + " " + key_name(k));
        if (++row > 24) row = 6;
    }
    console_shutdown();
    std::printf("kraj programa\n");
}

struct ChildMode {
    ChildMode() {
        if (std::getenv("RT_TERM_TMUX_CHILD")) {
            run_child();
            std::exit(0);
        }
    }
} child_mode;

std::string sh(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

class Tmux : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v tmux >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
        static int started = 0;  // a socket per test: a server still shutting down is never reused
        sock_ = "rt_term_test_" + std::to_string(getpid()) + "_" + std::to_string(++started);
        char exe[4096];
        ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        ASSERT_GT(n, 0);
        exe_.assign(exe, static_cast<size_t>(n));
    }
    void TearDown() override {
        if (!sock_.empty()) sh("tmux -L " + sock_ + " kill-server 2>/dev/null");
    }
    void start(int width, int height) {
        sh("tmux -L " + sock_ + " -f /dev/null new-session -d -s t -x " + std::to_string(width) + " -y " +
           std::to_string(height) + " \"RT_TERM_TMUX_CHILD=1 ASAN_OPTIONS=detect_leaks=0 " + exe_ +
           "; echo status=\\$?; sleep 60\"");
    }
    std::string screen() { return sh("tmux -L " + sock_ + " capture-pane -p -t t"); }
    std::string screen_with_colours() { return sh("tmux -L " + sock_ + " capture-pane -e -p -t t"); }
    // Waits until the screen shows text (up to 10 s); from row on, that row must start with it.
    bool wait_for(const std::string& text, int row = -1) {
        for (int i = 0; i < 200; ++i) {
            std::string s = screen();
            size_t pos = row < 0 ? s.find(text) : 0;
            for (int r = 0; r < row && pos != std::string::npos; ++r)
                if ((pos = s.find('\n', pos)) != std::string::npos) ++pos;
            if (pos != std::string::npos && s.compare(pos, text.size(), text) == 0) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void keys(const std::string& k) { sh("tmux -L " + sock_ + " send-keys -t t " + k); }
    std::string sock_, exe_;
};
}  // namespace

TEST_F(Tmux, DrawsGlyphsAndColoursAndReadsKeys) {
    start(80, 25);
    ASSERT_TRUE(wait_for("spreman")) << screen();
    std::string s = screen();
    EXPECT_NE(s.find(" ╔══════════════════╗"), std::string::npos) << s;
    EXPECT_NE(s.find(" ║ spreman          ║"), std::string::npos) << s;
    std::string c = screen_with_colours();
    EXPECT_NE(c.find("\x1b[5m"), std::string::npos);  // the blinking word
    // One key at a time, each waited for, so that Esc prefixes are not merged.
    const char* sends[][2] = {
        {"Up", "5 {Up}"},          {"F2", "-1 {F2}"},           {"F10", "-9 {F10}"},
        {"NPage", "3 {PgDn}"},     {"BSpace", "8 {BS}"},        {"C-j", "10 {Ctrl+Enter}"},
        {"Enter", "13 {Enter}"},   {"M-d", "288 {Alt+D}"},      {"M-0", "385 {Alt+0}"},
        {"M-Up", "408 {Alt+Up}"},  {"M-NPage", "417 {Alt+PgDn}"}, {"M-Enter", "284 {Alt+Enter}"},
        {"C-Home", "29 {Ctrl+Home}"}, {"C-IC", "402 {Ctrl+Ins}"}, {"C-F10", "-29 {Ctrl+F10}"},
        {"S-F12", "390 {390}"},    {"S-F9", "402 {Ctrl+Ins}"},  {"Escape", "27 {Esc}"},
    };
    int row = 6;
    for (auto& kv : sends) {
        keys(kv[0]);
        ASSERT_TRUE(wait_for(kv[1], row++)) << kv[0] << "\n" << screen();
    }
    // A sequence no table knows is skipped whole, never read as Esc and characters.
    keys("-l \"$(printf '\\033[99;7~')\"");
    keys("z");
    ASSERT_TRUE(wait_for("122 z", row++)) << screen();
    keys("q");
    ASSERT_TRUE(wait_for("status=0")) << screen();
    EXPECT_NE(screen().find("kraj programa"), std::string::npos);  // the program's screen is gone
    EXPECT_EQ(screen().find("spreman"), std::string::npos);
}

TEST_F(Tmux, RefusesATerminalSmallerThan80x25) {
    start(79, 25);
    ASSERT_TRUE(wait_for("status=2")) << screen();
    EXPECT_NE(screen().find("Prozor terminala mora biti najmanje 80 x 25."), std::string::npos);
}
