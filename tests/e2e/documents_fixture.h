// A company ready for documents, for the end-to-end tests of the costings and invoices: company
// 001 made through the program, its register record given the business data the documents print
// (VAT payer unless asked otherwise), and goods and partners written straight into the registers.
//
//   Install inst;  prepare_company(inst);               // activity "001", VAT payer
//   Run r = go(inst, kEnter001 + "211" ...);            // main menu: 2.Unos, 1.Zaduzenje, 1.Kalkulacija
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "e2e/torpdv_harness.h"
#include "rt/dbf/dbf.h"

namespace torpdv_docs {

using namespace torpdv_e2e;
using Fields = std::vector<std::pair<const char*, rt::dbf::Value>>;
// Inside a TEST body the name Run is gtest's; the tests say Result.
using Result = torpdv_e2e::Run;

// From the start of the program to the main menu of company 001 (made by prepare_company).
inline const std::string kEnter001 = "{Enter}";
// Out of the main menu and the program from there.
inline const std::string kQuit = "{Esc}{Esc}D";

// Appends the rows to a table, keeping the listed indexes up to date.
inline void fill(const fs::path& table, const std::vector<std::string>& indexes, const std::vector<Fields>& rows) {
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open(table.string())) << table;
    std::vector<std::string> ntx;
    for (const std::string& i : indexes) ntx.push_back((table.parent_path() / (i + ".ntx")).string());
    if (!ntx.empty()) a.set_index(ntx);
    for (const Fields& r : rows) {
        ASSERT_TRUE(a.append_blank());
        for (const auto& [f, v] : r) a.put(f, v);
    }
    a.unlock();
    a.commit();
    a.close();
}

// Changes fields of the first record of a table (fields outside its indexes).
inline void patch_first(const fs::path& table, const Fields& values) {
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open(table.string())) << table;
    a.go_top();
    ASSERT_FALSE(a.eof()) << table;
    ASSERT_TRUE(a.rlock()) << table;
    for (const auto& [f, v] : values) a.put(f, v);
    a.unlock();
    a.commit();
    a.close();
}

// A report file (tor001.NNN) with its printer codes written out as <ESC>, <SI>, <DC2>, <SO>, <DC4>,
// <FF>, so that the comparison with an expected text stays exact and readable; split at CR LF.
inline std::vector<std::string> report_lines(const Install& inst, const std::string& name) {
    std::string s = slurp(inst / name), out;
    for (char c : s) {
        switch (c) {
        case '\x1B': out += "<ESC>"; break;
        case '\x0F': out += "<SI>"; break;
        case '\x12': out += "<DC2>"; break;
        case '\x0E': out += "<SO>"; break;
        case '\x14': out += "<DC4>"; break;
        case '\x0C': out += "<FF>"; break;
        default: out += c;
        }
    }
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at; (at = out.find("\r\n", from)) != std::string::npos; from = at + 2) lines.push_back(out.substr(from, at - from));
    lines.push_back(out.substr(from));
    return lines;
}

// The report file compared line by line with an expected text of the folder (below tests/).
inline void expect_report(const Install& inst, const std::string& file, const std::string& folder,
                          const std::string& expected) {
    const std::vector<std::string> got = report_lines(inst, file),
                                   want = split_lines(slurp(fs::path(TOR_SOURCE_DIR) / "tests" / folder / expected));
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i)
        EXPECT_EQ(i < got.size() ? got[i] : "<none>", i < want.size() ? want[i] : "<none>") << file << " line " << i + 1;
}

// A second workstation in a tmux pane: the program started, company 001 entered, the menu keys
// typed, until the screen shows what. False (with the last screen in *screen) when it did not.
inline bool pane_at(Pane& pane, const std::string& menu_keys, const std::string& what, std::string* screen) {
    if (!pane.started() || !pane.wait_for("PRVA RADNJA", screen)) return false;
    pane.send("Enter");
    if (!pane.wait_for("1.Maticni podaci", screen)) return false;
    pane.type(menu_keys);
    return pane.wait_for(what, screen);
}

struct CompanySetup {
    std::string activity = "001";   // PRGTIPDEL: "001", "002", "005", "009" ...
    bool vat = true;                // VAT payer (a VAT certificate number)
    bool goods = true;              // the goods below in "mdart"
    bool partners = true;           // the partners below in "mddob"
};

