// The print device: bytes written for row and column moves, numbered report files, the printer
// route and its refusal, and the per-company page count.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "company/company.h"
#include "data/helpers.h"
#include "frame/vars.h"
#include "report/device.h"
#include "report/report.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"

namespace tor {
namespace {

class Device : public test::DataDir {
protected:
    void SetUp() override {
        DataDir::SetUp();
        rt::console_init_headless("");
        WSIFKOM = "001";
        unsetenv("TORPDV_PRINTER");
    }
    void TearDown() override {
        report::open_route(Route::NONE);
        unsetenv("TORPDV_PRINTER");
        DataDir::TearDown();
    }
    std::string bytes_of(const std::string& f) { return rt::os::read_file(f); }
};

TEST_F(Device, RowsColumnsPagesAndOverprint) {
    const std::string f = base("out.prn");
    ASSERT_TRUE(report::open_route(Route::FILE, f));
    PSAY(0, 0, "AB");
    PSAY(0, 5, "C");          // blanks up to the column
    EXPECT_EQ(PCOL(), 6);
    PSAY(2, 3, "D");          // two rows down, then three blanks
    PSAY(2, 1, "E");          // left of the current column: carriage return, one blank
    PRAW("\x1BG");            // printer code: no column taken
    EXPECT_EQ(PCOL(), 2);
    PSAY(1, 0, "F");          // a row above: new page, from row 0 down to row 1
    EXPECT_EQ(PROW(), 1);
    EJECT();
    EXPECT_EQ(PROW() + PCOL(), 0);
    PSAY(0, 2, "G");          // the same row after the eject: only the blanks
    print_close();
    const std::string want("AB   C\r\n\r\n   D\r E\x1BG\x0C\r\nF\x0C  G");
    EXPECT_EQ(bytes_of(f), want);
    PSAY(5, 0, "X");  // nothing goes anywhere once the destination is closed
    EXPECT_EQ(bytes_of(f), want);
}

// The screen route's file is read by the viewer line by line: an overprint is laid over the row
// (a blank never hides a printed character) instead of a bare carriage return.
TEST_F(Device, ScreenRouteLaysOverprintOverTheRow) {
    const std::string f = base("screen.prn");
    ASSERT_TRUE(report::open_route(Route::SCREEN, f));
    PSAY(0, 0, "Iznos:");
    PSAY(0, 20, "125.00");
    PSAY(0, 8, "X  Y");          // left of the current column: over the blanks between
    PSAY(0, 20, "125.00");       // printed twice for darker print: the same text
    PSAY(0, 30, "kraj");
    PSAY(1, 0, "dalje");
    print_close();
    EXPECT_EQ(bytes_of(f), std::string("Iznos:  X  Y        125.00    kraj\r\ndalje"));

    // After a page break the next header starts on a line of its own, at the first column.
    ASSERT_TRUE(report::open_route(Route::SCREEN, f));
    PSAY(62, 0, "----");
    PSAY(0, 0, "Obveznik: X");
    EJECT();
    print_close();
    EXPECT_EQ(bytes_of(f), rt::REPLICATE("\r\n", 62) + "----\x0C\r\nObveznik: X\x0C");
}

TEST_F(Device, NumberedFilesTakeTheFirstFreeNumber) {
    EXPECT_EQ(report::take_numbered_file(), base("tor001.000"));
    EXPECT_EQ(report::take_numbered_file(), base("tor001.001"));
    // A file brought over from DOS in upper case holds its number too.
    std::ofstream(base("TOR001.002")) << "x";
    EXPECT_EQ(report::take_numbered_file(), base("tor001.003"));
    // Another company counts on its own.
    WSIFKOM = "002";
    EXPECT_EQ(report::take_numbered_file(), base("tor002.000"));

    WSIFKOM = "001";
    for (int n = 4; n <= 998; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "tor001.%03d", n);
        std::ofstream(base(name)) << "";
    }
    EXPECT_EQ(report::take_numbered_file(), base("tor001.999"));
    EXPECT_EQ(report::take_numbered_file(), "");
}

TEST_F(Device, PrinterGetsTheWholeReportAtClose) {
    const std::string prn = base("printer.out");
    std::ofstream(prn) << "old;";
    setenv("TORPDV_PRINTER", prn.c_str(), 1);
    ASSERT_TRUE(report::open_route(Route::PRINTER));
    PSAY(0, 0, "A");
    PSAY(1, 0, "B");
    EXPECT_EQ(bytes_of(prn), "old;");   // one job, sent when the report is closed
    EJECT();
    print_close();
    EXPECT_EQ(bytes_of(prn), "old;A\r\nB\x0C");

    // A job the printer refuses is kept in a numbered file.
    std::ofstream(base("tor001.000")) << "earlier";
    setenv("TORPDV_PRINTER", (root_ + "/missing/printer.out").c_str(), 1);
    ASSERT_TRUE(report::open_route(Route::PRINTER));
    PSAY(0, 0, "A");
    EJECT();
    print_close();
    EXPECT_EQ(print_file(), base("tor001.001"));
    EXPECT_EQ(bytes_of(base("tor001.000")) + "|" + bytes_of(base("tor001.001")), "earlier|A\x0C");
}

TEST_F(Device, WindowsPrinterFileFollowsThePrintFolder) {
    setenv("TORPDV_DRIVE_C", root_.c_str(), 1);
    CPCID = "PC1";
    std::filesystem::create_directories(root_ + "/LocalSet");
    EXPECT_EQ(report::winprinter_file(nullptr), root_ + "/dosprint.prn");
    std::ofstream(base("LocalSet/dpPC1.set")) << "D:\\DP\\";
    EXPECT_EQ(report::winprinter_file(nullptr), root_ + "/DP/dosprint.prn");

    // The e-invoice file only when the company keeps "eracun.vlt".
    const EinvoiceTarget inv{" 101234567 ", rt::Date::ymd(2026, 3, 5)};
    EXPECT_EQ(report::winprinter_file(&inv), root_ + "/DP/dosprint.prn");
    std::ofstream(company("eracun.vlt")) << "";
    EXPECT_EQ(report::winprinter_file(&inv), root_ + "/Temp/101234567_05032026.prn");
    EXPECT_TRUE(rt::os::is_dir(root_ + "/Temp"));
    unsetenv("TORPDV_DRIVE_C");
}

class PageCount : public Device {
protected:
    void SetUp() override {
        Device::SetUp();
        const TableDef* def = table_def("brstpstr");
        ASSERT_NE(def, nullptr);
        MAKEDBF(BR_STP_STR, def->polja);
        MAKENTX(BR_STP_STR, def->indexes[0].key, OSNDIR + def->indexes[0].file);
    }
    // name -> pages, in record order.
    std::vector<std::pair<std::string, double>> counts() {
        rt::dbf::WorkArea a;
        EXPECT_TRUE(a.open(dbf_path(BR_STP_STR)));
        std::vector<std::pair<std::string, double>> out;
        for (a.go_top(); !a.eof(); a.skip()) out.emplace_back(rt::TRIM(a.get_str("NAZIV")), a.get_num("BRSTR"));
        return out;
    }
};

TEST_F(PageCount, AddsToTheCompanysRecordOrCreatesItUnlessLockedElsewhere) {
    WNAZKOM = "FIRMA AB";
    BRSTPSTR(4);
    WNAZKOM = "FIRMA";       // a name that is the beginning of another one gets its own record
    BRSTPSTR(2);
    BRSTPSTR(3);
    WNAZKOM = "FIRMA AB";
    BRSTPSTR(1);
    using P = std::pair<std::string, double>;
    EXPECT_EQ(counts(), (std::vector<P>{P{"FIRMA AB", 5}, P{"FIRMA", 5}}));

    // A record locked on another workstation keeps its count.
    test::Pipe ready, release;
    test::Child other([&] {
        rt::dbf::WorkArea a;
        if (!a.open(dbf_path(BR_STP_STR))) return false;
        a.go_to(2);
        if (!a.rlock() || !ready.send()) return false;
        release.receive();
        return true;
    });
    ASSERT_TRUE(ready.receive());
    WNAZKOM = "FIRMA";
    BRSTPSTR(7);
    release.send();
    EXPECT_EQ(other.wait(), 0);
    EXPECT_EQ(counts(), (std::vector<P>{P{"FIRMA AB", 5}, P{"FIRMA", 5}}));
}

}  // namespace
}  // namespace tor
