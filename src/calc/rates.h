// The VAT rate table: for every tariff group the rate added to a net price and the share of the
// tax inside a gross price. Every price computation of the program takes its rates from here.
#pragma once
#include <optional>
#include <string_view>

namespace tor {

inline const double POREZ020 = 20.00, PSPOR020 = 16.667;
inline const double POREZ018 = 18.00, PSPOR018 = 15.254;
inline const double POREZ010 = 10.00, PSPOR010 = 9.09;
inline const double POREZ008 = 8.00, PSPOR008 = 7.407;
inline const double POREZ005 = 5.00, PSPOR005 = 4.761;
inline const double POREZ000 = 0.00, PSPOR000 = 0.000;

// The rate ("porez" + group) and the share ("pspor" + group) of a tariff group given as its three
// characters ("020", "005" …); no value for a group outside the table.
std::optional<double> porez(std::string_view targr);
std::optional<double> pspor(std::string_view targr);
// The tariff group of a numeric rate (20 -> "020"); "" when the table has no such group.
std::string_view tariff_group(double rate);
// The validation of a VAT rate input field: a rate of the table is accepted; any other value shows
// "Dozvoljene stope PDV su 20, 18, 10, 8, 5 i 0 !" until a key and keeps the cursor in the field.
bool rate_field_ok(double rate);

}  // namespace tor
