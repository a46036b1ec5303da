#include "rt/input/memoedit.h"

#include <algorithm>
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

namespace rt {

std::vector<std::string> memo_lines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if ((c == '\r' || c == '\x8d') && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.emplace_back();
            ++i;
        } else if (c == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

namespace {

struct Memo {
    std::vector<std::string> lines;
    int line = 0, col = 0;        // cursor in the text
    int first_line = 0, first_col = 0;
    int top, left, height, width;
    Attr attr;

    std::string& cur() { return lines[line]; }

    void clamp_col() { col = std::clamp(col, 0, static_cast<int>(cur().size())); }

    void draw() {
        if (line < first_line) first_line = line;
        if (line >= first_line + height) first_line = line - height + 1;
        if (col < first_col) first_col = col;
        if (col >= first_col + width) first_col = col - width + 1;
        for (int r = 0; r < height; ++r) {
            int i = first_line + r;
            std::string s;
            if (i < static_cast<int>(lines.size()) && first_col < static_cast<int>(lines[i].size()))
                s = lines[i].substr(first_col, width);
            SAY(top + r, left, PADR(s, width), attr);
        }
        SETPOS(top + line - first_line, left + col - first_col);
    }

    std::string text() const {
        std::string out;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) out += "\r\n";
            out += lines[i];
        }
        return out;
    }

    void up() { if (line > 0) { --line; clamp_col(); } }
    void down() { if (line + 1 < static_cast<int>(lines.size())) { ++line; clamp_col(); } }
    void left_key() {
        if (col > 0) --col;
        else if (line > 0) { --line; col = static_cast<int>(cur().size()); }
    }
    void right_key() {
        if (col < static_cast<int>(cur().size())) ++col;
        else if (line + 1 < static_cast<int>(lines.size())) { ++line; col = 0; }
    }
    void page(int dir) {
        int n = static_cast<int>(lines.size());
        line = std::clamp(line + dir * height, 0, n - 1);
        first_line = std::clamp(first_line + dir * height, 0, std::max(0, n - height));
        clamp_col();
    }
    void enter() {
        std::string rest = cur().substr(col);
        cur().erase(col);
        lines.insert(lines.begin() + line + 1, rest);
        ++line;
        col = 0;
    }
    void backspace() {
        if (col > 0) { cur().erase(col - 1, 1); --col; return; }
        if (line == 0) return;
        col = static_cast<int>(lines[line - 1].size());
        lines[line - 1] += cur();
        lines.erase(lines.begin() + line);
        --line;
    }
    void del() {
        if (col < static_cast<int>(cur().size())) { cur().erase(col, 1); return; }
        if (line + 1 < static_cast<int>(lines.size())) {
            cur() += lines[line + 1];
            lines.erase(lines.begin() + line + 1);
        }
    }
    void delete_line() {
        if (lines.size() == 1) lines[0].clear();
        else {
            lines.erase(lines.begin() + line);
            if (line >= static_cast<int>(lines.size())) line = static_cast<int>(lines.size()) - 1;
        }
        col = 0;
    }
    void type(char c) {
        if (INSERT_MODE() || col >= static_cast<int>(cur().size())) cur().insert(cur().begin() + col, c);
        else cur()[col] = c;
        ++col;
    }
};

}  // namespace

std::string MEMOEDIT(const std::string& text, int top, int left, int bottom, int right, bool editable) {
    Memo m;
    m.lines = memo_lines(text);
    m.top = top;
    m.left = left;
    m.height = std::max(1, bottom - top + 1);
    m.width = std::max(1, right - left + 1);
    m.attr = current_color().standard;
    for (;;) {
        m.draw();
        console_refresh();
        int k = INKEY(0);
        if (fire_hotkey(k)) continue;
        switch (k) {
        case K::CTRL_W: return editable ? m.text() : text;
        case K::ESC: return text;
        case K::UP: m.up(); break;
        case K::DOWN: m.down(); break;
        case K::LEFT: m.left_key(); break;
        case K::RIGHT: m.right_key(); break;
        case K::HOME: m.col = 0; break;
        case K::END: m.col = static_cast<int>(m.cur().size()); break;
        case K::PGUP: m.page(-1); break;
        case K::PGDN: m.page(1); break;
        case K::INS: SET_INSERT(!INSERT_MODE()); break;
        default:
            if (!editable) break;
            if (k == K::ENTER) m.enter();
            else if (k == K::BS) m.backspace();
            else if (k == K::DEL) m.del();
            else if (k == 25) m.delete_line();  // Ctrl+Y
            else if (k >= 32 && k <= 255) m.type(static_cast<char>(k));
            break;
        }
    }
}

}  // namespace rt
