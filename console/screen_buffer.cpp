#include "console/screen_buffer.h"

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

// The same without UTF-8: a plain stand-in for each glyph byte, '?' for the rest.
constexpr char PLAIN[] = "?@!$???????????*><???%??^?>???^v";
static_assert(sizeof PLAIN == 33);
constexpr char DEL_PLAIN = '?';

}  // namespace

ScreenBuffer::ScreenBuffer(bool utf8) : utf8_(utf8) {
    cells_.fill(BLANK);
    status_.fill(BLANK);
}

int ScreenBuffer::put(unsigned char b) {
    const int before = cells_put_;
    put_byte(b);
    return cells_put_ - before;
}

void ScreenBuffer::put_byte(unsigned char b) {
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

char32_t ScreenBuffer::picture_of(unsigned char control) const {
    if (control == DEL) return utf8_ ? DEL_PICTURE : DEL_PLAIN;
    return utf8_ ? PICTURES[control] : static_cast<char32_t>(PLAIN[control]);
}

// A byte above 127: with UTF-8 a part of a character, assembled here so
// that each malformed part shows as one U+FFFD; otherwise a character of the
// locale.
void ScreenBuffer::put_multibyte(unsigned char b) {
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

char32_t ScreenBuffer::shown_as(char32_t c) const { return ::wcwidth(static_cast<wchar_t>(c)) == 1 ? c : broken(); }

void ScreenBuffer::end_character() {
    if (needed_ == 0) return;
    needed_ = 0;
    put_cell(broken());
}

void ScreenBuffer::put_cell(char32_t c) {
    cells_[static_cast<std::size_t>(row_) * CONSOLE_COLS + static_cast<std::size_t>(col_)] = c;
    note_change(row_, col_ + 1);
    ++cells_put_;
    if (++col_ == CONSOLE_COLS) new_line();
}

void ScreenBuffer::note_change(int row, int end) {
    const auto r = static_cast<std::size_t>(row);
    const auto to = static_cast<std::uint8_t>(end);
    text_to_[r] = std::max(text_to_[r], to);
    changed_to_[r] = std::max(changed_to_[r], to);
}

void ScreenBuffer::new_line() {
    col_ = 0;
    if (row_ + 1 < CONSOLE_LINES) {
        ++row_;
        return;
    }
    Line& scrolled_off = history_.emplace_back();
    std::copy_n(cells_.begin(), CONSOLE_COLS, scrolled_off.begin());
    if (history_.size() > HISTORY_LINES) history_.pop_front();
    std::copy(cells_.begin() + CONSOLE_COLS, cells_.end(), cells_.begin());
    std::fill(cells_.end() - CONSOLE_COLS, cells_.end(), BLANK);
    std::copy(text_to_.begin() + 1, text_to_.end(), text_to_.begin());
    text_to_.back() = 0;
    changed_to_.fill(CONSOLE_COLS);  // every line shows other text now
    if (mark_ && --mark_->row < 0) mark_.reset();
}

void ScreenBuffer::clear() {
    for (int row = 0; row < CONSOLE_LINES; ++row) {
        const auto r = static_cast<std::size_t>(row);
        const auto start = cells_.begin() + static_cast<std::ptrdiff_t>(r * CONSOLE_COLS);
        std::fill(start, start + text_to_[r], BLANK);
        changed_to_[r] = std::max(changed_to_[r], text_to_[r]);
        text_to_[r] = 0;
    }
    history_.clear();
    row_ = 0;
    col_ = 0;
    needed_ = 0;
    mark_.reset();
    status_changed_ = status_changed_ || has_status_;
    has_status_ = false;
}

void ScreenBuffer::erase_back() {
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
    cells_[static_cast<std::size_t>(row_) * CONSOLE_COLS + static_cast<std::size_t>(col_)] = BLANK;
    note_change(row_, col_ + 1);
}

void ScreenBuffer::set_status(std::string_view bytes) {
    status_.fill(BLANK);
    const std::size_t count = std::min(bytes.size(), status_.size());
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        status_[i] = b < ' ' || b == DEL ? picture_of(b) : b < 0x80 ? b : broken();
    }
    has_status_ = true;
    status_changed_ = true;
}

std::optional<std::u32string_view> ScreenBuffer::status() const {
    if (!has_status_) return std::nullopt;
    return std::u32string_view(status_.data(), status_.size());
}

bool ScreenBuffer::lines_changed() const {
    return std::any_of(changed_to_.begin(), changed_to_.end(), [](std::uint8_t to) { return to > 0; });
}

void ScreenBuffer::forget_changes() {
    changed_to_.fill(0);
    status_changed_ = false;
}

}  // namespace skarvel
