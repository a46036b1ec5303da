// The settings screens of the invoice texts kept in the company folder: the picture letterhead
// ("faktmemo.vlt"), the clause printed at the foot of every invoice ("klauzula.vlt") and the
// default note lines offered on a new invoice ("napomena.vlt").
#include <string>

#include "data/data.h"
#include "frame/vars.h"
#include "outbound/outbound.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/input/memoedit.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/ui.h"

namespace tor {

namespace {

const std::string kUnchanged = "Zaglavlje nije promenjeno.";

// The text between pos and the next one of the stop characters; pos moves past that character.
std::string take(const std::string& text, size_t& pos, const std::string& stops) {
    if (pos >= text.size()) return "";
    const size_t end = text.find_first_of(stops, pos);
    std::string part = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    pos = end == std::string::npos ? text.size() : end + 1;
    return part;
}

// The clause and note editor: the file's text edited in a box and written back.
void edit_text_file(const std::string& file_name, const std::string& line1, const std::string& line2) {
    const std::string file = DIR + file_name;
    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    BOXSHAD(11, 4, 22, 76);
    rt::SAY(12, 6, line1);
    rt::SAY(13, 6, line2);
    rt::SAY(14, 6, "Pritisnite ESC za izlaz bez snimanja ili CTRL+W za snimanje teksta.");
    rt::SAY(15, 5, std::string(71, '\xC4'));
    const bool existed = rt::os::exists(file);
    const std::string old = existed ? rt::os::read_file(file) : std::string();
    const std::string text = rt::MEMOEDIT(old, 16, 6, 21, 74);
    // Leaving without a change does not create a file that was not there.
    if (existed || text != old) rt::os::write_file(file, text);
    rt::SETCOLOR(colour);
    rt::RESTSCREEN(saved);
}

}  // namespace

void RN_ZAGLAVLJE() {
    const std::string file = DIR + "faktmemo.vlt";
    const bool set = PITANJE("Zelite li da postavite sliku kao zaglavlje racuna (D/N)?");
    if (!set) {
        if (rt::LASTKEY() != rt::K::ESC && rt::os::exists(file) &&
            PITANJE("Zelite li da obrisete prethodno formirano zaglavlje (D/N)?")) {
            rt::os::erase(file);
            PORUKA("Obrisana je slika iz zaglavlja racuna. Zaglavlje je u tekstualnoj formi.", 2);
        } else {
            PORUKA(kUnchanged, 2);
        }
        return;
    }

    // The current setting: rows;picture,dpi;suffix;
    double rows = 0;
    std::string path, dpi, suffix;
    if (rt::os::exists(file)) {
        const std::string text = rt::os::read_file(file);
        size_t pos = 0;
        rows = rt::VAL(take(text, pos, ";"));
        path = take(text, pos, ",;");
        dpi = take(text, pos, ";");
        suffix = take(text, pos, ";\r\n");
    }
    path = rt::PADR(path, 35);
    dpi = rt::PADR(rt::ALLTRIM(dpi), 3);
    suffix = rt::PADR(suffix, 10);

    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(NORMAL);
    BOXSHAD(18, 4, 23, 76, "", " PODESITE PARAMETRE ZAGLAVLJA ");
    rt::SAY(19, 6, "Vertikalno pomeri tekst racuna (broj redova):");
    rt::SAY(20, 6, "Lokacija slike zaglavlja racuna:");
    rt::SAY(21, 6, "DPI slike zaglavlja racuna:");
    rt::SAY(22, 6, "Karakteri koji ce se dodati iza broja racuna:");
    rt::GetList gl;
    rt::GET(gl, rt::get(19, 52, rows, "99").name("WREDOVA"));
    rt::GET(gl, rt::get(20, 39, path).name("WSLIKA"));
    rt::GET(gl, rt::get(21, 34, dpi, "@K 999").name("WDPI"));
    rt::GET(gl, rt::get(22, 52, suffix).name("WSUFIKS"));
    rt::READ(gl);
    const bool esc = rt::LASTKEY() == rt::K::ESC;
    rt::SETCOLOR(colour);
    rt::RESTSCREEN(saved);

    if (esc) {
        PORUKA(kUnchanged, 2);
        return;
    }
    const std::string picture = rt::ALLTRIM(path);
    if (picture.empty() || !rt::os::exists(picture)) {
        PORUKA("Slika nije pronadjena! " + kUnchanged, 2);
        return;
    }
    const std::string d = rt::ALLTRIM(dpi).empty() ? std::string("100") : rt::ALLTRIM(dpi);
    rt::os::write_file(file, rt::ALLTRIM(rt::STR(rows)) + ";" + picture + "," + d + ";" + rt::TRIM(suffix) + ";");
    PORUKA("Formirano je novo zaglavlje racuna.", 2);
}

void RN_KLAUZULA() {
    edit_text_file("klauzula.vlt", "Unesite tekst koji ce se stampati na racunu u formi klauzule",
                   "pri dnu svakog racuna.");
}

void RN_NAPOMENA() {
    edit_text_file("napomena.vlt", "Unesite tekst koji ce se pojaviti prilikom unosa", "napomene na racunu.");
}

}  // namespace tor
