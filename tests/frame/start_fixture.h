// A fresh installation directory as the working directory, the workstation "TESTPC01", the
// headless console with a key script, and small readers of the files the frame writes.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "data/data.h"
#include "frame/start.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor::start_test {

inline const rt::Date TODAY = rt::Date::ymd(2026, 3, 10);

inline std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}
inline void spill(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary);
    f << text;
}

class Install : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/torstart.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        old_cwd_ = std::filesystem::current_path().string();
        std::filesystem::current_path(root_);
        setenv("TORPDV_PCID", "TESTPC01", 1);
        unsetenv("TORPDV_DRIVE_C");
        keys("");
        rt::dbf::close_all();
        rt::dbf::select(1);
        rt::dbf::set_deleted(true);
        DOSPAR = "!";
        SUF = "set_up.vlt";
        prepare_directories();
        BEEP = false;
    }
    void TearDown() override {
        release_cur_user();
        rt::dbf::close_all();
        rt::console_shutdown();
        std::filesystem::current_path(old_cwd_);
        std::filesystem::remove_all(root_);
    }
    // A new key script (the keyboard the code under test reads); the clock at TODAY.
    static void keys(const std::string& script) {
        rt::console_init_headless(script);
        rt::clk::set_virtual(TODAY);
    }
    static bool on_screen(const std::string& text) {
        return rt::screen_text().find(text) != std::string::npos;
    }

    std::string root_;
    std::string old_cwd_;
};

}  // namespace tor::start_test
