// The tables every stock procedure reads: the document tables with their item tables related to
// the headers (so the document date is read through the relation while the items are scanned),
// the KEP book and the goods register.
#include <string>
#include <vector>

#include "cards/cards.h"
#include "data/data.h"
#include "rt/dbf/dbf.h"

namespace tor {

bool open_stock_tables() {
    struct Open {
        const char* table;
        int order;                 // the controlling index among the table's indexes
        const char* parent;        // header table the items are related to ("" for none)
        const char* number_field;  // the document number both share
    };
    static const std::vector<Open> tables = {
        {"ukalk", 1, "", ""},           {"kalk", 3, "ukalk", "BRKALK"},  // "kalk2": by article
        {"ufakt", 1, "", ""},           {"fakt", 2, "ufakt", "BRFAK"},   // "fakt1": by article
        {"stzart", 1, "", ""},          {"zapis", 4, "", ""},            // "zapis3": by article
        {"tknjiga", 1, "", ""},         {"mdart", 1, "", ""},
    };
    std::vector<int> opened;
    for (const Open& o : tables) {
        opened.push_back(rt::dbf::select_free());
        if (!open_table(o.table, o.table)) {
            for (int n : opened) rt::dbf::area(n).close();
            return false;
        }
        rt::dbf::WorkArea& a = rt::dbf::current();
        a.set_order(o.order);
        if (*o.parent) {
            const std::string field = o.number_field;
            a.set_relation(o.parent, [field] { return rt::dbf::current().get_str(field); }, field);
        }
        a.go_top();
    }
    rt::dbf::select("mdart");
    return true;
}

}  // namespace tor
