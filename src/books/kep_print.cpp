// The KEP book print (being built).
#include "books/books.h"

namespace tor {

void KTKNJIGA() {}
void ZKTKNJIGA() {}

}  // namespace tor
