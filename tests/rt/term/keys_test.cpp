#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "rt/fmt/error.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

using namespace rt;

namespace {
std::vector<int> codes(std::string_view script) {
    std::vector<int> out;
    for (const ScriptItem& it : parse_key_script(script)) {
        if (it.kind == ScriptItem::KEY) out.push_back(it.code);
        else out.push_back(it.kind == ScriptItem::PAUSE ? 1000000 : 2000000);
    }
    return out;
}
int error_line(std::string_view script) {
    try {
        parse_key_script(script);
    } catch (const Error& e) {
        std::string w = e.what();
        if (w.rfind("red ", 0) == 0) return std::stoi(w.substr(4));
        return -1;
    }
    return 0;
}
}  // namespace

// Every named token gives its code, and every code's name reads back as that code.
TEST(KeyScript, EveryNamedTokenAndItsName) {
    std::string alts;
    for (char c = 'A'; c <= 'Z'; ++c) alts += std::string("{Alt+") + c + "}";
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"{Enter}{Esc}{Tab}{BS}{Space}{Up}{Down}{Left}{Right}{Home}{End}{PgUp}{PgDn}{Ins}{Del}",
         {13, 27, 9, 8, 32, 5, 24, 19, 4, 1, 6, 18, 3, 22, 7}},
        {"{F1}{F2}{F3}{F4}{F5}{F6}{F7}{F8}{F9}{F10}{F11}{F12}", {28, -1, -2, -3, -4, -5, -6, -7, -8, -9, -40, -41}},
        {"{Ctrl+Enter}{Ctrl+Home}{Ctrl+Ins}{Ctrl+W}{Ctrl+F10}", {10, 29, 402, 23, -29}},
        {"{Alt+PgDn}{Alt+Up}{Alt+Down}{Alt+Left}{Alt+Right}{Alt+Enter}", {417, 408, 416, 411, 413, 284}},
        {alts, {286, 304, 302, 288, 274, 289, 290, 291, 279, 292, 293, 294, 306,
                305, 280, 281, 272, 275, 287, 276, 278, 303, 273, 301, 277, 300}},
        {"{Alt+0}{Alt+1}{Alt+5}{Alt+9}{alt+d}", {385, 376, 380, 384, 288}},
        {"{-9}{390}{255}{{a}Z", {-9, 390, 255, '{', 'a', '}', 'Z'}},
    };
    for (const auto& [script, want] : cases) {
        EXPECT_EQ(codes(script), want) << script;
        for (int code : want) {
            std::vector<ScriptItem> items = parse_key_script(key_name(code));
            ASSERT_EQ(items.size(), 1u) << key_name(code);
            EXPECT_EQ(items[0].code, code) << key_name(code);
        }
    }
    EXPECT_EQ(codes("{pause}{dump}"), (std::vector<int>{1000000, 2000000}));
    EXPECT_EQ(key_name(K::ENTER), "{Enter}");
    EXPECT_EQ(key_name(K::ALT_D), "{Alt+D}");
    EXPECT_EQ(key_name('a'), "a");
    EXPECT_EQ(alt_key('d'), 288);
    EXPECT_EQ(alt_key('0'), 385);
    EXPECT_EQ(alt_key('?'), 0);
}

TEST(KeyScript, TextBracesCommentsAndLineBreaks) {
    EXPECT_EQ(codes("# a comment {Bogus}\r\n12\n\n  #not\n3{Enter}\n"),
              (std::vector<int>{'1', '2', ' ', ' ', '#', 'n', 'o', 't', '3', 13}));
    EXPECT_EQ(codes("Ä"), (std::vector<int>{0x8E}));
    EXPECT_TRUE(codes("").empty());
}

