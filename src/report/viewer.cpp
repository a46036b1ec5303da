// The viewer of report files: the file's lines in the workstation's work table, a 22-row window
// over 400 columns, a text search, the printout of the whole text and the two sums of the
// expenditure and bank-statement reports.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "data/data.h"
#include "frame/vars.h"
#include "report/device.h"
#include "report/report.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/clock.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"
#include "ui/tools.h"
#include "ui/ui.h"

namespace tor {

std::string FREADLN(std::FILE* f) {
    std::string line;
    int c;
    while ((c = std::getc(f)) != EOF) {
        if (c == '\n') return line;
        if (c == '\r') {
            const int next = std::getc(f);
            if (next != '\n' && next != EOF) std::ungetc(next, f);
            return line;
        }
        line += static_cast<char>(c);
    }
    // The last line of a file without a line end is a line too.
    return line.empty() ? FREADLN_EOF : line;
}

namespace report {

std::string viewer_table() {
    std::string id = CPCID;
    if (id == "remote") {
        const long secs = static_cast<long>(rt::clk::seconds());
        id = rt::STRZERO(static_cast<double>(secs % 100000), 5);
    }
    return OSNDIR + "temp/fd" + rt::LOWER(rt::LEFT(id, 6)) + ".dbf";
}

// Creates the one-field work table (RED C 400) unless a usable one is there.
void make_line_table(const std::string& path) {
    if (rt::os::exists(path)) {
        const auto fields = rt::dbf::table_fields(rt::os::resolve(path));
        if (fields.size() == 1 && fields[0].name == "RED" && fields[0].type == 'C' && fields[0].len == 400)
            return;
    }
    const std::string dir = rt::os::dir_name(path);
    if (!dir.empty() && !rt::os::is_dir(dir)) rt::os::make_dir(dir);
    rt::dbf::FieldDef red;
    red.name = "RED";
    red.type = 'C';
    red.len = 400;
    rt::dbf::create_table(rt::os::resolve(path), {red});
}

void load_lines(rt::dbf::WorkArea& t, std::string_view file) {
    std::FILE* f = std::fopen(rt::os::resolve(file).c_str(), "rb");
    if (!f) return;
    for (std::string line = FREADLN(f); line != FREADLN_EOF; line = FREADLN(f)) {
        t.append_blank();
        t.put("RED", line.size() > 400 ? line.substr(0, 400) : line);
    }
    std::fclose(f);
}

}  // namespace report

namespace {

constexpr int TOP = 2, BOTTOM = 23, ROWS_SHOWN = BOTTOM - TOP + 1, MAX_COL = 400;

class Viewer {
public:
    explicit Viewer(rt::dbf::WorkArea& t) : t_(t) {}

    void frame() {
        const rt::Attr desk = rt::parse_color(DESKTOP).standard;
        rt::FILL(1, 0, 1, rt::COLS - 1, 0xDB, desk);
        rt::FILL(24, 0, 24, rt::COLS - 1, 0xDB, desk);
        rt::SAY_COLOR(1, 33, " VELT Office ", INVERZ);
        rt::SAY_COLOR(24, 62, " <F3/Tekst>-Trazi ", INVERZ);
    }

    // From the current line down to the bottom row; the bottom line becomes the current one.
    void fill() {
        int row = TOP;
        for (; !t_.eof() && row <= BOTTOM; ++row) {
            show(row);
            t_.skip(1);
        }
        if (row <= BOTTOM) rt::CLEAR_RECT(row, 0, BOTTOM, rt::COLS - 1);
        t_.skip(-1);
    }

    void percent() {
        const double count = t_.reccount();
        const double pct = count > 0 ? std::min(100.0, t_.recno() / count * 100.0) : 100.0;
        rt::SAY_COLOR(24, 0, rt::TRANSFORM(pct, "999% "), INVERZ);
    }

