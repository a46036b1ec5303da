// The price, rebate and VAT hooks of the document screens, the rounding correction of a costing,
// the closed-period guard and the date proposals.
#include "calc/pricing.h"

#include <cmath>

#include "calc/rates.h"
#include "company/company.h"
#include "data/data.h"
#include "frame/vars.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/os/os.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace tor {

// ---- item rates ----

bool item_rates(std::string_view targr, bool representation, double& porez_out, double& pspor_out) {
    porez_out = pspor_out = 0;
    const auto p = porez(targr);
    const auto s = pspor(targr);
    if (!p || !s) return false;
    if (WPDVKOM && !representation) {
        porez_out = *p;
        pspor_out = *s;
    }
    return true;
}

double OTKUP_STOPA(const rt::Date& datkal) {
    return datkal < rt::Date::ymd(2012, 10, 1) ? POREZ005 : POREZ008;
}

// ---- costing item hooks ----

namespace {

// Selling price from the purchase price, the margin and the rate.
void selling_price_from_margin(CostingItemVars& v) {
    v.WFCR = v.WFAKCEN + v.WFAKCEN * v.WRUCP / 100;
    v.WPRODCEN = v.WFCR + v.WFCR * v.WPOREZ / 100;
}

}  // namespace

bool RABATK(CostingItemVars& v) {
    v.WFAKCEN = v.WFAKCEN - v.WFAKCEN * v.WRABAT / 100;
    if (v.WRABAT != 0 && !v.ZBIRNIRABAT && !v.PITAO_RABAT) {
        v.ZBIRNIRABAT = PITANJE("Zelite li isti rabat na celom dokumentu (D/N)?", 2);
        v.PITAO_RABAT = true;
    }
    if (!v.ZBIRNIRABAT) v.WRABAT = 0;
    rt::SAY(v.R, 45, rt::TRANSFORM(v.WFAKCEN, BROJ103));
    rt::SAY(v.R, 56, rt::TRANSFORM(v.WRABAT, BROJ62));
    return true;
}

bool RAC_PC(CostingItemVars& v) {
    if (v.WRUCP != 0) v.WPRODCEN = 0;
    if (v.WPRODCEN == 0) selling_price_from_margin(v);
    return true;
}

bool NULA_PC(CostingItemVars& v) {
    if (v.WPRODCEN != 0) return true;
    selling_price_from_margin(v);
    return false;
}

void RUC_IZ_CENE(CostingItemVars& v) {
    if (v.WFAKCEN == 0) {
        v.WRUCP = 0;
        return;
    }
    v.WRUCP = ((v.WPRODCEN - v.WPRODCEN * v.WPSPOR / 100) / v.WFAKCEN) * 100 - 100;
}

// ---- quantity ----

namespace {

bool refuse(std::string_view text) {
    PORUKA(text, 2);
    return false;
}

}  // namespace

bool KONTR_KOL(double WKOLICINA) {
    if (WKOLICINA == 0) return refuse("Nije dozvoljena Nula Kolicina!");
    return true;
}

bool KONTR_KOL(const CostingItemVars& v) {
    if (!KONTR_KOL(v.WKOLICINA)) return false;
    if (KAL_TROS && v.WKOLICINA > 0) return refuse("Minusna kolicina je obavezna u Kalkulaciji-Trosak!");
    if (KAL_REPR && v.WKOLICINA > 0) return refuse("Minusna kolicina je obavezna u Kalkulaciji-Reprezentacija!");
    if (WSIFDEL == "005" && KALK_FORM == 2 && !WOTKUP && v.WKOLICINA > 0)
        return refuse("Minusna kolicina je obavezna na Kalkulaciji za Obrazac KR-1!");
    return true;
}

// ---- rounding correction ----

