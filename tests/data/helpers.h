// Shared set-up of the data-file tests: a fresh installation directory with one company
// directory, the virtual clock, and small readers of table and index files.
#pragma once
#include <gtest/gtest.h>
#include <signal.h>
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

// A child process running body; it ends with 0 when body returns true. A child still running
// when the test leaves (a failed assertion) is killed.
class Child {
public:
    template <class F>
    explicit Child(F body) {
        pid_ = fork();
        if (pid_ == 0) {
            bool ok = false;
            try {
                ok = body();
            } catch (...) {
                ok = false;
            }
            _exit(ok ? 0 : 1);
        }
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    // The exit status (100 + signal when killed).
    int wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
};

// A pipe used to hand a signal byte between parent and child.
struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() { EXPECT_EQ(pipe(fd), 0); }
    ~Pipe() {
        for (int f : fd)
            if (f >= 0) close(f);
    }
    bool send() {
        char c = 1;
        return write(fd[1], &c, 1) == 1;
    }
    bool receive() {
        char c;
        return read(fd[0], &c, 1) == 1;
    }
};

}  // namespace tor::test
