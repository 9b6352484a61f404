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

    CursesSession(SCREEN* screen, WINDOW* pad);
    ~CursesSession();  // gives the terminal back
    CursesSession(const CursesSession&) = delete;
    CursesSession& operator=(const CursesSession&) = delete;

    WINDOW* pad() const { return pad_; }  // the 150x40 console

private:
    SCREEN* screen_;  // the curses screen on our terminal
    WINDOW* pad_;     // the console, larger than many terminals
};

}  // namespace skarvel
