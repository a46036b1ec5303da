// Scratch directories and small helpers for the table-engine tests.
#pragma once
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace dbftest {

// A fresh directory under /tmp, removed with its files at the end of the test.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/tor_dbf_XXXXXX";
        char* p = mkdtemp(tmpl);
        path_ = p ? p : "/tmp";
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
    size_t a = 0;
    for (;;) {
        size_t b = s.find(sep, a);
        r.push_back(s.substr(a, b == std::string::npos ? std::string::npos : b - a));
        if (b == std::string::npos) break;
        a = b + 1;
    }
    return r;
}

}  // namespace dbftest
