// Start-up: the command line, the setup record and its switches, the workstation's folders and
// identifier, the old settings file carried over, the company-in-use marker, entering a company,
// and a damaged setup table ending the program with a message instead of a crash.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>

#include <cstdio>

#include "company/company.h"
#include "frame/frame.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"
#include "start_fixture.h"

namespace tor::start_test {
namespace {

TEST(FrameCommandLine, SwitchesMatchByPrefixInUpperCaseLastMatchWinning) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "!"},      {"/?", "?"},    {"/?/B", "?"},  {"/b", "B"},   {"/B", "B"},     {"/z", "Z"},
        {"/RUC", "RUC"}, {"/rucx", "RUC"}, {"/RUCX", "RUC"}, {"/wp", "WP"}, {"/WPX", "WP"}, {"/3", "3"},
        {"/s", "S"},    {"/m", "M"},    {"/d", "CD"},   {"/U", "U"},   {"/X", "!"},     {"B", "!"},
        {"/", "!"},     {"/R", "!"},    {"-b", "!"}};
    for (const auto& [arg, want] : cases) EXPECT_EQ(parse_switch(arg), want) << "argument " << arg;
}

TEST(FrameCommandLine, HelpTextLineByLine) {
    EXPECT_EQ(help_text(),
              "PARAMETRI PROGRAMA:\n"
              "/B  - Ukljucuje/Iskljucuje Boju.\n"
              "/Z  - Ukljucuje/Iskljucuje Zvuk.\n"
              "/S  - Promena potpisa Sastavio.\n"
              "/M  - Promena ispisa Mesta na Obrascima.\n"
              "/D  - Promena Datuma Obrade.\n"
              "/U  - Promena Datuma Obrade.\n"
              "/?  - Ispis ovog Teksta.\n"
              "\n");
}

using FrameSetup = Install;

TEST_F(FrameSetup, FirstStartCreatesFoldersAndTheSetupRecordWithDefaults) {
    EXPECT_TRUE(rt::os::is_dir("Temp"));
    EXPECT_TRUE(rt::os::is_dir("LocalSet"));
    EXPECT_EQ(CPCID, "TESTPC01");
    EXPECT_EQ(TEMP_FIL, "Temp/TESTPC01.prn");
    EXPECT_EQ(OSNDIR, "./");
    EXPECT_EQ(DIR, OSNDIR);

    COLO = false, BEEP = false, CLOC = true, DDAN = rt::Date(), PROC_RUC = 0;
    read_setup();
    EXPECT_EQ(SUF, "set_up.vlt");
    EXPECT_TRUE(COLO);
    EXPECT_TRUE(BEEP);
    EXPECT_FALSE(CLOC);
    EXPECT_EQ(SAST, "__________     ");
    EXPECT_EQ(MESS, "__________     ");
    EXPECT_EQ(TELS, "__________     ");
    EXPECT_EQ(ZROP, std::string(11, ' '));
    EXPECT_EQ(ZRPP, std::string(9, ' '));
    EXPECT_EQ(DDAN, TODAY);
    EXPECT_EQ(PROC_RUC, 20);
    EXPECT_TRUE(rt::dbf::used_areas().empty());

    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open(setup_path()));
    EXPECT_EQ(a.reccount(), 1u);
    EXPECT_EQ(a.field_count(), 12);
    a.go_to(1);
    EXPECT_TRUE(a.get_date("DAT_OBR").empty());
    EXPECT_EQ(a.get_num("RUC"), 20);
}

TEST_F(FrameSetup, StoredDateAndZeroMarginAndTheNetworkSetupTable) {
    spill("novell.vlt", "");
    read_setup();
    EXPECT_EQ(SUF, "setup.vlt");
    EXPECT_FALSE(rt::os::exists("set_up.vlt"));
    {
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open(setup_path()));
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

TEST_F(FrameSetup, SwitchesInvertColourAndSoundAndTakeTheMarginForGood) {
    read_setup();
    DOSPAR = "B";
    read_setup();
    EXPECT_FALSE(COLO);
    EXPECT_TRUE(BEEP);
    DOSPAR = "Z";
    read_setup();
    EXPECT_FALSE(COLO);
    EXPECT_FALSE(BEEP);
    DOSPAR = "!";
    read_setup();
    EXPECT_FALSE(COLO);
    EXPECT_FALSE(BEEP);

    keys("15.5{Enter}");
    DOSPAR = "RUC";
    read_setup();
    EXPECT_NE(rt::screen_row_text(24).find("Razlika u Ceni kod Komisiona: 15.50"), std::string::npos)
        << rt::screen_row_text(24);
    EXPECT_DOUBLE_EQ(PROC_RUC, 15.5);
    DOSPAR = "!";
    read_setup();
    EXPECT_DOUBLE_EQ(PROC_RUC, 15.5);
}

TEST_F(FrameSetup, OlderSetupTableIsMovedAsideOnceAndRefilled) {
    // A setup table of an older version: without the margin field, colour off, a name in it.
    Polja old = table_def("set_up.vlt")->polja;
    old.pop_back();
    MAKEDBF(OSNDIR + "set_up.vlt", old);
    {
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open(setup_path()));
        ASSERT_TRUE(a.append_blank());
        a.put("COLOR", false);
        a.put("SASTAVIO", "PERA PERIC");
        a.commit();
    }
    read_setup();
    EXPECT_TRUE(rt::os::exists("setup.ruc"));
    EXPECT_FALSE(COLO);
    EXPECT_EQ(rt::TRIM(SAST), "PERA PERIC");
    EXPECT_EQ(PROC_RUC, 20);
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open(setup_path()));
    EXPECT_EQ(a.field_count(), 12);
    EXPECT_EQ(a.reccount(), 1u);
}

