// Files and paths in a scratch directory: case-insensitive names, masks, drive letters,
// whole-file operations, the workstation identifier and the printer device.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "rt/os/os.h"

namespace os = rt::os;

namespace {

// Sets an environment variable for the scope of a test and restores it afterwards.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name)) { had_ = true; old_ = old; }
        if (value) setenv(name, value, 1); else unsetenv(name);
    }
    ~EnvVar() { if (had_) setenv(name_.c_str(), old_.c_str(), 1); else unsetenv(name_.c_str()); }
private:
    std::string name_, old_;
    bool had_ = false;
};

class OsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/torpdv_os_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string at(const std::string& name) const { return dir_ + "/" + name; }
    void touch(const std::string& name, const std::string& data = "x") const {
        FILE* f = fopen(at(name).c_str(), "wb");
        ASSERT_NE(f, nullptr) << name;
        fwrite(data.data(), 1, data.size(), f);
        fclose(f);
    }
    std::string dir_;
};

TEST_F(OsTest, FindsExistingNamesCaseInsensitively) {
    touch("MDART.DBF", "data");
    ASSERT_EQ(mkdir(at("Firma01").c_str(), 0777), 0);
    touch("Firma01/KALK.DBF");
    EXPECT_EQ(os::resolve(at("mdart.dbf")), at("MDART.DBF"));
    EXPECT_EQ(os::file_size(at("mdart.dbf")), 4);
    EXPECT_EQ(os::resolve(at("FIRMA01/kalk.dbf")), at("Firma01/KALK.DBF"));
    EXPECT_EQ(os::resolve(dir_ + "\\FIRMA01\\Kalk.Dbf"), at("Firma01/KALK.DBF"));
    EXPECT_TRUE(os::is_dir(at("firma01")));
    // Missing names are proposed in lower case, below a missing directory too.
    EXPECT_EQ(os::resolve(at("NEW.DBF")), at("new.dbf"));
    EXPECT_EQ(os::resolve(at("NOVI/X.DBF")), at("novi/x.dbf"));
    EXPECT_FALSE(os::exists(at("MDART.NTX")));
    EXPECT_EQ(os::file_size(at("MDART.NTX")), -1);
    EXPECT_EQ(os::read_file(at("MDART.NTX")), "");
}

TEST_F(OsTest, NewFilesAndDirectoriesAreLowerCase) {
    ASSERT_TRUE(os::make_dir(at("LocalSet/Sub")));
    EXPECT_TRUE(os::is_dir(at("localset/sub")));
    ASSERT_TRUE(os::write_file(at("LocalSet/PC01.SET"), "AZURIRANJE INDEXA=1;"));
    EXPECT_EQ(os::list_dir(at("localset")), std::vector<std::string>{"pc01.set"});
    EXPECT_TRUE(os::make_dir(at("LOCALSET")));  // already there under another case
    EXPECT_EQ(os::list_subdirs(dir_), std::vector<std::string>{"localset"});
}

