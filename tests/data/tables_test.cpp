// Definition strings, table creation with its progress box, indexes, migration and deletion.
#include "helpers.h"
#include "rt/os/os.h"
#include "ui/ui.h"

namespace tor::test {
namespace {

// A field as "NAME T width.decimals".
std::string describe(const rt::dbf::FieldDef& f) {
    return f.name + " " + f.type + " " + std::to_string(f.len) + "." + std::to_string(f.dec);
}

TEST(Definitions, PositionsGiveNameTypeWidthAndDecimals) {
    const std::pair<const char*, const char*> cases[] = {
        {"Naziv     C30 ", "NAZIV C 30.0"}, {"Iznos     N152", "IZNOS N 15.2"}, {"OStopa    N3 0", "OSTOPA N 3.0"},
        {"________1 L1  ", "________1 L 1.0"}, {"frNazivSkrC20 ", "FRNAZIVSKR C 20.0"},
        // A decimals digit of a character field widens it by 256 each.
        {"Telo      C180", "TELO C 18.0"}, {"Polje_N   C255", "POLJE_N C 1305.0"},
        {"Brojs     N6", "BROJS N 6.0"}};  // trailing blanks may be missing
    for (const auto& [def, want] : cases) EXPECT_EQ(describe(parse_polje(def)), want) << def;
}

TEST(Definitions, MalformedDefinitionsAreRefused) {
    EXPECT_THROW(parse_polje("          C10 "), rt::Error);   // no name
    EXPECT_THROW(parse_polje("Naziv     X10 "), rt::Error);   // unknown type
    EXPECT_THROW(parse_polje("Naziv     CAB "), rt::Error);   // width not a number
    EXPECT_THROW(parse_polje("Naziv     C0  "), rt::Error);   // no width
    EXPECT_THROW(parse_polje("Iznos     N15x"), rt::Error);   // decimals not a digit
}

class Tables : public DataDir {};

TEST_F(Tables, MakedbfCreatesExactFieldsAndShowsTheProgressBoxWithTheNamesEnd) {
    KRE_DAT = 6;
    ASSERT_TRUE(MAKEDBF("poruke", {"Telo      C180", "Polje_N   C255", "Iznos     N152", "Datum     D8  "}));
    std::vector<std::string> got;
    for (const auto& f : rt::dbf::table_fields(company("poruke.dbf"))) got.push_back(describe(f));
    EXPECT_EQ(got, (std::vector<std::string>{"TELO C 18.0", "POLJE_N C 1305.0", "IZNOS N 15.2", "DATUM D 8.0"}));
    EXPECT_FALSE(rt::os::exists(company("dbf.dbf")));
    EXPECT_EQ(KRE_DAT, 7);
    EXPECT_EQ(screen_cells(10, 28, 1) + screen_cells(14, 52, 1), "┌┘");
    EXPECT_EQ(screen_cells(11, 28, 25) + screen_cells(13, 28, 25), "│ Kreiram datoteku..007 ││ Datoteka: poruke      │");

    // Long names show their last eleven characters.
    MAKEDBF(OSNDIR + "mporuke", {"Telo      C18 "});
    const std::string shown = rt::RIGHT(OSNDIR + "mporuke", 11);
    EXPECT_EQ(screen_cells(13, 28, 25), "│ Datoteka: " + shown + " │");
    ASSERT_TRUE(rt::os::exists(base("mporuke.dbf")));
    MAKEDBF("abcdefghijkl", {"Telo      C18 "});   // exactly 12: shown whole
    EXPECT_EQ(screen_cells(13, 28, 25), "│ Datoteka: abcdefghijkl│");
}

TEST_F(Tables, MakentxCreatesOnlyMissingIndexes) {
    MAKEDBF("kalk", {"BrKalk    C6  ", "SifArt    C6  "});
    ASSERT_TRUE(NETUSE("kalk"));
    for (const char* k : {"000002", "000001"}) {
        ASSERT_TRUE(ADD_REC());
        rt::dbf::current().put("BRKALK", k);
    }
    rt::dbf::current().close();

    KRE_DAT = 0;
    ASSERT_TRUE(MAKENTX("kalk", "BrKalk", "kalk"));
    EXPECT_EQ(KRE_DAT, 1);
    EXPECT_EQ(screen_cells(11, 28, 25), "│ Kreiram indekse...001 │");
    EXPECT_EQ(ntx_key(company("kalk.ntx")), "BrKalk");
    EXPECT_FALSE(rt::dbf::current().used());

    // An existing index is kept even when its expression differs.
    ASSERT_TRUE(MAKENTX("kalk", "SifArt", "kalk"));
    EXPECT_EQ(KRE_DAT, 1);
    EXPECT_EQ(ntx_key(company("kalk.ntx")), "BrKalk");

    // A name with a dot is taken as it is.
    ASSERT_TRUE(MAKENTX("kalk", "SifArt", "kalk.idx"));
    EXPECT_TRUE(rt::os::exists(company("kalk.idx")));
    EXPECT_EQ(ntx_key(company("kalk.idx")), "SifArt");

    ASSERT_TRUE(NETUSE("kalk"));
    rt::dbf::current().set_index({company("kalk")});
    rt::dbf::current().go_top();
    EXPECT_EQ(rt::dbf::current().get_str("BRKALK"), "000001");
}

TEST_F(Tables, KopirajMovesAnOutdatedTableAsideAndRefillsItsSuccessor) {
    const Polja old_defs = {"Color     L1  ", "Sastavio  C15 ", "Ruc       N5 2"};
    MAKEDBF("set_up.vlt", old_defs);
    ASSERT_TRUE(NETUSE("set_up.vlt"));
    for (const char* who : {"Petar", "Marko"}) {
        ASSERT_TRUE(ADD_REC());
        rt::dbf::current().put("SASTAVIO", who);
        rt::dbf::current().put("RUC", rt::dbf::Value(15.5));
    }
    rt::dbf::current().delete_record();
    rt::dbf::current().close();

    // A table with at least "exact" fields stays where it is.
    KOPIRAJ("set_up.vlt", "setup.ruc", false, 3);
    EXPECT_TRUE(rt::os::exists(company("set_up.vlt")));
    EXPECT_FALSE(rt::os::exists(company("setup.ruc")));

    KOPIRAJ("set_up.vlt", "setup.ruc", false);
    EXPECT_FALSE(rt::os::exists(company("set_up.vlt")));
    ASSERT_TRUE(rt::os::exists(company("setup.ruc")));

    const TableDef* setup = table_def("set_up.vlt");
    ASSERT_NE(setup, nullptr);
    MAKEDBF("set_up.vlt", setup->polja);
    KOPIRAJ("set_up.vlt", "setup.ruc", true);
    // Later starts: the copy is there, the table has its records: nothing changes.
    KOPIRAJ("set_up.vlt", "setup.ruc", false);
    KOPIRAJ("set_up.vlt", "setup.ruc", true);

    rt::dbf::set_deleted(false);
    ASSERT_TRUE(NETUSE("set_up.vlt"));
    auto& a = rt::dbf::current();
    EXPECT_EQ(a.field_count(), 12);
    ASSERT_EQ(a.reccount(), 2u);
    std::string got;
    for (a.go_to(1); !a.eof(); a.skip())
        got += rt::TRIM(a.get_str("SASTAVIO")) + rt::STR(a.get_num("RUC"), 5, 1) + (a.deleted() ? "*;" : ";");
    EXPECT_EQ(got, "Petar 15.5;Marko 15.5*;");
    EXPECT_TRUE(rt::os::exists(company("setup.ruc")));
}

TEST_F(Tables, BrisifErasesFilesMatchingTheMask) {
    for (const char* f : {"mdart.ntx", "KALK2.NTX", "mdart.dbf", "ntx.txt"})
        rt::os::write_file(company(f), "x");
    RE_SET = false;
    EXPECT_TRUE(BRISIF(DIR, "*.ntx"));
    EXPECT_TRUE(RE_SET);
    EXPECT_EQ(rt::os::list_dir(DIR, "*").size(), 2u);  // "mdart.dbf" and "ntx.txt" stay
    EXPECT_TRUE(BRISIF(DIR, "*.ntx"));   // nothing left to erase
}

}  // namespace
}  // namespace tor::test
