// The headless back end: no terminal; keys come from the key script, time is virtual.
#include <cstdlib>

#include "rt/os/clock.h"
#include "rt/term/term_internal.h"

namespace rt::term {

namespace {
// Once the script has run out, timed waits that keep timing out (an error line that waits for the
// space bar, a retry loop) mean the program waits for a key as surely as an untimed wait does.
constexpr double kIdleLimitSecs = 60.0;
constexpr long kIdlePollLimit = 10'000'000;

class Headless final : public Backend {
public:
    explicit Headless(std::vector<ScriptItem> script) : script_(std::move(script)) {}

    void show(const Cell*, int, int, bool) override {}

    int peek_key(Wait w, double secs) override {
        for (;;) {
            if (pos_ >= script_.size()) return exhausted(w, secs);
            const ScriptItem& it = script_[pos_];
            // A poll (an animation or a long job looking for Esc) is not the program waiting:
            // it sees neither a pause nor a dump nor the keys after them.
            if (it.kind != ScriptItem::KEY && w == Wait::POLL) return 0;
            if (it.kind == ScriptItem::DUMP) {
                ++pos_;
                console_dump();
                continue;
            }
            if (it.kind == ScriptItem::PAUSE) {
                ++pos_;
                if (w == Wait::TIMED) {
                    rt::clk::sleep(secs);
                    return 0;
                }
                continue;  // an untimed wait outlasts any pause
            }
            return it.code;
        }
    }

    void take_key() override {
        if (pos_ < script_.size() && script_[pos_].kind == ScriptItem::KEY) ++pos_;
    }

    void beep(double) override {}
    void shutdown() override {}
    bool headless() const override { return true; }

private:
    int exhausted(Wait w, double secs) {
        switch (w) {
        case Wait::POLL:
            if (++idle_polls_ > kIdlePollLimit) finish();
            return 0;
        case Wait::TIMED:
            rt::clk::sleep(secs);
            idle_secs_ += secs;
            if (idle_secs_ > kIdleLimitSecs) finish();
            return 0;
        case Wait::FOREVER:
            finish();
        }
        return 0;
    }

    [[noreturn]] void finish() {
        console_dump();
        std::exit(3);
    }

    std::vector<ScriptItem> script_;
    size_t pos_ = 0;
    double idle_secs_ = 0;
    long idle_polls_ = 0;
};
}  // namespace

std::unique_ptr<Backend> make_headless_backend(std::vector<ScriptItem> script) {
    return std::make_unique<Headless>(std::move(script));
}

}  // namespace rt::term
