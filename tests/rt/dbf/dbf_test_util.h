// Scratch directories, whole-file reads and writes, and the fixture files of another engine
// (tables, indexes and listings of their key order) for the table-engine tests.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "rt/dbf/field.h"
#include "rt/dbf/ntx.h"

namespace dbftest {

// A fresh directory under /tmp, removed with its files at the end of the test.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/tor_dbf_XXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string read_all(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline void write_all(const std::string& path, const std::string& data) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << data;
}

inline std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> r;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep)) r.push_back(part);
    if (!s.empty() && s.back() == sep) r.emplace_back();
    return r;
}

// The records of an index in key order.
inline std::vector<uint32_t> index_order(rt::dbf::NtxFile& f) {
    std::vector<uint32_t> r;
    for (uint32_t n = f.first(); n; n = f.next()) r.push_back(n);
    return r;
}

// Runs body in a child process; its exit status is 0 when body returned true.
inline pid_t spawn(const std::function<bool()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        int rc = 1;
        try {
            rc = body() ? 0 : 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "child: %s\n", e.what());
            rc = 3;
        }
        _exit(rc);
    }
    return pid;
}

// The exit status of a child, or 100 + the signal that ended it.
inline int wait_exit(pid_t pid) {
    int st = 0;
    waitpid(pid, &st, 0);
    return WIFEXITED(st) ? WEXITSTATUS(st) : 100 + WTERMSIG(st);
}

inline uint16_t le16(const std::string& s, size_t o) {
    return static_cast<uint16_t>(static_cast<unsigned char>(s[o]) | (static_cast<unsigned char>(s[o + 1]) << 8));
}

inline std::string fixture(const std::string& name) { return std::string(TOR_FIXTURES_DIR) + "/xbase/" + name; }

// A table read without the table engine: its fields and raw records.
struct MiniDbf {
    std::vector<rt::dbf::FieldDef> fields;
    std::string data;
    uint32_t count = 0;
    size_t header_len = 0, record_len = 0;
    const char* record(uint32_t n) const { return data.data() + header_len + (n - 1) * record_len; }
};

inline MiniDbf load_dbf(const std::string& path) {
    MiniDbf d;
    d.data = read_all(path);
    if (d.data.size() < 32) throw std::runtime_error("cannot read " + path);
    d.count = le16(d.data, 4) | static_cast<uint32_t>(le16(d.data, 6)) << 16;
    d.header_len = le16(d.data, 8);
    d.record_len = le16(d.data, 10);
    int off = 1;
    for (size_t p = 32; p + 32 <= d.header_len && d.data[p] != 0x0D; p += 32) {
        rt::dbf::FieldDef f;
        f.name = std::string(d.data.c_str() + p).substr(0, 11);
        f.type = d.data[p + 11];
        f.len = static_cast<unsigned char>(d.data[p + 16]);
        f.dec = static_cast<unsigned char>(d.data[p + 17]);
        if (f.type == 'C') {
            f.len += 256 * f.dec;
            f.dec = 0;
        }
        f.offset = off;
        off += f.len;
        d.fields.push_back(f);
    }
    return d;
}

// One line "R|recno|*|key|field|field..." of a listing.
struct ListedKey {
    uint32_t rec;
    std::string key;
    bool deleted = false;
    std::vector<std::string> fields;
};

// The entries of a listing in index order.
inline std::vector<ListedKey> load_listing(const std::string& path) {
    std::vector<ListedKey> out;
    for (const std::string& line : split(read_all(path), '\n')) {
        if (line.rfind("R|", 0) != 0) continue;
        auto parts = split(line, '|');
        out.push_back({static_cast<uint32_t>(std::stoul(parts[1])), parts[3], parts[2] == "*",
                       std::vector<std::string>(parts.begin() + 4, parts.end())});
    }
    return out;
}

}  // namespace dbftest
