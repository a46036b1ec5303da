// The goods card (being built).
#include "cards/cards.h"

namespace tor {

void KARTDOBARA() {}
void KARTMALO() {}
void KARTVELE() {}
void ZSTPSTZ() {}

}  // namespace tor
