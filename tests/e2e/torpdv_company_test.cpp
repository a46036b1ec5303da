// The company register driven through the real program: a new company from an empty register,
// the owner and business screens with their check-digit refusals, entering a company (its
// directory, tables and indexes), and the demo installation's key scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "e2e/torpdv_harness.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/term/console.h"

namespace {

namespace fs = std::filesystem;
using namespace torpdv_e2e;
using PRun = torpdv_e2e::Run;

std::set<std::string> files_in(const fs::path& dir) {
    std::set<std::string> out;
    if (!fs::exists(dir)) return out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) out.insert(e.path().filename().string());
    return out;
}

// Tables and indexes in a directory, as (".dbf" files, ".ntx" files), whatever the case of the names.
std::pair<int, int> tables_and_indexes(const fs::path& dir) {
    std::pair<int, int> n{0, 0};
    for (const std::string& f : files_in(dir)) {
        const std::string l = lower(f);
        n.first += l.ends_with(".dbf");
        n.second += l.ends_with(".ntx");
    }
    return n;
}
const std::pair<int, int> kCompanyFiles{60, 71};

// The workstation settings file, whatever the case of its directory's name.
fs::path settings_file(const Install& inst) {
    for (const auto& e : fs::directory_iterator(inst.path))
        if (lower(e.path().filename().string()) == "localset") return e.path() / "testpc01.set";
    return inst / "localset" / "testpc01.set";
}

}  // namespace

