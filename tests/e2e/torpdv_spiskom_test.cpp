// The company list print driven through the real program: F2 in the company choice, the column
// chooser (Enter in the label column, digits in the position column, the hints), the list
// printed into a numbered file and read back line by line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/torpdv_harness.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/term/console.h"

namespace {

namespace fs = std::filesystem;
using namespace torpdv_e2e;
using PRun = torpdv_e2e::Run;

// The position shown in the second column of a chooser row.
std::string position_of(const std::string& row) {
    const size_t bar = row.find('\xB3');
    if (bar == std::string::npos) return "<no column>";
    std::string v = row.substr(bar + 1, 78 - bar - 1);
    v.erase(0, v.find_first_not_of(' '));
    v.erase(v.find_last_not_of(' ') + 1);
    return v;
}

// A numbered print file split at its CR LF line ends.
std::vector<std::string> print_lines(const fs::path& p) {
    const std::string text = slurp(p);
    std::vector<std::string> out;
    size_t from = 0;
    for (size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2) out.push_back(text.substr(from, at - from));
    out.push_back(text.substr(from));
    return out;
}

struct Company {
    std::string code, name, full_name, street, house, letter;
    bool deleted = false;
};

// An installation made by the program itself (the first run stops in the profile menu an empty
// register opens), then the companies written into the register and the preparer's name and
// place into the setup record.
void prepare(const Install& inst, const std::vector<Company>& companies) {
    PRun r = go(inst, "");
    ASSERT_EQ(r.status, 3) << r.err;
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open((inst / "mdk_pro.dbf").string(), "", true));
    a.set_index({(inst / "mdk_pro.ntx").string()});
    for (const Company& c : companies) {
        ASSERT_TRUE(a.append_blank());
        a.put("SIFRA_PRO", c.code);
        a.put("FRNAZIVSKR", c.name);
        a.put("FRNAZIVPUN", c.full_name);
        a.put("FRULICA", c.street);
        a.put("FRULKBR", c.house);
        a.put("FRULKBRS", c.letter);
        a.put("PRGTIPKNJ", std::string("K"));
        a.put("PRGTIPDEL", std::string("001"));
        if (c.deleted) a.delete_record();
    }
    a.commit();
    a.close();
    ASSERT_TRUE(a.open((inst / "set_up.vlt").string(), "", true));
    a.go_top();
    ASSERT_FALSE(a.eof());
    a.put("SASTAVIO", std::string("Marko Markovic"));
    a.put("MESTO", std::string("Novi Sad"));
    a.commit();
    a.close();
}

const std::vector<Company> kCompanies = {
    {"001", "MARKET", "MARKET DOO BEOGRAD", "Glavna", "12", "A"},
    {"002", "ZIMA", "ZIMA STR", "", "", "", true},
    {"003", "MLEKARA", "", "Kratka", "", ""},
};

// The first page header of the list: preparer, page, place, title, rules around the header line.
std::vector<std::string> page_head(int width, const std::string& header, bool condensed) {
    return {pad("Marko Markovic", 15) + std::string(55, ' ') + "Strana: 01",
            pad("Novi Sad", 15),
            "",
            std::string("SPISAK KOMITENATA") + (condensed ? "\x0F" : ""),
            std::string(width, '='),
            header,
            std::string(width, '=')};
}
std::string closing() { return "\x0F" + tor::SOFTWARE + " " + tor::VER + "\x12"; }

}  // namespace

