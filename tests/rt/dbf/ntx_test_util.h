// Helpers for the index tests: a minimal reader of dBASE III tables (to get fields and records
// without the table engine), the fixture listings and scratch directories.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

#include "rt/dbf/field.h"

namespace ntxtest {

inline std::string fixture(const std::string& name) {
    return std::string(TOR_FIXTURES_DIR) + "/xbase/" + name;
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct MiniDbf {
    std::vector<rt::dbf::FieldDef> fields;
    std::string data;
    uint32_t count = 0;
    size_t header_len = 0, record_len = 0;
    const char* record(uint32_t n) const { return data.data() + header_len + (n - 1) * record_len; }
};

inline MiniDbf load_dbf(const std::string& path) {
    MiniDbf d;
    d.data = read_file(path);
    auto u8 = [&](size_t o) { return static_cast<unsigned char>(d.data.at(o)); };
    d.count = u8(4) | (u8(5) << 8) | (u8(6) << 16) | (static_cast<uint32_t>(u8(7)) << 24);
    d.header_len = u8(8) | (u8(9) << 8);
    d.record_len = u8(10) | (u8(11) << 8);
    int off = 1;
    for (size_t p = 32; p + 32 <= d.header_len && d.data[p] != 0x0D; p += 32) {
        rt::dbf::FieldDef f;
        f.name = std::string(d.data.c_str() + p);
        if (f.name.size() > 11) f.name.resize(11);
        f.type = d.data[p + 11];
        f.len = u8(p + 16);
        f.dec = u8(p + 17);
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

struct ListedKey {
    uint32_t rec;
    std::string key;
};

// The entries of a listing in index order.
inline std::vector<ListedKey> load_listing(const std::string& path) {
    std::vector<ListedKey> out;
    std::istringstream in(read_file(path));
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("R|", 0) != 0) continue;
        size_t a = line.find('|', 2), b = line.find('|', a + 1), c = line.find('|', b + 1);
        out.push_back({static_cast<uint32_t>(std::stoul(line.substr(2, a - 2))), line.substr(b + 1, c - b - 1)});
    }
    return out;
}

// A scratch directory removed at the end of the test.
struct TempDir {
    std::string path;
    TempDir() {
        char tmpl[] = "/tmp/ntxtestXXXXXX";
        if (!mkdtemp(tmpl)) throw std::runtime_error("mkdtemp");
        path = tmpl;
    }
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string file(const std::string& name) const { return path + "/" + name; }
};

inline uint16_t le16(const std::string& s, size_t o) {
    return static_cast<uint16_t>(static_cast<unsigned char>(s[o]) | (static_cast<unsigned char>(s[o + 1]) << 8));
}

}  // namespace ntxtest