TEST_F(OsTest, DosMasks) {
    for (const char* n : {"a.ntx", "B.NTX", "tor001.000", "TOR001.001", "tor01.002", "readme"}) touch(n);
    ASSERT_EQ(mkdir(at("sub.ntx").c_str(), 0777), 0);
    const struct { const char* mask; std::vector<std::string> want; } cases[] = {
        {"*.ntx", {"B.NTX", "a.ntx"}},
        {"TOR???.00?", {"TOR001.001", "tor001.000"}},
        {"tor??.*", {"tor01.002"}},
        {"readme.*", {"readme"}},
        {"*.*", {"B.NTX", "TOR001.001", "a.ntx", "readme", "tor001.000", "tor01.002"}},
        {"*.dbf", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(os::list_dir(dir_, c.mask), c.want) << c.mask;
    EXPECT_TRUE(os::exists(at("*.NTX")));
    EXPECT_FALSE(os::exists(at("*.dbf")));
}

TEST_F(OsTest, CopyRenameEraseAppend) {
    EXPECT_FALSE(os::dir_has_files(dir_));
    touch("SETUP.VLT", std::string("a\0b\x1a", 4));
    touch("SETUP.RUC", "old");
    EXPECT_TRUE(os::dir_has_files(dir_));
    // The copy replaces the existing target, found under its own case, and leaves no scratch file.
    ASSERT_TRUE(os::copy_file(at("setup.vlt"), at("setup.ruc")));
    EXPECT_EQ(os::read_file(at("SETUP.RUC")), std::string("a\0b\x1a", 4));
    EXPECT_EQ(os::list_dir(dir_).size(), 2u);
    EXPECT_FALSE(os::copy_file(at("none.vlt"), at("x.vlt")));
    ASSERT_TRUE(os::rename_file(at("setup.ruc"), at("Backup.K01")));
    EXPECT_EQ(os::list_dir(dir_), (std::vector<std::string>{"SETUP.VLT", "backup.k01"}));
    EXPECT_TRUE(os::erase(at("BACKUP.K01")));
    EXPECT_FALSE(os::erase(at("BACKUP.K01")));
    ASSERT_TRUE(os::append_file(at("KOREK.LOG"), "1\r\n"));
    ASSERT_TRUE(os::append_file(at("korek.log"), "2\r\n"));
    EXPECT_EQ(os::read_file(at("korek.log")), "1\r\n2\r\n");
    EXPECT_GT(os::free_space(dir_), 0u);
}

TEST(OsPath, DriveLettersAndHelpers) {
    {
        EnvVar drive("TORPDV_DRIVE_C", "/srv/c");
            EXPECT_EQ(os::native_path("c:\\Temp\\123_07122026.prn"), "/srv/c/Temp/123_07122026.prn");
        EXPECT_EQ(os::native_path("D:\\X"), "/srv/c/X");
        EXPECT_EQ(os::native_path("C:"), "/srv/c");
    }
    {
        EnvVar drive("TORPDV_DRIVE_C", nullptr);
        EXPECT_EQ(os::native_path("C:\\dosprint.prn"), os::cwd() + "/dosprint.prn");
    }
    EXPECT_EQ(os::native_path("Temp\\PC.prn"), "Temp/PC.prn");
    // The edges of the path helpers: backslashes, no directory, the root, a dot in a directory.
    EXPECT_EQ(os::file_name("C:\\X\\Y.DBF"), "Y.DBF");
    EXPECT_EQ(os::dir_name("c"), "");
    EXPECT_EQ(os::dir_name("/c"), "/");
    EXPECT_EQ(os::ext("a.b/c"), "");
    EXPECT_EQ(os::strip_ext("a.b/c.dbf"), "a.b/c");
    EXPECT_EQ(os::join("a/", "b"), "a/b");
    EXPECT_EQ(os::join("", "b"), "b");
}

TEST(OsIdentity, WorkstationId) {
    for (auto [set, want] : {std::pair{"ab-12 cd", "AB12CD"}, std::pair{"--", "00000000"}}) {
        EnvVar id("TORPDV_PCID", set);
        EXPECT_EQ(os::workstation_id(), want) << set;
    }
    EnvVar id("TORPDV_PCID", nullptr);
    std::string w = os::workstation_id();
    ASSERT_EQ(w.size(), 8u);
    for (char c : w) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << w;
}

TEST_F(OsTest, PrinterDevice) {
    {
        EnvVar prn("TORPDV_PRINTER", at("printer.out").c_str());
        EXPECT_TRUE(os::printer_ready());
        ASSERT_TRUE(os::printer_write("\x1bG" "A\r\n"));
        ASSERT_TRUE(os::printer_write("\x0c"));
        EXPECT_EQ(os::read_file(at("printer.out")), "\x1bG" "A\r\n\x0c");
        EnvVar bad("TORPDV_PRINTER", at("no/such/dir/prn").c_str());
        EXPECT_FALSE(os::printer_ready());
    }
    EnvVar prn("TORPDV_PRINTER", nullptr);
    {
        EnvVar lp("TORPDV_LP", "/nonexistent/lp -o raw");
        EXPECT_FALSE(os::printer_ready());
        EXPECT_FALSE(os::printer_write("x"));
    }
    std::string cmd = "sh -c 'cat > " + at("piped.out") + "'";
    EnvVar lp("TORPDV_LP", cmd.c_str());
    EXPECT_TRUE(os::printer_ready());
    ASSERT_TRUE(os::printer_write("raw\x1b" "E"));
    EXPECT_EQ(os::read_file(at("piped.out")), "raw\x1b" "E");
}

TEST_F(OsTest, NewNamesAreTakenOnce) {
    touch("TOR01.000");
    EXPECT_FALSE(os::create_new_file(at("tor01.000")));  // taken under another case
    EXPECT_TRUE(os::create_new_file(at("TOR01.001")));
    EXPECT_FALSE(os::create_new_file(at("TOR01.001")));
    EXPECT_EQ(os::list_dir(dir_, "*.001"), std::vector<std::string>{"tor01.001"});
    std::string a = os::create_unique_file(dir_, "tmp", ".txt");
    std::string b = os::create_unique_file(dir_, "tmp", ".txt");
    ASSERT_FALSE(a.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(os::list_dir(dir_, "tmp?????.txt").size(), 2u);
    EXPECT_EQ(os::create_unique_file(at("missing"), "tmp", ".txt"), "");
}

}  // namespace
