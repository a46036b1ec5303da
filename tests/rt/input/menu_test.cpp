// Light-bar menus, the choice list, the browse and the memo editor, driven by typed keys.
#include <gtest/gtest.h>

#include "rt/fmt/fmt.h"
#include "rt/input/browse.h"
#include "rt/input/get.h"
#include "rt/input/memoedit.h"
#include "rt/input/menu.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

using namespace rt;

namespace {

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        KEYBOARD_CLEAR();
        SETCOLOR("W+/B,N/W");
        CLS();
        SET_INSERT(false);
    }
    void TearDown() override {
        for (int k : bound_) SETKEY(k, {});
        KEYBOARD_CLEAR();
    }
    void bind(int k, HotKey h) {
        SETKEY(k, std::move(h));
        bound_.push_back(k);
    }
    int menu(std::vector<int> keys, int start = 1) {
        KEYBOARD(keys);
        PROMPT(3, 7, "1.Maticni podaci");
        PROMPT(3, 30, " 2.Unos");
        PROMPT(3, 44, "3.Stampa");
        PROMPT(3, 57, "4.Obracun");
        PROMPT(3, 69, "Servis");
        int r = -1;
        EXPECT_NO_THROW(r = MENU_TO(start));
        EXPECT_EQ(NEXTKEY(), 0) << "keys left over";
        return r;
    }
    std::vector<int> bound_;
};

// An array of rows as a browse source.
struct Rows : BrowseSource {
    std::vector<std::string> names;
    long pos = 0;
    void go_top() override { pos = 0; }
    void go_bottom() override { pos = static_cast<long>(names.size()) - 1; }
    long skip(long n) override {
        long to = std::clamp<long>(pos + n, 0, static_cast<long>(names.size()) - 1);
        long moved = to - pos;
        pos = to;
        return moved;
    }
    bool empty() override { return names.empty(); }
};

}  // namespace

TEST_F(Input, MenuMovesWrapsAndSelects) {
    EXPECT_EQ(menu({K::RIGHT, K::DOWN, K::PGDN}), 3);
    EXPECT_EQ(menu({K::LEFT, K::ENTER}), 5);          // wraps from the first to the last
    EXPECT_EQ(menu({K::DOWN, K::PGUP}, 5), 1);        // and from the last to the first
    EXPECT_EQ(menu({K::END, K::UP, K::ENTER}), 4);
    EXPECT_EQ(menu({K::HOME, K::ENTER}, 4), 1);
    EXPECT_EQ(menu({K::DOWN, K::ESC}, 2), 0);
    EXPECT_EQ(LASTKEY(), K::ESC);
    EXPECT_EQ(menu({K::ENTER}, 9), 1);  // an impossible start position means the first
    // The bar is drawn in the enhanced colour, the others in the standard one.
    EXPECT_EQ(CELL(3, 7).attr, current_color().enhanced);
    EXPECT_EQ(CELL(3, 44).attr, current_color().standard);
}

TEST_F(Input, MenuLetterSelectsTheFirstMatchingPromptAtOnce) {
    auto bar = [](std::vector<int> keys) {
        KEYBOARD(keys);
        PROMPT(11, 20, " KRAJ ");
        PROMPT(11, 27, " NASTAVAK ");
        PROMPT(11, 38, " IZMENA ");
        PROMPT(11, 47, " NAPOMENA ");
        PROMPT(11, 58, " stampa ");
        return MENU_TO(1);
    };
    EXPECT_EQ(bar({'n'}), 2);  // the first of two prompts starting with N
    EXPECT_EQ(LASTKEY(), 'n');
    EXPECT_EQ(bar({'S'}), 5);  // either case
    EXPECT_EQ(bar({'q', K::DOWN, K::ENTER}), 2);  // no prompt with Q: the key does nothing
    EXPECT_EQ(menu({'2'}), 2);  // " 2.Unos": the leading blank does not count
    EXPECT_EQ(menu({'s'}), 5);  // "Servis", not "3.Stampa"
}

TEST_F(Input, MenuHotKeysRunAndMayMoveTheBar) {
    int seen = 0;
    bind(K::F10, [&](const std::string&, int, const std::string&) {
        seen = menu_current();
        menu_select(4);
    });
    EXPECT_EQ(menu({K::DOWN, K::F10, K::ENTER}), 4);
    EXPECT_EQ(seen, 2);
    // A handler pushing keys: Esc closes, as the neighbour-menu keys do.
    bind(K::RIGHT, [](const std::string&, int, const std::string&) { KEYBOARD({K::ESC}); });
    EXPECT_EQ(menu({K::RIGHT}), 0);
}

TEST_F(Input, MenuMessagesOnTheMessageRow) {
    SET_MESSAGE(22, true);
    KEYBOARD({K::DOWN, K::ENTER});
    PROMPT(5, 5, " Novi ", "Novi zapis");
    PROMPT(5, 15, " Izmena ", "Izmena zapisa");
    EXPECT_EQ(MENU_TO(1), 2);
    EXPECT_EQ(TRIM(screen_row_text(22)), SPACE(33) + "Izmena zapisa");
    SET_MESSAGE(0);
}

