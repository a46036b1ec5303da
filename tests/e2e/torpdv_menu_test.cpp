// The menu tree of an open company driven end to end through the real program: every menu box
// and its prompts where the user expects them, moving between menus with Left/Right, the light
// bar coming back where it was, the menus that depend on the kind of company, the index rebuild
// from the service menu, the company held by another workstation and the exit question.
#include <gtest/gtest.h>

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "rt/dbf/dbf.h"
#include "torpdv_harness.h"

namespace {

using torpdv_e2e::at;
using torpdv_e2e::go;
using torpdv_e2e::Install;
using torpdv_e2e::why;
using torpdv_e2e::Options;
using torpdv_e2e::cp437;
using torpdv_e2e::split_lines;
using Result = torpdv_e2e::Run;  // "Run" is a member name of the test classes

bool shows(const std::string& screen, const std::string& text) { return screen.find(text) != std::string::npos; }

// ---- boxes written by hand ----

const std::string kSingle = "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3 ";
const std::string kTee = "\xC2\xC4\xC2\xB3\xD9\xC4\xC0\xB3 ";   // first-level menus hang from the main bar
const std::string kDouble = "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ";

struct Text {
    int row, col;
    std::string text;
};

struct Box {
    std::string what;
    int top, left, bottom, right;
    std::string frame;  // nine CP437 bytes
    std::string title;  // on the top border, centred
    std::vector<Text> texts;
};

// The first and the last of n prompts in one column from row `from`, `step` rows apart (the
// prompts between are the menu tree's own text; their places follow from these two).
std::vector<Text> column(int from, int step, int col, int n, const std::string& first, const std::string& last) {
    return {{from, col, first}, {from + (n - 1) * step, col, last}};
}

// The box as the topmost thing on the screen: its frame whole, the title and the prompts.
void expect_box(const std::string& screen, const Box& b) {
    const int w = b.right - b.left + 1;
    const std::string& f = b.frame;
    std::string top = f[0] + std::string(w - 2, f[1]) + f[2];
    if (!b.title.empty()) top.replace((w - 1) / 2 - static_cast<int>(b.title.size()) / 2, b.title.size(), b.title);
    EXPECT_EQ(at(screen, b.top, b.left, w), cp437(top)) << b.what << "\n" << screen;
    EXPECT_EQ(at(screen, b.bottom, b.left, w), cp437(f[6] + std::string(w - 2, f[5]) + f[4])) << b.what << "\n" << screen;
    for (int r = b.top + 1; r < b.bottom; ++r)
        EXPECT_EQ(at(screen, r, b.left, 1) + at(screen, r, b.right, 1), cp437({f[7], f[3]}))
            << b.what << ", row " << r << "\n" << screen;
    for (const Text& t : b.texts)
        EXPECT_EQ(at(screen, t.row, t.col - 1, static_cast<int>(t.text.size()) + 1), " " + t.text) << b.what << "\n" << screen;
}

// Only the prompts of a box (a box partly covered by a lower menu).
void expect_texts(const std::string& screen, const Box& b) {
    for (const Text& t : b.texts)
        EXPECT_EQ(at(screen, t.row, t.col, static_cast<int>(t.text.size())), t.text) << b.what << "\n" << screen;
}

// None of the prompts of a box is on the screen where it would stand.
void expect_gone(const std::string& screen, const Box& b) {
    for (const Text& t : b.texts)
        EXPECT_NE(at(screen, t.row, t.col, static_cast<int>(t.text.size())), t.text) << b.what << "\n" << screen;
}

// ---- the menus of an open company, from the tables of the menu tree ----

const Box kMatpod{"1.Maticni podaci", 4, 5, 22, 25, kTee, "", column(6, 2, 7, 8, "1.Dobra (Artikli)", "8.Forma Racuna")};
const Box kPrijem{"5.Prijem", 15, 15, 19, 35, kSingle, "", column(16, 1, 17, 3, "1.Prijem Dobara", "3.Prijem Obaveza")};
const Box kGlavnik{"6.Glavnik", 16, 15, 23, 42, kSingle, "", column(17, 1, 17, 6, "1.Program Glavnik", "6.Prenos Rashoda")};
const Box kObrada{"2.Unos", 4, 25, 14, 42, kTee, "", column(6, 2, 27, 4, "1.Zaduzenje", "4.Tekuci Racun")};
const Box kZaduzenje{"1.Zaduzenje", 7, 30, 19, 65, kSingle, "", column(8, 1, 32, 11, " 1.Kalkulacija", "11.Komisioni magacin")};
const Box kRashod{"4.Rashod", 12, 35, 21, 78, kSingle, "",
                  column(13, 1, 37, 8, "1.Unos Rashoda", "8.Rekapitulacija Rashoda po Strukturi")};
const Box kPartner{"9.Partner (poc. stanje)", 13, 35, 16, 58, kSingle, "",
                   column(14, 1, 37, 2, "1.Pocetno stanje", "2.Zaduzenje partnera")};
const Box kAkontacije{"10.Akontacije", 17, 45, 23, 73, kSingle, "",
                      column(18, 1, 47, 5, "1.Uplatni Racuni i Iznosi", "5.Stari Uplatni Racuni")};
const Box kFormaKalk{"form choice of the costing", 9, 40, 12, 71, kSingle, " Kalkulacijom se formira: ",
                     {{10, 42, "Obrazac KR (prijem robe)"}, {11, 42, "Obrazac KR-1 (povracaj robe)"}}};
const Box kRazduzenje{"2.Razduzenje", 9, 30, 19, 57, kSingle, "", column(10, 1, 32, 9, "1.Racun", "9.Vanredni prihod")};
const Box kRacun{"1.Racun", 11, 32, 18, 76, kSingle, "",
                 column(12, 1, 34, 6, "1.Racun", "6.Evidencija Racuna sa PDV oslobodjenjem")};
const Box kStampa{"3.Stampa", 4, 39, 20, 60, kTee, "", column(6, 2, 41, 7, "1.Obrazac KEP", "7.Ostali Izvestaji")};
const Box kKartice{"6.Kartice", 15, 30, 22, 62, kSingle, "",
                   column(16, 1, 32, 6, "1.Kartica Dobara", "6.Kartica Komisionog Magacina")};
const Box kOstali{"7.Ostali Izvestaji", 14, 30, 22, 63, kSingle, "",
                  column(15, 1, 32, 7, "1.Rekapitaulacija Kalkulacija", "7.Zaliha Dobara po Dobavljacu")};
const Box kZaliha{"7.Zaliha Dobara po Dobavljacu", 16, 1, 20, 44, kSingle, "",
                  column(17, 1, 3, 3, "1.Stampa Zalihe Dobara po Dobavljacu", "3.Rucno povezivanje Dobro-Dobavljac")};
const Box kObracun{"4.Obracun", 4, 53, 20, 74, kTee, "", column(6, 2, 55, 7, "1.Obracun PDV", "7.Obrazac EPPDV")};
const Box kRekPdv{"2.Rek.Obracuna PDV", 10, 43, 13, 69, kSingle, "",
                  column(11, 1, 45, 2, "1.Stampa Rekapitulacije", "2.Unos korekcije")};
const Box kServis{"Servis", 4, 61, 16, 76, kTee, "",
                  {{6, 63, "VELT Office"}, {10, 63, "Indeksiranje"}, {12, 63, "Kontrole"}, {14, 63, "Promeni PDV"}}};
const Box kKontrole{"Kontrole", 13, 30, 19, 73, kSingle, "",
                    column(14, 1, 32, 5, "1.Kontrola Zaglavlje/Stavke Kalkulacija", "5.Kontrola Prodajne Cene Dobara")};

// The main bar: its box on rows 2-4, the company line centred on row 2, the prompts on row 3.
// With a first-level menu open its bottom row is partly covered, so only rows 2-3 are compared.
void expect_main_menu(const std::string& screen, const std::string& company_line, bool whole = true) {
    std::string top = "\xDA" + std::string(73, '\xC4') + "\xBF";
    top.replace((80 - company_line.size()) / 2 - 3, company_line.size(), company_line);
    EXPECT_EQ(at(screen, 2, 3, 75), cp437(top)) << "main menu\n" << screen;
    EXPECT_EQ(at(screen, 3, 3, 75),
              cp437("\xB3") + "   1.Maticni podaci       2.Unos        3.Stampa     4.Obracun   Servis  " + cp437("\xB3"))
        << "main menu\n" << screen;
    if (whole) EXPECT_EQ(at(screen, 4, 3, 75), cp437("\xC0" + std::string(73, '\xC4') + "\xD9")) << screen;
}

// ---- key scripts ----

// A new company through "1.Osnovni Podaci" of the profile menu: code, short name, owner's first
// name and surname, place, book-keeping mode ("K"/"P"), activity type (one digit). On an empty
// register the profile menu opens by itself; otherwise Ins opens it.
std::string new_company(int code, const std::string& name, char mode, int activity, bool empty_register) {
    return std::string(empty_register ? "" : "{Ins}") + "{Enter}" + std::to_string(code) + "{Enter}" + name +
           "{Enter}{Enter}{Enter}{Enter}" + mode + "{Enter}" + std::to_string(activity) + "{Enter}";
}

// From the main menu back to the company choice and out through "Da" of the exit question.
const std::string kLeave = "{Esc}{Esc}D";

const std::string kMarket = "(MARKET NIJE PDV obveznik)";

// One installation with company 001 "MARKET" (book-keeping, activity 1), created once for the
// tests that only walk through the menus.
class MenuTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        inst_ = std::make_unique<Install>();
        Result r = go(*inst_, new_company(1, "MARKET", 'K', 1, true) + "{Enter}{dump}" + kLeave);
        created_ = r.status == 0 && r.screens.size() == 1;
        if (!created_) std::fprintf(stderr, "company 001 not created: %s\n", why(r).c_str());
        else first_main_ = r.screens[0];
    }
    static void TearDownTestSuite() { inst_.reset(); }
    void SetUp() override {
        if (!created_) GTEST_SKIP() << "company 001 could not be created";
    }
    // Enters company 001 (the first of the list), runs the keys, leaves the program.
    static Result walk(const std::string& keys, const Options& o = {}) {
        return go(*inst_, "{Enter}" + keys + kLeave, o);
    }
    static std::unique_ptr<Install> inst_;
    static bool created_;
    static std::string first_main_;
};
std::unique_ptr<Install> MenuTree::inst_;
bool MenuTree::created_ = false;
std::string MenuTree::first_main_;