// Columns chosen with Enter in the label column and a typed digit in the position column; a digit
// in the label column only shows the hint; the layout line follows every change; "S" with route
// "F" writes the list of every company (the one marked deleted too) into "tor.000"; Esc goes back
// to the company choice.
TEST(TorpdvSpiskom, ChooserAndCondensedListInANumberedFile) {
    Install inst;
    prepare(inst, kCompanies);
    PRun r = go(inst,
               "{F2}{dump}"
               "{Enter}{Enter}"                                 // R.Br: 1, kept at the second Enter
               "{Home}{Enter}"                                  // Sifra: 2
               "{Home}" + keys("{Down}", 9) + "{Right}3{Enter}"  // Naziv firme: 3, typed
               "{dump}"
               "7{dump}{pause}{dump}"                           // a digit in the label column
               "{Home}" + keys("{Down}", 9) + "{Enter}"         // Pun Naziv firme: 4
               "{Home}" + keys("{Down}", 12) + "{Enter}"        // Ulica i broj firme: 5
               "{dump}"
               "SF{dump}"
               "{Esc}{dump}");
    ASSERT_EQ(r.status, 3) << r.err;
    ASSERT_EQ(r.screens.size(), 8u) << r.err;  // and the screen when the keys run out

    // 0: the chooser's frame, title, column heads, key help and the empty layout.
    EXPECT_EQ(row_of(r, 0, 2), "\xC9" + std::string(78, '\xCD') + "\xBB") << show(row_of(r, 0, 2));
    EXPECT_EQ(cells(r, 0, 3, 18, 43), "ODABIR PODATAKA ZA STAMPU SPISKA KOMITENATA");
    EXPECT_NE(row_of(r, 0, 5).find("Redosled u Zaglavlju"), std::string::npos) << show(row_of(r, 0, 5));
    EXPECT_EQ(row_of(r, 0, 20),
              "\xBA <S>-Stampa spiska    <Enter>-prvi sledeci broj    <0...9>-rucna dodela broja \xBA");
    EXPECT_EQ(row_of(r, 0, 22), "\xBA" + pad(" Duzina Zaglavlja: ZAGLAVLJE NIJE ODABRANO!", 78) + "\xBA");
    EXPECT_EQ(row_of(r, 0, 23), "\xC8" + std::string(78, '\xCD') + "\xBC");
    // The items, labels in upper case, all at position 0.
    const std::string first = row_of(r, 0, 7);
    EXPECT_EQ(first.substr(1, 20), pad("R.BR", 20)) << show(first);
    EXPECT_EQ(position_of(first), "0") << show(first);

    // 1: three columns chosen, the one with position 1 on top.
    EXPECT_EQ(cells(r, 1, 22, 1, 78), pad(" Duzina Zaglavlja: jedan red (karaktera: 31).", 78));
    const char* chosen[] = {"R.BR", "SIFRA", "NAZIV FIRME"};
    for (int i = 0; i < 3; ++i) {
        const std::string row = row_of(r, 1, 7 + i);
        EXPECT_EQ(row.substr(1, 20), pad(chosen[i], 20)) << show(row);
        EXPECT_EQ(position_of(row), std::to_string(i + 1)) << show(row);
    }
    // 2: the hint; 3: nothing changed by it.
    EXPECT_EQ(cells(r, 2, 11, 16, 48), "Morate se pozicionirati na REDOSLED U ZAGLAVLJU!") << show(row_of(r, 2, 11));
    EXPECT_EQ(cells(r, 3, 22, 1, 78), pad(" Duzina Zaglavlja: jedan red (karaktera: 31).", 78));
    EXPECT_EQ(row_of(r, 3, 11).find("Morate"), std::string::npos);
    // 4: five columns need condensed print.
    EXPECT_EQ(cells(r, 4, 22, 1, 78), pad(" Duzina Zaglavlja: jedan red zgusnuta stampa (karaktera: 113).", 78));
    // 5: back in the chooser after the print; 6: the company choice again.
    EXPECT_EQ(cells(r, 5, 3, 18, 43), "ODABIR PODATAKA ZA STAMPU SPISKA KOMITENATA");
    expect_cells(r, {{6, 3, 4, "001 MARKET"}, {6, 4, 4, "XXX ZIMA"}, {6, 3, 36, "Esc - Izlaz iz programa"}});

    // No company entered yet: the company code is empty in the file name.
    ASSERT_TRUE(fs::exists(inst / "tor.000"));
    EXPECT_FALSE(fs::exists(inst / "tor.001"));
    std::vector<std::string> want =
        page_head(113, "R.Br Sifra Naziv firme          Pun Naziv firme      Ulica i broj firme   ", true);
    want.push_back("   1 001   " + pad("MARKET", 20) + " " + pad("MARKET DOO BEOGRAD", 50) + " " +
                   pad(pad("Glavna", 20) + " 12  A", 30) + " ");
    want.push_back("   2 002   " + pad("ZIMA", 20) + " " + pad("ZIMA STR", 50) + " " + std::string(30, ' ') + " ");
    want.push_back("   3 003   " + pad("MLEKARA", 20) + " " + std::string(50, ' ') + " " + pad("Kratka", 30) + " ");
    want.push_back(std::string(113, '=') + "\x12");
    want.push_back(closing());
    want.push_back("\x0C");
    const std::vector<std::string> got = print_lines(inst / "tor.000");
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "line " << i;

    // The catalogue stays in the installation directory, closed, with its position index.
    EXPECT_TRUE(fs::exists(inst / "mdk_op.dbf"));
    EXPECT_TRUE(fs::exists(inst / "mdk_op.ntx"));
    EXPECT_EQ(records(inst / "mdk_op.dbf").size(), 32u);
}

