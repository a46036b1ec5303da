// The menu tree of an open company: the main bar on row 3, the pull-down menus hanging from it,
// the two document menus of "2.Unos" and the small menus below them. Every menu is a loop: save
// the screen, paint the box and the prompts, read one choice, run it, remember the position,
// restore the screen; Esc leaves the loop and returns to the menu above.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "books/books.h"
#include "calc/pricing.h"
#include "cards/cards.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/frame.h"
#include "frame/vars.h"
#include "inbound/inbound.h"
#include "outbound/outbound.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/input/menu.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

// Watches the procedures the menu items hand over to (used by the menu tests).
namespace menus_trace {
using Observer = std::function<void(const std::string& proc)>;
void set_observer(Observer observer);
}  // namespace menus_trace

namespace {

menus_trace::Observer g_observer;

// Runs the procedure of a menu item. While the menu tests watch, the observer takes the
// procedure's place. f10: the procedure runs with F10 bound to the VAT record entry.
void call(const std::string& proc, const std::function<void()>& body, bool f10 = false) {
    if (g_observer) {
        g_observer(proc);
        return;
    }
    if (body) body();
}

// The document and report procedures not wired yet: the item names the procedure it will run
// and returns to its menu.
void later(const std::string& proc, bool f10 = false) { call(proc, {}, f10); }

// The frame of the pull-downs: top corners are T-pieces, so the box hangs from the main bar.
const std::string FRAME_T = "\xC2\xC4\xC2\xB3\xD9\xC4\xC0\xB3 ";

struct Box {
    int top, left, bottom, right;
};

// Prompts one under the other in one column, step rows apart.
std::vector<rt::Prompt> column(int col, int first_row, int step, const std::vector<std::string>& texts) {
    std::vector<rt::Prompt> out;
    int row = first_row;
    for (const std::string& t : texts) {
        out.push_back(rt::Prompt{row, col, t, ""});
        row += step;
    }
    return out;
}

// Right and Left while a pull-down's light bar waits: back to the main bar, which opens the
// neighbouring menu. The keys are given back as soon as the bar returns, so the procedure run
// from the menu sees the arrows as ordinary keys.
class SideKeys {
public:
    SideKeys()
        : right_(rt::SETKEY(rt::K::RIGHT, [](const std::string&, int, const std::string&) { DESNO(); })),
          left_(rt::SETKEY(rt::K::LEFT, [](const std::string&, int, const std::string&) { LEVO(); })) {}
    ~SideKeys() {
        rt::SETKEY(rt::K::RIGHT, right_);
        rt::SETKEY(rt::K::LEFT, left_);
    }
    SideKeys(const SideKeys&) = delete;
    SideKeys& operator=(const SideKeys&) = delete;

private:
    rt::HotKey right_, left_;
};

// Paints the box and the prompts in the menu colour and reads one choice (0 on Esc), starting on
// prompt start. side: a pull-down (Right and Left move to the neighbouring pull-down).
int paint_and_choose(const Box& b, std::string_view frame, std::string_view title,
                     const std::vector<rt::Prompt>& prompts, int start, bool side) {
    rt::SETCOLOR(MENICOL);
    BOXSHAD(b.top, b.left, b.bottom, b.right, frame, title);
    for (const rt::Prompt& p : prompts) rt::PROMPT(p.row, p.col, p.text);
    if (!side) return rt::MENU_TO(start);
    SideKeys keys;
    return rt::MENU_TO(start);
}

// A small menu below a pull-down: one choice, then back to the menu above. pos is where the bar
// starts and what it was left on; restore_at_once: the screen under the box is given back as soon
// as a prompt is chosen (otherwise the called procedure draws over the box, and the menu above
// restores its own screen afterwards). Esc always gives the screen back.
int submenu(const Box& b, const std::vector<rt::Prompt>& prompts, int& pos, bool restore_at_once = false) {
    const rt::ScreenImage under = rt::SAVESCREEN();
    const int choice = paint_and_choose(b, "", "", prompts, pos, false);
    if (choice > 0) pos = choice;
    if (choice == 0 || restore_at_once) rt::RESTSCREEN(under);
    return choice;
}

// The positions of the small menus under "2.Unos": kept while "2.Unos" stays open.
struct EntryPositions {
    int rashod = 1;      // " 4.Rashod"
    int partner = 1;     // " 9.Partner (poc. stanje)"
    int akontacije = 1;  // "10.Akontacije Poreza i Doprinosa"
    int racun = 1;       // "1.Racun"
};
EntryPositions g_entry;

void costing(bool otkup, bool trosak, bool repr) {
    WOTKUP = otkup;
    KAL_TROS = trosak;
    KAL_REPR = repr;
    call("KALKULACIJE", KALKULACIJE, true);
}

void invoice(bool pred, bool avans, bool konacni, bool f10) {
    PRED_RAC = pred;
    A_RAC = avans;
    K_RAC = konacni;
    call("RACUN", RACUN, f10);
}

// "Indeksiranje": every index of the company is erased; Esc, Esc, Enter then close the service
// menu and the main menu and enter the same company again, whose table check builds the indexes
// anew. Only the workstation that holds the company may do it.
void reindex() {
    if (!CUR_USER) {
        PORUKA("Drugi operater radi sa podacima odabranog komitenta!", 0);
        return;
    }
    rt::dbf::close_all();
    PORUKA("Sacekajte...", 1);
    // An index that could not be erased is kept as it is; the erased ones are still built anew.
    if (!BRISIF(OSNDIR + WSIFKOM + "/", "*.ntx")) PORUKA("Nisu obrisani svi indeksi komitenta!", 2);
    rt::KEYBOARD({rt::K::ESC, rt::K::ESC, rt::K::ENTER});
}

}  // namespace