TEST_F(MenuTree, MainMenuOfANewCompany) {
    expect_main_menu(first_main_, kMarket);
    // A company of this workstation alone: no warning about another operator.
    EXPECT_FALSE(shows(first_main_, "PAZNJA")) << first_main_;
    EXPECT_FALSE(shows(first_main_, "Pausalac")) << first_main_;
}

TEST_F(MenuTree, MasterDataAndEntryMenus) {
    Result r = walk(
        // 1.Maticni podaci and two of its sub-menus
        "1{dump}5{dump}{Esc}6{dump}{Esc}{Esc}"
        // 2.Unos, 1.Zaduzenje with 4.Rashod and 10.Akontacije, 2.Razduzenje with 1.Racun
        "2{dump}1{dump}4{dump}{Esc}{Down}{Down}{Down}{Down}{Down}{Down}{Enter}{dump}{Esc}{Esc}"
        "2{dump}1{dump}{Esc}{Esc}{Esc}");
    ASSERT_RUN(r, 0, 9);
    expect_main_menu(r.screens[0], kMarket, false);
    expect_box(r.screens[0], kMatpod);
    expect_box(r.screens[1], kPrijem);
    expect_texts(r.screens[1], Box{"", 0, 0, 0, 0, "", "", column(6, 2, 7, 2, "1.Dobra (Artikli)", "2.Partneri")});
    expect_box(r.screens[2], kGlavnik);
    expect_gone(r.screens[2], kPrijem);
    expect_box(r.screens[3], kObrada);
    expect_gone(r.screens[3], kMatpod);
    expect_box(r.screens[4], kZaduzenje);
    expect_box(r.screens[5], kRashod);
    expect_box(r.screens[6], kAkontacije);
    expect_box(r.screens[7], kRazduzenje);
    expect_gone(r.screens[7], kZaduzenje);
    expect_box(r.screens[8], kRacun);
}

