// TRANSFORM: values written through a picture.
//
// A picture is an optional function part ("@" and letters, up to the first blank) and a template.
// Numbers: "9" and "#" are digit positions, "." the decimal point, "," a group separator that
// shows only when a digit stands left of it, "$" and "*" digit positions that fill blanks with
// themselves; every other character is copied.  The number is written as STR would write it into
// the digit positions and the decimal point, then spread over the template.  A number too wide
// for the template shows "*" in every digit position.
// Character values: "!" upper-cases, "9 # A N X L" copy the character, "Y" writes Y/N, other
// characters are copied in place of a character of the value (with "@R" they are inserted).
// A picture this engine does not know is an error, never a silent misformat.
#include <algorithm>
#include <cmath>
#include <string>

#include "rt/fmt/fmt.h"
#include "rt/fmt/numtext.h"

namespace rt {

namespace {

struct Picture {
    bool upper = false;   // @!
    bool left = false;    // @B
    bool date = false;    // @D
    bool exch = false;    // @E
    bool remain = false;  // @R
    bool blank0 = false;  // @Z
    std::string tmpl;
};

[[noreturn]] void bad_picture(std::string_view pic, const char* why) {
    throw Error("Nepoznata maska prikaza \"" + std::string(pic) + "\" (" + why + ")");
}

char up(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

Picture parse_picture(std::string_view pic) {
    Picture p;
    if (pic.empty() || pic[0] != '@') {
        p.tmpl = std::string(pic);
        return p;
    }
    size_t i = 1;
    for (; i < pic.size(); ++i) {
        char c = pic[i];
        if (c == ' ' || c == '\t') { ++i; break; }
        switch (up(c)) {
            case '!': p.upper = true; break;
            case 'B': p.left = true; break;
            case 'D': p.date = true; break;
            case 'E': p.exch = true; break;
            case 'K': break;  // input only: the first key clears the field
            case 'R': p.remain = true; break;
            case 'S':         // input only: visible width (the digits follow)
                while (i + 1 < pic.size() && is_digit(pic[i + 1])) ++i;
                break;
            case 'Z': p.blank0 = true; break;
            default:
                // Digits in the function part carry no meaning and are passed over, as the
                // runtime did ("@K999" is a function part only).
                if (!is_digit(c)) bad_picture(pic, "nepoznata funkcija");
        }
    }
    if (i < pic.size()) p.tmpl = std::string(pic.substr(i));
    return p;
}

void left_justify(std::string& s) {
    size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos || first == 0) return;
    s = s.substr(first) + std::string(first, ' ');
}

bool is_num_pos(char c) { return c == '9' || c == '#' || c == '$' || c == '*'; }

}  // namespace

std::string TRANSFORM(double v, std::string_view pic) {
    Picture p = parse_picture(pic);
    if (p.date) bad_picture(pic, "@D za broj");
    const std::string& t = p.tmpl;
    for (char c : t) {
        char u = up(c);
        if (c == '!' || u == 'A' || u == 'N' || u == 'X' || u == 'L' || u == 'Y')
            bad_picture(pic, "znak maske nema smisla za broj");
    }

    // Digit positions and decimals the template describes.
    int width = 0, dec = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '.') {
            while (++i < t.size())
                if (is_num_pos(t[i])) { ++width; ++dec; }
            if (dec) ++width;
            break;
        }
        if (is_num_pos(t[i])) ++width;
    }

    std::string num;
    bool dot_only = false;
    if (width == 0) {
        if (!t.empty()) bad_picture(pic, "maska bez cifara");
        // No template: the number's own text, ten columns for the integer part.
        dec = std::isfinite(v) && v != std::trunc(v) ? 2 : 0;
        std::string probe;
        detail::number_text(v, 400, dec, probe);
        size_t need = probe.size() - probe.find_first_not_of(' ');
        width = std::max<int>(10 + (dec ? dec + 1 : 0), static_cast<int>(need));
    } else if (dec > 0 && width - dec == 1) {
        dot_only = true;  // ".99": room for the leading zero is made and taken away again
        ++width;
    }
    detail::number_text(v, width, dec, num);
    if (dot_only) {
        --width;
        if (num[0] != '0') num = "." + std::string(static_cast<size_t>(width - 1), '*');
        else num.erase(0, 1);
    }

    std::string r;
    if (t.empty()) {
        r = num;
        if (p.exch) {
            size_t dot = r.find('.');
            if (dot != std::string::npos) r[dot] = ',';
        }
    } else {
        r.assign(t.size(), ' ');
        int k = 0;
        for (size_t i = 0; i < t.size(); ++i) {
            char c = t[i];
            if (c == '9' || c == '#') {
                r[i] = k < width ? num[static_cast<size_t>(k++)] : ' ';
            } else if (c == '$' || c == '*') {
                if (k < width) {
                    char n = num[static_cast<size_t>(k++)];
                    r[i] = n == ' ' ? c : n;
                } else {
                    r[i] = ' ';
                }
            } else if (c == '.' && k < width) {
                r[i] = p.exch ? ',' : '.';
                ++k;
            } else if (c == ',' && i > 0 && k < width) {
                if (is_digit(r[i - 1])) {
                    r[i] = p.exch ? '.' : ',';
                } else {
                    // No digit to the left: the separator takes the look of its left neighbour
                    // (blank, or "*" on overflow); a sign moves right, next to the digits.
                    r[i] = r[i - 1];
                    if (r[i - 1] == '-') r[i - 1] = i > 1 && r[i - 2] != '$' ? r[i - 2] : ' ';
                }
            } else {
                r[i] = c;
            }
        }
    }

    if (p.blank0 && v == 0.0) r.assign(r.size(), ' ');
    else if (p.left) left_justify(r);
    return r;
}

