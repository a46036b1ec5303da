// Shared set-up of the screen toolkit tests: a fresh installation directory, the virtual clock
// and the headless console driven by a key script.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor::test {

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/torui.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        OSNDIR = root_ + "/";
        DIR = root_ + "/";
        KRE_DAT = 0;
        BEEP = true;
        COLO = true;
        start("");
        rt::dbf::close_all();
        rt::dbf::select(1);
        rt::dbf::set_deleted(true);
        COLORME();
        OSEK = rt::ScreenImage{};
        CLIP = rt::ScreenImage{};
        DOSEK = rt::ScreenImage{};
        POSM = rt::ScreenImage{};
        PRESED_CENT = false;
        VO_TO_PASTE = 0.0;
    }
    void TearDown() override {
        rt::dbf::close_all();
        for (int k : {-29, 302, 303, 9, 28, 29, 402, 10}) rt::SETKEY(k, {});
        std::filesystem::remove_all(root_);
    }
    // A new key script; the clock is set to Tuesday 10 March 2026, 08:00.
    void start(const std::string& script) {
        rt::console_init_headless(script);
        rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
        rt::SETCOLOR(NORMAL);
        rt::CLS();
    }

    std::string root_;
};

// The screen from column col, n cells wide, as UTF-8.
inline std::string cells(int row, int col, int n) {
    std::string raw;
    for (int c = col; c < col + n && c < rt::COLS; ++c) raw += static_cast<char>(rt::CELL(row, c).ch);
    return rt::cp437_to_utf8(raw);
}

// A row of the screen with trailing blanks removed.
inline std::string row_text(int row) { return rt::TRIM(rt::screen_row_text(row)); }

// The rows of every screen dumped into the file, one after another, one CP437 byte per cell.
inline std::vector<std::string> read_dumps(const std::string& path) {
    std::ifstream f(path);
    std::vector<std::string> rows;
    for (std::string line; std::getline(f, line);)
        if (line != "----") rows.push_back(rt::utf8_to_cp437(line));
    return rows;
}

inline rt::Attr attr_of(const std::string& colour) { return rt::parse_color(colour).standard; }

}  // namespace tor::test
