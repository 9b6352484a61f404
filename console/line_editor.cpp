#include "console/line_editor.h"

#include <curses.h>

namespace skarvel {

namespace {

constexpr int CTRL_D = 4;
constexpr int DEL = 127;

}  // namespace

LineEditor::State LineEditor::take(int code) {
    if (code == '\n' || code == '\r' || code == KEY_ENTER) {
        line_ += '\n';
        console_.put('\n');
        return State::ended;
    }
    if (code == CTRL_D) {
        if (line_.empty()) return State::end_of_input;
    } else if (code == KEY_BACKSPACE || code == DEL || code == '\b') {
        erase_last();
    } else if (code >= ' ' && code <= 255) {
        line_ += static_cast<char>(code);
        console_.put(static_cast<unsigned char>(code));
    }
    return State::editing;
}

// Takes the last typed character off the line and off the screen.
void LineEditor::erase_last() {
    if (line_.empty()) return;
    while (line_.size() > 1 && (static_cast<unsigned char>(line_.back()) & 0xC0) == 0x80) {
        line_.pop_back();  // the continuation bytes of a UTF-8 character
    }
    line_.pop_back();
    console_.erase_back();
}

}  // namespace skarvel
