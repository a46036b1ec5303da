// Shared set-up of the price and rounding tests: a company directory in a fresh temporary
// installation, the headless console with a key script and its screen dumps, and the program-wide
// switches the hooks read put back after each test.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor::test {

class CalcTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/torcalc.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        std::filesystem::create_directories(root_ + "/001");
        OSNDIR = root_ + "/";
        DIR = root_ + "/001/";
        screen_file_ = root_ + "/screens.txt";
        saved_ = {WPDVKOM, WSIFDEL, KAL_TROS, KAL_REPR, KALK_FORM, WOTKUP, S_RAZPRENPDV, PROC_RUC, BEEP};
        WPDVKOM = true;
        WSIFDEL = "007";
        KAL_TROS = KAL_REPR = WOTKUP = S_RAZPRENPDV = BEEP = false;
        KALK_FORM = 1;
        PROC_RUC = 20;
        rt::dbf::close_all();
        rt::dbf::select(1);
        rt::dbf::set_deleted(true);
        start("");
    }
    void TearDown() override {
        rt::dbf::close_all();
        rt::SETKEY(rt::K::UP, {});
        std::tie(WPDVKOM, WSIFDEL, KAL_TROS, KAL_REPR, KALK_FORM, WOTKUP, S_RAZPRENPDV, PROC_RUC, BEEP) = saved_;
        std::filesystem::remove_all(root_);
    }
    // A new key script (screens dumped by {dump} go to the screen file); the clock is set to
    // Tuesday 10 March 2026.
    void start(const std::string& script) {
        std::filesystem::remove(screen_file_);
        rt::console_init_headless(script, screen_file_);
        rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
        rt::SETCOLOR(NORMAL);
        rt::CLS();
    }
    // The screens dumped so far, each as 25 lines of UTF-8.
    std::vector<std::vector<std::string>> dumps() const {
        std::ifstream f(screen_file_);
        std::vector<std::vector<std::string>> out(1);
        for (std::string line; std::getline(f, line);) {
            if (line == "----") out.emplace_back();
            else out.back().push_back(line);
        }
        out.pop_back();
        return out;
    }
    // The text inside the double frame on a row of a dumped screen, trimmed (row 11: the message box).
    static std::string message_of(const std::vector<std::string>& screen, size_t row = 11) {
        if (screen.size() <= row) return "";
        const std::string line = rt::utf8_to_cp437(screen[row]);
        const size_t l = line.find('\xBA'), r = line.rfind('\xBA');
        if (l == std::string::npos || r <= l) return "";
        return rt::ALLTRIM(line.substr(l + 1, r - l - 1));
    }
    // A company table with every index the dictionary gives it, holding no records.
    static void make_table(const std::string& name) {
        const TableDef* def = table_def(name);
        ASSERT_NE(def, nullptr);
        rt::dbf::create_table(dbf_path(name), parse_polja(def->polja));
        for (const IndexDef& ix : def->indexes) ASSERT_TRUE(MAKENTX(name, ix.key, ix.file));
    }

    std::tuple<bool, std::string, bool, bool, int, bool, bool, double, bool> saved_;
    std::string root_, screen_file_;
};

// The screen from column col, n cells wide, as CP437 bytes.
inline std::string cells(int row, int col, int n) {
    std::string raw;
    for (int c = col; c < col + n && c < rt::COLS; ++c) raw += static_cast<char>(rt::CELL(row, c).ch);
    return raw;
}

inline rt::Attr attr_of(const std::string& colour) { return rt::parse_color(colour).standard; }

}  // namespace tor::test
