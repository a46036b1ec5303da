// The VAT rate table looked up by tariff group.
#include "calc/rates.h"

#include <cmath>

#include "ui/ui.h"

namespace tor {

namespace {

struct Group {
    std::string_view targr;
    const double* rate;
    const double* share;
};

const Group kGroups[] = {
    {"020", &POREZ020, &PSPOR020}, {"018", &POREZ018, &PSPOR018}, {"010", &POREZ010, &PSPOR010},
    {"008", &POREZ008, &PSPOR008}, {"005", &POREZ005, &PSPOR005}, {"000", &POREZ000, &PSPOR000},
};

const Group* find(std::string_view targr) {
    for (const Group& g : kGroups)
        if (g.targr == targr) return &g;
    return nullptr;
}

}  // namespace

std::optional<double> porez(std::string_view targr) {
    const Group* g = find(targr);
    if (!g) return std::nullopt;
    return *g->rate;
}

std::optional<double> pspor(std::string_view targr) {
    const Group* g = find(targr);
    if (!g) return std::nullopt;
    return *g->share;
}

std::string_view tariff_group(double rate) {
    for (const Group& g : kGroups)
        if (std::fabs(*g.rate - rate) < 0.005) return g.targr;
    return "";
}

bool rate_field_ok(double rate) {
    if (!tariff_group(rate).empty() && rate == static_cast<int>(rate)) return true;
    PORUKA("Dozvoljene stope PDV su 20, 18, 10, 8, 5 i 0 !", 2);
    return false;
}

}  // namespace tor