// The program run in a child process in the installation directory with a key script: exit
// status, standard output and standard error. before runs in the child first.
struct Ended {
    int status = -1;
    std::string out, err;
};
template <class F>
Ended run_main(const std::string& script, const char* arg, F before) {
    std::ofstream("keys.txt") << script;
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

TEST_F(FrameSetup, DamagedSetupTableEndsTheProgramWithAMessage) {
    spill("set_up.vlt", std::string(300, '\xff'));
    const Ended e = run_main("{Esc}", nullptr, [] {});
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.err.find("set_up.vlt"), std::string::npos) << e.err;
}

TEST_F(FrameSetup, BreakBelowTheOuterLoopEndsInOrder) {
    // The settings screen is reached from the profile menu an empty register opens; the break
    // comes from a key bound for the test.
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

TEST_F(FrameSetup, WorkstationMarkersAndTheOldSettingsFile) {
    unsetenv("TORPDV_PCID");
    spill("remote.sys", "");
    EXPECT_EQ(find_workstation_id(), "remote");
    spill("VDOS.LNK", "");
    EXPECT_EQ(find_workstation_id(), "vDOS");
    setenv("TORPDV_PCID", "TESTPC01", 1);
    EXPECT_EQ(find_workstation_id(), "TESTPC01");

    // The settings of an old installation come over once; the old file goes.
    std::filesystem::create_directories("windows");
    spill("windows/mem_var.vlt", "SKRACEN RACUN=1;");
    migrate_settings();
    EXPECT_FALSE(rt::os::exists("windows/mem_var.vlt"));
    EXPECT_EQ(slurp("mem_var.vlt"), "SKRACEN RACUN=1;");
    EXPECT_EQ(rt::os::read_file(settings_file()), "SKRACEN RACUN=1;");
    // A workstation that has its own file keeps it.
    rt::os::write_file(settings_file(), "SKRACEN RACUN=0;");
    migrate_settings();
    EXPECT_EQ(rt::os::read_file(settings_file()), "SKRACEN RACUN=0;");
}

using FrameCompany = Install;

// An exclusive lock on the file as another workstation's exclusive open takes it.
int lock_elsewhere(const std::string& path) {
    const int fd = ::open(rt::os::resolve(path).c_str(), O_RDWR);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -2;
    }
    return fd;
}

TEST_F(FrameCompany, MarkerHeldAcrossTableClosingAndAgainstOtherWorkstations) {
    std::filesystem::create_directories("001");
    DIR = "./001/";
    MAKEDBF("cur_user", table_def("cur_user")->polja);
    ASSERT_TRUE(hold_cur_user());
    EXPECT_TRUE(CUR_USER);
    rt::dbf::close_all();
    EXPECT_EQ(lock_elsewhere("001/cur_user.dbf"), -2);
    EXPECT_FALSE(rt::dbf::use(dbf_path("cur_user"), "", true));
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

TEST_F(FrameCompany, EnteringACompanyHeldElsewhere) {
    read_setup();
    DDAN = rt::Date::ymd(2026, 3, 2);
    WSIFKOM = "001";
    WNAZKOM = "ZIMA DOO                      ";
    WSIFDEL = "005";
    WPDVKOM = true;
    WKLASIFIKATOR = "K";
    KMAP = KOP = KZP = 4;
    OSEK = rt::SAVESCREEN();
    std::filesystem::create_directories("001");
    DIR = "./001/";
    MAKEDBF("cur_user", table_def("cur_user")->polja);
    DIR = OSNDIR;
    const int fd = lock_elsewhere("001/cur_user.dbf");
    ASSERT_GE(fd, 0);

    // The processing-date notice waits: the key typed is the user closing it.
    keys("x");
    enter_company();
    ::close(fd);
    EXPECT_EQ(rt::LASTKEY(), 'x');
    EXPECT_EQ(rt::INKEY(), 0);
    EXPECT_EQ(DIR, "./001/");
    EXPECT_TRUE(rt::os::exists("001/mdart.dbf"));
    EXPECT_FALSE(CUR_USER);
    EXPECT_TRUE(SL_SIFRA);
    EXPECT_EQ(KMAP, 1);
    EXPECT_EQ(KOP, 1);
    EXPECT_EQ(KZP, 4);
    EXPECT_EQ(XFIRMA, "001 ZIMA DOO");
    EXPECT_NE(rt::screen_row_text(8).find("PAZNJA: Drugi operater radi sa podacima odabranog komitenta!"),
              std::string::npos);
    const std::string line = "(PDV obveznik: ZIMA DOO)";
    EXPECT_EQ(cells(2, static_cast<int>(80 - line.size()) / 2, static_cast<int>(line.size())), line);
    EXPECT_EQ(KOM_FLEKA.top, 2);
    EXPECT_EQ(KOM_FLEKA.width(), 70);
    EXPECT_FALSE(on_screen("Datum obrade je podesen"));
    leave_company();
    EXPECT_EQ(DIR, OSNDIR);
}

}  // namespace
}  // namespace tor::start_test
