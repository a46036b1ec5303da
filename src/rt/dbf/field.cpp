#include "rt/dbf/field.h"

namespace rt::dbf {

namespace {
inline char up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}

int find_field(const std::vector<FieldDef>& fields, const std::string& name) {
    // Names may come padded with blanks from definition strings.
    size_t n = name.size();
    while (n > 0 && name[n - 1] == ' ') --n;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i].name;
        if (f.size() != n) continue;
        size_t k = 0;
        while (k < n && up(name[k]) == f[k]) ++k;
        if (k == n) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace rt::dbf
