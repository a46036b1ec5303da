// The table inspector (Ctrl+F10): the work areas of the interrupted screen, a browse with
// in-place editing of an area's records, and an area's structure.
#include <fstream>
#include <string>
#include <vector>

#include "data/data.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/browse.h"
#include "rt/input/memoedit.h"
#include "rt/input/menu.h"
#include "rt/term/keys.h"
#include "ui/table_rows.h"
#include "ui/ui.h"

namespace tor {

namespace {

std::vector<int> g_areas;  // the areas the inspector's list shows, in list order

std::string numeric_picture(const rt::dbf::FieldDef& f) {
    if (f.dec > 0 && f.len > f.dec + 1)
        return std::string(static_cast<size_t>(f.len - f.dec - 1), '9') + "." +
               std::string(static_cast<size_t>(f.dec), '9');
    return std::string(static_cast<size_t>(f.len), '9');
}

void browse_area(int n) {
    rt::dbf::select(n);
    rt::dbf::WorkArea& a = rt::dbf::current();
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    BOXSHAD(8, 5, 21, 75, std::string(9, ' '));
    // Changes are made only while this workstation holds the whole table.
    const bool locked = FIL_LOCK();
    try {
        if (a.eof()) a.go_top();
        TableRows src(a);
        rt::Browse b(8, 5, 21, 75, src);
        const auto& fields = a.fields();
        for (size_t i = 0; i < fields.size(); ++i) {
            const rt::dbf::FieldDef f = fields[i];
            const int fi = static_cast<int>(i);
            rt::BrowseColumn c;
            c.heading = f.name;
            c.value = [&a, fi] { return a.get(fi); };
            if (f.type == 'N') c.picture = numeric_picture(f);
            if (f.type == 'C' && f.len > 60) c.width = 60;
            if (locked)
                c.store = [&a, fi](const rt::Value& v) {
                    a.put(fi, v);
                    a.commit();
                };
            b.add(c);
        }
        b.head_sep("\xC4");
        b.on_key([&](int key, int mode, int) {
            if (mode != rt::BR::EXCEPTION) return rt::BR::CONTINUE;
            if (key == rt::K::ESC) return rt::BR::ABORT;
            if (key == rt::K::ENTER) {
                if (!locked || a.eof()) {
                    TON(1);
                    return rt::BR::CONTINUE;
                }
                return rt::BR::EDIT;
            }
            return rt::BR::CONTINUE;
        });
        b.run();
    } catch (const std::exception& e) {
        // A failure inside the browse (a value the field cannot take, a damaged file) ends it.
        PORUKA(e.what(), 2);
    }
    if (locked) a.unlock();
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
}

long free_memory_kb() {
    std::ifstream f("/proc/meminfo");
    std::string name;
    long value = 0;
    std::string unit;
    while (f >> name >> value >> unit)
        if (name == "MemAvailable:") return value;
    return 0;
}

void show_structure(int n) {
    rt::dbf::WorkArea& a = rt::dbf::area(n);
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    BOXSHAD(8, 5, 18, 55, "double", " OSTALI PODACI ZA " + a.alias() + " ");
    rt::MEMOEDIT(area_structure_text(n), 9, 6, 17, 54, false);
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
}

}  // namespace

std::string area_structure_text(int n) {
    rt::dbf::WorkArea& a = rt::dbf::area(n);
    const std::string nl = "\r\n";
    std::string t = "STRUKTURA" + nl + "RBr  NAZIV     T DUZ DEC" + nl + std::string(24, '-') + nl;
    const auto& fields = a.fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        t += rt::STRZERO(static_cast<double>(i + 1), 2) + ". " + rt::PADR(f.name, 11) + f.type + " " +
             rt::STR(f.len, 3) + " " + rt::STR(f.dec, 2) + nl;
    }
    t += " BROJ SLOGOVA " + std::to_string(a.reccount()) + nl;
    t += " INDEKSI:" + nl;
    for (int i = 1; i <= a.index_count(); ++i)
        t += std::to_string(i) + (i == a.order() ? "." : ". ") + a.index_key(i) + nl;
    if (!a.filter_text().empty()) t += " FILTER: " + a.filter_text() + nl;
    t += " RELACIJE:" + nl;
    int rel = 0;
    for (const auto& [key, child] : a.relations())
        t += std::to_string(++rel) + ". " + key + " -> " + child + nl;
    t += " SLOBODNA MEMORIJA " + std::to_string(free_memory_kb()) + " kB" + nl;
    return t;
}

int AFUNC(int mode, int item, int row) {
    if (mode != rt::AC::EXCEPTION) return rt::AC::CONTINUE;
    const int k = rt::LASTKEY();
    if (k == rt::K::ESC) return rt::AC::ABORT;
    if (item < 1 || item > static_cast<int>(g_areas.size())) return rt::AC::CONTINUE;
    const int n = g_areas[static_cast<size_t>(item - 1)];
    if (k == rt::K::ENTER || k == rt::K::RIGHT)
        browse_area(n);
    else if (k == rt::K::ALT_ENTER)
        show_structure(n);
    return rt::AC::CONTINUE;
}

void DBDEBUG() {
    if (_DBDEBUG) return;
    struct Guard {
        Guard() { _DBDEBUG = true; }
        ~Guard() { _DBDEBUG = false; }
    } guard;
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    const int selected = rt::dbf::current_number();
    const std::vector<int> previous_areas = g_areas;

    if (OSEK.valid()) rt::RESTSCREEN(OSEK);
    UP("Pregled Datoteka");
    g_areas = rt::dbf::used_areas();
    std::vector<uint32_t> recnos;
    std::vector<std::string> lines;
    for (int n : g_areas) {
        rt::dbf::WorkArea& a = rt::dbf::area(n);
        recnos.push_back(a.recno());
        lines.push_back(" " + rt::STRZERO(n, 2) + ". " + rt::PADR(a.alias(), 8) +
                        rt::STR(static_cast<double>(a.reccount()), 9));
    }
    if (!g_areas.empty()) {
        BOXSHAD(4, 27, 13, 51, "double");
        rt::ACHOICE(5, 28, 12, 50, lines, AFUNC);
        for (size_t i = 0; i < g_areas.size(); ++i) {
            rt::dbf::WorkArea& a = rt::dbf::area(g_areas[i]);
            if (a.used()) a.go_to(recnos[i]);
        }
    }
    g_areas = previous_areas;
    rt::dbf::select(selected);
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
}

}  // namespace tor
