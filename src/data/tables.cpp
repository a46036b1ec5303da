// Field definitions, creation and upgrade of tables, creation of indexes, the shared open, the
// one-time migration helper and deletion by mask.
#include <cctype>
#include <string>

#include "data/data.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace tor {

namespace {

std::string with_dir(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    return DIR + name;
}

// The table's records are visible whatever their delete mark while this lives.
struct ShowDeleted {
    bool previous;
    ShowDeleted() : previous(rt::dbf::set_deleted(false)) {}
    ~ShowDeleted() { rt::dbf::set_deleted(previous); }
};

std::string two_digits(size_t n) {
    std::string s = std::to_string(n);
    return s.size() < 2 ? "0" + s : s;
}

std::string upgrade_warning(const std::string& file) {
    return "PAZNJA:; Doslo je do promene u strukturi baze " + rt::UPPER(file) +
           ".; Ukoliko radite u mreznom okruzenju obavezno uradite sledece:;"
           " ; NEKA SVI OSTALI KORISNICI IZADJU IZ PROGRAMA.; AKO STE POTPUNO SIGURNI DA NIKO SEM VAS NIJE U PROGRAMU"
           " ; PRITISNITE ENTER I SACEKAJTE DA PROGRAM IZVRSI POTREBNE IZMENE.; UKOLIKO NE URADITE KAKO JE NAVEDENO RIZIKUJETE GUBITAK PODATAKA.;"
           " ; Ako ste pojedinacan korisnik pritisnite Enter i sacekajte.; ; Program ceka da potvrdite izmenu strukture...; ;";
}

}  // namespace

rt::dbf::FieldDef parse_polje(std::string_view def) {
    std::string d(def);
    if (d.size() < 14) d.resize(14, ' ');
    rt::dbf::FieldDef f;
    f.name = rt::UPPER(rt::ALLTRIM(d.substr(0, 10)));
    const char type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[10])));
    const std::string width = d.substr(11, 2);
    const char decimals = d[13];
    const bool width_ok = std::isdigit(static_cast<unsigned char>(width[0])) ||
                          (width[0] == ' ' && std::isdigit(static_cast<unsigned char>(width[1])));
    const bool width_tail_ok = width[1] == ' ' || std::isdigit(static_cast<unsigned char>(width[1]));
    if (f.name.empty() || std::string("CNDL").find(type) == std::string::npos || !width_ok ||
        !width_tail_ok || !(decimals == ' ' || std::isdigit(static_cast<unsigned char>(decimals))))
        throw rt::Error("Neispravna definicija polja: \"" + std::string(def) + "\"");
    f.type = type;
    f.len = static_cast<int>(rt::VAL(width));
    const int dec = decimals == ' ' ? 0 : decimals - '0';
    if (f.len <= 0) throw rt::Error("Neispravna definicija polja: \"" + std::string(def) + "\"");
    if (type == 'C') {
        f.len += 256 * dec;
        f.dec = 0;
    } else if (type == 'N') {
        f.dec = dec;
    } else {
        f.dec = 0;
    }
    return f;
}

std::vector<rt::dbf::FieldDef> parse_polja(const Polja& defs) {
    std::vector<rt::dbf::FieldDef> fields;
    fields.reserve(defs.size());
    for (const std::string& d : defs) fields.push_back(parse_polje(d));
    return fields;
}

std::string dbf_path(const std::string& name) {
    std::string p = with_dir(name);
    if (rt::os::ext(p).empty()) p += ".dbf";
    return rt::os::resolve(p);
}

std::string ntx_path(const std::string& name) {
    std::string p = with_dir(name);
    if (rt::os::file_name(p).find('.') == std::string::npos) p += ".ntx";
    return rt::os::resolve(p);
}

void kre_dat_box(bool index, const std::string& file_name) {
    ++KRE_DAT;
    rt::CLEAR_RECT(10, 28, 14, 52);
    rt::BOX(10, 28, 14, 52, FRAME_SINGLE);
    rt::SAY(11, 30, std::string(index ? "Kreiram indekse..." : "Kreiram datoteku..") + rt::STRZERO(KRE_DAT, 3));
    rt::SAY(12, 29, std::string(23, '\xC4'));
    rt::CLEAR_RECT(13, 29, 13, 51);
    rt::SAY(13, 30, "Datoteka: " + (file_name.size() > 12 ? rt::RIGHT(file_name, 11) : file_name));
    rt::console_refresh();
}

bool MAKEDBF(const std::string& file, const Polja& defs) {
    const std::vector<rt::dbf::FieldDef> fields = parse_polja(defs);
    kre_dat_box(false, file);
    rt::dbf::create_table(dbf_path(file), fields);
    return true;
}

