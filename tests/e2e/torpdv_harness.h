// Running the real torpdv binary headless in a fresh installation directory: key script in,
// screen dumps, exit status, files and tables out.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
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

}  // namespace torpdv_e2e
