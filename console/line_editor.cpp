#include "console/line_editor.h"

#include <curses.h>

namespace skarvel {

bool LineEditor::handle_key(int code) {
    if (code == '\n' || code == '\r' || code == KEY_ENTER) {
        line_ += '\n';
        console_.put('\n');
        return true;
    }
    if (code == KEY_BACKSPACE || code == DEL || code == '\b') {
        erase_last();
    } else if (code == '\t' || (code >= ' ' && code <= 255)) {
        type(static_cast<unsigned char>(code));
    }
    return false;
}

void LineEditor::type(unsigned char byte) {
    const std::size_t at = line_.size();
    const bool was_unfinished = console_.character_unfinished();
    line_ += static_cast<char>(byte);
    const int cells = console_.put(byte);
    // An unfinished character this byte completes or breaks off shows first,
    // in one cell, from where it began; the rest is this byte's own: one
    // cell, or a tab's blanks.
    const int own = was_unfinished && cells > 0 ? cells - 1 : cells;
    if (own < cells) shown_.push_back({unfinished_, 1});
    if (own > 0) shown_.push_back({at, own});
    if (console_.character_unfinished() && (!was_unfinished || cells > 0)) unfinished_ = at;
}

void LineEditor::erase_last() {
    if (console_.character_unfinished()) {
        line_.resize(unfinished_);  // nothing of it shows yet
        console_.erase_back();
    } else if (!shown_.empty()) {
        line_.resize(shown_.back().at);
        for (int cell = 0; cell < shown_.back().cells; ++cell) console_.erase_back();
        shown_.pop_back();
    }
}

}  // namespace skarvel