std::string TRANSFORM(std::string_view s, std::string_view pic) {
    Picture p = parse_picture(pic);
    std::string t = p.date ? std::string("XX.XX.XXXX") : p.tmpl;
    std::string r;
    if (t.empty()) {
        r = p.upper ? UPPER(s) : std::string(s);
        if (p.exch) {
            bool found = false;
            for (char& c : r) {
                if (c == ',') c = '.';
                else if (!found && c == '.') { c = ','; found = true; }
            }
        }
    } else {
        size_t k = 0;
        for (char c : t) {
            char u = up(c);
            bool code = c == '!' || c == '9' || c == '#' || u == 'A' || u == 'N' || u == 'X' ||
                        u == 'L' || u == 'Y';
            if (k < s.size()) {
                char v = s[k++];
                if (c == '!') r += up(v);
                else if (u == 'Y') r += (up(v) == 'T' || up(v) == 'Y') ? 'Y' : 'N';
                else if (code) r += p.upper ? up(v) : v;
                else {
                    r += c;                 // a literal takes the place of a character,
                    if (p.remain) --k;      // or, with @R, is inserted between them
                }
            } else if (!p.remain) {
                break;
            } else {
                r += code ? ' ' : c;
            }
        }
    }
    if (p.left) left_justify(r);
    return r;
}

std::string TRANSFORM(const Date& d, std::string_view pic) {
    Picture p = parse_picture(pic);
    // The date is always written in the date format; a template may only restate its shape.
    for (char c : p.tmpl)
        if (!(c == '9' || c == '#' || c == '.' || c == '/' || c == '-' || c == ' '))
            bad_picture(pic, "znak maske nema smisla za datum");
    std::string r = DTOC(d);
    if (p.left) left_justify(r);
    return r;
}

std::string TRANSFORM(bool b, std::string_view pic) {
    Picture p = parse_picture(pic);
    if (p.date) bad_picture(pic, "@D za logicku vrednost");
    if (p.tmpl.empty()) return b ? "T" : "F";
    std::string r;
    bool done = false;
    for (char c : p.tmpl) {
        char u = up(c);
        if (u == 'L' || c == '#' || u == 'Y') {
            if (!done) r += u == 'Y' ? (b ? 'Y' : 'N') : (b ? 'T' : 'F');
            else r += ' ';
            done = true;
        } else if ((u >= 'A' && u <= 'Z') || c == '!') {
            bad_picture(pic, "znak maske nema smisla za logicku vrednost");
        } else {
            r += c;
        }
        if (!p.remain) break;
    }
    return r;
}

int picture_width(std::string_view pic) {
    return static_cast<int>(parse_picture(pic).tmpl.size());
}

int picture_decimals(std::string_view pic) {
    std::string t = parse_picture(pic).tmpl;
    size_t dot = t.find('.');
    if (dot == std::string::npos) return 0;
    int dec = 0;
    for (size_t i = dot + 1; i < t.size(); ++i)
        if (is_num_pos(t[i])) ++dec;
    return dec;
}

}  // namespace rt