// An empty register opens the profile menu by itself; "1.Osnovni Podaci" with code 1 creates
// company "001" in both registers; the list and the detail panel show it. A second company with
// code 7 refuses activity type 4 and stores 6 as "006".
TEST(TorpdvCompany, NewCompanyFromAnEmptyRegister) {
    Install inst;
    PRun r = go(inst,
                "{dump}{Enter}{dump}1{Enter}Prva Radnja{Enter}Petar{Enter}Petrovic{Enter}Beograd{Enter}{Enter}1"
                "{dump}{Enter}{dump}");
    ASSERT_RUN_GE(r, 3, 4);

    // 0: the profile menu inside the key-help box, over the company list box.
    expect_cells(r, {{0, 2, 2, "\xDA" + rep('\xC4', 26) + "\xBF"}, {0, 2, 34, "\xDA" + rep('\xC4', 41) + "\xBF"}, {0, 3, 36, "OPCIJE:"}});
    const char* prompts[] = {"1.Osnovni Podaci", "2.Podaci o Vlasniku", "3.Podaci o Radnji",
                             "4.Programska Podesavanja"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(cells(r, 0, 4 + i, 34, 43), "\xB3 " + pad(prompts[i], 39) + " \xB3") << show(row_of(r, 0, 4 + i));
    for (int row = 3; row <= 7; ++row)  // the register is empty: no list rows
        EXPECT_EQ(cells(r, 0, row, 2, 28), "\xB3" + rep(' ', 26) + "\xB3") << show(row_of(r, 0, row));
    EXPECT_EQ(cells(r, 0, 8, 2, 28), "\xC0" + rep('\xC4', 26) + "\xD9");

    // 1: the basic-data screen, double frame on rows 16-24 with its title.
    const std::string title = " Osnovni Podaci: ";
    EXPECT_EQ(row_of(r, 1, 16), "\xC9" + rep('\xCD', 30) + title + rep('\xCD', 31) + "\xBB") << show(row_of(r, 1, 16));
    // The first and the last label; the right border on every row.
    EXPECT_EQ(cells(r, 1, 17, 0, 7), "\xBASifra.") << show(row_of(r, 1, 17));
    EXPECT_EQ(cells(r, 1, 23, 0, 78), "\xBANacin Vodjenja Knjiga (1.SPR/SR 2.VP 5.SKR 7.STR 8.SUR 9.SZR/SR/SA).........:")
        << show(row_of(r, 1, 23));
    for (int row = 17; row <= 23; ++row) EXPECT_EQ(cells(r, 1, row, 79, 1), "\xBA") << show(row_of(r, 1, row));
    EXPECT_EQ(row_of(r, 1, 24), "\xC8" + rep('\xCD', 78) + "\xBC");
    // The short name is upper case as it is typed; the defaults of a new company are shown.
    expect_cells(r, {{2, 18, 59, pad("PRVA RADNJA", 20)}, {2, 19, 69, pad("Petar", 10)}, {2, 20, 64, pad("Petrovic", 15)},
                     {2, 21, 59, pad("Beograd", 20)}, {2, 22, 78, "K"}, {2, 23, 78, "1"}});

    // 3: back in the list, the new company is the current row; key help and detail panel.
    EXPECT_EQ(cells(r, 3, 3, 2, 28), "\xB3 " + pad("001 PRVA RADNJA", 25) + "\xB3") << show(row_of(r, 3, 3));
    expect_cells(r, {{3, 3, 34, "\xB3 " + pad("Esc - Izlaz iz programa", 40) + "\xB3"},
                     {3, 7, 34, "\xB3 " + pad("0..9,A,B,C... - Pretraga radnji", 40) + "\xB3"}});
    expect_cells(r, {{3, 17, 0, "\xC9" + rep('\xCD', 24) + "\xBB"}, {3, 18, 0, "\xBA" + pad("Vlasnik: Petar Petrovic", 24) + "\xBA"},
                     {3, 19, 0, "\xBA" + pad("Sediste Radnje: Beograd", 24) + "\xBA"}});

    // The register record and its summary.
    auto pro = records(inst / "mdk_pro.dbf");
    ASSERT_EQ(pro.size(), 1u);
    expect_fields(pro[0], {{"SIFRA_PRO", "001"}, {"FRNAZIVSKR", "PRVA RADNJA"}, {"VRIME", "Petar"},
                           {"VRPREZIME", "Petrovic"}, {"FRMESTO", "Beograd"}, {"PRGTIPKNJ", "K"}, {"PRGTIPDEL", "001"}});
    auto mdk = records(inst / "mdk.dbf");
    ASSERT_EQ(mdk.size(), 1u);
    expect_fields(mdk[0], {{"SIFRA", "001"}, {"SIFDEL", "001"}, {"NAZIV", "PRVA RADNJA"}, {"VLASNIK", "Petar Petrovic"},
                           {"MESTO", "Beograd"}, {"KLASIFIK", "K"}});
    // The company's directory comes only when it is entered.
    EXPECT_FALSE(fs::exists(inst / "001"));

    // Code 7 from the profile menu of company 001: activity 4 refused, 6 taken.
    PRun r2 = go(inst, "{Ins}{Enter}7{Enter}Zima{Enter}Ana{Enter}Jovic{Enter}Novi Sad{Enter}{Enter}4{Enter}{Home}6{Enter}{dump}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(cells(r2, 0, 3, 2, 28), "\xB3 " + pad("007 ZIMA", 25) + "\xB3") << show(row_of(r2, 0, 3));
    pro = records(inst / "mdk_pro.dbf");
    ASSERT_EQ(pro.size(), 2u);
    expect_fields(pro[1], {{"SIFRA_PRO", "007"}, {"FRNAZIVSKR", "ZIMA"}, {"PRGTIPDEL", "006"}});
    EXPECT_EQ(str(pro[0], "FRNAZIVSKR"), "PRVA RADNJA");  // the first company untouched
    mdk = records(inst / "mdk.dbf");
    ASSERT_EQ(mdk.size(), 2u);
    expect_fields(mdk[1], {{"SIFRA", "007"}, {"SIFDEL", "006"}});
}

// Entering a new company creates its directory with every company table and index (nothing else
// left behind), the program-wide message and page-count tables, and shows the company line and the
// main menu. Entering again keeps the data and only recreates what is missing.
TEST(TorpdvCompany, EnteringCreatesEveryTableAndIndex) {
    Install inst;
    EXPECT_FALSE(fs::exists(inst / "mporuke.dbf"));
    PRun r = go(inst, kNew001 + "{Enter}{dump}");
    ASSERT_RUN_GE(r, 3, 1);

    // Every table and index of the company (their fields and keys: the data dictionary's test),
    // nothing else; the program-wide message and page-count tables.
    const std::set<std::string> want = files_in(inst / "001");
    EXPECT_EQ(tables_and_indexes(inst / "001"), kCompanyFiles);
    EXPECT_EQ(want.size(), 131u) << testing::PrintToString(want);
    for (const char* f : {"mporuke.dbf", "brstpstr.dbf", "brstpstr.ntx"}) EXPECT_TRUE(fs::exists(inst / f)) << f;

    // The company line on the top border of the main menu's box (its prompts: the menu tests).
    const std::string line = "(PRVA RADNJA NIJE PDV obveznik)";
    EXPECT_EQ(cells(r, 0, 2, 3, 75),
              "\xDA" + rep('\xC4', 20) + line + rep('\xC4', 22) + "\xBF") << show(row_of(r, 0, 2));

    // A goods record written meanwhile survives the next entry; a deleted index comes back.
    {
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open((inst / "001" / "mdart.dbf").string()));
        a.set_index({(inst / "001" / "mdart.ntx").string(), (inst / "001" / "mdart1.ntx").string()});
        ASSERT_TRUE(a.append_blank());
        a.put("SIFRA", "000001");
        a.put("NAZIV", "Hleb");
        a.put("TARGR", "010");
        a.commit();
        a.close();
    }
    fs::remove(inst / "001" / "kalk1.ntx");
    const auto mdart_time = fs::last_write_time(inst / "001" / "mdart.dbf");
    PRun r2 = go(inst, "{Enter}{dump}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(files_in(inst / "001"), want);
    EXPECT_EQ(lower(ntx_key(inst / "001" / "kalk1.ntx")), "brkalk+targr");
    EXPECT_EQ(fs::last_write_time(inst / "001" / "mdart.dbf"), mdart_time);
    auto goods = records(inst / "001" / "mdart.dbf");
    ASSERT_EQ(goods.size(), 1u);
    EXPECT_EQ(str(goods[0], "NAZIV"), "Hleb");
}

// The owner screen refuses a personal number with a wrong check digit and keeps the cursor in
// the field; the corrected number and the other fields are stored and reach the summary register.
TEST(TorpdvCompany, OwnerScreenChecksThePersonalNumber) {
    Install inst;
    ASSERT_EQ(go(inst, kNew001).status, 3);
    PRun r = go(inst, "{Ins}{Down}{Enter}{dump}{Enter}Marko{Enter}{Enter}1505980710148{Enter}{dump}{Home}1505980710147{Enter}"
                          // identity card; municipality, place, street, number, letter, floor, flat,
                          // letter, area code, telephone left empty
                          "123456789{Enter}" + keys("{Enter}", 10) + "{dump}");
    ASSERT_RUN_GE(r, 3, 3);
    // 0: the owner screen: double frame on rows 14-24 with its title, the stored first name shown.
    EXPECT_EQ(row_of(r, 0, 14), "\xC9" + rep('\xCD', 28) + " Podaci o Vlasniku: " + rep('\xCD', 30) + "\xBB")
        << show(row_of(r, 0, 14));
    EXPECT_EQ(cells(r, 0, 15, 0, 74), "\xBAIme" + rep('.', 64) + ":Petar") << show(row_of(r, 0, 15));
    EXPECT_EQ(cells(r, 0, 22, 0, 79),
              "\xBA" + std::string("Ulica.........:                     broj     slovo   sprat    stan     slovo ") + " ")
        << show(row_of(r, 0, 22));
    // 1: after the refused number: still shown in its field, the next field untouched.
    expect_cells(r, {{1, 18, 66, "1505980710148"}, {1, 19, 69, rep(' ', 10)}, {1, 16, 69, "Marko"}});

    auto pro = records(inst / "mdk_pro.dbf");
    ASSERT_EQ(pro.size(), 1u);
    expect_fields(pro[0], {{"VRJMBG", "1505980710147"}, {"VRBRLK", "123456789"}, {"VRIMEO", "Marko"}, {"VRIME", "Petar"}});
    auto mdk = records(inst / "mdk.dbf");
    ASSERT_EQ(mdk.size(), 1u);
    EXPECT_EQ(str(mdk[0], "JMBG"), "1505980710147");
    // 2: the detail panel's first line now carries the number and the card.
    EXPECT_EQ(cells(r, 2, 18, 1, 57), "Vlasnik: Petar Petrovic JMBG:1505980710147 BRLK:123456789")
        << show(row_of(r, 2, 18));
}

// The business screen refuses a tax number with a wrong check digit; the full profile is stored,
// and a company with a VAT certificate number is entered as a VAT payer.
TEST(TorpdvCompany, BusinessScreenChecksTheTaxNumber) {
    Install inst;
    ASSERT_EQ(go(inst, kNew001).status, 3);
    const std::string script =
        "{Ins}{Down}{Down}{Enter}{dump}"
        "Prva Radnja Petar Petrovic PR{Enter}"  // full name
        "Vracar{Enter}{Enter}{Enter}"           // municipality, place (kept), business unit place
        "Njegoseva{Enter}12{Enter}{Enter}{Enter}{Enter}{Enter}"  // street, number, letter, floor, flat, letter
        "011{Enter}3344556{Enter}{Enter}{Enter}{Enter}"          // telephone, fax, e-mail
        "Banka Intesa{Enter}Beograd{Enter}160-0000012345-67{Enter}"
        "{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}"             // banks 2 and 3
        "101234568{Enter}{dump}{Home}101234569{Enter}"           // tax number: wrong, then right
        "{Enter}{Enter}"                                         // taxpayer code and its check digit
        "21234567{Enter}"                                        // registration number
        "123456789{Enter}01012020{Enter}"                        // VAT certificate and its date
        "{Enter}BD12345{Enter}"                                  // pension number, register number
        "47110{Enter}Trgovina na malo{Enter}01022019{Enter}"     // activity code, name, opening date
        "{Enter}{Enter}{Enter}{Enter}{Enter}"                    // business units
        "{Enter}"                                                // note
        "{dump}{Enter}{dump}";
    PRun r = go(inst, script);
    ASSERT_RUN_GE(r, 3, 4);
    EXPECT_EQ(row_of(r, 0, 0), "\xC9" + rep('\xCD', 29) + " Podaci o Radnji: " + rep('\xCD', 31) + "\xBB") << show(row_of(r, 0, 0));
    EXPECT_EQ(cells(r, 0, 13, 0, 70), "\xBA" + std::string("Poreski Identifikacioni Broj - PIB..................................:"))
        << show(row_of(r, 0, 13));
    // 1: the refused tax number stays in its field; the taxpayer code is still empty.
    expect_cells(r, {{1, 13, 70, "101234568"}, {1, 14, 70, rep(' ', 7)}, {1, 1, 29, "PRVA RADNJA PETAR PETROVIC PR"}});

    auto pro = records(inst / "mdk_pro.dbf");
    ASSERT_EQ(pro.size(), 1u);
    const Rec& p = pro[0];
    expect_fields(p, {{"FRNAZIVPUN", "PRVA RADNJA PETAR PETROVIC PR"}, {"FROPSTINA", "Vracar"}, {"FRMESTO", "Beograd"},
                      {"FRULICA", "Njegoseva"}, {"FRULKBR", "12"}, {"FRTELPBR", "011"}, {"FRTELBR", "3344556"},
                      {"FRBANKA1N", "Banka Intesa"}, {"FRBANKA1R", "160-0000012345-67"}, {"FRPIB", "101234569"},
                      {"FRMATBR", "21234567"}, {"FRPEPDV", "123456789"}, {"FRREGBR", "BD12345"}, {"FRDELSIF", "47110"},
                      {"FRDELNAZ", "TRGOVINA NA MALO"}});
    EXPECT_EQ(std::get<rt::Date>(p.at("FRDATPDV")), rt::Date::ymd(2020, 1, 1));
    EXPECT_EQ(std::get<rt::Date>(p.at("FRDATOTV")), rt::Date::ymd(2019, 2, 1));
    auto mdk = records(inst / "mdk.dbf");
    ASSERT_EQ(mdk.size(), 1u);
    expect_fields(mdk[0], {{"PORRAC", "101234569"}, {"MATBR", "21234567"}, {"ZIRO", "160-0000012345-67"}, {"SIFRADEL", "47110"}});
    EXPECT_EQ(std::get<rt::Date>(mdk[0].at("DATOTV")), rt::Date::ymd(2019, 2, 1));

    // 2: the detail panel's tax line; 3: entered as a VAT payer.
    EXPECT_EQ(cells(r, 2, 21, 0, 38), "\xBA" + std::string("PIB:101234569 MB:21234567 RB:BD12345") + "\xBA")
        << show(row_of(r, 2, 21));
    EXPECT_EQ(cells(r, 2, 22, 0, 38), "\xBA" + pad("Tekuci Racuni: 160-0000012345-67", 36) + "\xBA") << show(row_of(r, 2, 22));
    const std::string line = "(PDV obveznik: PRVA RADNJA)";
    EXPECT_EQ(cells(r, 3, 2, 3, 75), "\xDA" + rep('\xC4', 22) + line + rep('\xC4', 24) + "\xBF") << show(row_of(r, 3, 2));
}

// The demo installation's key scripts run through the program's own screens without a fault and
// leave company "001" with a complete profile.
TEST(TorpdvCompany, DemoScriptsBuildTheDemoCompany) {
    std::vector<fs::path> scripts;
    for (const auto& e : fs::directory_iterator(fs::path(TOR_SOURCE_DIR) / "scripts/demo"))
        if (e.path().extension() == ".keys") scripts.push_back(e.path());
    std::sort(scripts.begin(), scripts.end());
    ASSERT_FALSE(scripts.empty());
    Install inst;
    for (const auto& s : scripts) {
        PRun r = go(inst, slurp(s));
        ASSERT_EQ(r.status, 0) << s << "\n" << r.err << "\n" << (r.screens.empty() ? "" : r.last());
    }
    auto pro = records(inst / "mdk_pro.dbf");
    ASSERT_GE(pro.size(), 1u);
    const Rec& p = pro[0];
    expect_fields(p, {{"SIFRA_PRO", "001"}, {"VRJMBG", "1505980710147"}, {"FRPIB", "101234569"}, {"PRGTIPDEL", "001"}});
    for (const char* f : {"FRNAZIVSKR", "FRNAZIVPUN", "FRULICA", "FRMATBR", "FRPEPDV"}) EXPECT_FALSE(str(p, f).empty()) << f;
    // The master data typed through the registers: goods at both rates, partners on either side of
    // the VAT line, obligations above 9000.
    std::string goods, partners;
    for (const Rec& g : records(inst / "001" / "mdart.dbf")) goods += str(g, "SIFRA") + str(g, "TARGR") + str(g, "JMERE") + ";";
    for (const Rec& d : records(inst / "001" / "mddob.dbf")) partners += str(d, "SIFRA") + ":" + str(d, "PEPDV") + ";";
    EXPECT_EQ(goods, "000001010KOM;000002010KOM;000003020KG;000004020KOM;000005020KOM;000006020SAT;");
    EXPECT_EQ(partners, "0001:123456789;0002:;0003:234567890;9001:;9002:;");
    // The two printed costings in the trade book, the invoices with their amounts to pay (the final
    // invoice wholly paid by its advance), the stock they leave.
    std::string book, invoices, stock;
    for (const Rec& t : records(inst / "001" / "tknjiga.dbf"))
        book += str(t, "VRDOK") + ":" + rt::STR(std::get<double>(t.at("ZADUZ")), 9, 2) + ";";
    for (const Rec& f : records(inst / "001" / "ufakt.dbf"))
        invoices += str(f, "BRFAK") + ":" + rt::STR(std::get<double>(f.at("ZAPLA")), 8, 2) + ";";
    for (const Rec& g : records(inst / "001" / "mdart.dbf")) stock += rt::STR(std::get<double>(g.at("POPKOL")), 4) + ";";
    EXPECT_EQ(book, "K000001: 19100.00;K000002: 12000.00;");
    EXPECT_EQ(invoices, "000001: 5130.00;000002:    0.00;");
    EXPECT_EQ(stock, "  40; 140;   0;   5;  30;  -2;");
}

// With index updating switched on for the workstation, entering a company rebuilds every index
// from the tables: a damaged index and one that missed a record added from outside come back
// right.
TEST(TorpdvCompany, IndexUpdatingRebuildsTheIndexesOnEntry) {
    Install inst;
    ASSERT_EQ(go(inst, kNew001 + "{Enter}").status, 3);
    {
        // A goods record added without its indexes, the partner index overwritten.
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open((inst / "001" / "mdart.dbf").string()));
        ASSERT_TRUE(a.append_blank());
        a.put("SIFRA", "000042");
        a.put("NAZIV", "Mleko");
        a.put("TARGR", "010");
        a.commit();
        a.close();
    }
    std::ofstream(inst / "001" / "mddob.ntx", std::ios::binary | std::ios::trunc) << std::string(1024, '\x7f');
    std::ofstream(settings_file(inst), std::ios::binary) << "AZURIRANJE INDEXA=1;";

    PRun r = go(inst, "{Enter}{dump}");
    ASSERT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(cells(r, 0, 3, 7, 16), "1.Maticni podaci");
    EXPECT_EQ(lower(ntx_key(inst / "001" / "mddob.ntx")), "sifra");
    EXPECT_EQ(tables_and_indexes(inst / "001"), kCompanyFiles);
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open((inst / "001" / "mdart.dbf").string()));
    a.set_index({(inst / "001" / "mdart.ntx").string(), (inst / "001" / "mdart1.ntx").string()});
    EXPECT_TRUE(a.seek("000042"));
    a.set_order(2);
    EXPECT_TRUE(a.seek("010000042"));
    a.close();
}

