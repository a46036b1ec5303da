// The tape calculator and the month calendar: the tape, totals with 0 and division by zero, the
// memory, the paste value, window moves; the month grid, stepping, typed parts, and the date put
// into the field being edited.
#include <fstream>

#include "rt/input/get.h"
#include "ui/tools.h"
#include "ui_fixture.h"

namespace tor::test {
namespace {

class Tools : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        KALLSCR = rt::ScreenImage{};
        SCRKALL = false;
    }
    void TearDown() override {
        rt::SETKEY(rt::K::PLUS, {});
        rt::SETKEY(rt::K::ALT_D, {});
        UiTest::TearDown();
    }
    // A key script whose {dump}s go to dumps_; the screen gets a recognisable background.
    void script(const std::string& keys) {
        dumps_ = root_ + "/screens.txt";
        std::filesystem::remove(dumps_);
        rt::console_init_headless(keys, dumps_);
        rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
        rt::SETCOLOR(NORMAL);
        rt::CLS();
        for (int r = 0; r < rt::ROWS; ++r) rt::SAY(r, 0, std::string(80, static_cast<char>('a' + r % 26)));
    }
    // Dump n (0-based), one CP437 byte per cell and row.
    std::vector<std::string> dump(size_t n) const {
        std::ifstream f(dumps_);
        std::vector<std::string> rows;
        for (std::string line; std::getline(f, line);)
            if (line != "----") rows.push_back(rt::utf8_to_cp437(line));
        EXPECT_GE(rows.size(), (n + 1) * 25) << "no dump " << n;
        if (rows.size() < (n + 1) * 25) return std::vector<std::string>(25, std::string(80, ' '));
        return {rows.begin() + static_cast<long>(n * 25), rows.begin() + static_cast<long>(n * 25 + 25)};
    }
    // The tape line at row r of a dump, 15 cells from column 4 (window at its home place).
    std::string tape_of(const std::vector<std::string>& d, int r) const { return d[r].substr(4, 15); }

    std::string dumps_;
};

std::string num(const std::string& n, const std::string& tail = "") {
    std::string s = std::string(13 - n.size(), ' ') + n + tail;
    return s + std::string(15 - s.size(), ' ');
}
std::string line(const std::string& s) { return s + std::string(15 - s.size(), ' '); }

// ---- the calculator ----