void menus_trace::set_observer(Observer observer) { g_observer = std::move(observer); }

// ---- the main bar ----

void main_menu() {
    const std::string colour = rt::SETCOLOR();
    for (;;) {
        const rt::ScreenImage screen = rt::SAVESCREEN();
        rt::SETCOLOR(MENICOL);
        rt::PROMPT(3, 7, "1.Maticni podaci");
        rt::PROMPT(3, 30, "2.Unos");
        rt::PROMPT(3, 44, "3.Stampa");
        rt::PROMPT(3, 57, "4.Obracun");
        rt::PROMPT(3, 69, "Servis");
        // Esc leaves 0 here: the next company starts on the first heading.
        OSM = rt::MENU_TO(OSM);
        const int choice = OSM;
        if (choice == 0) break;
        // The screen Right and Left in a pull-down go back to.
        POSM = rt::SAVESCREEN();
        switch (choice) {
        case 1: MATPOD(); break;
        case 2: OBRADA(); break;
        case 3: STAMPA(); break;
        case 4: OBRACUN(); break;
        case 5: SERVIS(); break;
        }
        rt::RESTSCREEN(screen);
    }
    rt::SETCOLOR(colour);
}

// ---- "1.Maticni podaci" ----

void MATPOD() {
    static const std::vector<rt::Prompt> prompts =
        column(7, 6, 2,
               {"1.Dobra (Artikli)", "2.Partneri", "3.Obaveze", "4.Normativ", "5.Prijem", "6.Glavnik",
                "7.Definisanje", "8.Forma Racuna"});
    int VR_PR = 1, VR_KO = 1, MENU_FR = 1;
    int MAP = KMAP;
    for (;;) {
        const rt::ScreenImage screen = rt::SAVESCREEN();
        const int choice = paint_and_choose({4, 5, 22, 25}, FRAME_T, "", prompts, MAP, true);
        if (choice == 0) {
            rt::RESTSCREEN(screen);
            return;
        }
        MAP = choice;
        switch (choice) {
        case 1: call("ARTIKLI", [] { ARTIKLI(); }); break;
        case 2:
            PART_OB = true;
            call("PARTNERI", [] { PARTNERI(); });
            break;
        case 3:
            PART_OB = false;
            call("PARTNERI", [] { PARTNERI(); });
            break;
        case 4: later("NORMATIV"); break;
        case 5:
            switch (submenu({15, 15, 19, 35},
                            column(17, 16, 1, {"1.Prijem Dobara", "2.Prijem Partnera", "3.Prijem Obaveza"}),
                            VR_PR)) {
            case 1: later("PRIJEM_ART"); break;
            case 2:
                PART_OB = true;
                later("PRIJEM_PAR");
                break;
            case 3:
                PART_OB = false;
                later("PRIJEM_PAR");
                break;
            }
            break;
        case 6:
            switch (submenu({16, 15, 23, 42},
                            column(17, 17, 1,
                                   {"1.Program Glavnik", "2.Kontiranje Kalkulacija", "3.Kontiranje Racuna",
                                    "4.Prenos Kalkulacija", "5.Prenos Racuna", "6.Prenos Rashoda"}),
                            VR_KO, true)) {
            // The ledger program is started only when its location is known.
            case 1: later("GLV_MAP"); break;
            case 2: later("KONT_KALK"); break;
            case 3: later("KONT_RAC"); break;
            case 4: later("PREN_KALK"); break;
            case 5: later("PREN_RAC"); break;
            case 6: later("PREN_RASH"); break;
            }
            break;
        case 7: later("DEFINISANJE"); break;
        case 8:
            switch (submenu({16, 15, 20, 41},
                            column(17, 17, 1,
                                   {"1.Unos Klauzule", "2.Podesavanje Zaglavlja", "3.Definisanje Napomene"}),
                            MENU_FR, true)) {
            case 1: call("RN_KLAUZULA", RN_KLAUZULA); break;
            case 2: call("RN_ZAGLAVLJE", RN_ZAGLAVLJE); break;
            case 3: call("RN_NAPOMENA", RN_NAPOMENA); break;
            }
            break;
        }
        rt::dbf::close_all();
        KMAP = MAP;
        rt::RESTSCREEN(screen);
    }
}

