// The workstation's settings: the settings file of on/off switches and its ten toggles, the
// desktop colour, the print folder of the Windows print helper, and the program-settings screen
// that also changes the processing date and the names printed on forms.
#include <string>
#include <string_view>

#include "data/data.h"
#include "frame/frame.h"
#include "frame/start.h"
#include "frame/vars.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/input/menu.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

const char* const WRITE_PROBLEM = "Problem u snimanju vrednosti promenjljive na hard disk.";

// A setting: its variable, its key in the settings file, its default, and the message its toggle
// shows (prefix + the word of the new state).
struct Setting {
    bool* var;
    const char* key;
    bool deflt;
    const char* prefix;
    const char* on;
    const char* off;
};

const Setting SETTINGS[] = {
    {&tor::S_INDEX, "AZURIRANJE INDEXA=", false, "Azuriranje indeksnih datoteka je ", "UKLJUCENO.", "ISKLJUCENO."},
    {&tor::S_KALK, "SKRACENA KALKULACIJA=", true, "Kalkulacija je ", "SKRACENA.", "PROSIRENA."},
    {&tor::S_RACUN, "SKRACEN RACUN=", false, "Racun je ", "SKRACEN.", "PROSIREN."},
    {&tor::S_RAZPRENPDV, "RAZVRSTAJ PRETHODNI PDV=", false, "Razvrstavanje prethodnog PDV-a je ", "UKLJUCENO.",
     "ISKLJUCENO."},
    {&tor::S_ZALIHA, "ZALIHA NA RACUNU=", false, "Ispis zalihe je ", "UKLJUCEN.", "ISKLJUCEN."},
    {&tor::S_RACZAL, "PRORACUN ZALIHE=", false, "Proracun zalihe je ", "UKLJUCEN.", "ISKLJUCEN."},
    {&tor::S_NULAZALIHA, "STAMPATI NULA ZALIHU=", false, "Stampa stavke sa stanjem nula je ", "UKLJUCENA.",
     "ISKLJUCENA."},
    {&tor::W_PRINTER, "WIN PRINTER=", false, "Stampac je ", "WINDOWS DEFAULT.", "MATRICNI."},
    {&tor::S_PROMETOPIS, "UNOS OPISA PROMETA=", false, "Unos Opisa prometa dobara/usluga je ", "UKLJUCEN.",
     "ISKLJUCEN."},
    {&tor::S_RACOTP, "RACUN OTPREMNICA=", false, "Opcija Racun je i Otpremnica je ", "UKLJUCENA.", "ISKLJUCENA."},
};

// The value of a key: the character after its first occurrence, "1" on and "0" off; a missing
// key or any other character gives the default.
bool setting_value(std::string_view key, bool deflt) {
    const size_t p = MEM_VAR.find(key);
    if (p == std::string::npos || p + key.size() >= MEM_VAR.size()) return deflt;
    const char c = MEM_VAR[p + key.size()];
    if (c == '1') return true;
    if (c == '0') return false;
    return deflt;
}

// Inverts the setting, reports its new state and rewrites the settings file.
void run_toggle(bool& var) {
    for (const Setting& t : SETTINGS) {
        if (t.var != &var) continue;
        var = !var;
        PORUKA(std::string(t.prefix) + (var ? t.on : t.off));
        set_setting(t.key, var);
        if (!write_settings()) PORUKA(WRITE_PROBLEM);
        return;
    }
}

// Runs the item's screen work with the caller's work areas, colour and cursor put back afterwards.
struct SetupScope {
    rt::dbf::AreaScope areas;
    std::string colour = rt::SETCOLOR();
    ~SetupScope() { rt::SETCOLOR(colour); }
};

}  // namespace

std::string settings_file() { return OSNDIR + "LocalSet/" + CPCID + ".set"; }
std::string desktop_file() { return OSNDIR + "desktop.vlt"; }

void read_settings() {
    // A file that cannot be read comes back empty: every setting takes its default.
    MEM_VAR = rt::os::read_file(settings_file());
    for (const Setting& s : SETTINGS) *s.var = setting_value(s.key, s.deflt);
    if (DOSPAR == "WP") W_PRINTER = true;
}

bool write_settings() { return rt::os::write_file(settings_file(), MEM_VAR); }

void set_setting(std::string_view key, bool on) {
    // Every entry of the key goes, whatever character it holds, so the new one is the one read.
    for (size_t p = MEM_VAR.find(key); p != std::string::npos; p = MEM_VAR.find(key, p)) {
        size_t end = p + key.size();
        if (end < MEM_VAR.size() && MEM_VAR[end] != ';') ++end;
        if (end < MEM_VAR.size() && MEM_VAR[end] == ';') ++end;
        MEM_VAR.erase(p, end - p);
    }
    MEM_VAR += std::string(key) + (on ? "1" : "0") + ";";
}

