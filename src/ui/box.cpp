// Boxes with a drop shadow and the multi-line help box.
#include "ui/ui.h"

#include <algorithm>

#include "rt/term/console.h"
#include "rt/term/keys.h"

namespace tor {

bool SHADOW(int top, int left, int bottom, int right) {
    const int t = std::clamp(top + 1, 1, rt::ROWS - 1);
    const int l = std::clamp(left + 1, 1, rt::COLS - 1);
    const int b = std::clamp(bottom + 1, 1, rt::ROWS - 1);
    const int r = std::clamp(right + 1, 1, rt::COLS - 1);
    // Two columns at the right edge and two rows at the bottom; the box drawn afterwards covers
    // its own right column and bottom row again.
    rt::SET_ATTR(t, r - 1, b, r, 0x07);
    rt::SET_ATTR(b - 1, l, b, r, 0x07);
    return true;
}

bool BOXSHAD(int top, int left, int bottom, int right, std::string_view frame, std::string_view title) {
    std::string f;
    if (frame.empty())
        f = FRAME_SINGLE;
    else if (frame == "double")
        f = FRAME_DOUBLE;
    else
        f = std::string(frame);
    SHADOW(top, left, bottom, right);
    rt::CLEAR_RECT(top, left, bottom, right);
    rt::BOX(top, left, bottom, right, f);
    if (!title.empty()) {
        const int col = (left + right) / 2 - static_cast<int>(title.size()) / 2;
        rt::SAY(top, col, title);
    }
    return true;
}

std::vector<std::string> helpbox_lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (lines.size() < 20 && pos < text.size()) {
        const size_t semi = text.find(';', pos);
        if (semi == std::string_view::npos) {
            // A last line without its ";" is still shown.
            std::string rest(text.substr(pos));
            if (rest.find_first_not_of(' ') != std::string::npos) lines.push_back(rest);
            break;
        }
        lines.emplace_back(text.substr(pos, semi - pos));
        pos = semi + 2;  // the ";" and the character after it
    }
    return lines;
}

void HELPBOX() {
    if (HELPKEY.empty()) return;
    const std::vector<std::string> lines = helpbox_lines(HELPKEY);
    int longest = 0;
    for (const auto& s : lines) longest = std::max(longest, static_cast<int>(s.size()));
    const int w = longest + 1;
    const int l = (78 - w) / 2;
    const int n = static_cast<int>(lines.size());

    const rt::ScreenImage saved = rt::SAVESCREEN();
    const std::string colour = rt::SETCOLOR(SVETLO);
    rt::BOX(2, l, 3 + n, l + w + 2, FRAME_DOUBLE);
    for (int i = 1; i <= n; ++i) rt::SAY(2 + i, l + 2, lines[i - 1]);
    rt::INKEY(0);
    rt::RESTSCREEN(saved);
    rt::SETCOLOR(colour);
}

}  // namespace tor
