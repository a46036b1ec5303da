// Colour strings of the xBase runtime: "W+/B,W+/R,,,W+/B", "GR+*/B", "I", "w+/n" …
#include <cctype>
#include <string>

#include "rt/fmt/error.h"
#include "rt/term/console.h"

namespace rt {

namespace {
[[noreturn]] void bad(std::string_view whole) {
    throw Error("Neispravna boja \"" + std::string(whole) + "\"");
}

Attr parse_part(std::string_view s, std::string_view whole) {
    int fg = 0, bg = 0;
    bool bright = false, blink = false, slash = false, any = false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
        int& side = slash ? bg : fg;
        switch (c) {
        case ' ': break;
        case '+': bright = true; any = true; break;
        case '*': blink = true; any = true; break;
        case '/':
            if (slash) bad(whole);
            slash = true;
            break;
        case 'N': any = true; break;
        case 'B': side |= 1; any = true; break;
        case 'G': side |= 2; any = true; break;
        case 'R': side |= 4; any = true; break;
        case 'W': side |= 7; any = true; break;
        case 'I': fg = 0; bg = 7; any = true; break;   // inverse
        case 'X': fg = 0; bg = 0; any = true; break;   // blank
        case 'U': fg = 1; bg = 0; any = true; break;   // underline (blue on a colour display)
        default:
            if (std::isdigit(static_cast<unsigned char>(c))) {
                int n = 0;
                while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])))
                    n = n * 10 + (s[i++] - '0');
                --i;
                if (n > 15) bad(whole);
                if (slash) {
                    bg = n & 7;
                    if (n & 8) blink = true;
                } else {
                    fg = n & 7;
                    if (n & 8) bright = true;
                }
                any = true;
                break;
            }
            bad(whole);
        }
    }
    if (!any) bad(whole);
    return static_cast<Attr>((fg & 7) | (bright ? 0x08 : 0) | ((bg & 7) << 4) | (blink ? 0x80 : 0));
}

bool blank(std::string_view s) {
    for (char c : s)
        if (c != ' ') return false;
    return true;
}
}  // namespace

Attr parse_attr(std::string_view one_part) { return parse_part(one_part, one_part); }

ColorSpec parse_color(std::string_view s) {
    Attr parts[5];
    bool given[5] = {false, false, false, false, false};
    size_t start = 0;
    int n = 0;
    for (;;) {
        size_t comma = s.find(',', start);
        std::string_view part = s.substr(start, comma == std::string_view::npos ? s.npos : comma - start);
        if (n == 5) bad(s);
        if (!blank(part)) {
            parts[n] = parse_part(part, s);
            given[n] = true;
        }
        ++n;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    ColorSpec c;
    if (given[0]) c.standard = parts[0];
    c.enhanced = given[1] ? parts[1]
                          : static_cast<Attr>(((c.standard & 0x07) << 4) | ((c.standard >> 4) & 0x07));
    c.border = given[2] ? parts[2] : 0;
    c.background = given[3] ? parts[3] : 0;
    c.unselected = given[4] ? parts[4] : c.enhanced;
    return c;
}

}  // namespace rt
