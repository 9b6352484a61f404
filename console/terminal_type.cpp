#include "console/terminal_type.h"

#include <curses.h>
#include <term.h>  // after everything else: it defines macros such as clear_screen

#include <cstdint>

namespace skarvel {

namespace {

// A string capability of the current description, absent or cancelled: null.
bool has_string(const char* capability) {
    const char* value = tigetstr(capability);
    return value != nullptr && reinterpret_cast<std::intptr_t>(value) != -1;
}

}  // namespace

bool can_address_and_clear(const char* term_type, int fd) {
    TERMINAL* const before = cur_term;
    int status = 0;
    if (setupterm(term_type, fd, &status) != OK) return true;
    const bool able = has_string("cup") && has_string("clear");
    del_curterm(set_curterm(before));
    return able;
}

}  // namespace skarvel
