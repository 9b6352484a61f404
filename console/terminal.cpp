#include "console/terminal.h"

#include <algorithm>
#include <cstdarg>

namespace skarvel {

int Terminal::read_line_char() {
    if (pos_ == line_.size()) {
        line_.clear();
        pos_ = 0;
        if (!read_line(line_) || line_.empty()) {
            line_.clear();
            return EOF;
        }
    }
    return static_cast<unsigned char>(line_[pos_++]);
}

void Terminal::unread_line_char() {
    if (pos_ > 0) --pos_;
}

void Terminal::printf(const char* format, ...) {  // NOLINT(cert-dcl50-cpp): checked as a printf format
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0) write(std::string_view(buffer, std::min<std::size_t>(n, sizeof buffer - 1)));
}

}  // namespace skarvel