// Entering a company whose missing indexes must wait for a table locked on another workstation:
// the progress box stays on the screen while the program waits, showing how many tables and
// indexes it has created so far and the last one.
TEST(TorpdvCompany, ProgressBoxCountsWhatEntryCreates) {
    Install inst;
    ASSERT_EQ(go(inst, kNew001 + "{Enter}").status, 3);
    for (const char* f : {"mddob.ntx", "mdart1.ntx", "kalk.ntx", "kalk1.ntx"}) fs::remove(inst / "001" / f);
    rt::dbf::WorkArea other;  // the other workstation
    ASSERT_TRUE(other.open((inst / "001" / "kalk.dbf").string()));
    ASSERT_TRUE(other.flock());

    PRun r = go(inst, "{Enter}{pause}{pause}{pause}{pause}{pause}{pause}{dump}");
    other.close();
    ASSERT_RUN_GE(r, 3, 1);
    expect_progress(r, 0, "Kreiram indekse...002", "Datoteka: mdart1      \xB3");
    EXPECT_NE(row_of(r, 0, 24).find("Zapis je zauzet na drugoj radnoj stanici, cekam..."), std::string::npos)
        << show(row_of(r, 0, 24));
    // The indexes of the locked table are not there yet; those before it are.
    EXPECT_TRUE(fs::exists(inst / "001" / "mddob.ntx"));
    EXPECT_TRUE(fs::exists(inst / "001" / "mdart1.ntx"));
    EXPECT_FALSE(fs::exists(inst / "001" / "kalk.ntx"));

    // Once the other workstation lets go, the next entry completes the set.
    ASSERT_EQ(go(inst, "{Enter}").status, 3);
    EXPECT_EQ(lower(ntx_key(inst / "001" / "kalk.ntx")), "brkalk");
    EXPECT_EQ(lower(ntx_key(inst / "001" / "kalk1.ntx")), "brkalk+targr");
}

