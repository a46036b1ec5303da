// Start-up of the real program: the first start in an empty directory, the command-line
// switches, the processing date, the workstation settings file with its hot-key toggles, the
// program-settings screen, and damaged tables that must end the program cleanly.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "e2e/torpdv_harness.h"
#include "rt/dbf/dbf.h"
#include "rt/term/console.h"

namespace {

namespace fs = std::filesystem;
using namespace torpdv_e2e;
using PRun = torpdv_e2e::Run;

PRun go_arg(const Install& inst, const std::string& arg, const std::string& script) {
    Options o;
    o.arg = arg;
    return go(inst, script, o);
}

// A one-line message box as drawn over the screen: rows 10-12, the text centred on row 11.
void expect_message(const PRun& r, size_t dump, const std::string& text) {
    ASSERT_LT(dump, r.screens.size()) << "no screen " << dump << "; " << r.err;
    const int len = static_cast<int>(text.size());
    const int c = (80 - len) / 2;
    EXPECT_EQ(cells(r, dump, 10, c - 3, len + 6), "\xC9" + rep('\xCD', len + 4) + "\xBB") << show(row_of(r, dump, 10));
    EXPECT_EQ(cells(r, dump, 11, c - 3, len + 6), "\xBA  " + text + "  \xBA") << show(row_of(r, dump, 11));
}

// The message boxes of dumps 0, 1, … in turn.
void expect_messages(const PRun& r, const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) expect_message(r, i, texts[i]);
}

// ---- files ----
// A file or directory in dir whose name matches case-insensitively (the program names what it
// creates in lower case and finds existing files whatever their case).
fs::path find_ci(const fs::path& dir, const std::string& name) {
    if (fs::exists(dir))
        for (const auto& e : fs::directory_iterator(dir))
            if (lower(e.path().filename().string()) == lower(name)) return e.path();
    return {};
}
std::string settings_text(const Install& inst) {
    const fs::path p = find_ci(find_ci(inst.path, "LocalSet"), "TESTPC01.set");
    return p.empty() ? "<no settings file>" : slurp(p);
}
int settings_files(const Install& inst) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(inst.path))
        if (e.is_directory())
            for (const auto& f : fs::directory_iterator(e.path()))
                if (f.path().extension() == ".set" || f.path().extension() == ".SET") ++n;
    return n;
}

// ---- tables ----
// One field of the setup record changed in place, as another workstation would.
void set_setup(const Install& inst, const std::string& field, const rt::dbf::Value& v) {
    rt::dbf::WorkArea a;
    ASSERT_TRUE(a.open((inst / "set_up.vlt").string()));
    a.go_top();
    ASSERT_TRUE(a.rlock());
    a.put(field, v);
    a.commit();
    a.close();
}
Rec setup(const Install& inst) {
    auto recs = records(inst / "set_up.vlt");
    EXPECT_EQ(recs.size(), 1u);
    return recs.empty() ? Rec{} : recs[0];
}
// A program that ends on a damaged table: status 1, a message naming the file, no crash report,
// and the damaged file left as it was.
void expect_clean_refusal(const PRun& r, const std::string& file_name) {
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(file_name), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("runtime error:"), std::string::npos) << r.err;
}