namespace {

// The costing items in the order of "kalk1": the open "kalk" area of the costing screen (its
// order and record put back afterwards), or the table opened here for the correction alone.
class KalkItems {
public:
    KalkItems() : prev_area_(rt::dbf::current_number()) {
        if (rt::dbf::alias_used("kalk")) {
            rt::dbf::select("kalk");
        } else {
            rt::dbf::select_free();
            if (!open_table("kalk")) {
                rt::dbf::current().close();
                rt::dbf::select(prev_area_);
                return;
            }
            opened_ = true;
        }
        rt::dbf::WorkArea& a = rt::dbf::current();
        prev_order_ = a.order();
        prev_recno_ = a.recno();
        int n = 0;
        for (int i = 1; i <= a.index_count(); ++i)
            if (rt::UPPER(a.index_key(i)) == "BRKALK+TARGR") n = i;
        if (n == 0) {
            a.add_index(ntx_path("kalk1"));
            n = a.index_count();
        }
        a.set_order(n);
        ok_ = true;
    }
    ~KalkItems() {
        if (!ok_) return;
        rt::dbf::WorkArea& a = rt::dbf::current();
        a.unlock();
        if (opened_) {
            a.close();
        } else {
            a.set_order(prev_order_);
            a.go_to(prev_recno_);
        }
        rt::dbf::select(prev_area_);
    }
    KalkItems(const KalkItems&) = delete;
    KalkItems& operator=(const KalkItems&) = delete;

    bool ok() const { return ok_; }
    // Runs fn on every item of the costing, in key order.
    template <class Fn>
    void each(const std::string& number, Fn fn) {
        rt::dbf::WorkArea& a = rt::dbf::current();
        const std::string key = rt::PADR(number, 6);
        for (a.seek(key); !a.eof() && a.get_str("BRKALK") == key; a.skip()) fn(a);
    }

private:
    int prev_area_;
    bool opened_ = false, ok_ = false;
    int prev_order_ = 0;
    uint32_t prev_recno_ = 0;
};

void show_konzapl(double konzapl) { rt::SAY(10, 61, "(" + rt::TRANSFORM(konzapl, "9" + BROJ) + ")"); }

}  // namespace

void ZAOKRUZI(CostingHeaderVars& h) {
    double ZAOKR = h.WZAPLA - h.KONZAPL;
    if (rt::ROUND(ZAOKR, 2) == 0 || std::fabs(ZAOKR) >= 100 || h.WZAPLA == 0) return;
    const bool yes = PITANJE("Razlika pri zaokruzenju: " + rt::ALLTRIM(rt::TRANSFORM(ZAOKR, BROJ)) +
                             " din. Automatska korekcija (D/N)?", 2);
    if (!yes || WOTKUP) return;
    PORUKA("Korekcija u toku...");

    KalkItems items;
    if (items.ok()) {
        double UK_NV = 0;
        items.each(h.WBRKALK, [&](rt::dbf::WorkArea& a) { UK_NV += a.get_num("KOLICINA") * a.get_num("FAKCEN"); });
        const double KOEF_NVZ = rt::safe_div(ZAOKR, UK_NV);

        h.KONZAPL = S_RAZPRENPDV ? h.WTROSAK + h.WPDVPS + h.WPDVOS : h.WTROSAK + h.WPDV;
        // Every price in proportion; the amounts are added as stored (three decimals).
        items.each(h.WBRKALK, [&](rt::dbf::WorkArea& a) {
            if (REC_LOCK()) {
                const double price = a.get_num("FAKCEN");
                a.put("FAKCEN", price + price * KOEF_NVZ);
            }
            h.KONZAPL += a.get_num("KOLICINA") * a.get_num("FAKCEN");
            show_konzapl(h.KONZAPL);
        });

        // What rounding to three decimals left over goes to the first item that can take it.
        ZAOKR = h.WZAPLA - h.KONZAPL;
        if (rt::ROUND(ZAOKR, 2) != 0) {
            items.each(h.WBRKALK, [&](rt::dbf::WorkArea& a) {
                if (!REC_LOCK()) return;
                const double old_residue = ZAOKR, old_total = h.KONZAPL;
                const double qty = a.get_num("KOLICINA"), old_price = a.get_num("FAKCEN");
                a.put("FAKCEN", old_price + rt::safe_div(ZAOKR, qty));
                h.KONZAPL = h.KONZAPL - qty * old_price + qty * a.get_num("FAKCEN");
                ZAOKR = h.WZAPLA - h.KONZAPL;
                if (std::fabs(ZAOKR) > std::fabs(old_residue)) {
                    a.put("FAKCEN", old_price);
                    h.KONZAPL = old_total;
                    ZAOKR = old_residue;
                }
                show_konzapl(h.KONZAPL);
            });
        }
        rt::dbf::current().commit();
    }
    const double left = h.WZAPLA - h.KONZAPL;
    if (rt::ROUND(left, 2) != 0)
        PORUKA("Program nije uspeo da koriguje iznos od: " + rt::ALLTRIM(rt::TRANSFORM(left, BROJ)) + " din.", 2);
}