// Company 001 "PRVA RADNJA" of Petar Petrovic, Beograd, Knez Mihailova 5, PIB 101234569, VAT
// certificate 123456789 (when vat), tax payer code 1234567-8, activity code 47110.
// Goods (code, name, unit, group, purchase price, selling price, stock 0):
//   000001 HLEB BELI 500G      KOM 010   40.000   55.000
//   000002 MLEKO 2.8% 1L       KOM 010   80.000  110.000
//   000003 KAFA MLEVENA 200G   KOM 020  250.000  360.000
//   000004 SOK OD JABUKE 1L    KOM 020   90.000  150.000
//   000005 SECER KRISTAL       KG  018   70.000   99.000
//   000006 PREVOZ ROBE         SAT 020    0.000 1200.000  (a service)
// Partners: 0001 AGROPROMET DOO, Novi Sad, Futoska 10, PIB 100200300, VAT number 111222333;
//           0002 JOVAN JOVIC, Sabac, Seoska 2, PIB 1505980710147 (personal number), no VAT number;
//           0003 MARKET CENTAR DOO, Beograd, Bulevar 1, PIB 104567890, VAT number 222333444.
// Obligation: 9001 PORESKA UPRAVA.
inline void prepare_company(const Install& inst, const CompanySetup& c = {}) {
    Run r = go(inst, kNew001 + "{Enter}{Esc}{Esc}D");
    ASSERT_EQ(r.status, 0) << why(r);
    patch_first(inst / "mdk_pro.dbf",
                {{"PRGTIPDEL", c.activity}, {"FRULICA", "Knez Mihailova"}, {"FRULKBR", "5"},
                 {"FRPIB", "101234569"}, {"FRPEPDV", c.vat ? "123456789" : ""}, {"FRPORRAC", "1234567"},
                 {"FRPORRACKB", "8"}, {"FRDELSIF", "47110"}, {"FRTELBR", "1234567"},
                 {"FRBANKA1R", "160-123456-78"}});
    if (c.goods)
        fill(inst / "001" / "mdart.dbf", {"mdart", "mdart1"},
             {{{"SIFRA", "000001"}, {"NAZIV", "HLEB BELI 500G"}, {"JMERE", "KOM"}, {"TARGR", "010"},
               {"NABCEN", 40.0}, {"PRODCEN", 55.0}},
              {{"SIFRA", "000002"}, {"NAZIV", "MLEKO 2.8% 1L"}, {"JMERE", "KOM"}, {"TARGR", "010"},
               {"NABCEN", 80.0}, {"PRODCEN", 110.0}},
              {{"SIFRA", "000003"}, {"NAZIV", "KAFA MLEVENA 200G"}, {"JMERE", "KOM"}, {"TARGR", "020"},
               {"NABCEN", 250.0}, {"PRODCEN", 360.0}},
              {{"SIFRA", "000004"}, {"NAZIV", "SOK OD JABUKE 1L"}, {"JMERE", "KOM"}, {"TARGR", "020"},
               {"NABCEN", 90.0}, {"PRODCEN", 150.0}},
              {{"SIFRA", "000005"}, {"NAZIV", "SECER KRISTAL"}, {"JMERE", "KG"}, {"TARGR", "018"},
               {"NABCEN", 70.0}, {"PRODCEN", 99.0}},
              {{"SIFRA", "000006"}, {"NAZIV", "PREVOZ ROBE"}, {"JMERE", "SAT"}, {"TARGR", "020"},
               {"PRODCEN", 1200.0}, {"USLUGA", true}}});
    if (c.partners)
        fill(inst / "001" / "mddob.dbf", {"mddob"},
             {{{"SIFRA", "0001"}, {"NAZIV", "AGROPROMET DOO"}, {"MESTO", "Novi Sad"}, {"ULICA", "Futoska 10"},
               {"PTT", "21000"}, {"PIB", "100200300"}, {"PEPDV", "111222333"}},
              {{"SIFRA", "0002"}, {"NAZIV", "JOVAN JOVIC"}, {"MESTO", "Sabac"}, {"ULICA", "Seoska 2"},
               {"PTT", "15000"}, {"PIB", "1505980710147"}},
              {{"SIFRA", "0003"}, {"NAZIV", "MARKET CENTAR DOO"}, {"MESTO", "Beograd"}, {"ULICA", "Bulevar 1"},
               {"PTT", "11000"}, {"PIB", "104567890"}, {"PEPDV", "222333444"}},
              {{"SIFRA", "9001"}, {"NAZIV", "PORESKA UPRAVA"}, {"MESTO", "Beograd"}}});
}

}  // namespace torpdv_docs