// ---- "2.Unos" ----

void OBRADA() {
    static const std::vector<rt::Prompt> prompts =
        column(27, 6, 2, {"1.Zaduzenje", "2.Razduzenje", "3.Zapisnik", "4.Tekuci Racun"});
    g_entry = EntryPositions{};
    KALK_FORM = 1;
    int OP = KOP;
    for (;;) {
        const rt::ScreenImage screen = rt::SAVESCREEN();
        const int choice = paint_and_choose({4, 25, 14, 42}, FRAME_T, "", prompts, OP, true);
        if (choice == 0) {
            rt::RESTSCREEN(screen);
            return;
        }
        OP = choice;
        switch (choice) {
        case 1: ZADUZENJE(); break;
        case 2: RAZDUZENJE(); break;
        case 3: later("ZAPISNIK"); break;
        case 4: later("ZIRO"); break;
        }
        KOP = OP;
        rt::RESTSCREEN(screen);
    }
}

void ZADUZENJE() {
    int ZP = KZP;
    for (;;) {
        const std::vector<rt::Prompt> prompts = column(
            32, 8, 1,
            {std::string(" 1.Kalkulacija") + (WSIFDEL == "005" ? " (Obrazac KR/KR-1)" : ""), " 2.Repromaterijal",
             " 3.Gotov proizvod", " 4.Rashod", " 5.Oprema i Objekti", " 6.Kalkulacija po Otkupu",
             " 7.Kalkulacija-Trosak", " 8.Kalkulacija-Reprezentacija", " 9.Partner (poc. stanje)",
             "10.Akontacije Poreza i Doprinosa", "11.Komisioni magacin"});
        const rt::ScreenImage screen = rt::SAVESCREEN();
        const int choice = paint_and_choose({7, 30, 19, 65}, "", "", prompts, ZP, true);
        if (choice == 0) {
            rt::dbf::close_all();
            rt::RESTSCREEN(screen);
            return;
        }
        ZP = choice;
        switch (choice) {
        case 1:
            WOTKUP = KAL_TROS = KAL_REPR = false;
            if (WSIFDEL == "005") {
                // Activity "005": the costing forms a receipt (KR) or a return (KR-1) of goods.
                const rt::ScreenImage under = rt::SAVESCREEN();
                const int form = paint_and_choose(
                    {9, 40, 12, 71}, "", " Kalkulacijom se formira: ",
                    column(42, 10, 1, {"Obrazac KR (prijem robe)", "Obrazac KR-1 (povracaj robe)"}), KALK_FORM,
                    false);
                if (form == 0) {
                    rt::dbf::close_all();
                    rt::RESTSCREEN(screen);
                    return;
                }
                KALK_FORM = form;
                rt::RESTSCREEN(under);
            }
            costing(false, false, false);
            break;
        case 2: later("ZADREPRO", true); break;
        case 3: later("ZADGOTOVP"); break;
        case 4:
            switch (submenu({12, 35, 21, 78},
                            column(37, 13, 1,
                                   {"1.Unos Rashoda", "2.Rashod iz Obaveza (unos)", "3.Rashod iz Obaveza (brisanje)",
                                    "4.Spisak Rashoda po Datumu", "5.Spisak Rashoda po Strukturi",
                                    "6.Spisak Rashoda po Broju", "7.Rekapitulacija Rashoda po Dobavljacima",
                                    "8.Rekapitulacija Rashoda po Strukturi"}),
                            g_entry.rashod)) {
            case 1: later("RASHOD", true); break;
            case 2: later("U_RASHOD"); break;
            case 3: later("IZ_RASHODA"); break;
            case 4:
                PO_STRUKTURI = false;
                REKAP_STRUKT = false;
                later("SRASHOD");
                break;
            case 5:
                PO_STRUKTURI = true;
                REKAP_STRUKT = false;
                later("SRASHOD");
                break;
            case 6: later("SRASHODB"); break;
            case 7: later("RRASHOD"); break;
            case 8:
                PO_STRUKTURI = true;
                REKAP_STRUKT = true;
                later("SRASHOD");
                break;
            }
            break;
        case 5: later("OOPDV", true); break;
        case 6: costing(true, false, false); break;
        case 7: costing(false, true, false); break;
        case 8: costing(false, false, true); break;
        case 9:
            if (WSIFDEL == "002" || DOSPAR == "U") {
                switch (submenu({13, 35, 16, 58}, column(37, 14, 1, {"1.Pocetno stanje", "2.Zaduzenje partnera"}),
                                g_entry.partner)) {
                case 1: later("PSPAR"); break;
                case 2: later("ZADKUP"); break;
                }
            } else {
                later("PSPAR");
            }
            break;
        case 10:
            switch (submenu({17, 45, 23, 73},
                            column(47, 18, 1,
                                   {"1.Uplatni Racuni i Iznosi", "2.Stampa Virmana", "3.Definisanje Knjizenja",
                                    "4.Knjizenje u Rashod", "5.Stari Uplatni Racuni"}),
                            g_entry.akontacije)) {
            case 1: later("UNOSAPID"); break;
            case 2: later("STPAPID"); break;
            case 3: later("DEFRASAPID"); break;
            case 4: later("RASHODAPID"); break;
            case 5: later("UR147P"); break;
            }
            break;
        case 11:
            WZAD_RAZD = 1;
            later("KOMISIONIMAGACIN");
            break;
        }
        KZP = ZP;
        rt::RESTSCREEN(screen);
    }
}

