// The print device: the destination question, positioned output with the page and overprint
// moves of the xBase printer device, and closing the destination (the printer job sent, or kept
// in a numbered file when the printer refuses it).
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "report/device.h"
#include "report/report.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

// The open destination. File routes write as they go; the printer routes collect the report
// and hand it over in one piece when it is closed (one print job, no half-written spool file).
struct Device {
    Route route = Route::NONE;
    bool open = false;
    std::string path;
    std::FILE* file = nullptr;
    std::string bytes;
    bool write_failed = false;
    int row = 0;
    int col = 0;
    // The screen route keeps the current row until it ends: text printed left of the current
    // column is laid over it as the printer would print it, so the viewer gets one line (a bare
    // CR would end the line for the viewer's line reader).
    std::string line;
    bool ff_pending = false;   // a form feed was written and nothing after it yet
};
Device dev;

void write_out(std::string_view b) {
    if (dev.ff_pending) {
        dev.ff_pending = false;
        write_out("\r\n");
    }
    if (dev.file && std::fwrite(b.data(), 1, b.size(), dev.file) != b.size()) dev.write_failed = true;
}

// The screen route's row so far goes to the file.
void flush_line() {
    if (dev.route != Route::SCREEN || dev.line.empty()) return;
    write_out(dev.line);
    dev.line.clear();
}

// Text at a column of the screen route's row: a blank never hides what is printed under it.
void lay(int col, std::string_view text) {
    const size_t at = static_cast<size_t>(col);
    if (dev.line.size() < at) dev.line.resize(at, ' ');
    for (size_t i = 0; i < text.size(); ++i) {
        if (at + i >= dev.line.size()) dev.line.push_back(text[i]);
        else if (text[i] != ' ') dev.line[at + i] = text[i];
    }
}

void emit(std::string_view b) {
    if (!dev.open || b.empty()) return;
    switch (dev.route) {
    case Route::SCREEN:
        flush_line();
        write_out(b);
        // The page that follows a form feed starts on a new line for the viewer, so its header
        // is seen at the first column and not after the rule that ended the page.
        if (b == FORM_FEED) dev.ff_pending = true;
        break;
    case Route::FILE:
        if (dev.file && std::fwrite(b.data(), 1, b.size(), dev.file) != b.size()) dev.write_failed = true;
        break;
    case Route::PRINTER:
    case Route::WINPRINTER:
        dev.bytes.append(b);
        break;
    default:
        break;
    }
}

// Ends an open destination without sending anything (a new question replaces it).
void drop_open() {
    if (dev.file) std::fclose(dev.file);
    dev.file = nullptr;
    dev.bytes.clear();
    dev.open = false;
}

// The caller's colour and confirmation setting, put back on every way out.
struct QuestionScope {
    std::string colour = rt::SETCOLOR();
    bool confirm = rt::CONFIRM();
    ~QuestionScope() {
        rt::SETCOLOR(colour);
        rt::SET_CONFIRM(confirm);
    }
};

// Asks for the destination; returns 'E', 'S' or 'F'.
char ask_destination() {
    const rt::ScreenImage saved = rt::SAVESCREEN();
    QuestionScope scope;
    rt::SETCOLOR(NORMAL);
    rt::SET_CONFIRM(false);
    rt::SETCURSOR(true);
    rt::CLEAR_RECT(10, 19, 12, 59);
    rt::BOX(10, 19, 12, 59, FRAME_DOUBLE);
    const char proposed = rt::os::printer_ready() ? 'S' : 'E';
    rt::SAY(11, 21, "Prikaz na Ekranu ili Stampacu (E/S)");
    rt::SAY_COLOR(11, 57, std::string(1, proposed), INVERZ);
    rt::SETPOS(11, 57);
    char letter = 0;
    while (letter == 0) {
        const int k = rt::INKEY(0);
        switch (k) {
        case 'E': case 'e': letter = 'E'; break;
        case 'S': case 's': letter = 'S'; break;
        case 'F': case 'f': letter = 'F'; break;
        case rt::K::ENTER: letter = proposed; break;
        case rt::K::ESC:
            RANEKR(DOSEK);
            throw OrderlyAbort{};
        default: TON(1); break;
        }
    }
    rt::SETCURSOR(false);
    rt::RESTSCREEN(saved);
    return letter;
}

std::string three_digits(int n) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%03d", n);
    return buf;
}

}  // namespace

