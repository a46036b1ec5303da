// INKEY and its companions: the type-ahead buffer in front of the back end's keyboard,
// LASTKEY, hot keys, and the key-script syntax of headless mode.
#include "rt/term/keys.h"

#include <cctype>
#include <deque>
#include <map>
#include <set>

#include "rt/fmt/error.h"
#include "rt/os/clock.h"
#include "rt/term/console.h"
#include "rt/term/term_internal.h"

namespace rt {

namespace {
struct Keyboard {
    std::deque<int> typeahead;
    int lastkey = 0;
    std::map<int, HotKey> hotkeys;
    std::set<int> running;  // hot keys whose handler is running now
    std::string proc;
    std::string var;
};
Keyboard& KB() {
    static Keyboard* k = new Keyboard;
    return *k;
}

// Keys with a name in the key-script syntax, the preferred name of a code first.
struct Named {
    const char* name;
    int code;
};
constexpr Named kNames[] = {
    {"Enter", K::ENTER},          {"Esc", K::ESC},
    {"Tab", K::TAB},              {"BS", K::BS},
    {"Space", K::SPACE},          {"Up", K::UP},
    {"Down", K::DOWN},            {"Left", K::LEFT},
    {"Right", K::RIGHT},          {"Home", K::HOME},
    {"End", K::END},              {"PgUp", K::PGUP},
    {"PgDn", K::PGDN},            {"Ins", K::INS},
    {"Del", K::DEL},              {"F1", K::F1},
    {"F2", K::F2},                {"F3", K::F3},
    {"F4", K::F4},                {"F5", K::F5},
    {"F6", K::F6},                {"F7", K::F7},
    {"F8", K::F8},                {"F9", K::F9},
    {"F10", K::F10},              {"F11", K::F11},
    {"F12", K::F12},              {"Ctrl+Enter", K::CTRL_ENTER},
    {"Ctrl+Home", K::CTRL_HOME},  {"Ctrl+Ins", K::CTRL_INS},
    {"Ctrl+W", K::CTRL_W},        {"Ctrl+F10", K::CTRL_F10},
    {"Alt+PgDn", K::ALT_PGDN},    {"Alt+Up", K::ALT_UP},
    {"Alt+Down", K::ALT_DOWN},    {"Alt+Left", K::ALT_LEFT},
    {"Alt+Right", K::ALT_RIGHT},  {"Alt+Enter", K::ALT_ENTER},
};

// Alt + letter codes, 'A'..'Z'.
constexpr int kAltLetters[26] = {286, 304, 302, 288, 274, 289, 290, 291, 279, 292, 293, 294, 306,
                                 305, 280, 281, 272, 275, 287, 276, 278, 303, 273, 301, 277, 300};

bool iequal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int take(int k) {
    KB().lastkey = k;
    return k;
}

int from_typeahead() {
    Keyboard& kb = KB();
    if (kb.typeahead.empty()) return 0;
    int k = kb.typeahead.front();
    kb.typeahead.pop_front();
    return k;
}
}  // namespace

namespace term {
void reset_keyboard() {
    Keyboard& kb = KB();
    kb.typeahead.clear();
    kb.lastkey = 0;
    kb.running.clear();
}
}  // namespace term

int alt_key(char c) {
    unsigned char u = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    if (u >= 'A' && u <= 'Z') return kAltLetters[u - 'A'];
    if (u == '0') return K::ALT_0;
    if (u >= '1' && u <= '9') return 376 + (u - '1');
    return 0;
}

// ---- reading keys ----
int INKEY() {
    console_refresh();
    if (int k = from_typeahead()) return take(k);
    term::Backend* b = term::backend();
    if (!b) return 0;
    int k = b->peek_key(term::Wait::POLL, 0);
    if (k) {
        b->take_key();
        take(k);
    }
    return k;
}

int INKEY(double secs) {
    console_refresh();
    if (int k = from_typeahead()) return take(k);
    term::Backend* b = term::backend();
    if (!b) {
        if (secs > 0) {
            rt::clk::sleep(secs);
            return 0;
        }
        throw Error("Program ceka taster, a tastatura nije pokrenuta");
    }
    int k = b->peek_key(secs > 0 ? term::Wait::TIMED : term::Wait::FOREVER, secs);
    if (k) {
        b->take_key();
        take(k);
    }
    return k;
}

int LASTKEY() { return KB().lastkey; }
void SET_LASTKEY(int k) { KB().lastkey = k; }

int NEXTKEY() {
    if (!KB().typeahead.empty()) return KB().typeahead.front();
    term::Backend* b = term::backend();
    return b ? b->peek_key(term::Wait::POLL, 0) : 0;
}

bool KEY_WAITING(double secs) {
    console_refresh();
    if (!KB().typeahead.empty()) return true;
    term::Backend* b = term::backend();
    if (!b) {
        if (secs > 0) {
            rt::clk::sleep(secs);
            return false;
        }
        throw Error("Program ceka taster, a tastatura nije pokrenuta");
    }
    return b->peek_key(secs > 0 ? term::Wait::TIMED : term::Wait::FOREVER, secs) != 0;
}

// ---- type-ahead ----
void KEYBOARD(const std::vector<int>& keys, bool replace) {
    Keyboard& kb = KB();
    if (replace) kb.typeahead.clear();
    for (int k : keys)
        if (k != 0) kb.typeahead.push_back(k);
}

void KEYBOARD(std::string_view text, bool replace) {
    Keyboard& kb = KB();
    if (replace) kb.typeahead.clear();
    for (char c : text)
        if (c != 0) kb.typeahead.push_back(static_cast<unsigned char>(c));
}

void KEYBOARD_CLEAR() { KB().typeahead.clear(); }

// ---- hot keys ----
HotKey SETKEY(int code, HotKey handler) {
    Keyboard& kb = KB();
    HotKey old;
    auto it = kb.hotkeys.find(code);
    if (it != kb.hotkeys.end()) {
        old = std::move(it->second);
        kb.hotkeys.erase(it);
    }
    if (handler) kb.hotkeys.emplace(code, std::move(handler));
    return old;
}

HotKey GETKEY(int code) {
    auto it = KB().hotkeys.find(code);
    return it == KB().hotkeys.end() ? HotKey{} : it->second;
}

bool fire_hotkey(int code) {
    Keyboard& kb = KB();
    auto it = kb.hotkeys.find(code);
    if (it == kb.hotkeys.end() || kb.running.count(code)) return false;
    HotKey h = it->second;  // a copy: the handler may rebind its own key
    kb.running.insert(code);
    struct Guard {
        int code;
        ~Guard() { KB().running.erase(code); }
    } guard{code};
    std::string proc = kb.proc, var = kb.var;
    h(proc, 0, var);
    return true;
}

const std::string& current_proc() { return KB().proc; }

ProcScope::ProcScope(std::string name) : saved_(std::move(KB().proc)) { KB().proc = std::move(name); }
ProcScope::~ProcScope() { KB().proc = std::move(saved_); }

const std::string& active_var() { return KB().var; }
void set_active_var(std::string name) { KB().var = std::move(name); }

// ---- key scripts ----
namespace {
[[noreturn]] void script_error(int line, const std::string& what) {
    throw Error("red " + std::to_string(line) + ": " + what);
}

bool parse_int(std::string_view s, int& out) {
    size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    if (i == s.size() || s.size() - i > 6) return false;
    long v = 0;
    for (; i < s.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
        v = v * 10 + (s[i] - '0');
    }
    out = static_cast<int>(neg ? -v : v);
    return true;
}

// The item for the name between braces; false when the name is unknown.
bool lookup(std::string_view name, ScriptItem& item) {
    if (iequal(name, "pause")) { item = {ScriptItem::PAUSE, 0}; return true; }
    if (iequal(name, "dump")) { item = {ScriptItem::DUMP, 0}; return true; }
    for (const Named& n : kNames)
        if (iequal(name, n.name)) { item = {ScriptItem::KEY, n.code}; return true; }
    if (name.size() == 5 && iequal(name.substr(0, 4), "Alt+")) {
        if (int code = alt_key(name[4])) { item = {ScriptItem::KEY, code}; return true; }
    }
    return false;
}
}  // namespace

std::vector<ScriptItem> parse_key_script(std::string_view text) {
    std::vector<ScriptItem> out;
    out.reserve(text.size());
    int line = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        std::string_view l = text.substr(pos, nl == text.npos ? text.npos : nl - pos);
        pos = nl == text.npos ? text.size() + 1 : nl + 1;
        ++line;
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        if (!l.empty() && l[0] == '#') continue;
        size_t i = 0;
        while (i < l.size()) {
            unsigned char c = static_cast<unsigned char>(l[i]);
            if (c == '{') {
                if (i + 1 < l.size() && l[i + 1] == '{') {
                    out.push_back({ScriptItem::KEY, '{'});
                    i += 2;
                    continue;
                }
                size_t close = l.find('}', i + 1);
                if (close == l.npos)
                    script_error(line, "nezatvorena zagrada u \"" + std::string(l.substr(i)) + "\"");
                std::string_view name = l.substr(i + 1, close - i - 1);
                ScriptItem item;
                int code = 0;
                if (lookup(name, item)) {
                    out.push_back(item);
                } else if (parse_int(name, code)) {
                    if (code == 0 || code < -99999 || code > 99999)
                        script_error(line, "neispravan kod tastera {" + std::string(name) + "}");
                    out.push_back({ScriptItem::KEY, code});
                } else {
                    script_error(line, "nepoznat taster {" + std::string(name) + "}");
                }
                i = close + 1;
            } else if (c >= 0x20 && c < 0x7F) {
                out.push_back({ScriptItem::KEY, c});
                ++i;
            } else if (c >= 0x80) {
                char32_t cp = 0;
                if (!term::utf8_next(l, i, cp))
                    script_error(line, "neispravan UTF-8 znak");
                int b = unicode_to_cp437(cp);
                if (b < 0x80) script_error(line, "znak van kodne strane 437");
                out.push_back({ScriptItem::KEY, b});
            } else {
                script_error(line, "kontrolni znak " + std::to_string(c) + " (posebni tasteri se pisu kao {Ime})");
            }
        }
    }
    return out;
}

std::string key_name(int code) {
    if (code > 32 && code < 127 && code != '{') return std::string(1, static_cast<char>(code));
    if (code == '{') return "{{";
    for (const Named& n : kNames)
        if (n.code == code) return std::string("{") + n.name + "}";
    for (int i = 0; i < 26; ++i)
        if (kAltLetters[i] == code) return std::string("{Alt+") + static_cast<char>('A' + i) + "}";
    if (code == K::ALT_0) return "{Alt+0}";
    if (code >= 376 && code <= 384) return "{Alt+" + std::to_string(code - 375) + "}";
    return "{" + std::to_string(code) + "}";
}

}  // namespace rt
