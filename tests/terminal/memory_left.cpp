// Preloaded into the game by failures_test.py: once the file that
// SKARVEL_MEMORY_LEFT names exists, memory is short, and allocations get only
// the number of bytes it held and what is freed from then on.
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" void* __libc_malloc(size_t size);  // NOLINT(bugprone-reserved-identifier): the C library's own
extern "C" void __libc_free(void* memory);    // NOLINT(bugprone-reserved-identifier)

static bool short_of_memory = false;
static size_t bytes_left = 0;  // while short of memory

extern "C" {
void* malloc(size_t size) {
    const char* file = short_of_memory ? nullptr : std::getenv("SKARVEL_MEMORY_LEFT");
    if (const int fd = file != nullptr ? ::open(file, O_RDONLY | O_CLOEXEC) : -1; fd >= 0) {
        char text[24] = {};
        short_of_memory = ::read(fd, text, sizeof text - 1) >= 0;
        bytes_left = std::strtoul(text, nullptr, 10);
        ::close(fd);
    }
    if (short_of_memory && size > bytes_left) {
        errno = ENOMEM;
        return nullptr;
    }
    bytes_left -= short_of_memory ? size : 0;
    return __libc_malloc(size);
}

void free(void* memory) {
    if (memory != nullptr && short_of_memory) bytes_left += malloc_usable_size(memory);
    __libc_free(memory);
}

void* calloc(size_t count, size_t size) {
    void* memory = size == 0 || count <= SIZE_MAX / size ? malloc(count * size) : nullptr;
    return memory != nullptr ? std::memset(memory, 0, count * size) : nullptr;
}

void* realloc(void* old, size_t size) {
    void* memory = malloc(size);
    if (memory != nullptr && old != nullptr) std::memcpy(memory, old, std::min(size, malloc_usable_size(old)));
    if (memory != nullptr) free(old);
    return memory;
}
}
