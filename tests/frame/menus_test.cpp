// The menu tree driven by typed keys in the headless console: boxes and prompts where the user
// sees them, moving between pull-downs with the arrows, remembered bar positions, the mode
// variables each item sets for the procedure it runs, the warnings, and the index rebuild.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "company/company.h"
#include "data/data.h"
#include "frame/frame.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/input/menu.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor::menus_trace {
using Observer = std::function<void(const std::string& proc)>;
void set_observer(Observer observer);
}  // namespace tor::menus_trace

namespace fs = std::filesystem;
using namespace tor;

namespace {

// What the screen and the mode variables were when an item handed over to its procedure.
struct Call {
    std::string proc;
    rt::ScreenImage screen;
    std::string mode;  // the mode switches that are on, and the two numbered modes
    bool arrows_bound;
};

std::string mode_now() {
    std::string m;
    const std::pair<const char*, bool> flags[] = {
        {"PART_OB", PART_OB}, {"WOTKUP", WOTKUP}, {"KAL_TROS", KAL_TROS}, {"KAL_REPR", KAL_REPR},
        {"PRED_RAC", PRED_RAC}, {"A_RAC", A_RAC}, {"K_RAC", K_RAC}, {"PO_STRUKTURI", PO_STRUKTURI},
        {"REKAP_STRUKT", REKAP_STRUKT}, {"ZADUZ", ZADUZ}, {"DAJ_ZBIR", DAJ_ZBIR}};
    for (const auto& [name, on] : flags)
        if (on) m += std::string(name) + " ";
    return m + "KALK_FORM=" + std::to_string(KALK_FORM) + " WZAD_RAZD=" + std::to_string(WZAD_RAZD);
}

// The screen and the highlighted prompt when F12 was pressed in a menu.
struct Shot {
    rt::ScreenImage screen;
    int bar;
    bool tables_closed;
    int main_bar;
};

std::string text_at(const rt::ScreenImage& s, int row, int col, int len) {
    std::string out;
    for (int c = col; c < col + len; ++c) out += static_cast<char>(s.cells[static_cast<size_t>(row) * 80 + c].ch);
    return out;
}
uint8_t ch_at(const rt::ScreenImage& s, int row, int col) { return s.cells[static_cast<size_t>(row) * 80 + col].ch; }

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        OSM = 1;
        KMAP = KOP = KST = KSSO = KZP = KRP = 1;
        WSIFKOM = "001";
        WSIFDEL = "001";
        WKLASIFIKATOR = "D";
        DOSPAR = "!";
        CUR_USER = true;
        PART_OB = true;
        WOTKUP = KAL_TROS = KAL_REPR = PRED_RAC = A_RAC = K_RAC = false;
        PO_STRUKTURI = REKAP_STRUKT = DAJ_ZBIR = false;
        ZADUZ = true;
        KALK_FORM = 1;
        WZAD_RAZD = 0;
        menus_trace::set_observer([this](const std::string& proc) {
            calls.push_back(Call{proc, rt::SAVESCREEN(), mode_now(),
                                 rt::GETKEY(rt::K::RIGHT) || rt::GETKEY(rt::K::LEFT)});
            if (on_call) on_call(proc);
        });
    }
    void TearDown() override {
        menus_trace::set_observer({});
        rt::SETKEY(rt::K::F12, {});
        rt::dbf::close_all();
        rt::KEYBOARD_CLEAR();
        if (!tmp.empty()) fs::remove_all(tmp);
    }

    // Types the keys (F12 takes a picture of the screen) into the main menu of an open company,
    // the way the outer loop shows it. The keys must leave the main menu. The calls and pictures
    // of an earlier run are forgotten unless kept.
    void run(const std::string& keys, const std::string& screen_file = "", bool keep = false) {
        if (!keep) calls.clear(), shots.clear();
        rt::console_init_headless(keys, screen_file);
        rt::SETKEY(rt::K::F12, [this](const std::string&, int, const std::string&) {
            shots.push_back(Shot{rt::SAVESCREEN(), rt::menu_current(), rt::dbf::used_areas().empty(), OSM});
        });
        rt::SETCOLOR(NORMAL);
        OSEK = rt::SAVESCREEN();
        BOXSHAD(2, 3, 4, 77);
        main_menu();
    }
    std::vector<std::string> procs() const {
        std::vector<std::string> out;
        for (const Call& c : calls) out.push_back(c.proc);
        return out;
    }

    std::vector<Call> calls;
    std::vector<Shot> shots;
    std::function<void(const std::string&)> on_call;
    fs::path tmp;
};

