// The terminal in curses mode for as long as a CursesMode lives: started in
// the console's input modes, sized to the window but never beyond what the
// game draws, suspended and resumed for Ctrl-Z, and restored at the end.
#pragma once

#include <curses.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace skarvel {

struct WindowSize {
    int rows = 0;
    int cols = 0;
};

class CursesMode {
public:
    // Starts curses on the terminal behind `in` and `out`, of type
    // `term_type` (nullptr: $TERM). Returns nullptr and says why in `why`
    // when there is no terminal to start on, or no memory to do it with.
    static std::unique_ptr<CursesMode> open(const char* term_type, std::FILE* out, std::FILE* in, std::string& why);

    explicit CursesMode(int fd);  // no curses yet: open starts it
    ~CursesMode();                // restores the terminal, unless suspend() already has
    CursesMode(const CursesMode&) = delete;
    CursesMode& operator=(const CursesMode&) = delete;

    // Sizes curses to the window as it is now, but never larger than the
    // console and the status line under it, however large the window is.
    // Ends the run (RunEnded) where curses has no memory for it.
    void resize_to_window();

    // Ctrl-Z: restores the terminal and stops the process; once continued in
    // the foreground, the next refresh puts curses back on the terminal. An
    // end signal that came while stopped ends the run (RunEnded) with the
    // terminal left restored: the game may be in the background, where
    // touching the terminal would stop it again.
    void suspend();

private:
    void set_modes();
    static void set_size_variables(WindowSize size);

    SCREEN* screen_ = nullptr;
    int fd_;                                     // the terminal written to
    std::optional<std::string> lines_before_;    // LINES and COLUMNS as they were,
    std::optional<std::string> columns_before_;  // put back at the end
    bool suspended_ = false;                     // restored by suspend() and not yet resumed
    bool broken_ = false;                        // a failed resize left curses unusable: never freed
};

}  // namespace skarvel
