// The tape calculator and the month calendar: the tape, totals with 0 and division by zero, the
// memory, the paste value, window moves; the month grid, stepping, typed parts, and the date put
// into the field being edited.
#include "rt/input/get.h"
#include "ui/tools.h"
#include "ui_fixture.h"

namespace tor::test {
namespace {

using Lines = std::vector<std::string>;

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
    // A key script whose {dump}s are kept; every row of the screen under the tools gets its own
    // letter ('a' on row 0, 'b' on row 1 …) to show what is covered and what is put back.
    void script(const std::string& keys) {
        dumps_ = root_ + "/screens.txt";
        std::filesystem::remove(dumps_);
        rt::console_init_headless(keys, dumps_);
        rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
        rt::SETCOLOR(NORMAL);
        for (int r = 0; r < rt::ROWS; ++r) rt::SAY(r, 0, std::string(80, static_cast<char>('a' + r)));
    }
    // Dump n, one CP437 byte per cell.
    Lines dump(size_t n) const {
        const Lines rows = read_dumps(dumps_);
        if (rows.size() < (n + 1) * 25) {
            ADD_FAILURE() << "no dump " << n;
            return Lines(25, std::string(80, ' '));
        }
        return {rows.begin() + static_cast<long>(n * 25), rows.begin() + static_cast<long>(n * 25 + 25)};
    }
    // The calculator at its home place after the keys: the tape (rows 3-10, blanks trimmed) and
    // the entry line. Esc then closes it.
    struct Seen {
        Lines tape;
        std::string entry;
    };
    Seen calc(const std::string& keys) {
        script(keys + "{dump}{Esc}z");
        KALL();
        EXPECT_EQ(rt::NEXTKEY(), 'z') << keys;
        Lines d = dump(0);
        Seen s;
        for (int r = 3; r <= 10; ++r) s.tape.push_back(rt::ALLTRIM(d[r].substr(4, 15)));
        s.entry = rt::ALLTRIM(d[12].substr(3, 16));
        return s;
    }
    std::string dumps_;
};

Lines tail(const Lines& l, size_t n) { return Lines(l.end() - static_cast<long>(n), l.end()); }

// ---- the calculator ----

TEST_F(Tools, TapeOfASumAndTheLastTapeShownAgainWithR) {
    script("5+3{Enter}{dump}{Enter}" "R{dump}{Enter}z");
    const std::string before = rt::screen_text();
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    Lines d = dump(0);
    // The window: rows 2-13, columns 2-19; numbers right-aligned in 13 columns from column 4.
    EXPECT_EQ(d[2].substr(1, 20), "c\xC9\xCD\xCD\xCD\xCD" "DIGITRON" "\xCD\xCD\xCD\xCD\xBB" "c");
    EXPECT_EQ(d[13].substr(2, 19), "\xC8" + std::string(16, '\xCD') + "\xBC" "n");
    const std::pair<int, std::string> tape[] = {{5, std::string(16, ' ')}, {6, "          5.00  "}, {7, "          3.00+ "},
                                                {8, " -------------  "}, {9, "          8.00= "}, {10, " =============  "},
                                                {12, "          0     "}};  // the entry ends in column 13
    for (const auto& [row, text] : tape) EXPECT_EQ(d[row].substr(3, 16), text) << row;
    ASSERT_TRUE(SCRKALL);
    EXPECT_EQ(KALLSCR.cells[0].attr, attr_of(SVETLO));

    // Opened again, "R" puts the last tape in the window.
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    Lines r = dump(1);
    for (int row = 2; row <= 13; ++row) EXPECT_EQ(r[row].substr(2, 18), d[row].substr(2, 18)) << row;
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // Without a kept window "R" only beeps.
    SCRKALL = false;
    KALLSCR = rt::ScreenImage{};
    EXPECT_EQ(calc("R").tape, Lines(8, ""));
}

TEST_F(Tools, EnterClosesOnlyWithNothingEnteredOrPending) {
    script("{Enter}z");
    const std::string before = rt::screen_text();
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // A running result of 0 does not close, and is not taken for "no result": 7 - 7 - 2 = -2.
    Seen s = calc("7-7-2{Enter}");
    EXPECT_EQ(tail(s.tape, 6), (Lines{"7.00", "7.00-", "2.00-", "-------------", "-2.00=", "============="}));
    // An operator with nothing before it: Enter drops it (a second Enter would close); a "-"
    // before the first number makes it negative.
    EXPECT_EQ(calc("*{Enter}").tape, Lines(8, ""));
    EXPECT_EQ(tail(calc("-5+1{Enter}").tape, 5), (Lines{"5.00-", "1.00+", "-------------", "-4.00=", "============="}));
}

TEST_F(Tools, ZeroIsANumberAndAnOperatorWithoutEntryOnlyReplacesThePendingOne) {
    EXPECT_EQ(tail(calc("5*0+3{Enter}").tape, 6),
              (Lines{"5.00", "0.00*", "3.00+", "-------------", "3.00=", "============="}));
    // "*" right after "-" replaces it; the entry line shows the sign and the running result.
    EXPECT_EQ(calc("10-*").entry, "*        10.00");
    EXPECT_EQ(tail(calc("10-*4{Enter}").tape, 4), (Lines{"4.00*", "-------------", "40.00=", "============="}));
    // One point only; Backspace takes the last character back. 1.26 / 4 = 0.315, shown rounded.
    EXPECT_EQ(tail(calc("1.2.5{BS}6/4{Enter}").tape, 4), (Lines{"4.00/", "-------------", "0.32=", "============="}));
    // At most ten typed characters.
    EXPECT_EQ(calc("123456789012").entry, "01234567890");
    // "T" shows the running result with three decimals.
    EXPECT_EQ(calc("7/8+T").entry, "0.875");
}

TEST_F(Tools, DivisionByZeroIsReportedAndTheResultKept) {
    Seen s = calc("12/0{Enter}");
    EXPECT_EQ(s.entry, "Deljenje nulom!");
    EXPECT_EQ(tail(s.tape, 2), (Lines{"", "12.00"}));  // the 0 never reached the tape
    EXPECT_EQ(tail(calc("12/0{Enter}{Enter}").tape, 2), (Lines{"12.00=", "============="}));
    // Through an operator key: the new operator is pending, the 12 kept.
    EXPECT_EQ(calc("12/0+").entry, "Deljenje nulom!");
    EXPECT_EQ(tail(calc("12/0+3{Enter}").tape, 4), (Lines{"3.00+", "-------------", "15.00=", "============="}));
    // A zero dividend is no fault.
    EXPECT_EQ(tail(calc("0/4{Enter}").tape, 2)[0], "0.00=");
}

TEST_F(Tools, AltCOtherThanAfterATotalOnlyBeepsAndEscTapesTheRunningResult) {
    VO_TO_PASTE = 1.0;
    calc("4+{Alt+C}");
    EXPECT_DOUBLE_EQ(std::get<double>(VO_TO_PASTE), 1.0);
    rt::RESTSCREEN(KALLSCR);
    EXPECT_EQ(cells(9, 4, 14) + "|" + cells(10, 4, 13), "         4.00=|=============");
}

TEST_F(Tools, MemoryCollectsTotalsAndIsShownWithM) {
    EXPECT_EQ(calc("5{Space}").entry, "5.00 M");
    Seen s = calc("5{Space}2*3{Space}M");
    EXPECT_EQ(tail(s.tape, 6), (Lines{"6.00=", "=============", "*************", "Memo Rezultat", "11.00=",
                                      "============="}));
    EXPECT_EQ(s.entry, "0    M");  // the mark while the memory holds something
    EXPECT_EQ(KALLSCR.cells[10 * 18 + 16].attr, attr_of(SBLINK));
    // "C" empties the memory (the running result stays): the mark goes.
    EXPECT_EQ(calc("5{Space}4+C").entry, "0");
    EXPECT_EQ(calc("5{Space}4+CT").entry, "4.000");
}

TEST_F(Tools, CalculatorWindowMovesWithinItsLimits) {
    // Left at the home column is refused; of two rows up only one is taken (top row 1).
    script("{Left}{Up}{Up}{Right}{Right}{dump}"
           "{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{dump}{Enter}z");
    const std::string before = rt::screen_text();
    KALL();
    EXPECT_EQ(rt::screen_text(), before);
    // Rows 1-12, columns 4-21, the home place uncovered; then the bottom row is 23.
    const Lines d0 = dump(0), d1 = dump(1);
    EXPECT_EQ((Lines{d0[1].substr(3, 2), d0[12].substr(21, 2), d0[13].substr(2, 18)}),
              (Lines{"b\xC9", "\xBCm", std::string(18, 'n')}));
    EXPECT_EQ((Lines{d1[12].substr(4, 1), d1[23].substr(21, 1), d1[11].substr(4, 18)}),
              (Lines{"\xC9", "\xBC", std::string(18, 'l')}));
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    // The right border stops in column 76.
    std::string keys;
    for (int i = 0; i < 60; ++i) keys += "{Right}";
    calc(keys);
    EXPECT_EQ(dump(0)[2].substr(58, 20), "c\xC9\xCD\xCD\xCD\xCD" "DIGITRON" "\xCD\xCD\xCD\xCD\xBB" "c");
}

// ---- the calendar ----

TEST_F(Tools, MonthGridOfMarch2026) {
    // 1 March 2026 is a Sunday; today is 10 March.
    script("{dump}{Enter}z");
    const std::string before = rt::screen_text();
    EXPECT_EQ(KALENDAR(), rt::Date::ymd(2026, 3, 10));
    EXPECT_EQ(rt::screen_text(), before);
    Lines d = dump(0);
    // Day letters down the left, one week per column; the date under the grid.
    const std::pair<int, std::string> want[] = {
        {3, "d\xDA\xC4\xC2\xC4\xC4\xC2\xC4\xC4\xC2\xC4\xC4\xC2\xC4\xC4\xC2\xC4\xC4\xC2\xC4\xC4\xB7" "d"},
        {4, "e\xB3N\xB3" "01\xB3" "08\xB3" "15\xB3" "22\xB3" "29\xB3" "  \xBA" "e"},
        {6, "g\xB3U\xB3" "03\xB3" "10\xB3" "17\xB3" "24\xB3" "31\xB3" "  \xBA" "g"},
        {10, "k\xB3S\xB3" "07\xB3" "14\xB3" "21\xB3" "28\xB3" "  \xB3" "  \xBA" "k"},
        {12, "m\xB3     10.03.2026    \xBA" "m"},
        {13, "n\xD4" + std::string(19, '\xCD') + "\xBC" "n"}};
    for (const auto& [row, text] : want) EXPECT_EQ(d[row].substr(2, 23), text) << "row " << row;
    EXPECT_EQ(d[2].substr(0, 30) + d[14].substr(0, 30), std::string(30, 'c') + std::string(30, 'o'));
    EXPECT_EQ(rt::NEXTKEY(), 'z');
}

TEST_F(Tools, StepsAndTypedPartsKeepTheDateValid) {
    struct Case {
        rt::Date start;
        const char* keys;
        rt::Date want;
    };
    auto D = rt::Date::ymd;
    const Case cases[] = {
        // 31 January: "+" on the month would be 31 February: the date stays.
        {D(2026, 1, 31), "M+{Up}{Enter}", D(2026, 1, 31)},
        // The day wraps within its month both ways, the month within the year.
        {D(2027, 2, 28), "+{Enter}", D(2027, 2, 1)},
        {D(2027, 2, 2), "{Down}-{Enter}", D(2027, 2, 28)},
        {D(2026, 12, 15), "m+{Enter}", D(2026, 1, 15)},
        {D(2026, 1, 15), "m-{Enter}", D(2026, 12, 15)},
        // 29 February has no next year.
        {D(2028, 2, 29), "G+{Enter}", D(2028, 2, 29)},
        // Right and Left walk the levels round: Left from the day is the year.
        {D(2026, 3, 10), "{Left}+{Right}{Right}+{Enter}", D(2027, 4, 10)},
        // Esc gives back the starting date whatever is shown; an empty start is today.
        {D(2026, 5, 5), "+++m+{Esc}", D(2026, 5, 5)},
        {rt::Date(), "{Down}{Esc}", D(2026, 3, 10)},
        // Typed parts: each full part moves on to the next one.
        {D(2026, 3, 10), "05042027{Enter}", D(2027, 4, 5)},
        // Digits overwrite the part from the left and Enter ends it early, keeping the rest:
        // day 16 with "2" is 26, year 2026 with "19" is 1926.
        {D(2026, 3, 16), "2{Enter}{Enter}", D(2026, 3, 26)},
        {D(2026, 3, 16), "g19{Enter}{Enter}", D(1926, 3, 16)},
        // A day the month lacks and Esc keep the date; "+" then steps the month, the next level.
        {D(2026, 2, 10), "31+{Enter}", D(2026, 3, 10)},
        {D(2026, 2, 10), "2{Esc}+{Enter}", D(2026, 3, 10)},
        // Backspace steps back one position.
        {D(2026, 2, 10), "1{BS}25{Enter}", D(2026, 2, 25)},
    };
    for (const Case& c : cases) {
        script(std::string(c.keys) + "z");
        EXPECT_EQ(rt::DTOC(KALENDAR(4, 6, c.start)), rt::DTOC(c.want)) << c.keys;
        EXPECT_EQ(rt::NEXTKEY(), 'z') << c.keys;
    }
}

TEST_F(Tools, CalendarWindowMovesWithinItsLimits) {
    script("{Alt+Up}{Alt+Left}{dump}{Alt+Down}{Alt+Right}{dump}{Enter}z");
    const std::string before = rt::screen_text();
    KALENDAR(1, 3, rt::Date::ymd(2026, 3, 10));
    EXPECT_EQ(rt::screen_text(), before);
    // Rows 0-10, columns 0-20: it stays; then a row down, two columns right, the old place back.
    Lines d = dump(0), d1 = dump(1);
    EXPECT_EQ((Lines{d[0].substr(0, 1), d[10].substr(20, 2), d1[1].substr(1, 2), d1[0].substr(0, 30)}),
              (Lines{"\xDA", "\xBCk", "b\xDA", std::string(30, 'a')}));
    EXPECT_EQ(rt::NEXTKEY(), 'z');

    script("{Alt+Down}{Alt+Right}{dump}{Enter}");
    KALENDAR(15, 62, rt::Date::ymd(2026, 3, 10));
    d = dump(0);
    EXPECT_EQ(d[14].substr(58, 2) + d[24].substr(79), "o\xDA\xBC");
}

TEST_F(Tools, CtrlEnterPutsTheDateIntoTheDateFieldBeingEdited) {
    register_tool_hotkeys();
    rt::Date datum = rt::Date::ymd(2026, 3, 1);
    std::string opis = "ABC";
    auto read = [&](const std::string& keys) {
        script(keys);
        rt::GetList gl;
        rt::GET(gl, rt::get(20, 10, datum).name("DATUM"));
        rt::GET(gl, rt::get(22, 10, opis).name("OPIS"));
        rt::READ(gl);
    };
    // The calendar opens on the field's date.
    read("{Alt+D}{dump}+{Ctrl+Enter}{Enter}{Enter}{Enter}");
    EXPECT_EQ(datum, rt::Date::ymd(2026, 3, 2));
    EXPECT_EQ(dump(0)[12].substr(9, 10), "01.03.2026");

    // Enter only closes the calendar.
    read("{Alt+D}+{Enter}{Enter}{Enter}{Enter}");
    EXPECT_EQ(datum, rt::Date::ymd(2026, 3, 2));

    // In a text field the calendar shows today and Ctrl+Enter is not taken.
    read("{Down}{Alt+D}{Ctrl+Enter}{dump}{Esc}{Enter}");
    EXPECT_EQ(opis, "ABC");
    EXPECT_EQ(dump(0)[12].substr(9, 10), "10.03.2026");
}

}  // namespace
}  // namespace tor::test