TEST_F(MenuTree, PrintSettlementAndServiceMenus) {
    Result r = walk(
        "3{dump}6{dump}{Esc}7{dump}7{dump}{Esc}{Esc}"
        "4{dump}2{dump}{Esc}{Esc}"
        "S{dump}K{dump}{Esc}V{dump}{Enter}{dump}K1{dump}{Esc}{Esc}");
    ASSERT_RUN(r, 0, 11);
    expect_main_menu(r.screens[0], kMarket, false);
    expect_box(r.screens[0], kStampa);
    expect_box(r.screens[1], kKartice);
    expect_box(r.screens[2], kOstali);
    expect_box(r.screens[3], kZaliha);
    expect_box(r.screens[4], kObracun);
    expect_gone(r.screens[4], kStampa);
    expect_box(r.screens[5], kRekPdv);
    expect_box(r.screens[6], kServis);
    expect_box(r.screens[7], kKontrole);
    // "VELT Office": the information screen in its double frame under a row of full blocks,
    // a single line across it on row 10; a key brings the service menu back.
    const std::string& info = r.screens[8];
    EXPECT_EQ(at(info, 0, 0, 80), cp437(std::string(80, '\xDB'))) << info;
    EXPECT_EQ(at(info, 1, 2, 1) + at(info, 1, 76, 1), cp437("\xC9\xBB")) << info;
    for (int row = 2; row <= 13; ++row)
        EXPECT_EQ(at(info, row, 2, 1) + at(info, row, 76, 1), cp437("\xBA\xBA")) << "row " << row << "\n" << info;
    EXPECT_EQ(at(info, 10, 3, 73), cp437(std::string(73, '\xC4'))) << info;
    EXPECT_EQ(at(info, 14, 2, 75), cp437("\xC8" + std::string(73, '\xCD') + "\xBC")) << info;
    // After the information screen and after a check has run the service menu is back over the
    // main bar.
    for (size_t i : {9u, 10u}) {
        expect_box(r.screens[i], kServis);
        expect_main_menu(r.screens[i], kMarket, false);
    }
    expect_gone(r.screens[10], kKontrole);
}

