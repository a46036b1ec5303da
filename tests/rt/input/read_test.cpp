// READ driven through the type-ahead buffer, as the user would type.
#include <gtest/gtest.h>

#include <tuple>

#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

using namespace rt;

namespace {

class Read : public ::testing::Test {
protected:
    void SetUp() override {
        KEYBOARD_CLEAR();
        SETCOLOR("W+/B,W+/R,,,W+/B");
        CLS();
        SET_CONFIRM(true);
        SET_INSERT(false);
    }
    void TearDown() override {
        for (int k : bound_) SETKEY(k, {});
        KEYBOARD_CLEAR();
    }
    // Types keys (text and codes mixed) and runs the READ; all keys must be used up.
    bool run(GetList& gl, std::vector<int> keys) {
        KEYBOARD(keys);
        bool updated = false;
        EXPECT_NO_THROW(updated = READ(gl)) << "READ waited for more keys";
        EXPECT_EQ(NEXTKEY(), 0) << "keys left over";
        return updated;
    }
    void bind(int k, HotKey h) {
        SETKEY(k, std::move(h));
        bound_.push_back(k);
    }
    std::vector<int> bound_;
};

std::vector<int> keys(std::initializer_list<std::variant<const char*, int>> parts) {
    std::vector<int> out;
    for (auto& p : parts) {
        if (auto s = std::get_if<const char*>(&p))
            for (const char* c = *s; *c; ++c) out.push_back(static_cast<unsigned char>(*c));
        else
            out.push_back(std::get<int>(p));
    }
    return out;
}

}  // namespace

TEST_F(Read, TypesIntoFieldsOfEveryTypeAndShowsThemFormatted) {
    double code = 0, amount = 0;
    std::string name(10, ' ');
    Date when;
    bool flag = false;
    GetList gl;
    gl.push_back(get(2, 10, code, "999999"));
    gl.push_back(get(3, 10, name, "@!"));
    gl.push_back(get(4, 10, amount, "9999999.99"));
    gl.push_back(get(5, 10, when));
    gl.push_back(get(6, 10, flag));
    bool upd = run(gl, keys({"42", K::ENTER, "abc d", K::ENTER, "-12.5", K::ENTER, "07122026", K::ENTER,
                             "t", K::ENTER}));
    EXPECT_TRUE(upd);
    EXPECT_EQ(std::tuple(code, name, amount, when, flag), std::tuple(42.0, "ABC D     ", -12.5, Date::ymd(2026, 12, 7), true));
    EXPECT_EQ(LASTKEY(), K::ENTER);
    EXPECT_EQ(screen_row_text(4).substr(10, 10), "    -12.50");
    EXPECT_EQ(screen_row_text(5).substr(10, 10), "07.12.2026");
    // Inactive fields in the unselected colour.
    EXPECT_EQ(CELL(4, 10).attr, current_color().unselected);
}

TEST_F(Read, ConfirmKeepsAFullFieldUntilEnter) {
    std::string a(3, ' '), b(3, ' ');
    GetList gl;
    gl.push_back(get(1, 1, a));
    gl.push_back(get(2, 1, b));
    // "abcd": the fourth key is refused, it does not spill into the next field.
    run(gl, keys({"abcd", K::ENTER, "x", K::ENTER}));
    EXPECT_EQ(std::tuple(a, b), std::tuple("abc", "x  "));

    SET_CONFIRM(false);
    a = b = "   ";
    run(gl, keys({"abcxy", K::ENTER}));
    EXPECT_EQ(std::tuple(a, b), std::tuple("abc", "xy "));
}

TEST_F(Read, ExitKeysAndLastKey) {
    std::string a = "aaa", b = "bbb", c = "ccc";
    GetList gl;
    gl.push_back(get(1, 1, a));
    gl.push_back(get(2, 1, b));
    gl.push_back(get(3, 1, c));

    // Down / Up move between fields; Up on the first stays; PgDn ends the whole READ.
    run(gl, keys({K::DOWN, "X", K::UP, K::UP, "Y", K::PGDN}));
    EXPECT_EQ(std::tuple(a, b, c), std::tuple("Yaa", "Xbb", "ccc"));
    EXPECT_EQ(LASTKEY(), K::PGDN);

    // Down on the last field stays there; Enter past the last ends.
    run(gl, keys({K::DOWN, K::DOWN, K::DOWN, "Z", K::ENTER}));
    EXPECT_EQ(c, "Zcc");
    EXPECT_EQ(LASTKEY(), K::ENTER);

    // Esc: the field being edited keeps its value, fields already left keep theirs.
    bool upd = run(gl, keys({"1", K::ENTER, "2", K::ESC}));
    EXPECT_TRUE(upd);
    EXPECT_EQ(std::tuple(a, b), std::tuple("1aa", "Xbb"));
    EXPECT_EQ(LASTKEY(), K::ESC);

    // PgUp also ends, after the field's validation.
    int validated = 0;
    gl[0].valid([&] { ++validated; return true; });
    run(gl, keys({K::PGUP}));
    EXPECT_EQ(validated, 1);
    EXPECT_EQ(LASTKEY(), K::PGUP);
}