// ---- invoice hooks ----

bool RAC_N_RAB(InvoiceItemVars& v) {
    v.WRABAT = 100 - rt::safe_div(v.WNPCENA, v.WPRODCEN) * 100;
    return true;
}

bool RAC_N_PC(InvoiceItemVars& v) {
    v.WNPCENA = v.WPRODCEN - v.WPRODCEN * v.WRABAT / 100;
    return true;
}

bool RAC_DATV(InvoiceHeaderVars& v) {
    v.WDATVAL = v.WDATPRO + static_cast<int64_t>(std::llround(v.WVALUTA));
    rt::SAY(8, 14, rt::DTOC(v.WDATVAL));
    return true;
}

// ---- register and entry hooks ----

bool RAC_NABCEN(GoodsEntryVars& v) {
    if (WSIFDEL != "005" || v.WNABCEN != 0) return true;
    const auto share = pspor(rt::STRZERO(v.WTARGR, 3));
    if (!share) return true;  // a group outside the rate table: nothing to propose from
    const double net = v.WPRODCEN - v.WPRODCEN * *share / 100;
    v.WNABCEN = rt::ROUND(net - net * PROC_RUC / 100, 0);
    rt::SAY_COLOR(18, 33, rt::TRANSFORM(v.WNABCEN, "9" + BROJ), INVERZ);
    rt::KEYBOARD_CLEAR();
    return true;
}

bool JEME(std::string& WJMERE, int row, int col) {
    if (rt::LASTKEY() == rt::K::PGDN) WJMERE = "KG ";
    else if (rt::EMPTY(WJMERE)) WJMERE = "KOM";
    else return true;
    rt::SAY_COLOR(row, col, WJMERE, INVERZ);
    rt::KEYBOARD_CLEAR();
    return false;
}

bool TRPDV_IZN(ExpenditureVars& v) {
    if (S_RAZPRENPDV) {
        v.WIZNOS = v.WTROSAK + v.WPDVPS + v.WPDVOS;
        rt::SAY_COLOR(10, 62, rt::TRANSFORM(v.WIZNOS, "9" + BROJ), INVERZ);
    } else {
        v.WIZNOS = v.WTROSAK + v.WPDV;
        rt::SAY_COLOR(9, 62, rt::TRANSFORM(v.WIZNOS, "9" + BROJ), INVERZ);
    }
    return true;
}

bool OOPDV_IZN(VatBaseVars& v) {
    v.WIZNOS = v.WOSNOVICA + v.WPDV;
    rt::SAY_COLOR(9, 62, rt::TRANSFORM(v.WIZNOS, BROJ), INVERZ);
    return true;
}

bool OPDVGR(InternalVatVars& v) {
    static const std::string pic = "999999999999.99";
    v.WOPDV = v.WOOSNOV * v.WOSTOPA / 100;
    const bool deductible = v.WOZNAKA == 1;
    rt::SAY(10, 29, rt::TRANSFORM(deductible ? v.WOOSNOV : 0.0, pic));
    rt::SAY(10, 56, rt::TRANSFORM(deductible ? v.WOPDV : 0.0, pic));
    return true;
}

// ---- dates ----

