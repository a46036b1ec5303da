// The keyboard: INKEY codes of the xBase runtime, the type-ahead buffer and hot keys.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

namespace K {
constexpr int HOME = 1, CTRL_A = 1, PGDN = 3, RIGHT = 4, UP = 5, END = 6, DEL = 7, BS = 8, TAB = 9,
              CTRL_ENTER = 10, ENTER = 13, PGUP = 18, LEFT = 19, INS = 22, CTRL_W = 23, DOWN = 24,
              ESC = 27, F1 = 28, CTRL_HOME = 29, SPACE = 32, PLUS = 43;
constexpr int F2 = -1, F3 = -2, F4 = -3, F5 = -4, F6 = -5, F7 = -6, F8 = -7, F9 = -8, F10 = -9;
constexpr int F11 = -40, F12 = -41;
constexpr int CTRL_F10 = -29;
constexpr int ALT_ENTER = 284, ALT_A = 286, ALT_D = 288, ALT_C = 302, ALT_V = 303;
constexpr int ALT_R = 275, ALT_U = 278, ALT_S = 287, ALT_K = 293, ALT_Z = 300;
constexpr int ALT_0 = 385, CTRL_INS = 402, ALT_UP = 408, ALT_LEFT = 411, ALT_RIGHT = 413,
              ALT_DOWN = 416, ALT_PGDN = 417;
constexpr int REFRESH = 255;  // sentinel some browses push to rebuild themselves
}  // namespace K

// Alt + letter ('A'..'Z', either case) and Alt + digit ('0'..'9') codes.
int alt_key(char c);

// INKEY(): the next key without waiting (0 when none). INKEY(secs): waits up to secs seconds
// (0 = without limit); 0 when none came. The type-ahead buffer comes before the keyboard.
// Every key returned becomes LASTKEY. A timed wait that gets no key leaves LASTKEY as it was.
// Headless: INKEY() and NEXTKEY() take or see only a key at the head of the script, never going
// past a {pause} or {dump}; a timed wait performs {dump}s and takes one {pause} as its timeout;
// an untimed wait performs {dump}s and skips {pause}s. When the script has run out, an untimed
// wait dumps the screen and ends the program with status 3; timed waits time out, until they have
// waited 60 s of virtual time in all (a loop waiting for a key), then they end it the same way.
int INKEY();
int INKEY(double secs);
int LASTKEY();
void SET_LASTKEY(int k);
// The next key without taking it (0 when none is waiting).
int NEXTKEY();
// KEYBOARD: pushes keys into the type-ahead buffer; replace = empty the buffer first.
void KEYBOARD(const std::vector<int>& keys, bool replace = true);
void KEYBOARD(std::string_view text, bool replace = true);
void KEYBOARD_CLEAR();
// Waits until a key is available or secs pass (0 = without limit) without taking the key.
// True when a key is waiting. (Used by lock pauses: a key ends the pause, it is not consumed.)
bool KEY_WAITING(double secs);

// ---- hot keys (SET KEY) ----
// A handler gets the calling procedure, a line number (0 when unknown) and the name of the
// variable of the active input field ("" when none).
using HotKey = std::function<void(const std::string& proc, int line, const std::string& var)>;
// Binds code to handler (an empty handler unbinds); returns the previous binding.
HotKey SETKEY(int code, HotKey handler);
HotKey GETKEY(int code);
// Called by wait states (READ, menus, lists, browses, the memo editor) for every key they read:
// when the key is bound, runs its handler (never re-entering a handler already running for that
// key) and returns true; the wait state then ignores the key. While a key's handler runs, that
// key is an ordinary key for the wait states inside the handler (false).
bool fire_hotkey(int code);

// The calling procedure that hot-key handlers see; screens set it with a ProcScope.
const std::string& current_proc();
struct ProcScope {
    explicit ProcScope(std::string name);
    ~ProcScope();
    ProcScope(const ProcScope&) = delete;
    ProcScope& operator=(const ProcScope&) = delete;
private:
    std::string saved_;
};
// The active input field's variable name, set by READ (empty outside a READ).
const std::string& active_var();
void set_active_var(std::string name);

// ---- key scripts (headless mode) ----
// A key script token: a key code, or a pause / dump command.
struct ScriptItem {
    enum Kind { KEY, PAUSE, DUMP } kind = KEY;
    int code = 0;
};
// Parses the key-script syntax; a malformed script throws rt::Error naming the line.
std::vector<ScriptItem> parse_key_script(std::string_view text);
// The name of a key code for messages and the key-script syntax ("{Enter}", "a", "{-9}").
std::string key_name(int code);

}  // namespace rt
