// Index key expressions: a small parser for the expressions stored in index headers and an
// evaluator over raw record bytes. Expressions made only of fields, dtos() of date fields and
// "+" compile to a list of byte ranges of the record, so evaluating a key is a few memcpy calls.
#include "rt/dbf/keyexpr.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rt/fmt/error.h"
#include "rt/fmt/fmt.h"

namespace rt::dbf {

namespace {

std::string upper_ascii(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

int field_by_name(const std::vector<FieldDef>& fields, const std::string& name) {
    const std::string u = upper_ascii(name);
    for (size_t i = 0; i < fields.size(); ++i)
        if (upper_ascii(fields[i].name) == u) return static_cast<int>(i);
    return -1;
}

// A value during evaluation: text for 'C' and 'D' (yyyymmdd or blanks), a number for 'N'.
struct Val {
    char type = 'C';
    std::string s;
    double n = 0;
    int len = 10, dec = 0;  // display width of a numeric value (field width or str() width)
};

enum class Op { Field, Lit, Num, Concat, Dtos, Str, Upper, Substr, Left, Right, Rtrim, Ltrim, Alltrim };

struct Node {
    Op op = Op::Lit;
    int field = -1;         // Field
    std::string text;       // Lit
    double num = 0;         // Num
    std::vector<Node> args;
};

double parse_number(const char* p, int len) {
    char buf[64];
    int n = 0;
    for (int i = 0; i < len && n < 63; ++i)
        if (p[i] != ' ') buf[n++] = p[i];
    buf[n] = 0;
    if (n == 0) return 0.0;
    return std::strtod(buf, nullptr);
}

}  // namespace

// A numeric key as DBFNTX stores it: the number as STR() gives it with the leading blanks made
// zeros; a negative number also loses its sign and has every digit d replaced by the byte
// '0' - d - 4 (',' for 0 down to '#' for 9), so that negative keys sort below positive ones and
// among themselves by value.
std::string key_of_number(double v, int len, int dec) {
    if (len <= 0) return {};
    std::string s = rt::STR(v, len, dec < 0 ? 0 : dec);
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') s[i++] = '0';
    if (i < s.size() && s[i] == '-') {
        s[i] = '0';
        for (char& c : s)
            if (c >= '0' && c <= '9') c = static_cast<char>('0' - (c - '0') - 4);
    }
    return s;
}

std::string key_of_date_text(const std::string& yyyymmdd) {
    std::string r = yyyymmdd.substr(0, 8);
    r.resize(8, ' ');
    return r;
}

struct KeyExpr::Impl {
    std::string text;
    std::vector<FieldDef> fields;
    Node root;
    int key_size = 0;
    int dec = 0;
    char type = 'C';
    // Fast path: the key is the concatenation of these record byte ranges.
    bool simple = false;
    std::vector<std::pair<int, int>> ranges;  // (offset, length)

    // ---- parser ----
    const char* p = nullptr;
    const char* end = nullptr;

