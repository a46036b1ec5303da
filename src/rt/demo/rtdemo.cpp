// rtdemo: a small program on the runtime alone: a title, a light-bar menu, an entry form whose
// amount repaints the VAT beside it, and a choice list of months. It shows a newcomer the input
// machinery and lets the end-to-end tests drive the headless console before the real program.
#include <exception>
#include <string>
#include <vector>

#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/input/menu.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

namespace {

constexpr const char* NORMAL = "W+/B,W+/R,,,W+/B";
constexpr const char* MENICOL = "W+/B,N/W";
constexpr const char* BROJ = "9999999.99";
constexpr const char* DOUBLE_FRAME = "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ";
constexpr int STATUS_ROW = 23;

// The form's variables, kept between entries.
struct Form {
    double WSIFRA = 0;
    std::string WNAZIV = std::string(30, ' ');
    double WIZNOS = 0;
    rt::Date WDATUM;
    bool WPLACENO = false;
};

// The value copied with Alt+C, pasted with Alt+V.
rt::Value clip = 0.0;

void tone() { rt::TONE(1000, 1); }

void status(const std::string& text) {
    rt::CLEAR_RECT(STATUS_ROW, 0, STATUS_ROW, rt::COLS - 1);
    rt::SAY(STATUS_ROW, 1, text);
}

void title() {
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    rt::BOX(0, 0, 2, 79, DOUBLE_FRAME);
    const std::string t = "TOR-PDV  -  demonstracija ulaza";
    rt::SAY(1, (80 - static_cast<int>(t.size())) / 2, t);
    rt::SAY(rt::ROWS - 1, 1, "Alt+C kopira, Alt+V lepi vrednost polja; Alt+D upisuje danasnji datum");
}

void bind_hot_keys() {
    rt::SETKEY(rt::K::ALT_C, [](const std::string&, int, const std::string&) {
        if (rt::Get* g = rt::active_get()) clip = g->value();
    });
    rt::SETKEY(rt::K::ALT_V, [](const std::string&, int, const std::string&) {
        if (rt::Get* g = rt::active_get()) g->assign(clip);
    });
    // Today's date into the date field being edited.
    rt::SETKEY(rt::K::ALT_D, [](const std::string&, int, const std::string&) {
        rt::Get* g = rt::active_get();
        if (g && g->type() == rt::VType::D) g->assign(rt::clk::today());
        else tone();
    });
    // Ctrl+Enter leaves the field as Enter does.
    rt::SETKEY(rt::K::CTRL_ENTER, [](const std::string&, int, const std::string&) {
        rt::KEYBOARD(std::vector<int>{rt::K::ENTER});
    });
}

void show_vat(const Form& f) {
    rt::SAY(11, 26, rt::TRANSFORM(rt::ROUND(f.WIZNOS * 0.2, 2), BROJ));
}

void entry(Form& f) {
    rt::ScreenImage under = rt::SAVESCREEN(5, 0, 16, 79);
    rt::BOX(5, 8, 16, 71, DOUBLE_FRAME);
    rt::SAY(5, 34, " Nova stavka ");
    rt::SAY(7, 11, "Sifra:");
    rt::SAY(8, 11, "Naziv:");
    rt::SAY(10, 11, "Iznos:");
    rt::SAY(11, 11, "PDV 20%:");
    rt::SAY(13, 11, "Datum:");
    rt::SAY(14, 11, "Placeno (T/F):");
    rt::SAY(15, 10, " Enter-dalje  PgDn-upis  Esc-odustani ");
    if (f.WDATUM.empty()) f.WDATUM = rt::clk::today();
    show_vat(f);

    rt::ProcScope proc("UNOS");
    rt::GetList gl;
    rt::GET(gl, rt::get(7, 26, f.WSIFRA, "999999").name("WSIFRA").valid([&f] {
        if (f.WSIFRA > 0 || rt::LASTKEY() == rt::K::UP) return true;
        status("Sifra mora biti veca od nule.");
        tone();
        return false;
    }));
    rt::GET(gl, rt::get(8, 26, f.WNAZIV, "@!").name("WNAZIV"));
    rt::GET(gl, rt::get(10, 26, f.WIZNOS, BROJ).name("WIZNOS").valid([&f] {
        show_vat(f);
        return true;
    }));
    rt::GET(gl, rt::get(13, 26, f.WDATUM).name("WDATUM"));
    rt::GET(gl, rt::get(14, 26, f.WPLACENO).name("WPLACENO"));
    rt::READ(gl);

    bool abandoned = rt::LASTKEY() == rt::K::ESC;
    rt::RESTSCREEN(under);
    if (abandoned) {
        status("Unos je prekinut.");
        return;
    }
    status("Upisano: " + rt::STRZERO(f.WSIFRA, 6) + " " + rt::TRIM(f.WNAZIV) + ", iznos " +
           rt::ALLTRIM(rt::TRANSFORM(f.WIZNOS, BROJ)) + ", datum " + rt::DTOC(f.WDATUM) +
           (f.WPLACENO ? ", placeno" : ", nije placeno"));
}

void months() {
    static const std::vector<std::string> names = {
        "Januar", "Februar", "Mart",     "April",   "Maj",      "Jun",
        "Jul",    "Avgust",  "Septembar", "Oktobar", "Novembar", "Decembar"};
    static int last = 1;
    rt::ScreenImage under = rt::SAVESCREEN(5, 0, 16, 79);
    rt::BOX(6, 30, 15, 49, DOUBLE_FRAME);
    rt::SAY(6, 35, " Meseci ");
    int chosen = rt::ACHOICE(7, 32, 14, 47, names, [](int mode, int, int) {
        if (mode == rt::AC::HITTOP || mode == rt::AC::HITBOTTOM) tone();
        if (mode != rt::AC::EXCEPTION) return rt::AC::CONTINUE;
        switch (rt::LASTKEY()) {
        case rt::K::ESC: return rt::AC::ABORT;
        case rt::K::ENTER: return rt::AC::SELECT;
        default: return rt::AC::GOTO;  // a letter: the next month starting with it
        }
    }, {}, last);
    rt::RESTSCREEN(under);
    if (chosen == 0) {
        status("Izbor je prekinut.");
        return;
    }
    last = chosen;
    status("Izabran mesec: " + names[chosen - 1]);
}

int run() {
    title();
    bind_hot_keys();
    rt::SET_MESSAGE(STATUS_ROW - 1, true);
    Form form;
    int choice = 1;
    for (;;) {
        rt::SETCOLOR(MENICOL);
        rt::PROMPT(4, 12, " 1.Unos ", "Unos stavke u formu");
        rt::PROMPT(4, 34, " 2.Meseci ", "Izbor meseca sa liste");
        rt::PROMPT(4, 58, " 3.Kraj ", "Izlaz iz programa");
        choice = rt::MENU_TO(choice);
        rt::SETCOLOR(NORMAL);
        switch (choice) {
        case 1: entry(form); break;
        case 2: months(); break;
        default: return 0;
        }
    }
}

}  // namespace

int main() {
    try {
        rt::console_init();
        int rc = run();
        rt::console_shutdown();
        return rc;
    } catch (const rt::Error& e) {
        rt::console_fail(e.what());
    } catch (const std::exception& e) {
        rt::console_fail(std::string("Greska: ") + e.what());
    }
}