    void down() {
        t_.skip(1);
        if (t_.eof()) {
            TON(1);
            t_.skip(-1);
            return;
        }
        rt::SCROLL(TOP, 0, BOTTOM, rt::COLS - 1, 1);
        show(BOTTOM);
    }

    void up() {
        t_.skip(-ROWS_SHOWN);
        if (t_.bof()) {
            forward(ROWS_SHOWN - 1);
            TON(1);
            return;
        }
        rt::SCROLL(TOP, 0, BOTTOM, rt::COLS - 1, -1);
        show(TOP);
        forward(ROWS_SHOWN - 1);
    }

    void home() {
        t_.go_top();
        fill();
    }
    void end() {
        t_.go_bottom();
        t_.skip(-(ROWS_SHOWN - 1));
        fill();
    }
    void page_down() { fill(); }
    void page_up() {
        t_.skip(-2 * ROWS_SHOWN + 2);
        fill();
    }

    void shift(int by) {
        const int h = h_ + by;
        if (h < 1 || h > MAX_COL) {
            TON(1);
            return;
        }
        h_ = h;
        t_.skip(-(ROWS_SHOWN - 1));
        fill();
    }

    // Every line of the text on the printer, from row 0 one line per row.
    void print_all() {
        const uint32_t keep = t_.recno();
        const bool opened = W_PRINTER ? report::open_route(Route::WINPRINTER, report::winprinter_file(nullptr))
                                      : report::open_route(Route::PRINTER);
        if (opened) {
            int row = 0;
            for (uint32_t r = 1; r <= t_.reccount(); ++r) {
                t_.go_to(r);
                PSAY(row++, 0, rt::TRIM(t_.get_str("RED")));
            }
            EJECT();
            print_close();
        }
        t_.go_to(keep);
    }

    void search(int key) {
        if (key != rt::K::F3) rt::KEYBOARD(std::string(1, static_cast<char>(key)));
        rt::SAY_COLOR(24, 10, std::string(40, ' '), DESKTOP);
        const rt::ScreenImage saved = rt::SAVESCREEN();
        const std::string colour = rt::SETCOLOR(SVETLO);
        rt::BOX(5, 35, 7, 65, FRAME_SINGLE);
        rt::SAY(6, 37, "Tekst:");
        const std::string text = rt::ALLTRIM(GETUGET(6, 43, 20));
        if (rt::LASTKEY() == rt::K::ESC || text.empty()) {
            rt::SETCOLOR(colour);
            rt::RESTSCREEN(saved);
            t_.clear_filter();
            home();
            return;
        }
        SKLJUC = text;
        rt::SAY_COLOR(6, 37, "Trazim", SBLINK);
        rt::console_refresh();
        const std::string needle = SKLJUC;
        rt::dbf::WorkArea* t = &t_;
        t_.set_filter([t, needle] { return rt::CONTAINS(needle, rt::UPPER(t->get_str("RED"))); },
                      "'" + needle + "' $ upper(red)");
        rt::SETCOLOR(colour);
        rt::RESTSCREEN(saved);
        home();
    }

    void show(int row) {
        const std::string line = t_.get_str("RED");
        rt::SAY(row, 0, rt::PADR(rt::SUBSTR(line, h_, rt::COLS), rt::COLS));
    }

private:
    void forward(int n) {
        t_.skip(n);
        if (t_.eof()) t_.go_bottom();   // a text shorter than the window
    }

