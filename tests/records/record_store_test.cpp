#include "records/record_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "records/record_file.h"
#include "support/temp_dir.h"

namespace skarvel {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;
using Lines = std::vector<std::string>;

// The UTF-8 byte-order mark some editors put at the start of a file.
const std::string BOM = "\xEF\xBB\xBF";

// options.txt's fields as the game keeps them.
OptionsRecord stored(std::int32_t length, std::int32_t width, char colour, char display, std::int32_t level) {
    using enum FieldFormat;
    return {{number, length}, {number, width}, {character, colour}, {character, display}, {number, level}};
}
const OptionsRecord DEFAULTS = stored(40, 20, '1', '1', 1);  // the game's own start-up settings

class RecordStoreTest : public testing::TempDir {};

// A system call of the records' code (see the wrappers at the end) armed to fail.
struct ArmedCall {
    const char* name = nullptr;    // "read", "close"...; none where null
    int skip = 0;                  // calls of it that go through first
    int error = 0;                 // the errno it then fails with; 0: it goes through
    std::function<void()> before;  // run first
};
ArmedCall armed;   // until it has come
int crash_at = 0;  // the wrapped call, counted from 1, at which the process kills itself; 0: none

// Saves what a run that read the score "7 4" gained, a best score of 9 and a win, or its new settings.
void save_gains(RecordStore& store, bool score) {
    score ? store.save_score({9, 5}) : store.save_options(stored(120, 8, '3', '2', 10));
}

TEST_F(RecordStoreTest, ReadsTheFieldsInOrderUntilTheFirstUnreadableOne) {
    const std::pair<std::string, ScoreRecord> scores[] = {
        {"17", {17, 0}},       {"\r\n 4 \r\n9\r\n", {4, 9}}, {"- 5", {0, 0}}, {"99999999999 -5", {INT32_MAX, -5}},
        {BOM + "5 2", {5, 2}},  // a byte-order mark is skipped
    };
    for (const auto& [text, expected] : scores) {
        put(SCORE_FILE, text);
        ScoreRecord read;
        RecordStore(".").load_score(read);
        EXPECT_EQ(read, expected) << text;
    }
    const std::pair<std::string, OptionsRecord> settings[] = {
        {"50 25", stored(50, 25, '1', '1', 1)},
        {"40 20 12 3", stored(40, 20, '1', '2', 3)},
        {"abc 20 1 1 1", DEFAULTS},
        {"40 20x2 1 5", stored(40, 20, 'x', '2', 1)},  // a character right after a number
        {BOM + "50 25 3 2 4", stored(50, 25, '3', '2', 4)},
        {"-4\r\n999\r\nh\r\np\r\n0 and more", stored(-4, 999, 'h', 'p', 0)},  // taken as read
    };
    for (const auto& [text, expected] : settings) {
        put(OPTIONS_FILE, text);
        OptionsRecord read = DEFAULTS;
        RecordStore(".").load_options(read);
        EXPECT_EQ(read, expected) << text;
    }
}

// A new record gets what the umask leaves of 0666; a replaced one keeps its own permissions.
TEST_F(RecordStoreTest, SavesKeepTheRecordsPermissions) {
    const mode_t old_mask = ::umask(022);
    RecordStore store(".");
    store.save_score({152, 3});
    EXPECT_EQ(::umask(old_mask), 022);  // left as it was
    put(OPTIONS_FILE, "");
    fs::permissions(OPTIONS_FILE, fs::perms(0600));
    store.save_options(DEFAULTS);
    EXPECT_EQ(get(SCORE_FILE) + ", " + get(OPTIONS_FILE), "152 3, 40 20 1 1 1");
    EXPECT_EQ(fs::status(SCORE_FILE).permissions(), fs::perms(0644));
    EXPECT_EQ(fs::status(OPTIONS_FILE).permissions(), fs::perms(0600));
    EXPECT_EQ(files(), (Names{SCORE_FILE, OPTIONS_FILE}));
}

TEST_F(RecordStoreTest, TheEndOfTheRunSavesOnlyWhatWasGained) {
    put(SCORE_FILE, "7 2");
    RecordStore store(".");
    ScoreRecord run;
    store.load_score(run);
    fs::remove(SCORE_FILE);
    const struct {
        std::optional<std::string> file;  // put there first
        ScoreRecord run;
        std::string saved;
    } steps[] = {
        {{}, {7, 2}, "(none)"},                    // nothing gained
        {{}, {7, 3}, "7 3"},                       // the file was gone: the run's own values
        {"damaged", {7, 4}, "7 4"},                // unreadable: the run's own values again
        {"7 2147483647", {7, 5}, "7 2147483647"},  // another copy's count, at the maximum
        {{}, {8, 5}, "8 2147483647"},
        {BOM + "8 6", {8, 6}, "8 7"},  // as an editor saves it
    };
    for (const auto& step : steps) {
        if (step.file) put(SCORE_FILE, *step.file);
        store.save_score_if_gained(step.run);
        EXPECT_EQ(get(SCORE_FILE), step.saved);
    }
}

// The other copy holds the lock of the folder the link leads to (on another filesystem where there is one) while it
// saves its win. A save that waits less fails and says so; one that waits adds to that win, and leaves others' files.
TEST_F(RecordStoreTest, ASaveThroughALinkWaitsForTheTargetFoldersLock) {
    std::string made = "/dev/shm/skarvel-test-XXXXXX";
    const fs::path synced =
        fs::is_directory("/dev/shm") && ::mkdtemp(made.data()) != nullptr ? fs::path(made) : dir_ / "synced";
    const fs::path score = synced / SCORE_FILE;
    fs::create_directories(synced);
    fs::create_directory("records");
    put(score.c_str(), "7 2");
    fs::create_symlink(score, "records/score.txt");
    const Names others{".score.txt.Ab12", ".score.txt.Ab-123", "score.txt.Ab1234", ".options.txt.Ab1234"};
    for (const auto& name : others) put((synced / name).c_str(), "");
    RecordStore store("records");
    ScoreRecord run;
    store.load_score(run);
    const int other_copy = ::open(synced.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(other_copy, LOCK_EX), 0);
    RecordStore hasty("records", {.lock_wait = std::chrono::milliseconds(50)});
    const std::clock_t began = std::clock();
    hasty.save_score({9, 3});
    EXPECT_LT(std::clock() - began, CLOCKS_PER_SEC / 40) << "the 50 ms wait for the lock spun";
    EXPECT_EQ(hasty.failed_saves(),
              Lines{"skarvel: cannot save records/score.txt: Folder kept locked by another save"});
    armed = {"flock", 1, 0, [&] {  // the save tries again, having found the lock taken
                 put(score.c_str(), "7 3");
                 ::close(other_copy);
             }};
    store.save_score({9, 3});
    EXPECT_EQ(armed.name, nullptr);
    EXPECT_EQ(store.failed_saves(), Lines{});
    EXPECT_EQ(get(score.c_str()), "9 4");
    for (const auto& name : others) EXPECT_TRUE(fs::exists(synced / name)) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(synced), {}), 5);
    EXPECT_TRUE(fs::is_symlink("records/score.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator("records"), {}), 1);
    fs::remove_all(synced);
}

// Reported once per file, with the first reason, and the folder as given.
TEST_F(RecordStoreTest, ARecordThatIsNoRegularFileIsMissingAndNeverReplaced) {
    fs::create_directory("records");
    ASSERT_EQ(::mkfifo("records/score.txt", 0644), 0);
    fs::create_directory("records/options.txt");
    RecordStore store("records");
    ScoreRecord score{5, 6};
    OptionsRecord options = stored(77, 9, '6', '2', 4);
    ::alarm(10);  // a FIFO that blocks the reading ends the test here
    store.load_score(score);
    store.load_options(options);
    ::alarm(0);
    EXPECT_EQ(score, (ScoreRecord{5, 6}));
    EXPECT_EQ(options, stored(77, 9, '6', '2', 4));
    store.save_score({9, 9});
    store.save_options(DEFAULTS);
    EXPECT_TRUE(fs::is_fifo("records/score.txt"));
    EXPECT_TRUE(fs::is_directory("records/options.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator("records"), {}), 2);
    fs::remove("records/options.txt");
    ASSERT_EQ(::mkfifo("records/options.txt", 0644), 0);
    store.save_options(DEFAULTS);
    EXPECT_EQ(store.failed_saves(), (Lines{"skarvel: cannot save records/score.txt: Not a regular file",
                                           "skarvel: cannot save records/options.txt: Is a directory"}));
    fs::remove("records/score.txt");
    fs::create_symlink("score.txt", "records/score.txt");  // a loop
    RecordStore looped("records");
    looped.save_score({9, 9});
    EXPECT_EQ(looped.failed_saves(),
              Lines{"skarvel: cannot save records/score.txt: Too many levels of symbolic links"});
}

// A record no permission bit lets anyone write is kept, for root as well.
TEST_F(RecordStoreTest, ReadOnlyRecordsAreLeftAsTheyWere) {
    put(SCORE_FILE, "10 2");
    fs::permissions(SCORE_FILE, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    RecordStore store(".");
    store.save_score({999, 9});
    EXPECT_EQ(get(SCORE_FILE), "10 2");
    EXPECT_EQ(files(), Names{SCORE_FILE});
    EXPECT_EQ(store.failed_saves(), Lines{"skarvel: cannot save score.txt: Permission denied"});
}

// Run as root, a save gives the record it replaces the owner and group it had.
TEST_F(RecordStoreTest, ASaveAsRootKeepsTheRecordsOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root may give a file away";
    put(OPTIONS_FILE, "3 8 1 1 1");
    ASSERT_EQ(::chown(OPTIONS_FILE, 1234, 5678), 0);
    RecordStore(".").save_options(DEFAULTS);
    struct stat saved {};
    ASSERT_EQ(::stat(OPTIONS_FILE, &saved), 0);
    EXPECT_EQ(get(OPTIONS_FILE), "40 20 1 1 1");
    EXPECT_EQ(saved.st_uid, 1234u);
    EXPECT_EQ(saved.st_gid, 5678u);
}

// A record read shorter than its size, or changed while read, may hide another copy's wins: the save fails as a
// read error and keeps the file. Reads that each give a little still read it whole; a huge one is read in part.
TEST_F(RecordStoreTest, ARecordNotReadWholeAtSaveTimeIsKept) {
    const struct {
        std::string file;
        ReadBytes read;
        std::string saved;  // the merge writes the size of what it was given
        bool failed;
    } cases[] = {
        {"7 4", [](int fd, void* to, std::size_t) { return ::read(fd, to, 1); }, "3", false},
        {"7 4", [](int, void*, std::size_t) -> ssize_t { return 0; }, "7 4", true},
        {"7 4",
         [](int fd, void* to, std::size_t size) {
             put(SCORE_FILE, "7 40");  // another copy's save, written in place
             return ::read(fd, to, size);
         },
         "7 40", true},
        {std::string(64 * 1024 + 1, ' '), ::read, "65536", false},  // only the first 64 KiB is read
    };
    const auto size_read = [](const std::optional<std::string>& current) { return std::to_string(current->size()); };
    for (const auto& c : cases) {
        put(SCORE_FILE, c.file);
        const std::error_code error = update_file(SCORE_FILE, size_read, {.read = c.read});
        EXPECT_EQ(error, c.failed ? std::make_error_code(std::errc::io_error) : std::error_code{}) << c.saved;
        EXPECT_EQ(get(SCORE_FILE), c.saved);
    }
}

// A save whose system call fails keeps both records, says why, leaves no temporary file or open descriptor, and
// the next save is made. A failed read is never taken for an empty record (9 would replace another copy's 70). An
// interrupted call is made again; a failure the save can do without (clearing leftovers, flushing the folder after
// the rename) costs nothing. A score save opens the folder, then the record; the second fsync is the folder's.
TEST_F(RecordStoreTest, ASaveWhoseSystemCallFailsKeepsTheRecordsAndIsMadeLater) {
    const char *const S = SCORE_FILE, *const O = OPTIONS_FILE;
    const struct {
        const char* file;
        const char* call;
        int skip;  // calls of it that go through first
        int error;
        bool fails;
    } cases[] = {
        {S, "read", 0, EIO, true},        {S, "close", 1, EIO, true},         {S, "fsync", 0, EIO, true},
        {O, "close", 0, EDQUOT, true},    {O, "fsync", 0, EIO, true},         {S, "lstat", 0, ENOMEM, true},
        {S, "open", 0, EMFILE, true},     {S, "flock", 0, ENOLCK, true},      {S, "stat", 0, EIO, true},
        {S, "faccessat", 0, EROFS, true}, {S, "open", 1, EACCES, true},       {S, "fcntl", 0, EBADF, true},
        {S, "fstat", 0, EOVERFLOW, true}, {S, "fcntl", 1, EBADF, true},       {S, "fstat", 1, EIO, true},
        {O, "mkostemp", 0, EACCES, true}, {O, "fchmod", 0, EPERM, true},      {O, "write", 0, EFBIG, true},
        {O, "rename", 0, EBUSY, true},    {S, "flock", 0, EINTR, false},      {S, "read", 0, EINTR, false},
        {O, "write", 0, EINTR, false},    {O, "fdopendir", 0, ENOMEM, false}, {O, "readdir", 0, EIO, false},
        {O, "fsync", 1, EIO, false},
    };
    const auto descriptors = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " " + std::to_string(c.skip));
        const bool score = c.file == S;
        put(SCORE_FILE, "7 4");
        put(OPTIONS_FILE, "40 20 1 1 1");
        RecordStore store(".");
        ScoreRecord run;
        store.load_score(run);
        put(SCORE_FILE, "70 6");  // another copy's, saved since
        const auto open_before = descriptors();
        armed = {c.call, c.skip, c.error, {}};
        save_gains(store, score);
        EXPECT_EQ(armed.name, nullptr);
        EXPECT_EQ(files(), (Names{SCORE_FILE, OPTIONS_FILE}));
        EXPECT_EQ(descriptors(), open_before);
        if (c.fails) {
            EXPECT_EQ(get(SCORE_FILE) + ", " + get(OPTIONS_FILE), "70 6, 40 20 1 1 1");
            EXPECT_EQ(store.failed_saves(),
                      Lines{"skarvel: cannot save " + std::string(c.file) + ": " + std::strerror(c.error)});
            save_gains(store, score);
        }
        EXPECT_EQ(get(SCORE_FILE) + ", " + get(OPTIONS_FILE), score ? "70 7, 40 20 1 1 1" : "70 6, 120 8 3 2 10");
        EXPECT_EQ(store.failed_saves(), Lines{});
    }
}

// A save killed at any of its system calls leaves the record as it was or as saved, never in part, and the next save
// clears what it left.
TEST_F(RecordStoreTest, ASaveKilledAtAnySystemCallLeavesTheOldRecordOrTheNew) {
    for (const bool score : {true, false}) {
        const char* const file = score ? SCORE_FILE : OPTIONS_FILE;
        const std::string old = score ? "7 4" : "40 20 1 1 1", saved = score ? "9 5" : "120 8 3 2 10";
        const auto save = [&](int crash) {
            RecordStore store(".");
            ScoreRecord run;
            store.load_score(run);
            crash_at = crash;
            save_gains(store, score);
            crash_at = 0;  // not at the calls of _exit, where a coverage build writes its counts
        };
        Names left;
        for (int n = 1;; ++n) {
            put(file, old);
            const pid_t child = ::fork();
            if (child == 0) {
                save(n);
                ::_exit(0);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            if (WIFEXITED(status)) break;  // saved before its n-th call
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << n;
            left.insert(get(file));
            save(0);
            EXPECT_EQ(get(file), saved) << n;
            EXPECT_EQ(files(), (Names{SCORE_FILE, file})) << n;
        }
        EXPECT_EQ(left, (Names{old, saved})) << file;
    }
}

// Whether the call `name` fails (errno set), once what was armed at it has run.
bool fails(const char* name) {
    if (crash_at > 0 && --crash_at == 0) (void)std::raise(SIGKILL);
    if (armed.name == nullptr || std::strcmp(armed.name, name) != 0 || armed.skip-- > 0) return false;
    const ArmedCall call = std::exchange(armed, {});
    if (call.before) call.before();
    if (call.error != 0) errno = call.error;
    return call.error != 0;
}

}  // namespace
}  // namespace skarvel

// The records' system calls as the unit tests are linked (-Wl,--wrap=NAME in tests/CMakeLists.txt): a call of NAME
// comes to __wrap_NAME, and __real_NAME is the C library's own.
// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl50-cpp): the names --wrap gives; open and fcntl take varargs
#define WRAP(Result, failed, name, params, args) \
    Result __real_##name params;                 \
    Result __wrap_##name params { return skarvel::fails(#name) ? (failed) : __real_##name args; }
#define WRAP_VARARGS(name, First)                                                                   \
    int __real_##name(First, int, ...);                                                             \
    int __wrap_##name(First first, int second, ...) {                                               \
        std::va_list more;                                                                          \
        va_start(more, second);                                                                     \
        void* const third = va_arg(more, void*); /* a mode, an int or a pointer, or nothing used */ \
        va_end(more);                                                                               \
        return skarvel::fails(#name) ? -1 : __real_##name(first, second, third);                    \
    }

extern "C" {
WRAP_VARARGS(open, const char*)
WRAP_VARARGS(fcntl, int)
WRAP(int, (__real_close(fd), -1), close, (int fd), (fd))  // as on Linux, closed however close fails
WRAP(ssize_t, -1, read, (int fd, void* to, size_t size), (fd, to, size))
WRAP(ssize_t, -1, write, (int fd, const void* from, size_t size), (fd, from, size))
WRAP(int, -1, fsync, (int fd), (fd))
WRAP(int, -1, rename, (const char* from, const char* to), (from, to))
WRAP(int, -1, unlink, (const char* path), (path))
WRAP(int, -1, unlinkat, (int dir, const char* path, int flags), (dir, path, flags))
WRAP(int, -1, flock, (int fd, int operation), (fd, operation))
WRAP(int, -1, stat, (const char* path, struct stat* st), (path, st))
WRAP(int, -1, lstat, (const char* path, struct stat* st), (path, st))
WRAP(int, -1, fstat, (int fd, struct stat* st), (fd, st))
WRAP(int, -1, fstatat, (int dir, const char* path, struct stat* st, int flags), (dir, path, st, flags))
WRAP(int, -1, faccessat, (int dir, const char* path, int mode, int flags), (dir, path, mode, flags))
WRAP(int, -1, mkostemp, (char* name, int flags), (name, flags))
WRAP(int, -1, fchmod, (int fd, mode_t mode), (fd, mode))
WRAP(int, -1, fchown, (int fd, uid_t owner, gid_t group), (fd, owner, group))
WRAP(int, -1, dup, (int fd), (fd))
WRAP(DIR*, nullptr, fdopendir, (int fd), (fd))
WRAP(dirent*, nullptr, readdir, (DIR * dir), (dir))
WRAP(int, -1, closedir, (DIR * dir), (dir))
}
// NOLINTEND(bugprone-reserved-identifier,cert-dcl50-cpp)