// ---- boxes and prompts ----

TEST_F(Menus, LightBarColoursAndTheScreenTheMainBarLeaves) {
    run("{F12}1{F12}{Esc}{Esc}");
    ASSERT_EQ(shots.size(), 2u);
    EXPECT_EQ(shots[0].bar, 1);
    // The pull-down hangs from the main bar's box: its T-pieces sit on the box's bottom line.
    EXPECT_EQ(ch_at(shots[1].screen, 4, 4), 0xC4);
    // The light bar of a pull-down is painted in the menu colour's enhanced part.
    EXPECT_EQ(shots[1].screen.cells[6 * 80 + 7].attr, rt::parse_color(MENICOL).enhanced);
    EXPECT_EQ(shots[1].screen.cells[8 * 80 + 7].attr, rt::parse_color(MENICOL).standard);
    // After Esc on the main bar the screen is as the outer loop left it.
    EXPECT_EQ(rt::screen_row_text(6).find("Dobra"), std::string::npos);
}

TEST_F(Menus, VatRegisterPromptsArePaddedAndSmallMenusRunNothingOnEsc) {
    // "3.Stampa" -> "3.PDV Evidencije"; "3.Stampa" -> "7.Ostali Izvestaji" -> "7.Zaliha Dobara po
    // Dobavljacu", and Esc out of every one.
    run("33{F12}{Esc}77{F12}{Esc}{Esc}{Esc}");
    ASSERT_EQ(shots.size(), 2u);
    // The VAT registers are padded to 36 characters, so the light bar is as wide for each; the box
    // hangs on rows 16-22, columns 30-69.
    const rt::ScreenImage& v = shots[0].screen;
    EXPECT_EQ(ch_at(v, 16, 30) * 256 + ch_at(v, 22, 69), 0xDAD9);
    EXPECT_EQ(text_at(v, 17, 31, 37) + "|" + text_at(v, 19, 32, 36) + "|" + text_at(v, 21, 32, 36),
              " 1.Ulazni Racuni za dobra i usluge   |3.Izdati Racuni sa PDV oslobodjenjem|5.Oprema i Objekti                  ");
    EXPECT_EQ(shots[0].screen.cells[17 * 80 + 67].attr, rt::parse_color(MENICOL).enhanced);
    EXPECT_EQ(text_at(shots[1].screen, 21, 32, 29), "7.Zaliha Dobara po Dobavljacu") << "the menu above stays";
    EXPECT_TRUE(calls.empty()) << "Esc in a small menu runs nothing";
}

TEST_F(Menus, ArrowsAreFreeInsideTheProcedures) {
    // A procedure started from a pull-down gets the arrows back; the bar takes them again after.
    run("11{Right}{F12}{Esc}{Esc}");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].proc, "ARTIKLI");
    EXPECT_FALSE(calls[0].arrows_bound);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(text_at(shots[0].screen, 6, 27, 11), "1.Zaduzenje");
    EXPECT_FALSE(static_cast<bool>(rt::GETKEY(rt::K::RIGHT))) << "released when the main menu is left";
}

// ---- remembered positions ----

TEST_F(Menus, DocumentMenusKeepTheirBarAfterTheEntryMenuCloses) {
    // The document menus keep their position even after "2.Unos" is closed; the main bar keeps its.
    run("217{Esc}{Esc}{F12}2{F12}1{F12}{Esc}{Esc}{Esc}");
    ASSERT_EQ(shots.size(), 3u);
    EXPECT_EQ(shots[0].bar, 2) << "main bar";
    EXPECT_EQ(shots[1].bar, 1) << "\"2.Unos\"";
    EXPECT_EQ(shots[2].bar, 7) << "\"1.Zaduzenje\"";
    EXPECT_EQ(KZP, 7);
}