void RAZDUZENJE() {
    static const std::vector<rt::Prompt> prompts =
        column(32, 10, 1,
               {"1.Racun", "2.Promet dobara", "3.Promet usluga", "4.Robno razduzenje", "5.Repromaterijal",
                "6.Gotov proizvod", "7.Obrazac KR-1 (isplata)", "8.Komisioni Magacin", "9.Vanredni prihod"});
    int RP = KRP;
    for (;;) {
        const rt::ScreenImage screen = rt::SAVESCREEN();
        const int choice = paint_and_choose({9, 30, 19, 57}, "", "", prompts, RP, true);
        if (choice == 0) {
            rt::dbf::close_all();
            rt::RESTSCREEN(screen);
            return;
        }
        RP = choice;
        switch (choice) {
        case 1:
            switch (submenu({11, 32, 18, 76},
                            column(34, 12, 1,
                                   {"1.Racun", "2.PredRacun", "3.Avansni Racun", "4.Konacni Racun",
                                    "5.Interni Obracun PDV-a (gradjevinarstvo)",
                                    "6.Evidencija Racuna sa PDV oslobodjenjem"}),
                            g_entry.racun)) {
            case 1: invoice(false, false, false, true); break;
            case 2: invoice(true, false, false, false); break;  // a pro-forma invoice has no VAT record
            case 3: invoice(false, true, false, true); break;
            case 4: invoice(false, false, true, true); break;
            case 5:
                if (WSIFDEL != "009")
                    PORUKA("Interni obracun PDV-a predvidjen je za firme sa oznakom 9 (SZR/SR)!");
                later("INTOBRPDVGR", true);
                break;
            case 6: later("OSLPDV"); break;
            }
            break;
        case 2: later("PROMET(Dobara)", true); break;
        case 3: later("PROMET(Usluga)", true); break;
        case 4: later("RAZDUZROBE"); break;
        case 5:
            ZADUZ = false;
            later("REPRO");
            break;
        case 6: later("RAZPROIZ"); break;
        case 7: later("KR1_ISP"); break;
        case 8:
            WZAD_RAZD = 2;
            later("KOMISIONIMAGACIN");
            break;
        case 9: later("VPRIHOD"); break;
        }
        KRP = RP;
        rt::RESTSCREEN(screen);
    }
}