    rt::dbf::WorkArea& t_;
    int h_ = 1;
};

// The expenditures whose description holds the search text (or whose kind and structure are it).
void sum_expenditures() {
    rt::SAY(24, 10, "Sacekaj sabiram...");
    rt::console_refresh();
    rt::dbf::WorkArea& r = rt::dbf::area("rashod");
    const uint32_t keep = r.recno();
    double sum = 0;
    for (uint32_t n = 1; n <= r.reccount(); ++n) {
        r.go_to(n);
        if (r.deleted() && rt::dbf::deleted_hidden()) continue;
        if (rt::CONTAINS(SKLJUC, rt::UPPER(r.get_str("OPIS"))) ||
            rt::LEFT(r.get_str("VRSTA") + "    " + r.get_str("STRUKTURA"), static_cast<int>(SKLJUC.size())) == SKLJUC)
            sum += r.get_num("IZNOS");
    }
    r.go_to(keep);
    rt::SAY(24, 10, "Zbir Rashoda=" + rt::TRANSFORM(sum, BROJ));
}

// Payments in and out of the period whose description holds the search text.
void sum_payments() {
    rt::SAY(24, 10, "Sacekaj dok saberem Uplate i Isplate..");
    rt::console_refresh();
    rt::dbf::WorkArea& z = rt::dbf::area("ziror");
    const uint32_t keep = z.recno();
    double in = 0, out = 0;
    const std::string bank = rt::ALLTRIM(WBANKA);
    for (uint32_t n = 1; n <= z.reccount(); ++n) {
        z.go_to(n);
        if (z.deleted() && rt::dbf::deleted_hidden()) continue;
        if (!rt::CONTAINS(SKLJUC, rt::UPPER(z.get_str("OPIS")))) continue;
        const rt::Date d = z.get_date("DATIZV");
        if (d < WDATOD || WDATDO < d) continue;
        if (bank != "000" && rt::ALLTRIM(z.get_str("BANKA")) != bank) continue;
        in += z.get_num("UPLATA");
        out += z.get_num("ISPLATA");
    }
    z.go_to(keep);
    rt::SAY(24, 10, "Uplate=" + rt::TRANSFORM(in, BROJ) + " / Isplate=" + rt::TRANSFORM(out, BROJ));
}

}  // namespace

bool FDISP(std::string_view file, int, int, int, int, int) {
    const int caller_area = rt::dbf::current_number();
    const std::string colour = rt::SETCOLOR();
    const std::string table = report::viewer_table();
    report::make_line_table(table);
    rt::dbf::select_free();
    rt::dbf::WorkArea& t = rt::dbf::current();
    if (!t.open(rt::os::resolve(table), "fdisp", true)) {
        // Only this workstation uses the table: another viewer of it is still open.
        rt::dbf::select(caller_area);
        PORUKA("Pregled izvestaja je vec otvoren na ovoj radnoj stanici.", 0);
        return true;
    }
    t.zap();
    report::load_lines(t, file);
    t.go_top();

    Viewer v(t);
    v.frame();
    v.fill();
    for (;;) {
        v.percent();
        const int k = rt::INKEY(0);
        switch (k) {
        case rt::K::DOWN: v.down(); break;
        case rt::K::UP: v.up(); break;
        case rt::K::HOME: v.home(); break;
        case rt::K::END: v.end(); break;
        case rt::K::PGDN: v.page_down(); break;
        case rt::K::PGUP: v.page_up(); break;
        case rt::K::RIGHT: v.shift(20); break;
        case rt::K::LEFT: v.shift(-20); break;
        case rt::K::F2: v.print_all(); break;
        case 390:
            if (rt::dbf::alias_used("rashod")) sum_expenditures();
            else TON(1);
            break;
        case rt::K::TAB:
            if (rt::dbf::alias_used("ziror")) sum_payments();
            else TON(1);
            break;
        case rt::K::PLUS: KALL(); break;
        case rt::K::CTRL_INS: VO_SAVE_SCREEN(); break;
        case rt::K::CTRL_HOME: VO_REST_SCREEN(); break;
        case rt::K::ESC: {
            rt::SETCOLOR(colour);
            t.clear_filter();
            t.zap();
            t.close();
            rt::os::erase(table);
            rt::dbf::select(caller_area);
            return true;
        }
        default:
            if (k == rt::K::F3 || (k >= 48 && k <= 122)) v.search(k);
            else TON(1);
            break;
        }
    }
}

}  // namespace tor
