// The text prompt, Ctrl+Enter and copy and paste of a field's value.
#include "rt/input/get.h"
#include "ui_fixture.h"

namespace tor::test {
namespace {

using Prompt = UiTest;

TEST_F(Prompt, TypedTextComesBackInUpperCase) {
    start("beo{F2} grad{Enter}");
    EXPECT_EQ(GETUGET(7, 33, 20), "BEO GRAD");
    EXPECT_EQ(_KLJUC, "BEO GRAD");
    EXPECT_EQ(cells(7, 33, 22), " BEO GRAD_███████████ ");
    EXPECT_EQ(rt::CELL(7, 34).attr, attr_of(INVERZ));
    EXPECT_EQ(rt::CELL(7, 42).attr, attr_of(IBLINK));

    start("ab{Esc}ab{Esc}RAD{Enter}");
    EXPECT_EQ(GETUGET(7, 33, 20), "0");
    EXPECT_EQ(GETUGET(7, 33, 20, "Beograd"), "Beograd");
    EXPECT_EQ(GETUGET(7, 33, 20, " beog "), "BEOGRAD");  // the trimmed old text is continued

    // "+" opens the calculator over the prompt and closes it again; the text goes on.
    start("ab+{Esc}c{Enter}");
    EXPECT_EQ(GETUGET(7, 33, 20, "x"), "XABC");
    EXPECT_EQ(cells(7, 34, 5), "XABC_");
}

TEST_F(Prompt, BackspaceNeverLeavesTheFieldAndAFullFieldEndsIt) {
    start("{BS}{BS}ab{BS}c{BS}{BS}{BS}d{Enter}xyzw");
    rt::FILL(7, 0, 7, 79, '.', 0x07);
    EXPECT_EQ(GETUGET(7, 33, 10), "D");
    EXPECT_EQ(cells(7, 33, 4), ".D_█");
    EXPECT_EQ(GETUGET(8, 33, 3), "XYZ");
    EXPECT_EQ(rt::NEXTKEY(), 'w');
}

TEST_F(Prompt, CtrlEnterMarksTheFieldAndLeavesItAtOnce) {
    rt::KEYBOARD("xyz");
    MY_CTRL_ENTER();
    EXPECT_TRUE(PRESED_CENT);
    EXPECT_EQ(rt::INKEY(), rt::K::ENTER);
    EXPECT_EQ(rt::INKEY(), 0);
}

TEST_F(Prompt, PasteOnlyIntoAFieldOfTheSameType) {
    register_ui_hotkeys();
    // "ZIKA" typed over "PERA" is copied before it is confirmed; the number refuses the text.
    start("ZIKA{Alt+C}{Enter}{Alt+V}{Enter}{Alt+V}{Enter}");
    std::string s1 = "PERA", s2 = "MIKA";
    double n = 12;
    rt::GetList gl;
    rt::GET(gl, rt::get(5, 10, s1));
    rt::GET(gl, rt::get(6, 10, n, "9999"));
    rt::GET(gl, rt::get(7, 10, s2));
    rt::READ(gl);
    EXPECT_EQ(s1 + s2, "ZIKAZIKA");
    EXPECT_EQ(n, 12);

    start("{Alt+C}{Enter}{Alt+V}{Enter}");
    double a = 345, b = 0;
    rt::GetList g2;
    rt::GET(g2, rt::get(5, 10, a, "9999"));
    rt::GET(g2, rt::get(6, 10, b, "9999"));
    rt::READ(g2);
    EXPECT_EQ(b, 345);

    VO_TO_PASTE = std::string("X");  // outside an input field nothing happens
    VO_COPY();
    VO_PASTE();
    EXPECT_EQ(std::get<std::string>(VO_TO_PASTE), "X");
}

}  // namespace
}  // namespace tor::test