TEST_F(Read, ValidationRunsOnEveryExitButEscAndCanKeepTheField) {
    double n = 0;
    double other = 0;
    int calls = 0;
    GetList gl;
    gl.push_back(get(1, 1, n, "999").valid([&] {
        ++calls;
        other = n * 2;
        SAY(10, 0, STR(other, 5));  // repaints another place
        return n >= 5 || LASTKEY() == K::UP;
    }));
    // Unchanged field: validated too (and refused); 3 is refused; 7 accepted.
    run(gl, keys({K::ENTER, "3", K::ENTER, "7", K::ENTER}));
    EXPECT_EQ(std::tuple(calls, n, other), std::tuple(3, 7.0, 14.0));
    EXPECT_EQ(screen_row_text(10).substr(0, 5), "   14");
    // The validation may accept a move up (which stays on a first field); Esc skips it.
    calls = 0;
    run(gl, keys({"1", K::UP, K::ESC}));
    EXPECT_EQ(calls, 1);
    run(gl, keys({"2", K::ESC}));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(n, 1);
}

// A refused date keeps the field; @K clears on the first key unless a cursor key comes first;
// Ins toggles insert mode; a field read through getter and setter is written once, when left.
TEST_F(Read, FieldEditingRules) {
    Date d = Date::ymd(2026, 1, 1);
    std::string s = "OLD ", t = "ab  ", stored = "000001";
    double n = 123;
    int writes = 0;
    GetList gl;
    gl.push_back(get(1, 1, d));
    gl.push_back(get(2, 1, s, "@!K"));
    gl.push_back(get(3, 1, n, "@K 999"));
    gl.push_back(get(4, 1, t));
    gl.push_back(get(5, 1, VType::C, [&] { return Value(stored); },
                     [&](const Value& v) { stored = std::get<std::string>(v); ++writes; }, "999999"));
    run(gl, keys({"31022026", K::ENTER, K::HOME, "28", K::ENTER,   // 31.02 refused, the day corrected
                  "n", K::ENTER, K::RIGHT, K::RIGHT, "9", K::ENTER,
                  K::INS, "x", K::INS, "y", K::ENTER,                // x inserted before "ab", y overwrote "a"
                  "12", K::ENTER}));
    EXPECT_EQ(std::tuple(d, s, n, t, stored, writes), std::tuple(Date::ymd(2026, 2, 28), "N   ", 129.0, "xyb ", "120001", 1));
}

TEST_F(Read, HotKeysSeeTheTypedFieldAndCanChangeOrEndIt) {
    std::string name = "     ";
    double amount = 0;
    std::string seen_var, seen_text;
    Value clip = 321.0;
    GetList gl;
    gl.push_back(get(1, 1, name).name("WNAZIV"));
    gl.push_back(get(2, 1, amount, "99999").name("WIZNOS"));
    // Alt+C copies the field as typed so far, Alt+V pastes into the current field.
    bind(K::ALT_C, [&](const std::string&, int, const std::string& var) {
        seen_var = var;
        clip = active_get()->value();
        seen_text = active_get()->buffer();
    });
    bind(K::ALT_V, [&](const std::string&, int, const std::string&) { active_get()->assign(clip); });
    run(gl, keys({"abc", K::ALT_C, K::ENTER, K::ALT_V, K::ENTER}));
    EXPECT_EQ(std::tuple(seen_var, seen_text, std::get<std::string>(clip)), std::tuple("WNAZIV", "abc  ", "abc  "));
    EXPECT_EQ(amount, 0);  // "abc" is no number
    EXPECT_EQ(active_var(), "");
    // A number too wide for "99999" is not pasted.
    clip = 123456.0;
    run(gl, keys({K::DOWN, "12", K::ALT_V, K::ENTER}));
    EXPECT_EQ(amount, 12);

    // A handler changing the variable directly shows at once; read_exit ends like PgDn.
    bind(K::F10, [&](const std::string&, int, const std::string&) {
        amount = 77;
        read_exit(K::PGDN);
    });
    run(gl, keys({K::DOWN, K::F10}));
    EXPECT_EQ(amount, 77);
    EXPECT_EQ(LASTKEY(), K::PGDN);
    EXPECT_EQ(screen_row_text(2).substr(1, 5), "   77");

    // Ctrl+Enter as a hot key pushing Enter: the field is left and validated.
    int validated = 0;
    gl[1].valid([&] { ++validated; return true; });
    bind(K::CTRL_ENTER, [](const std::string&, int, const std::string&) { KEYBOARD({K::ENTER}); });
    run(gl, keys({K::DOWN, "5", K::CTRL_ENTER}));
    EXPECT_EQ(validated, 1);
    EXPECT_EQ(amount, 5);

    // read_kill ends at once without validation.
    bind(K::F2, [](const std::string&, int, const std::string&) { read_kill(); });
    run(gl, keys({K::DOWN, "9", K::F2}));
    EXPECT_EQ(validated, 1);
    EXPECT_EQ(amount, 9);  // assigned before the handler ran
}

TEST_F(Read, ActiveFieldInTheEnhancedColourAndScrolling) {
    std::string path(40, ' ');
    GetList gl;
    gl.push_back(get(3, 5, path, "@!S10"));
    bool checked = false;
    bind(K::F3, [&](const std::string&, int, const std::string&) {
        checked = true;
        EXPECT_EQ(CELL(3, 5).attr, current_color().enhanced);
        EXPECT_EQ(screen_row_text(3).substr(5, 10), "DEFGHIJKL ");
    });
    run(gl, keys({"abcdefghijkl", K::F3, K::ENTER}));
    EXPECT_TRUE(checked);
    EXPECT_EQ(path.substr(0, 12), "ABCDEFGHIJKL");
    EXPECT_EQ(screen_row_text(3).substr(5, 11), "ABCDEFGHIJ ");
}