TEST_F(MenuTree, LeftAndRightMoveToTheNeighbouringMenu) {
    Result r = walk(
        // Right from 4.Obracun opens Servis, Right from Servis wraps to 1.Maticni podaci,
        // Left from there wraps back to Servis.
        "4{Right}{dump}{Right}{dump}{Left}{dump}{Esc}"
        // Left from the inbound documents menu goes back through 2.Unos to 1.Maticni podaci.
        "21{Left}{dump}{Esc}"
        // Right from the outbound documents menu ends in 3.Stampa.
        "22{Right}{dump}{Esc}"
        // Once a prompt is chosen the arrows are the sub-menu's own again: Right moves its bar.
        "15{Right}{dump}{Esc}{Esc}"
        "214{Right}{Right}{dump}{Esc}{Esc}{Esc}");
    ASSERT_RUN(r, 0, 7);
    expect_box(r.screens[0], kServis);
    expect_gone(r.screens[0], kObracun);
    expect_box(r.screens[1], kMatpod);
    expect_gone(r.screens[1], kServis);
    expect_box(r.screens[2], kServis);
    expect_gone(r.screens[2], kMatpod);
    expect_box(r.screens[3], kMatpod);
    expect_gone(r.screens[3], kZaduzenje);
    expect_gone(r.screens[3], kObrada);
    expect_box(r.screens[4], kStampa);
    expect_gone(r.screens[4], kRazduzenje);
    expect_box(r.screens[5], kPrijem);
    expect_gone(r.screens[5], kObrada);
    expect_box(r.screens[6], kRashod);
    expect_gone(r.screens[6], kStampa);
    for (const std::string& s : r.screens) expect_main_menu(s, kMarket, false);
}