// ---- what each item sets for its procedure ----

TEST_F(Menus, ItemsSetTheModeOfTheProcedureTheyRun) {
    run("12{Esc}13{Esc}153{Esc}152{Esc}"  // partners and obligations, and their import
        "218{Esc}{Esc}216{Esc}{Esc}217{Esc}{Esc}211{Esc}{Esc}"  // the four costings
        "2145{Esc}{Esc}2148{Esc}{Esc}2144{Esc}{Esc}"  // expenditure lists
        "21{End}{Enter}{Esc}{Esc}2211{Esc}{Esc}2212{Esc}{Esc}2213{Esc}{Esc}2214{Esc}{Esc}"  // invoices
        "225{Esc}{Esc}228{Esc}{Esc}"  // repro issue, commission warehouse issue
        "SK5{Esc}{Esc}");  // selling-price check
    std::vector<std::string> got;
    for (const Call& c : calls) got.push_back(c.proc + ": " + c.mode);
    const std::vector<std::string> expected = {
        "PARTNERI: PART_OB ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "PARTNERI: ZADUZ KALK_FORM=1 WZAD_RAZD=0",  // 3.Obaveze
        "PRIJEM_PAR: ZADUZ KALK_FORM=1 WZAD_RAZD=0",  // 3.Prijem Obaveza
        "PRIJEM_PAR: PART_OB ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "KALKULACIJE: PART_OB KAL_REPR ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "KALKULACIJE: PART_OB WOTKUP ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "KALKULACIJE: PART_OB KAL_TROS ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "KALKULACIJE: PART_OB ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "SRASHOD: PART_OB PO_STRUKTURI ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "SRASHOD: PART_OB PO_STRUKTURI REKAP_STRUKT ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "SRASHOD: PART_OB ZADUZ KALK_FORM=1 WZAD_RAZD=0",
        "KOMISIONIMAGACIN: PART_OB ZADUZ KALK_FORM=1 WZAD_RAZD=1",
        "RACUN: PART_OB ZADUZ KALK_FORM=1 WZAD_RAZD=1",
        "RACUN: PART_OB PRED_RAC ZADUZ KALK_FORM=1 WZAD_RAZD=1",
        "RACUN: PART_OB A_RAC ZADUZ KALK_FORM=1 WZAD_RAZD=1",
        "RACUN: PART_OB K_RAC ZADUZ KALK_FORM=1 WZAD_RAZD=1",
        "REPRO: PART_OB K_RAC KALK_FORM=1 WZAD_RAZD=1",
        "KOMISIONIMAGACIN: PART_OB K_RAC KALK_FORM=1 WZAD_RAZD=2",
        "ZBIRSTZART: PART_OB K_RAC DAJ_ZBIR KALK_FORM=1 WZAD_RAZD=2"};  // the invoice mode stays until the next invoice
    EXPECT_EQ(got, expected);
}

TEST_F(Menus, ActivityOfTheCompanyShapesTheInboundMenu) {
    // Activity "005": the costing asks for its form; the second form chosen, then Esc in the form
    // choice runs nothing.
    WSIFDEL = "005";
    run("211{Down}{Enter}1{F12}{Esc}{Esc}{Esc}");
    ASSERT_EQ(procs(), std::vector<std::string>{"KALKULACIJE"});
    EXPECT_NE(calls[0].mode.find("KALK_FORM=2"), std::string::npos);
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].bar, 2) << "the form chosen last time";

    // Another activity: no form choice.
    WSIFDEL = "001";
    run("211{Esc}{Esc}{Esc}");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].mode.find("KALK_FORM=1"), std::string::npos);
}

TEST_F(Menus, PartnerOpeningBalancesOfferTheirMenuOnlyToSomeCompanies) {
    run("219{Esc}{Esc}{Esc}");
    EXPECT_EQ(procs(), std::vector<std::string>{"PSPAR"}) << "activity 001 goes straight to the balances";

    for (const auto& [del, sw] : {std::pair<std::string, std::string>{"002", "!"}, {"001", "U"}}) {
        SCOPED_TRACE(del + " " + sw);
        WSIFDEL = del;
        DOSPAR = sw;
        run("2192{Esc}{Esc}{Esc}");
        EXPECT_EQ(procs(), std::vector<std::string>{"ZADKUP"});
    }
}

