// Reading report lines, the viewer's window over a report file and the split print.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "data/helpers.h"
#include "frame/vars.h"
#include "report/device.h"
#include "report/report.h"
#include "rt/os/os.h"
#include "ui/lookup.h"

namespace tor {
namespace {

// ---- FREADLN ----

std::vector<std::string> read_lines(const std::string& bytes) {
    char tmpl[] = "/tmp/torlines.XXXXXX";
    const int fd = mkstemp(tmpl);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    std::vector<std::string> out;
    std::FILE* f = std::fopen(tmpl, "rb");
    for (int guard = 0; guard < 100; ++guard) {
        std::string line = FREADLN(f);
        if (line == FREADLN_EOF) break;
        out.push_back(line);
    }
    // The end marker stays once the file is exhausted.
    EXPECT_EQ(FREADLN(f), FREADLN_EOF);
    std::fclose(f);
    std::remove(tmpl);
    return out;
}

using Lines = std::vector<std::string>;

TEST(Freadln, LineEndsOfEveryKindAndTheLastLineWithoutOne) {
    // A line of 1024 ESC bytes cannot be told from the end; one byte shorter is a line.
    const std::string esc(1023, '\x1B');
    const std::pair<std::string, Lines> cases[] = {
        {"ab\r\ncd\r\n", {"ab", "cd"}}, {"ab\ncd\n", {"ab", "cd"}}, {"ab\rcd\r", {"ab", "cd"}},
        {"ab\r\ncd", {"ab", "cd"}}, {"ab\r\n\r\n\ncd\r", {"ab", "", "", "cd"}}, {"", {}}, {"\r\n", {""}},
        {"\x1BG" "A\x0C\r\nB", {"\x1BG" "A\x0C", "B"}},  // printer codes are bytes of the line like any other
        {esc + "\r\nx\r\n", {esc, "x"}},
    };
    for (const auto& [bytes, want] : cases) EXPECT_EQ(read_lines(bytes), want) << testing::PrintToString(bytes.substr(0, 12));
}

// ---- the viewer ----

class Viewer : public test::DataDir {
protected:
    void SetUp() override {
        DataDir::SetUp();
        CPCID = "AB12CD34";
        unsetenv("TORPDV_PRINTER");
    }
    void TearDown() override {
        unsetenv("TORPDV_PRINTER");
        DataDir::TearDown();
    }
    // Runs the viewer over the text with the key script; returns the screens dumped.
    std::vector<std::vector<std::string>> view(const std::string& text, const std::string& keys) {
        const std::string file = base("rep.prn");
        rt::os::write_file(file, text);
        const std::string screens = base("screens.txt");
        rt::console_init_headless(keys, screens);
        EXPECT_TRUE(FDISP(file, 2, 0, 23, 79, 132));
        std::vector<std::vector<std::string>> out(1);
        std::istringstream all(rt::os::read_file(screens));
        for (std::string line; std::getline(all, line);)
            if (line == "----") out.emplace_back();
            else out.back().push_back(rt::utf8_to_cp437(line));   // one byte per cell
        out.pop_back();
        return out;
    }
    static std::string numbered(int n) {
        std::string text;
        for (int i = 1; i <= n; ++i) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "Red %03d\r\n", i);
            text += buf;
        }
        return text;
    }
    // The first and the last line shown and the percent field of a screen.
    struct Window {
        std::string top, bottom, pct;
        bool operator==(const Window&) const = default;
    };
    static Window window(const std::vector<std::string>& s) {
        return {rt::TRIM(s[2]), rt::TRIM(s[23]), s[24].substr(0, 5)};
    }
};

std::string joined(const std::vector<std::string>& s) {
    std::string o;
    for (const auto& l : s) o += l + "\n";
    return o;
}

TEST_F(Viewer, AShortTextAndItsLastLineWithoutALineEnd) {
    const auto s = view("prvi\r\ndrugi\ntreci", "{dump}{Up}{dump}{Down}{dump}{End}{dump}{Esc}");
    ASSERT_EQ(s.size(), 4u);
    for (const auto& scr : s)
        EXPECT_EQ(rt::TRIM(scr[2]) + "|" + rt::TRIM(scr[4]) + "|" + rt::TRIM(scr[5]) + "|" + scr[24].substr(0, 5),
                  "prvi|treci||100% ") << joined(scr);
}

