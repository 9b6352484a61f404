// The terminal in curses mode, for as long as a session lives: opened with
// the console's pad and input modes, and given back as it was.
#pragma once

#include <curses.h>

#include <cstdio>
#include <memory>
#include <string>

namespace skarvel {

class CursesSession {
public:
    // Starts curses on the terminal behind `in` and `out`, of type
    // `term_type` (nullptr: $TERM). Returns nullptr and says why in `why`
    // when there is no terminal to start on.
    static std::unique_ptr<CursesSession> open(const char* term_type, std::FILE* out, std::FILE* in, std::string& why);

    CursesSession(SCREEN* screen, WINDOW* pad, int fd);
    ~CursesSession();  // gives the terminal back, unless it already is
    CursesSession(const CursesSession&) = delete;
    CursesSession& operator=(const CursesSession&) = delete;

    WINDOW* pad() const { return pad_; }  // the 150x40 console

    // Ctrl-Z: gives the terminal back and stops the process; once it is
    // continued in the foreground, the next refresh takes the terminal
    // again. An end signal that came while stopped ends the run (RunEnded)
    // with the terminal left given back: the game may be in the background,
    // where touching the terminal would stop it again.
    void suspend();

private:
    SCREEN* screen_;           // the curses screen on our terminal
    WINDOW* pad_;              // the console, larger than many terminals
    int fd_;                   // the terminal written to
    bool given_back_ = false;  // the terminal given back by a stop, not yet taken again
};

}  // namespace skarvel
