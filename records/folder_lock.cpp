#include "records/folder_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <thread>

namespace skarvel {

namespace {

class RecordErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "record file"; }  // GCOVR_EXCL_LINE: never shown
    std::string message(int code) const override {
        return code == int(RecordError::folder_locked) ? "Folder kept locked by another save" : "Not a regular file";
    }
};

// True for a temporary file mkostemp made from `prefix` + "XXXXXX".
bool is_temporary_of(std::string_view name, std::string_view prefix) {
    const auto made = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
    return name.size() == prefix.size() + 6 && name.starts_with(prefix) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), made);
}

}  // namespace

std::error_code record_error(RecordError error) {
    static const RecordErrorCategory category;
    return {int(error), category};
}

FolderLock::FolderLock(const std::filesystem::path& folder, std::chrono::milliseconds wait)
    : folder_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (folder_.get() < 0) {
        error_ = last_error();
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(folder_.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = last_error();
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error_ = record_error(RecordError::folder_locked);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void remove_leftovers(const FolderLock& lock, std::string_view prefix) {
    // A copy, closed with the listing. It shares the lock: it must not outlive the save.
    const int copy = ::dup(lock.folder());
    DIR* const dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (dir == nullptr) {
        if (copy >= 0) ::close(copy);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (is_temporary_of(entry->d_name, prefix) &&
            ::fstatat(lock.folder(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            (void)::unlinkat(lock.folder(), entry->d_name, 0);
        }
    }
    (void)::closedir(dir);
}

}  // namespace skarvel
