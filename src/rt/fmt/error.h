// Runtime errors: anything the program cannot go on from (missing or corrupt file, I/O error,
// an unknown picture). The outer loop shows the message and ends the program with status 1.
#pragma once
#include <stdexcept>
#include <string>

namespace rt {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

// Division where the original relied on "x / 0 gives 0".
inline double safe_div(double a, double b) { return b == 0.0 ? 0.0 : a / b; }

}  // namespace rt