// ---- "3.Stampa" ----

void STAMPA() {
    static const std::vector<rt::Prompt> prompts =
        column(41, 6, 2,
               {"1.Obrazac KEP", "2.Obrazac KPO", "3.PDV Evidencije", "4.Obrazac PK-1", "5.Tekuci Racun",
                "6.Kartice", "7.Ostali Izvestaji"});
    int MENU_E = 1, MENU_K = 1, MENU_R = 1, MENU_ND = 1;
    int ST = KST;
    for (;;) {
        const rt::ScreenImage screen = rt::SAVESCREEN();
        const int choice = paint_and_choose({4, 39, 20, 60}, FRAME_T, "", prompts, ST, true);
        // Every report opens what it reads: nothing stays open from the work before.
        rt::dbf::close_all();
        if (choice == 0) {
            rt::RESTSCREEN(screen);
            return;
        }
        ST = choice;
        switch (choice) {
        case 1: call("KTKNJIGA", KTKNJIGA); break;
        case 2:
            if (!WKLASIFIKATOR.empty() && WKLASIFIKATOR[0] == 'K')
                PORUKA("Knjiga pausalnih obveznika se Ne stampa knjigasima.");
            later("KPO");
            break;
        case 3: {
            std::vector<std::string> texts = {"1.Ulazni Racuni za dobra i usluge", "2.Izdati Racuni za dobra i usluge",
                                              "3.Izdati Racuni sa PDV oslobodjenjem",
                                              "4.Otkup Poljoprivrednih Proizvoda", "5.Oprema i Objekti"};
            for (std::string& t : texts) t.resize(36, ' ');
            switch (submenu({16, 30, 22, 69}, column(32, 17, 1, texts), MENU_E)) {
            case 1: later("EUR"); break;
            case 2: later("EIR"); break;
            case 3: later("EOSLPDV"); break;
            case 4: later("OTKUPPP"); break;
            case 5: later("EOOPDV"); break;
            }
            break;
        }
        case 4: later("PK1"); break;
        case 5: later("STPZIRO"); break;
        case 6:
            switch (submenu({15, 30, 22, 62},
                            column(32, 16, 1,
                                   {"1.Kartica Dobara", "2.Kartica Partnera", "3.Kartica Obaveza",
                                    "4.Kartica Repromaterijala", "5.Kartica Gotovog proizvoda",
                                    "6.Kartica Komisionog Magacina"}),
                            MENU_K)) {
            case 1: call("KARTDOBARA", KARTDOBARA); break;
            case 2: later("KARTPARTNERA"); break;
            case 3: later("KARTOBAVEZA"); break;
            case 4: later("KARTREPRO"); break;
            case 5: later("KARTPROIZ"); break;
            case 6: later("KARTKOMMAG"); break;
            }
            break;
        case 7:
            switch (submenu({14, 30, 22, 63},
                            column(32, 15, 1,
                                   {"1.Rekapitaulacija Kalkulacija", "2.Rekapitaulacija Racuna", "3.List DPU",
                                    "4.Valute na dan", "5.Izvod Otvorenih Stavki", "6.Nabavka Dobara po Dobavljacu",
                                    "7.Zaliha Dobara po Dobavljacu"}),
                            MENU_R)) {
            case 1: later("REKKALK"); break;
            case 2: later("REKRAC"); break;
            case 3:
                if (WSIFDEL != "008") PORUKA("List DPU je predvidjen za Ugostiteljske Radnje !");
                later("DPU");
                break;
            case 4: later("VALUTE"); break;
            case 5: later("IOS"); break;
            case 6: later("NABPODOB"); break;
            case 7:
                switch (submenu({16, 1, 20, 44},
                                column(3, 17, 1,
                                       {"1.Stampa Zalihe Dobara po Dobavljacu",
                                        "2.Automatsko povezivanje Dobro-Dobavljac",
                                        "3.Rucno povezivanje Dobro-Dobavljac"}),
                                MENU_ND)) {
                case 1: later("ZALPODOB"); break;
                case 2: later("AUTOPOVEZIVANJE"); break;
                case 3: later("RUCNOPOVEZIVANJE"); break;
                }
                break;
            }
            break;
        }
        KST = ST;
        rt::RESTSCREEN(screen);
    }
}

