#include "console/line_editor.h"

#include <curses.h>

namespace skarvel {

bool LineEditor::take(int code) {
    if (code == '\n' || code == '\r' || code == KEY_ENTER) {
        line_ += '\n';
        console_.put('\n');
        return true;
    }
    if (code == KEY_BACKSPACE || code == DEL || code == '\b') {
        erase_last();
    } else if (code >= ' ' && code <= 255) {
        type(static_cast<unsigned char>(code));
    }
    return false;
}

void LineEditor::type(unsigned char byte) {
    const std::size_t at = line_.size();
    const bool was_unfinished = console_.character_unfinished();
    line_ += static_cast<char>(byte);
    const int cells = console_.put(byte);
    // A character left unfinished shows first, broken, from where it began;
    // then what this byte begins or completes.
    if (was_unfinished && cells > 0) shown_.push_back(unfinished_);
    if (cells == 2 || (!was_unfinished && cells == 1)) shown_.push_back(at);
    if (console_.character_unfinished() && (!was_unfinished || cells > 0)) unfinished_ = at;
}

void LineEditor::erase_last() {
    if (console_.character_unfinished()) {
        line_.resize(unfinished_);  // nothing of it shows yet
    } else if (!shown_.empty()) {
        line_.resize(shown_.back());
        shown_.pop_back();
    } else {
        return;
    }
    console_.erase_back();
}

}  // namespace skarvel
