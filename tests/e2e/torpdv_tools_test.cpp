// The calculator and the calendar called from inside input fields: a total copied with Alt+C and
// pasted with Alt+V, a date put into the field with Ctrl+Enter (the probe's amount and date
// screen, and the processing date of the program settings), and "+" in a text field.
#include <gtest/gtest.h>

#include <string>

#include "e2e/torpdv_harness.h"
#include "rt/dbf/dbf.h"
#include "rt/term/console.h"

namespace {

using namespace torpdv_e2e;
using PRun = torpdv_e2e::Run;

Options probe() {
    Options o;
    o.binary = "torprobe tools";
    return o;
}

const std::string open_settings = "{pause}{Down}{Down}{Down}{Enter}";


TEST(TorpdvTools, CalculatorTotalPastedIntoTheAmountField) {
    Install inst;
    PRun r = run(inst, "{dump}+5+3{Enter}{Alt+C}{dump}{Esc}{dump}{Alt+V}{dump}{Enter}{Enter}", probe());
    ASSERT_RUN(r, 0, 4);
    // Esc puts the screen back as it was, the amount still 0; Alt+V then pastes the total.
    expect_cells(r, {{1, 2, 7, "DIGITRON"}, {1, 8, 4, "         8.00="}, {1, 10, 4, "      COPY OK  "},
                     {2, 16, 41, "      0.00"}, {3, 16, 41, "      8.00"}});
    EXPECT_EQ(r.screens[2], r.screens[0]);
    EXPECT_EQ(r.out, "IZNOS=8.00 DATUM=  .  .    \n");
}

TEST(TorpdvTools, CalendarDateStoredInTheDateField) {
    Install inst;
    // Today (16 March) for the empty field; the window two columns right, the month one up.
    PRun r = run(inst, "{Down}{Alt+D}{dump}{Alt+Right}{Right}+{dump}{Ctrl+Enter}{dump}{Enter}", probe());
    ASSERT_RUN(r, 0, 3);
    expect_cells(r, {{0, 3, 3, "\xDA"}, {0, 12, 9, "16.03.2026"}, {1, 3, 3, "  \xDA"}, {1, 12, 11, "16.04.2026"},
                     {2, 17, 41, "16.04.2026"}, {2, 3, 0, std::string(30, ' ')}});
    EXPECT_EQ(r.out, "IZNOS=0.00 DATUM=16.04.2026\n");
}

// The processing date of the program settings chosen in the calendar.
TEST(TorpdvTools, ProcessingDateChosenInTheCalendar) {
    Install inst;
    std::string to_date;
    for (int i = 0; i < 10; ++i) to_date += "{Down}";
    PRun r = run(inst, open_settings + to_date +
                          "{Enter}{dump}{Alt+D}{dump}{Down}{Down}{Ctrl+Enter}{dump}{Enter}{dump}");
    ASSERT_EQ(r.status, 3) << r.err;
    ASSERT_EQ(r.screens.size(), 5u);  // the last one when the script ran out
    // The field shows the date at once; the screen under the calendar is back.
    expect_cells(r, {{0, 22, 68, "16.03.2026"}, {1, 12, 9, "16.03.2026"}, {2, 22, 68, "14.03.2026"},
                     {3, 11, 19, "  Datum obrade je podesen na 14.03.2026.  "}});
    for (int row = 0; row < 22; ++row) EXPECT_EQ(r.line(2, row), r.line(0, row)) << row;
    auto recs = records(inst / "set_up.vlt");
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(std::get<rt::Date>(recs[0]["DAT_OBR"]), rt::Date::ymd(2026, 3, 14));
}

// "+" in the place field of the form signature opens the calculator; Esc goes back to the field
// with the cursor where it was.
TEST(TorpdvTools, CalculatorFromATextFieldLeavesItUnchanged) {
    Install inst;
    std::string to_item;
    for (int i = 0; i < 11; ++i) to_item += "{Down}";
    PRun r = run(inst, open_settings + to_item + "{Enter}AB{dump}+{dump}{Esc}{dump}CD{Enter}{Enter}{dump}");
    ASSERT_RUN_GE(r, 3, 4);
    expect_cells(r, {{0, 11, 21, "AB________"}, {1, 2, 7, "DIGITRON"}});
    EXPECT_EQ(r.screens[2], r.screens[0]);
    auto recs = records(inst / "set_up.vlt");
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(std::get<std::string>(recs[0]["MESTO"]).substr(0, 10), "ABCD______");
}

}  // namespace