TEST_F(Viewer, SearchShowsTheMatchingLinesAndAnEmptySearchShowsAll) {
    const auto s = view(numbered(250), "red 15{Enter}{dump}{F3}xyz{Enter}{dump}{Down}{dump}{F3}{Enter}{dump}{Esc}");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(SKLJUC, "XYZ");
    EXPECT_EQ(rt::TRIM(s[0][2]) + "|" + rt::TRIM(s[0][11]) + "|" + rt::TRIM(s[0][12]) + rt::TRIM(s[0][23]), "Red 150|Red 159|");
    for (int r = 2; r <= 23; ++r) EXPECT_EQ(rt::TRIM(s[1][r]) + rt::TRIM(s[2][r]), "") << r;   // nothing matches
    EXPECT_EQ(window(s[3]), (Window{"Red 001", "Red 022", "  9% "}));
}

TEST_F(Viewer, PrintsEveryWholeLineAndLeavesNoWorkTable) {
    const std::string prn = base("printer.out");
    setenv("TORPDV_PRINTER", prn.c_str(), 1);
    const std::string wide = std::string(10, 'x') + std::string(300, ' ') + "kraj";
    const int caller = rt::dbf::select_free();
    view("Naslov   \r\n\r\n" + wide + "\r\n", "{Down}{F2}{Esc}");
    EXPECT_EQ(rt::os::read_file(prn), "Naslov\r\n\r\n" + wide + "\x0C");
    EXPECT_FALSE(rt::os::exists(base("temp/fdab12cd.dbf")));
    EXPECT_EQ(rt::dbf::current_number(), caller);
}

TEST_F(Viewer, SumOfExpendituresWithTheSearchText) {
    rt::dbf::FieldDef opis{"OPIS", 'C', 30}, vrsta{"VRSTA", 'C', 2}, str{"STRUKTURA", 'C', 3},
        iznos{"IZNOS", 'N', 12, 2};
    rt::dbf::create_table(base("rashod.dbf"), {opis, vrsta, str, iznos});
    rt::dbf::select_free();
    ASSERT_TRUE(rt::dbf::use(base("rashod.dbf"), "rashod"));
    auto& r = rt::dbf::current();
    auto add = [&](const char* o, const char* v, const char* st, double i) {
        r.append_blank();
        r.put("OPIS", o), r.put("VRSTA", v), r.put("STRUKTURA", st), r.put("IZNOS", i);
    };
    add("Gorivo za kombi", "01", "110", 1200.50);
    add("GORIVO", "02", "120", 300);
    add("Zakup", "01", "110", 5000);
    add("Struja", "03", "130", 800);
    r.go_to(3);
    const auto s = view("gorivo\r\n", "gorivo{Enter}{390}{dump}{F3}03    130{Enter}{390}{dump}{Esc}");
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0][24].substr(10, 23) + "|" + s[1][24].substr(23, 10), "Zbir Rashoda=   1500.50|    800.00");
    EXPECT_EQ(rt::dbf::area("rashod").recno(), 3u);
}

// ---- the split print ----

class Split : public Viewer {};

TEST_F(Split, LongLinesInTwoCondensedHalvesShortOnesOnBoth) {
    const std::string prn = base("printer.out");
    setenv("TORPDV_PRINTER", prn.c_str(), 1);
    // A one-line report still prints two pages.
    rt::os::write_file(base("one.prn"), "x\r\n");
    rt::console_init_headless("");
    A3A4(base("one.prn"));
    EXPECT_EQ(rt::os::read_file(prn), "x\x0Cx\x0C");
    std::filesystem::remove(prn);

    const std::string left(149, 'a');
    rt::os::write_file(base("wide.prn"), "Naslov\r\n" + left + "   bbb  \r\n\r\nkraj   ");
    rt::console_init_headless("");
    EXPECT_TRUE(A3A4(base("wide.prn")));
    const std::string on = "\x1BM\x0F", off = "\x12\x1BP";
    EXPECT_EQ(rt::os::read_file(prn), "Naslov\r\n" + on + left + off + "\r\n\r\nkraj\x0C" +
                                          "Naslov\r\n" + on + "   bbb" + off + "\r\n\r\nkraj\x0C");
    EXPECT_FALSE(rt::os::exists(base("temp/fsab12cd.dbf")));
}

}  // namespace
}  // namespace tor