TEST_F(Tools, TapeOfASumAndTheLastTapeShownAgainWithR) {
    script("5+3{Enter}{dump}{Enter}" "R{dump}{Enter}z");
    const std::string before = rt::screen_text();
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_TRUE(SCRKALL);
    auto d = dump(0);
    // The window at its home place: rows 2-13, columns 2-19, the title on the top border.
    EXPECT_EQ(d[2].substr(2, 18), "\xC9\xCD\xCD\xCD\xCD" "DIGITRON" "\xCD\xCD\xCD\xCD\xBB");
    EXPECT_EQ(d[13].substr(2, 18), "\xC8" + std::string(16, '\xCD') + "\xBC");
    EXPECT_EQ(d[11].substr(2, 18), "\xBA" + std::string(16, '\xC4') + "\xBA");
    EXPECT_EQ(tape_of(d, 5), line(""));
    EXPECT_EQ(tape_of(d, 6), num("5.00"));
    EXPECT_EQ(tape_of(d, 7), num("3.00", "+"));
    EXPECT_EQ(tape_of(d, 8), line("-------------"));
    EXPECT_EQ(tape_of(d, 9), num("8.00", "="));
    EXPECT_EQ(tape_of(d, 10), line("============="));
    EXPECT_EQ(d[12].substr(3, 16), std::string(10, ' ') + "0" + std::string(5, ' '));
    EXPECT_EQ(d[1].substr(0, 20), std::string(20, 'b'));  // the screen around is untouched
    EXPECT_EQ(d[4].substr(20, 10), std::string(10, 'e'));

    // Opened again, "R" puts the last tape in the window.
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    auto r = dump(1);
    for (int row = 2; row <= 13; ++row) EXPECT_EQ(r[row].substr(2, 18), d[row].substr(2, 18)) << row;
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // "R" before any tape was kept only beeps.
    SCRKALL = false;
    KALLSCR = rt::ScreenImage{};
    script("R{dump}{Enter}z");
    KALL();
    EXPECT_EQ(tape_of(dump(0), 10), line(""));
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, EnterClosesOnlyWithNothingEnteredOrPending) {
    script("{Enter}z");
    const std::string before = rt::screen_text();
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // A result of 0 does not close: 7 - 7 - 2 gives -2 (the second 7 brings the result to 0,
    // and the 2 is subtracted from it, not taken as a new start).
    script("7-7-2{Enter}{dump}{Enter}z");
    KALL();
    auto d = dump(0);
    EXPECT_EQ(tape_of(d, 5), num("7.00"));
    EXPECT_EQ(tape_of(d, 6), num("7.00", "-"));
    EXPECT_EQ(tape_of(d, 7), num("2.00", "-"));
    EXPECT_EQ(tape_of(d, 9), num("-2.00", "="));
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // A single number and Enter is its own total.
    script("5{Enter}{dump}{Enter}z");
    KALL();
    EXPECT_EQ(tape_of(dump(0), 9), num("5.00", "="));
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // An operator with nothing before it: the first Enter drops it, the second closes.
    script("*{Enter}{dump}{Enter}z");
    KALL();
    EXPECT_EQ(tape_of(dump(0), 10), line(""));
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, ZeroIsANumberAndAnOperatorWithoutEntryOnlyReplacesThePendingOne) {
    // 5 x 0 + 3 = 3.
    script("5*0+3{Enter}{dump}{Enter}z");
    KALL();
    auto d = dump(0);
    EXPECT_EQ(tape_of(d, 5), num("5.00"));
    EXPECT_EQ(tape_of(d, 6), num("0.00", "*"));
    EXPECT_EQ(tape_of(d, 7), num("3.00", "+"));
    EXPECT_EQ(tape_of(d, 9), num("3.00", "="));

    // 10 - * 4: the "*" replaces the "-": 40. After an operator the entry line shows the sign
    // and the running result.
    script("10-*{dump}4{Enter}{dump}{Enter}z");
    KALL();
    d = dump(0);
    EXPECT_EQ(d[12].substr(3, 16), "*" + num("10.00") .substr(0, 13) + "  ");
    EXPECT_EQ(tape_of(dump(1), 7), num("4.00", "*"));
    EXPECT_EQ(tape_of(dump(1), 9), num("40.00", "="));

    // Decimals: one point only, Backspace takes the last character back.
    script("1.2.5{BS}6/4{Enter}{dump}{Enter}z");
    KALL();
    d = dump(0);
    EXPECT_EQ(tape_of(d, 6), num("1.26"));
    EXPECT_EQ(tape_of(d, 9), num("0.32", "="));  // 1.26 / 4 = 0.315, shown rounded
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, DivisionByZeroIsReportedAndTheResultKept) {
    script("12/0{Enter}{dump}{Enter}{dump}{Enter}z");
    KALL();
    auto d = dump(0);
    EXPECT_EQ(d[12].substr(3, 16), "Deljenje nulom! ");
    EXPECT_EQ(tape_of(d, 10), num("12.00"));  // the 0 never reached the tape
    // Enter again totals what was kept.
    d = dump(1);
    EXPECT_EQ(tape_of(d, 9), num("12.00", "="));
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // The same through an operator key; then 3 is added to the kept 12.
    script("12/0+{dump}3{Enter}{dump}{Enter}z");
    KALL();
    EXPECT_EQ(dump(0)[12].substr(3, 16), "Deljenje nulom! ");
    d = dump(1);
    EXPECT_EQ(tape_of(d, 7), num("3.00", "+"));
    EXPECT_EQ(tape_of(d, 9), num("15.00", "="));
    // A zero dividend is no fault.
    script("0/4{Enter}{dump}{Enter}z");
    KALL();
    EXPECT_EQ(tape_of(dump(0), 9), num("0.00", "="));
}

