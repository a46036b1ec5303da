// The transfer of a costing into another company of the installation (goods moved between two
// shops of one owner): the costing is copied under a new number, optionally with the sign of its
// quantities reversed, the target's goods register gets the goods it lacks, and the prices of the
// goods it has are reconciled as the user chooses (the costing's prices into the register, the
// register's prices into the costing, or nothing).
#include <string>
#include <vector>

#include "calc/pricing.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "inbound/inbound.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

constexpr int WIDTH = 36;   // the text width inside the box (columns 22-57)

void say(int row, const std::string& text) { rt::SAY(row, 22, rt::PADR(text, WIDTH)); }

std::string sign_word(bool negative) { return negative ? "NEGATIVNA" : "POZITIVNA"; }

// The "+" key is the calculator everywhere else; here it is typed as the sign.
struct PlusUnbound {
    rt::HotKey previous = rt::SETKEY(rt::K::PLUS, {});
    ~PlusUnbound() { rt::SETKEY(rt::K::PLUS, previous); }
};

// The screen as it was, back on every way out.
struct ScreenBack {
    rt::ScreenImage saved = rt::SAVESCREEN();
    std::string colour = rt::SETCOLOR();
    ~ScreenBack() {
        rt::RESTSCREEN(saved);
        rt::SETCOLOR(colour);
    }
};

// Copies the fields of the current record of one area into the current record of another, by
// name, where the types agree.
void copy_record(const rt::dbf::WorkArea& from, rt::dbf::WorkArea& to) {
    for (const rt::dbf::FieldDef& f : to.fields()) {
        const int i = from.field_index(f.name);
        if (i < 0 || from.fields()[static_cast<size_t>(i)].type != f.type) continue;
        to.put(f.name, from.get(i));
    }
}

// The company tables the transfer writes, in the target company's directory; a company that was
// registered but never opened gets them now.
void ensure_tables(const std::string& dir) {
    if (!rt::os::is_dir(dir)) rt::os::make_dir(dir);
    for (const char* name : {"ukalk", "kalk", "mdart"}) {
        const TableDef* def = table_def(name);
        if (!def) continue;
        if (!rt::os::exists(dbf_path(dir + name))) CRTDBF(dir + name, def->polja);
        for (const IndexDef& ix : def->indexes) {
            if (rt::os::exists(ntx_path(dir + ix.file))) continue;
            rt::dbf::AreaScope scope;
            rt::dbf::select_free();
            MAKENTX(dir + name, ix.key, dir + ix.file);
        }
    }
}

// The work table of the transfer in the installation directory: made as a copy of the source
// table's structure when missing, opened exclusively in the current area and emptied.
bool open_work_table(const std::string& work, const std::string& source) {
    const std::string path = OSNDIR + work;
    if (!rt::os::exists(path)) rt::dbf::create_table(path, rt::dbf::table_fields(dbf_path(source)));
    rt::dbf::select_free();
    if (!rt::dbf::current().open(path, "", true)) return false;
    rt::dbf::current().zap();
    return true;
}

// Appends every record of a work table to the target table (current area) with the append lock.
bool append_work_table(const std::string& work, rt::dbf::WorkArea& target) {
    rt::dbf::WorkArea w;
    if (!w.open(OSNDIR + work, "", false)) return false;
    const int target_area = rt::dbf::current_number();
    for (w.go_top(); !w.eof(); w.skip()) {
        rt::dbf::select(target_area);
        if (!ADD_REC(0)) return false;
        copy_record(w, target);
        target.commit();
        target.unlock();
    }
    w.close();
    return true;
}

}  // namespace

