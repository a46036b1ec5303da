// The program: the command line, start-up, and the outer loop that lets the user choose a
// company, makes sure its tables exist and runs the main menu until Esc brings the choice back.
#include <cstdio>
#include <exception>
#include <string>

#include "company/company.h"
#include "data/data.h"
#include "frame/frame.h"
#include "frame/start.h"
#include "frame/vars.h"
#include "ui/tools.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/input/menu.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

const char* const RESTART_TEXT = "Pokrenite program ponovo !";

void bind(int code, void (*procedure)()) {
    rt::SETKEY(code, [procedure](const std::string&, int, const std::string&) { procedure(); });
}

// The program-wide values every session starts with.
void initial_values() {
    WSIFKOM.clear();
    WNAZKOM.clear();
    WZIROKOM.clear();
    WMESKOM.clear();
    WULICAKOM.clear();
    WVLASNIK.clear();
    WSIFDEL.clear();
    WREGBR.clear();
    WMATBR.clear();
    WPDVKOM = false;
    WPTT.clear();
    WTELKOM.clear();
    WPIBKOM.clear();
    WJMBG.clear();
    WULICAVL.clear();
    WDATOTV = rt::Date();
    WKLASIFIKATOR.clear();
    WSIFRADEL.clear();
    KMAP = KOP = KIOP = KST = KSSO = KMUPL = KPOP = KOPOP = KDDD = KMKA = KZP = KRP = 1;
    WDATOD = DDAN;
    WDATDO = DDAN;
    _KLJUC.clear();
    SCRKALL = false;
    SL_SIFRA = false;
    PSLSIFRA = false;
    VO_TO_PASTE = 0.0;
}

// Start-up: everything before the first company choice.
void start_up() {
    ZAV_RED = rt::ROW();
    DOSEK = rt::SAVESCREEN();
    rt::SET_CONFIRM(true);
    rt::SETCURSOR(true);
    rt::SET_WRAP(true);
    rt::dbf::set_deleted(true);
    register_ui_hotkeys();
    PRESED_CENT = false;

    prepare_directories();
    KRE_DAT = 0;
    read_setup();

    COLORME();
    VLTSCR();
    OSEK = rt::SAVESCREEN();

    initial_values();
    migrate_settings();
    read_settings();
    // The toggles rewrite the settings file from MEM_VAR: bound only once it has been read.
    register_hotkeys();
    INITOSN();
    rt::RESTSCREEN(OSEK);
}

void outer_loop() {
    // Makes sure the notes table exists; the notes window itself opens on Tab.
    MESSAGE();
    for (;;) {
        rt::RESTSCREEN(OSEK);
        UP("Komitenti");
        rt::dbf::set_deleted(false);
        KOMIT();
        enter_company();
        main_menu();
        leave_company();
    }
}

// The orderly end after a break below the outer loop.
int orderly_end() {
    release_cur_user();
    DIR = OSNDIR;
    rt::SETCOLOR("W/N");
    rt::CLS();
    rt::SAY(24, 0, RESTART_TEXT);
    rt::SETCURSOR(true);
    rt::console_refresh();
    rt::console_shutdown();
    // The program's screen goes with the terminal's alternate screen: the request stays readable.
    std::printf("%s\n", RESTART_TEXT);
    return 0;
}

}  // namespace

void register_hotkeys() {
    register_ui_hotkeys();
    bind(rt::K::ALT_R, toggle::S_RAZPRENPDV);
    bind(rt::K::ALT_S, toggle::S_PRINTER);
    bind(rt::K::ALT_K, toggle::S_KALK);
    bind(rt::K::ALT_Z, toggle::S_ZALIHA);
    bind(rt::K::ALT_0, toggle::S_NULAZALIHA);
    bind(rt::K::ALT_PGDN, tor::toggle::PSLSIFRA);
    PROGRAM_SETTINGS = INS_PP;
}

void enter_company() {
    const rt::Date today = rt::clk::today();
    if (DDAN != today) PORUKA("Datum obrade je podesen na " + rt::DTOC(DDAN) + ".", 0);

    KMKA = KDDD = KOPOP = KPOP = KMUPL = KSSO = KST = KIOP = KOP = KMAP = 1;
    KRE_DAT = 0;
    SL_SIFRA = WSIFDEL == "005" || WSIFDEL == "006";

    rt::dbf::set_deleted(true);
    rt::RESTSCREEN(OSEK);
    XFIRMA = WSIFKOM + " " + rt::TRIM(WNAZKOM);
    UP(XFIRMA);
    OSEK = rt::SAVESCREEN();

    DIR = OSNDIR + WSIFKOM + "/";
    rt::os::make_dir(DIR);
    INITDAT();
    rt::dbf::close_all();
    rt::SETCOLOR(NORMAL);
    rt::RESTSCREEN(OSEK);

    // A second workstation in the same company is warned, not stopped.
    if (!hold_cur_user()) NASLOV(7, "PAZNJA: Drugi operater radi sa podacima odabranog komitenta!");
    if (!WKLASIFIKATOR.empty() && WKLASIFIKATOR[0] == 'P') PORUKA("Odabrani komitent je Pausalac !");

    BOXSHAD(2, 3, 4, 77);
    const std::string name = rt::TRIM(WNAZKOM);
    const std::string line = WPDVKOM ? "(PDV obveznik: " + name + ")" : "(" + name + " NIJE PDV obveznik)";
    const int col = (80 - static_cast<int>(line.size())) / 2;
    rt::SAY_COLOR(2, col < 0 ? 0 : col, line, SVETLO);
    KOM_FLEKA = rt::SAVESCREEN(2, 5, 2, 74);
}

void leave_company() {
    release_cur_user();
    DIR = OSNDIR;
}

int MAIN(int argc, char** argv) {
    DOSPAR = parse_switch(argc > 1 ? argv[1] : "");
    if (DOSPAR == "?") {
        std::fputs(help_text().c_str(), stdout);
        std::fflush(stdout);
        return 0;
    }
    try {
        rt::console_init();
        start_up();
        try {
            outer_loop();
        } catch (const OrderlyAbort&) {
            return orderly_end();
        }
    } catch (const ProgramExit& e) {
        release_cur_user();
        rt::console_shutdown();
        return e.status;
    } catch (const OrderlyAbort&) {
        return orderly_end();
    } catch (const rt::Error& e) {
        // A damaged table or file: the message names it; nothing more is written.
        release_cur_user();
        rt::console_fail(e.what());
    } catch (const std::exception& e) {
        release_cur_user();
        rt::console_fail(std::string("Greska: ") + e.what());
    }
    return 0;
}

}  // namespace tor
