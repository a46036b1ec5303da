// Start-up: the command line, the setup record, the workstation's folders and identifier, the
// company-in-use marker.
#include <fcntl.h>
#include <sys/file.h>

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
