// torprobe item_line KIND (ART, PAR or OBA): a document's item line with one code field (row 5,
// column 20), the register already open as the document screens keep it. When the field is left,
// the register runs for that one record, as a document calls it for a new or changed article or
// partner; then the code it returned goes to stdout:
//   WSIFRA=3
//   SELECTED=KALK             (the work area selected afterwards: the line's own)
//   REGISTER_OPEN=1           (the register's work area is still open)
//   FILTER=                   (the filter the register's work area is left with)
#include <cstdio>
#include <string>
#include <vector>

#include "data/data.h"
#include "frame/vars.h"
#include "probe/probe.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/input/get.h"
#include "ui/ui.h"

namespace {

int item_line(const std::vector<std::string>& args) {
    using namespace tor;
    torprobe::enter_company();
    const std::string kind = args.empty() ? "ART" : args[0];
    const bool goods = kind == "ART";
    PART_OB = kind != "OBA";
    rt::dbf::select_free();
    open_table(goods ? "mdart" : "mddob");
    const std::string register_alias = rt::dbf::current().alias();
    rt::dbf::select_free();
    open_table("kalk");  // the document's item table stays the selected area

    double wsifra = 0;
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::SAY(5, 10, "Sifra:");
    rt::GetList gl;
    rt::GET(gl, rt::get(5, 20, wsifra, goods ? "999999" : "9999").name("WSIFRA"));
    rt::READ(gl);
    if (goods) ARTIKLI(wsifra);
    else PARTNERI(wsifra);
    std::printf("WSIFRA=%g\n", wsifra);
    std::printf("SELECTED=%s\n", rt::dbf::current().alias().c_str());
    std::printf("REGISTER_OPEN=%d\n", rt::dbf::alias_used(register_alias) ? 1 : 0);
    std::printf("FILTER=%s\n", rt::dbf::area(register_alias).filter_text().c_str());
    return 0;
}

const torprobe::Mode mode("item_line", item_line);

}  // namespace