TEST_F(MenuTree, LightBarComesBackWhereItWas) {
    // A sub-menu shows up only when the bar stood on its prompt, which makes the bar's place
    // visible: Enter on "5.Prijem" opens it, Enter on "1.Dobra (Artikli)" does not.
    Result r = walk(
        // chosen last: 5.Prijem; re-entering 1.Maticni podaci puts the bar there again
        "15{Esc}{Esc}{Enter}{Enter}{dump}{Esc}{Esc}"
        // another company choice: the bar starts on the first prompt again (four down = 5.Prijem)
        "{Esc}{Enter}{Enter}{Down}{Down}{Down}{Down}{Enter}{dump}{Esc}{Esc}"
        // a menu under a first-level menu keeps its place while 3.Stampa stays open (Esc in
        // "7.Zaliha ..." goes back to 3.Stampa, whose bar stays on "7.Ostali Izvestaji") ...
        "377{Esc}{dump}{Enter}{Enter}{dump}{Esc}{Esc}"
        // ... and starts on its first prompt when 3.Stampa was closed (Up wraps to 7)
        "{Enter}{Enter}{Up}{Enter}{dump}{Esc}{Esc}"
        // Servis keeps its place only while it stays open: Kontrole again with Enter, but after
        // closing Servis the bar starts on "VELT Office" (two down = Kontrole)
        "SK{Esc}{Enter}{dump}{Esc}{Esc}{Enter}{Down}{Down}{Enter}{dump}{Esc}{Esc}"
        // the main bar stays where it was while the company is open
        "4{Esc}{Enter}{dump}{Esc}");
    ASSERT_RUN(r, 0, 8);
    expect_box(r.screens[0], kPrijem);
    expect_box(r.screens[1], kPrijem);
    expect_texts(r.screens[2], kStampa);
    expect_gone(r.screens[2], kOstali);
    expect_box(r.screens[3], kZaliha);
    expect_box(r.screens[4], kZaliha);
    expect_box(r.screens[5], kKontrole);
    expect_box(r.screens[6], kKontrole);
    expect_box(r.screens[7], kObracun);
}

TEST_F(MenuTree, ExitQuestion) {
    // Esc at the company choice asks; "Ne" goes back to the list; Esc inside the question asks
    // again; "Da" ends the program.
    Result r = go(*inst_, "{Esc}{dump}N{dump}{Esc}{Esc}{dump}D");
    ASSERT_RUN(r, 0, 3);
    for (size_t i : {0u, 2u}) {
        const std::string& s = r.screens[i];
        EXPECT_EQ(at(s, 20, 29, 23), "  Izlaz iz Programa ?  ") << s;
        EXPECT_EQ(at(s, 21, 29, 23), std::string(6, ' ') + " Da " + " " + " Ne " + std::string(8, ' ')) << s;
        // The frame of an empty frame string: blank or single line, nothing else.
        std::string top = at(s, 19, 28, 25), bottom = at(s, 22, 28, 25);
        EXPECT_TRUE(top == std::string(25, ' ') || top == cp437("\xDA" + std::string(23, '\xC4') + "\xBF")) << s;
        EXPECT_TRUE(bottom == std::string(25, ' ') || bottom == cp437("\xC0" + std::string(23, '\xC4') + "\xD9"))
            << s;
    }
    // "Ne" puts the company list back.
    EXPECT_EQ(at(r.screens[1], 3, 4, 10), "001 MARKET") << r.screens[1];
    EXPECT_FALSE(shows(r.screens[1], "Izlaz iz Programa")) << r.screens[1];
}