// "S" before any column is chosen refuses the print; the name filter of the company choice limits
// the list; a position set back to 0 takes the column out; the screen route shows the list in the
// viewer; after a company was entered and left, the file takes that company's code.
TEST(TorpdvSpiskom, RefusedPrintNameFilterAndTheCompanyCodeInTheFileName) {
    Install inst;
    prepare(inst, kCompanies);
    PRun r = go(inst,
               "{F2}S{dump}{pause}{dump}"
               // Position 99 typed: Enter on another item gives no number after it.
               "{Right}99{Enter}{Home}{Enter}{dump}{Esc}"
               "mle{Enter}{dump}"
               "{F2}{Enter}{Home}{Enter}SF{Esc}{dump}"
               "{F3}{Home}{Enter}{Esc}"
               // R.Br and Sifra chosen, Sifra set back to 0 with Enter in the position column.
               "{F2}{Enter}{Home}{Enter}{Down}{Right}{Enter}0{Enter}{dump}"
               "SE{dump}{Esc}SF{Esc}{dump}");
    ASSERT_EQ(r.status, 3) << r.err;
    ASSERT_EQ(r.screens.size(), 9u) << r.err;  // and the screen when the keys run out

    EXPECT_EQ(cells(r, 0, 11, 27, 26), "Stampa spiska nije moguca.") << show(row_of(r, 0, 11));
    EXPECT_EQ(row_of(r, 1, 11).find("Stampa spiska"), std::string::npos);
    EXPECT_EQ(cells(r, 1, 22, 1, 78), pad(" Duzina Zaglavlja: ZAGLAVLJE NIJE ODABRANO!", 78));
    // R.Br at 99 (last in position order), Sifra still 0 on top.
    EXPECT_EQ(cells(r, 2, 22, 1, 78), pad(" Duzina Zaglavlja: jedan red (karaktera: 4).", 78));
    EXPECT_EQ(cells(r, 2, 7, 1, 20), pad("SIFRA", 20)) << show(row_of(r, 2, 7));
    EXPECT_EQ(position_of(row_of(r, 2, 7)), "0");
    // Nothing was written by the refused print: the filtered list took the first number.
    EXPECT_FALSE(fs::exists(inst / "tor.001"));
    // The filter shows only the dairy, and the list holds only it.
    expect_cells(r, {{3, 3, 4, "003 MLEKARA"}, {4, 3, 4, "003 MLEKARA"}, {4, 4, 4, std::string(11, ' ')}});
    std::vector<std::string> want = page_head(10, "R.Br Sifra ", false);
    want.push_back("   1 003   ");
    want.push_back(std::string(10, '='));
    want.push_back(closing());
    want.push_back("\x0C");
    EXPECT_EQ(print_lines(inst / "tor.000"), want);

    // Sifra set back to 0: only R.Br is left.
    expect_cells(r, {{5, 22, 1, pad(" Duzina Zaglavlja: jedan red (karaktera: 4).", 78)}, {5, 7, 1, pad("R.BR", 20)}});
    EXPECT_EQ(position_of(row_of(r, 5, 7)), "1");
    EXPECT_EQ(cells(r, 5, 8, 1, 78), std::string(78, ' ')) << show(row_of(r, 5, 8));
    // The screen route: the list in the viewer, its file erased when the viewer is left.
    expect_cells(r, {{6, 2, 0, pad("Marko Markovic", 70) + "Strana: 01"}, {6, 5, 0, "SPISAK KOMITENATA"}, {6, 9, 0, "   1 "},
                     {6, 11, 0, "   3 "}, {6, 12, 0, "===="}});
    for (const char* f : {"Temp/TESTPC01.prn", "temp/TESTPC01.prn"}) EXPECT_FALSE(fs::exists(inst / f)) << f;
    EXPECT_EQ(cells(r, 7, 3, 4, 10), "001 MARKET") << show(row_of(r, 7, 3));

    // Company 001 entered and left: its code names the list file; the screen route wrote none.
    ASSERT_TRUE(fs::exists(inst / "tor001.000")) << r.err;
    EXPECT_FALSE(fs::exists(inst / "tor001.001"));
    want = page_head(4, "R.Br ", false);
    for (const char* n : {"   1 ", "   2 ", "   3 "}) want.push_back(n);
    want.push_back(std::string(4, '='));
    want.push_back(closing());
    want.push_back("\x0C");
    EXPECT_EQ(print_lines(inst / "tor001.000"), want);
}