// ---- "4.Obracun" ----

void OBRACUN() {
    static const std::vector<rt::Prompt> prompts =
        column(55, 6, 2,
               {"1.Obracun PDV", "2.Rek.Obracuna PDV", "3.Popis/Poc.stanje", "4.Bilans Uspeha", "5.Poreski Bilans",
                "6.Poreska Prijava", "7.Obrazac EPPDV"});
    int SSO_RP = 1;
    int SSO = KSSO;
    for (;;) {
        const rt::ScreenImage screen = rt::SAVESCREEN();
        const int choice = paint_and_choose({4, 53, 20, 74}, FRAME_T, "", prompts, SSO, true);
        if (choice == 0) {
            rt::RESTSCREEN(screen);
            return;
        }
        SSO = choice;
        switch (choice) {
        case 1: later("OPOREZ"); break;
        case 2:
            switch (submenu({10, 43, 13, 69}, column(45, 11, 1, {"1.Stampa Rekapitulacije", "2.Unos korekcije"}),
                            SSO_RP, true)) {
            case 1: later("REKPDVOBR"); break;
            case 2: later("REKPDV_UK"); break;
            }
            break;
        case 3: later("OPOPIS"); break;
        case 4: later("OBU"); break;
        case 5: later("OPB2"); break;
        case 6: later("OPPDG1S"); break;
        case 7: later("OEPPDV"); break;
        }
        KSSO = SSO;
        rt::RESTSCREEN(screen);
    }
}

// ---- "Servis" ----

void SERVIS() {
    static const std::vector<rt::Prompt> prompts = {
        {6, 63, "VELT Office", ""}, {10, 63, "Indeksiranje", ""}, {12, 63, "Kontrole", ""}, {14, 63, "Promeni PDV", ""}};
    // The bar position is kept only while this menu stays open.
    int pos = 1, SSO_KON = 1;
    for (;;) {
        const rt::ScreenImage screen = rt::SAVESCREEN();
        const int choice = paint_and_choose({4, 61, 16, 76}, FRAME_T, "", prompts, pos, true);
        if (choice == 0) {
            rt::RESTSCREEN(screen);
            return;
        }
        pos = choice;
        switch (choice) {
        case 1: SHOWINFO(); break;
        case 2: reindex(); break;
        case 3: {
            const int check = submenu({13, 30, 19, 73},
                                      column(32, 14, 1,
                                             {"1.Kontrola Zaglavlje/Stavke Kalkulacija",
                                              "2.Kontrola Zaglavlje/Stavke Racuna", "3.Kontrola Zaglavlja Rashoda",
                                              "4.Kontrola KEP/Obrazac PK-1", "5.Kontrola Prodajne Cene Dobara"}),
                                      SSO_KON);
            rt::RESTSCREEN(OSEK);
            switch (check) {
            case 1: later("KONZSKAL"); break;
            case 2: later("KONZSRAC"); break;
            case 3: later("KONZRAS"); break;
            case 4: call("KONTKPK1", KONTKPK1); break;
            case 5:
                DAJ_ZBIR = true;
                call("ZBIRSTZART", [] {
                    if (open_stock_tables()) ZBIRSTZART();
                    else PORUKA("Podaci su zauzeti na drugoj radnoj stanici !", 2);
                });
                DAJ_ZBIR = false;
                rt::dbf::close_all();
                break;
            }
            break;
        }
        case 4: PROMENIPDV(); break;
        }
        rt::RESTSCREEN(screen);
        rt::dbf::close_all();
    }
}

}  // namespace tor
