// The KEP book control and its repairs (being built).
#include "books/books.h"

namespace tor {

void KONTKPK1() {}
void KOREKTK() {}
void KOREKTK2() {}

}  // namespace tor
