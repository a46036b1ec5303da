// torprobe lookup KIND: a small entry screen with a name field and a code field whose validation is
// the lookup list of KIND (the kinds of the document screens: PAR_0, RAS, ZAD), over partners,
// obligations and expenditures filled with a few records.
// After the input the code, the last key and the state of the kind's table go to stdout:
//   WSIFRA=3
//   LASTKEY=13
//   FILTER=val(sifra)<9000
//   ORDER=1
//   RECNO=3
//   VISIBLE=0001,0002,...        (codes or numbers seen through the table's filter, in order)
#include <cstdio>
#include <string>
#include <vector>

#include "data/data.h"
#include "frame/vars.h"
#include "probe/probe.h"
#include "company/company.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"
#include "ui/ui.h"

namespace {

using rt::dbf::Value;
using Row = std::vector<std::pair<const char*, Value>>;

rt::Date d(int y, int m, int dd) { return rt::Date::ymd(y, m, dd); }

void fill(const std::string& table, std::vector<Row> rows) {
    rt::dbf::select_free();
    tor::open_table(table);
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (a.reccount() > 0) rows = {};  // filled by an earlier run in the same installation
    for (const Row& r : rows) {
        a.append_blank();
        for (const auto& [f, v] : r) a.put(f, v);
    }
    a.commit();
    a.unlock();
    a.close();
}

void fill_tables() {
    fill("mddob", {
        {{"SIFRA", "0001"}, {"NAZIV", "TRGOPROMET DOO"}, {"MESTO", "NOVI SAD"}, {"ULICA", "BULEVAR OSLOBODJENJA 12"},
         {"ZIRO", "160-12345-67"}},
        {{"SIFRA", "9001"}, {"NAZIV", "PORESKA UPRAVA"}, {"MESTO", "BEOGRAD"}, {"ZIRO", "840-711111843-22"}},
        {{"SIFRA", "0002"}, {"NAZIV", "Mlekara Zlatibor"}, {"MESTO", "ZLATIBOR"}, {"ZIRO", "205-9876-11"}},
        {{"SIFRA", "0003"}, {"NAZIV", "AGRO PLUS"}, {"MESTO", "SUBOTICA"}, {"ULICA", "KORZO 3"}, {"KD", "0"}},
        {{"SIFRA", "9002"}, {"NAZIV", "PIO FOND"}, {"MESTO", "BEOGRAD"}, {"ZIRO", "840-1234-55"}},
    });
    fill("rashod", {
        {{"VRDOK", "R000003"}, {"DATUM", d(2026, 3, 5)}, {"VRSTA", "1"}, {"OPIS", "KIRIJA ZA MART"},
         {"BRDOK", "K-3"}, {"IZNOS", 20000.0}},
        {{"VRDOK", "R000001"}, {"DATUM", d(2026, 2, 10)}, {"VRSTA", "2"}, {"OPIS", "Porez na imovinu"},
         {"BRDOK", "PI-1"}, {"IZNOS", 1500.5}},
        {{"VRDOK", "R000002"}, {"DATUM", d(2026, 3, 1)}, {"OPIS", "AKONTACIJA"}, {"BRDOK", "A-1"},
         {"IZNOS", 700.0}},
        {{"VRDOK", "R000004"}, {"DATUM", d(2026, 1, 20)}, {"VRSTA", "1"}, {"OPIS", "STRUJA"},
         {"BRDOK", "EPS-01"}, {"IZNOS", 3400.0}},
    });
}

std::string alias_of(const std::string& kind) {
    if (kind == "RAS") return "rashod";
    if (kind == "ZAD") return "zadkup";
    return "mddob";
}

std::string key_field(const std::string& alias) {
    if (alias == "rashod") return "VRDOK";
    if (alias == "zadkup") return "BRZAD";
    return "SIFRA";
}

int lookup(const std::vector<std::string>& args) {
    using namespace tor;
    torprobe::enter_company();
    const std::string kind = args.empty() ? "PAR" : args[0];
    fill_tables();
    const std::string alias = alias_of(rt::UPPER(kind));
    rt::dbf::select_free();
    open_table(alias);
    rt::dbf::current().go_top();
    rt::dbf::select_free();  // the screen works in another area, as the document screens do

    std::string naziv(10, ' ');
    double wsifra = 0;
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::SAY(5, 10, "Naziv:");
    rt::SAY(7, 10, "Sifra:");
    rt::GetList gl;
    rt::GET(gl, rt::get(5, 20, naziv, "@!").name("WNAZIV"));
    rt::GET(gl, rt::get(7, 20, wsifra, alias == "mddob" ? "9999" : "999999")
                    .valid([kind] { return PREGLED(kind); })
                    .name("WSIFRA"));
    rt::READ(gl, 1);  // the code field first; Up reaches the name field

    rt::dbf::WorkArea& a = rt::dbf::area(alias);
    std::printf("WSIFRA=%g\n", wsifra);
    std::printf("LASTKEY=%d\n", rt::LASTKEY());
    std::printf("FILTER=%s\n", a.filter_text().c_str());
    std::printf("ORDER=%d\n", a.order());
    std::printf("RECNO=%u\n", a.eof() ? 0u : a.recno());
    std::string seen;
    const std::string f = key_field(alias);
    for (a.go_top(); !a.eof(); a.skip()) seen += (seen.empty() ? "" : ",") + rt::TRIM(a.get_str(f));
    std::printf("VISIBLE=%s\n", seen.c_str());
    std::printf("SELECTED=%s\n", rt::dbf::current().used() ? rt::dbf::current().alias().c_str() : "");
    return 0;
}

const torprobe::Mode mode("lookup", lookup);

}  // namespace
