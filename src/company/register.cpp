// The company register's record as the rest of the program sees it: the company variables, the
// summary register "mdk", the activity names, the business-unit check and the detail panel text.
#include <string>

#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "ui/ui.h"

namespace tor {

namespace {

std::string fld(const char* name) { return rt::dbf::current().get_str(name); }

// Street, house number, floor and flat as one line. With trim_numbers the house and flat numbers
// lose their blanks before their letters are appended ("12" + "a" = "12a"); without it they are
// taken as stored ("12 " + "a" = "12 a").
std::string address(const std::string& street, const std::string& nr, const std::string& nr_letter,
                    const std::string& floor, const std::string& flat, const std::string& flat_letter,
                    bool trim_numbers) {
    const std::string house = trim_numbers ? rt::ALLTRIM(nr) + nr_letter : nr + nr_letter;
    const std::string apt = trim_numbers ? rt::ALLTRIM(flat) + flat_letter : flat + flat_letter;
    return rt::ALLTRIM(street) + MDKPOD(" ", house) + MDKPOD(" Sprat:", floor) + MDKPOD(" Stan:", apt);
}

void set_vars(bool trim_numbers) {
    WSIFKOM = fld("SIFRA_PRO");
    WSIFDEL = fld("PRGTIPDEL");
    WNAZKOM = fld("FRNAZIVSKR");
    WVLASNIK = rt::ALLTRIM(fld("VRIME")) + " " + rt::ALLTRIM(fld("VRPREZIME"));
    WULICAKOM = address(fld("FRULICA"), fld("FRULKBR"), fld("FRULKBRS"), fld("FRULSPR"), fld("FRULSTBR"),
                        fld("FRULSTS"), trim_numbers);
    WPTT.clear();
    WMESKOM = fld("FRMESTO");
    WMESKOMPJ = fld("FRMESTOPJ");
    WOPSTKOM = fld("FROPSTINA");
    WTELKOM = rt::ALLTRIM(fld("FRTELPBR") + " " + fld("FRTELBR"));
    WZIROKOM = fld("FRBANKA1R");
    WREGBR = fld("FRREGBR");
    WPIBKOM = fld("FRPIB");
    WBRPORRAC = fld("FRPORRAC") + MDKPOD("-", fld("FRPORRACKB"));
    WJMBG = fld("VRJMBG");
    WMATBR = fld("FRMATBR");
    WULICAVL = address(fld("VRULICA"), fld("VRULKBR"), fld("VRULKBRS"), fld("VRULSPR"), fld("VRULSTBR"),
                       fld("VRULSTS"), trim_numbers);
    WDATOTV = rt::dbf::current().get_date("FRDATOTV");
    WKLASIFIKATOR = fld("PRGTIPKNJ") + fld("PRGTIPOP");
    WSIFRADEL = fld("FRDELSIF");
    WPEPDVKOM = fld("FRPEPDV");
    WPDVKOM = !rt::EMPTY(WPEPDVKOM);
}

}  // namespace

std::string MDKPOD(std::string_view prefix, std::string_view value) {
    if (rt::EMPTY(value)) return "";
    return std::string(prefix) + rt::ALLTRIM(value);
}

std::string SIDEL(std::string_view code) {
    if (code == "001") WSD = "Proizvodnja";
    else if (code == "005") WSD = "52 - Trgovina/Komision";
    else if (code == "007") WSD = "52 - Trgovina na malo";
    else if (code == "008") WSD = "55 - Ugostiteljstvo";
    else if (code == "009") WSD = "Zanatstvo/Usluge";
    else WSD.clear();
    return WSD;
}

void company_vars() { set_vars(true); }

bool AZURMDK() {
    set_vars(false);
    WPIO = fld("FRPIO");

    const int register_area = rt::dbf::current_number();
    rt::dbf::select_free();
    if (open_table("mdk")) {
        rt::dbf::WorkArea& m = rt::dbf::current();
        bool locked = true;
        if (!m.seek(WSIFKOM)) {
            locked = ADD_REC(0);
            if (locked) m.put("SIFRA", WSIFKOM);
        }
        if (locked && REC_LOCK(0)) {
            m.put("SIFDEL", WSIFDEL);
            m.put("NAZIV", WNAZKOM);
            m.put("VLASNIK", WVLASNIK);
            m.put("ULICA", WULICAKOM);
            m.put("MESTO", WMESKOM);
            m.put("TEL", WTELKOM);
            m.put("ZIRO", WZIROKOM);
            m.put("REGBR", WREGBR);
            m.put("PORRAC", WPIBKOM);
            m.put("PIO", WPIO);
            m.put("JMBG", WJMBG);
            m.put("MATBR", WMATBR);
            m.put("ULICAVL", WULICAVL);
            m.put("DATOTV", WDATOTV);
            m.put("KLASIFIK", WKLASIFIKATOR);
            m.put("SIFRADEL", WSIFRADEL);
            m.commit();
        }
        m.unlock();
        m.close();
    }
    rt::dbf::select(register_area);
    return true;
}

bool TRAZIIPJ(int n) {
    rt::dbf::WorkArea& a = rt::dbf::current();
    const std::string field = "FRIPJ" + std::to_string(n);
    const std::string code = rt::STRZERO(rt::VAL(a.get_str(field)), 3);
    if (code == WSIFRA) return false;
    const uint32_t rec = a.recno();
    const bool found = a.seek(code);
    a.go_to(rec);
    if (found) a.put(field, code);
    return found;
}

std::vector<std::string> company_detail_lines() {
    const std::string tel_radnje = rt::TRIM(fld("FRTELPBR")) + " " + fld("FRTELBR");
    const std::string tel_vlasnika = rt::TRIM(fld("VRTELPBR")) + " " + fld("VRTELBR");
    const std::string banks = rt::ALLTRIM(fld("FRBANKA1R")) + " " + rt::ALLTRIM(fld("FRBANKA2R")) + " " +
                              rt::ALLTRIM(fld("FRBANKA3R"));
    const std::string note = rt::ALLTRIM(fld("PRGNAPOM"));
    return {
        MDKPOD("Vlasnik: ", fld("VRIME")) + MDKPOD(" ", fld("VRPREZIME")) + MDKPOD(" JMBG:", fld("VRJMBG")) +
            MDKPOD(" BRLK:", fld("VRBRLK")),
        MDKPOD("Sediste Radnje: ", rt::TRIM(fld("FRMESTO")) + " " + fld("FRULICA")) +
            MDKPOD(" ", fld("FRULKBR") + fld("FRULKBRS")) + MDKPOD(" Sprat:", fld("FRULSPR")) +
            MDKPOD(" Stan:", fld("FRULSTBR") + fld("FRULSTS")),
        MDKPOD("Sediste Vlasnika: ", rt::TRIM(fld("VRMESTO")) + " " + fld("VRULICA")) +
            MDKPOD(" ", fld("VRULKBR") + fld("VRULKBRS")) + MDKPOD(" Sprat:", fld("VRULSPR")) +
            MDKPOD(" Stan:", fld("VRULSTBR") + fld("VRULSTS")),
        MDKPOD("Telefon Radnje: ", tel_radnje) + MDKPOD(" ", fld("FRFAXPBR")) + MDKPOD(" ", fld("FRFAXBR")) +
            (rt::EMPTY(fld("FRTELBR")) ? "" : " ") + MDKPOD("Telefon Vlasnika: ", tel_vlasnika),
        MDKPOD("PIB:", fld("FRPIB")) + MDKPOD(" MB:", fld("FRMATBR")) + MDKPOD(" PR:", fld("FRPORRAC")) +
            MDKPOD("-", fld("FRPORRACKB")) + MDKPOD(" PIO:", fld("FRPIO")) + MDKPOD(" RB:", fld("FRREGBR")),
        MDKPOD("Tekuci Racuni: ", banks),
        MDKPOD(note.size() == 69 ? "NAPOMENA:" : "NAPOMENA: ", note),
    };
}

namespace toggle {
void PSLSIFRA() {
    tor::PSLSIFRA = !tor::PSLSIFRA;
    PORUKA(std::string(tor::PSLSIFRA ? "UKLJUCENO" : "ISKLJUCENO") + " Prepoznavanje prve slobodne sifre.");
}
}  // namespace toggle

}  // namespace tor
