// The invoice screen: the number prompt of the four kinds of sales document, the header of a new
// document, the action menu of a stored one, its deletion, the menu at the end of item entry with
// the note lines and the VAT exemption option, and the final invoice made from an advance invoice.
//
// Pro-forma and advance invoices keep their own tables but are always opened under the aliases
// "ufakt" and "fakt", so the item rows and the print work on whichever pair is open.
#include <cstdint>
#include <string>
#include <vector>

#include "calc/pricing.h"
#include "calc/rates.h"
#include "cards/cards.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "outbound/outbound.h"
#include "registers/registers.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/input/menu.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"
#include "ui/lookup.h"
#include "ui/ui.h"

namespace tor {

namespace {

const char* const BUSY = "Racuni su zauzeti na drugoj radnoj stanici !";
const std::string PIC_AMOUNT = "9" + BROJ;

rt::dbf::WorkArea& header() { return rt::dbf::area("ufakt"); }
rt::dbf::WorkArea& items() { return rt::dbf::area("fakt"); }

bool is_stock_kind(InvoiceKind k) { return k == InvoiceKind::INVOICE || k == InvoiceKind::FINAL; }

// Opens one table with its indexes in a fresh work area under the alias.
bool open_in_new_area(const std::string& table, const std::string& alias) {
    rt::dbf::select_free();
    return open_table(table, alias);
}

// Buyer name and place as the header line shows them.
std::string buyer_line(const std::string& naziv, const std::string& mesto) {
    return rt::LEFT(rt::TRIM(naziv) + ", " + rt::TRIM(mesto), 42);
}

// The last number of the header table in number order (0 for an empty table) and its date.
double last_number(rt::Date* date = nullptr) {
    rt::dbf::WorkArea& h = header();
    h.go_bottom();
    if (h.eof()) return 0;
    if (date) *date = h.get_date("DATFAK");
    return rt::VAL(h.get_str("BRFAK"));
}

// The current header record into the screen's memvars.
void load_header(InvoiceScreen& s) {
    const rt::dbf::WorkArea& h = header();
    s.h.WBRFAK = h.get_str("BRFAK");
    s.WDATFAK = h.get_date("DATFAK");
    s.h.WDATPRO = h.get_date("DATPRO");
    s.h.WDATVAL = h.get_date("DATVAL");
    s.h.WVALUTA = static_cast<double>(s.h.WDATVAL - s.h.WDATPRO);
    s.WKUPAC = rt::VAL(h.get_str("KUPAC"));
    s.WNAZKUP = h.get_str("NAZKUP");
    s.WNAZKUP2 = h.get_str("NAZKUP2");
    s.WMESKUP = h.get_str("MESKUP");
    s.WPTTKUP = h.get_str("PTTKUP");
    s.WPAKKUP = h.get_str("PAKKUP");
    s.WULKUP = h.get_str("ULKUP");
    s.WULKUP2 = h.get_str("ULKUP2");
    s.WPIBKUP = h.get_str("PIBKUP");
    s.WAVANS = h.get_num("AVANS");
    s.WAVANS000 = h.get_num("AVANS000");
    s.WAVANSPS = h.get_num("AVANS008");
    s.WAVANSOS = h.get_num("AVANS018");
    s.WZAPLA = h.get_num("ZAPLA");
    s.h.KONZAPL = -(s.WAVANS000 + s.WAVANSPS + s.WAVANSOS);
}

// The buyer of the partner record under the pointer of "mddob" into the memvars.
void take_buyer(InvoiceScreen& s) {
    const rt::dbf::WorkArea& p = rt::dbf::area("mddob");
    s.WNAZKUP = p.get_str("NAZIV");
    s.WNAZKUP2 = p.get_str("NAZIV2");
    s.WMESKUP = p.get_str("MESTO");
    s.WPTTKUP = p.get_str("PTT");
    s.WPAKKUP = p.get_str("PAK");
    s.WULKUP = p.get_str("ULICA");
    s.WULKUP2 = p.get_str("ULICA2");
    s.WPIBKUP = p.get_str("PIB");
    rt::SAY(5, 27, rt::PADR(buyer_line(s.WNAZKUP, s.WMESKUP), 42));
}

// The header fields of a new document written into the current (locked) record of "ufakt".
void write_header(const InvoiceScreen& s) {
    rt::dbf::WorkArea& h = header();
    h.put("BRFAK", s.h.WBRFAK);
    h.put("DATFAK", s.WDATFAK);
    h.put("KUPAC", rt::STRZERO(s.WKUPAC, 4));
    h.put("NAZKUP", s.WNAZKUP);
    h.put("NAZKUP2", s.WNAZKUP2);
    h.put("MESKUP", s.WMESKUP);
    h.put("PTTKUP", s.WPTTKUP);
    h.put("PAKKUP", s.WPAKKUP);
    h.put("ULKUP", s.WULKUP);
    h.put("ULKUP2", s.WULKUP2);
    h.put("PIBKUP", s.WPIBKUP);
    h.put("DATPRO", s.h.WDATPRO);
    h.put("DATVAL", s.h.WDATVAL);
    h.put("AVANS", s.WAVANS);
    // An advance invoice keeps its mark of the final invoice made from it when its header is changed.
    if (invoice_kind() != InvoiceKind::ADVANCE) h.put("KONACNI", K_RAC);
    h.put("AVANS000", s.WAVANS000);
    h.put("AVANS008", s.WAVANSPS);
    h.put("AVANS018", s.WAVANSOS);
    h.commit();
}

void draw_labels(InvoiceKind k) {
    rt::SETCOLOR(NORMAL);
    rt::RESTSCREEN(OSEK);
    if (KOM_FLEKA.valid()) rt::RESTSCREEN(1, 5, KOM_FLEKA);
    rt::CLEAR_RECT(2, 0, 8, 79);
    const bool pred = k == InvoiceKind::PROFORMA, avans = k == InvoiceKind::ADVANCE;
    rt::SAY(3, 7, pred ? "Broj PredR." : avans ? "Broj A.Rac." : "Broj Racuna");
    rt::SAY(3, 26, pred ? "Datum PredR." : avans ? "Datum A.Rac." : "Datum Racuna");
    rt::SAY(3, 50, "Datum Prometa");
    rt::SAY(5, 7, "Sifra Kupca");
    rt::SAY(7, 7, "Valuta     dana");
    rt::SAY(7, 25, "Avans");
    rt::SAY(7, 50, "Za placanje");
}

// The stored header on the screen.
void show_header(const InvoiceScreen& s) {
    const rt::dbf::WorkArea& h = header();
    rt::SAY(3, 39, rt::DTOC(s.WDATFAK));
    rt::SAY(3, 64, rt::DTOC(s.h.WDATPRO));
    rt::SAY(5, 19, h.get_str("KUPAC"));
    rt::SAY(5, 27, buyer_line(s.WNAZKUP, s.WMESKUP));
    rt::SAY(7, 14, rt::TRANSFORM(s.h.WVALUTA, "999"));
    rt::SAY(7, 31, rt::TRANSFORM(-s.h.KONZAPL, PIC_AMOUNT));
    rt::SAY(7, 62, rt::TRANSFORM(s.WZAPLA, PIC_AMOUNT));
}

// The header record of a new document claimed under its number: sought and appended under the
// append lock, so two workstations never store the same number. When another workstation has
// stored the number meanwhile, the user may take the next free one (checked the same way).
// CLAIMED: "ufakt" is on the new record, locked, with BRFAK written; DECLINED: the user wanted no
// other number; FAILED: the table could not be locked (told), nothing written.
enum class Claim { CLAIMED, DECLINED, FAILED };
Claim claim_number(InvoiceScreen& s) {
    rt::dbf::select("ufakt");
    rt::dbf::WorkArea& h = header();
    for (;;) {
        const std::string number = s.h.WBRFAK;
        const KeyedAdd added = ADD_REC_KEY(number, [&h, &number] { h.put("BRFAK", number); });
        if (added == KeyedAdd::ADDED) return Claim::CLAIMED;
        if (added == KeyedAdd::FAILED) {
            PORUKA(NOT_SAVED, 2);
            return Claim::FAILED;
        }
        PORUKA("Broj Racuna " + s.h.WBRFAK + " je vec zauzeo drugi operater!", 2);
        if (!PITANJE("Zelite li prvi sledeci slobodan broj (D/N)?")) return Claim::DECLINED;
        s.h.WBRFAK = rt::STRZERO(last_number() + 1, 6);
        rt::SAY(3, 19, s.h.WBRFAK);
    }
}

// The buyer code field with the partner register behind it; false on Esc.
bool buyer_field(InvoiceScreen& s) {
    rt::dbf::WorkArea& p = rt::dbf::area("mddob");
    const rt::dbf::WorkArea* pa = &p;
    p.set_filter([pa] { return rt::VAL(pa->get_str("SIFRA")) < 9000; }, "val(sifra)<9000");
    if (!partner_code_field(5, 19, s.WKUPAC)) return false;
    take_buyer(s);
    return true;
}

// Date, date of supply, buyer and days of credit of the header; false when left with Esc.
bool header_inputs(InvoiceScreen& s, InvoiceKind k) {
    {
        rt::GetList gl;
        rt::GET(gl, rt::get(3, 39, s.WDATFAK).valid([&s] { return LASTPDVDATE(s.WDATFAK); }).name("WDATFAK"));
        if (k != InvoiceKind::PROFORMA) rt::GET(gl, rt::get(3, 64, s.h.WDATPRO).name("WDATPRO"));
        rt::READ(gl);
        if (rt::LASTKEY() == rt::K::ESC) return false;
    }
    if (!buyer_field(s)) return false;
    {
        rt::GetList gl;
        rt::GET(gl, rt::get(7, 14, s.h.WVALUTA, "999").valid([&s] { return RAC_DATV(s.h); }).name("WVALUTA"));
        rt::READ(gl);
        if (rt::LASTKEY() == rt::K::ESC) return false;
    }
    return true;
}

// ---- the final invoice made from an advance invoice ----

// The lowest-numbered advance invoice no final invoice has been made from (open under "ufakt").
double first_unused_advance() {
    rt::dbf::WorkArea& h = header();
    for (h.go_top(); !h.eof(); h.skip())
        if (!h.get_bool("KONACNI")) return rt::VAL(h.get_str("BRFAK"));
    return 0;
}

// Asks for the advance invoice; 0 when left with Esc or 0.
double ask_advance() {
    rt::dbf::close_all();
    if (!open_invoice_tables(InvoiceKind::ADVANCE)) {
        PORUKA(BUSY, 2);
        return 0;
    }
    rt::dbf::select("ufakt");
    double WBRFAK = first_unused_advance();
    rt::SETCOLOR(NORMAL);
    BOXSHAD(10, 17, 12, 64, "double");
    rt::SAY(11, 19, "Konacni Racun po Avansnom Racunu broj");
    rt::GetList gl;
    rt::GET(gl, rt::get(11, 57, WBRFAK, "999999").valid([] { return PREGLED("FAK"); }).name("WBRFAK"));
    rt::READ(gl);
    rt::dbf::close_all();
    if (rt::LASTKEY() == rt::K::ESC) return 0;
    return WBRFAK;
}

// Where an advance item's gross value goes: 0 Avans000, 1 Avans008, 2 Avans018, -1 none.
int advance_bucket(const std::string& targr, double stored_share) {
    if (!WPDVKOM || targr == "000" || stored_share == 0) return 0;
    if (targr == "008" || targr == "010") return 1;
    if (targr == "018" || targr == "020") return 2;
    return -1;
}

// Makes the final invoice knew from the advance invoice adv: the advance items copied, their gross
// values summed by rate into the advances paid, the header written and the advance marked used.
void ARAC_KRAC(const std::string& knew, const std::string& adv) {
    if (!open_in_new_area("ufakt", "ufakt") || !open_in_new_area("fakt", "fakt") ||
        !open_in_new_area("uafakt", "uafakt") || !open_in_new_area("afakt", "afakt") ||
        !open_in_new_area("mdart", "mdart")) {
        rt::dbf::close_all();
        PORUKA(BUSY, 2);
        return;
    }
    rt::dbf::WorkArea& ah = rt::dbf::area("uafakt");
    rt::dbf::WorkArea& ai = rt::dbf::area("afakt");
    if (!ah.seek(adv)) {
        PORUKA("Ne postoji Avansni racun broj " + adv + " !", 2);
        return;
    }
    if (ah.get_bool("KONACNI") && !rt::EMPTY(ah.get_str("AVANSNI"))) {
        PORUKA("Po Avansnom Racunu " + adv + " je vec uradjen Konacni Racun " + ah.get_str("AVANSNI") + " !", 2);
        if (!PITANJE("Nastavljate knjizenje Konacnog Racuna " + knew + " (D/N)?")) {
            PORUKA("Konacni Racun " + knew + " nije proknjizen!", 2);
            return;
        }
    }
    if (!ai.seek(adv)) {
        PORUKA("Avansni racun broj " + adv + " nema stavke !", 2);
        return;
    }

    // The number may have been taken by another workstation since it was typed; the header record
    // is claimed before the items go under it and filled in once their advances are summed.
    InvoiceScreen s;
    s.h.WBRFAK = knew;
    if (claim_number(s) != Claim::CLAIMED) return;
    rt::dbf::WorkArea& h = header();
    const uint32_t header_rec = h.recno();

    double sums[3] = {0, 0, 0};
    rt::dbf::WorkArea& fi = items();
    for (; !ai.eof() && ai.get_str("BRFAK") == adv; ai.skip()) {
        const std::string targr = ai.get_str("TARGR");
        const double kol = ai.get_num("KOLICINA"), cena = ai.get_num("PRODCEN");
        const int b = advance_bucket(targr, ai.get_num("PSPOR"));
        rt::dbf::select("fakt");
        if (!ADD_REC()) continue;
        if (b >= 0) sums[b] += kol * cena;
        fi.put("BRFAK", s.h.WBRFAK);
        fi.put("SIFART", ai.get_str("SIFART"));
        fi.put("NAZART", ai.get_str("NAZART"));
        fi.put("JMERE", ai.get_str("JMERE"));
        fi.put("KOLICINA", kol);
        fi.put("PRODCEN", cena);
        fi.put("RABAT", ai.get_num("RABAT"));
        fi.put("TARGR", targr);
        fi.put("PSPOR", WPDVKOM ? pspor(targr).value_or(0.0) : 0.0);
        fi.commit();
        fi.unlock();
        // The final invoice delivers the goods: they leave the stock as with every invoice (its list
        // gives them back when an item is changed or deleted).
        rt::dbf::select("mdart");
        rt::dbf::WorkArea& g = rt::dbf::current();
        if (g.seek(ai.get_str("SIFART")) && REC_LOCK()) {
            g.put("POPKOL", g.get_num("POPKOL") - kol);
            g.commit();
            g.unlock();
        }
    }

    rt::dbf::select("ufakt");
    h.go_to(header_rec);
    h.put("DATFAK", DDAN);
    h.put("DATPRO", DDAN);
    h.put("DATVAL", DDAN);
    for (const char* f : {"KUPAC", "NAZKUP", "NAZKUP2", "PTTKUP", "PAKKUP", "MESKUP", "ULKUP", "ULKUP2", "PIBKUP",
                          "NAPOMENA1", "NAPOMENA2", "NAPOMENA3", "NAPOMENA4"})
        h.put(f, ah.get_str(f));
    h.put("ZAPLA", 0.0);
    h.put("KONACNI", true);
    h.put("AVANSNI", adv);
    h.put("AVANS", 0.0);
    h.put("AVANS000", sums[0]);
    h.put("AVANS008", sums[1]);
    h.put("AVANS018", sums[2]);
    h.commit();
    h.unlock();
    rt::dbf::select("uafakt");
    if (REC_LOCK()) {
        ah.put("KONACNI", true);
        ah.put("AVANSNI", s.h.WBRFAK);
        ah.commit();
        ah.unlock();
    }
    PORUKA("Konacni Racun " + s.h.WBRFAK + " je proknjizen po Avansnom Racunu " + adv + " !", 2);
}

// ---- deletion ----

// Deletes every record of the work area whose key (sought in its controlling index) equals key;
// the table is locked by the caller.
void delete_by_key(rt::dbf::WorkArea& a, const std::string& key, const std::string& field) {
    while (a.seek(key) && a.get_str(field) == key) a.delete_record();
    a.commit();
}

// The header, the items and (activities "002", "009") the trade-book row go together: every table is
// locked first, and nothing is deleted unless every lock was obtained.
void delete_document(InvoiceKind k, const std::string& brfak) {
    if (!PITANJE("Sigurno Brisete (D/N) ?")) return;
    PORUKA("Brisanje u toku....", 1);
    std::vector<std::string> tables{"ufakt", "fakt"};
    if (invoices_post_to_kep() && is_stock_kind(k)) {
        if (!open_in_new_area("tknjiga", "tknjiga")) {
            rt::dbf::current().close();
            PORUKA(NOT_SAVED, 2);
            return;
        }
        rt::dbf::current().set_order(2);  // "tknjiga1": by document code
        tables.push_back("tknjiga");
    }
    std::vector<std::string> held;
    for (const std::string& t : tables) {
        rt::dbf::select(t);
        if (!FIL_LOCK()) break;
        held.push_back(t);
    }
    if (held.size() == tables.size()) {
        delete_by_key(rt::dbf::area("ufakt"), brfak, "BRFAK");
        delete_by_key(rt::dbf::area("fakt"), brfak, "BRFAK");
        if (tables.size() == 3) delete_by_key(rt::dbf::area("tknjiga"), invoice_posting_key(brfak), "VRDOK");
    } else {
        PORUKA(NOT_SAVED, 2);
    }
    for (const std::string& t : held) rt::dbf::area(t).unlock();
}

// ---- the end-of-entry options ----

// The kind's tables opened and "ufakt" on the document's header; nullptr when the tables are held
// elsewhere (told) or the header is gone.
rt::dbf::WorkArea* document_header(InvoiceKind k, const std::string& brfak) {
    if (!open_invoice_tables(k)) {
        PORUKA(BUSY, 2);
        return nullptr;
    }
    rt::dbf::select("ufakt");
    rt::dbf::WorkArea& h = header();
    return h.seek(brfak) ? &h : nullptr;
}

// The four note lines into the header under a record lock.
void put_notes(rt::dbf::WorkArea& h, const std::vector<std::string>& lines) {
    if (!REC_LOCK()) return;
    for (int i = 0; i < 4; ++i) h.put("NAPOMENA" + std::to_string(i + 1), lines[i]);
    h.commit();
    h.unlock();
}

// The note lines of the document: the company's default text first, while the four are empty.
void notes(InvoiceKind k, const std::string& brfak) {
    rt::dbf::WorkArea* found = document_header(k, brfak);
    if (!found) return;
    rt::dbf::WorkArea& h = *found;
    std::vector<std::string> lines(4);
    bool all_empty = true;
    for (int i = 0; i < 4; ++i) {
        lines[i] = h.get_str("NAPOMENA" + std::to_string(i + 1));
        if (!rt::EMPTY(lines[i])) all_empty = false;
    }
    const std::string file = DIR + "napomena.vlt";
    if (all_empty && rt::os::exists(file)) {
        const std::string text = rt::os::read_file(rt::os::resolve(file));
        size_t pos = 0;
        for (int i = 0; i < 4; ++i) {
            std::string line;
            if (pos < text.size()) {
                const size_t end = text.find("\r\n", pos);
                line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
                pos = end == std::string::npos ? text.size() : end + 2;
            }
            lines[i] = rt::PADR(line, 60);
        }
        put_notes(h, lines);
    }
    rt::SETCOLOR(NORMAL);
    BOXSHAD(15, 9, 20, 70, "", "NAPOMENA:");
    rt::GetList gl;
    for (int i = 0; i < 4; ++i)
        rt::GET(gl, rt::get(16 + i, 10, lines[i], "@K").name("WNAPOMENA" + std::to_string(i + 1)));
    rt::READ(gl);
    put_notes(h, lines);
}

// The VAT exemption option of the document, chosen by one key in the help box.
void exemption(InvoiceKind k, const std::string& brfak) {
    if (k == InvoiceKind::PROFORMA || k == InvoiceKind::ADVANCE) {
        PORUKA("Opcija poreskog oslobodjenja nije dostupna za ovu vrstu dokumenta !", 2);
        return;
    }
    rt::dbf::WorkArea* found = document_header(k, brfak);
    if (!found) return;
    rt::dbf::WorkArea& h = *found;
    const std::string saved = HELPKEY;
    HELPKEY = "PORESKO OLOBODJENJE; Trenutno je odabrana opcija: " + rt::STR(h.get_num("POROSL"), 1) +
              "; Opcije su:; 0 - bez poreskog oslobodjenja; 1 - sa pravom na odbitak prethodnog PDV-a; "
              "2 - bez prava na odbitak prethodnog PDV-a; 3 - poresko oslobodjenje iz oblasti gradjevinarstva; "
              "Odaberite 0,1,2 ili 3...;";
    HELPBOX();
    HELPKEY = saved;
    const int key = rt::LASTKEY();
    if (key < '0' || key > '3') {
        PORUKA("Pogresno odabrana opcija poreskog oslobodjenja !", 2);
        return;
    }
    if (REC_LOCK()) {
        h.put("POROSL", static_cast<double>(key - '0'));
        h.commit();
        h.unlock();
    }
    PORUKA("Odabrana je opcija poreskog oslobodjenja: " + std::string(1, static_cast<char>(key)) + " !", 2);
    if (key == '3' && WSIFDEL != "009") PORUKA("Ova opcija je predvidjena za firme sa oznakom 9 (SZR/SR)!", 2);
}

enum class Next { LEAVE, RESTART };

// The menu after item entry.
Next end_of_entry(InvoiceKind k, const std::string& brfak) {
    rt::dbf::close_all();
    const int choice = ACTION_ROW(10, 12, 67, {{14, " KRAJ "}, {20, " STAMPA "}, {28, " IZMENA "},
                                               {36, " NASTAVAK "}, {46, " NAPOMENA "}, {56, " POR.OSL. "}});
    switch (choice) {
    case 2:
        STPRAC(brfak);
        rt::dbf::close_all();
        return Next::RESTART;
    case 3:
    case 4:
        rt::KEYBOARD(brfak + "\r" + (choice == 3 ? "I" : "N"));
        return Next::RESTART;
    case 5: notes(k, brfak); break;
    case 6: exemption(k, brfak); break;
    default: break;
    }
    rt::dbf::close_all();
    return Next::LEAVE;
}

// ---- the document paths ----

Next existing_document(InvoiceScreen& s, InvoiceKind k) {
    rt::dbf::WorkArea& h = header();
    load_header(s);
    show_header(s);
    const bool konacni = h.get_bool("KONACNI");
    if (k == InvoiceKind::FINAL && !konacni) {
        PORUKA("Racun " + s.h.WBRFAK + " NIJE Konacni Racun!", 2);
        return Next::LEAVE;
    }
    if (k == InvoiceKind::INVOICE && konacni) {
        PORUKA("Racun " + s.h.WBRFAK + " je Konacni Racun!", 2);
        return Next::LEAVE;
    }
    if (k == InvoiceKind::ADVANCE && konacni && !rt::EMPTY(h.get_str("AVANSNI")))
        PORUKA("Po Avansnom Racunu " + s.h.WBRFAK + " je vec uradjen Konacni Racun " + h.get_str("AVANSNI") + " !", 2);

    const int IZK = ACTION_ROW(10, 18, 63, {{20, " KRAJ "}, {26, " NASTAVAK "}, {36, " IZMENA "},
                                            {44, " STAMPA "}, {52, " BRISANJE "}});
    switch (IZK) {
    case 2:
        rt::SAY(8, 14, rt::DTOC(s.h.WDATVAL));
        s.h.NASTAVAK = true;
        invoice_items(s);
        return end_of_entry(k, s.h.WBRFAK);
    case 3:
        s.h.GD_IZMENA = false;
        IRACUN(s);
        break;
    case 4:
        rt::dbf::close_all();
        STPRAC(s.h.WBRFAK);
        break;
    case 5: delete_document(k, s.h.WBRFAK); break;
    default: break;
    }
    return Next::LEAVE;
}

Next new_document(InvoiceScreen& s, InvoiceKind k) {
    s.h.NASTAVAK = false;
    s.h.WDATPRO = DDAN;
    s.h.WDATVAL = DDAN;
    s.h.WVALUTA = 0;
    s.WAVANS = s.WAVANS000 = s.WAVANSPS = s.WAVANSOS = 0;
    s.WZAPLA = 0;
    s.h.KONZAPL = 0;
    if (!header_inputs(s, k)) return Next::LEAVE;
    // Items go only under a stored header.
    if (claim_number(s) != Claim::CLAIMED) return Next::RESTART;
    write_header(s);
    header().unlock();
    invoice_items(s);
    return end_of_entry(k, s.h.WBRFAK);
}

Next new_final(InvoiceScreen& s) {
    s.WKBRFAK = s.h.WBRFAK;
    const double adv = ask_advance();
    if (adv != 0) ARAC_KRAC(s.WKBRFAK, rt::STRZERO(adv, 6));
    rt::dbf::close_all();
    return Next::LEAVE;
}

}  // namespace

InvoiceKind invoice_kind() {
    if (PRED_RAC) return InvoiceKind::PROFORMA;
    if (A_RAC) return InvoiceKind::ADVANCE;
    if (K_RAC) return InvoiceKind::FINAL;
    return InvoiceKind::INVOICE;
}

std::string invoice_header_table(InvoiceKind k) {
    switch (k) {
    case InvoiceKind::PROFORMA: return "upfakt";
    case InvoiceKind::ADVANCE: return "uafakt";
    default: return "ufakt";
    }
}

std::string invoice_item_table(InvoiceKind k) {
    switch (k) {
    case InvoiceKind::PROFORMA: return "pfakt";
    case InvoiceKind::ADVANCE: return "afakt";
    default: return "fakt";
    }
}

bool open_invoice_tables(InvoiceKind k) {
    const int before = rt::dbf::current_number();
    std::vector<int> opened;
    const std::pair<std::string, std::string> tables[] = {
        {invoice_header_table(k), "ufakt"}, {invoice_item_table(k), "fakt"}, {"mdart", "mdart"}, {"mddob", "mddob"}};
    for (const auto& [table, alias] : tables) {
        const int n = rt::dbf::select_free();
        if (!open_table(table, alias)) {
            for (int o : opened) rt::dbf::area(o).close();
            rt::dbf::select(before);
            return false;
        }
        opened.push_back(n);
    }
    rt::dbf::select("ufakt");
    return true;
}

void RACUN() {
    const InvoiceKind k = invoice_kind();
    if (S_ZALIHA && S_RACZAL) recount_stock_on_entry();
    for (;;) {
        rt::dbf::close_all();
        if (!open_invoice_tables(k)) {
            PORUKA(BUSY, 2);
            return;
        }
        draw_labels(k);
        InvoiceScreen s;
        s.WDATFAK = DDAN;
        double WBRFAK = last_number(&s.WDATFAK) + 1;
        rt::GetList gl;
        rt::GET(gl, rt::get(3, 19, WBRFAK, "999999").valid([] { return PREGLED("FAK"); }).name("WBRFAK"));
        rt::READ(gl);
        if (rt::LASTKEY() == rt::K::ESC || WBRFAK == 0) break;
        s.h.WBRFAK = rt::STRZERO(WBRFAK, 6);
        rt::SAY(3, 19, s.h.WBRFAK);
        rt::dbf::select("ufakt");
        Next next;
        if (header().seek(s.h.WBRFAK)) next = existing_document(s, k);
        else if (k == InvoiceKind::FINAL) next = new_final(s);
        else next = new_document(s, k);
        if (next == Next::LEAVE) break;
    }
    rt::dbf::close_all();
}

bool invoice_header_edit(InvoiceScreen& s) {
    const InvoiceKind k = invoice_kind();
    rt::dbf::select("ufakt");
    rt::dbf::WorkArea& h = header();
    if (!h.seek(s.h.WBRFAK)) return false;
    load_header(s);
    show_header(s);
    if (!header_inputs(s, k)) return false;

    if (k == InvoiceKind::FINAL) {
        const rt::ScreenImage under = rt::SAVESCREEN(7, 24, 12, 50);
        rt::SETCOLOR(NORMAL);
        BOXSHAD(7, 24, 11, 48, "", " AVANS: ");
        rt::SAY(8, 25, "Uplaceno  0%");
        rt::GetList gl;
        rt::GET(gl, rt::get(8, 38, s.WAVANS000, BROJ).name("WAVANS000"));
        if (WPDVKOM) {
            rt::SAY(9, 25, "Uplaceno  PS");
            rt::SAY(10, 25, "Uplaceno  OS");
            rt::GET(gl, rt::get(9, 38, s.WAVANSPS, BROJ).name("WAVANSPS"));
            rt::GET(gl, rt::get(10, 38, s.WAVANSOS, BROJ).name("WAVANSOS"));
        } else {
            s.WAVANSPS = s.WAVANSOS = 0;
            rt::SAY(9, 25, "Osnovica  PS " + rt::TRANSFORM(s.WAVANSPS, BROJ));
            rt::SAY(10, 25, "Osnovica  OS " + rt::TRANSFORM(s.WAVANSOS, BROJ));
        }
        rt::READ(gl);
        rt::RESTSCREEN(under);
        if (rt::LASTKEY() == rt::K::ESC) return false;
        const double total = s.WAVANS000 + s.WAVANSPS + s.WAVANSOS;
        rt::SAY(7, 31, rt::TRANSFORM(total, PIC_AMOUNT));
        s.h.KONZAPL = -total;
    }

    rt::dbf::select("ufakt");
    if (!h.seek(s.h.WBRFAK)) return true;
    if (REC_LOCK()) {
        write_header(s);
        h.unlock();
    }
    return true;
}

}  // namespace tor
