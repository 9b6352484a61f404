// What the saves of records/ share below the file level: the errors of system
// calls, descriptors closed on scope exit, and the lock on a folder that
// saves in it take turns through, with the temporary files a save killed
// before its rename leaves there.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace skarvel {

// errno after a failed system call.
inline std::error_code last_error() { return {errno, std::generic_category()}; }

// The failures that have no errno of their own.
enum class RecordError { not_regular_file = 1, folder_locked };
std::error_code record_error(RecordError error);

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;  // the open descriptor, or -1
};

// An exclusive flock on a folder, held until destruction: the lock lives on
// the folder itself, so no lock file is left behind. It belongs to the open
// file description, so two stores of one process take turns as well.
class FolderLock {
public:
    // Waits for the lock up to `wait`, polling every 10 ms; error() says why
    // it is not held.
    FolderLock(const std::filesystem::path& folder, std::chrono::milliseconds wait);

    std::error_code error() const { return error_; }
    int folder() const { return folder_.get(); }  // the locked folder, open for reading

private:
    Descriptor folder_;      // closing it releases the lock
    std::error_code error_;  // why the lock is not held; none when it is
};

// Removes the temporary files named `prefix` + six letters or digits that
// saves left in the locked folder when they were killed before their rename.
// Only done holding the lock: no save is writing one then. A failure here
// costs the save nothing.
void remove_leftovers(const FolderLock& lock, std::string_view prefix);

}  // namespace skarvel