TEST_F(Tools, AltCAfterATotalMakesItThePasteValue) {
    VO_TO_PASTE = 1.0;
    script("5+3{Enter}{Alt+C}{dump}{Esc}z");
    KALL();
    ASSERT_TRUE(std::holds_alternative<double>(VO_TO_PASTE));
    EXPECT_DOUBLE_EQ(std::get<double>(VO_TO_PASTE), 8.0);
    EXPECT_EQ(dump(0)[10].substr(4, 15), "      COPY OK  ");
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // Alt+C anywhere else only beeps; Esc tapes the running result and closes.
    VO_TO_PASTE = 1.0;
    script("4+{Alt+C}{Esc}z");
    KALL();
    EXPECT_DOUBLE_EQ(std::get<double>(VO_TO_PASTE), 1.0);
    rt::CLS();
    rt::RESTSCREEN(KALLSCR);
    EXPECT_EQ(cells(7, 4, 15), num("4.00"));
    EXPECT_EQ(cells(8, 4, 15), line("-------------"));
    EXPECT_EQ(cells(9, 4, 15), num("4.00", "="));
    EXPECT_EQ(cells(10, 4, 15), line("============="));
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, MemoryCollectsTotalsAndIsShownWithM) {
    script("5{Space}{dump}2*3{Space}M{dump}C{dump}{Esc}z");
    KALL();
    auto d = dump(0);
    EXPECT_EQ(d[12].substr(4, 15), num("5.00", " M"));
    EXPECT_EQ(rt::cp437_to_utf8(d[12].substr(18, 1)), "M");
    d = dump(1);
    EXPECT_EQ(tape_of(d, 7), line("*************"));
    EXPECT_EQ(tape_of(d, 8), line("Memo Rezultat"));
    EXPECT_EQ(tape_of(d, 9), num("11.00", "="));
    EXPECT_EQ(tape_of(d, 10), line("============="));
    EXPECT_EQ(tape_of(d, 6), line("============="));
    EXPECT_EQ(tape_of(d, 5), num("6.00", "="));
    EXPECT_EQ(d[12][18], 'M');  // the memory is not empty
    // "C" empties the memory: the mark goes.
    EXPECT_EQ(dump(2)[12][18], ' ');
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, TShowsTheRunningResultWithThreeDecimals) {
    script("7/8+T{dump}{Esc}z");
    KALL();
    EXPECT_EQ(dump(0)[12].substr(3, 16), " " + std::string(8, ' ') + "0.875  ");
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, CalculatorWindowMovesWithinItsLimits) {
    // Left at the home column is refused; two rows up only one is taken (top row 1).
    script("{Left}{Up}{Up}{Right}{Right}{dump}"
           "{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{dump}{Enter}z");
    const std::string before = rt::screen_text();
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    auto d = dump(0);
    EXPECT_EQ(d[1][4], '\xC9');        // DX -1, DY 2
    EXPECT_EQ(d[12][21], '\xBC');
    EXPECT_EQ(d[1].substr(0, 4), "bbbb");
    EXPECT_EQ(d[13].substr(2, 18), std::string(18, 'n'));  // the home place is uncovered
    d = dump(1);
    EXPECT_EQ(d[12][4], '\xC9');       // DX 10: the window's bottom row is 23
    EXPECT_EQ(d[23][21], '\xBC');
    EXPECT_EQ(d[24].substr(0, 30), std::string(30, 'y'));
    EXPECT_EQ(d[11].substr(4, 18), std::string(18, 'l'));
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // The far right: DY stops at 57 (right border in column 76).
    std::string keys;
    for (int i = 0; i < 60; ++i) keys += "{Right}";
    script(keys + "{dump}{Enter}z");
    KALL();
    d = dump(0);
    EXPECT_EQ(d[2][59], '\xC9');
    EXPECT_EQ(d[2][76], '\xBB');
    EXPECT_EQ(d[2].substr(77, 3), "ccc");
}

// ---- the calendar ----

