// The workstation's settings file read at start, its toggles (hot keys, refusal while a costing
// or an expenditure is open, stale entries, a file that cannot be written), the desktop colour,
// and the program-settings screen with its prompts and printer folder.
#include "company/company.h"
#include "frame/frame.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"
#include "start_fixture.h"

namespace tor::start_test {
namespace {

bool* const TEN[] = {&S_INDEX, &S_KALK,     &S_RACUN,      &S_RAZPRENPDV, &S_ZALIHA,
                     &S_RACZAL, &S_NULAZALIHA, &W_PRINTER,  &S_PROMETOPIS, &S_RACOTP};

void set_all(bool on) {
    for (bool* v : TEN) *v = on;
}
// The ten settings in the order of TEN as "0"/"1".
std::string state() {
    std::string s;
    for (bool* v : TEN) s += *v ? '1' : '0';
    return s;
}

class FrameSettings : public Install {
protected:
    void SetUp() override {
        Install::SetUp();
        MEM_VAR.clear();
        set_all(false);
        S_KALK = true;
    }
    std::string file() const { return rt::os::read_file(settings_file()); }
    void write(const std::string& text) const { ASSERT_TRUE(rt::os::write_file(settings_file(), text)); }
};

TEST_F(FrameSettings, ReadingTheFile) {
    set_all(true);
    S_KALK = false;
    read_settings();
    EXPECT_EQ(state(), "0100000000") << "missing file: defaults";
    EXPECT_EQ(MEM_VAR, "");

    write("SKRACENA KALKULACIJA=0;");
    read_settings();
    EXPECT_EQ(state(), "0000000000");

    write("AZURIRANJE INDEXA=1;SKRACEN RACUN=1;RAZVRSTAJ PRETHODNI PDV=1;ZALIHA NA RACUNU=1;"
          "STAMPATI NULA ZALIHU=1;WIN PRINTER=1;WIN PRINTER=0;UNOS OPISA PROMETA=1;RACUN OTPREMNICA=1;"
          "PRORACUN ZALIHE=x;SKRACENA KALKULACIJA= ;");
    read_settings();
    EXPECT_EQ(state(), "1111101111") << "first entry wins; a blank or odd character gives the default";

    write("WIN PRINTER=0;");
    DOSPAR = "WP";
    read_settings();
    EXPECT_TRUE(W_PRINTER);

    // A file that cannot be read counts as empty.
    std::filesystem::remove(rt::os::resolve(settings_file()));
    std::filesystem::create_directories(rt::os::resolve(settings_file()));
    DOSPAR = "!";
    set_all(true);
    read_settings();
    EXPECT_EQ(state(), "0100000000");
    EXPECT_EQ(MEM_VAR, "");
}

TEST_F(FrameSettings, TogglesWriteTheFileOrSayTheyCannot) {
    register_hotkeys();
    ASSERT_TRUE(rt::fire_hotkey(rt::K::ALT_K));
    EXPECT_FALSE(S_KALK);
    EXPECT_EQ(file(), "SKRACENA KALKULACIJA=0;");
    EXPECT_EQ(PROGRAM_SETTINGS, &INS_PP);

    // A file that cannot be written is reported and the value kept.
    std::filesystem::remove_all(rt::os::resolve("LocalSet"));
    toggle::S_RACUN();
    EXPECT_TRUE(S_RACUN);
    EXPECT_TRUE(on_screen("Problem u snimanju vrednosti promenjljive na hard disk."));
}

TEST_F(FrameSettings, InputVatClassificationRefusedWhileACostingOrExpenditureIsOpen) {
    register_hotkeys();
    const std::pair<const char*, const char*> open[] = {{"ukalk", "Kalkulaciju."}, {"rashod", "Rashod."}};
    for (const auto& [table, where] : open) {
        MAKEDBF(OSNDIR + table, {"BROJ      C6  "});
        ASSERT_TRUE(rt::dbf::use(dbf_path(OSNDIR + table)));
        ASSERT_TRUE(rt::fire_hotkey(rt::K::ALT_R));
        EXPECT_FALSE(S_RAZPRENPDV) << table;
        EXPECT_FALSE(rt::os::exists(settings_file())) << table;
        EXPECT_TRUE(on_screen(std::string("Promena ove opcije je dozvoljena samo pre ulaska u ") + where));
        rt::dbf::close_all();
    }
    ASSERT_TRUE(rt::fire_hotkey(rt::K::ALT_R));
    EXPECT_TRUE(S_RAZPRENPDV);
}

TEST_F(FrameSettings, DesktopColourTakesOnlyItsLetters) {
    keys("x1{F2}{Enter}w");
    S_DESKTOP();
    EXPECT_EQ(rt::os::read_file(desktop_file()), "W");
    EXPECT_FALSE(rt::os::exists(settings_file()));
    keys("{Esc}");
    S_DESKTOP();
    EXPECT_FALSE(rt::os::exists(desktop_file()));
}

TEST_F(FrameSettings, SettingsPromptsAreAllOneWidth) {
    DDAN = TODAY;
    MESS = rt::PADR("BEOGRAD", 15);
    SAST = rt::PADR("PERA", 15);
    for (bool on : {false, true}) {
        set_all(on);
        for (int n = 1; n <= 12; ++n) EXPECT_EQ(ins_pp_prompt(n, "C:\\DP\\").size(), 78u) << n << " " << on;
    }
    EXPECT_EQ(ins_pp_prompt(10, "C:\\DP\\"),
              " Stampac je" + std::string(32, '.') + "WINDOWS DEFAULT [DP folder C:\\DP\\] ");
    EXPECT_EQ(ins_pp_prompt(11, ""), " Datum Obrade" + std::string(54, '.') + "10.03.2026 ");
    EXPECT_EQ(ins_pp_prompt(12, ""), " Potpis na obrascima" + std::string(20, '.') +
                                         "< MESTO: BEOGRAD > < SASTAVIO: PERA > ");
    set_all(false);
    EXPECT_EQ(ins_pp_prompt(10, ""), " Stampac je" + std::string(58, '.') + "MATRICNI ");
}

std::string downs(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "{Down}";
    return s;
}

TEST_F(FrameSettings, PrintFolderOfTheSettingsScreenAfterTheWindowsPrinterIsSwitchedOffAndOn) {
    read_setup();
    // On, off, then on again with a folder typed without its closing backslash.
    keys(downs(9) + "{Enter}C: {Enter}{pause}{Enter}{Enter}{25}d:\\dp{Enter}{Esc}");
    INS_PP();
    EXPECT_TRUE(W_PRINTER);
    EXPECT_EQ(rt::os::read_file(print_folder_file()), "D:\\DP\\");
    EXPECT_EQ(print_folder(), "D:\\DP\\");
    EXPECT_EQ(file(), "WIN PRINTER=1;");
}

}  // namespace
}  // namespace tor::start_test