bool CRTDBF(const std::string& name, const Polja& defs) {
    const std::string path = dbf_path(name);
    if (!rt::os::exists(path)) return MAKEDBF(name, defs);
    rt::dbf::AreaScope scope;
    rt::dbf::WorkArea& old_area = rt::dbf::current();
    // A table held exclusively elsewhere cannot be counted: it is left alone this time, never
    // taken for a table with fewer fields.
    if (!old_area.open(path, "STARA", false)) return false;
    const size_t have = static_cast<size_t>(old_area.field_count());
    old_area.close();
    if (have >= defs.size()) return true;

    // The upgrade holds the old table exclusively from start to end: when someone else has it
    // open, it waits for the next company entry.
    if (!old_area.open(path, "STARA", true)) return false;
    if (static_cast<size_t>(old_area.field_count()) >= defs.size()) return true;
    const uint32_t records = old_area.reccount();

    HELPKEY = upgrade_warning(rt::os::file_name(path));
    HELPBOX();

    // The old file stays as a copy; the new table is built and filled under a temporary name
    // and replaces the old file only when it holds every record.
    const std::string base = rt::os::strip_ext(path);
    const std::string copy = rt::os::resolve(base + ".K" + two_digits(defs.size()));
    if (!rt::os::copy_file(path, copy)) throw rt::Error("Ne mogu da kopiram " + path + " u " + copy);
    const std::string temp = rt::os::resolve(base + ".tmp");
    const std::vector<rt::dbf::FieldDef> fields = parse_polja(defs);
    kre_dat_box(false, name);
    rt::dbf::create_table(temp, fields);
    uint32_t filled = 0;
    try {
        ShowDeleted show;
        rt::dbf::select_free();
        rt::dbf::WorkArea& fresh = rt::dbf::current();
        if (!fresh.open(temp, "NOVA", true)) throw rt::Error("Ne mogu da otvorim " + temp);
        fresh.append_from(copy);
        fresh.commit();
        filled = fresh.reccount();
        fresh.close();
    } catch (...) {
        rt::dbf::current().close();
        rt::os::erase(temp);
        throw;
    }
    if (filled != records) {
        rt::os::erase(temp);
        throw rt::Error("Promena strukture " + path + " nije uspela: prepisano " + std::to_string(filled) + " od " +
                        std::to_string(records) + " zapisa");
    }
    if (!rt::os::rename_file(temp, path)) throw rt::Error("Ne mogu da zamenim " + path);
    old_area.close();
    return true;
}

bool MAKENTX(const std::string& table, const std::string& key, const std::string& index_file) {
    const std::string ip = ntx_path(index_file);
    if (rt::os::exists(ip)) return true;
    rt::dbf::WorkArea& a = rt::dbf::current();
    a.close();
    if (!a.open(dbf_path(table), "", false)) return false;
    // The table lock keeps other workstations from changing records while the keys are sorted.
    if (!FIL_LOCK(0)) {
        a.close();
        return false;
    }
    kre_dat_box(true, index_file);
    a.create_index(key, ip);
    a.unlock();
    a.close();
    return true;
}

bool NETUSE(const std::string& table, const std::string& alias, bool exclusive) {
    return rt::dbf::use(dbf_path(table), alias, exclusive);
}

bool open_table(const std::string& table, const std::string& alias, bool exclusive) {
    const TableDef* def = table_def(table);
    std::string name = table;
    if (def && table.find('/') == std::string::npos && def->where == Where::PROGRAM)
        name = (OSNDIR.empty() ? std::string("./") : OSNDIR) + table;
    if (!NETUSE(name, alias, exclusive)) return false;
    if (def && !def->indexes.empty()) {
        const std::string dir = rt::os::dir_name(dbf_path(name));
        std::vector<std::string> files;
        for (const IndexDef& ix : def->indexes)
            files.push_back(ntx_path(dir.empty() ? "./" + ix.file : rt::os::join(dir, ix.file)));
        rt::dbf::current().set_index(files);
    }
    return true;
}

void KOPIRAJ(const std::string& table, const std::string& copy, bool fill, int exact) {
    const std::string tp = dbf_path(table);
    const std::string cp = dbf_path(copy);
    const bool table_exists = rt::os::exists(tp);
    const bool copy_exists = rt::os::exists(cp);
    rt::dbf::AreaScope scope;
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (table_exists && !copy_exists && !fill) {
        if (!a.open(tp, "", false)) return;
        const int count = a.field_count();
        a.close();
        if (count < exact) {
            // The table file is erased only once its copy is safely there.
            if (rt::os::copy_file(tp, cp)) rt::os::erase(tp);
        }
    } else if (table_exists && copy_exists && fill) {
        if (!a.open(cp, "", false)) return;
        const bool had_records = a.reccount() > 0;
        a.close();
        if (!a.open(tp, "", false)) return;
        if (a.reccount() == 0 && had_records) {
            ShowDeleted show;
            a.append_from(cp);
            a.commit();
        }
        a.close();
    }
}

bool BRISIF(const std::string& dir, const std::string& mask) {
    bool all = true;
    const std::string d = dir.empty() ? std::string(".") : dir;
    for (const std::string& f : rt::os::list_dir(d, mask)) {
        const std::string p = rt::os::file_name(f) == f ? rt::os::join(d, f) : f;
        if (!rt::os::erase(p)) all = false;
    }
    RE_SET = true;
    return all;
}

}  // namespace tor
