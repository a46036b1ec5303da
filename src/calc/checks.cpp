// Check digits of personal and tax numbers, and the model-97 payment reference.
#include "calc/checks.h"

#include "company/company.h"
#include "rt/fmt/fmt.h"

namespace tor {

namespace {

// The value of one character as a digit; anything else counts as 0 (as VAL would read it).
int digit_at(std::string_view s, size_t i) {
    if (i >= s.size()) return 0;
    const char c = s[i];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

// The leading run of digits of a text, as VAL would read it as a number.
std::string leading_digits(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c < '0' || c > '9') break;
        out += c;
    }
    return out;
}

// (number x 100) mod 97 for a number given as a string of digits, of any length.
int times100_mod97(std::string_view digits) {
    int r = 0;
    for (char c : digits) r = (r * 10 + (c - '0')) % 97;
    return (r * 100) % 97;
}

std::string reference(std::string_view prefix, std::string_view number, std::string_view control_digits) {
    const std::string p = rt::ALLTRIM(prefix);
    const std::string n = rt::ALLTRIM(number);
    const int control = 98 - times100_mod97(control_digits);
    return "97  " + rt::STRZERO(control, 2) + p + n;
}

}  // namespace

bool KBJMBG(std::string_view jmbg) {
    if (rt::EMPTY(jmbg)) return true;
    static constexpr int weights[12] = {7, 6, 5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (size_t i = 0; i < 12; ++i) sum += weights[i] * digit_at(jmbg, i);
    const int k = 11 - sum % 11;
    // A remainder of 1 asks for the check character "X": such a number is never issued.
    if (k == 10) return false;
    const char expected = static_cast<char>('0' + (k == 11 ? 0 : k));
    return jmbg.size() >= 13 && jmbg[12] == expected;
}

bool KBPIB(std::string_view pib) {
    if (rt::EMPTY(pib)) return true;
    int p = 0;
    for (size_t i = 0; i < 8; ++i) {
        int s = (p + digit_at(pib, i)) % 10;
        if (s == 0) s = 10;
        p = (2 * s) % 11;
    }
    int k = 11 - p;
    if (k == 10) k = 0;
    if (pib.size() < 9 || pib[8] < '0' || pib[8] > '9') return false;
    return k == pib[8] - '0';
}

bool KBZR(std::string_view) { return true; }

std::string PNB97(std::string_view prefix) {
    const std::string n = leading_digits(rt::ALLTRIM(prefix) + rt::ALLTRIM(WPIBKOM));
    return reference(prefix, WPIBKOM, n);
}

std::string PNB97JMBG(std::string_view prefix) {
    // Only the first 16 digits (a three-digit prefix and the 13-digit personal number) make
    // the control number.
    const std::string s = leading_digits(rt::ALLTRIM(prefix) + rt::ALLTRIM(WJMBG));
    return reference(prefix, WJMBG, s.substr(0, 16));
}

}  // namespace tor