void PRENOSKALK(const std::string& number, bool negative) {
    const std::string brkalk = rt::PADR(number, 6);
    ScreenBack screen;
    rt::dbf::AreaScope scope;
    rt::SETCOLOR(NORMAL);
    BOXSHAD(8, 20, 17, 59, "double");
    say(9, "Firma: " + rt::ALLTRIM(WNAZKOM));
    say(10, "Kalkulacija broj: " + brkalk + " (" + sign_word(negative) + ")");
    say(11, "PRENOS U");
    say(12, "Firma:");
    say(13, "Kalkulacija broj: ");
    say(14, "Promena znaka (+ ili -):");
    say(15, "Promena Cene Artikala:");
    say(16, "PRENOS MOZE DA POCNE:");

    // The target company.
    double firma = 0;
    {
        rt::GetList gl;
        rt::GET(gl, rt::get(12, 29, firma, "999"));
        rt::READ(gl);
        if (rt::LASTKEY() == rt::K::ESC) return;
    }
    const std::string code = rt::STRZERO(firma, 3);
    std::string short_name;
    bool known = false;
    rt::dbf::select_free();
    if (open_table("mdk_pro")) {
        rt::dbf::WorkArea& m = rt::dbf::current();
        known = m.seek(code);
        if (known) short_name = rt::ALLTRIM(m.get_str("FRNAZIVSKR"));
        m.close();
    }
    if (!known) {
        PORUKA("Pogresna sifra radnje.", 2);
        return;
    }
    say(12, "Firma: " + short_name);
    const std::string tdir = OSNDIR + code + "/";
    ensure_tables(tdir);

    // The target's header table: the number proposed after its last costing.
    rt::dbf::select_free();
    const int theader = rt::dbf::current_number();
    if (!open_table(tdir + "ukalk", "tukalk")) {
        PORUKA("Kalkulacije radnje " + code + " su zauzete na drugoj radnoj stanici !", 2);
        return;
    }
    rt::dbf::WorkArea& tu = rt::dbf::current();
    tu.go_bottom();
    double novi = tu.eof() ? 1 : rt::VAL(tu.get_str("BRKALK")) + 1;

    std::string znak = "+", cena = "N";
    {
        PlusUnbound plus;
        say(16, "( + " + sign_word(negative) + " ili - " + sign_word(!negative) + ")");
        rt::GetList gl;
        rt::GET(gl, rt::get(13, 40, novi, "999999").valid([&] { return novi != 0; }));
        rt::GET(gl, rt::get(14, 47, znak, "!").valid([&] {
            if (znak == "+" || znak == "-") return true;
            TON(1);
            return false;
        }));
        rt::GET(gl, rt::get(15, 45, cena, "!").valid([&] {
            if (cena == "D" || cena == "N" || cena == "K") return true;
            TON(1);
            return false;
        }));
        rt::READ(gl);
        if (rt::LASTKEY() == rt::K::ESC) return;
    }
    const std::string newnum = rt::STRZERO(novi, 6);
    const bool reverse = znak == "-";
    say(13, "Kalkulacija broj: " + newnum + " (" + sign_word(negative != reverse) + ")");
    say(14, std::string("Promena Cene Artikala") + (cena == "N" ? ": NE" : " na Kalkulaciji"));
    say(16, "PRENOS MOZE DA POCNE:");
    std::string start = "DA";
    {
        rt::GetList gl;
        rt::GET(gl, rt::get(16, 44, start, "!!").valid([&] { return start == "DA" || start == "NE"; }));
        rt::READ(gl);
        if (rt::LASTKEY() == rt::K::ESC || start == "NE") return;
    }

    rt::dbf::select(theader);
    if (tu.seek(newnum)) {
        PORUKA("Kalkulacija broj: " + newnum + " vec postoji. Prenos nije moguc!", 2);
        return;
    }

    // The costing goes through the two work tables, where it gets its new identity.
    PORUKA("Priprema za prenos...", 1);
    if (!open_work_table("prenosuk.dbf", "ukalk")) {
        PORUKA("Prenos je u toku na drugoj radnoj stanici !", 2);
        return;
    }
    const int wheader = rt::dbf::current_number();
    if (!open_work_table("prenosk.dbf", "kalk")) {
        PORUKA("Prenos je u toku na drugoj radnoj stanici !", 2);
        return;
    }
    const int witems = rt::dbf::current_number();

    PORUKA("Prenos podataka u toku...", 1);
    rt::Date source_date;
    bool header_copied = false;
    rt::dbf::select_free();
    if (open_table("ukalk")) {
        rt::dbf::WorkArea& u = rt::dbf::current();
        if (u.seek(brkalk)) {
            header_copied = true;
            source_date = u.get_date("DATKAL");
            rt::dbf::WorkArea& w = rt::dbf::area(wheader);
            w.append_blank();
            copy_record(u, w);
        }
        u.close();
    }
    // Without its header the costing is not carried over at all (items without a header would be
    // unreachable in the target).
    if (!header_copied) {
        rt::dbf::area(wheader).close();
        rt::dbf::area(witems).close();
        PORUKA("Prenos nije uspeo: tabele radnje " + WSIFKOM + " su zauzete na drugoj radnoj stanici !", 2);
        return;
    }
    rt::dbf::select_free();
    if (open_table("kalk")) {
        rt::dbf::WorkArea& k = rt::dbf::current();
        rt::dbf::WorkArea& w = rt::dbf::area(witems);
        for (k.seek(brkalk); !k.eof() && k.get_str("BRKALK") == brkalk; k.skip()) {
            w.append_blank();
            copy_record(k, w);
        }
        k.close();
    }

    PORUKA("Korekcija podataka u toku...", 1);
    {
        rt::dbf::WorkArea& w = rt::dbf::area(wheader);
        for (w.go_top(); !w.eof(); w.skip()) {
            w.put("BRKALK", newnum);
            w.put("DOBAV", "000");
            w.put("NAZDOB", WNAZKOM);
            w.put("MESDOB", WMESKOM);
            w.put("BRDOK", brkalk);
            w.put("DATDOK", source_date);
            w.put("DATKAL", DDAN);
            for (const char* f : {"TROSAK", "PDV", "PDV8", "PDV18", "ZAPLA"}) w.put(f, 0.0);
            w.put("DATVAL", rt::Date());
        }
        w.commit();
        w.close();
        rt::dbf::WorkArea& wi = rt::dbf::area(witems);
        for (wi.go_top(); !wi.eof(); wi.skip()) {
            wi.put("BRKALK", newnum);
            if (reverse) wi.put("KOLICINA", -wi.get_num("KOLICINA"));
        }
        wi.commit();
        wi.close();
    }

    PORUKA("Formiranje nove kalkulacije...", 1);
    rt::dbf::select(theader);
    const bool header_done = append_work_table("prenosuk.dbf", tu);
    rt::dbf::select_free();
    const int titems = rt::dbf::current_number();
    bool items_done = false;
    if (header_done && open_table(tdir + "kalk", "tkalk")) items_done = append_work_table("prenosk.dbf", rt::dbf::current());
    if (!items_done) {
        PORUKA("Prenos nije uspeo: tabele radnje " + code + " su zauzete na drugoj radnoj stanici !", 2);
        return;
    }

    // The goods of the new costing in the target's goods register.
    int other_names = 0;
    rt::dbf::select_free();
    if (open_table(tdir + "mdart", "tmdart")) {
        rt::dbf::WorkArea& g = rt::dbf::current();
        const int goods = rt::dbf::current_number();
        rt::dbf::WorkArea& k = rt::dbf::area(titems);
        for (k.seek(newnum); !k.eof() && k.get_str("BRKALK") == newnum; k.skip()) {
            rt::dbf::select(goods);
            const std::string sifart = k.get_str("SIFART");
            const KeyedAdd added = ADD_REC_KEY(sifart, [&] {
                g.put("SIFRA", sifart);
                g.put("NAZIV", k.get_str("NAZART"));
                g.put("JMERE", k.get_str("JMERE"));
                g.put("TARGR", k.get_str("TARGR"));
                g.put("NABCEN", k.get_num("FAKCEN"));
                g.put("PRODCEN", k.get_num("PRODCEN"));
            });
            if (added == KeyedAdd::ADDED) {
                g.unlock();
                continue;
            }
            if (added == KeyedAdd::FAILED) continue;
            if (rt::TRIM(g.get_str("NAZIV")) != rt::TRIM(k.get_str("NAZART"))) ++other_names;
            if (cena == "D" && REC_LOCK()) {
                g.put("NABCEN", k.get_num("FAKCEN"));
                g.put("PRODCEN", k.get_num("PRODCEN"));
                g.commit();
                g.unlock();
            } else if (cena == "K") {
                CostingItemVars v;
                v.WFAKCEN = k.get_num("FAKCEN");
                v.WPRODCEN = g.get_num("PRODCEN");
                v.WPSPOR = k.get_num("PSPOR");
                RUC_IZ_CENE(v);
                rt::dbf::select(titems);
                if (REC_LOCK()) {
                    k.put("PRODCEN", v.WPRODCEN);
                    // A margin beyond the field's width (a purchase price near 0) is not stored.
                    if (rt::ROUND(v.WRUCP, 2) > -1000 && rt::ROUND(v.WRUCP, 2) < 10000) k.put("RUCP", v.WRUCP);
                    k.commit();
                    k.unlock();
                }
            }
        }
        g.close();
    }
    if (other_names == 0) PORUKA("Prenos je uspesno izvrsen.", 2);
    else PORUKA("Preneto Dobara sa razlicitim nazivom: " + std::to_string(other_names), 2);
}

}  // namespace tor