// ---- menus that depend on the kind of company ----

// Company 005 carries the costing form in its prompt, asks for the form and goes straight to the
// partner balances; the bar of the inbound menu and the costing prompt follow the company chosen
// within one run; a flat-rate taxpayer is announced when it is entered.
TEST(MenuKinds, CostingFormsPartnerBalancesAndFlatRate) {
    Install inst;
    Result r = go(inst,
                  // in 001 the inbound documents menu is left on " 4.Rashod"
                  new_company(1, "MARKET", 'K', 1, true) + "{Enter}214{Esc}{Esc}{Esc}{Esc}" +
                      // 005: its own costing prompt, the inbound bar still on " 4.Rashod"; the form
                      // choice, left with Esc, leaves the inbound menu; the partner balances; a
                      // costing with its form chosen
                      new_company(5, "KOMISION", 'K', 5, false) +
                      "{Enter}21{dump}{Enter}{dump}{Esc}1{dump}{Esc}{dump}19{dump}1{Enter}{dump}{Esc}{dump}{Esc}{Esc}{Esc}" +
                      // back to 001: the plain costing prompt again
                      "{Up}{Enter}21{dump}{Esc}{Esc}" + kLeave);
    ASSERT_RUN(r, 0, 8);
    Box kr = kZaduzenje;
    kr.texts[0].text = " 1.Kalkulacija (Obrazac KR/KR-1)";
    expect_main_menu(r.screens[0], "(KOMISION NIJE PDV obveznik)", false);
    expect_box(r.screens[0], kr);
    expect_box(r.screens[1], kRashod);
    expect_box(r.screens[2], kFormaKalk);
    expect_box(r.screens[3], kObrada);
    expect_gone(r.screens[3], kr);
    expect_box(r.screens[4], kr);
    expect_gone(r.screens[4], kPartner);
    EXPECT_EQ(at(r.screens[5], 3, 7, 16), "Broj Kalkulacije");   // the costing screen of form KR
    expect_box(r.screens[6], kr);
    expect_main_menu(r.screens[7], kMarket, false);
    expect_box(r.screens[7], kZaduzenje);

    r = go(inst, new_company(7, "ZIMA", 'P', 7, false) + "{Enter}{dump}" + kLeave);
    ASSERT_RUN(r, 0, 1);
    expect_main_menu(r.screens[0], "(ZIMA NIJE PDV obveznik)");
    Box pausalac{"flat-rate message", 10, 21, 12, 57, kDouble, "", {{11, 24, "Odabrani komitent je Pausalac !"}}};
    expect_box(r.screens[0], pausalac);
}

// ---- rebuilding the indexes; the company held by another workstation ----

namespace fs = std::filesystem;

std::set<std::string> index_files(const fs::path& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".ntx") out.insert(e.path().filename().string());
    return out;
}

// Every index file of the directory dated back to a day long past.
void backdate_indexes(const fs::path& dir) {
    auto old = fs::last_write_time(dir) - std::chrono::hours(24 * 365 * 5);
    for (const std::string& f : index_files(dir)) fs::last_write_time(dir / f, old);
}

// False also for a missing file.
bool written_recently(const fs::path& p) {
    std::error_code ec;
    auto t = fs::last_write_time(p, ec);
    return !ec && t > fs::file_time_type::clock::now() - std::chrono::hours(24);
}

