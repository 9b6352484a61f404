// The terminal in curses mode for as long as a CursesScreen lives: opened in
// the console's input modes, sized to the window but never beyond what the
// game draws, stopped and resumed for Ctrl-Z, and given back as it was.
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

class CursesScreen {
public:
    // Starts curses on the terminal behind `in` and `out`, of type
    // `term_type` (nullptr: $TERM). Returns nullptr and says why in `why`
    // when there is no terminal to start on, or no memory to do it with.
    static std::unique_ptr<CursesScreen> open(const char* term_type, std::FILE* out, std::FILE* in, std::string& why);

    explicit CursesScreen(int fd);  // no curses yet: open starts it
    ~CursesScreen();                // restores the terminal, unless a stop has
    CursesScreen(const CursesScreen&) = delete;
    CursesScreen& operator=(const CursesScreen&) = delete;

    // Sizes curses to the window as it is now, but never larger than the
    // console and the status line under it, however large the window is.
    // Ends the run (RunEnded) where curses has no memory for it.
    void fit_window();

    // Ctrl-Z: gives the terminal back and stops the process; once continued
    // in the foreground, the next refresh takes the terminal again. An end
    // signal that came while stopped ends the run with the terminal left
    // given back: the game may be in the background, where touching the
    // terminal would stop it again.
    void suspend();

private:
    void set_modes();
    static void set_size_variables(WindowSize size);

    SCREEN* screen_ = nullptr;
    int fd_;                                     // the terminal written to
    std::optional<std::string> lines_before_;    // LINES and COLUMNS as they were,
    std::optional<std::string> columns_before_;  // put back at the end
    bool given_back_ = false;                    // by a stop, and not yet taken again
    bool broken_ = false;                        // a resize failed half way: given back, never freed
};

}  // namespace skarvel
