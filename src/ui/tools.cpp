// (replaced by the calculator and calendar)
#include "ui/tools.h"
namespace tor {
void KALL() {}
rt::Date KALENDAR(int, int, rt::Date start, bool) { return start; }
void register_tool_hotkeys() {}
}  // namespace tor
