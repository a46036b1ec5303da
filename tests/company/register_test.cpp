// The company record as the rest of the program sees it: company variables, the detail panel
// text, the summary register, the business-unit check, activity names.
#include "company_fixture.h"

namespace tor::test {
namespace {

const Fields kFilled = {
    {"VRIME", "Petar"},        {"VRPREZIME", "Petrovic"},  {"VRJMBG", "0101990710008"},
    {"VRBRLK", "123456"},      {"VRMESTO", "Novi Sad"},    {"VRULICA", "Dunavska"},
    {"VRULKBR", "5"},          {"VRTELPBR", "021"},        {"VRTELBR", "555123"},
    {"FRNAZIVSKR", "MARKET"},  {"FRMESTO", "Beograd"},     {"FRULICA", "Glavna"},
    {"FRULKBR", "12"},         {"FRULKBRS", "A"},          {"FRULSPR", "3"},
    {"FRULSTBR", "7"},         {"FRULSTS", "B"},           {"FRTELPBR", "011"},
    {"FRTELBR", "1234567"},    {"FRFAXPBR", "011"},        {"FRFAXBR", "7654321"},
    {"FRPIB", "100000024"},    {"FRMATBR", "12345678"},    {"FRPORRAC", "1234567"},
    {"FRPORRACKB", "8"},       {"FRPIO", "99"},            {"FRREGBR", "R-1"},
    {"FRBANKA1R", "160-1"},    {"FRBANKA3R", "205-3"},     {"PRGNAPOM", "Probni komitent"},
    {"PRGTIPDEL", "008"},      {"PRGTIPKNJ", "P"},         {"PRGTIPOP", "X"},
    {"FRPEPDV", "123"},        {"FRDATOTV", "20200115"},   {"FROPSTINA", "Vracar"},
    {"FRMESTOPJ", "Zemun"},    {"FRDELSIF", "52110"},
};

using Register = CompanyDir;

TEST_F(Register, CompanyVariables) {
    add("004", kFilled);
    add("005", {{"FRULICA", "Kratka"}, {"FRULSTBR", "4"}, {"FRTELBR", "222333"}, {"FRPORRAC", "7654321"}});
    open_on("004");
    company_vars();
    EXPECT_EQ(WSIFKOM + WSIFDEL + "|" + WNAZKOM + "|" + WVLASNIK + "|" + WULICAKOM + "|" + WULICAVL + "|" + WTELKOM + "|" +
                  WBRPORRAC + "|" + WKLASIFIKATOR + "|" + rt::TRIM(WMESKOMPJ),
              "004008|MARKET              |Petar Petrovic|Glavna 12A Sprat:3 Stan:7B|Dunavska 5|011 1234567|1234567-8|PX|Zemun");
    EXPECT_EQ(WDATOTV, rt::Date::ymd(2020, 1, 15));
    EXPECT_TRUE(WPDVKOM);
    // Empty parts leave no trace.
    open_on("005");
    company_vars();
    EXPECT_EQ(WULICAKOM + "|" + WULICAVL + "|" + WTELKOM + "|" + WBRPORRAC, "Kratka Stan:4||222333|7654321");
    EXPECT_FALSE(WPDVKOM);
}

TEST_F(Register, DetailPanelLines) {
    add("004", kFilled);
    add("006", {{"FRNAZIVSKR", "PRAZNA"}, {"PRGNAPOM", std::string(69, 'N')}});
    open_on("004");
    const std::vector<std::string> want = {
        "Vlasnik: Petar Petrovic JMBG:0101990710008 BRLK:123456",
        // House and flat numbers as stored, blanks before their letters included.
        "Sediste Radnje: Beograd Glavna 12 A Sprat:3 Stan:7  B",
        "Sediste Vlasnika: Novi Sad Dunavska 5",
        "Telefon Radnje: 011 1234567 011 7654321 Telefon Vlasnika: 021 555123",
        "PIB:100000024 MB:12345678 PR:1234567-8 PIO:99 RB:R-1",
        "Tekuci Racuni: 160-1  205-3",
        "NAPOMENA: Probni komitent",
    };
    EXPECT_EQ(company_detail_lines(), want);

    open_on("006");
    // A note filling its whole field follows the heading without a blank.
    EXPECT_EQ(company_detail_lines(), (std::vector<std::string>{"", "", "", "", "", "", "NAPOMENA:" + std::string(69, 'N')}));
}

TEST_F(Register, SummaryRegisterKeptInStep) {
    add("004", kFilled);
    open_on("004");
    const int register_area = rt::dbf::current_number();
    EXPECT_TRUE(AZURMDK());
    EXPECT_EQ(rt::dbf::current_number(), register_area);
    EXPECT_EQ(rt::dbf::current().get_str("SIFRA_PRO"), "004");
    EXPECT_EQ(WPIO, rt::PADR("99", 10));
    rt::dbf::close_all();

    // The fields the end-to-end runs do not fill. Numbers as stored: "Glavna 12 A Sprat:3 Stan:7  B",
    // cut to the field's 20 characters.
    Fields m = record("mdk", "004");
    EXPECT_EQ(m["DELAT"] + "|" + m["ULICA"] + "|" + rt::TRIM(m["ULICAVL"]) + "|" + rt::TRIM(m["PIO"]) + "|" + m["KLASIFIK"],
              "   |Glavna 12 A Sprat:3 |Dunavska 5|99|PX");

    // A second update overwrites the same record.
    open_on("004");
    ASSERT_TRUE(rt::dbf::current().rlock());
    rt::dbf::current().put("FRNAZIVSKR", std::string("MARKET 2"));
    AZURMDK();
    rt::dbf::close_all();
    EXPECT_EQ(count("mdk"), 1);
    EXPECT_EQ(rt::TRIM(record("mdk", "004")["NAZIV"]), "MARKET 2");
}

TEST_F(Register, BusinessUnitMustBeAnotherExistingCompany) {
    add("001", {{"FRNAZIVSKR", "PRVA"}});
    add("002", {{"FRNAZIVSKR", "DRUGA"}});
    open_on("001");
    rt::dbf::WorkArea& a = rt::dbf::current();
    const uint32_t rec = a.recno();
    ASSERT_TRUE(a.rlock());
    WSIFRA = "001";
    a.put("FRIPJ1", std::string("1"));
    EXPECT_FALSE(TRAZIIPJ(1));
    a.put("FRIPJ2", std::string("9"));
    EXPECT_FALSE(TRAZIIPJ(2));
    a.put("FRIPJ3", std::string("2"));
    EXPECT_TRUE(TRAZIIPJ(3));
    EXPECT_EQ(a.recno(), rec);
    EXPECT_EQ(a.get_str("FRIPJ2") + a.get_str("FRIPJ3"), "9  002");  // only an accepted code is padded
}

TEST_F(Register, ActivityNamesLinePiecesAndTheFirstFreeCodeSwitch) {
    const std::string s1 = SIDEL("001"), s8 = SIDEL("008"), s9 = SIDEL("009");
    EXPECT_EQ(s1 + "|" + s8 + "|" + s9, "Proizvodnja|55 - Ugostiteljstvo|Zanatstvo/Usluge");
    EXPECT_EQ(WSD, "Zanatstvo/Usluge");
    for (const char* c : {"002", "006", "7"}) EXPECT_EQ(SIDEL(c), "") << c;
    EXPECT_EQ(WSD, "");

    EXPECT_EQ(MDKPOD(" JMBG:", "   ") + MDKPOD(" JMBG:", " 123  "), " JMBG:123");

    // The first-free-code switch says what it turned to.
    PSLSIFRA = false;
    toggle::PSLSIFRA();
    EXPECT_TRUE(PSLSIFRA);
    EXPECT_NE(rt::screen_row_text(11).find("UKLJUCENO Prepoznavanje prve slobodne sifre."), std::string::npos);
    toggle::PSLSIFRA();
    EXPECT_FALSE(PSLSIFRA);
    EXPECT_NE(rt::screen_row_text(11).find("ISKLJUCENO Prepoznavanje prve slobodne sifre."), std::string::npos);
}

}  // namespace
}  // namespace tor::test
