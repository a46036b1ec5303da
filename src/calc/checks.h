// Check digits of the Serbian identifiers the program stores, and the payment reference under
// model 97 printed on payment orders. An empty field is always accepted (the checks serve as
// validations of input fields).
#pragma once
#include <string>
#include <string_view>

namespace tor {

// Personal number (JMBG, 13 characters): check digit under weights 7..2,7..2 modulo 11.
bool KBJMBG(std::string_view jmbg);
// Tax number (PIB, 9 characters): ISO 7064 MOD 11,10.
bool KBPIB(std::string_view pib);
// Bank account numbers are not checked.
bool KBZR(std::string_view account);
// "97  " + two check digits (ISO 7064 MOD 97-10) + prefix + the company's tax number WPIBKOM.
std::string PNB97(std::string_view prefix);
// The same with the owner's personal number WJMBG (prefix and number: 16 digits).
std::string PNB97JMBG(std::string_view prefix);

}  // namespace tor
