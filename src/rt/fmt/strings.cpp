// String functions of the xBase runtime on raw bytes (positions are 1-based).
#include <string>

#include "rt/fmt/fmt.h"

namespace rt {

namespace {
bool is_white(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string PADL(std::string_view s, int n, char fill) {
    if (n <= 0) return "";
    size_t w = static_cast<size_t>(n);
    if (s.size() >= w) return std::string(s.substr(0, w));
    return std::string(w - s.size(), fill) + std::string(s);
}

std::string PADR(std::string_view s, int n, char fill) {
    if (n <= 0) return "";
    size_t w = static_cast<size_t>(n);
    if (s.size() >= w) return std::string(s.substr(0, w));
    return std::string(s) + std::string(w - s.size(), fill);
}

std::string PADC(std::string_view s, int n, char fill) {
    if (n <= 0) return "";
    size_t w = static_cast<size_t>(n);
    if (s.size() >= w) return std::string(s.substr(0, w));
    size_t left = (w - s.size()) / 2;
    return std::string(left, fill) + std::string(s) + std::string(w - s.size() - left, fill);
}

std::string TRIM(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ') --e;
    return std::string(s.substr(0, e));
}

std::string LTRIM(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && is_white(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string ALLTRIM(std::string_view s) { return LTRIM(TRIM(s)); }

int AT(std::string_view needle, std::string_view hay) {
    if (needle.empty()) return 0;
    size_t p = hay.find(needle);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

int RAT(std::string_view needle, std::string_view hay) {
    if (needle.empty()) return 0;
    size_t p = hay.rfind(needle);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string STRTRAN(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string r;
    size_t pos = 0;
    for (;;) {
        size_t f = s.find(from, pos);
        if (f == std::string_view::npos) break;
        r.append(s, pos, f - pos);
        r.append(to);
        pos = f + from.size();
    }
    r.append(s, pos, std::string_view::npos);
    return r;
}

std::string REPLICATE(std::string_view s, int n) {
    std::string r;
    if (n <= 0 || s.empty()) return r;
    r.reserve(s.size() * static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) r.append(s);
    return r;
}

std::string SPACE(int n) { return n <= 0 ? std::string() : std::string(static_cast<size_t>(n), ' '); }

std::string UPPER(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string LOWER(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

namespace {
// The 0-based offset where SUBSTR starts: 0 counts as 1, a negative start counts from the end.
size_t substr_offset(std::string_view s, int start) {
    long n = static_cast<long>(s.size());
    long p = start;
    if (p < 0) {
        p += n;
        if (p < 0) p = 0;
    } else if (p > 0) {
        --p;
    }
    return static_cast<size_t>(p);
}
}  // namespace

std::string SUBSTR(std::string_view s, int start) {
    size_t p = substr_offset(s, start);
    return p >= s.size() ? std::string() : std::string(s.substr(p));
}

std::string SUBSTR(std::string_view s, int start, int len) {
    size_t p = substr_offset(s, start);
    if (p >= s.size() || len <= 0) return std::string();
    return std::string(s.substr(p, static_cast<size_t>(len)));
}

std::string LEFT(std::string_view s, int n) {
    if (n <= 0) return std::string();
    return std::string(s.substr(0, static_cast<size_t>(n)));
}

std::string RIGHT(std::string_view s, int n) {
    if (n <= 0) return std::string();
    size_t w = static_cast<size_t>(n);
    return w >= s.size() ? std::string(s) : std::string(s.substr(s.size() - w));
}

bool CONTAINS(std::string_view needle, std::string_view hay) { return AT(needle, hay) != 0; }

bool EMPTY(std::string_view s) {
    for (char c : s)
        if (!is_white(c)) return false;
    return true;
}

}  // namespace rt
