// The company list print: the line layout over the chosen catalogue items, the items' values
// over a register record, and the printed list with its page break.
#include "company_fixture.h"
#include "report/report.h"

namespace tor::test {
namespace {

class ListPrint : public CompanyDir {
protected:
    void SetUp() override {
        CompanyDir::SetUp();
        WSIFKOM.clear();
        SK_COND = false;
        SL_BROJ = 1;
    }
    // The catalogue filled anew in area 2; positions by item number.
    void catalogue() {
        rt::dbf::select(2);
        ASSERT_TRUE(spis_kom_catalogue());
    }
    void position(int item, int pos) {
        rt::dbf::WorkArea& a = rt::dbf::area(2);
        a.go_to(static_cast<uint32_t>(item));
        a.put("POLJE_S", pos);
        a.commit();
    }
    void positions(std::initializer_list<std::pair<int, int>> items) {
        for (const auto& [item, pos] : items) position(item, pos);
    }
    std::string layout() {
        rt::dbf::select(2);
        return RAC_DUZ_ZAG();
    }
};

TEST_F(ListPrint, CatalogueHoldsTheItemsUnchosenInPositionOrder) {
    catalogue();
    rt::dbf::WorkArea& a = rt::dbf::area(2);
    EXPECT_EQ(a.fields()[0].len, 1305);
    a.go_to(13);
    EXPECT_EQ(rt::TRIM(a.get_str("POLJE_O")) + rt::STR(a.get_num("POLJE_D"), 3), "Pun Naziv firme 50");
    // A second call starts from a clean catalogue again.
    position(5, 3);
    a.close();
    catalogue();
    EXPECT_EQ(rt::dbf::area(2).reccount(), 32u);
    EXPECT_EQ(layout(), "ZAGLAVLJE NIJE ODABRANO!");
    // The index follows a changed position: the item moves behind the unchosen ones.
    position(1, 1);
    rt::dbf::area(2).go_bottom();
    EXPECT_EQ(rt::dbf::area(2).recno(), 1u);
}

TEST_F(ListPrint, LayoutWidthsSummariesAndTheLimitsOfNormalCondensedAndTooLong) {
    catalogue();
    // R.Br (4), Sifra (5), Naziv firme (20): 5 + 6 + 21 - 1.
    positions({{1, 1}, {12, 3}, {2, 2}});
    EXPECT_EQ(layout(), "jedan red (karaktera: 31).");
    EXPECT_EQ(SK_DUZ_TXT + 100 * SK_REDOVA + 1000 * SL_BROJ, 4131);
    EXPECT_EQ(SK_ZAG, "R.Br Sifra Naziv firme          ");
    EXPECT_EQ(SK_RED, (std::vector<int>{1, 2, 12}));

    // Pun Naziv firme (50) and Ulica i broj firme (30): the labels keep their 20 characters.
    positions({{13, 4}, {17, 5}});
    EXPECT_EQ(layout(), "jedan red zgusnuta stampa (karaktera: 113).");
    EXPECT_TRUE(SK_COND);

    // A position set back to 0 takes the column out; the next number follows the highest one.
    position(2, 0);
    EXPECT_EQ(layout(), "jedan red zgusnuta stampa (karaktera: 107).");
    EXPECT_EQ(SK_RED, (std::vector<int>{1, 12, 13, 17}));
    EXPECT_EQ(SL_BROJ, 6);
    position(21, 9);  // S.Del. (5): the label is cut to the width
    layout();
    EXPECT_EQ(SL_BROJ, 10);
    EXPECT_EQ(SK_ZAG.substr(SK_ZAG.size() - 6), "S.Del ");

    // Nothing chosen: printing is refused and the print mode stays as it was.
    positions({{1, 0}, {12, 0}, {13, 0}, {17, 0}, {21, 0}});
    EXPECT_EQ(layout(), "ZAGLAVLJE NIJE ODABRANO!");
    EXPECT_EQ(SK_REDOVA + 10 * SL_BROJ, 10);
    EXPECT_TRUE(SK_COND);

    // 51 + 14 + 16 - 1 = 80: still normal print.
    positions({{13, 1}, {6, 2}, {5, 3}});
    EXPECT_EQ(layout(), "jedan red (karaktera: 80).");
    EXPECT_FALSE(SK_COND);
    // 51 + 31 - 1 = 81: condensed.
    positions({{6, 0}, {5, 0}, {17, 2}});
    EXPECT_EQ(layout(), "jedan red zgusnuta stampa (karaktera: 81).");
    EXPECT_TRUE(SK_COND);
    // 51 + 31 + 31 + 12 + 12 - 1 = 136: the widest condensed line.
    positions({{17, 0}, {20, 2}, {22, 3}, {4, 4}, {11, 5}});
    EXPECT_EQ(layout(), "jedan red zgusnuta stampa (karaktera: 136).");
    // 51 + 31 + 31 + 14 + 11 - 1 = 137: too long; the print mode stays.
    positions({{4, 0}, {11, 0}, {6, 4}, {3, 5}});
    EXPECT_EQ(layout(), "predugacko - morate izbaciti neka polja (karaktera:137)");
    EXPECT_EQ(SK_REDOVA, 0);
    EXPECT_TRUE(SK_COND);
}

TEST_F(ListPrint, ChooserGivesWayWhileTheCatalogueIsHeldElsewhere) {
    std::filesystem::remove(screen_file_);
    {
        rt::dbf::select(2);
        ASSERT_TRUE(spis_kom_catalogue());
        rt::dbf::area(2).close();
    }
    rt::dbf::WorkArea elsewhere;
    ASSERT_TRUE(elsewhere.open(root_ + "/mdk_op.dbf", "", true));
    rt::dbf::select(1);
    ASSERT_TRUE(open_table("mdk_pro"));
    rt::console_init_headless("{dump}{pause}", screen_file_);
    SPIS_KOM();
    const auto d = dumps();
    ASSERT_GE(d.size(), 1u);
    EXPECT_NE(d[0][11].find("Spisak komitenata se priprema na drugoj radnoj stanici !"), std::string::npos) << d[0][11];
    // Back with the register selected, the message gone, the catalogue untouched.
    EXPECT_EQ(rt::dbf::current_number(), 1);
    EXPECT_EQ(rt::screen_row_text(11).find("Spisak"), std::string::npos);
    EXPECT_EQ(elsewhere.reccount(), 32u);
}

const Fields kCompany = {
    {"VRIME", "Petar"},       {"VRULICA", "Dunavska"},  {"VRULKBR", "5"},         {"VRTELPBR", "021"},
    {"VRTELBR", "555123"},    {"FRNAZIVSKR", "MARKET"}, {"FRULICA", "Glavna"},    {"FRULKBR", "12"},
    {"FRULKBRS", "A"},        {"FRULSPR", "3"},         {"FRULSTBR", "7"},        {"FRULSTS", "B"},
    {"FRTELPBR", "011"},      {"FRTELBR", "1234567"},   {"FRFAXBR", "7654321"},   {"FRMATBR", "12345678"},
    {"FRPORRAC", "1234567"},  {"FRPORRACKB", "8"},      {"PRGNAPOM", "Probni komitent"},
};

TEST_F(ListPrint, ItemValuesOverTheRegisterRecord) {
    add("004", kCompany);
    add("005", {{"FRPORRAC", "7654321"}, {"PRGNAPOM", std::string(30, 'N')}});
    open_on("004");
    // Item values as stored, each part that is not empty after a blank; then the cells fitted to
    // the column, never losing a printed character.
    const std::string street = rt::PADR("Glavna", 20) + " 12  A 3  7   B";
    const std::tuple<int, bool, std::string> want[] = {
        {1, false, "   7"}, {2, false, "004  "}, {3, false, "Petar      "}, {10, false, rt::PADR("Dunavska", 20) + " 5  "},
        {17, false, street}, {11, false, " 021 555123 "}, {18, false, " 011 1234567"}, {19, false, " 7654321"},
        {27, false, "12345678   "}, {29, false, "1234567-8  "},
        {3, true, rt::PADR("Petar", 10)}, {4, true, std::string(11, ' ')}, {11, true, " 021 555123"}, {17, true, street}, {18, true, " 011 1234567"},
        {19, true, rt::PADR(" 7654321", 11)}, {32, true, rt::PADR("Probni komitent", 20)}};
    for (const auto& [item, cell, text] : want) {
        const rt::dbf::WorkArea& r = rt::dbf::current();
        EXPECT_EQ(cell ? spis_kom_cell(item, r, 1) : spis_kom_item(item, r, item == 1 ? 7 : 1), text) << item << " " << cell;
    }

    open_on("005");
    const rt::dbf::WorkArea& e = rt::dbf::current();
    EXPECT_EQ(spis_kom_item(29, e, 1), "7654321    ");
    EXPECT_EQ(spis_kom_item(10, e, 1) + "|" + spis_kom_cell(10, e, 1), std::string(20, ' ') + "|" + std::string(30, ' '));
    EXPECT_EQ(spis_kom_cell(18, e, 1) + "|" + spis_kom_cell(32, e, 1), std::string(11, ' ') + "|" + std::string(30, 'N'));

    // A data line: the cells in position order, each with a blank after it.
    SK_RED = {1, 18, 29};
    EXPECT_EQ(spis_kom_line(e, 12), "  12             7654321     ");
}

TEST_F(ListPrint, PrintedListBreaksPagesAfterRowSixty) {
    // 55 companies: 54 fit on the first page (rows 7-60), the 55th starts the second.
    for (int i = 1; i <= 55; ++i) add(rt::STRZERO(i, 3), {{"FRNAZIVSKR", "FIRMA " + std::to_string(i)}});
    SAST = rt::PADR("Marko", 15);
    MESS = rt::PADR("Beograd", 15);
    catalogue();
    positions({{2, 1}, {13, 2}});
    layout();
    ASSERT_EQ(SK_DUZ_TXT, 56);
    ASSERT_FALSE(SK_COND);
    rt::console_init_headless("F");
    STPSPIS_KOM();
    const std::string file = root_ + "/tor.000";
    ASSERT_TRUE(std::filesystem::exists(file));
    std::ifstream in(file, std::ios::binary);
    const std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    const std::string eq(56, '='), dash(56, '-'), crlf = "\r\n";
    auto header = [&](int page) {
        return rt::PADR("Marko", 15) + std::string(55, ' ') + "Strana: 0" + std::to_string(page) + crlf +
               rt::PADR("Beograd", 15) + crlf + crlf + "SPISAK KOMITENATA" + crlf + eq + crlf +
               "Sifra Pun Naziv firme      " + crlf + eq + crlf;
    };
    std::string want = header(1);
    for (int i = 1; i <= 54; ++i) want += rt::STRZERO(i, 3) + "   " + std::string(50, ' ') + " " + crlf;
    // The rule, its line end (the empty line before the next page), the form feed.
    want += dash + crlf + "\x0C" + header(2);
    want += "055   " + std::string(50, ' ') + " " + crlf;
    want += eq + crlf + "\x0F" + SOFTWARE + " " + VER + "\x12" + crlf + "\x0C";
    EXPECT_EQ(got, want);
    // The register opened for the print is closed again.
    EXPECT_FALSE(rt::dbf::alias_used("mdk_pro"));
}

}  // namespace
}  // namespace tor::test
