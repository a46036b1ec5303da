// The text prompt, Ctrl+Enter, copy and paste of a field's value, snapshots and the moves out
// of a pull-down menu.
#include "rt/input/get.h"
#include "ui_fixture.h"

namespace tor::test {
namespace {

using Prompt = UiTest;

TEST_F(Prompt, TypedTextComesBackInUpperCase) {
    start("beo grad{Enter}");
    EXPECT_EQ(GETUGET(7, 33, 20), "BEO GRAD");
    EXPECT_EQ(_KLJUC, "BEO GRAD");
    // Blocks from column 34, the text over them, the cursor mark after it.
    EXPECT_EQ(cells(7, 33, 22), " BEO GRAD_███████████ ");
    EXPECT_EQ(rt::CELL(7, 34).attr, attr_of(INVERZ));
    EXPECT_EQ(rt::CELL(7, 42).attr, attr_of(IBLINK));
    EXPECT_EQ(rt::CELL(7, 50).attr, attr_of(NORMAL));

    start("{F2}{Up}x{Enter}");  // keys without a character are ignored
    EXPECT_EQ(GETUGET(7, 33, 20), "X");
}

TEST_F(Prompt, EscGivesZeroOrTheOldValue) {
    start("ab{Esc}");
    EXPECT_EQ(GETUGET(7, 33, 20), "0");
    EXPECT_EQ(_KLJUC, "0");
    start("ab{Esc}");
    EXPECT_EQ(GETUGET(7, 33, 20, "Beograd"), "Beograd");
    start("RAD{Enter}");
    EXPECT_EQ(GETUGET(7, 33, 20, " beog "), "BEOGRAD");  // the trimmed old text is continued
    EXPECT_EQ(cells(7, 34, 8), "BEOGRAD_");
}

TEST_F(Prompt, BackspaceNeverLeavesTheField) {
    start("{BS}{BS}ab{BS}c{BS}{BS}{BS}d{Enter}");
    rt::FILL(7, 0, 7, 79, '.', 0x07);
    EXPECT_EQ(GETUGET(7, 33, 10), "D");
    EXPECT_EQ(cells(7, 33, 1), ".");  // the column before the field is untouched
    EXPECT_EQ(cells(7, 34, 3), "D_█");
}

TEST_F(Prompt, FillingTheWidthEndsThePrompt) {
    start("abcd");
    EXPECT_EQ(GETUGET(7, 33, 3), "ABC");
    EXPECT_EQ(rt::NEXTKEY(), 'd');
    EXPECT_EQ(cells(7, 34, 4), "ABC ");
}

TEST_F(Prompt, CtrlEnterMarksTheFieldAndLeavesItAtOnce) {
    rt::KEYBOARD("xyz");
    MY_CTRL_ENTER();
    EXPECT_TRUE(PRESED_CENT);
    EXPECT_EQ(rt::INKEY(), rt::K::ENTER);
    EXPECT_EQ(rt::INKEY(), 0);  // the type-ahead was emptied
}

using CopyPaste = UiTest;

TEST_F(CopyPaste, PasteOnlyIntoAFieldOfTheSameType) {
    register_ui_hotkeys();
    // "ZIKA" typed over "PERA" is copied before it is confirmed; pasting a text into the number
    // is refused; pasting into the second text field takes it.
    start("ZIKA{Alt+C}{Enter}{Alt+V}{Enter}{Alt+V}{Enter}");
    std::string s1 = "PERA", s2 = "MIKA";
    double n = 12;
    rt::GetList gl;
    rt::GET(gl, rt::get(5, 10, s1));
    rt::GET(gl, rt::get(6, 10, n, "9999"));
    rt::GET(gl, rt::get(7, 10, s2));
    const double t0 = rt::clk::monotonic();
    rt::READ(gl);
    EXPECT_EQ(s1, "ZIKA");
    EXPECT_EQ(n, 12);
    EXPECT_EQ(s2, "ZIKA");
    EXPECT_EQ(std::get<std::string>(VO_TO_PASTE), "ZIKA");
    EXPECT_GE(rt::clk::monotonic() - t0, 1 / 18.2 - 0.001);  // the refusal tone

    // A number copied from a numeric field goes into another numeric field.
    start("{Alt+C}{Enter}{Alt+V}{Enter}");
    double a = 345, b = 0;
    rt::GetList g2;
    rt::GET(g2, rt::get(5, 10, a, "9999"));
    rt::GET(g2, rt::get(6, 10, b, "9999"));
    rt::READ(g2);
    EXPECT_EQ(b, 345);
    EXPECT_EQ(cells(6, 10, 4), " 345");

    // Outside an input field nothing happens.
    VO_TO_PASTE = std::string("X");
    VO_COPY();
    VO_PASTE();
    EXPECT_EQ(std::get<std::string>(VO_TO_PASTE), "X");
}

using Snapshots = UiTest;

TEST_F(Snapshots, SavedScreenIsShownUntilAKey) {
    start("{dump}x");
    rt::SAY(3, 3, "prvi ekran");
    VO_SAVE_SCREEN();
    rt::CLS();
    rt::SAY(5, 5, "drugi ekran");
    const std::string second = rt::screen_text();
    VO_REST_SCREEN();
    EXPECT_EQ(rt::screen_text(), second);
    EXPECT_EQ(rt::LASTKEY(), 'x');
    ASSERT_TRUE(CLIP.valid());
    rt::RESTSCREEN(CLIP);
    EXPECT_EQ(cells(3, 3, 10), "prvi ekran");
}

TEST_F(Snapshots, RightAndLeftInAPullDownGoBackToTheBar) {
    rt::SAY(1, 1, "glavni meni");
    POSM = rt::SAVESCREEN();
    rt::CLS();
    rt::KEYBOARD("q");
    DESNO();
    EXPECT_EQ(cells(1, 1, 11), "glavni meni");
    EXPECT_EQ(rt::INKEY(), rt::K::ESC);
    EXPECT_EQ(rt::INKEY(), rt::K::RIGHT);
    EXPECT_EQ(rt::INKEY(), rt::K::ENTER);
    EXPECT_EQ(rt::INKEY(), 0);
    LEVO();
    EXPECT_EQ(rt::INKEY(), rt::K::ESC);
    EXPECT_EQ(rt::INKEY(), rt::K::LEFT);
    EXPECT_EQ(rt::INKEY(), rt::K::ENTER);
}

}  // namespace
}  // namespace tor::test