TEST_F(Tools, MonthGridOfMarch2026) {
    // 1 March 2026 is a Sunday.
    script("{dump}{Enter}z");
    const std::string before = rt::screen_text();
    EXPECT_EQ(KALENDAR(), rt::Date::ymd(2026, 3, 10));  // today
    EXPECT_EQ(rt::screen_text(), before);
    auto d = dump(0);
    EXPECT_EQ(d[3].substr(3, 21), "\xDA\xC4" "\xC2\xC4\xC4" "\xC2\xC4\xC4" "\xC2\xC4\xC4" "\xC2\xC4\xC4"
                                  "\xC2\xC4\xC4" "\xC2\xC4\xC4" "\xB7");
    EXPECT_EQ(d[4].substr(3, 21), "\xB3N\xB3" "01\xB3" "08\xB3" "15\xB3" "22\xB3" "29\xB3" "  \xBA");
    EXPECT_EQ(d[5].substr(3, 21), "\xB3P\xB3" "02\xB3" "09\xB3" "16\xB3" "23\xB3" "30\xB3" "  \xBA");
    EXPECT_EQ(d[6].substr(3, 21), "\xB3U\xB3" "03\xB3" "10\xB3" "17\xB3" "24\xB3" "31\xB3" "  \xBA");
    EXPECT_EQ(d[7].substr(3, 21), "\xB3S\xB3" "04\xB3" "11\xB3" "18\xB3" "25\xB3" "  \xB3" "  \xBA");
    EXPECT_EQ(d[10].substr(3, 21), "\xB3S\xB3" "07\xB3" "14\xB3" "21\xB3" "28\xB3" "  \xB3" "  \xBA");
    EXPECT_EQ(d[11].substr(3, 21), "\xC3\xC4" "\xC1\xC4\xC4" "\xC1\xC4\xC4" "\xC1\xC4\xC4" "\xC1\xC4\xC4"
                                   "\xC1\xC4\xC4" "\xC1\xC4\xC4" "\xB6");
    EXPECT_EQ(d[12].substr(3, 21), "\xB3     10.03.2026    \xBA");
    EXPECT_EQ(d[13].substr(3, 21), "\xD4" + std::string(19, '\xCD') + "\xBC");
    EXPECT_EQ(d[2].substr(0, 30), std::string(30, 'c'));
    EXPECT_EQ(d[14].substr(0, 30), std::string(30, 'o'));
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, StepsKeepTheDateValid) {
    // 31 January: "+" on the month is 31 February, no date: the date stays.
    script("M+{Up}{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 1, 31)), rt::Date::ymd(2026, 1, 31));
    // The day wraps within the month, both ways.
    script("+{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2027, 2, 28)), rt::Date::ymd(2027, 2, 1));
    script("{Down}-{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2027, 2, 2)), rt::Date::ymd(2027, 2, 28));
    // The month wraps within the year; the year does not wrap.
    script("m+{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 12, 15)), rt::Date::ymd(2026, 1, 15));
    script("g++-{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 12, 15)), rt::Date::ymd(2027, 12, 15));
    // 29 February: the next year has none.
    script("G+{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2028, 2, 29)), rt::Date::ymd(2028, 2, 29));
    // Right and Left walk the levels round: Left from the day is the year.
    script("{Left}+{Right}{Right}+{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 3, 10)), rt::Date::ymd(2027, 4, 10));
    // Esc gives back the starting date whatever was shown; an empty start is today.
    script("+++m+{Esc}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 5, 5)), rt::Date::ymd(2026, 5, 5));
    script("{Down}{Esc}");
    EXPECT_EQ(KALENDAR(), rt::Date::ymd(2026, 3, 10));
    script("{Down}{Enter}");
    EXPECT_EQ(KALENDAR(), rt::Date::ymd(2026, 3, 9));
}

TEST_F(Tools, TypedPartsMoveOnToTheNextPart) {
    // Day, month and year typed in one go.
    script("05042027{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 3, 10)), rt::Date::ymd(2027, 4, 5));
    // Enter ends a part early; the month is next.
    script("7{Enter}{dump}{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 3, 10)), rt::Date::ymd(2026, 3, 7));
    auto d = dump(0);
    EXPECT_EQ(d[12].substr(9, 10), "07.03.2026");
    EXPECT_EQ(d[10].substr(6, 2), "07");  // a Saturday, in the first week
    // A day the month does not have keeps the date; Esc keeps the old part. Either way the
    // level moves on: the "+" after it steps the month.
    script("31+{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 2, 10)), rt::Date::ymd(2026, 3, 10));
    script("2{Esc}+{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 2, 10)), rt::Date::ymd(2026, 3, 10));
    // Backspace steps back a position: "1", back, "2", "5" gives 25.
    script("1{BS}25{Enter}");
    EXPECT_EQ(KALENDAR(4, 6, rt::Date::ymd(2026, 2, 10)), rt::Date::ymd(2026, 2, 25));
}

TEST_F(Tools, CalendarWindowMovesWithinItsLimits) {
    script("{Alt+Up}{Alt+Left}{dump}{Alt+Down}{Alt+Right}{dump}{Enter}z");
    const std::string before = rt::screen_text();
    KALENDAR(1, 3, rt::Date::ymd(2026, 3, 10));
    EXPECT_EQ(rt::screen_text(), before);
    auto d = dump(0);
    EXPECT_EQ(d[0][0], '\xDA');   // top row 1, column 3 stay
    EXPECT_EQ(d[10][20], '\xBC');
    d = dump(1);
    EXPECT_EQ(d[1][2], '\xDA');   // one row down, two columns right
    EXPECT_EQ(d[0].substr(0, 30), std::string(30, 'a'));  // the old place restored
    EXPECT_EQ(d[5].substr(0, 2), "ff");
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    script("{Alt+Down}{Alt+Right}{dump}{Enter}");
    KALENDAR(15, 62, rt::Date::ymd(2026, 3, 10));
    d = dump(0);
    EXPECT_EQ(d[14][59], '\xDA');
    EXPECT_EQ(d[24][79], '\xBC');
}

TEST_F(Tools, CtrlEnterPutsTheDateIntoTheDateFieldBeingEdited) {
    register_tool_hotkeys();
    rt::Date datum = rt::Date::ymd(2026, 3, 1);
    rt::Date prazan;
    std::string opis = "ABC";
    auto read = [&] {
        rt::GetList gl;
        rt::GET(gl, rt::get(20, 10, datum).name("DATUM"));
        rt::GET(gl, rt::get(21, 10, prazan).name("PRAZAN"));
        rt::GET(gl, rt::get(22, 10, opis).name("OPIS"));
        rt::READ(gl);
    };
    // The calendar opens on the field's date; the field shows the stored date at once.
    script("{Alt+D}{dump}+{Ctrl+Enter}{dump}{Enter}{Enter}{Enter}");
    read();
    EXPECT_EQ(datum, rt::Date::ymd(2026, 3, 2));
    EXPECT_EQ(dump(0)[12].substr(9, 10), "01.03.2026");
    EXPECT_EQ(dump(1)[20].substr(10, 10), "02.03.2026");
    EXPECT_EQ(dump(1)[12].substr(0, 20), std::string(20, 'm'));  // the calendar is gone

    // Enter only closes the calendar.
    script("{Alt+D}+{Enter}{Enter}{Enter}{Enter}");
    read();
    EXPECT_EQ(datum, rt::Date::ymd(2026, 3, 2));

    // An empty date field starts on today and takes the date.
    script("{Down}{Alt+D}{dump}{Down}{Ctrl+Enter}{Enter}{Enter}");
    read();
    EXPECT_EQ(prazan, rt::Date::ymd(2026, 3, 9));
    EXPECT_EQ(dump(0)[12].substr(9, 10), "10.03.2026");

    // In a text field the calendar shows today and Ctrl+Enter is not taken.
    script("{Down}{Down}{Alt+D}{Ctrl+Enter}{dump}{Esc}{Enter}");
    read();
    EXPECT_EQ(opis, "ABC");
    EXPECT_EQ(dump(0)[12].substr(9, 10), "10.03.2026");  // still open after Ctrl+Enter
}

TEST_F(Tools, PlusInAFieldOpensTheCalculator) {
    register_tool_hotkeys();
    std::string opis = "AB        ";
    rt::GetList gl;
    script("{End}+{dump}7{Esc}{dump}C{Enter}");
    rt::GET(gl, rt::get(20, 10, opis).name("OPIS"));
    rt::READ(gl);
    EXPECT_EQ(opis, "ABC       ");
    EXPECT_EQ(dump(0)[2].substr(7, 8), "DIGITRON");
    EXPECT_EQ(dump(1)[2].substr(0, 20), std::string(20, 'c'));
}

}  // namespace
}  // namespace tor::test