namespace toggle {

void S_INDEX() { run_toggle(tor::S_INDEX); }
void S_PROMETOPIS() { run_toggle(tor::S_PROMETOPIS); }
void S_KALK() { run_toggle(tor::S_KALK); }
void S_RACUN() { run_toggle(tor::S_RACUN); }
void S_RACOTP() { run_toggle(tor::S_RACOTP); }
void S_ZALIHA() { run_toggle(tor::S_ZALIHA); }
void S_RACZAL() { run_toggle(tor::S_RACZAL); }
void S_NULAZALIHA() { run_toggle(tor::S_NULAZALIHA); }
void S_RAZPRENPDV() {
    // Input VAT is classified while a costing or an expenditure is entered: not switched meanwhile.
    if (rt::dbf::alias_used("ukalk")) {
        PORUKA("Promena ove opcije je dozvoljena samo pre ulaska u Kalkulaciju.");
        return;
    }
    if (rt::dbf::alias_used("rashod")) {
        PORUKA("Promena ove opcije je dozvoljena samo pre ulaska u Rashod.");
        return;
    }
    run_toggle(tor::S_RAZPRENPDV);
}
void S_PRINTER() {
    run_toggle(tor::W_PRINTER);
    if (tor::W_PRINTER) PORUKA("Ova opcija zahteva instaliran i aktivan program DOSPRINT.");
}

}  // namespace toggle

void S_DESKTOP() {
    HELPKEY = "PAZNJA:; Ova opcija menja boju pozadine;"
              " ; Potrebno je da pritisnete slovo koje oznacava boju; i nakon sledeceg ulaska u program "
              "boja ce biti; promenjena. Opcije su:;"
              " ; B - svetlo plava (preporucujemo); G - svetlo zelena; N - siva; R - svetlo crvena; W - bela;"
              " ; Pritisnite jedno od navedenih slova ili; Esc za izlaz i preporucenu pozadinu.; ; Program "
              "ceka Vasu odluku...; ;";
    // Only the five colour letters make a desktop colour; any other key is refused.
    char letter = 0;
    for (;;) {
        HELPBOX();
        const int k = rt::LASTKEY();
        if (k == rt::K::ESC) break;
        if (k > 0 && k < 256) {
            const char c = rt::UPPER(std::string(1, static_cast<char>(k)))[0];
            if (std::string_view("BGNRW").find(c) != std::string_view::npos) {
                letter = c;
                break;
            }
        }
        TON(1);
    }
    if (letter == 0) {
        rt::os::erase(desktop_file());
        return;
    }
    if (!rt::os::write_file(desktop_file(), std::string(1, letter))) PORUKA(WRITE_PROBLEM);
}

std::string ins_pp_prompt(int n, const std::string& folder) {
    auto onoff = [](bool on, const char* on_word, const char* off_word) {
        return std::string(on ? on_word : off_word) + " ";
    };
    switch (n) {
    case 1:
        return " Promena boje pozadine programa.....................................OMOGUCENA ";
    case 2:
        return " Azuriranje indeksnih datoteka je.................................." +
               onoff(S_INDEX, ".UKLJUCENO", "ISKLJUCENO");
    case 3:
        return " Unos Opisa prometa dobara/usluga..................................." +
               onoff(S_PROMETOPIS, ".UKLJUCEN", "ISKLJUCEN");
    case 4:
        return " Kalkulacija je....................................................." +
               onoff(S_KALK, ".SKRACENA", "PROSIRENA");
    case 5:
        return " Racun je............................................................" +
               onoff(S_RACUN, ".SKRACEN", "PROSIREN");
    case 6:
        return " Racun je i Otpremnica....................................................." +
               onoff(S_RACOTP, "DA", "NE");
    case 7:
        return " Ispis Zalihe......................................................." +
               onoff(S_ZALIHA, ".UKLJUCEN", "ISKLJUCEN");
    case 8:
        return " Proracun Zalihe...................................................." +
               onoff(S_RACZAL, ".UKLJUCEN", "ISKLJUCEN");
    case 9:
        return " Stampati stavke ako je saldo nula........................................." +
               onoff(S_NULAZALIHA, "DA", "NE");
    case 10:
        if (W_PRINTER)
            return " Stampac je" + rt::REPLICATE(".", 38 - static_cast<int>(folder.size())) +
                   "WINDOWS DEFAULT [DP folder " + folder + "] ";
        return " Stampac je" + rt::REPLICATE(".", 58) + "MATRICNI ";
    case 11:
        return " Datum Obrade......................................................" + rt::DTOC(DDAN) + " ";
    case 12: {
        const std::string m = rt::ALLTRIM(MESS), s = rt::ALLTRIM(SAST);
        return " Potpis na obrascima" + rt::REPLICATE(".", 31 - static_cast<int>(m.size() + s.size())) +
               "< MESTO: " + m + " > < SASTAVIO: " + s + " > ";
    }
    default:
        return "";
    }
}

