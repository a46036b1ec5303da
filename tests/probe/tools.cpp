// torprobe tools: an amount and a date in one input screen, for the calculator and the calendar
// called from inside the fields. Prints the two values when the screen is left.
#include <cstdio>

#include "probe/probe.h"
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/console.h"
#include "ui/ui.h"

namespace {

int amount_and_date(const std::vector<std::string>&) {
    using namespace tor;
    double iznos = 0;
    rt::Date datum;
    rt::SETCOLOR(NORMAL);
    rt::CLS();
    BOXSHAD(15, 30, 18, 60);
    rt::SAY(16, 32, "Iznos..:");
    rt::SAY(17, 32, "Datum..:");
    rt::GetList gl;
    rt::GET(gl, rt::get(16, 41, iznos, "9999999.99").name("IZNOS"));
    rt::GET(gl, rt::get(17, 41, datum).name("DATUM"));
    rt::READ(gl);
    std::printf("IZNOS=%s DATUM=%s\n", rt::ALLTRIM(rt::STR(iznos, 12, 2)).c_str(), rt::DTOC(datum).c_str());
    return 0;
}

torprobe::Mode mode("tools", amount_and_date);

}  // namespace
