// The split print of wide reports: a report of up to 400 columns printed on a narrow printer in
// two passes, the left 149 columns of the long lines first, then the rest, both condensed.
#include <string>
#include <string_view>

#include "frame/vars.h"
#include "report/device.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"
#include "ui/ui.h"

namespace tor {

namespace {

constexpr int SPLIT = 149;   // columns of the first pass (condensed elite)
constexpr int NARROW = 80;   // lines up to this width are printed as they are, on both passes

std::string condensed(std::string_view part) { return ELITE + COND_ON + std::string(part) + COND_OFF + PICA; }

std::string split_table() {
    // The viewer's table name with "fs" for "fd": one work table per workstation.
    std::string t = report::viewer_table();
    const size_t p = t.rfind("/fd");
    if (p != std::string::npos) t.replace(p, 3, "/fs");
    return t;
}

}  // namespace

bool A3A4(std::string_view file) {
    rt::dbf::AreaScope scope;
    const std::string table = split_table();
    report::make_line_table(table);
    rt::dbf::select_free();
    rt::dbf::WorkArea& t = rt::dbf::current();
    if (!t.open(rt::os::resolve(table), "fdisp", true)) {
        PORUKA("Deljena stampa je vec u toku na ovoj radnoj stanici.", 0);
        return true;
    }
    t.zap();
    report::load_lines(t, file);

    PORUKA("Stampa u toku...", 1);
    const bool opened = W_PRINTER ? report::open_route(Route::WINPRINTER, report::winprinter_file(nullptr))
                                  : report::open_route(Route::PRINTER);
    if (opened) {
        for (int pass = 1; pass <= 2; ++pass) {
            int row = 0;
            for (t.go_top(); !t.eof(); t.skip(), ++row) {
                const std::string line = rt::TRIM(t.get_str("RED"));
                if (static_cast<int>(line.size()) <= NARROW)
                    PSAY(row, 0, line);
                else if (pass == 1)
                    PSAY(row, 0, condensed(rt::LEFT(line, SPLIT)));
                else
                    // The right half keeps its leading blanks: its columns stay where they were.
                    PSAY(row, 0, condensed(rt::SUBSTR(line, SPLIT + 1)));
            }
            // The second half begins on a new page (also after a one-line report).
            EJECT();
            if (row == 0) break;
        }
        print_close();
    }
    t.zap();
    t.close();
    rt::os::erase(table);
    return true;
}

}  // namespace tor