// An installation copied from DOS with every name in upper case: the registers and the company's
// tables and indexes are found as they are, nothing is created a second time in lower case.
TEST(TorpdvCompany, UpperCaseNamesFromDosAreFound) {
    Install inst;
    ASSERT_EQ(go(inst, kNew001 + "{Enter}").status, 3);
    for (const fs::path& dir : {inst / "001", inst.path})
        for (const auto& e : fs::directory_iterator(dir)) {
            std::string n = e.path().filename().string();
            for (char& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (n != "001") fs::rename(e.path(), dir / n);
        }
    const std::set<std::string> company_before = files_in(inst / "001");
    ASSERT_EQ(company_before.count("MDART.DBF"), 1u);

    PRun r = go(inst, "{dump}{Enter}{dump}");
    ASSERT_RUN_GE(r, 3, 2);
    EXPECT_EQ(cells(r, 0, 3, 2, 28), "\xB3 " + pad("001 PRVA RADNJA", 25) + "\xB3") << show(row_of(r, 0, 3));
    EXPECT_EQ(cells(r, 1, 3, 7, 16), "1.Maticni podaci");
    EXPECT_EQ(files_in(inst / "001"), company_before);
    for (const char* f : {"mdk_pro.dbf", "mdk_pro.ntx", "mdk.dbf", "mdk.ntx", "strukras.dbf", "message.vlt",
                          "message.ntx", "mporuke.dbf", "brstpstr.dbf", "brstpstr.ntx"})
        EXPECT_FALSE(fs::exists(inst / f)) << f << " made again beside its upper-case original";
    EXPECT_EQ(records(inst / "STRUKRAS.DBF").size(), 36u);

    // Index updating on entry erases the upper-case index files too: each index exists once.
    std::ofstream(settings_file(inst), std::ios::binary) << "AZURIRANJE INDEXA=1;";
    PRun r2 = go(inst, "{Enter}{dump}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(tables_and_indexes(inst / "001"), kCompanyFiles);
}
