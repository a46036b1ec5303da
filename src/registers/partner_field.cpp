// (being built)
#include "registers/registers.h"
namespace tor {
bool partner_code_field(int, int, double&) { return false; }
}  // namespace tor