bool LASTPDVDATE(const rt::Date& d) {
    const std::string file = DIR + "lastdate.pdv";
    if (!rt::os::exists(file)) return true;
    const rt::Date settled = rt::CTOD(rt::LEFT(rt::ALLTRIM(rt::os::read_file(rt::os::resolve(file))), 10));
    if (d > settled) return true;

    const std::string saved = HELPKEY;
    HELPKEY = "PAZNJA:; PDV je obracunat zakljucno sa datumom " + rt::DTOC(settled) + ".; " +
              "Vi ste upravo uneli datum " + rt::DTOC(d) + ".; " +
              "UNOSOM OVOG DATUMA PROMENICETE OBRACUNATI PDV I PRATECE EVIDENCIJE.; ; " +
              "Ako ste razumeli ovu poruku i sigurni ste da zelite da nastavite; " +
              "knjizenje sa unetim datumom pritisnite prvo slovo D, a zatim slovo A.; " +
              "Inace pritisnite bilo koji taster i izmenite datum.; ; " + "Program ceka vasu odluku...; ;";
    bool ok = false;
    HELPBOX();
    if (rt::LASTKEY() == 'D' || rt::LASTKEY() == 'd') {
        HELPBOX();
        ok = rt::LASTKEY() == 'A' || rt::LASTKEY() == 'a';
    }
    HELPKEY = saved;
    return ok;
}

rt::Date PERIOD(const rt::Date& d) {
    if (d.empty()) return d;
    return rt::Date::ymd(d.year(), d.month(), 1) - 1;
}

rt::Date DATKUM(const rt::Date& d) {
    if (d.empty()) return d;
    const int y = d.year();
    const int md = d.month() * 100 + d.day();
    if (md <= 331) return rt::Date::ymd(y - 1, 12, 31);
    if (md <= 430) return rt::Date::ymd(y, 3, 31);
    if (md <= 731) return rt::Date::ymd(y, 6, 30);
    if (md <= 1031) return rt::Date::ymd(y, 9, 30);
    return rt::Date::ymd(y, 12, 31);
}

// ---- Up from a new item row ----

bool return_to_items(const ItemListReturn& r) {
    rt::SETKEY(rt::K::UP, {});
    if (rt::LASTKEY() != rt::K::UP || *r.R == 13) return true;
    rt::read_kill();
    *r.GD_IZMENA = true;
    --*r.R;
    --*r.RB;

    rt::dbf::select(r.alias);
    rt::dbf::WorkArea& a = rt::dbf::current();
    const auto of_document = [&] { return rt::TRIM(a.get_str(r.number_field)) == rt::TRIM(*r.number); };
    if ((*r.NASTAVAK && !of_document()) || a.eof()) a.skip(-1);
    if (!of_document() || a.bof()) a.skip(1);
    if (r.editor) r.editor();
    return true;
}

rt::HotKey item_return_key(ItemListReturn r) {
    return [r = std::move(r)](const std::string&, int, const std::string&) { return_to_items(r); };
}

ItemReturnKey::ItemReturnKey(ItemListReturn r) : previous_(rt::SETKEY(rt::K::UP, item_return_key(std::move(r)))) {}

ItemReturnKey::~ItemReturnKey() { rt::SETKEY(rt::K::UP, previous_); }

ItemListReturn GDIK(CostingHeaderVars& h, CostingItemVars& it, std::function<void()> IKALKULACIJE) {
    return {"kalk", "BRKALK", &h.WBRKALK, &it.R, &it.RB, &h.GD_IZMENA, &h.NASTAVAK, std::move(IKALKULACIJE)};
}

ItemListReturn GDIR(InvoiceHeaderVars& h, InvoiceItemVars& it, std::function<void()> IRACUN, std::string alias) {
    return {std::move(alias), "BRFAK", &h.WBRFAK, &it.R, &it.RB, &h.GD_IZMENA, &h.NASTAVAK, std::move(IRACUN)};
}

ItemListReturn GDIKM(CommissionHeaderVars& h, InvoiceItemVars& it, std::function<void()> IKOMISIONIMAGACIN,
                     std::string alias) {
    return {std::move(alias), "BRKOMMAG", &h.WBRKOMMAG, &it.R, &it.RB, &h.GD_IZMENA, &h.NASTAVAK,
            std::move(IKOMISIONIMAGACIN)};
}

ItemListReturn GDIGP(CostingHeaderVars& h, CostingItemVars& it, std::function<void()> IGOTOVP) {
    return {"kalk", "BRKALK", &h.WBRKALK, &it.R, &it.RB, &h.GD_IZMENA, &h.NASTAVAK, std::move(IGOTOVP)};
}

}  // namespace tor
