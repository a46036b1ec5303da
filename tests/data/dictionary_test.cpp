// The dictionary against the table listings transcribed by hand: every table, field and index
// that a start-up and a company entry create in empty directories.
#include <map>
#include <set>
#include <sstream>

#include "helpers.h"
#include "rt/os/os.h"

namespace tor::test {
namespace {

struct Expected {
    std::vector<std::string> order;                          // tables as listed
    std::map<std::string, std::vector<std::string>> fields;  // "NAME Twidth[.decimals]" by table
    std::vector<std::array<std::string, 3>> indexes;         // table, file, key
};

Expected read_expected() {
    Expected e;
    std::ifstream in(std::string(TOR_TESTDATA_DIR) + "/dictionary_expected.txt");
    EXPECT_TRUE(in.good());
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> p;
        std::stringstream ss(line);
        for (std::string x; std::getline(ss, x, '|');) p.push_back(x);
        if (p[0] == "idx") {
            e.indexes.push_back({p[1], p[2], p[3]});
            continue;
        }
        if (!e.fields.count(p[0])) e.order.push_back(p[0]);
        e.fields[p[0]].insert(e.fields[p[0]].end(), p.begin() + 1, p.end());
    }
    return e;
}

std::string describe(const rt::dbf::FieldDef& f) {
    return f.name + " " + f.type + std::to_string(f.len) + (f.dec ? "." + std::to_string(f.dec) : "");
}

const std::set<std::string> kProgramWide = {"mdk_pro", "mdk",      "ur147p",  "apid",    "apidvirm",
                                            "apidras", "strukras", "mporuke", "brstpstr"};

class Dictionary : public DataDir {
protected:
    std::string dir_of(const std::string& table) const { return kProgramWide.count(table) ? OSNDIR : DIR; }
};

TEST_F(Dictionary, StartupAndCompanyEntryCreateEveryTableFieldAndIndex) {
    const Expected e = read_expected();
    INITOSN();
    KRE_DAT = 0;
    INITDAT();
    EXPECT_FALSE(rt::dbf::current().used());

    size_t company_tables = 0;
    for (const std::string& t : e.order) {
        const std::string path = dir_of(t) + t + ".dbf";
        ASSERT_TRUE(rt::os::exists(path)) << path;
        std::vector<std::string> got;
        for (const auto& f : rt::dbf::table_fields(path)) got.push_back(describe(f));
        EXPECT_EQ(got, e.fields.at(t)) << t;
        if (!kProgramWide.count(t)) ++company_tables;
    }
    EXPECT_EQ(company_tables, 60u);
    EXPECT_EQ(rt::os::list_dir(DIR, "*.dbf").size(), 60u);

    size_t company_indexes = 0;
    for (const auto& [table, file, key] : e.indexes) {
        const std::string path = dir_of(table) + rt::LOWER(file) + ".ntx";
        ASSERT_TRUE(rt::os::exists(path)) << path;
        EXPECT_EQ(ntx_key(path), key) << path;
        if (!kProgramWide.count(table)) ++company_indexes;
    }
    EXPECT_EQ(rt::os::list_dir(DIR, "*.ntx").size(), company_indexes);
    // The company entry created its 60 tables and their indexes, "mporuke", "brstpstr" and its index.
    EXPECT_EQ(KRE_DAT, static_cast<int>(60 + company_indexes + 3));

    // The dictionary answers by name for the procedures that open tables through it.
    const TableDef* uf = table_def("UFAKT");
    ASSERT_NE(uf, nullptr);
    EXPECT_EQ(uf->polja.size(), 25u);
    EXPECT_TRUE(uf->upgrade);
    ASSERT_NE(table_def(DIR + "Cur_User.dbf"), nullptr);
    EXPECT_EQ(table_def("mdk_pro")->where, Where::PROGRAM);
    EXPECT_EQ(table_def("nepoznata"), nullptr);

    // "strukras" holds its 36 structure codes in order.
    ASSERT_TRUE(open_table("strukras"));
    auto& s = rt::dbf::current();
    ASSERT_EQ(s.reccount(), 36u);
    std::string codes;
    for (s.go_top(); !s.eof(); s.skip()) codes += s.get_str("STRUKTURA");
    EXPECT_EQ(codes, "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    rt::dbf::close_all();

    // open_table opens a company table with all its indexes, the first controlling the order.
    ASSERT_TRUE(open_table("zapis"));
    EXPECT_EQ(rt::dbf::current().index_count(), 4);
    EXPECT_EQ(rt::dbf::current().index_key(3), "dtos(datzap)+brzap");
    rt::dbf::close_all();
}

TEST_F(Dictionary, ASecondEntryCreatesOnlyWhatIsMissing) {
    INITOSN();
    INITDAT();
    // The user has entered structures; a later start must not fill the table again.
    ASSERT_TRUE(open_table("strukras"));
    rt::dbf::current().go_top();
    ASSERT_TRUE(REC_LOCK());
    rt::dbf::current().put("OPIS", "Gorivo");
    rt::dbf::close_all();
    ASSERT_TRUE(rt::os::erase(company("kalk2.ntx")));

    KRE_DAT = 0;
    INITOSN();
    INITDAT();
    EXPECT_EQ(KRE_DAT, 1);
    EXPECT_EQ(ntx_key(company("kalk2.ntx")), "SifArt");

    ASSERT_TRUE(open_table("strukras"));
    EXPECT_EQ(rt::dbf::current().reccount(), 36u);
    rt::dbf::current().go_top();
    EXPECT_EQ(rt::TRIM(rt::dbf::current().get_str("OPIS")), "Gorivo");
}

TEST_F(Dictionary, OlderTablesThatAreNeverUpgradedStayAsTheyAre) {
    // A "kalk" of an older version with fewer fields.
    MAKEDBF("kalk", {"BrKalk    C6  ", "SifArt    C6  ", "TarGr     C3  ", "Kolicina  N123"});
    KRE_DAT = 0;
    INITDAT();
    EXPECT_EQ(rt::dbf::table_fields(company("kalk.dbf")).size(), 4u);
    EXPECT_FALSE(rt::os::exists(company("kalk.K11")));
    // The three kalk indexes are still built over it (their fields exist).
    EXPECT_TRUE(rt::os::exists(company("kalk2.ntx")));
}

}  // namespace
}  // namespace tor::test
