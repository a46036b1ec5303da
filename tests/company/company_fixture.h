// A fresh installation directory with the company registers, companies written straight into
// "mdk_pro", and the company choice driven by a key script.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
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

using Fields = std::map<std::string, std::string>;

class CompanyDir : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/torcomp.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = tmpl;
        OSNDIR = root_ + "/";
        DIR = OSNDIR;
        screen_file_ = root_ + "/screen.txt";
        rt::clk::set_virtual(rt::Date::ymd(2026, 3, 10));
        rt::console_init_headless("");
        rt::dbf::close_all();
        rt::dbf::select(1);
        rt::dbf::set_deleted(true);
        KO_JE = 0;
        S_INDEX = false;
        INITOSN();
    }
    void TearDown() override {
        rt::dbf::close_all();
        rt::dbf::set_deleted(true);
        std::filesystem::remove_all(root_);
    }

    // Appends a company with the given fields (names of "mdk_pro"; a D field as "yyyymmdd").
    void add(const std::string& code, Fields f = {}, bool deleted = false) {
        rt::dbf::select(1);
        ASSERT_TRUE(open_table("mdk_pro"));
        rt::dbf::WorkArea& a = rt::dbf::current();
        ASSERT_TRUE(a.append_blank());
        a.put("SIFRA_PRO", code);
        for (const auto& [name, value] : f) {
            const int i = a.field_index(name);
            ASSERT_GE(i, 0) << name;
            if (a.fields()[static_cast<size_t>(i)].type == 'D') a.put(name, rt::STOD(value));
            else a.put(name, value);
        }
        if (deleted) a.delete_record();
        a.commit();
        a.close();
    }

    // Opens the register in area 1 positioned on the company.
    void open_on(const std::string& code) {
        rt::dbf::select(1);
        ASSERT_TRUE(open_table("mdk_pro"));
        ASSERT_TRUE(rt::dbf::current().seek(code));
    }
    // The fields of a company as stored ("" for every field when it is missing).
    Fields record(const std::string& table, const std::string& key) {
        Fields out;
        rt::dbf::select(1);
        EXPECT_TRUE(open_table(table));
        rt::dbf::WorkArea& a = rt::dbf::current();
        if (a.seek(key)) {
            for (const auto& fd : a.fields()) {
                if (fd.type == 'D') out[fd.name] = rt::DTOS(a.get_date(fd.name));
                else out[fd.name] = a.get_str(fd.name);
            }
        }
        a.close();
        return out;
    }
    int count(const std::string& table) {
        rt::dbf::select(1);
        EXPECT_TRUE(open_table(table));
        const int n = static_cast<int>(rt::dbf::current().reccount());
        rt::dbf::current().close();
        return n;
    }

    // Runs the company choice with the key script; the short name it returns.
    std::string komit(const std::string& script) {
        std::filesystem::remove(screen_file_);
        rt::console_init_headless(script, screen_file_);
        return KOMIT();
    }
    // The screens dumped by {dump}, each as 25 lines.
    std::vector<std::vector<std::string>> dumps() const {
        std::ifstream f(screen_file_);
        std::vector<std::vector<std::string>> out(1);
        std::string line;
        while (std::getline(f, line)) {
            if (line == "----") out.emplace_back();
            else out.back().push_back(line);
        }
        out.pop_back();
        return out;
    }

    std::string root_;
    std::string screen_file_;
};

// A row of a dumped screen from column col, n cells, as CP437 bytes.
inline std::string cut(const std::string& row, int col, int n) {
    return rt::utf8_to_cp437(row).substr(static_cast<size_t>(col), static_cast<size_t>(n));
}

}  // namespace tor::test
