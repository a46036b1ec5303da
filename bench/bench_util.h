// What the benchmark programs share: their installation directory and the timing of a run.
#pragma once
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// The installation directory: the first argument, or a new temporary directory (temporary set).
inline std::string installation(int argc, char** argv, const std::string& name, bool& temporary) {
    temporary = argc <= 1;
    if (!temporary) return argv[1];
    std::string tmpl = (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
    return mkdtemp(tmpl.data());
}

// The median wall seconds of runs calls of body, each after its own untimed setup.
inline double median_seconds(int runs, const std::function<void()>& setup, const std::function<void()>& body) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        setup();
        const auto t0 = std::chrono::steady_clock::now();
        body();
        t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace bench
