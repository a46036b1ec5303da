// The page protocol of every report: the common header rows, the rule before a page break, the
// end of the report (viewer or page count) and the per-company count of printed pages.
#include <algorithm>
#include <string>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "report/device.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"

namespace tor {

void page_header(bool with_street) {
    ++STR;
    // The owner is printed without its trailing blanks: the page number that follows on the same
    // row must not be taken for an overprint.
    PSAY(0, 0, "Obveznik: " + rt::ALLTRIM(WNAZKOM) + ", " + rt::TRIM(WVLASNIK));
    PSAY(0, 69, "Strana: " + rt::STRZERO(STR, 2));
    std::string place = "Mesto: " + rt::ALLTRIM(WMESKOM);
    if (with_street) place += ", " + rt::ALLTRIM(WULICAKOM);
    PSAY(1, 0, place);
    PSAY(1, 69, rt::DTOC(DDAN));
}

void page_rule(int row) { PSAY(std::max(row, 62), 0, std::string(80, '-')); }

void signature_lines(int row) {
    PSAY(row, 0, "Sastavio");
    PSAY(row, 60, "Odgovorno lice");
    PSAY(row + 1, 0, SAST);
    PSAY(row + 1, 60, "______________");
}

void report_end(int width, bool count_pages) {
    const Route route = print_route();
    if (route == Route::DISCARD || route == Route::NONE || !report::route_open()) {
        report::open_route(Route::NONE);
        return;
    }
    EJECT();
    print_close();
    if (route == Route::SCREEN) {
        const std::string file = OSNDIR + TEMP_FIL;
        FDISP(file, 2, 0, 23, 79, width);
        rt::os::erase(file);
    } else if (count_pages) {
        BRSTPSTR(STR);
    }
}

void BRSTPSTR(int pages) {
    rt::dbf::AreaScope scope;
    const std::string table = BR_STP_STR.empty() ? OSNDIR + "brstpstr" : BR_STP_STR;
    if (!rt::os::exists(dbf_path(table))) return;
    rt::dbf::select_free();
    if (!open_table(table)) return;
    rt::dbf::WorkArea& a = rt::dbf::current();
    const int width = a.fields()[static_cast<size_t>(std::max(0, a.field_index("NAZIV")))].len;
    const std::string name = rt::PADR(WNAZKOM, width);
    bool locked;
    if (a.seek(name)) {
        locked = REC_LOCK();
    } else {
        locked = ADD_REC(0);
    }
    if (locked) {
        a.put("NAZIV", name);
        a.put("BRSTR", a.get_num("BRSTR") + pages);
        a.commit();
        a.unlock();
    }
    a.close();
}

}  // namespace tor
