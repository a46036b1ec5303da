// The probe program: `torprobe MODE [ARGS...]` runs one screen of the toolkit or the report
// output headless (TORPDV_KEYS as for torpdv) in the current directory, which holds an
// installation. Each probe file registers its modes:
//
//   static torprobe::Mode m("lookup", [](const std::vector<std::string>& args) { ...; return 0; });
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace torprobe {

using Fn = std::function<int(const std::vector<std::string>& args)>;

inline std::map<std::string, Fn>& modes() {
    static std::map<std::string, Fn> m;
    return m;
}

struct Mode {
    Mode(const std::string& name, Fn fn) { modes()[name] = std::move(fn); }
};

// Sets up what torpdv has after entering a company: the console, the program-wide variables and
// tables, and the company (code, name, owner, place) with its directory and tables.
void enter_company(const std::string& code = "001");

}  // namespace torprobe