TEST_F(Menus, ItemsMeantForOneKindOfCompanyWarnAndRunAnyway) {
    const std::string intern = "Interni obracun PDV-a predvidjen je za firme sa oznakom 9 (SZR/SR)!";
    const std::string dpu = "List DPU je predvidjen za Ugostiteljske Radnje !";
    const std::string kpo = "Knjiga pausalnih obveznika se Ne stampa knjigasima.";
    auto shown = [](const Call& c, const std::string& text) {
        const int col = (80 - static_cast<int>(text.size())) / 2;
        return text_at(c.screen, 11, col, static_cast<int>(text.size())) == text && ch_at(c.screen, 10, col - 3) == 0xC9;
    };
    WKLASIFIKATOR = "K2";
    run("2215{Esc}{Esc}373{Esc}32{Esc}{Esc}");
    ASSERT_EQ(procs(), (std::vector<std::string>{"INTOBRPDVGR", "DPU", "KPO"}));
    EXPECT_TRUE(shown(calls[0], intern) && shown(calls[1], dpu) && shown(calls[2], kpo));

    // The kind of company each is meant for: no warning.
    WKLASIFIKATOR = "P";
    WSIFDEL = "009";
    run("2215{Esc}{Esc}32{Esc}{Esc}");
    WSIFDEL = "008";
    run("373{Esc}{Esc}{Esc}", "", true);
    ASSERT_EQ(procs(), (std::vector<std::string>{"INTOBRPDVGR", "KPO", "DPU"}));
    EXPECT_FALSE(shown(calls[0], intern) || shown(calls[1], kpo) || shown(calls[2], dpu));
}

// ---- tables closed by the menus ----

TEST_F(Menus, MenusCloseTheTablesTheirProceduresLeaveOpen) {
    tmp = fs::temp_directory_path() / ("menus_tables_" + std::to_string(::getpid()));
    fs::create_directories(tmp);
    const std::string table = (tmp / "t.dbf").string();
    rt::dbf::create_table(table, {rt::dbf::FieldDef{"NAZIV", 'C', 10, 0, 0}});
    std::vector<int> open_at_report;
    on_call = [&](const std::string& proc) {
        if (proc == "KTKNJIGA") open_at_report = rt::dbf::used_areas();
        rt::dbf::select_free();
        rt::dbf::use(table);
    };
    // Esc on "1.Zaduzenje" closes what its procedure left open; "3.Stampa" closes everything
    // before a report starts.
    run("213{Esc}{F12}{Esc}31{Esc}{Esc}");
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_TRUE(shots[0].tables_closed);
    EXPECT_TRUE(open_at_report.empty());
}

// ---- the index rebuild ----

TEST_F(Menus, IndexRebuildErasesTheCompanyIndexesAndReentersTheCompany) {
    tmp = fs::temp_directory_path() / ("menus_ntx_" + std::to_string(::getpid()));
    fs::create_directories(tmp / "001");
    std::ofstream(tmp / "001/mdart.ntx") << "x";
    OSNDIR = tmp.string() + "/";
    WSIFKOM = "001";

    // Held by another workstation: a notice, nothing erased.
    CUR_USER = false;
    run("SI{pause}{F12}{Esc}{Esc}");
    EXPECT_TRUE(fs::exists(tmp / "001/mdart.ntx"));
    ASSERT_EQ(shots.size(), 1u);
    // The notice (rows 10-12) is gone and the service menu is still open under the bar.
    EXPECT_EQ(text_at(shots[0].screen, 10, 63, 12), "Indeksiranje");
    EXPECT_EQ(shots[0].bar, 2);

    CUR_USER = true;
    run("SI");  // the rebuild itself leaves both menus
    EXPECT_FALSE(fs::exists(tmp / "001/mdart.ntx"));
    EXPECT_EQ(rt::INKEY(), rt::K::ENTER) << "Enter waits for the company choice";
    EXPECT_EQ(rt::INKEY(), 0);
    EXPECT_EQ(OSM, 0) << "the company entered again starts on the first heading";
}

}  // namespace
