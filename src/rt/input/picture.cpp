#include "rt/input/picture.h"

#include <cctype>
#include <cmath>
#include <vector>
#include "rt/fmt/fmt.h"

namespace rt {

namespace {
bool is_digit(uint8_t c) { return c >= '0' && c <= '9'; }
bool is_letter(uint8_t c) { return std::isalpha(c) || c >= 128; }
uint8_t to_upper(uint8_t c) { return (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 32) : c; }

bool is_template_char(VType t, char c) {
    switch (t) {
    case VType::N: return c == '9' || c == '#';
    case VType::D: return c == '9';
    case VType::L: return true;
    case VType::C: return c == '9' || c == '#' || c == '!' || c == 'A' || c == 'a' || c == 'N' ||
                          c == 'n' || c == 'X' || c == 'x' || c == 'L' || c == 'l' || c == 'Y' ||
                          c == 'y';
    }
    return false;
}

std::string numeric_template(const Picture& pic) {
    return pic.tmpl.empty() ? std::string(DEFAULT_NUMERIC_TEMPLATE) : pic.tmpl;
}

std::string date_text(const Date& d) {
    if (d.empty()) return "  .  .    ";
    return DTOC(d);
}

std::string logical_text(const Picture& pic, bool b) {
    bool yn = !pic.tmpl.empty() && (pic.tmpl[0] == 'Y' || pic.tmpl[0] == 'y');
    if (yn) return b ? "Y" : "N";
    return b ? "T" : "F";
}

std::string character_text(const Picture& pic, const std::string& s) {
    if (pic.tmpl.empty()) return pic.upper ? UPPER(s) : s;
    std::string out;
    out.reserve(pic.tmpl.size());
    for (size_t i = 0; i < pic.tmpl.size(); ++i) {
        char t = pic.tmpl[i];
        if (!is_template_char(VType::C, t)) { out += t; continue; }
        char c = i < s.size() ? s[i] : ' ';
        if (pic.upper || t == '!' || t == 'L' || t == 'l' || t == 'Y' || t == 'y')
            c = static_cast<char>(to_upper(static_cast<uint8_t>(c)));
        out += c;
    }
    return out;
}
}  // namespace

VType value_type(const Value& v) {
    switch (v.index()) {
    case 0: return VType::C;
    case 1: return VType::N;
    case 2: return VType::D;
    default: return VType::L;
    }
}

Picture parse_picture(std::string_view pic) {
    Picture p;
    if (!pic.empty() && pic[0] == '@') {
        size_t blank = pic.find(' ');
        std::string_view fn = pic.substr(1, blank == std::string_view::npos ? std::string_view::npos
                                                                              : blank - 1);
        for (size_t i = 0; i < fn.size(); ++i) {
            char c = static_cast<char>(to_upper(static_cast<uint8_t>(fn[i])));
            if (c == 'S') {
                int n = 0;
                size_t j = i + 1;
                while (j < fn.size() && is_digit(static_cast<uint8_t>(fn[j]))) n = n * 10 + (fn[j++] - '0');
                p.scroll = n;
                i = j - 1;
            }
            if (is_digit(static_cast<uint8_t>(c))) continue;  // digits are no functions
            // Input fields know upper case, clear on first key and scrolling; any other function
            // would be silently ignored, so it is refused like an unknown picture.
            if (c != '!' && c != 'K' && c != 'S')
                throw Error("Nepoznata maska unosa \"" + std::string(pic) + "\"");
            if (p.functions.find(c) == std::string::npos) p.functions += c;
        }
        p.tmpl = blank == std::string_view::npos ? std::string() : std::string(pic.substr(blank + 1));
    } else {
        p.tmpl = std::string(pic);
    }
    p.upper = p.has('!');
    p.clear_first = p.has('K');
    return p;
}

std::string field_text(VType type, const Picture& pic, const Value& v) {
    switch (type) {
    case VType::C: return character_text(pic, std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : std::string());
    case VType::N: return TRANSFORM(std::holds_alternative<double>(v) ? std::get<double>(v) : 0.0, numeric_template(pic));
    case VType::D: return date_text(std::holds_alternative<Date>(v) ? std::get<Date>(v) : Date());
    case VType::L: return logical_text(pic, std::holds_alternative<bool>(v) && std::get<bool>(v));
    }
    return {};
}

// ---------------------------------------------------------------------------------------------

EditBuffer::EditBuffer(VType type, const Picture& pic, const Value& v) : type_(type), pic_(pic) {
    switch (type_) {
    case VType::C:
        any_ = pic_.tmpl.empty();
        tmpl_ = pic_.tmpl;
        break;
    case VType::N:
        tmpl_ = numeric_template(pic_);
        dot_ = static_cast<int>(tmpl_.find('.'));
        if (dot_ == static_cast<int>(std::string::npos)) dot_ = -1;
        break;
    case VType::D: tmpl_ = "99.99.9999"; break;
    case VType::L: tmpl_ = pic_.tmpl.empty() ? "L" : pic_.tmpl.substr(0, 1); break;
    }
    load(v);
}

void EditBuffer::load(const Value& v) {
    text_ = field_text(type_, pic_, v);
    if (any_) tmpl_.assign(text_.size(), 'X');
    // A template shorter than the text (numbers shown as asterisks never are): positions past
    // the template are not typed into.
    pos_ = first_editable();
    if (pos_ < 0) pos_ = width();
    changed_ = false;
    clear_pending_ = pic_.clear_first || type_ == VType::N;
}

bool EditBuffer::editable(int i) const {
    if (i < 0 || i >= width() || i >= static_cast<int>(tmpl_.size())) return false;
    if (any_) return true;
    return is_template_char(type_, tmpl_[i]);
}

int EditBuffer::first_editable() const { return next_editable(-1) < width() ? next_editable(-1) : -1; }

int EditBuffer::last_editable() const {
    int p = prev_editable(width());
    return p < 0 ? 0 : p;
}

int EditBuffer::next_editable(int i) const {
    for (int j = i + 1; j < width(); ++j)
        if (editable(j)) return j;
    return width();
}

int EditBuffer::prev_editable(int i) const {
    for (int j = i - 1; j >= 0; --j)
        if (editable(j)) return j;
    return -1;
}

int EditBuffer::section_end(int i) const {
    while (i + 1 < width() && editable(i + 1)) ++i;
    return i;
}

bool EditBuffer::accept(int i, uint8_t& ch) const {
    if (any_) {
        if (pic_.upper) ch = to_upper(ch);
        return true;
    }
    char t = tmpl_[i];
    switch (type_) {
    case VType::N:
        if (is_digit(ch) || ch == ' ') return true;
        if (ch == '-') {
            if (dot_ >= 0 && i > dot_) return false;
            for (int j = 0; j < width(); ++j)
                if (j != i && text_[j] == '-') return false;
            return true;
        }
        return false;
    case VType::D: return is_digit(ch) || ch == ' ';
    case VType::L:
        ch = to_upper(ch);
        if (t == 'Y' || t == 'y') {
            if (ch == 'Y' || ch == 'T') { ch = 'Y'; return true; }
            if (ch == 'N' || ch == 'F') { ch = 'N'; return true; }
            return false;
        }
        if (ch == 'T' || ch == 'Y') { ch = 'T'; return true; }
        if (ch == 'F' || ch == 'N') { ch = 'F'; return true; }
        return false;
    case VType::C:
        switch (t) {
        case '9': return is_digit(ch);
        case '#': return is_digit(ch) || ch == ' ' || ch == '+' || ch == '-';
        case 'A': case 'a':
            if (!is_letter(ch)) return false;
            break;
        case 'N': case 'n':
            if (!is_letter(ch) && !is_digit(ch)) return false;
            break;
        case '!': ch = to_upper(ch); break;
        case 'L': case 'l':
            ch = to_upper(ch);
            return ch == 'T' || ch == 'F' || ch == 'Y' || ch == 'N';
        case 'Y': case 'y':
            ch = to_upper(ch);
            return ch == 'Y' || ch == 'N';
        default: break;
        }
        if (pic_.upper) ch = to_upper(ch);
        return true;
    }
    return false;
}

void EditBuffer::clear_all() {
    for (int i = 0; i < width(); ++i)
        if (editable(i) || (type_ == VType::N && text_[i] == ',')) text_[i] = ' ';
    if (type_ == VType::N && dot_ >= 0) text_[dot_] = '.';
    changed_ = true;
}

// The integer part of a number typed from the left moves to the right of its positions, as
// when the decimal point is typed or the field is left.
void EditBuffer::justify_integer_part() {
    int end = dot_ >= 0 ? dot_ : width();
    std::string chars;
    std::vector<int> slots;
    for (int i = 0; i < end; ++i) {
        if (!editable(i)) {
            if (text_[i] == ',') text_[i] = ' ';
            continue;
        }
        slots.push_back(i);
        if (text_[i] != ' ') chars += text_[i];
    }
    for (int i : slots) text_[i] = ' ';
    size_t k = chars.size();
    for (int s = static_cast<int>(slots.size()) - 1; s >= 0 && k > 0; --s) text_[slots[s]] = chars[--k];
}

bool EditBuffer::put(uint8_t ch, bool insert) {
    if (clear_pending_) {
        // @K: the first typed key replaces the old content; a number is replaced when it is
        // typed over from its first position (a moved cursor edits the number in place).
        bool at_start = pos_ == first_editable();
        if (pic_.clear_first || (type_ == VType::N && at_start)) {
            uint8_t probe = ch;
            int p = first_editable();
            if (p < 0) return false;
            bool ok = (type_ == VType::N && (ch == '-' || ch == '.')) || accept(p, probe);
            if (!ok) return false;
            clear_all();
            pos_ = p;
        }
        clear_pending_ = false;
    }
    if (type_ == VType::N && ch == '.') {
        if (dot_ < 0) return false;
        justify_integer_part();
        pos_ = next_editable(dot_);
        changed_ = true;
        return true;
    }
    if (typed_out() || !editable(pos_)) return false;
    if (!accept(pos_, ch)) return false;
    if (insert) {
        int e = section_end(pos_);
        if (text_[e] != ' ' && e != pos_) return false;  // no room: nothing is pushed out
        for (int j = e; j > pos_; --j) text_[j] = text_[j - 1];
    }
    text_[pos_] = static_cast<char>(ch);
    changed_ = true;
    pos_ = next_editable(pos_);
    return true;
}

void EditBuffer::left() {
    clear_pending_ = false;
    if (typed_out()) { pos_ = last_editable(); return; }
    int p = prev_editable(pos_);
    if (p >= 0) pos_ = p;
}

void EditBuffer::right() {
    clear_pending_ = false;
    if (typed_out()) return;
    int p = next_editable(pos_);
    if (p < width()) pos_ = p;
}

void EditBuffer::home() {
    clear_pending_ = false;
    int p = first_editable();
    pos_ = p < 0 ? width() : p;
}

void EditBuffer::end() {
    clear_pending_ = false;
    int last = -1;
    for (int i = 0; i < width(); ++i)
        if (editable(i) && text_[i] != ' ') last = i;
    int p = next_editable(last);
    if (p >= width()) p = last_editable();
    pos_ = p;
}

void EditBuffer::del() {
    clear_pending_ = false;
    if (typed_out()) return;
    if (!editable(pos_)) return;
    int e = section_end(pos_);
    for (int j = pos_; j < e; ++j) text_[j] = text_[j + 1];
    text_[e] = ' ';
    changed_ = true;
}

void EditBuffer::backspace() {
    clear_pending_ = false;
    if (width() == 0) return;
    if (typed_out()) {
        pos_ = last_editable();
        text_[pos_] = ' ';
        changed_ = true;
        return;
    }
    int p = prev_editable(pos_);
    if (p < 0) return;
    pos_ = p;
    del();
}

void EditBuffer::clear_to_end() {
    clear_pending_ = false;
    for (int i = typed_out() ? width() : pos_; i < width(); ++i)
        if (editable(i)) text_[i] = ' ';
    changed_ = true;
}

bool EditBuffer::value(Value& out, const Value& original) const {
    switch (type_) {
    case VType::C: {
        std::string s = text_;
        if (std::holds_alternative<std::string>(original)) {
            const std::string& o = std::get<std::string>(original);
            if (o.size() > s.size()) s += o.substr(s.size());
        }
        out = s;
        return true;
    }
    case VType::N: {
        bool neg = false;
        double ip = 0, fp = 0, scale = 1;
        for (int i = 0; i < width(); ++i) {
            uint8_t c = static_cast<uint8_t>(text_[i]);
            if (c == '-') neg = true;
            if (!is_digit(c)) continue;
            if (dot_ >= 0 && i > dot_) {
                scale /= 10;
                fp += (c - '0') * scale;
            } else {
                ip = ip * 10 + (c - '0');
            }
        }
        int dec = 0;
        if (dot_ >= 0)
            for (int i = dot_ + 1; i < width(); ++i)
                if (editable(i)) ++dec;
        double v = ROUND(ip + fp, dec);
        out = neg && v != 0 ? -v : v;
        return true;
    }
    case VType::D: {
        bool blank = true;
        for (int i = 0; i < width(); ++i)
            if (editable(i) && text_[i] != ' ') blank = false;
        if (blank) { out = Date(); return true; }
        auto num = [&](int from, int len, int& n) {
            n = 0;
            int digits = 0;
            for (int i = from; i < from + len; ++i) {
                if (text_[i] == ' ') continue;
                n = n * 10 + (text_[i] - '0');
                ++digits;
            }
            return digits;
        };
        int d, m, y;
        if (num(0, 2, d) == 0 || num(3, 2, m) == 0) return false;
        int yd = num(6, 4, y);
        if (yd == 0) return false;
        if (yd <= 2) y += y < 30 ? 2000 : 1900;  // a two-digit year
        Date r = Date::ymd(y, m, d);
        if (r.empty()) return false;
        out = r;
        return true;
    }
    case VType::L:
        out = text_[0] == 'T' || text_[0] == 'Y';
        return true;
    }
    return false;
}

}  // namespace rt
