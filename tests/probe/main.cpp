// torprobe MODE [ARGS...]: one screen of the toolkit or the report output, headless.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "company/company.h"
#include "data/data.h"
#include "frame/start.h"
#include "frame/vars.h"
#include "probe/probe.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/input/get.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace torprobe {

void enter_company(const std::string& code) {
    using namespace tor;
    WSIFKOM = code;
    WNAZKOM = "PRODAVNICA PROBA";
    WVLASNIK = "PETAR PETROVIC";
    WMESKOM = "NOVI SAD";
    WULICAKOM = "DUNAVSKA 5";
    WSIFDEL = "007";
    WPDVKOM = true;
    DIR = OSNDIR + code + "/";
    rt::os::make_dir(DIR);
    INITDAT();
    DIR = OSNDIR + code + "/";
}

}  // namespace torprobe

int main(int argc, char** argv) {
    using namespace tor;
    if (argc < 2 || !torprobe::modes().count(argv[1])) {
        std::fprintf(stderr, "torprobe MODE: unknown mode\n");
        return 2;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        rt::console_init();
        prepare_directories();
        DDAN = rt::clk::today();
        WDATOD = WDATDO = DDAN;
        rt::SET_CONFIRM(true);
        rt::SETCURSOR(true);
        COLORME();
        register_ui_hotkeys();
        const int rc = torprobe::modes()[argv[1]](args);
        rt::console_shutdown();
        return rc;
    } catch (const OrderlyAbort&) {
        rt::console_shutdown();
        std::printf("%s\n", "Pokrenite program ponovo !");
        return 4;
    } catch (const ProgramExit& e) {
        rt::console_shutdown();
        return e.status;
    } catch (const rt::Error& e) {
        rt::console_fail(e.what());
    }
}