void ITEM_PRINTER() {
    toggle::S_PRINTER();
    if (!W_PRINTER) return;
    const rt::ScreenImage saved = rt::SAVESCREEN();
    SetupScope scope;
    BOXSHAD(10, 10, 12, 65);
    rt::SETCURSOR(true);
    std::string folder = rt::PADR(print_folder(), 50);
    const std::string label = "Lokaciju koju DosPrinter prati:";
    rt::SAY(11, 12, label);
    rt::GetList gl;
    rt::GET(gl, rt::get(11, 12 + static_cast<int>(label.size()) + 1, folder, "@!S20").name("WDPFOLDER"));
    rt::READ(gl);
    folder = rt::ALLTRIM(folder);
    if (folder.size() < 3) {
        // Shown until a key or three seconds, so that the refusal is read before the box goes.
        PORUKA("Pogresan unos !", 0);
        folder = "C:\\";
    }
    if (folder.back() != '\\') folder += '\\';
    if (!rt::os::write_file(print_folder_file(), folder)) PORUKA(WRITE_PROBLEM, 0);
    rt::RESTSCREEN(saved);
}

void ITEM_DATUM() {
    SetupScope scope;
    if (!open_setup_record()) return;
    rt::dbf::WorkArea& a = rt::dbf::current();
    const rt::Date today = rt::clk::today();
    rt::SAY(22, 1, ins_pp_prompt(11, ""));
    // The date is typed into a copy (an empty one shows as today); the shared record is locked
    // only for the write. Today is stored empty, so that the next day starts with its own date.
    rt::Date date = a.get_date("DAT_OBR");
    if (date.empty()) date = today;
    rt::GetList gl;
    rt::GET(gl, rt::get(22, 68, date).name("DAT_OBR"));
    rt::READ(gl);
    if (date == today) date = rt::Date();
    if (REC_LOCK(0)) {
        a.put("DAT_OBR", date);
        a.commit();
        a.unlock();
    }
    DDAN = date.empty() ? today : date;
    a.close();
    PORUKA("Datum obrade je podesen na " + (DDAN == today ? std::string("DANASNJI DATUM") : rt::DTOC(DDAN)) +
           ".");
}

void ITEM_POTPIS() {
    const rt::ScreenImage saved = rt::SAVESCREEN();
    {
        SetupScope scope;
        if (!open_setup_record()) return;
        rt::dbf::WorkArea& a = rt::dbf::current();
        BOXSHAD(10, 10, 13, 36);
        rt::SETCURSOR(true);
        // Typed into copies; the shared record is locked only for the write.
        std::string mesto = a.get_str("MESTO");
        std::string sastavio = a.get_str("SASTAVIO");
        rt::SAY(11, 11, "MESTO...:");
        rt::SAY(12, 11, "SASTAVIO:");
        rt::GetList gl;
        rt::GET(gl, rt::get(11, 21, mesto).name("MESTO"));
        rt::GET(gl, rt::get(12, 21, sastavio).name("SASTAVIO"));
        rt::READ(gl);
        if (REC_LOCK(0)) {
            a.put("MESTO", mesto);
            a.put("SASTAVIO", sastavio);
            a.commit();
            a.unlock();
        }
        rt::SETCURSOR(false);
        SAST = a.get_str("SASTAVIO");
        BEEP = a.get_bool("ZVUK");
        CLOC = a.get_bool("SAT");
        MESS = a.get_str("MESTO");
        a.close();
    }
    rt::RESTSCREEN(saved);
}

void INS_PP() {
    BOXSHAD(11, 0, 24, 79, "double", " Programska podesavanja: ");
    int choice = 1;
    for (;;) {
        const std::string folder = W_PRINTER ? print_folder() : std::string();
        const rt::ScreenImage saved = rt::SAVESCREEN();
        for (int n = 1; n <= 12; ++n) rt::PROMPT(11 + n, 1, ins_pp_prompt(n, folder));
        choice = rt::MENU_TO(choice);
        if (choice == 0) {
            rt::RESTSCREEN(saved);
            return;
        }
        switch (choice) {
        case 1: S_DESKTOP(); break;
        case 2: toggle::S_INDEX(); break;
        case 3: toggle::S_PROMETOPIS(); break;
        case 4: toggle::S_KALK(); break;
        case 5: toggle::S_RACUN(); break;
        case 6: toggle::S_RACOTP(); break;
        case 7: toggle::S_ZALIHA(); break;
        case 8: toggle::S_RACZAL(); break;
        case 9: toggle::S_NULAZALIHA(); break;
        case 10: ITEM_PRINTER(); break;
        case 11: ITEM_DATUM(); break;
        case 12: ITEM_POTPIS(); break;
        }
    }
}

}  // namespace tor
