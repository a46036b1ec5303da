// The company choice and the profile screens driven by typed keys.
#include "company_fixture.h"

namespace tor::test {
namespace {

class Choice : public CompanyDir {};

TEST_F(Choice, BasicDataRefusesBadCodesModesAndActivities) {
    // Code 0 is refused (Enter stays in the field); mode "x" refused, "p" taken as "P";
    // activity 4 refused, then 6.
    komit("1{Enter}6{Enter}{Enter}{Enter}{Enter}{Enter}x{Enter}p{Enter}4{Enter}6{Enter}"
          // A second company under code 8: activities 3 and 4 refused, then 0.
          "{Ins}18{Enter}{Enter}{Enter}{Enter}{Enter}{Enter}3{Enter}4{Enter}0{Enter}{Enter}");
    EXPECT_EQ(WSIFKOM, "008");
    EXPECT_EQ(record("mdk_pro", "006")["PRGTIPKNJ"] + record("mdk_pro", "006")["PRGTIPDEL"], "P006");
    EXPECT_EQ(record("mdk_pro", "008")["PRGTIPKNJ"] + record("mdk_pro", "008")["PRGTIPDEL"], "K000");
    EXPECT_EQ(count("mdk_pro") + count("mdk"), 4);
}

TEST_F(Choice, EscInBasicDataStoresNothing) {
    add("001", {{"FRNAZIVSKR", "PRVA"}, {"PRGTIPDEL", "002"}});
    komit("{Ins}1{Enter}DRUGA{Enter}{Esc}"
          // A new code left with Esc: the list comes back on the company it was on.
          "{Ins}15{Enter}{Esc}{Enter}");
    EXPECT_EQ(WSIFKOM, "001");
    EXPECT_EQ(rt::TRIM(WNAZKOM), "PRVA");
    EXPECT_EQ(count("mdk_pro"), 1);
}

TEST_F(Choice, OwnerScreenChecksPersonalNumberAndKeepsFieldsLeft) {
    add("001", {{"FRNAZIVSKR", "PRVA"}, {"VRBRLK", "555"}});
    // A wrong check digit keeps the cursor in the field; Esc then abandons that field only.
    komit("{Ins}2Petar{Enter}{Enter}Petrovic{Enter}0101990710007{Enter}{Esc}{Enter}");
    Fields r = record("mdk_pro", "001");
    EXPECT_EQ(rt::TRIM(r["VRIME"]) + rt::TRIM(r["VRPREZIME"]) + "|" + r["VRJMBG"], "PetarPetrovic|" + std::string(13, ' '));
    // A good number is stored; the card number being typed when Esc comes is dropped.
    komit("{Ins}2{Enter}{Enter}{Enter}0101990710008{Enter}999{Esc}{Enter}");
    r = record("mdk_pro", "001");
    EXPECT_EQ(r["VRJMBG"] + rt::TRIM(r["VRBRLK"]), "0101990710008555");
    EXPECT_EQ(WVLASNIK, "Petar Petrovic");
}

TEST_F(Choice, BusinessScreenAcceptsOnlyOtherExistingCompaniesAsUnits) {
    add("001", {{"FRNAZIVSKR", "PRVA"}});
    add("002", {{"FRNAZIVSKR", "DRUGA"}});
    // 35 fields before the first business unit, then: own code refused, unknown code refused,
    // 2 accepted; the second unit left empty; Esc in the third.
    std::string keys = "{Ins}3";
    for (int i = 0; i < 35; ++i) keys += "{Enter}";
    keys += "1{Enter}9{Enter}2{Enter}{Enter}{Esc}{Enter}";
    komit(keys);
    Fields r = record("mdk_pro", "001");
    EXPECT_EQ(r["FRIPJ1"] + r["FRIPJ2"] + r["FRIPJ3"] + "|", "002      |");
    EXPECT_EQ(WSIFKOM, "001");
}

TEST_F(Choice, CodeSearchEntersCompanyAtOnce) {
    add("001", {{"FRNAZIVSKR", "PRVA"}});
    add("005", {{"FRNAZIVSKR", "PETA"}});
    add("007", {{"FRNAZIVSKR", "SEDMA"}});
    // An unknown code shows the error line (ended by the space bar); Esc in the prompt does nothing.
    const std::string name = komit("9{Enter}{dump} 4{Esc}7{Enter}");
    EXPECT_EQ(name, rt::PADR("SEDMA", 20));
    EXPECT_EQ(WSIFKOM, "007");
    EXPECT_TRUE(std::filesystem::is_directory(root_ + "/007"));
    EXPECT_TRUE(rt::dbf::used_areas().empty());  // every table closed behind the entered company
    const auto d = dumps();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NE(d[0][24].find("Nepostoji trazena Sifra !"), std::string::npos);
    EXPECT_EQ(KO_JE, 3);
}

TEST_F(Choice, NameSearchFiltersUntilF3) {
    add("001", {{"FRNAZIVSKR", "Market"}});
    add("002", {{"FRNAZIVSKR", "PEKARA"}});
    add("003", {{"FRNAZIVSKR", "Zima"}});
    add("004", {{"FRNAZIVSKR", "SAMOPOSLUGA"}});
    // A name nobody has shows the error line (ended by the space bar) and changes nothing.
    const std::string name =
        komit("{Down}xyz{Enter}{dump} ma{Enter}{dump}{Down}{Down}{dump}{F3}{dump}{Down}{Down}{Enter}");
    auto d = dumps();
    ASSERT_EQ(d.size(), 4u);
    EXPECT_NE(d[0][24].find("Nepostoji trazeni Naziv !"), std::string::npos);
    d.erase(d.begin());
    // Down past the last match stays on it; F3: the whole register again.
    for (const auto& scr : {d[0], d[1]}) EXPECT_EQ(cut(scr[3], 4, 10) + cut(scr[4], 4, 8) + cut(scr[5], 4, 3), "001 Market003 Zima   ");
    EXPECT_EQ(cut(d[2][4], 4, 10) + cut(d[2][6], 4, 15), "002 PEKARA004 SAMOPOSLUGA");
    EXPECT_EQ(rt::TRIM(name), "Zima");
}

TEST_F(Choice, MovingThroughTheList) {
    for (int i = 1; i <= 7; ++i) add(rt::STRZERO(i, 3), {{"FRNAZIVSKR", "FIRMA " + std::to_string(i)}});
    // Down to the sixth company scrolls the list by one; Down at the last one stays there.
    std::string name = komit("{Down}{Down}{Down}{Down}{Down}{dump}{Down}{Down}{Down}{dump}{Enter}");
    auto d = dumps();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(cut(d[0][3], 4, 3) + cut(d[0][7], 4, 3) + "|" + cut(d[1][3], 4, 3) + cut(d[1][7], 4, 3), "002006|003007");
    EXPECT_EQ(rt::TRIM(name), "FIRMA 7");

    // The list comes back on the company entered last; Home goes to the top, PgDn beyond the
    // end lands on the last company, PgUp goes back four.
    name = komit("{dump}{Home}{PgDn}{PgDn}{dump}{PgUp}{Up}{dump}{Home}{Up}{Enter}");
    d = dumps();
    ASSERT_EQ(d.size(), 3u);
    EXPECT_EQ(cut(d[0][3], 4, 3) + "|" + cut(d[1][3], 4, 3) + cut(d[1][4], 4, 3), "007|007   ");
    // PgUp from 007 goes to 003; Up above the first row scrolls the list down.
    EXPECT_EQ(cut(d[2][3], 4, 3) + cut(d[2][4], 4, 3) + cut(d[2][7], 4, 3), "002003006");
    // Up on the first company stays on it.
    EXPECT_EQ(rt::TRIM(name), "FIRMA 1");
}

TEST_F(Choice, DeletedCompanyShownButNotEntered) {
    add("001", {{"FRNAZIVSKR", "STARA"}}, true);
    add("002", {{"FRNAZIVSKR", "NOVA"}});
    const std::string name = komit("{Enter}{dump}{Down}{Enter}");
    const auto d = dumps();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(cut(d[0][3], 4, 9), "XXX STARA");
    EXPECT_NE(d[0][11].find("Komitent je oznacen za brisanje !?"), std::string::npos);
    EXPECT_EQ(rt::TRIM(name), "NOVA");
    EXPECT_TRUE(rt::dbf::deleted_hidden());
}

TEST_F(Choice, DetailPanelOfTheCompanyUnderTheBar) {
    add("001", {{"FRNAZIVSKR", "PRVA"}, {"VRIME", "Ana"}, {"VRPREZIME", "Anic"}, {"PRGNAPOM", "Napomena"}});
    add("002", {{"FRNAZIVSKR", "DRUGA"}});
    komit("{dump}{Down}{dump}{Enter}");
    const auto d = dumps();
    ASSERT_EQ(d.size(), 2u);
    // Lines "Vlasnik: Ana Anic" and "NAPOMENA: Napomena" in a frame 24 wide.
    EXPECT_EQ(cut(d[0][18], 0, 26) + cut(d[0][19], 0, 26), "\xBAVlasnik: Ana Anic       \xBA\xBANAPOMENA: Napomena      \xBA");
    EXPECT_EQ(cut(d[0][20], 0, 26), "\xC8" + rt::REPLICATE("\xCD", 24) + "\xBC");
    // A company without any of these details: only a line on row 17, nothing below.
    EXPECT_EQ(cut(d[1][17], 14, 26), rt::REPLICATE("\xCD", 26));
    EXPECT_EQ(cut(d[1][18], 0, 26), std::string(26, ' '));
}

}  // namespace
}  // namespace tor::test