namespace report {

bool open_route(Route route, const std::string& path) {
    drop_open();
    dev = Device{};
    dev.route = route;
    dev.path = path;
    if (route == Route::SCREEN || route == Route::FILE) {
        const std::string dir = rt::os::dir_name(path);
        if (!dir.empty() && !rt::os::is_dir(dir)) rt::os::make_dir(dir);
        dev.file = std::fopen(rt::os::resolve(path).c_str(), "wb");
        if (!dev.file) {
            dev.route = Route::NONE;
            return false;
        }
    }
    if (route == Route::NONE) return false;
    dev.open = true;
    return true;
}

bool route_open() { return dev.open; }

std::string take_numbered_file() {
    const std::string base = OSNDIR + "tor" + rt::ALLTRIM(WSIFKOM) + ".";
    for (int n = 0; n <= 999; ++n) {
        const std::string p = base + three_digits(n);
        if (rt::os::create_new_file(p)) return p;
    }
    return {};
}

std::string winprinter_file(const EinvoiceTarget* einvoice) {
    if (einvoice && rt::os::exists(DIR + "eracun.vlt")) {
        rt::os::make_dir(rt::os::native_path("c:\\Temp"));
        const std::string date = rt::STRTRAN(rt::DTOC(einvoice->date), ".");
        return rt::os::native_path("c:\\Temp\\" + rt::ALLTRIM(einvoice->pib) + "_" + date + ".prn");
    }
    if (rt::os::exists(print_folder_file())) return rt::os::native_path(print_folder() + "dosprint.prn");
    return rt::os::native_path("c:\\dosprint.prn");
}

std::string keep_refused_job(std::string_view bytes) {
    const std::string p = take_numbered_file();
    if (p.empty() || !rt::os::write_file(p, bytes)) {
        if (!p.empty()) rt::os::erase(p);
        PORUKA("Stampac nije dostupan, a izvestaj nije moguce sacuvati u fajlu.", 0);
        return {};
    }
    PORUKA("Stampac nije dostupan, izvestaj je sacuvan u fajlu " + rt::os::file_name(p), 0);
    return p;
}

}  // namespace report

std::string print_folder_file() { return OSNDIR + "LocalSet/dp" + CPCID + ".set"; }

std::string print_folder() {
    const std::string text = rt::os::read_file(print_folder_file());
    const size_t last = text.rfind('\\');
    const std::string folder = last == std::string::npos ? std::string() : text.substr(0, last + 1);
    return folder.empty() ? std::string("C:\\") : folder;
}

Route print_route() { return dev.route; }
std::string print_file() { return dev.path; }

bool EKRSTP(const EinvoiceTarget* einvoice) {
    drop_open();
    dev = Device{};
    const char letter = ask_destination();
    NAEKR = letter == 'E';
    bool opened = false;
    switch (letter) {
    case 'E':
        opened = report::open_route(Route::SCREEN, OSNDIR + TEMP_FIL);
        break;
    case 'F': {
        const std::string p = report::take_numbered_file();
        if (p.empty()) {
            PORUKA("Nema slobodnog imena za izvestaj.", 0);
            report::open_route(Route::DISCARD);
            NAEKR = false;
            return false;
        }
        opened = report::open_route(Route::FILE, p);
        break;
    }
    default:
        opened = W_PRINTER ? report::open_route(Route::WINPRINTER, report::winprinter_file(einvoice))
                           : report::open_route(Route::PRINTER);
        break;
    }
    if (!opened) {
        // The print file cannot be created (a folder without write access): nothing is written.
        PORUKA("Fajl za izvestaj nije moguce otvoriti: " + rt::os::file_name(dev.path), 0);
        report::open_route(Route::DISCARD);
        NAEKR = false;
        return false;
    }
    PORUKA(letter == 'F' ? "Stampa u Fajl u toku..." : "Stampa u toku...", 1);
    return NAEKR;
}

void PSAY(int row, int col, std::string_view text) {
    if (!dev.open) return;
    if (row < dev.row) {
        emit(FORM_FEED);
        dev.row = 0;
        dev.col = 0;
    }
    if (row > dev.row) {
        std::string down;
        for (int i = dev.row; i < row; ++i) down += "\r\n";
        emit(down);
        dev.row = row;
        dev.col = 0;
    }
    if (dev.route == Route::SCREEN) {
        lay(col, text);
        dev.col = col + static_cast<int>(text.size());
        return;
    }
    if (col < dev.col) {
        emit("\r");
        dev.col = 0;
    }
    if (col > dev.col) emit(std::string(static_cast<size_t>(col - dev.col), ' '));
    emit(text);
    dev.col = col + static_cast<int>(text.size());
}

void PRAW(std::string_view bytes) {
    if (dev.open && dev.route == Route::SCREEN) dev.line.append(bytes);
    else emit(bytes);
}

int PROW() { return dev.row; }
int PCOL() { return dev.col; }

void SETPRC(int row, int col) {
    dev.row = row;
    dev.col = col;
}

void EJECT() {
    emit(FORM_FEED);
    dev.row = 0;
    dev.col = 0;
}

void print_close() {
    if (!dev.open) return;
    dev.open = false;
    switch (dev.route) {
    case Route::SCREEN:
        flush_line();
        [[fallthrough]];
    case Route::FILE: {
        const bool ok = std::fclose(dev.file) == 0 && !dev.write_failed;
        dev.file = nullptr;
        if (!ok) PORUKA("Izvestaj nije u potpunosti upisan u fajl " + rt::os::file_name(dev.path), 0);
        break;
    }
    case Route::PRINTER:
        if (!rt::os::printer_write(dev.bytes)) dev.path = report::keep_refused_job(dev.bytes);
        break;
    case Route::WINPRINTER: {
        // The print helper picks the file up as soon as it appears: it is written whole.
        const std::string dir = rt::os::dir_name(dev.path);
        if (!dir.empty() && !rt::os::is_dir(dir)) rt::os::make_dir(dir);
        if (!rt::os::write_file(dev.path, dev.bytes)) dev.path = report::keep_refused_job(dev.bytes);
        break;
    }
    default:
        break;
    }
    dev.bytes.clear();
    dev.bytes.shrink_to_fit();
}

}  // namespace tor
