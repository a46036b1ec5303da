// Probe mode of the report output: "report N [THRESHOLD]", a report of N numbered lines for
// company "001" (page break after the threshold row, 61 by default), through the destination
// question.
#include <string>
#include <vector>

#include "probe/probe.h"
#include "report/report.h"
#include "rt/fmt/fmt.h"

namespace {

void heading() {
    tor::page_header();
    tor::PSAY(3, 0, tor::DSTRIKE_ON + "PROBNI IZVESTAJ" + tor::DSTRIKE_OFF);
    tor::PSAY(5, 0, "R.Br  Opis");
    tor::PSAY(6, 0, std::string(80, '='));
}

int report(const std::vector<std::string>& args) {
    const int lines = args.empty() ? 10 : std::stoi(args[0]);
    const int threshold = args.size() > 1 ? std::stoi(args[1]) : 61;
    torprobe::enter_company();
    tor::EKRSTP();
    tor::STR = 0;
    heading();
    int row = 7;
    for (int i = 1; i <= lines; ++i) {
        tor::PSAY(row, 0, rt::STRZERO(i, 4) + "  Stavka broj " + std::to_string(i));
        if (++row > threshold && i < lines) {
            tor::page_rule(row);
            heading();
            row = 7;
        }
    }
    tor::PSAY(row, 0, std::string(80, '='));
    tor::report_end(80);
    return 0;
}

const torprobe::Mode report_mode("report", report);

}  // namespace
