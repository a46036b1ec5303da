// Internals shared by the console, the keyboard and the back ends. Not for use outside rt/term.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "rt/term/console.h"
#include "rt/term/keys.h"

namespace rt::term {

// How long a key read may wait.
enum class Wait { POLL, TIMED, FOREVER };

// A back end shows the cell buffer and is the physical keyboard.
class Backend {
public:
    virtual ~Backend() = default;
    // Shows the cells that changed since the last call; the cursor at row, col when visible.
    virtual void show(const Cell* cells, int crow, int ccol, bool cursor) = 0;
    // The next physical key without taking it, or 0 when none came within the wait.
    // TIMED waits up to secs; FOREVER never returns 0.
    virtual int peek_key(Wait w, double secs) = 0;
    // Takes the key the last peek_key returned.
    virtual void take_key() = 0;
    // One tone; the back end only makes the sound, the caller spends the time.
    virtual void beep(double freq) = 0;
    // Restores the terminal; called once.
    virtual void shutdown() = 0;
    virtual bool headless() const = 0;
};

// The headless back end reads its keys from the script; {dump} and the end of the script
// write the screen with console_dump().
std::unique_ptr<Backend> make_headless_backend(std::vector<ScriptItem> script);
// Starts ncurses; on a terminal that is too small or missing prints the message and exits 2.
std::unique_ptr<Backend> make_curses_backend();

// Decodes one UTF-8 character at i (advancing i); false on a malformed sequence.
bool utf8_next(std::string_view s, size_t& i, char32_t& cp);

Backend* backend();
const Cell* cells();
// Appends the current screen in the dump format to the file (nothing when path is empty).
void dump_to(const std::string& path);
// Resets the keyboard state (type-ahead, last key, pending keys) when a back end starts.
void reset_keyboard();

}  // namespace rt::term