TEST(KeyScript, MalformedLinesAreNamed) {
    const std::pair<const char*, int> cases[] = {
        {"ok\nok\n{Bogus}", 3}, {"# c\n{Enter\n", 2}, {"{}", 1}, {"a\n\tb", 2}, {"{0}", 1}, {"{Alt+!}", 1},
        {"x\n€", 2}, {"{Enter}{Esc}\n{pause}{dump}{-29}", 0},
    };
    for (const auto& [script, line] : cases) EXPECT_EQ(error_line(script), line) << script;
}

TEST(Inkey, TypeAheadComesBeforeTheScriptAndClearingLeavesTheScript) {
    console_init_headless("ab");
    KEYBOARD(std::vector<int>{K::RIGHT, K::INS, K::REFRESH});
    EXPECT_EQ(NEXTKEY(), K::RIGHT);
    EXPECT_EQ(INKEY(0), K::RIGHT);
    KEYBOARD("xy", false);
    EXPECT_EQ(INKEY(), K::INS);
    EXPECT_EQ(INKEY(), K::REFRESH);
    EXPECT_EQ(INKEY(), 'x');
    KEYBOARD("q");  // replaces the rest ("y")
    EXPECT_EQ(INKEY(), 'q');
    KEYBOARD("zz");
    KEYBOARD_CLEAR();
    EXPECT_EQ(NEXTKEY(), 'a');
    EXPECT_EQ(INKEY(), 'a');
    EXPECT_EQ(LASTKEY(), 'a');
    EXPECT_EQ(INKEY(0), 'b');
}

TEST(Inkey, TimedWaitsRunOnTheVirtualClock) {
    console_init_headless("{pause}k{pause}{pause}m");
    double t0 = clk::monotonic();
    EXPECT_EQ(INKEY(), 0);  // a poll neither takes nor skips the pause
    EXPECT_EQ(NEXTKEY(), 0);
    EXPECT_DOUBLE_EQ(clk::monotonic(), t0);
    EXPECT_EQ(INKEY(3), 0);  // the pause makes this wait time out
    EXPECT_DOUBLE_EQ(clk::monotonic() - t0, 3.0);
    EXPECT_EQ(LASTKEY(), 0);
    EXPECT_EQ(INKEY(5), 'k');  // a key ends the wait at once
    EXPECT_DOUBLE_EQ(clk::monotonic() - t0, 3.0);
    EXPECT_EQ(INKEY(0), 'm');  // an untimed wait skips both pauses
    EXPECT_EQ(LASTKEY(), 'm');
    EXPECT_EQ(INKEY(0.5), 0);  // script exhausted: a timed wait still times out
    EXPECT_DOUBLE_EQ(clk::monotonic() - t0, 3.5);
    EXPECT_EQ(LASTKEY(), 'm');  // a timed wait without a key leaves LASTKEY
}

TEST(Inkey, KeyWaitingConsumesAPauseButNotAKey) {
    console_init_headless("{pause}{Esc}");
    double t0 = clk::monotonic();
    EXPECT_FALSE(KEY_WAITING(0.5));
    EXPECT_DOUBLE_EQ(clk::monotonic() - t0, 0.5);
    EXPECT_TRUE(KEY_WAITING(0.5));
    EXPECT_TRUE(KEY_WAITING(0.5));
    EXPECT_DOUBLE_EQ(clk::monotonic() - t0, 0.5);
    EXPECT_EQ(INKEY(), K::ESC);
    KEYBOARD("x");
    EXPECT_TRUE(KEY_WAITING(0));
}

TEST(Inkey, ToneKeepsItsTimeEvenWhenSilent) {
    console_init_headless("");
    double t0 = clk::monotonic();
    TONE(1000, 1);
    SET_SOUND(false);
    TONE(345, 5);
    EXPECT_NEAR(clk::monotonic() - t0, 6 / 18.2, 1e-9);
}

