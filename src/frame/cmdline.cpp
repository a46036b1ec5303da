// The command line: one optional switch, matched by prefix on the upper-cased argument, and the
// help text of "/?".
#include <string>
#include <string_view>

#include "frame/frame.h"
#include "rt/fmt/fmt.h"

namespace tor {

std::string parse_switch(std::string_view arg) {
    const std::string a = rt::UPPER(arg);
    auto starts = [&](std::string_view sw) { return a.compare(0, sw.size(), sw) == 0; };
    if (starts("/?")) return "?";
    // Tested in this order; the last switch that matches is the one kept.
    static const std::pair<const char*, const char*> switches[] = {
        {"/WP", "WP"}, {"/3", "3"}, {"/Z", "Z"}, {"/B", "B"}, {"/S", "S"},
        {"/M", "M"},   {"/D", "CD"}, {"/RUC", "RUC"}, {"/U", "U"}};
    std::string chosen = "!";
    for (const auto& [text, code] : switches)
        if (starts(text)) chosen = code;
    return chosen;
}

std::string help_text() {
    return "PARAMETRI PROGRAMA:\n"
           "/B  - Ukljucuje/Iskljucuje Boju.\n"
           "/Z  - Ukljucuje/Iskljucuje Zvuk.\n"
           "/S  - Promena potpisa Sastavio.\n"
           "/M  - Promena ispisa Mesta na Obrascima.\n"
           "/D  - Promena Datuma Obrade.\n"
           "/U  - Promena Datuma Obrade.\n"
           "/?  - Ispis ovog Teksta.\n"
           "\n";
}

}  // namespace tor
