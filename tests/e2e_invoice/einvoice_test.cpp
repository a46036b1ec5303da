// An invoice printed in Windows-printer mode while the company holds "eracun.vlt" goes to the
// e-invoice print file "C:\Temp\" + buyer's tax number + "_" + date + ".prn", with the invoice's
// identifier in the e-invoice text.
#include <fstream>

#include "e2e/documents_fixture.h"

namespace {
using namespace torpdv_docs;

TEST(EInvoice, PrintFileNamedAfterBuyerAndDate) {
    Install inst;
    prepare_company(inst);
    const rt::Date day = rt::Date::ymd(2026, 3, 12);
    fill(inst / "001" / "ufakt.dbf", {"ufakt"},
         {{{"BRFAK", "000001"}, {"DATFAK", day}, {"DATPRO", day}, {"DATVAL", day}, {"KUPAC", "0003"},
           {"NAZKUP", "MARKET CENTAR DOO"}, {"MESKUP", "Beograd"}, {"PIBKUP", "104567890"}}});
    fill(inst / "001" / "fakt.dbf", {"fakt", "fakt1"},
         {{{"BRFAK", "000001"}, {"SIFART", "000003"}, {"NAZART", "KAFA MLEVENA 200G"}, {"JMERE", "KOM"},
           {"KOLICINA", 2.0}, {"PRODCEN", 360.0}, {"TARGR", "020"}, {"PSPOR", 16.667}}});
    std::ofstream(inst / "001" / "eracun.vlt", std::ios::binary) << "eID: %eID%";
    fs::path localset = inst / "localset";
    for (const auto& e : fs::directory_iterator(inst.path))
        if (lower(e.path().filename().string()) == "localset") localset = e.path();
    fs::create_directories(localset);
    std::ofstream(localset / "testpc01.set", std::ios::binary) << "WIN PRINTER=1;";
    Options o;
    o.env["TORPDV_DRIVE_C"] = (inst.path / "c").string();
    // 2.Unos, 2.Razduzenje, 1.Racun, 1.Racun; invoice 1, "STAMPA" to the printer, the reminder.
    Result r = go(inst, kEnter001 + "2211" + "1{Enter}SS{Enter}" + "{Esc}{Esc}{Esc}" + kQuit, o);
    ASSERT_EQ(r.status, 0) << why(r);
    // 12.03.2026, PIB 104567890, invoice 1, 720.00: 120326 104567890 000001 000072000 in base 36.
    fs::path file;
    for (const auto& e : fs::recursive_directory_iterator(inst.path / "c"))
        if (lower(e.path().filename().string()) == "104567890_12032026.prn") file = e.path();
    ASSERT_FALSE(file.empty()) << "no e-invoice print file";
    EXPECT_EQ(lower(file.parent_path().filename().string()), "temp");
    EXPECT_NE(slurp(file).find("eID: JWE25X-349ZTXC-GJF0HS"), std::string::npos);
}

}  // namespace
