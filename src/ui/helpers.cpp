// Small date and string helpers used by reports, documents and the settings reader.
#include <string>

#include "rt/fmt/fmt.h"
#include "rt/input/menu.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace tor {

std::string DAT8C(const rt::Date& d) {
    const std::string full = rt::DTOC(d);  // "dd.mm.yyyy"
    return full.substr(0, 6) + full.substr(8, 2);
}

rt::Date POCMES(const rt::Date& d) {
    if (d.empty()) return d;
    return rt::Date::ymd(d.year(), d.month(), 1);
}

rt::Date POCGOD(const rt::Date& d) {
    if (d.empty()) return d;
    return rt::Date::ymd(d.year(), 1, 1);
}

int LASTDAY(const rt::Date& d) {
    switch (d.month()) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
        return 31;
    case 4: case 6: case 9: case 11:
        return 30;
    case 2:
        return rt::is_leap_year(d.year()) ? 29 : 28;
    default:
        return 0;  // the empty date has no month
    }
}

std::string FINDSTR(std::string_view text, std::string_view key, std::string_view deflt) {
    const size_t at = text.find(key);
    if (at == std::string_view::npos || key.empty()) return std::string(deflt);
    const size_t next = at + key.size();
    if (next >= text.size()) return std::string(deflt);
    return std::string(1, text[next]);
}

std::string DECTOBASE(long long number, int base) {
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (base < 2 || base > 36) return "";
    if (number == 0) return "0";
    const bool negative = number < 0;
    // Unsigned arithmetic keeps the most negative number representable.
    unsigned long long n = negative ? 0ULL - static_cast<unsigned long long>(number)
                                    : static_cast<unsigned long long>(number);
    std::string out;
    while (n > 0) {
        out.insert(out.begin(), digits[n % static_cast<unsigned>(base)]);
        n /= static_cast<unsigned>(base);
    }
    return negative ? "-" + out : out;
}

int ACTION_ROW(int top, int left, int right, const std::vector<std::pair<int, std::string>>& prompts,
               const std::function<void()>& before) {
    const rt::ScreenImage under = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(MENICOL);
    BOXSHAD(top, left, top + 2, right, "double");
    for (const auto& [col, text] : prompts) rt::PROMPT(top + 1, col, text);
    if (before) {
        before();
        rt::SETCOLOR(MENICOL);
    }
    const int choice = rt::MENU_TO(1);
    rt::SETCOLOR(colour);
    rt::RESTSCREEN(under);
    return choice;
}

}  // namespace tor