// Several workstations starting the program in one installation at the same moment, each with
// its own identifier and the same key script. Returns each one's exit status and error output.
std::vector<std::pair<int, std::string>> start_together(const Install& inst, int n, const std::string& script) {
    std::vector<pid_t> pids;
    for (int i = 0; i < n; ++i) {
        const std::string tag = std::to_string(i + 1);
        std::ofstream(inst / ("keys" + tag + ".txt"), std::ios::binary) << "{pause}" + script;
        pid_t pid = fork();
        if (pid == 0) {
            if (chdir(inst.path.c_str()) != 0) _exit(126);
            freopen("/dev/null", "r", stdin);
            freopen(("out" + tag + ".txt").c_str(), "w", stdout);
            freopen(("err" + tag + ".txt").c_str(), "w", stderr);
            setenv("TORPDV_KEYS", ("keys" + tag + ".txt").c_str(), 1);
            setenv("TORPDV_SCREEN", ("screen" + tag + ".txt").c_str(), 1);
            setenv("TORPDV_TODAY", "2026-03-16", 1);
            setenv("TORPDV_PCID", ("TESTPC1" + tag).c_str(), 1);
            setenv("TORPDV_PRINTER", "printer.out", 1);
            setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
            execl(kBinary.c_str(), kBinary.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        pids.push_back(pid);
    }
    std::vector<std::pair<int, std::string>> out;
    for (int i = 0; i < n; ++i) {
        int st = 0;
        waitpid(pids[i], &st, 0);
        out.push_back({WIFEXITED(st) ? WEXITSTATUS(st) : -1, slurp(inst / ("err" + std::to_string(i + 1) + ".txt"))});
    }
    return out;
}

const std::string kSetupLayout =
    "COLOR L1;ZVUK L1;SAT L1;SASTAVIO C15;MESTO C15;TELEFON C15;ZR_OP C11;ZR_OPV C11;ZR_OPN C11;ZR_PP C9;DAT_OBR D8;"
    "RUC N10.2;";

}  // namespace

// The first start in an empty directory: working directories, the setup table with its default
// record, the program-wide tables, the notes table; the title line and the profile menu of the
// empty register. A second start without a switch leaves the setup record as it is.
TEST(TorpdvStart, FirstStartInAnEmptyDirectory) {
    Install inst;
    PRun r = go(inst, "{dump}");
    ASSERT_EQ(r.status, 3) << r.err;
    ASSERT_FALSE(r.screens.empty());

    EXPECT_TRUE(fs::is_directory(find_ci(inst.path, "Temp")));
    EXPECT_TRUE(fs::is_directory(find_ci(inst.path, "LocalSet")));

    // The setup table: twelve fields, one record with the defaults.
    EXPECT_EQ(layout(inst / "set_up.vlt"), kSetupLayout);
    Rec s = setup(inst);
    EXPECT_TRUE(std::get<bool>(s["COLOR"]) && std::get<bool>(s["ZVUK"]) && !std::get<bool>(s["SAT"]));
    expect_fields(s, {{"SASTAVIO", "__________"}, {"MESTO", "__________"}, {"TELEFON", "__________"},
                      {"ZR_OP", ""}, {"ZR_OPV", ""}, {"ZR_OPN", ""}, {"ZR_PP", ""}});
    EXPECT_TRUE(std::get<rt::Date>(s["DAT_OBR"]).empty());
    EXPECT_EQ(std::get<double>(s["RUC"]), 20.0);

    // The program-wide tables (their fields and keys: the data dictionary's test): the structure
    // codes filled in, the company register empty, the notes table; the message and page-count
    // tables come with the first company entered.
    std::string codes;
    for (const Rec& rec : records(inst / "strukras.dbf")) codes += std::get<std::string>(rec.at("STRUKTURA"));
    EXPECT_EQ(codes, "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_TRUE(records(inst / "mdk_pro.dbf").empty());
    EXPECT_TRUE(fs::exists(inst / "mdk.ntx"));
    EXPECT_EQ(layout(inst / "message.vlt"), "DATUM D8;TEKST C60;");
    EXPECT_EQ(ntx_key(inst / "message.ntx"), "DATUM");
    EXPECT_FALSE(fs::exists(inst / "mporuke.dbf"));
    EXPECT_FALSE(fs::exists(inst / "brstpstr.dbf"));

    // Title line of the company choice (the profile menu under it: the company tests).
    EXPECT_EQ(row_of(r, 0, 0), "16.Mar.2026, (Poned.)  :: TOR-PDV v1.84.1 (2018) / Komitenti ::" + rep(' ', 10) + "F1=Info");

    // Another day, no switch: the date on the title line follows; the setup record is unchanged.
    const std::vector<Rec> before = records(inst / "set_up.vlt");
    Options o;
    o.today = "2026-12-06";
    PRun r2 = go(inst, "{dump}", o);
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(cells(r2, 0, 0, 0, 22), "06.Dec.2026, (Nedelja)");
    EXPECT_EQ(records(inst / "set_up.vlt"), before);
}

// "/?" prints the switches and ends at once, before anything is created. "/B" and "/Z" invert
// colour and sound in the setup record for good, in either case of letters; the other fields stay.
TEST(TorpdvStart, HelpColourAndSoundSwitches) {
    Install inst;
    Options o;
    o.arg = "/?";
    PRun r = run(inst, "", o);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "PARAMETRI PROGRAMA:\n"
              "/B  - Ukljucuje/Iskljucuje Boju.\n"
              "/Z  - Ukljucuje/Iskljucuje Zvuk.\n"
              "/S  - Promena potpisa Sastavio.\n"
              "/M  - Promena ispisa Mesta na Obrascima.\n"
              "/D  - Promena Datuma Obrade.\n"
              "/U  - Promena Datuma Obrade.\n"
              "/?  - Ispis ovog Teksta.\n"
              "\n");
    EXPECT_TRUE(r.screens.empty());
    for (const char* f : {"set_up.vlt", "Temp", "LocalSet"}) EXPECT_TRUE(find_ci(inst.path, f).empty()) << f;

    const struct { const char* sw; bool colour, sound; } steps[] = {{"/B", false, true}, {"/z", false, false}, {"/b", true, false}};
    for (const auto& st : steps) {
        ASSERT_EQ(go_arg(inst, st.sw, "").status, 3) << st.sw;
        Rec s = setup(inst);
        EXPECT_EQ(std::get<bool>(s["COLOR"]), st.colour) << st.sw;
        EXPECT_EQ(std::get<bool>(s["ZVUK"]), st.sound) << st.sw;
        EXPECT_EQ(std::get<double>(s["RUC"]), 20.0) << st.sw;
        EXPECT_EQ(str(s, "SASTAVIO"), "__________") << st.sw;
    }
}

// "/RUC" asks for the commission margin on the bottom row and stores it; "/RUCX" still selects it.
// On a first start the progress box of the setup table's creation is still on the screen then.
TEST(TorpdvStart, MarginSwitchAsksOnTheBottomRow) {
    Install inst;
    PRun r = go_arg(inst, "/RUC", "{dump}15{Enter}{dump}");
    ASSERT_RUN_GE(r, 3, 2);
    EXPECT_EQ(row_of(r, 0, 24), "Razlika u Ceni kod Komisiona: 20.00" + rep(' ', 45));
    expect_progress(r, 0, "Kreiram datoteku..001", "Datoteka: set_up.vlt  \xB3");
    EXPECT_EQ(std::get<double>(setup(inst)["RUC"]), 15.0);
    // The start goes on to the company choice.
    EXPECT_EQ(cells(r, 1, 3, 36, 7), "OPCIJE:");

    PRun r2 = go_arg(inst, "/RUCX", "{dump}7.5{Enter}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(cells(r2, 0, 24, 0, 35), "Razlika u Ceni kod Komisiona: 15.00");
    EXPECT_EQ(std::get<double>(setup(inst)["RUC"]), 7.5);
    EXPECT_EQ(std::get<bool>(setup(inst)["COLOR"]), true);

    // Esc leaves the stored margin as it was.
    ASSERT_EQ(go_arg(inst, "/RUC", "99{Esc}").status, 3);
    EXPECT_EQ(std::get<double>(setup(inst)["RUC"]), 7.5);
}

// A processing date other than today: the message after the company choice waits for the user;
// today's date gives none.
TEST(TorpdvStart, ProcessingDateOfAnotherDayIsAnnounced) {
    Install inst;
    ASSERT_EQ(go(inst, kNew001).status, 3);
    set_setup(inst, "DAT_OBR", rt::Date::ymd(2026, 3, 10));
    PRun r = go(inst, "{Enter}{dump}{pause}{dump}");
    ASSERT_RUN_GE(r, 3, 2);
    expect_message(r, 0, "Datum obrade je podesen na 10.03.2026.");
    // After the wait the company is open with its main menu, the message gone.
    EXPECT_EQ(cells(r, 1, 3, 7, 16), "1.Maticni podaci");
    EXPECT_EQ(row_of(r, 1, 11).find("Datum obrade"), std::string::npos);

    // Today as processing date: no message, straight to the main menu.
    set_setup(inst, "DAT_OBR", rt::Date::ymd(2026, 3, 16));
    PRun r2 = go(inst, "{Enter}{dump}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(cells(r2, 0, 3, 7, 16), "1.Maticni podaci");
    EXPECT_EQ(row_of(r2, 0, 11).find("Datum obrade"), std::string::npos);
}

// Alt+K, Alt+Z, Alt+0, Alt+S and Alt+R in the company choice: each reports the new state and
// rewrites the settings file, one entry per key; the next start reads the file; the keys work in
// the main menu too.
TEST(TorpdvStart, SettingHotKeysRewriteTheSettingsFile) {
    Install inst;
    PRun r = go(inst, "{Alt+K}{dump}{Alt+Z}{dump}{Alt+0}{dump}{Alt+S}{dump}{Alt+R}{dump}{Alt+K}{dump}");
    ASSERT_RUN_GE(r, 3, 6);
    expect_messages(r, {"Kalkulacija je PROSIRENA.", "Ispis zalihe je UKLJUCEN.", "Stampa stavke sa stanjem nula je UKLJUCENA.",
                        "Ova opcija zahteva instaliran i aktivan program DOSPRINT.",
                        "Razvrstavanje prethodnog PDV-a je UKLJUCENO.", "Kalkulacija je SKRACENA."});
    EXPECT_EQ(settings_text(inst),
              "ZALIHA NA RACUNU=1;STAMPATI NULA ZALIHU=1;WIN PRINTER=1;RAZVRSTAJ PRETHODNI PDV=1;"
              "SKRACENA KALKULACIJA=1;");

    // The next start reads the file: the toggles start from the stored states.
    PRun r2 = go(inst, "{Alt+K}{dump}{Alt+Z}{dump}{Alt+S}{dump}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    expect_messages(r2, {"Kalkulacija je PROSIRENA.", "Ispis zalihe je ISKLJUCEN.", "Stampac je MATRICNI."});
    EXPECT_EQ(settings_text(inst),
              "STAMPATI NULA ZALIHU=1;RAZVRSTAJ PRETHODNI PDV=1;SKRACENA KALKULACIJA=0;ZALIHA NA RACUNU=0;"
              "WIN PRINTER=0;");

    // In the main menu of an open company.
    PRun r3 = go(inst, kNew001 + "{Enter}{Alt+0}{dump}{Alt+R}{dump}");
    ASSERT_EQ(r3.status, 3) << r3.err;
    expect_messages(r3, {"Stampa stavke sa stanjem nula je ISKLJUCENA.", "Razvrstavanje prethodnog PDV-a je ISKLJUCENO."});
    EXPECT_EQ(settings_text(inst),
              "SKRACENA KALKULACIJA=0;ZALIHA NA RACUNU=0;WIN PRINTER=0;STAMPATI NULA ZALIHU=0;"
              "RAZVRSTAJ PRETHODNI PDV=0;");
    EXPECT_EQ(settings_files(inst), 1);

    // Inside an input field: the field keeps what was typed before and after the key; the
    // first-free-code switch (Alt+PgDn) reports its state and leaves the settings file alone.
    Install inst2;
    PRun r4 = go(inst2, "{Alt+PgDn}{dump}{Enter}1{Enter}Pr{Alt+K}{dump}va{Enter}{Enter}{Enter}{Enter}{Enter}1{Enter}");
    ASSERT_EQ(r4.status, 3) << r4.err;
    expect_messages(r4, {"UKLJUCENO Prepoznavanje prve slobodne sifre.", "Kalkulacija je PROSIRENA."});
    EXPECT_EQ(cells(r4, 1, 18, 59, 4), "PR  ") << show(row_of(r4, 1, 18));
    EXPECT_EQ(std::get<std::string>(records(inst2 / "mdk_pro.dbf").at(0).at("FRNAZIVSKR")), "PRVA" + rep(' ', 16));
    EXPECT_EQ(settings_text(inst2), "SKRACENA KALKULACIJA=0;");
}

// A settings file brought over from DOS (upper-case names) is found and rewritten in place;
// every entry of a toggled key goes, whatever its value.
TEST(TorpdvStart, ExistingSettingsFileIsReadAndRewritten) {
    Install inst;
    fs::create_directory(inst / "LocalSet");
    std::ofstream(inst / "LocalSet" / "TESTPC01.set", std::ios::binary)
        << "SKRACENA KALKULACIJA=0;ZALIHA NA RACUNU=1;SKRACENA KALKULACIJA=x;";
    PRun r = go(inst, "{Alt+K}{dump}");
    ASSERT_EQ(r.status, 3) << r.err;
    expect_message(r, 0, "Kalkulacija je SKRACENA.");
    EXPECT_EQ(settings_text(inst), "ZALIHA NA RACUNU=1;SKRACENA KALKULACIJA=1;");
    EXPECT_EQ(settings_files(inst), 1);
    int dirs = 0;
    for (const auto& e : fs::directory_iterator(inst.path)) dirs += e.is_directory();
    EXPECT_EQ(dirs, 2);  // "LocalSet" as it was, and the new "Temp"
    EXPECT_TRUE(fs::is_directory(inst / "LocalSet"));
}

// "4.Programska Podesavanja": the framed screen with twelve prompts showing the current values; a
// toggle is shown at once; the processing date is stored empty when it is today.
TEST(TorpdvStart, ProgramSettingsScreen) {
    Install inst;
    const std::string open = "{Down}{Down}{Down}{Enter}";
    PRun r = go(inst, open + "{dump}{Down}{Down}{Down}{Enter}{dump}");
    ASSERT_RUN_GE(r, 3, 2);
    const std::string title = " Programska podesavanja: ";
    EXPECT_EQ(row_of(r, 0, 11), "\xC9" + rep('\xCD', 26) + title + rep('\xCD', 27) + "\xBB") << show(row_of(r, 0, 11));
    // The first prompt and item 4 (the costing, short by default) in the frame; the toggled item
    // shows its new value at once, with the message.
    EXPECT_EQ(row_of(r, 0, 12), "\xBA Promena boje pozadine programa" + rep('.', 37) + "OMOGUCENA \xBA") << show(row_of(r, 0, 12));
    const std::string kalk = "\xBA Kalkulacija je" + rep('.', 53);
    EXPECT_EQ(row_of(r, 0, 15), kalk + ".SKRACENA \xBA") << show(row_of(r, 0, 15));
    EXPECT_EQ(row_of(r, 0, 24), "\xC8" + rep('\xCD', 78) + "\xBC");
    expect_message(r, 1, "Kalkulacija je PROSIRENA.");
    EXPECT_EQ(row_of(r, 1, 15), kalk + "PROSIRENA \xBA") << show(row_of(r, 1, 15));
    EXPECT_EQ(settings_text(inst), "SKRACENA KALKULACIJA=0;");

    // A stored processing date is shown (another date typed: the calendar tests); setting today's
    // date stores an empty date.
    set_setup(inst, "DAT_OBR", rt::Date::ymd(2026, 3, 10));
    PRun r3 = go(inst, open + "{dump}" + keys("{Down}", 10) + "{Enter}16032026{Enter}{dump}");
    ASSERT_EQ(r3.status, 3) << r3.err;
    EXPECT_EQ(row_of(r3, 0, 22), "\xBA Datum Obrade" + rep('.', 54) + "10.03.2026 \xBA") << show(row_of(r3, 0, 22));
    expect_message(r3, 1, "Datum obrade je podesen na DANASNJI DATUM.");
    EXPECT_EQ(cells(r3, 1, 22, 68, 10), "16.03.2026");
    EXPECT_TRUE(std::get<rt::Date>(setup(inst)["DAT_OBR"]).empty());
}

// A damaged setup table or company register ends the program with a message naming the file and
// status 1; the damaged file is left as it was.
TEST(TorpdvStart, DamagedTablesEndTheProgramCleanly) {
    // Set-up script, the file damaged, the bytes it keeps (none: replaced by garbage text), the
    // script of the failing run, the name in the message.
    const struct { std::string setup; fs::path file; size_t keep; std::string script, name; } cases[] = {
        {"", "set_up.vlt", 0, "{dump}", "set_up.vlt"},
        {"", "set_up.vlt", 100, "{dump}", "set_up.vlt"},  // cut short inside its field descriptions
        {kNew001, "mdk_pro.dbf", 200, "{dump}", "mdk_pro"},
        // A company table cut short: entering the company stops there.
        {kNew001 + "{Enter}", fs::path("001") / "mdart.dbf", 150, "{Enter}{dump}", "mdart"},
    };
    for (const auto& c : cases) {
        Install inst;
        std::string bytes = "this is not a table at all, just some text\n";
        if (c.keep) {
            ASSERT_EQ(go(inst, c.setup).status, 3) << c.file;
            bytes = slurp(inst / c.file.string()).substr(0, c.keep);
        }
        std::ofstream(inst / c.file.string(), std::ios::binary | std::ios::trunc) << bytes;
        expect_clean_refusal(go(inst, c.script), c.name);
        EXPECT_EQ(slurp(inst / c.file.string()), bytes) << c.file;
        // The cut company table is neither taken for an older structure nor replaced.
        if (fs::exists(inst / "001")) {
            for (const auto& e : fs::directory_iterator(inst / "001"))
                EXPECT_EQ(e.path().filename().string().find("mdart.K"), std::string::npos) << e.path();
        }
    }
}

// A setup table of an older installation (without the margin field) is moved aside once to
// "setup.ruc", re-created with every field and refilled: the values stay, the margin is empty.
// Later starts neither move it again nor add records.
TEST(TorpdvStart, OlderSetupTableIsUpgradedOnce) {
    Install inst;
    {
        std::vector<rt::dbf::FieldDef> f = {
            {"COLOR", 'L', 1, 0, 0},    {"ZVUK", 'L', 1, 0, 0},      {"SAT", 'L', 1, 0, 0},
            {"SASTAVIO", 'C', 15, 0, 0}, {"MESTO", 'C', 15, 0, 0},    {"TELEFON", 'C', 15, 0, 0},
            {"ZR_OP", 'C', 11, 0, 0},   {"ZR_OPV", 'C', 11, 0, 0},   {"ZR_OPN", 'C', 11, 0, 0},
            {"ZR_PP", 'C', 9, 0, 0},    {"DAT_OBR", 'D', 8, 0, 0}};
        rt::dbf::create_table((inst / "set_up.vlt").string(), f);
        rt::dbf::WorkArea a;
        ASSERT_TRUE(a.open((inst / "set_up.vlt").string()));
        ASSERT_TRUE(a.append_blank());
        a.put("COLOR", false);
        a.put("ZVUK", true);
        a.put("SASTAVIO", "Jovan Jovic");
        a.put("MESTO", "Nis");
        a.commit();
        a.close();
    }
    PRun r = go_arg(inst, "/RUC", "{dump}{Enter}");
    ASSERT_EQ(r.status, 3) << r.err;
    EXPECT_TRUE(fs::exists(inst / "setup.ruc"));
    EXPECT_EQ(layout(inst / "set_up.vlt"), kSetupLayout);
    Rec s = setup(inst);
    EXPECT_EQ(std::get<bool>(s["COLOR"]), false);
    EXPECT_EQ(std::get<std::string>(s["SASTAVIO"]), "Jovan Jovic    ");
    EXPECT_EQ(std::get<std::string>(s["MESTO"]), "Nis            ");
    EXPECT_EQ(std::get<double>(s["RUC"]), 0.0);
    EXPECT_EQ(cells(r, 0, 24, 0, 35), "Razlika u Ceni kod Komisiona:  0.00");

    const std::string ruc = slurp(inst / "setup.ruc");
    ASSERT_EQ(go(inst, "").status, 3);
    ASSERT_EQ(go(inst, "").status, 3);
    EXPECT_EQ(slurp(inst / "setup.ruc"), ruc);
    EXPECT_EQ(records(inst / "set_up.vlt").size(), 1u);
    EXPECT_EQ(std::get<std::string>(setup(inst)["MESTO"]), "Nis            ");
}

// Settings of an older installation: "C:\windows\mem_var.vlt" moves into the installation
// directory, and a workstation without its own settings file starts from a copy of it.
TEST(TorpdvStart, OlderSettingsFileIsTakenOver) {
    Install inst;
    const fs::path drive_c = inst / "drive_c";
    fs::create_directories(drive_c / "windows");
    std::ofstream(drive_c / "windows" / "mem_var.vlt", std::ios::binary) << "ZALIHA NA RACUNU=1;";
    Options o;
    o.env["TORPDV_DRIVE_C"] = drive_c.string();
    PRun r = go(inst, "{Alt+Z}{dump}", o);
    ASSERT_EQ(r.status, 3) << r.err;
    EXPECT_FALSE(fs::exists(drive_c / "windows" / "mem_var.vlt"));
    EXPECT_EQ(slurp(inst / "mem_var.vlt"), "ZALIHA NA RACUNU=1;");
    expect_message(r, 0, "Ispis zalihe je ISKLJUCEN.");
    EXPECT_EQ(settings_text(inst), "ZALIHA NA RACUNU=0;");

    // A second workstation gets its own copy; the first keeps its changed file.
    o.pcid = "TESTPC02";
    PRun r2 = go(inst, "{Alt+Z}{dump}", o);
    ASSERT_EQ(r2.status, 3) << r2.err;
    expect_message(r2, 0, "Ispis zalihe je ISKLJUCEN.");
    EXPECT_EQ(slurp(find_ci(find_ci(inst.path, "LocalSet"), "TESTPC02.set")), "ZALIHA NA RACUNU=0;");
    EXPECT_EQ(settings_text(inst), "ZALIHA NA RACUNU=0;");
    EXPECT_EQ(slurp(inst / "mem_var.vlt"), "ZALIHA NA RACUNU=1;");
}

// The items of the program-settings screen that ask for more: the print folder of the Windows
// printer (stored with its closing backslash, too short a folder refused), the signature on forms
// (stored in the setup record).
TEST(TorpdvStart, ProgramSettingsItemsAskForTheirValues) {
    Install inst;
    const std::string open = "{Down}{Down}{Down}{Enter}";
    PRun r = go(inst, open + "{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Enter}{dump}d:\\print{Enter}{dump}" +
                          "{Down}{Down}{Enter}{dump}Beograd{25}{Enter}Petar Petrovic{25}{Enter}{dump}");
    ASSERT_RUN_GE(r, 3, 4);
    EXPECT_EQ(cells(r, 0, 11, 12, 35), "Lokaciju koju DosPrinter prati: C:\\") << show(row_of(r, 0, 11));
    EXPECT_EQ(cells(r, 0, 10, 10, 56), "\xDA" + rep('\xC4', 54) + "\xBF");
    EXPECT_EQ(row_of(r, 1, 21), "\xBA Stampac je" + rep('.', 29) + "WINDOWS DEFAULT [DP folder D:\\PRINT\\] \xBA")
        << show(row_of(r, 1, 21));
    EXPECT_EQ(slurp(find_ci(find_ci(inst.path, "LocalSet"), "dpTESTPC01.set")), "D:\\PRINT\\");
    EXPECT_EQ(settings_text(inst), "WIN PRINTER=1;");
    EXPECT_EQ(cells(r, 2, 11, 11, 9), "MESTO...:") << show(row_of(r, 2, 11));
    EXPECT_EQ(cells(r, 2, 12, 11, 9), "SASTAVIO:") << show(row_of(r, 2, 12));
    EXPECT_EQ(row_of(r, 3, 23),
              "\xBA Potpis na obrascima" + rep('.', 10) + "< MESTO: Beograd > < SASTAVIO: Petar Petrovic > \xBA")
        << show(row_of(r, 3, 23));
    Rec s = setup(inst);
    EXPECT_EQ(std::get<std::string>(s["MESTO"]), "Beograd        ");
    EXPECT_EQ(std::get<std::string>(s["SASTAVIO"]), "Petar Petrovic ");

    // The next start shows the stored folder; a folder of two characters becomes "C:\".
    const std::string printer = "{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Down}{Enter}";
    PRun r2 = go(inst, open + "{dump}" + printer + "{Enter}{dump}c:{25}{Enter}{dump}{pause}{dump}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(cells(r2, 0, 21, 1, 78), " Stampac je" + rep('.', 29) + "WINDOWS DEFAULT [DP folder D:\\PRINT\\] ");
    EXPECT_EQ(cells(r2, 1, 11, 12, 41), "Lokaciju koju DosPrinter prati: D:\\PRINT\\") << show(row_of(r2, 1, 11));
    // The refusal waits to be read (it would otherwise vanish with the folder box at once).
    expect_message(r2, 2, "Pogresan unos !");
    EXPECT_EQ(slurp(find_ci(find_ci(inst.path, "LocalSet"), "dpTESTPC01.set")), "C:\\");
    EXPECT_EQ(cells(r2, 3, 21, 1, 78), " Stampac je" + rep('.', 35) + "WINDOWS DEFAULT [DP folder C:\\] ")
        << show(row_of(r2, 3, 21));
}

// "/WP" prints through the Windows printer for this run only; "/S", "/M", "/D" and "/3" are
// accepted and change nothing, as does an argument that is no switch.
TEST(TorpdvStart, PrinterSwitchAndSwitchesWithoutEffect) {
    Install inst;
    ASSERT_EQ(go(inst, "").status, 3);
    const std::vector<Rec> before = records(inst / "set_up.vlt");
    for (const char* sw : {"/S", "/M", "/D", "/3", "/d", "/X"}) {
        PRun r = go_arg(inst, sw, "{dump}");
        EXPECT_EQ(r.status, 3) << sw << " " << r.err;
        EXPECT_EQ(cells(r, 0, 3, 36, 7), "OPCIJE:") << sw;
        EXPECT_EQ(records(inst / "set_up.vlt"), before) << sw;
    }
    const std::string open = "{Down}{Down}{Down}{Enter}";
    PRun r = go_arg(inst, "/wp", open + "{dump}");
    ASSERT_EQ(r.status, 3) << r.err;
    EXPECT_EQ(cells(r, 0, 21, 1, 78), " Stampac je" + rep('.', 35) + "WINDOWS DEFAULT [DP folder C:\\] ")
        << show(row_of(r, 0, 21));
    EXPECT_EQ(settings_text(inst), "<no settings file>");
    PRun r2 = go(inst, open + "{dump}");
    ASSERT_EQ(r2.status, 3) << r2.err;
    EXPECT_EQ(cells(r2, 0, 21, 1, 78), " Stampac je" + rep('.', 58) + "MATRICNI ") << show(row_of(r2, 0, 21));
}

// A setup table without a record gets one with the defaults.
TEST(TorpdvStart, EmptySetupTableGetsItsRecord) {
    Install inst;
    ASSERT_EQ(go(inst, "").status, 3);
    const auto fields = rt::dbf::table_fields((inst / "set_up.vlt").string());
    fs::remove(inst / "set_up.vlt");
    fs::remove(inst / "setup.ruc");
    rt::dbf::create_table((inst / "set_up.vlt").string(), fields);
    ASSERT_TRUE(records(inst / "set_up.vlt").empty());
    ASSERT_EQ(go_arg(inst, "/Z", "").status, 3);
    Rec s = setup(inst);
    EXPECT_EQ(std::get<bool>(s["COLOR"]), true);
    EXPECT_EQ(std::get<bool>(s["ZVUK"]), false);
    EXPECT_EQ(str(s, "MESTO"), "__________");
    EXPECT_EQ(std::get<double>(s["RUC"]), 20.0);
}

// Two workstations starting at the same moment on a new installation, again on one started before
// (when the setup table is moved aside and made again), and entering a new company together: both
// get where their keys lead, the setup table keeps exactly its one record with its values, the
// company has its tables.
TEST(TorpdvStart, TwoWorkstationsStartingTogether) {
    for (int round = 0; round < 15 && !HasFailure(); ++round) {
        const std::string at = "round " + std::to_string(round) + ": ";
        Install inst;
        for (const auto& [status, err] : start_together(inst, 2, "")) EXPECT_EQ(status, 3) << at << err;
        EXPECT_EQ(records(inst / "set_up.vlt").size(), 1u) << at;
        EXPECT_EQ(records(inst / "strukras.dbf").size(), 36u) << at;

        ASSERT_EQ(go_arg(inst, "/B", "").status, 3);
        for (const auto& [status, err] : start_together(inst, 2, "")) EXPECT_EQ(status, 3) << at << err;
        auto recs = records(inst / "set_up.vlt");
        ASSERT_EQ(recs.size(), 1u) << at;
        EXPECT_EQ(std::get<bool>(recs[0].at("COLOR")), false) << at;
        if (round >= 3) continue;

        ASSERT_EQ(go(inst, kNew001).status, 3);
        ASSERT_EQ(go(inst, "").status, 3);
        for (const auto& [status, err] : start_together(inst, 2, "{Enter}")) EXPECT_EQ(status, 3) << at << err;
        EXPECT_EQ(std::distance(fs::directory_iterator(inst / "001"), fs::directory_iterator()), 131) << at;
        EXPECT_EQ(ntx_key(inst / "001" / "mdart1.ntx"), "TARGR+SIFRA") << at;
    }
}
