// Reading and replacing the small files the game keeps: only regular files
// are read, and a save either replaces the whole file or leaves it as it was.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace skarvel {

// Closes a FILE* owned by a FileHandle.
struct CloseFile {
    // Only read: a failed close loses nothing.
    void operator()(std::FILE* file) const { (void)std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, CloseFile>;

// Opens `path` for reading when it is a regular file (a symbolic link is
// followed); a FIFO, device, socket or folder gives null like a missing file.
// Never blocks, whatever the name turns out to be.
FileHandle open_regular_file(const std::filesystem::path& path);

// Replaces the whole content of `path` with `content`, or leaves the old file
// untouched and gives the reason. A symbolic link stays and its final target
// gets the content. The old file's permissions are kept; a new file gets what
// the umask leaves of 0666. A read-only file, or a name taken by a FIFO,
// device, socket or folder, is never replaced.
//
// The new content is renamed over the old name, so a file with several hard
// links gets a new inode under this name only: the other names keep the old
// content, as they would after any editor's atomic save.
std::error_code replace_file(const std::filesystem::path& path, std::string_view content);

// As replace_file, with the content made from what the file holds now:
// `merge` gets the file open for reading (null when it cannot be opened) and
// gives the new content. Copies of the game that update the same file at
// once take turns through a lock on the target's folder; a lock not had
// within a moment is done without, rather than keep the game waiting.
std::error_code update_file(const std::filesystem::path& path,
                            const std::function<std::string(std::FILE* current)>& merge);

}  // namespace skarvel
