// The amount of an invoice in words, as printed under "ZA PLACANjE:", and the invoice's unique
// identifier printed with the e-invoice text.
#include <cmath>
#include <cstdint>
#include <string>

#include "outbound/outbound.h"
#include "rt/fmt/fmt.h"

namespace tor {

namespace {

const char* const kUnits[10] = {"", "Jedan", "Dva", "Tri", "Cetiri", "Pet", "Sest", "Sedam", "Osam", "Devet"};

int digit(char c) { return (c >= '0' && c <= '9') ? c - '0' : 0; }

// One triple of the whole part in words, with its scale word. pos is the triple's place in the
// fifteen-character text: 1 and 10 thousands, 4 milliards, 7 millions, 13 units.
std::string triple_words(const std::string& tr, int pos) {
    const int h = digit(tr[0]), t = digit(tr[1]), u = digit(tr[2]);
    const int value = h * 100 + t * 10 + u;
    const bool feminine = pos == 1 || pos == 4 || pos == 10;   // hiljada, milijarda
    std::string w;
    // hundreds
    if (h == 1) {
        w += "Sto";
    } else if (h == 2) {
        w += "Dve";
    } else if (h > 2) {
        w += kUnits[h];
    }
    if (h > 4) {
        w += "stotina";
    } else if (h >= 2) {
        w += "stotine";
    }
    // tens
    if (t == 1) {
        if (u == 0) {
            w += "Deset";
        } else if (u == 1) {
            w += "Jedanaest";
        } else if (u == 4) {
            w += "Cetrnaest";
        } else {
            w += std::string(kUnits[u]) + "naest";
        }
    } else if (t > 1) {
        w += t == 4 ? "Cetr" : t == 6 ? "Sez" : kUnits[t];
        if (!w.empty() && w.back() == 't') w.pop_back();   // Pet -> Pedeset, Devet -> Devedeset
        w += "deset";
    }
    // units (a lone one before a scale word is carried by the scale word: Hiljadu, Milion)
    if (t != 1 && u != 0 && (pos == 13 || value != 1)) {
        if (feminine && u == 2) {
            w += "Dve";
        } else if (feminine && u == 1) {
            w += "Jedna";
        } else {
            w += kUnits[u];
        }
    }
    // scale
    if (pos == 1 || pos == 10) {
        if (value == 1) {
            w += "Hiljadu";
        } else {
            w += (t == 1 || u > 4 || u < 2) ? "hiljada" : "hiljade";
        }
    } else if (pos == 4) {
        if (value == 1) {
            w += "Milijardu";
        } else {
            w += "milijard";
            w += (t == 1 || u > 4 || u == 0) ? "i" : u == 1 ? "a" : "e";
        }
    } else if (pos == 7) {
        w += value == 1 ? "M" : "m";
        w += "ilion";
        if (!(t != 1 && u == 1)) w += "a";
    }
    return w;
}

// A non-negative number below 36^7 written in base 36 (0-9, A-Z), most significant digit first.
std::string base36(uint64_t n) {
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (n == 0) return "0";
    std::string s;
    while (n > 0) {
        s.insert(s.begin(), kDigits[n % 36]);
        n /= 36;
    }
    return s;
}

}  // namespace

bool singular_dinar(double whole) {
    const double n = std::fabs(rt::INT(whole));
    return std::fmod(n, 10) == 1 && std::fmod(n, 100) != 11;
}

std::string SLOVIMA(double amount, bool paras) {
    if (amount == 0) return "nula";
    std::string out = amount < 0 ? "minus " : "";
    const double a = rt::ROUND(amount < 0 ? -amount : amount, 2);
    const std::string cents = rt::RIGHT(rt::STR(a, 20, 2), 2);
    const std::string whole = rt::STR(rt::INT(a), 15);
    for (int pos = 1; pos <= 13; pos += 3) {
        const std::string tr = rt::SUBSTR(whole, pos, 3);
        if (rt::EMPTY(tr)) continue;
        if (tr == "000" && pos != 4) continue;
        out += triple_words(tr, pos);
    }
    out += singular_dinar(rt::INT(a)) ? " dinar " : " dinara ";
    if (paras) out += "i " + cents + "/100";
    return out;
}

std::string EKOBAJA(const rt::Date& datfak, std::string_view pib, std::string_view brfak, double amount) {
    const std::string digits = rt::STRZERO(rt::DAY(datfak), 2) + rt::STRZERO(rt::MONTH(datfak), 2) +
                               rt::RIGHT(rt::STRZERO(rt::YEAR(datfak), 4), 2) + rt::STRZERO(rt::VAL(pib), 9) +
                               rt::STRZERO(rt::VAL(brfak), 6) + rt::STRZERO(rt::ROUND(amount, 2) * 100, 9);
    std::string id;
    for (int g = 0; g < 3; ++g) {
        const std::string part = rt::SUBSTR(digits, g * 10 + 1, 10);
        const double v = rt::VAL(part);
        if (g > 0) id += "-";
        id += base36(v > 0 ? static_cast<uint64_t>(v) : 0);
    }
    return id;
}

}  // namespace tor
