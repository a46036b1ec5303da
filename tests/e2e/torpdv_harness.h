// Running the real torpdv binary headless in a fresh installation directory: key script in,
// screen dumps, exit status, files and tables out; or in a tmux window, keys typed into it.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "rt/dbf/dbf.h"
#include "rt/term/console.h"

namespace torpdv_e2e {

namespace fs = std::filesystem;

inline const std::string kBinary = std::string(TOR_BIN_DIR) + "/torpdv";

inline std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline std::vector<std::string> split_lines(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

inline std::string rstrip(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// A fresh installation directory, removed at the end (kept when TORPDV_KEEP is set).
struct Install {
    fs::path path;
    Install() {
        std::string tmpl = (fs::temp_directory_path() / "torpdv-XXXXXX").string();
        path = mkdtemp(tmpl.data());
    }
    ~Install() {
        if (std::getenv("TORPDV_KEEP")) return;
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;
    fs::path operator/(const std::string& name) const { return path / name; }
};

struct Run {
    int status = -1;
    // Each dump: 25 lines joined with "\n" (each followed by "\n"), trailing blanks cut, UTF-8.
    std::vector<std::string> screens;
    std::string out, err;
    // Line r (0-24) of dump i, trailing blanks cut.
    std::string line(size_t i, int r) const {
        std::vector<std::string> ls = split_lines(screens.at(i));
        return r < static_cast<int>(ls.size()) ? ls[r] : std::string();
    }
    const std::string& last() const { return screens.back(); }
};

struct Options {
    std::string today = "2026-03-16";           // a Monday
    std::string arg;                            // the one command-line argument, if any
    std::string pcid = "TESTPC01";              // the workstation identifier
    std::map<std::string, std::string> env;     // further environment variables
    // The program: torpdv, or the probe with its mode and arguments ("torprobe lookup ART").
    std::string binary = "torpdv";
};

// Runs torpdv in dir with the key script; screens are read from the dump file, which is
// removed afterwards so that the next run in the same installation starts a new list.
inline Run run(const Install& dir, const std::string& script, const Options& o = {}) {
    std::ofstream(dir.path / "keys.txt", std::ios::binary) << script;
    std::error_code ec;
    fs::remove(dir.path / "screen.txt", ec);
    std::string cmd = "cd '" + dir.path.string() + "' && TORPDV_KEYS=keys.txt TORPDV_SCREEN=screen.txt" +
                      " TORPDV_TODAY=" + o.today + " TORPDV_PCID=" + o.pcid +
                      " TORPDV_PRINTER=printer.out ASAN_OPTIONS=detect_leaks=0";
    for (const auto& [k, v] : o.env) cmd += " " + k + "='" + v + "'";
    if (o.binary == "torpdv") cmd += " '" + kBinary + "'";
    else cmd += " '" + std::string(TOR_BIN_DIR) + "/" + o.binary.substr(0, o.binary.find(' ')) + "'" +
                (o.binary.find(' ') == std::string::npos ? std::string() : o.binary.substr(o.binary.find(' ')));
    if (!o.arg.empty()) cmd += " '" + o.arg + "'";
    cmd += " </dev/null >out.txt 2>err.txt";
    Run r;
    int rc = std::system(cmd.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.out = slurp(dir.path / "out.txt");
    r.err = slurp(dir.path / "err.txt");
    std::string cur;
    for (const std::string& l : split_lines(slurp(dir.path / "screen.txt"))) {
        if (l == "----") {
            r.screens.push_back(cur);
            cur.clear();
            continue;
        }
        cur += rstrip(l) + "\n";
    }
    fs::remove(dir.path / "keys.txt", ec);
    return r;
}

// CP437 bytes -> the UTF-8 text a dump shows for them (for expected lines with box characters).
inline std::string cp437(const std::string& bytes) { return rt::cp437_to_utf8(bytes); }

// ---- helpers shared by the tests of the real program ----

// A run whose script starts after the start-up logo has played to its end (a key pressed while
// the logo is drawn only cuts it short and is used up by it).
inline Run go(const Install& dir, const std::string& script, const Options& o = {}) {
    return run(dir, "{pause}" + script, o);
}
inline std::string why(const Run& r) { return "status " + std::to_string(r.status) + ", stderr: " + r.err; }

// Row r of dump i as 80 CP437 bytes; n cells of it from column c.
inline std::string row_of(const Run& r, size_t i, int row) {
    std::string s = rt::utf8_to_cp437(r.line(i, row));
    s.resize(80, ' ');
    return s;
}
inline std::string cells(const Run& r, size_t i, int row, int col, int n) { return row_of(r, i, row).substr(col, n); }
inline std::string rep(char c, int n) { return std::string(n, c); }
inline std::string pad(std::string s, size_t n) {
    s.resize(n, ' ');
    return s;
}
inline std::string keys(const std::string& k, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += k;
    return s;
}
// n cells of row r of a dump (UTF-8 text) from column c; blanks where the line was cut.
inline std::string at(const std::string& screen, int r, int c, int n) {
    std::vector<std::string> ls = split_lines(screen);
    const std::string line = r < static_cast<int>(ls.size()) ? ls[r] : std::string();
    std::string s;
    int col = 0;
    for (size_t i = 0; i < line.size() && col < c + n; ++col) {
        const unsigned char ch = line[i];
        const size_t len = ch < 0x80 ? 1 : (ch >> 5) == 6 ? 2 : (ch >> 4) == 14 ? 3 : 4;
        if (col >= c) s += line.substr(i, len);
        i += len;
    }
    for (; col < c + n && col < 80; ++col)
        if (col >= c) s += ' ';
    return s;
}
// Readable form of a CP437 row for failure messages.
inline std::string show(const std::string& bytes) { return "[" + rt::cp437_to_utf8(bytes) + "]"; }
inline std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
// The key expression stored in an NTX header (offset 22, zero-terminated), in upper case.
inline std::string ntx_key(const fs::path& p) {
    std::string s = slurp(p);
    if (s.size() < 278) return "<short file>";
    std::string k = s.substr(22, 256);
    k = k.substr(0, k.find('\0'));
    for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return k;
}

// Cells a test checks: dump, row, column and the expected CP437 text.
struct Cell {
    size_t dump;
    int row, col;
    std::string text;
};
inline void expect_cells(const Run& r, const std::vector<Cell>& want) {
    for (const Cell& c : want)
        EXPECT_EQ(cells(r, c.dump, c.row, c.col, static_cast<int>(c.text.size())), c.text)
            << "dump " << c.dump << ", row " << c.row << " " << show(row_of(r, c.dump, c.row));
}

// The progress box on rows 10-14, columns 28-52, with its counter line and the start of its file
// line.
inline void expect_progress(const Run& r, size_t dump, const std::string& counter, const std::string& file) {
    expect_cells(r, {{dump, 10, 28, "\xDA" + rep('\xC4', 23) + "\xBF"}, {dump, 11, 28, "\xB3 " + counter + " \xB3"},
                     {dump, 12, 28, "\xB3" + rep('\xC4', 23) + "\xB3"}, {dump, 13, 28, "\xB3 " + file},
                     {dump, 14, 28, "\xC0" + rep('\xC4', 23) + "\xD9"}});
}

// Company "001" typed into the profile menu that an empty register opens by itself.
inline const std::string kNew001 =
    "{Enter}1{Enter}Prva Radnja{Enter}Petar{Enter}Petrovic{Enter}Beograd{Enter}{Enter}1{Enter}";

// Every record of a table read back through the table engine, field name -> value.
using Rec = std::map<std::string, rt::dbf::Value>;
inline std::vector<Rec> records(const fs::path& table) {
    rt::dbf::WorkArea a;
    EXPECT_TRUE(a.open(table.string())) << table;
    std::vector<Rec> out;
    if (!a.used()) return out;
    for (a.go_top(); !a.eof(); a.skip()) {
        Rec r;
        for (const auto& f : a.fields()) r[f.name] = a.get(f.name);
        out.push_back(r);
    }
    a.close();
    return out;
}

// The fields of a table as "NAME Tlen[.dec];" one after another.
inline std::string layout(const fs::path& table) {
    std::string s;
    for (const auto& f : rt::dbf::table_fields(table.string()))
        s += f.name + " " + f.type + std::to_string(f.len) + (f.dec ? "." + std::to_string(f.dec) : "") + ";";
    return s;
}
// A character field with its trailing blanks cut.
inline std::string str(const Rec& r, const std::string& f) {
    auto it = r.find(f);
    if (it == r.end()) return "<no field " + f + ">";
    return rstrip(std::get<std::string>(it->second));
}
// Character fields of a record against their expected values (trailing blanks cut).
inline void expect_fields(const Rec& r, const std::vector<std::pair<std::string, std::string>>& want,
                          const std::string& what = "") {
    for (const auto& [f, v] : want) EXPECT_EQ(str(r, f), v) << what << " " << f;
}

// ---- the program on a real terminal ----

inline bool have_tmux() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

// A tmux server of its own (-L) without the user's configuration (-f /dev/null).
class Pane {
public:
    explicit Pane(const Install& dir, const std::string& program = kBinary) : dir_(dir) {
        name_ = "torpdv" + std::to_string(getpid()) + "_" + std::to_string(std::time(nullptr));
        std::string cmd = "cd '" + dir.path.string() + "' && env -u TORPDV_KEYS -u TORPDV_SCREEN TORPDV_PCID=TESTPC01" +
                          " ASAN_OPTIONS=detect_leaks=0 LANG=C.UTF-8 '" + program + "'; echo \\$? > rc.txt";
        started_ = sh(tmux() + "new-session -d -x 80 -y 25 -s " + name_ + " \"" + cmd + "\"") == 0;
    }
    ~Pane() { sh(tmux() + "kill-server >/dev/null 2>&1"); }
    bool started() const { return started_; }

    // Types keys (tmux key names), then gives the program a moment (Esc is told apart from the
    // start of an escape sequence only after a short delay).
    void send(const std::string& keys) {
        sh(tmux() + "send-keys -t " + name_ + " " + keys);
        std::this_thread::sleep_for(std::chrono::milliseconds(keys == "Escape" ? 200 : 100));
    }
    void type(const std::string& text) {
        sh(tmux() + "send-keys -l -t " + name_ + " '" + text + "'");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    // The 25 rows of the pane; with_escapes: SGR sequences kept.
    std::vector<std::string> capture(bool with_escapes = false) {
        fs::path f = dir_.path / "pane.txt";
        sh(tmux() + "capture-pane -p " + (with_escapes ? "-e -N " : "") + "-t " + name_ + " > '" + f.string() + "' 2>/dev/null");
        std::vector<std::string> ls = split_lines(slurp(f));
        ls.resize(25);
        return ls;
    }
    std::string text() {
        std::string s;
        for (const std::string& l : capture()) s += rstrip(l) + "\n";
        return s;
    }
    // Captures as fast as it can until the screen satisfies ok; false after `secs` seconds.
    template <class Ok>
    bool watch(Ok ok, double secs, std::string* screen) {
        auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(secs);
        while (std::chrono::steady_clock::now() < end) {
            *screen = text();
            if (ok(*screen)) return true;
        }
        return false;
    }
    // Waits until the pane shows the text; false after a few seconds.
    bool wait_for(const std::string& what, std::string* screen = nullptr) {
        for (int i = 0; i < 100; ++i) {
            std::string s = text();
            if (screen) *screen = s;
            if (s.find(what) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    // Waits until the program has ended; its exit status, or -1.
    int wait_exit() {
        for (int i = 0; i < 100; ++i) {
            if (fs::exists(dir_.path / "rc.txt")) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return std::atoi(slurp(dir_.path / "rc.txt").c_str());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

private:
    static int sh(const std::string& c) { return std::system(c.c_str()); }
    std::string tmux() const { return "tmux -L " + name_ + " -f /dev/null "; }
    const Install& dir_;
    std::string name_;
    bool started_ = false;
};

}  // namespace torpdv_e2e

// The run ended with the status and dumped n screens (at least n); the test stops otherwise.
#define ASSERT_RUN(r, st, n)                                                    \
    do {                                                                        \
        ASSERT_EQ((r).status, st) << torpdv_e2e::why(r);                        \
        ASSERT_EQ((r).screens.size(), static_cast<size_t>(n)) << torpdv_e2e::why(r); \
    } while (0)
#define ASSERT_RUN_GE(r, st, n)                                                 \
    do {                                                                        \
        ASSERT_EQ((r).status, st) << torpdv_e2e::why(r);                        \
        ASSERT_GE((r).screens.size(), static_cast<size_t>(n)) << torpdv_e2e::why(r); \
    } while (0)
