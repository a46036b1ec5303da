#include "rt/input/menu.h"

#include <algorithm>
#include "rt/fmt/fmt.h"
#include "rt/term/console.h"
#include "rt/term/keys.h"

namespace rt {

namespace {

std::vector<Prompt> g_pending;
int g_msg_row = 0;
bool g_msg_center = false;
bool g_wrap = true;

struct MenuState {
    int current = 0;  // 0-based
    int count = 0;
};
std::vector<MenuState*> g_menus;

char first_letter(const std::string& s) {
    for (char c : s)
        if (c != ' ') return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return 0;
}

}  // namespace

void PROMPT(int row, int col, std::string_view text, std::string_view message) {
    SAY(row, col, text, current_color().standard);
    g_pending.push_back(Prompt{row, col, std::string(text), std::string(message)});
}

int MENU_TO(int start) {
    std::vector<Prompt> prompts;
    prompts.swap(g_pending);
    return MENU_TO(prompts, start);
}

void SET_MESSAGE(int row, bool center) {
    g_msg_row = row;
    g_msg_center = center;
}

void SET_WRAP(bool on) { g_wrap = on; }

int menu_current() { return g_menus.empty() ? 0 : g_menus.back()->current + 1; }

void menu_select(int n) {
    if (g_menus.empty()) return;
    MenuState* m = g_menus.back();
    if (n >= 1 && n <= m->count) m->current = n - 1;
}

int MENU_TO(const std::vector<Prompt>& prompts, int start) {
    if (prompts.empty()) return 0;
    const ColorSpec colour = current_color();
    MenuState st;
    st.count = static_cast<int>(prompts.size());
    st.current = (start >= 1 && start <= st.count) ? start - 1 : 0;
    g_menus.push_back(&st);
    struct Pop { ~Pop() { g_menus.pop_back(); } } pop;

    for (const Prompt& p : prompts) SAY(p.row, p.col, p.text, colour.standard);
    int shown = -1;
    auto show = [&] {
        if (shown == st.current) return;
        if (shown >= 0) SAY(prompts[shown].row, prompts[shown].col, prompts[shown].text, colour.standard);
        const Prompt& p = prompts[st.current];
        SAY(p.row, p.col, p.text, colour.enhanced);
        if (g_msg_row > 0) {
            CLEAR_RECT(g_msg_row, 0, g_msg_row, COLS - 1);
            int c = g_msg_center ? std::max(0, (COLS - static_cast<int>(p.message.size())) / 2) : 0;
            if (!p.message.empty()) SAY(g_msg_row, c, p.message, colour.standard);
        }
        SETPOS(p.row, p.col);
        shown = st.current;
    };
    for (;;) {
        show();
        console_refresh();
        int k = INKEY(0);
        if (fire_hotkey(k)) {
            // The handler may have drawn over the bar: show it again (and move it when the
            // handler chose another prompt).
            if (shown == st.current) shown = -1;
            continue;
        }
        switch (k) {
        case K::DOWN: case K::RIGHT:
            if (st.current + 1 < st.count) ++st.current;
            else if (g_wrap) st.current = 0;
            break;
        case K::UP: case K::LEFT:
            if (st.current > 0) --st.current;
            else if (g_wrap) st.current = st.count - 1;
            break;
        case K::HOME: st.current = 0; break;
        case K::END: st.current = st.count - 1; break;
        case K::ENTER: case K::PGUP: case K::PGDN:
            return st.current + 1;
        case K::ESC:
            return 0;
        default:
            if (k > 32 && k < 256) {
                char c = static_cast<char>(std::toupper(k));
                for (int i = 0; i < st.count; ++i)
                    if (first_letter(prompts[i].text) == c) {
                        st.current = i;
                        show();
                        return i + 1;
                    }
            }
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------------

int ACHOICE(int top, int left, int bottom, int right, const std::vector<std::string>& items,
            AchoiceFn fn, const std::vector<bool>& selectable, int start, int start_row) {
    const int n = static_cast<int>(items.size());
    const int height = bottom - top + 1;
    const int width = right - left + 1;
    const ColorSpec colour = current_color();
    auto can = [&](int i) { return i >= 0 && i < n && (i >= static_cast<int>(selectable.size()) || selectable[i]); };
    int first_sel = -1, last_sel = -1;
    for (int i = 0; i < n; ++i)
        if (can(i)) { if (first_sel < 0) first_sel = i; last_sel = i; }
    if (n == 0 || first_sel < 0 || height <= 0 || width <= 0) {
        if (fn) fn(AC::NOITEM, 0, 0);
        return 0;
    }
    int cur = std::clamp(start - 1, 0, n - 1);
    if (!can(cur)) {
        int j = cur;
        while (j < n && !can(j)) ++j;
        cur = j < n ? j : last_sel;
    }
    int first = std::clamp(cur - start_row, 0, std::max(0, n - height));
    first = std::min(first, cur);

    auto draw = [&] {
        if (cur < first) first = cur;
        if (cur >= first + height) first = cur - height + 1;
        for (int r = 0; r < height; ++r) {
            int i = first + r;
            std::string text = i < n ? PADR(items[i], width) : SPACE(width);
            Attr a = i == cur ? colour.enhanced : (i < n && !can(i) ? colour.unselected : colour.standard);
            SAY(top + r, left, text, a);
        }
        SETPOS(top + cur - first, left);
    };
    auto move_to = [&](int target, int dir) {
        // The nearest selectable item from target in direction dir (then the other way).
        for (int j = target; j >= 0 && j < n; j += dir)
            if (can(j)) return j;
        for (int j = target; j >= 0 && j < n; j -= dir)
            if (can(j)) return j;
        return cur;
    };
    auto letter_goto = [&](int k) {
        if (k <= 32 || k >= 256) return;
        char c = static_cast<char>(std::toupper(k));
        for (int s = 1; s <= n; ++s) {
            int j = (cur + s) % n;
            if (can(j) && first_letter(items[j]) == c) { cur = j; return; }
        }
    };
    // Applies what the user function answered; returns the list's result when it ends.
    auto answer = [&](int r, int k, int& result) {
        switch (r) {
        case AC::ABORT: result = 0; return true;
        case AC::SELECT: result = cur + 1; return true;
        case AC::GOTO: letter_goto(k); return false;
        default: return false;
        }
    };

    for (;;) {
        draw();
        int result;
        if (fn && NEXTKEY() == 0) {
            if (answer(fn(AC::IDLE, cur + 1, cur - first), 0, result)) return result;
            draw();
        }
        console_refresh();
        int k = INKEY(0);
        if (fire_hotkey(k)) continue;
        int mode = AC::IDLE;
        switch (k) {
        case K::UP:
            if (cur <= first_sel) mode = AC::HITTOP;
            else cur = move_to(cur - 1, -1);
            break;
        case K::DOWN:
            if (cur >= last_sel) mode = AC::HITBOTTOM;
            else cur = move_to(cur + 1, 1);
            break;
        case K::PGUP:
            if (cur <= first_sel) mode = AC::HITTOP;
            else {
                first = std::max(0, first - height);
                cur = move_to(std::max(0, cur - height), -1);
            }
            break;
        case K::PGDN:
            if (cur >= last_sel) mode = AC::HITBOTTOM;
            else {
                first = std::min(std::max(0, n - height), first + height);
                cur = move_to(std::min(n - 1, cur + height), 1);
            }
            break;
        case K::HOME: cur = first_sel; break;
        case K::END: cur = last_sel; break;
        default:
            if (fn) { mode = AC::EXCEPTION; break; }
            if (k == K::ENTER) return cur + 1;
            if (k == K::ESC || k == K::LEFT || k == K::RIGHT) return 0;
            letter_goto(k);
            break;
        }
        if (fn && mode != AC::IDLE) {
            draw();
            if (answer(fn(mode, cur + 1, cur - first), k, result)) return result;
        }
    }
}

}  // namespace rt
