#include "console/screen_buffer.h"

#include <wchar.h>  // wcwidth (POSIX)

#include <algorithm>
#include <cwchar>

namespace skarvel {

namespace {

constexpr unsigned char DEL = 127;
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

// What a character that cannot show in one column shows as.
constexpr char32_t BROKEN_UTF8 = U'\uFFFD';
constexpr char32_t BROKEN_PLAIN = U'?';

// True when the locale shows `c` in exactly one column (no control, no
// double-width or combining character).
bool one_column(char32_t c) { return ::wcwidth(static_cast<wchar_t>(c)) == 1; }

}  // namespace

ScreenBuffer::ScreenBuffer(bool utf8) : utf8_(utf8) { cells_.fill(BLANK); }

int ScreenBuffer::put(unsigned char b) {
    const int before = shown_;
    put_byte(b);
    return shown_ - before;
}

void ScreenBuffer::put_byte(unsigned char b) {
    if (b >= 0x80) {
        if (utf8_) {
            put_utf8(b);
        } else {
            const std::wint_t c = std::btowc(b);
            show(c != WEOF && one_column(static_cast<char32_t>(c)) ? static_cast<char32_t>(c) : BROKEN_PLAIN);
        }
        return;
    }
    end_sequence();
    if (b == '\a') {
        bell_ = true;
    } else if (b == '\b') {
        col_ = std::max(col_ - 1, 0);
    } else if (b == '\t') {
        do show(BLANK);
        while (col_ % TAB_WIDTH != 0);
    } else if (b == '\n') {
        new_line();
    } else if (b < ' ' || b == DEL) {
        if (utf8_) {
            show(b == DEL ? DEL_PICTURE : PICTURES[b]);
        } else {
            show(static_cast<char32_t>(b == DEL ? DEL_PLAIN : PLAIN[b]));
        }
    } else {
        show(b);
    }
}

void ScreenBuffer::put_utf8(unsigned char b) {
    if (needed_ > 0) {
        if (b >= lowest_ && b <= highest_) {
            partial_ = partial_ << 6 | (b & 0x3F);
            lowest_ = 0x80;
            highest_ = 0xBF;
            if (--needed_ == 0) show(one_column(partial_) ? partial_ : BROKEN_UTF8);
            return;
        }
        end_sequence();  // and `b` starts afresh
    }
    // A lead byte: how many continuation bytes follow, and the range of the
    // first one that keeps out overlong forms, surrogates and code points
    // past U+10FFFF.
    lowest_ = 0x80;
    highest_ = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        needed_ = 1;
        partial_ = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        needed_ = 2;
        partial_ = b & 0x0F;
        if (b == 0xE0) lowest_ = 0xA0;
        if (b == 0xED) highest_ = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        needed_ = 3;
        partial_ = b & 0x07;
        if (b == 0xF0) lowest_ = 0x90;
        if (b == 0xF4) highest_ = 0x8F;
    } else {
        show(BROKEN_UTF8);  // a continuation byte alone, or no UTF-8 at all
    }
}

void ScreenBuffer::end_sequence() {
    if (needed_ == 0) return;
    needed_ = 0;
    show(BROKEN_UTF8);
}

void ScreenBuffer::show(char32_t c) {
    cells_[static_cast<std::size_t>(row_) * CONSOLE_COLS + static_cast<std::size_t>(col_)] = c;
    ++shown_;
    if (++col_ == CONSOLE_COLS) new_line();
}

void ScreenBuffer::new_line() {
    col_ = 0;
    if (row_ + 1 < CONSOLE_LINES) {
        ++row_;
        return;
    }
    keep_in_history(line(0));
    std::copy(cells_.begin() + CONSOLE_COLS, cells_.end(), cells_.begin());
    std::fill(cells_.end() - CONSOLE_COLS, cells_.end(), BLANK);
    if (mark_ && --mark_->row < 0) mark_.reset();
}

void ScreenBuffer::keep_in_history(std::u32string_view top) {
    if (history_.empty()) history_.resize(std::size_t{HISTORY_LINES} * CONSOLE_COLS);
    const int slot = (history_first_ + history_count_) % HISTORY_LINES;
    std::copy(top.begin(), top.end(), history_.begin() + static_cast<std::ptrdiff_t>(slot) * CONSOLE_COLS);
    if (history_count_ < HISTORY_LINES) {
        ++history_count_;
    } else {
        history_first_ = (history_first_ + 1) % HISTORY_LINES;
    }
    ++scrolled_off_;
}

std::u32string_view ScreenBuffer::history_line(int i) const {
    const int slot = (history_first_ + i) % HISTORY_LINES;
    return {history_.data() + static_cast<std::ptrdiff_t>(slot) * CONSOLE_COLS, CONSOLE_COLS};
}

void ScreenBuffer::clear() {
    history_first_ = 0;
    history_count_ = 0;
    scrolled_off_ = 0;
    cells_.fill(BLANK);
    row_ = 0;
    col_ = 0;
    needed_ = 0;
    mark_.reset();
}

void ScreenBuffer::erase_back() {
    if (needed_ > 0) {
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
}

}  // namespace skarvel