// The "cur_user" marker of a company held the way a second workstation holds it.
struct HeldMarker {
    int fd = -1;
    explicit HeldMarker(const fs::path& p) {
        fd = ::open(p.c_str(), O_RDWR);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ~HeldMarker() {
        if (fd >= 0) ::close(fd);
    }
};

const Box kNaslov{"warning about another operator", 7, 8, 9, 71, kDouble, "",
                  {{8, 10, "PAZNJA: Drugi operater radi sa podacima odabranog komitenta!"}}};

// Two companies made and entered in one run; the index rebuild in the second.
TEST(ServiceIndexes, RebuildsTheIndexesOfTheOpenCompanyOnly) {
    Install inst;
    Result r = go(inst, new_company(1, "MARKET", 'K', 1, true) + "{Enter}{Esc}" + new_company(2, "ZIMA", 'K', 1, false) +
                          "{Enter}" + kLeave);
    ASSERT_EQ(r.status, 0) << why(r);
    // The second company of the run has its own directory beside the first, the registers stay in
    // the installation directory.
    const fs::path d1 = inst / "001", d2 = inst / "002";
    for (const fs::path& d : {d1, d2}) EXPECT_EQ(std::distance(fs::directory_iterator(d), fs::directory_iterator()), 131) << d;
    for (const char* f : {"002", "mdk_pro.dbf", "mporuke.dbf"}) EXPECT_FALSE(fs::exists(d1 / f) || fs::exists(d2 / f)) << f;
    std::set<std::string> before = index_files(d2);
    ASSERT_TRUE(before.count("mdart.ntx"));
    backdate_indexes(d2);
    backdate_indexes(inst.path);
    std::ofstream(d2 / "zzstray.ntx") << "x";
    std::ofstream(d1 / "zzstray.ntx") << "x";

    // Enter the second company, rebuild: the program comes back to the main menu of that company.
    r = go(inst, "{Down}{Enter}SI{dump}" + kLeave);
    ASSERT_RUN(r, 0, 1);
    expect_main_menu(r.screens[0], "(ZIMA NIJE PDV obveznik)");
    EXPECT_FALSE(fs::exists(d2 / "zzstray.ntx")) << "every index file of the company is deleted";
    EXPECT_TRUE(fs::exists(d1 / "zzstray.ntx")) << "another company's files stay";
    ASSERT_TRUE(fs::exists(inst / "mdk_pro.ntx"));
    EXPECT_FALSE(written_recently(inst / "mdk_pro.ntx")) << "the company register's index stays";
    EXPECT_EQ(index_files(d2), before);
    for (const std::string& f : before) EXPECT_TRUE(written_recently(d2 / f)) << f << " was not rebuilt";
}

TEST(ServiceIndexes, CompanyHeldElsewhereWarnsAndKeepsItsIndexes) {
    Install inst;
    Result r = go(inst, new_company(1, "MARKET", 'K', 1, true) + "{Enter}" + kLeave);
    ASSERT_EQ(r.status, 0) << why(r);
    const fs::path d = inst / "001";
    ASSERT_TRUE(fs::exists(d / "cur_user.dbf"));
    std::set<std::string> before = index_files(d);
    backdate_indexes(d);
    std::ofstream(d / "zzstray.ntx") << "x";

    {
        HeldMarker held(d / "cur_user.dbf");
        ASSERT_GE(held.fd, 0);
        // The warning on row 7 and the work goes on: the menus open; the index rebuild is
        // refused with a message that waits a moment.
        r = go(inst, "{Enter}{dump}1{dump}{Esc}SI{dump}{pause}{Esc}" + kLeave);
    }
    ASSERT_RUN(r, 0, 3);
    expect_main_menu(r.screens[0], kMarket);
    expect_box(r.screens[0], kNaslov);
    expect_box(r.screens[1], kMatpod);
    Box refused{"refused rebuild", 10, 11, 12, 68, kDouble, "", {{11, 14, "Drugi operater radi sa podacima odabranog komitenta!"}}};
    expect_box(r.screens[2], refused);
    EXPECT_TRUE(fs::exists(d / "zzstray.ntx"));
    for (const std::string& f : before) EXPECT_FALSE(written_recently(d / f)) << f << " was rebuilt";

    // Released again: the next entry is the only user of the company, no warning.
    r = go(inst, "{Enter}{dump}" + kLeave);
    ASSERT_RUN(r, 0, 1);
    EXPECT_FALSE(shows(r.screens[0], "PAZNJA")) << r.screens[0];
}

}  // namespace
