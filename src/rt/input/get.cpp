#include "rt/input/get.h"

#include <algorithm>
#include <cmath>
#include "rt/fmt/fmt.h"
#include "rt/term/keys.h"

namespace rt {

namespace {

bool g_confirm = true;
bool g_insert = false;

// One running READ (READs nest when a hot key or a validation opens another screen).
struct ReadState {
    Get* current = nullptr;
    int pending_exit = 0;  // a key a handler asked the field to end with
    bool killed = false;
    bool updated = false;
};
std::vector<ReadState*> g_reads;

ReadState* top_read() { return g_reads.empty() ? nullptr : g_reads.back(); }

std::function<void()> g_field_hook;

void field_hook() {
    if (g_field_hook) g_field_hook();
}

void refuse() { TONE(1000, 1); }

std::string number_text(double v) {
    if (v == std::floor(v) && std::fabs(v) < 1e15) return ALLTRIM(STR(v, 20, 0));
    return ALLTRIM(STR(v, 20, 2));
}

Value convert(VType t, const Value& v) {
    switch (t) {
    case VType::C:
        if (auto s = std::get_if<std::string>(&v)) return *s;
        if (auto d = std::get_if<double>(&v)) return number_text(*d);
        if (auto dt = std::get_if<Date>(&v)) return DTOC(*dt);
        return std::string(std::get<bool>(v) ? "T" : "F");
    case VType::N:
        if (auto d = std::get_if<double>(&v)) return *d;
        if (auto s = std::get_if<std::string>(&v)) return VAL(*s);
        if (auto b = std::get_if<bool>(&v)) return *b ? 1.0 : 0.0;
        return 0.0;
    case VType::D:
        if (auto dt = std::get_if<Date>(&v)) return *dt;
        if (auto s = std::get_if<std::string>(&v)) return CTOD(ALLTRIM(*s));
        return Date();
    case VType::L:
        if (auto b = std::get_if<bool>(&v)) return *b;
        if (auto d = std::get_if<double>(&v)) return *d != 0;
        if (auto s = std::get_if<std::string>(&v)) {
            std::string u = UPPER(ALLTRIM(*s));
            return !u.empty() && (u[0] == 'T' || u[0] == 'Y' || u[0] == 'D');
        }
        return false;
    }
    return v;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

Get::Get(int row, int col, VType type, Getter getter, Setter setter, std::string_view picture)
    : row_(row), col_(col), type_(type), getter_(std::move(getter)), setter_(std::move(setter)),
      pic_text_(picture), pic_(parse_picture(picture)), colour_(current_color()) {}

Get& Get::valid(std::function<bool()> fn) { valid_ = std::move(fn); return *this; }
Get& Get::name(std::string n) { name_ = std::move(n); return *this; }
Get& Get::color(std::string_view colour) { colour_ = parse_color(colour); return *this; }

int Get::width() const {
    int w = edit_ ? edit_->width() : static_cast<int>(field_text(type_, pic_, value()).size());
    return pic_.scroll > 0 ? std::min(pic_.scroll, w) : w;
}

Value Get::value() const { return convert(type_, getter_()); }

void Get::assign(const Value& v) {
    Value nv = convert(type_, v);
    if (type_ == VType::N && field_text(type_, pic_, nv).find('*') != std::string::npos &&
        pic_.tmpl.find('*') == std::string::npos) {
        refuse();  // a number too wide for the picture is not taken (a table field would refuse it)
        return;
    }
    if (type_ == VType::C) {
        // The field keeps its width: a pasted text is padded or cut to the variable's length.
        std::string cur = std::get<std::string>(value());
        if (!cur.empty()) nv = PADR(std::get<std::string>(nv), static_cast<int>(cur.size()));
    }
    setter_(nv);
    if (edit_) {
        if (ReadState* r = top_read(); r && r->current == this) r->updated = true;
        refresh();
    }
}

void Get::refresh() {
    if (edit_) edit_->load(value());
    display();
}

std::string Get::buffer() const { return edit_ ? edit_->text() : field_text(type_, pic_, value()); }

void Get::display() const {
    std::string text = buffer();
    int w = static_cast<int>(text.size());
    int from = 0;
    if (pic_.scroll > 0 && w > pic_.scroll) {
        if (edit_) {
            int c = edit_->cursor();
            from = std::max(0, c - pic_.scroll + 1);
        }
        text = text.substr(from, pic_.scroll);
    }
    SAY(row_, col_, text, edit_ ? colour_.enhanced : colour_.unselected);
}

void Get::place_cursor() const {
    if (!edit_) return;
    int c = edit_->cursor();
    if (pic_.scroll > 0 && edit_->width() > pic_.scroll) c = std::min(c, pic_.scroll - 1);
    SETPOS(row_, col_ + c);
}

void Get::focus() {
    original_ = value();
    edit_.emplace(type_, pic_, original_);
    display();
}

void Get::blur() {
    edit_.reset();
    display();
}

bool Get::assign_buffer() {
    Value v;
    if (!edit_->value(v, value())) return false;
    setter_(v);
    return true;
}

void Get::undo() {
    if (!(value() == original_)) setter_(original_);
}

bool Get::run_valid() { return !valid_ || valid_(); }

// ---------------------------------------------------------------------------------------------

Get get(int row, int col, std::string& var, std::string_view picture) {
    return Get(row, col, VType::C, [&var] { return Value(var); },
               [&var](const Value& v) { var = std::get<std::string>(v); }, picture);
}
Get get(int row, int col, double& var, std::string_view picture) {
    return Get(row, col, VType::N, [&var] { return Value(var); },
               [&var](const Value& v) { var = std::get<double>(v); }, picture);
}
Get get(int row, int col, Date& var, std::string_view picture) {
    return Get(row, col, VType::D, [&var] { return Value(var); },
               [&var](const Value& v) { var = std::get<Date>(v); }, picture);
}
Get get(int row, int col, bool& var, std::string_view picture) {
    return Get(row, col, VType::L, [&var] { return Value(var); },
               [&var](const Value& v) { var = std::get<bool>(v); }, picture);
}
Get get(int row, int col, VType type, Get::Getter getter, Get::Setter setter, std::string_view picture) {
    return Get(row, col, type, std::move(getter), std::move(setter), picture);
}

Get& GET(GetList& gets, Get g) {
    g.display();
    gets.push_back(std::move(g));
    return gets.back();
}

void set_field_hook(std::function<void()> fn) { g_field_hook = std::move(fn); }

void SET_CONFIRM(bool on) { g_confirm = on; }
bool CONFIRM() { return g_confirm; }
void SET_INSERT(bool on) { g_insert = on; }
bool INSERT_MODE() { return g_insert; }

Get* active_get() {
    ReadState* r = top_read();
    return r ? r->current : nullptr;
}

void read_exit(int key) {
    if (ReadState* r = top_read()) r->pending_exit = key;
}

void read_kill() {
    if (ReadState* r = top_read()) r->killed = true;
}

namespace {

enum class Exit { ENTER, UP, DOWN, WRITE, ESCAPE, KILL };

// The exit a key asks for, or nothing for an editing key.
std::optional<Exit> exit_of(int k) {
    switch (k) {
    case K::ENTER: return Exit::ENTER;
    case K::UP: return Exit::UP;
    case K::DOWN: case K::TAB: return Exit::DOWN;
    case K::PGDN: case K::PGUP: case K::CTRL_W: return Exit::WRITE;
    case K::ESC: return Exit::ESCAPE;
    default: return std::nullopt;
    }
}

Exit edit_field(Get& g, ReadState& st) {
    EditBuffer& e = g.edit();
    for (;;) {
        if (st.killed) return Exit::KILL;
        int k;
        if (st.pending_exit) {
            k = st.pending_exit;
            st.pending_exit = 0;
            SET_LASTKEY(k);
        } else {
            g.display();
            g.place_cursor();
            console_refresh();
            k = INKEY(0);
            if (GETKEY(k)) {
                // The handler sees the field as typed so far.
                if (g.changed() && g.assign_buffer()) st.updated = true;
                Value before = g.value();
                if (fire_hotkey(k)) {
                    if (st.killed) return Exit::KILL;
                    if (!(g.value() == before)) {
                        st.updated = true;
                        g.refresh();
                    }
                    continue;
                }
            }
        }
        std::optional<Exit> ex = exit_of(k);
        if (!ex) {
            switch (k) {
            case K::LEFT: e.left(); break;
            case K::RIGHT: e.right(); break;
            case K::HOME: e.home(); break;
            case K::END: e.end(); break;
            case K::BS: e.backspace(); break;
            case K::DEL: e.del(); break;
            case 25: e.clear_to_end(); break;  // Ctrl+Y
            case K::INS: g_insert = !g_insert; break;
            default:
                if (k >= 32 && k <= 255) {
                    if (!e.put(static_cast<uint8_t>(k), g_insert)) refuse();
                    else if (e.typed_out() && !g_confirm) ex = Exit::ENTER;
                }
                break;
            }
            if (!ex) continue;
        }
        if (*ex == Exit::ESCAPE) {
            field_hook();
            return Exit::ESCAPE;
        }
        if (g.changed()) {
            if (!g.assign_buffer()) {  // an impossible date stays to be corrected
                refuse();
                continue;
            }
            st.updated = true;
        }
        g.refresh();
        const bool ok = g.run_valid();
        field_hook();
        if (!ok) {
            if (st.killed) return Exit::KILL;
            g.refresh();
            continue;
        }
        if (st.killed) return Exit::KILL;
        return *ex;
    }
}

}  // namespace

bool READ(GetList& gets, int start) {
    if (gets.empty()) return false;
    ReadState st;
    g_reads.push_back(&st);
    std::string saved_var = active_var();
    struct Restore {
        std::string var;
        ~Restore() {
            g_reads.pop_back();
            set_active_var(var);
        }
    } restore{saved_var};

    for (const Get& g : gets) g.display();
    int n = static_cast<int>(gets.size());
    int i = std::clamp(start, 0, n - 1);
    for (;;) {
        Get& g = gets[i];
        st.current = &g;
        set_active_var(g.name());
        g.focus();
        field_hook();
        Exit ex = edit_field(g, st);
        if (ex == Exit::ESCAPE) {
            // The field being edited keeps the value it had when it was entered.
            g.undo();
        }
        g.blur();
        st.current = nullptr;
        if (ex == Exit::ESCAPE || ex == Exit::KILL || ex == Exit::WRITE) break;
        if (ex == Exit::UP) {
            if (i > 0) --i;
        } else if (ex == Exit::DOWN) {
            if (i + 1 < n) ++i;
        } else {
            if (i + 1 < n) ++i;
            else break;
        }
    }
    return st.updated;
}

}  // namespace rt
