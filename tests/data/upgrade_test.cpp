// The structure upgrade: the warning, the copy of the old file, the records carried over by
// field name with their delete marks, and the cases that must leave a table alone.
#include "helpers.h"
#include "rt/os/os.h"
#include "ui/ui.h"

namespace tor::test {
namespace {

class Upgrade : public DataDir {
protected:
    Polja defs25() const { return table_def("ufakt")->polja; }
    Polja defs24() const {
        Polja p = defs25();
        p.pop_back();
        return p;
    }
    // A 24-field invoice header table with three invoices, the second marked deleted, and its index.
    void make_old_ufakt() {
        MAKEDBF("ufakt", defs24());
        ASSERT_TRUE(NETUSE("ufakt"));
        auto& a = rt::dbf::current();
        const char* buyers[] = {"Alfa doo", "Beta doo", "Gama doo"};
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(ADD_REC());
            a.put("BRFAK", rt::STRZERO(3 - i, 6));
            a.put("NAZKUP", buyers[i]);
            a.put("DATFAK", rt::dbf::Value(rt::Date::ymd(2026, 2, 10 + i)));
            a.put("ZAPLA", rt::dbf::Value(1000.125 * (i + 1)));
            a.put("KONACNI", rt::dbf::Value(i == 0));
            a.put("NAPOMENA4", "napomena " + std::to_string(i + 1));
        }
        a.go_to(2);
        ASSERT_TRUE(REC_LOCK());
        a.delete_record();
        a.commit();
        a.close();
        ASSERT_TRUE(MAKENTX("ufakt", "BrFak", "ufakt"));
    }
    std::vector<std::string> dump_rows(const std::string& file) {
        std::vector<std::string> rows;
        std::ifstream in(file);
        for (std::string l; std::getline(in, l);) rows.push_back(l);
        return rows;
    }
};

TEST_F(Upgrade, AddsTheNewFieldKeepsEveryRecordAndLeavesTheCopy) {
    make_old_ufakt();
    const std::string dump = root_ + "/screen.txt";
    rt::console_init_headless("{dump}{Enter}", dump);
    KRE_DAT = 0;
    EXPECT_TRUE(CRTDBF("ufakt", defs25()));
    rt::console_shutdown();

    // The warning, waiting for the key, in a double frame from row 2.
    const auto rows = dump_rows(dump);
    ASSERT_GE(rows.size(), 25u);
    const std::string edge(6, ' ');
    EXPECT_EQ(rows[2] + rows[16], edge + "╔" + rt::REPLICATE("═", 66) + "╗" + edge + edge + "╚" + rt::REPLICATE("═", 66) + "╝" + edge);
    EXPECT_EQ(rows[4], edge + "║ " + rt::PADR("Doslo je do promene u strukturi baze UFAKT.DBF.", 65) + "║" + edge);
    EXPECT_EQ(rows[14], edge + "║ " + rt::PADR("Program ceka da potvrdite izmenu strukture...", 65) + "║" + edge);

    // After the key: the new table was created (one count in the progress box) and filled.
    EXPECT_EQ(KRE_DAT, 1);
    EXPECT_EQ(screen_cells(13, 28, 25), "│ Datoteka: ufakt       │");
    const auto fields = rt::dbf::table_fields(company("ufakt.dbf"));
    ASSERT_EQ(fields.size(), 25u);
    EXPECT_EQ(fields[24].name, "POROSL");
    EXPECT_FALSE(rt::os::exists(company("ufakt.tmp")));

    rt::dbf::set_deleted(false);
    ASSERT_TRUE(open_table("ufakt"));
    auto& a = rt::dbf::current();
    ASSERT_EQ(a.reccount(), 3u);
    std::string got;
    for (uint32_t n = 1; n <= 3; ++n) {
        a.go_to(n);
        got += a.get_str("BRFAK") + rt::STR(a.get_num("ZAPLA"), 9, 3) + rt::DTOC(a.get_date("DATFAK")) +
               (a.get_bool("KONACNI") ? "K" : "-") + rt::TRIM(a.get_str("NAPOMENA4")) + rt::STR(a.get_num("POROSL"), 2) +
               (a.deleted() ? "*" : "") + ";";
    }
    EXPECT_EQ(got, "000003 1000.12510.02.2026Knapomena 1 0;000002 2000.25011.02.2026-napomena 2 0*;"
                   "000001 3000.37512.02.2026-napomena 3 0;");
    // The old index still finds the records: their order and numbers did not change.
    EXPECT_TRUE(a.seek("000001"));
    EXPECT_EQ(a.recno(), 3u);
    // The new field takes one digit; more is refused, never cut.
    ASSERT_TRUE(REC_LOCK());
    EXPECT_THROW(a.put("POROSL", 12), rt::Error);
    rt::dbf::close_all();

    // The old file stays as it was under name + ".K" + the new field count.
    ASSERT_TRUE(rt::os::exists(company("ufakt.K25")));
    EXPECT_EQ(rt::dbf::table_fields(company("ufakt.K25")).size(), 24u);
    ASSERT_TRUE(NETUSE("ufakt.K25"));
    EXPECT_EQ(rt::dbf::current().reccount(), 3u);
    rt::dbf::close_all();

    // Up to date now: no warning (no key is waiting), nothing created.
    EXPECT_TRUE(CRTDBF("ufakt", defs25()));
    EXPECT_EQ(KRE_DAT, 1);
}

TEST_F(Upgrade, AFailedFillLeavesTheOldTableInPlace) {
    MAKEDBF("vprihod", {"Datum     D8  ", "Iznos     N152"});
    ASSERT_TRUE(NETUSE("vprihod"));
    ASSERT_TRUE(ADD_REC());
    rt::dbf::current().put("IZNOS", rt::dbf::Value(1234567.89));
    rt::dbf::close_all();
    const std::string before = rt::os::read_file(company("vprihod.dbf"));
    // The new definition narrows the amount: the value does not fit and must not be cut.
    rt::KEYBOARD({13});
    EXPECT_THROW(CRTDBF("vprihod", {"Datum     D8  ", "Iznos     N5 2", "Opis      C20 "}), rt::Error);
    EXPECT_EQ(rt::os::read_file(company("vprihod.dbf")), before);
    EXPECT_FALSE(rt::os::exists(company("vprihod.tmp")));
    EXPECT_TRUE(rt::os::exists(company("vprihod.K03")));
}

TEST_F(Upgrade, ATableWithMoreFieldsIsLeftAlone) {
    Polja more = defs25();
    more.push_back("Dodatak   C5  ");
    MAKEDBF("ufakt", more);
    const std::string before = rt::os::read_file(company("ufakt.dbf"));
    rt::KEYBOARD("x");
    KRE_DAT = 0;
    EXPECT_TRUE(CRTDBF("ufakt", defs25()));
    EXPECT_EQ(rt::os::read_file(company("ufakt.dbf")), before);
    EXPECT_FALSE(rt::os::exists(company("ufakt.K25")));
    EXPECT_EQ(KRE_DAT, 0);
    EXPECT_EQ(rt::NEXTKEY(), 'x');
}

TEST_F(Upgrade, ATableHeldExclusivelyElsewhereIsSkippedThisTime) {
    make_old_ufakt();
    Pipe ready, done;
    const std::string path = company("ufakt.dbf");
    const std::string before = rt::os::read_file(path);
    Child child([&] {
        rt::dbf::WorkArea a;
        if (!a.open(path, "", true)) return false;
        return ready.send() && done.receive();
    });
    ASSERT_TRUE(ready.receive());
    rt::KEYBOARD({13});
    EXPECT_FALSE(CRTDBF("ufakt", defs25()));
    EXPECT_EQ(rt::os::read_file(path), before);
    EXPECT_FALSE(rt::os::exists(company("ufakt.K25")));
    EXPECT_EQ(rt::NEXTKEY(), 13);   // no warning was shown
    ASSERT_TRUE(done.send());
    EXPECT_EQ(child.wait(), 0);

    // Once it is free, the next entry upgrades it.
    EXPECT_TRUE(CRTDBF("ufakt", defs25()));
    EXPECT_EQ(rt::dbf::table_fields(path).size(), 25u);
    EXPECT_EQ(rt::NEXTKEY(), 0);
}

}  // namespace
}  // namespace tor::test
