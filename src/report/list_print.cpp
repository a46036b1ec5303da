// The printed list of the lookup (F2 in the list): every record of the lookup's table within its
// current filter, numbered, with the list's own heading on every page.
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "ui/lookup.h"

namespace tor {

namespace {
constexpr int FIRST_ROW = 8;   // the first body row of a page
constexpr int LAST_ROW = 61;   // a row past this one ends the page
}  // namespace

void ZSTAMPRE() {
    page_header();
    PSAY(2, 0, std::string(80, '-'));
    PSAY(4, 0, "SPISAK " + ZA + " " + rt::STRZERO(rt::YEAR(DDAN), 4) + ".");
    PSAY(5, 0, std::string(80, '='));
    PSAY(6, 0, "R.Br. " + ZAG);
    PSAY(7, 0, std::string(80, '='));
}

void STAMPRE() {
    const int area = rt::dbf::current_number();
    EKRSTP();
    rt::dbf::select(area);  // the rows are read from the lookup's table
    rt::dbf::WorkArea& a = rt::dbf::current();
    STR = 0;
    ZSTAMPRE();
    int row = FIRST_ROW;
    int number = 1;
    a.go_top();
    while (!a.eof()) {
        PSAY(row, 0, rt::TRANSFORM(static_cast<double>(number), "9999"));
        PSAY(row, 6, RED ? RED() : std::string());
        a.skip();
        ++row;
        ++number;
        if (row > LAST_ROW && !a.eof()) {
            page_rule(row);
            ZSTAMPRE();
            row = FIRST_ROW;
        }
    }
    PSAY(row, 0, std::string(80, '='));
    report_end(132, false);
}

}  // namespace tor