// An exhausted script ends with status 3 (the plain case runs whole in the headless tests), even
// an error line waiting forever for the space bar; a console failure prints its message and ends with 1.
TEST(InkeyDeath, ExhaustedScriptOrConsoleFailureEnds) {
    EXPECT_EXIT(
        {
            console_init_headless("");
            for (;;)
                if (INKEY(5) == ' ') break;
        },
        ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(
        {
            console_init_headless("");
            console_fail("Nema datoteke mdk.dbf");
        },
        ::testing::ExitedWithCode(1), "Nema datoteke mdk.dbf");
}

TEST(Inkey, TenThousandKeysAreFast) {
    std::string script;
    for (int i = 0; i < 2500; ++i) script += "ab{Enter}{pause}";
    auto t0 = std::chrono::steady_clock::now();
    console_init_headless(script);
    SAY(0, 0, "x");
    int n = 0;
    for (int i = 0; i < 2500; ++i) {
        n += INKEY(0) != 0;
        n += INKEY(0) != 0;
        SAY(1, i % 80, "y");
        n += INKEY(0) != 0;
        n += INKEY(1) == 0;
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_EQ(n, 10000);
    EXPECT_LT(secs, 0.5);
}

TEST(HotKeys, BindingsGetSetAndFireWithContext) {
    console_init_headless("");
    std::string seen;
    int calls = 0;
    HotKey first = [&](const std::string& p, int line, const std::string& v) {
        ++calls;
        seen = p + "|" + std::to_string(line) + "|" + v;
    };
    EXPECT_FALSE(SETKEY(K::F10, first));
    EXPECT_TRUE(GETKEY(K::F10));
    EXPECT_FALSE(fire_hotkey(K::F9));
    {
        ProcScope ps("KALKULACIJE");
        set_active_var("WSIFRA");
        EXPECT_TRUE(fire_hotkey(K::F10));
        {
            ProcScope inner("PREGLED");
            EXPECT_EQ(current_proc(), "PREGLED");
        }
        EXPECT_EQ(current_proc(), "KALKULACIJE");
    }
    set_active_var("");
    EXPECT_EQ(current_proc(), "");
    EXPECT_EQ(seen, "KALKULACIJE|0|WSIFRA");
    HotKey old = SETKEY(K::F10, nullptr);  // unbind, getting the old one back
    ASSERT_TRUE(old);
    EXPECT_FALSE(GETKEY(K::F10));
    EXPECT_FALSE(fire_hotkey(K::F10));
    SETKEY(K::F10, old);
    EXPECT_TRUE(fire_hotkey(K::F10));
    EXPECT_EQ(calls, 2);
    SETKEY(K::F10, nullptr);
}

TEST(HotKeys, AHandlerIsNeverReenteredForItsKey) {
    console_init_headless("");
    int depth = 0, max_depth = 0, inner_result = -1;
    SETKEY(K::F1, [&](const std::string&, int, const std::string&) {
        ++depth;
        max_depth = std::max(max_depth, depth);
        inner_result = fire_hotkey(K::F1);  // the wait state inside the handler sees F1 as a plain key
        --depth;
    });
    int plus = 0;
    SETKEY(K::PLUS, [&](const std::string&, int, const std::string&) {
        ++plus;
        fire_hotkey(K::F1);  // another key's handler may still run from inside
    });
    EXPECT_TRUE(fire_hotkey(K::PLUS));
    EXPECT_EQ(plus, 1);
    EXPECT_EQ(max_depth, 1);
    EXPECT_EQ(inner_result, 0);
    // A handler that unbinds itself and throws leaves the key usable.
    SETKEY(K::UP, [&](const std::string&, int, const std::string&) {
        SETKEY(K::UP, [&](const std::string&, int, const std::string&) { ++plus; });
        throw Error("x");
    });
    EXPECT_THROW(fire_hotkey(K::UP), Error);
    EXPECT_TRUE(fire_hotkey(K::UP));
    EXPECT_EQ(plus, 2);
    SETKEY(K::F1, nullptr);
    SETKEY(K::PLUS, nullptr);
    SETKEY(K::UP, nullptr);
}
