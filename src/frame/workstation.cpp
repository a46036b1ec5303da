// The installation directory as this workstation sees it: the program-wide table names, the
// "Temp" and "LocalSet" folders, the workstation identifier, the settings file carried over from
// older installations, and the marker that holds the open company for this workstation.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "data/data.h"
#include "frame/frame.h"
#include "frame/start.h"
#include "frame/vars.h"
#include "rt/fmt/error.h"
#include "rt/os/os.h"

namespace tor {

namespace {
// The open file of the company's "cur_user" table while this workstation holds it.
int cur_user_fd = -1;
}  // namespace

std::string find_workstation_id() {
    const char* forced = std::getenv("TORPDV_PCID");
    if (forced && *forced) return rt::os::workstation_id();
    if (rt::os::exists(OSNDIR + "vDos.lnk")) return "vDOS";
    if (rt::os::exists(OSNDIR + "remote.sys")) return "remote";
    return rt::os::workstation_id();
}

void prepare_directories() {
    CDIR = rt::os::cwd();
    // The installation directory is the working directory; a plain relative path keeps every
    // program-wide table name apart from the company directory that DIR names later.
    OSNDIR = "./";
    DIR = OSNDIR;
    M_PORUKE = OSNDIR + "mporuke";
    BR_STP_STR = OSNDIR + "brstpstr";
    for (const char* d : {"Temp", "LocalSet"})
        if (!rt::os::dir_has_files(OSNDIR + d)) rt::os::make_dir(OSNDIR + d);
    CPCID = find_workstation_id();
    TEMP_FIL = "Temp/" + CPCID + ".prn";
}

void migrate_settings() {
    const std::string old_place = rt::os::native_path("C:\\windows\\mem_var.vlt");
    const std::string here = OSNDIR + "mem_var.vlt";
    if (rt::os::exists(old_place)) {
        if (!rt::os::exists(here)) rt::os::copy_file(old_place, here);
        // Removed only once its content is safely in the installation directory.
        if (rt::os::exists(here)) rt::os::erase(old_place);
    }
    if (rt::os::exists(here) && !rt::os::exists(settings_file())) rt::os::copy_file(here, settings_file());
}

bool hold_cur_user() {
    release_cur_user();
    const std::string path = dbf_path("cur_user");
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw rt::Error("Ne mogu da otvorim datoteku " + path);
    // The lock an exclusive open of the table takes: another workstation's exclusive or shared
    // open of the marker conflicts with it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    cur_user_fd = fd;
    CUR_USER = true;
    return true;
}

void release_cur_user() {
    if (cur_user_fd >= 0) ::close(cur_user_fd);
    cur_user_fd = -1;
    CUR_USER = false;
}

}  // namespace tor
