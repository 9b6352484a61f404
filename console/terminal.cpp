#include "console/terminal.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace skarvel {

void Terminal::printf(const char* format, ...) {  // NOLINT(cert-dcl50-cpp): checked as a printf format
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0) write(std::string_view(buffer, std::min<std::size_t>(n, sizeof buffer - 1)));
}

}  // namespace skarvel
