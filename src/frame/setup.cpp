// The setup table of the installation ("set_up.vlt", or "setup.vlt" on a network installation):
// one record with the colour and sound switches, the names printed on forms, the processing date
// and the commission margin. Read once at start-up; the switches "/B", "/Z" and "/RUC" change it.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "data/data.h"
#include "frame/frame.h"
#include "frame/start.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/console.h"

namespace tor {

namespace {

const Polja& setup_polja() {
    const TableDef* def = table_def("set_up.vlt");
    if (!def) throw rt::Error("Nepoznata struktura datoteke set_up.vlt");
    return def->polja;
}

// The values a new setup record starts with.
void put_defaults(rt::dbf::WorkArea& a) {
    const std::string blanks_line(10, '_');
    a.put("COLOR", true);
    a.put("ZVUK", true);
    a.put("SAT", false);
    a.put("SASTAVIO", blanks_line);
    a.put("MESTO", blanks_line);
    a.put("TELEFON", blanks_line);
    a.put("DAT_OBR", rt::Date());
    a.put("RUC", 20.0);
}

// Inverts a logical field of the record under a record lock.
void invert(rt::dbf::WorkArea& a, const std::string& field) {
    if (!REC_LOCK(0)) return;
    a.put(field, !a.get_bool(field));
    a.commit();
    a.unlock();
}

// "/RUC": the commission margin typed at the bottom line, stored in the record.
void ask_margin(rt::dbf::WorkArea& a) {
    double ruc = a.get_num("RUC");
    const std::string label = "Razlika u Ceni kod Komisiona:";
    rt::SAY(24, 0, label);
    rt::GetList gl;
    rt::GET(gl, rt::get(24, static_cast<int>(label.size()) + 1, ruc, "99.99").name("RUC"));
    rt::READ(gl);
    if (!REC_LOCK(0)) return;
    a.put("RUC", ruc);
    a.commit();
    a.unlock();
}

}  // namespace

std::string setup_path() { return OSNDIR + SUF; }

bool open_setup_record() {
    if (!NETUSE(setup_path())) return false;
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (a.reccount() == 0) {
        while (!ADD_REC(0)) {
        }
        put_defaults(a);
        a.commit();
        a.unlock();
    }
    a.go_to(1);
    return true;
}

// Workstations starting at the same moment create, move aside and fill the setup table one after
// the other: the installation directory itself is locked exclusively meanwhile (no extra file).
class InstallGuard {
public:
    InstallGuard() : fd_(::open(OSNDIR.empty() ? "." : OSNDIR.c_str(), O_RDONLY | O_DIRECTORY)) {
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~InstallGuard() { release(); }
    void release() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
        fd_ = -1;
    }
    InstallGuard(const InstallGuard&) = delete;
    InstallGuard& operator=(const InstallGuard&) = delete;

private:
    int fd_;
};

void read_setup() {
    SUF = rt::os::exists(OSNDIR + "novell.vlt") ? "setup.vlt" : "set_up.vlt";
    // Named as the progress box of table creation shows them: the default directory is the
    // installation directory while no company is open.
    DIR = OSNDIR;
    const std::string table = SUF;
    const std::string old_copy = "setup.ruc";
    InstallGuard guard;
    // An older setup table is moved aside once, recreated with today's fields and refilled.
    KOPIRAJ(table, old_copy, false);
    if (!rt::os::exists(dbf_path(table))) MAKEDBF(table, setup_polja());
    KOPIRAJ(table, old_copy, true);

    rt::dbf::close_all();
    rt::dbf::select(1);
    // The table is held exclusively only for the moment another workstation upgrades it.
    int attempts = 0;
    while (!open_setup_record()) {
        if (++attempts >= 20)
            throw rt::Error("Datoteka " + dbf_path(table) + " je zauzeta na drugoj radnoj stanici");
        rt::clk::sleep(0.5);
    }
    // The default record exists now: other workstations may go on.
    guard.release();
    rt::dbf::WorkArea& a = rt::dbf::current();
    if (DOSPAR == "B") invert(a, "COLOR");
    if (DOSPAR == "Z") invert(a, "ZVUK");
    if (DOSPAR == "RUC") ask_margin(a);

    COLO = a.get_bool("COLOR");
    SAST = a.get_str("SASTAVIO");
    BEEP = a.get_bool("ZVUK");
    CLOC = a.get_bool("SAT");
    MESS = a.get_str("MESTO");
    TELS = a.get_str("TELEFON");
    ZROP = a.get_str("ZR_OP");
    ZROPV = a.get_str("ZR_OPV");
    ZROPN = a.get_str("ZR_OPN");
    ZRPP = a.get_str("ZR_PP");
    const rt::Date d = a.get_date("DAT_OBR");
    DDAN = d.empty() ? rt::clk::today() : d;
    const double ruc = a.get_num("RUC");
    PROC_RUC = ruc == 0 ? 20 : ruc;
    rt::dbf::close_all();
}

}  // namespace tor
