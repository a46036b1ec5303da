// Numbers as the xBase runtime computes and writes them: ROUND, INT, STR, STRZERO, VAL.
//
// Rounding works on the decimal text of the value: the value is first written with 15
// significant digits (the guard that makes 2.675, stored as 2.67499999…, count as 2.675),
// then rounded half away from zero at the wanted position.  When the wanted position lies
// beyond the 15th significant digit, one or two more digits are used so the guard never
// changes a digit that is asked for.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rt/fmt/fmt.h"
#include "rt/fmt/numtext.h"

namespace rt {

namespace detail {

namespace {
// Writes av (> 0, finite) with `prec` significant digits: the digit string and the decimal
// exponent of its first digit.
void sig_digits(double av, int prec, std::string& digits, int& exp10) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", prec - 1, av);
    digits.clear();
    digits += buf[0];
    const char* p = buf + 1;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') digits += *p++;
    }
    const char* e = std::strchr(buf, 'e');
    exp10 = e ? std::atoi(e + 1) : 0;
}

void add_one(std::string& d) {
    int i = static_cast<int>(d.size()) - 1;
    while (i >= 0 && d[i] == '9') d[i--] = '0';
    if (i < 0) d.insert(d.begin(), '1');
    else ++d[i];
}
}  // namespace

std::string scaled_digits(double v, int dec) {
    double av = std::fabs(v);
    if (!(av > 0.0) || !std::isfinite(av)) return "0";
    std::string digits;
    int e = 0;
    sig_digits(av, 17, digits, e);
    int keep = e + 1 + dec;  // digits from the first significant one down to 10^-dec
    if (keep < 0) return "0";
    int prec = std::clamp(keep + 1, 15, 17);
    sig_digits(av, prec, digits, e);
    keep = e + 1 + dec;
    if (keep < 0) return "0";
    std::string out;
    if (keep >= static_cast<int>(digits.size())) {
        out = digits;
        out.append(static_cast<size_t>(keep) - digits.size(), '0');
    } else {
        out = digits.substr(0, static_cast<size_t>(keep));
        if (digits[static_cast<size_t>(keep)] >= '5') add_one(out);
    }
    size_t nz = out.find_first_not_of('0');
    if (nz == std::string::npos) return "0";
    return out.substr(nz);
}

bool number_text(double v, int width, int dec, std::string& out) {
    if (width < 0) width = 0;
    if (dec < 0) dec = 0;
    if (!std::isfinite(v) || dec > 400) {
        out.assign(static_cast<size_t>(width), '*');
        return false;
    }
    std::string d = scaled_digits(v, dec);
    bool neg = v < 0 && d != "0";
    std::string s;
    if (neg) s += '-';
    if (dec > 0) {
        if (static_cast<int>(d.size()) <= dec) d.insert(0, static_cast<size_t>(dec + 1) - d.size(), '0');
        s.append(d, 0, d.size() - static_cast<size_t>(dec));
        s += '.';
        s.append(d, d.size() - static_cast<size_t>(dec), std::string::npos);
    } else {
        s += d;
    }
    if (static_cast<int>(s.size()) > width) {
        out.assign(static_cast<size_t>(width), '*');
        return false;
    }
    out.assign(static_cast<size_t>(width) - s.size(), ' ');
    out += s;
    return true;
}

}  // namespace detail

double ROUND(double v, int dec) {
    if (v == 0.0 || !std::isfinite(v)) return v == 0.0 ? 0.0 : v;
    if (dec > 340) return v;
    if (dec < -340) return 0.0;
    std::string d = detail::scaled_digits(v, dec);
    if (d == "0") return 0.0;
    d += 'e';
    d += std::to_string(-dec);
    double r = std::strtod(d.c_str(), nullptr);
    return v < 0 ? -r : r;
}

double INT(double v) {
    double r = std::trunc(v);
    return r == 0.0 ? 0.0 : r;  // no negative zero
}

std::string STR(double v, int len, int dec) {
    if (len < 1) len = 10;
    if (len == 1 || dec < 0) dec = 0;  // one column has no room for decimals
    std::string out;
    detail::number_text(v, len, dec, out);
    return out;
}

std::string STRZERO(double v, int len, int dec) {
    std::string s = STR(v, len, dec);
    size_t minus = s.find('-');
    if (minus != std::string::npos) {
        // The sign goes to the first column, zeros fill the blanks after it: "-005".
        s[minus] = ' ';
        for (char& c : s) {
            if (c != ' ') break;
            c = '0';
        }
        s[0] = '-';
    } else {
        for (char& c : s) {
            if (c != ' ') break;
            c = '0';
        }
    }
    return s;
}

double VAL(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    std::string t;
    bool any = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') { t += s[i++]; any = true; }
    if (i < s.size() && s[i] == '.') {
        t += s[i++];
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') { t += s[i++]; any = true; }
    }
    if (!any) return 0.0;
    double r = std::strtod(t.c_str(), nullptr);
    if (r == 0.0) return 0.0;
    return neg ? -r : r;
}

}  // namespace rt
