// Shared set-up of the data-file tests: a fresh installation directory with one company
// directory, the virtual clock, and small readers of table and index files.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "data/data.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

namespace tor::test {

class DataDir : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tordata.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        std::filesystem::create_directories(root_ + "/001");
        OSNDIR = root_ + "/";
        DIR = root_ + "/001/";
        M_PORUKE = OSNDIR + "mporuke";
        BR_STP_STR = OSNDIR + "brstpstr";
        KRE_DAT = 0;
        rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
        rt::KEYBOARD_CLEAR();
        rt::CLS();
        rt::dbf::close_all();
        rt::dbf::select(1);
        rt::dbf::set_deleted(true);
    }
    void TearDown() override {
        rt::dbf::close_all();
        set_lock_wait_observer(nullptr);
        std::filesystem::remove_all(root_);
    }
    std::string company(const std::string& f) const { return DIR + f; }
    std::string base(const std::string& f) const { return OSNDIR + f; }

    std::string root_;
};

// The key expression stored in an index file's header (offset 22, zero-terminated).
inline std::string ntx_key(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::string buf(1024, '\0');
    f.read(buf.data(), 1024);
    const size_t start = 22;
    const size_t end = buf.find('\0', start);
    return buf.substr(start, end - start);
}

// The screen from column col, n cells wide, as UTF-8.
inline std::string screen_cells(int row, int col, int n) {
    std::string raw;
    for (int c = col; c < col + n && c < rt::COLS; ++c) raw += static_cast<char>(rt::CELL(row, c).ch);
    return rt::cp437_to_utf8(raw);
}

// Runs body in a child process; the child ends with 0 when body returns true.
template <class F>
pid_t spawn(F body) {
    const pid_t pid = fork();
    if (pid == 0) {
        bool ok = false;
        try {
            ok = body();
        } catch (...) {
            ok = false;
        }
        _exit(ok ? 0 : 1);
    }
    return pid;
}

inline int wait_child(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

}  // namespace tor::test