    [[noreturn]] void fail(const std::string& why) const {
        throw rt::Error("Izraz kljuca \"" + text + "\" ne moze da se izracuna: " + why);
    }
    void skip_ws() {
        while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
    }
    bool accept(char c) {
        skip_ws();
        if (p < end && *p == c) {
            ++p;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!accept(c)) fail(std::string("ocekivano '") + c + "'");
    }
    Node parse_expr() {
        Node left = parse_term();
        while (true) {
            skip_ws();
            if (p < end && *p == '+') {
                ++p;
                Node right = parse_term();
                Node n{Op::Concat, -1, {}, 0, {}};
                n.args.push_back(std::move(left));
                n.args.push_back(std::move(right));
                left = std::move(n);
            } else {
                return left;
            }
        }
    }
    Node parse_term() {
        skip_ws();
        if (p >= end) fail("nepotpun izraz");
        char c = *p;
        if (c == '(') {
            ++p;
            Node n = parse_expr();
            expect(')');
            return n;
        }
        if (c == '"' || c == '\'') {
            ++p;
            const char* s = p;
            while (p < end && *p != c) ++p;
            if (p >= end) fail("nezavrsen niz");
            Node n{Op::Lit, -1, std::string(s, static_cast<size_t>(p - s)), 0, {}};
            ++p;
            return n;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-') {
            const char* s = p;
            ++p;
            while (p < end && (std::isdigit(static_cast<unsigned char>(*p)) || *p == '.')) ++p;
            Node n{Op::Num, -1, {}, std::strtod(std::string(s, static_cast<size_t>(p - s)).c_str(), nullptr), {}};
            return n;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::string name = ident();
            skip_ws();
            // alias->field: the alias is ignored (keys refer to their own table)
            if (p + 1 < end && p[0] == '-' && p[1] == '>') {
                p += 2;
                skip_ws();
                name = ident();
                skip_ws();
            }
            if (p < end && *p == '(') {
                ++p;
                std::vector<Node> args;
                if (!accept(')')) {
                    args.push_back(parse_expr());
                    while (accept(',')) args.push_back(parse_expr());
                    expect(')');
                }
                return make_call(upper_ascii(name), std::move(args));
            }
            int f = field_by_name(fields, name);
            if (f < 0) fail("nepoznato polje " + name);
            return Node{Op::Field, f, {}, 0, {}};
        }
        fail(std::string("neocekivan znak '") + c + "'");
    }
    std::string ident() {
        const char* s = p;
        while (p < end && (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_')) ++p;
        if (s == p) fail("ocekivano ime");
        return std::string(s, static_cast<size_t>(p - s));
    }
    Node make_call(const std::string& fn, std::vector<Node> args) {
        auto want = [&](size_t lo, size_t hi) {
            if (args.size() < lo || args.size() > hi) fail("pogresan broj argumenata za " + fn);
        };
        Node n{Op::Lit, -1, {}, 0, {}};
        // Clipper accepts names abbreviated to four letters.
        auto is = [&](const char* full) {
            size_t L = std::strlen(full);
            return fn == full || (fn.size() >= 4 && fn.size() < L && std::strncmp(full, fn.c_str(), fn.size()) == 0);
        };
        if (is("DTOS")) { want(1, 1); n.op = Op::Dtos; }
        else if (is("STR")) { want(1, 3); n.op = Op::Str; }
        else if (is("UPPER")) { want(1, 1); n.op = Op::Upper; }
        else if (is("SUBSTR")) { want(2, 3); n.op = Op::Substr; }
        else if (is("LEFT")) { want(2, 2); n.op = Op::Left; }
        else if (is("RIGHT")) { want(2, 2); n.op = Op::Right; }
        else if (is("TRIM") || is("RTRIM")) { want(1, 1); n.op = Op::Rtrim; }
        else if (is("LTRIM")) { want(1, 1); n.op = Op::Ltrim; }
        else if (is("ALLTRIM")) { want(1, 1); n.op = Op::Alltrim; }
        else fail("nepoznata funkcija " + fn);
        n.args = std::move(args);
        return n;
    }

    // ---- evaluation ----
    Val eval(const Node& n, const char* rec) const {
        Val v;
        switch (n.op) {
        case Op::Field: {
            const FieldDef& f = fields[static_cast<size_t>(n.field)];
            const char* src = rec + f.offset;
            if (f.type == 'N') {
                v.type = 'N';
                v.n = parse_number(src, f.len);
                v.len = f.len;
                v.dec = f.dec;
            } else if (f.type == 'D') {
                v.type = 'D';
                v.s.assign(src, static_cast<size_t>(f.len));
            } else {
                v.type = 'C';
                v.s.assign(src, static_cast<size_t>(f.len));
            }
            return v;
        }
        case Op::Lit:
            v.s = n.text;
            return v;
        case Op::Num:
            v.type = 'N';
            v.n = n.num;
            return v;
        case Op::Concat: {
            Val a = eval(n.args[0], rec);
            Val b = eval(n.args[1], rec);
            if (a.type == 'N' && b.type == 'N') {
                a.n += b.n;
                a.len = std::max(a.len, b.len);
                a.dec = std::max(a.dec, b.dec);
                return a;
            }
            if (a.type == 'N' || b.type == 'N') fail("sabiranje teksta i broja");
            a.type = 'C';
            a.s += b.s;
            return a;
        }
        case Op::Dtos: {
            Val a = eval(n.args[0], rec);
            if (a.type != 'D') fail("dtos() trazi datum");
            v.s = key_of_date_text(a.s);
            return v;
        }
        case Op::Str: {
            Val a = eval(n.args[0], rec);
            if (a.type != 'N') fail("str() trazi broj");
            // without a width: the field's own width and decimals (10 digits for other numbers)
            int len = a.len, dec = a.dec;
            if (n.args.size() >= 2) {
                len = static_cast<int>(num_arg(n.args[1], rec));
                dec = n.args.size() >= 3 ? static_cast<int>(num_arg(n.args[2], rec)) : 0;
            }
            if (len < 1 || len > 255 || dec < 0 || dec > 30) fail("pogresna duzina u str()");
            v.s = rt::STR(a.n, len, dec);
            return v;
        }
        case Op::Upper: {
            v = eval(n.args[0], rec);
            if (v.type == 'N') fail("upper() trazi tekst");
            for (auto& c : v.s)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            v.type = 'C';
            return v;
        }
        case Op::Substr: case Op::Left: case Op::Right: {
            Val a = eval(n.args[0], rec);
            if (a.type == 'N') fail("podniz trazi tekst");
            long L = static_cast<long>(a.s.size());
            long start = 0, cnt = L;
            if (n.op == Op::Substr) {
                long s = static_cast<long>(num_arg(n.args[1], rec));
                if (s < 0) s = std::max(0L, L + s + 1);  // negative start counts from the end
                start = s <= 0 ? 0 : s - 1;
                cnt = n.args.size() >= 3 ? static_cast<long>(num_arg(n.args[2], rec)) : L;
            } else if (n.op == Op::Left) {
                cnt = static_cast<long>(num_arg(n.args[1], rec));
            } else {
                cnt = static_cast<long>(num_arg(n.args[1], rec));
                cnt = std::clamp(cnt, 0L, L);
                start = L - cnt;
            }
            if (start > L) start = L;
            cnt = std::clamp(cnt, 0L, L - start);
            v.s = a.s.substr(static_cast<size_t>(start), static_cast<size_t>(cnt));
            return v;
        }
        case Op::Rtrim: case Op::Ltrim: case Op::Alltrim: {
            v = eval(n.args[0], rec);
            if (v.type == 'N') fail("trim() trazi tekst");
            v.type = 'C';
            if (n.op != Op::Ltrim) {
                size_t e = v.s.find_last_not_of(' ');
                v.s.resize(e == std::string::npos ? 0 : e + 1);
            }
            if (n.op != Op::Rtrim) {
                size_t b = v.s.find_first_not_of(' ');
                v.s.erase(0, b == std::string::npos ? v.s.size() : b);
            }
            return v;
        }
        }
        return v;
    }
    double num_arg(const Node& n, const char* rec) const {
        Val a = eval(n, rec);
        if (a.type != 'N') fail("ocekivan broj");
        return a.n;
    }
    // The key text of a top-level value.
    std::string key_text(const Val& v) const {
        if (v.type == 'N') return key_of_number(v.n, v.len, v.dec);
        return v.s;
    }
    bool collect_ranges(const Node& n) {
        if (n.op == Op::Concat) return collect_ranges(n.args[0]) && collect_ranges(n.args[1]);
        const Node* f = &n;
        if (n.op == Op::Dtos) f = &n.args[0];
        if (f->op != Op::Field) return false;
        const FieldDef& fd = fields[static_cast<size_t>(f->field)];
        if (fd.type == 'N') return false;
        if (n.op == Op::Dtos && (fd.type != 'D' || fd.len != 8)) return false;
        ranges.emplace_back(fd.offset, fd.len);
        return true;
    }
};

KeyExpr KeyExpr::compile(std::string_view text, const std::vector<FieldDef>& fields) {
    KeyExpr k;
    Impl& m = *k.impl_;
    m.text = std::string(text);
    while (!m.text.empty() && (m.text.back() == ' ' || m.text.back() == '\0')) m.text.pop_back();
    m.fields = fields;
    m.p = m.text.data();
    m.end = m.text.data() + m.text.size();
    if (m.text.empty()) m.fail("prazan izraz");
    m.root = m.parse_expr();
    m.skip_ws();
    if (m.p != m.end) m.fail("visak teksta");
    m.p = m.end = nullptr;
    // The key size is the length of the expression on an empty (blank) record.
    int reclen = 1;
    for (const auto& f : fields) reclen = std::max(reclen, f.offset + f.len);
    std::string blank(static_cast<size_t>(reclen), ' ');
    Val v = m.eval(m.root, blank.data());
    m.type = v.type;
    if (v.type == 'N') m.dec = v.dec;
    m.key_size = static_cast<int>(m.key_text(v).size());
    if (m.key_size <= 0 || m.key_size > 256) m.fail("duzina kljuca " + std::to_string(m.key_size));
    m.simple = m.collect_ranges(m.root);
    if (!m.simple) m.ranges.clear();
    return k;
}

KeyExpr::KeyExpr() : impl_(std::make_unique<Impl>()) {}
KeyExpr::KeyExpr(const KeyExpr& o) : impl_(std::make_unique<Impl>(*o.impl_)) {}
KeyExpr& KeyExpr::operator=(const KeyExpr& o) {
    if (this != &o) impl_ = std::make_unique<Impl>(*o.impl_);
    return *this;
}
KeyExpr::KeyExpr(KeyExpr&& o) noexcept : impl_(std::move(o.impl_)) {}
KeyExpr& KeyExpr::operator=(KeyExpr&& o) noexcept {
    impl_ = std::move(o.impl_);
    return *this;
}
KeyExpr::~KeyExpr() = default;

void KeyExpr::eval_to(const char* record, char* out) const {
    const Impl& m = *impl_;
    if (m.simple) {
        for (const auto& [off, len] : m.ranges) {
            std::memcpy(out, record + off, static_cast<size_t>(len));
            out += len;
        }
        return;
    }
    std::string s = m.key_text(m.eval(m.root, record));
    size_t k = static_cast<size_t>(m.key_size);
    if (s.size() >= k) {
        std::memcpy(out, s.data(), k);
    } else {
        std::memcpy(out, s.data(), s.size());
        std::memset(out + s.size(), ' ', k - s.size());
    }
}

std::string KeyExpr::eval(const char* record) const {
    std::string r(static_cast<size_t>(impl_->key_size), ' ');
    eval_to(record, r.data());
    return r;
}

int KeyExpr::key_size() const { return impl_->key_size; }
int KeyExpr::decimals() const { return impl_->dec; }
char KeyExpr::type() const { return impl_->type; }
const std::string& KeyExpr::text() const { return impl_->text; }

}  // namespace rt::dbf
