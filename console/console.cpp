#include "console/console.h"

#include <wchar.h>  // wcwidth (POSIX)

#include <algorithm>
#include <cwchar>

namespace skarvel {

namespace {

constexpr char32_t BLANK = U' ';

// What each byte below 32 shows as with UTF-8: its code-page-437 picture
// (byte 0, blank there, shows as '?'). 7, 8, 9 and 10 act instead of showing.
constexpr char32_t PICTURES[32] = {
    U'?',      U'\u263A', U'\u263B', U'\u2665', U'\u2666', U'\u2663', U'\u2660', U'\u2022',
    U'\u25D8', U'\u25CB', U'\u25D9', U'\u2642', U'\u2640', U'\u266A', U'\u266B', U'\u263C',
    U'\u25BA', U'\u25C4', U'\u2195', U'\u203C', U'\u00B6', U'\u00A7', U'\u25AC', U'\u21A8',
    U'\u2191', U'\u2193', U'\u2192', U'\u2190', U'\u221F', U'\u2194', U'\u25B2', U'\u25BC',
};
constexpr char32_t DEL_PICTURE = U'\u2302';

}  // namespace

Console::Console(bool utf8, const StandIns& stand_ins) : utf8_(utf8), stand_ins_(stand_ins) {
    cells_.fill(BLANK);
    for (char& c : stand_ins_) c = c != '\0' ? c : '?';
}

int Console::put(unsigned char b) {
    const int before = cells_put_;
    put_byte(b);
    return cells_put_ - before;
}

void Console::put_byte(unsigned char b) {
    if (b >= 0x80) {
        put_multibyte(b);
        return;
    }
    end_character();
    if (b == '\a') {
        bell_ = true;
    } else if (b == '\b') {
        col_ = std::max(col_ - 1, 0);
    } else if (b == '\t') {
        do put_cell(BLANK);
        while (col_ % TAB_WIDTH != 0);
    } else if (b == '\n') {
        new_line();
    } else if (b < ' ' || b == DEL) {
        put_cell(picture_of(b));
    } else {
        put_cell(b);
    }
}

char32_t Console::picture_of(unsigned char control) const {
    if (control == DEL) return utf8_ ? DEL_PICTURE : U'?';
    return utf8_ ? PICTURES[control] : static_cast<char32_t>(stand_ins_[control]);
}

// A byte above 127: with UTF-8 a part of a character, assembled here so
// that each malformed part shows as one U+FFFD; otherwise a character of the
// locale.
void Console::put_multibyte(unsigned char b) {
    if (!utf8_) {
        const std::wint_t c = std::btowc(b);
        put_cell(c != WEOF ? shown_as(static_cast<char32_t>(c)) : broken());
        return;
    }
    if (needed_ > 0 && b >= lowest_ && b <= highest_) {
        partial_ = partial_ << 6 | (b & 0x3F);
        lowest_ = 0x80;
        highest_ = 0xBF;
        if (--needed_ == 0) put_cell(shown_as(partial_));
        return;
    }
    end_character();  // broken off, and `b` starts afresh
    // A lead byte: the continuation bytes that follow, and the range of the
    // first that keeps out overlong forms, surrogates and code points past U+10FFFF.
    needed_ = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
    if (needed_ == 0) {
        put_cell(broken());  // a continuation byte alone, or no UTF-8 at all
        return;
    }
    partial_ = b & (0x7F >> (needed_ + 1));
    lowest_ = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
    highest_ = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
}

char32_t Console::shown_as(char32_t c) const { return ::wcwidth(static_cast<wchar_t>(c)) == 1 ? c : broken(); }

void Console::end_character() {
    if (needed_ == 0) return;
    needed_ = 0;
    put_cell(broken());
}

void Console::put_cell(char32_t c) {
    set_cell(cursor(), c);
    const auto row = static_cast<std::size_t>(row_);
    written_end_[row] = std::max(written_end_[row], static_cast<std::uint8_t>(col_ + 1));
    ++cells_put_;
    if (++col_ == CONSOLE_COLS) new_line();
}

void Console::set_cell(Position at, char32_t c) const {
    char32_t& cell = cells_[static_cast<std::size_t>(at.row) * CONSOLE_COLS + static_cast<std::size_t>(at.col)];
    if (cell == c) return;
    cell = c;
    ColSpan& changed = changed_[static_cast<std::size_t>(at.row)];
    changed.first = std::min(changed.first, at.col);
    changed.end = std::max(changed.end, at.col + 1);
}

// A line's cells past what was written since the last clear still hold the
// text before it: blank now, for the line to be read or shown.
void Console::blank_old_text(int row) const {
    const auto r = static_cast<std::size_t>(row);
    for (int col = written_end_[r]; col < old_text_end_[r]; ++col) set_cell({row, col}, BLANK);
    old_text_end_[r] = 0;
}

void Console::new_line() {
    blank_old_text(row_);  // the cursor leaves it for good
    col_ = 0;
    if (row_ + 1 < CONSOLE_ROWS) {
        ++row_;
        return;
    }
    // Every row above has been left, so its old text is blanked already.
    Line& scrolled_off = history_.emplace_back();
    std::copy_n(cells_.begin(), CONSOLE_COLS, scrolled_off.begin());
    if (history_.size() > HISTORY_ROWS) history_.pop_front();
    std::copy(cells_.begin() + CONSOLE_COLS, cells_.end(), cells_.begin());
    std::fill(cells_.end() - CONSOLE_COLS, cells_.end(), BLANK);
    std::copy(written_end_.begin() + 1, written_end_.end(), written_end_.begin());
    written_end_.back() = 0;
    changed_.fill({0, CONSOLE_COLS});  // every line shows other text now
    if (mark_ && --mark_->row < 0) mark_.reset();
}

// The cells keep their text, to be compared with what the next screen
// writes over them; what it does not write over is blanked when read.
void Console::clear() {
    for (std::size_t row = 0; row < CONSOLE_ROWS; ++row) {
        old_text_end_[row] = std::max(old_text_end_[row], written_end_[row]);
        written_end_[row] = 0;
    }
    history_.clear();
    row_ = 0;
    col_ = 0;
    needed_ = 0;
    mark_.reset();
    status_changed_ = status_changed_ || has_status();
    status_forms_ = 0;
}

void Console::erase_back() {
    if (character_unfinished()) {
        needed_ = 0;
        return;
    }
    if (col_ > 0) {
        --col_;
    } else if (row_ > 0) {
        --row_;
        col_ = CONSOLE_COLS - 1;
    } else {
        return;
    }
    set_cell(cursor(), BLANK);
}

void Console::set_status(std::span<const std::string_view> forms) {
    std::size_t end = 0;
    status_forms_ = std::min(forms.size(), status_ends_.size());
    for (std::size_t form = 0; form < status_forms_; ++form) {
        for (const char c : forms[form].substr(0, CONSOLE_COLS)) {
            const auto b = static_cast<unsigned char>(c);
            status_[end++] = b < ' ' || b == DEL ? picture_of(b) : b < 0x80 ? b : broken();
        }
        status_ends_[form] = end;
    }
    status_changed_ = true;
}

std::u32string_view Console::status(int cols) const {
    std::size_t begin = 0;
    std::size_t form = 0;
    while (form + 1 < status_forms_ && status_ends_[form] - begin > static_cast<std::size_t>(cols)) {
        begin = status_ends_[form++];
    }
    return {status_.data() + begin, has_status() ? status_ends_[form] - begin : 0};
}

Console::ColSpan Console::changed(int row) const {
    blank_old_text(row);
    return changed_[static_cast<std::size_t>(row)];
}

bool Console::lines_changed() const {
    for (int row = 0; row < CONSOLE_ROWS; ++row) {
        if (changed(row).first < changed(row).end) return true;
    }
    return false;
}

void Console::forget_changes() {
    changed_.fill({});
    status_changed_ = false;
}

}  // namespace skarvel
