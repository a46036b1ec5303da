// Light-bar menus (PROMPT / MENU TO) and the choice list (ACHOICE).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

struct Prompt {
    int row = 0, col = 0;
    std::string text;
    std::string message;  // shown on the message line while the prompt is highlighted
};

// Draws a prompt in the standard colour and adds it to the prompts the next MENU_TO reads.
void PROMPT(int row, int col, std::string_view text, std::string_view message = "");
// Light-bar selection over the prompts collected by PROMPT (which it then forgets), starting on
// prompt start (1-based). Down / Right next, Up / Left previous (wrapping), Home / End, Enter /
// PgUp / PgDn select, a letter selects the first prompt from the top whose first non-blank
// character is that letter (either case), Esc gives 0. Hot keys work while the bar waits and
// may move it (menu_select). LASTKEY() is the key that ended the menu.
int MENU_TO(int start = 1);
int MENU_TO(const std::vector<Prompt>& prompts, int start = 1);
// The row of prompt messages (SET MESSAGE TO row [CENTER]); 0 = no messages.
void SET_MESSAGE(int row, bool center = false);
// Wraps from the last prompt to the first and back (on by default).
void SET_WRAP(bool on);
// For hot-key handlers: the highlighted prompt of the innermost running menu (0 when none) and
// moving the bar to prompt n.
int menu_current();
void menu_select(int n);

// ---- choice list ----
namespace AC {
// Modes the user function gets.
constexpr int IDLE = 0, HITTOP = 1, HITBOTTOM = 2, EXCEPTION = 3, NOITEM = 4;
// What the user function returns.
constexpr int ABORT = 0, SELECT = 1, CONTINUE = 2, GOTO = 3;
}  // namespace AC
// The user function gets (mode, item 1-based, row in the window 0-based); LASTKEY() is the key.
using AchoiceFn = std::function<int(int mode, int item, int row)>;
// A scrolling list of items in the rectangle, the current one in the enhanced colour. Without a
// user function Enter selects, Esc / Left / Right give 0 and a letter moves to the next item
// starting with it. With one, every key the list does not move on (Enter and Esc included) goes
// to the function as an exception, and reaching either end as HITTOP / HITBOTTOM. Items marked
// false in selectable are shown in the unselected colour and skipped. Returns the chosen item
// (1-based) or 0.
int ACHOICE(int top, int left, int bottom, int right, const std::vector<std::string>& items,
            AchoiceFn fn = {}, const std::vector<bool>& selectable = {}, int start = 1,
            int start_row = 0);

}  // namespace rt
