// Start-up: the command line, the setup record, the workstation's folders and identifier, the
// company-in-use marker, and a break below the outer loop ending the program in order.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <cstdio>

#include "frame/frame.h"
#include "rt/os/os.h"
#include "start_fixture.h"

namespace tor::start_test {
namespace {

TEST(FrameCommandLine, Switches) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "!"},      {"/?", "?"},     {"/?/B", "?"},  {"/b", "B"},   {"/z", "Z"},  {"/rucx", "RUC"},
        {"/WPX", "WP"}, {"/3", "3"},     {"/s", "S"},    {"/m", "M"},   {"/d", "CD"}, {"/U", "U"},
        {"/X", "!"},    {"B", "!"},      {"/R", "!"}};
    for (const auto& [arg, want] : cases) EXPECT_EQ(parse_switch(arg), want) << "argument " << arg;
}

using FrameSetup = Install;

TEST_F(FrameSetup, RecordDefaultsStoredDateZeroMarginAndTheNetworkTable) {
    EXPECT_TRUE(rt::os::is_dir("Temp") && rt::os::is_dir("LocalSet"));
    EXPECT_EQ(TEMP_FIL, "Temp/TESTPC01.prn");
    COLO = false, BEEP = false, PROC_RUC = 0;
    read_setup();
    EXPECT_TRUE(COLO && BEEP && !CLOC);
    EXPECT_EQ(SAST, "__________     ");
    EXPECT_EQ(DDAN, TODAY);
    EXPECT_EQ(PROC_RUC, 20);
    EXPECT_TRUE(rt::dbf::used_areas().empty());

    spill("novell.vlt", "");
    read_setup();
    EXPECT_EQ(SUF, "setup.vlt");
    {
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open(setup_path()));
        EXPECT_EQ(a.reccount(), 1u);
        a.go_to(1);
        ASSERT_TRUE(a.rlock());
        a.put("DAT_OBR", rt::Date::ymd(2026, 2, 27));
        a.put("RUC", 0);
        a.commit();
    }
    read_setup();
    EXPECT_EQ(DDAN, rt::Date::ymd(2026, 2, 27));
    EXPECT_EQ(PROC_RUC, 20);
}

// The program run in a child process with a key script; before runs in the child first.
struct Ended {
    int status = -1;
    std::string out, err;
};
template <class F>
Ended run_main(const std::string& script, const char* arg, F before) {
    spill("keys.txt", script);
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return {};
    rt::console_shutdown();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        setenv("TORPDV_KEYS", "keys.txt", 1);
        before();
        char prog[] = "torpdv";
        char* argv[] = {prog, const_cast<char*>(arg), nullptr};
        const int status = MAIN(arg ? 2 : 1, argv);
        std::fflush(stdout);
        _exit(status);
    }
    close(out[1]);
    close(err[1]);
    Ended e;
    char buf[512];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) e.out.append(buf, static_cast<size_t>(n));
    for (ssize_t n; (n = read(err[0], buf, sizeof buf)) > 0;) e.err.append(buf, static_cast<size_t>(n));
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    e.status = WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
    return e;
}

TEST_F(FrameSetup, BreakBelowTheOuterLoopEndsInOrder) {
    // The settings screen, reached from the profile menu an empty register opens, gets the break
    // from a key bound for the test.
    const Ended e = run_main("{pause}{Down}{Down}{Down}{Enter}{F12}", "/z", [] {
        rt::SETKEY(rt::K::F12, [](const std::string&, int, const std::string&) { throw OrderlyAbort{}; });
    });
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.out, "Pokrenite program ponovo !\n");
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open(dbf_path("./set_up.vlt")));
    a.go_to(1);
    EXPECT_FALSE(a.get_bool("ZVUK"));
}

TEST_F(FrameSetup, WorkstationMarkers) {
    unsetenv("TORPDV_PCID");
    spill("remote.sys", "");
    EXPECT_EQ(find_workstation_id(), "remote");
    spill("VDOS.LNK", "");
    EXPECT_EQ(find_workstation_id(), "vDOS");
    setenv("TORPDV_PCID", "TESTPC01", 1);
    EXPECT_EQ(find_workstation_id(), "TESTPC01");
}

// An exclusive lock on the file as another workstation's exclusive open takes it.
int lock_elsewhere(const std::string& path) {
    const int fd = ::open(rt::os::resolve(path).c_str(), O_RDWR);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -2;
    }
    return fd;
}

TEST_F(FrameSetup, CompanyMarkerHeldAcrossTableClosingAndAgainstOtherWorkstations) {
    std::filesystem::create_directories("001");
    DIR = "./001/";
    MAKEDBF("cur_user", table_def("cur_user")->polja);
    ASSERT_TRUE(hold_cur_user());
    EXPECT_TRUE(CUR_USER);
    rt::dbf::close_all();
    EXPECT_EQ(lock_elsewhere("001/cur_user.dbf"), -2);
    EXPECT_FALSE(rt::dbf::use(dbf_path("cur_user"), "", false));
    release_cur_user();
    EXPECT_FALSE(CUR_USER);
    const int fd = lock_elsewhere("001/cur_user.dbf");
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(hold_cur_user());
    EXPECT_FALSE(CUR_USER);
    ::close(fd);
    EXPECT_TRUE(hold_cur_user());
}

}  // namespace
}  // namespace tor::start_test