TEST_F(Input, ChoiceListWithAndWithoutUserFunction) {
    std::vector<std::string> items = {"Jedan", "Dva", "Tri", "Cetiri", "Pet"};
    KEYBOARD({K::DOWN, K::DOWN, K::ENTER});
    EXPECT_EQ(ACHOICE(2, 2, 4, 12, items), 3);
    KEYBOARD({'p', K::ENTER});  // letter: next item starting with it
    EXPECT_EQ(ACHOICE(2, 2, 4, 12, items), 5);
    KEYBOARD({K::DOWN, K::ESC});
    EXPECT_EQ(ACHOICE(2, 2, 4, 12, items), 0);
    // Three rows shown: the fifth item scrolled into the window.
    KEYBOARD({K::END, K::ENTER});
    EXPECT_EQ(ACHOICE(2, 2, 4, 12, items), 5);
    EXPECT_EQ(TRIM(screen_row_text(4)), "  Pet");

    // With a user function: Enter and Esc are exceptions it decides on; ends are reported.
    std::vector<std::pair<int, int>> calls;
    auto fn = [&](int mode, int item, int) {
        if (mode != AC::IDLE) calls.push_back({mode, item});
        if (mode == AC::EXCEPTION && LASTKEY() == K::ESC) return AC::ABORT;
        if (mode == AC::EXCEPTION && LASTKEY() == K::F2) return AC::SELECT;
        return AC::CONTINUE;
    };
    KEYBOARD({K::UP, K::ENTER, K::END, K::DOWN, K::F2});
    EXPECT_EQ(ACHOICE(2, 2, 4, 12, items, fn), 5);
    std::vector<std::pair<int, int>> want = {{AC::HITTOP, 1}, {AC::EXCEPTION, 1}, {AC::HITBOTTOM, 5},
                                             {AC::EXCEPTION, 5}};
    EXPECT_EQ(calls, want);
    KEYBOARD({K::DOWN, K::ESC});
    EXPECT_EQ(ACHOICE(2, 2, 4, 12, items, fn), 0);
}

TEST_F(Input, MemoEditorSavesWithCtrlWAndDiscardsWithEsc) {
    const std::string text = "prvi red\r\ndrugi";
    // Edit: split the first line, join two lines back, type at the end.
    KEYBOARD({K::END, K::LEFT, K::LEFT, K::LEFT, K::ENTER, K::DOWN, K::END, '!', K::CTRL_W});
    EXPECT_EQ(MEMOEDIT(text, 16, 6, 21, 74), "prvi \r\nred\r\ndrugi!");
    KEYBOARD({K::DOWN, K::HOME, K::BS, K::CTRL_W});
    EXPECT_EQ(MEMOEDIT(text, 16, 6, 21, 74), "prvi reddrugi");
    KEYBOARD({K::END, K::DEL, K::INS, 'x', K::INS, K::CTRL_W});
    EXPECT_EQ(MEMOEDIT("ab\ncd", 16, 6, 21, 74), "abxcd");
    KEYBOARD({'x', 'y', K::ENTER, K::ESC});
    EXPECT_EQ(MEMOEDIT(text, 16, 6, 21, 74), text);
    EXPECT_EQ(TRIM(screen_row_text(17)), SPACE(6) + "vi red");  // what was on the screen at Esc
    // The read-only view ignores typing.
    KEYBOARD({'x', K::DEL, K::DOWN, K::CTRL_W});
    EXPECT_EQ(MEMOEDIT(text, 16, 6, 21, 74, false), text);
}

TEST_F(Input, BrowseMovesCallsTheHandlerAndEditsCells) {
    Rows src;
    for (int i = 1; i <= 12; ++i) src.names.push_back("Red " + std::to_string(i));
    std::vector<double> amounts(12, 0.0);
    Browse b(5, 10, 10, 40, src);  // heading + 5 data rows
    b.add({"Naziv", [&] { return Value(src.names[src.pos]); }, "", 10, {}});
    b.add({"Iznos", [&] { return Value(amounts[src.pos]); }, "9999.99", 0,
           [&](const Value& v) { amounts[src.pos] = std::get<double>(v); }});
    std::vector<std::tuple<int, int, int>> calls;
    b.on_key([&](int key, int mode, int col) {
        if (mode == BR::IDLE) return BR::CONTINUE;
        calls.push_back({key, mode, col});
        if (key == K::ESC) return BR::ABORT;
        if (key == K::ENTER) return BR::EDIT;
        return BR::CONTINUE;
    });
    // Down past the bottom of the window scrolls; PgDn to the end; End and Up.
    KEYBOARD({K::DOWN, K::DOWN, K::DOWN, K::DOWN, K::DOWN, K::DOWN});
    KEYBOARD({K::RIGHT, K::ENTER, '1', '2', '.', '5', K::ENTER}, false);
    KEYBOARD({K::END, K::DOWN, K::HOME, K::UP, 'x', K::ESC}, false);
    EXPECT_NO_THROW(b.run());
    EXPECT_EQ(amounts[6], 12.5);
    std::vector<std::tuple<int, int, int>> want = {
        {K::ENTER, BR::EXCEPTION, 2}, {K::DOWN, BR::HITBOTTOM, 2}, {K::UP, BR::HITTOP, 2},
        {'x', BR::EXCEPTION, 2}, {K::ESC, BR::EXCEPTION, 2}};
    EXPECT_EQ(calls, want);
    EXPECT_EQ(TRIM(screen_row_text(5)), SPACE(10) + "Naziv      Iznos");
    EXPECT_EQ(TRIM(screen_row_text(6)), SPACE(10) + "Red 1         0.00");

    // After the edit row 7 ("Red 7") showed the new amount; redraw there and check.
    src.go_top();
    src.skip(6);
    b.refresh_all();
    KEYBOARD({K::ESC});
    b.run();
    bool found = false;
    for (int r = 6; r <= 10; ++r)
        if (screen_row_text(r).find("Red 7        12.50") != std::string::npos) found = true;
    EXPECT_TRUE(found) << screen_text();
}
