// Input helpers and the toolkit's hot keys: the one-line text prompt, Ctrl+Enter, copy and paste
// of a field's value, screen snapshots, and the Right/Left moves out of a pull-down menu.
#include <algorithm>
#include <string>
#include <vector>

#include "frame/vars.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/keys.h"
#include "ui/tools.h"
#include "ui/ui.h"

namespace tor {

namespace {

void tone(double freq, double ticks) {
    rt::SET_SOUND(BEEP);
    rt::TONE(freq, ticks);
}

std::string getuget(int row, int col, int width, const std::string* old) {
    const std::string colour = rt::SETCOLOR();
    const bool cursor = rt::CURSOR_ON();
    rt::SETCURSOR(false);  // the blinking mark is the cursor
    std::string text = old ? rt::ALLTRIM(*old) : std::string();
    auto draw = [&] {
        rt::SAY_COLOR(row, col + 1, std::string(static_cast<size_t>(std::max(0, width)), '\xDB'), NORMAL);
        rt::SAY_COLOR(row, col + 1, text, INVERZ);
    };
    draw();
    std::string result;
    bool done = false;
    // The position is always just after the text: it never moves left of the field.
    while (static_cast<int>(text.size()) < width) {
        const int i = static_cast<int>(text.size()) + 1;
        rt::SAY_COLOR(row, col + i, "_", IBLINK);
        const int k = rt::INKEY(0);
        if (k == rt::K::ENTER) {
            result = text;
            done = true;
            break;
        }
        if (k == rt::K::ESC) {
            result = old ? *old : std::string("0");
            done = true;
            break;
        }
        if (k == rt::K::BS) {
            if (!text.empty()) text.pop_back();
        } else if (k == rt::K::PLUS) {
            KALL();  // the position stays where it was
        } else if (k >= 32 && k <= 126) {
            text += static_cast<char>(k);
        }
        text = rt::UPPER(text);
        draw();
    }
    if (!done) result = text;  // the width is filled: taken as if Enter were pressed
    _KLJUC = result;
    rt::SETCOLOR(colour);
    rt::SETCURSOR(cursor);
    return result;
}

}  // namespace

std::string GETUGET(int row, int col, int width) { return getuget(row, col, width, nullptr); }

std::string GETUGET(int row, int col, int width, std::string_view old) {
    const std::string o(old);
    return getuget(row, col, width, &o);
}

void MY_CTRL_ENTER() {
    // The mark belongs to the field it was set in: every field entered or left drops it, so a
    // Ctrl+Enter in a field without a list never opens the list of the next code field.
    static const bool hooked = [] {
        rt::set_field_hook([] { PRESED_CENT = false; });
        return true;
    }();
    (void)hooked;
    PRESED_CENT = true;
    rt::KEYBOARD(std::vector<int>{rt::K::ENTER}, true);
}

void VO_SAVE_SCREEN() {
    CLIP = rt::SAVESCREEN();
    tone(345, 5);
}

void VO_REST_SCREEN() {
    const rt::ScreenImage current = rt::SAVESCREEN();
    if (CLIP.valid()) rt::RESTSCREEN(CLIP);
    tone(1345, 2);
    rt::INKEY(0);
    rt::RESTSCREEN(current);
}

void VO_COPY() {
    if (rt::Get* g = rt::active_get()) VO_TO_PASTE = g->value();
}

void VO_PASTE() {
    rt::Get* g = rt::active_get();
    if (!g) return;
    if (rt::value_type(VO_TO_PASTE) != g->type()) {
        TON(1);
        return;
    }
    g->assign(VO_TO_PASTE);
}

void DESNO() {
    if (POSM.valid()) rt::RESTSCREEN(POSM);
    rt::KEYBOARD(std::vector<int>{rt::K::ESC, rt::K::RIGHT, rt::K::ENTER}, true);
}

void LEVO() {
    if (POSM.valid()) rt::RESTSCREEN(POSM);
    rt::KEYBOARD(std::vector<int>{rt::K::ESC, rt::K::LEFT, rt::K::ENTER}, true);
}

void register_ui_hotkeys() {
    register_tool_hotkeys();
    rt::SETKEY(rt::K::CTRL_F10, [](const std::string&, int, const std::string&) { DBDEBUG(); });
    rt::SETKEY(rt::K::ALT_C, [](const std::string&, int, const std::string&) { VO_COPY(); });
    rt::SETKEY(rt::K::ALT_V, [](const std::string&, int, const std::string&) { VO_PASTE(); });
    rt::SETKEY(rt::K::TAB, [](const std::string&, int, const std::string&) { MESSAGE(); });
    rt::SETKEY(rt::K::F1, [](const std::string&, int, const std::string&) { HELP(); });
    rt::SETKEY(rt::K::CTRL_HOME, [](const std::string&, int, const std::string&) { VO_REST_SCREEN(); });
    rt::SETKEY(rt::K::CTRL_INS, [](const std::string&, int, const std::string&) { VO_SAVE_SCREEN(); });
    rt::SETKEY(rt::K::CTRL_ENTER, [](const std::string&, int, const std::string&) { MY_CTRL_ENTER(); });
}

}  // namespace tor
