// Stock list, price check, three-column print and recount (being built).
#include "cards/cards.h"

namespace tor {

void ZBIRSTZART() {}
void ZZBIRSTZART() {}
void STPZBIRSTZART() {}
void ZSTPZBIRSTZART() {}
void ZBIRUPOPIS() {}
double article_period_quantity(const std::string&, rt::Date, rt::Date) { return 0; }
void recount_stock_on_entry() {}

}  // namespace tor
