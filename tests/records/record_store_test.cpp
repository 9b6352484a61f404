#include "records/record_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>
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

TEST_F(RecordStoreTest, SavesWriteTheFieldsAndNothingElse) {
    const mode_t old_mask = ::umask(022);
    RecordStore store(".");
    store.save_score({152, 3});
    store.save_options(DEFAULTS);
    ::umask(old_mask);
    EXPECT_EQ(get(SCORE_FILE), "152 3");
    EXPECT_EQ(get(OPTIONS_FILE), "40 20 1 1 1");
    store.save_options(stored(120, 8, '3', '2', 10));
    EXPECT_EQ(get(OPTIONS_FILE), "120 8 3 2 10");
    EXPECT_EQ(files(), (Names{SCORE_FILE, OPTIONS_FILE}));
    // A new record gets what the umask leaves of 0666; a replaced one keeps its own.
    EXPECT_EQ(fs::status(SCORE_FILE).permissions(), fs::perms(0644));
    fs::permissions(OPTIONS_FILE, fs::perms(0600));
    store.save_options(DEFAULTS);
    EXPECT_EQ(fs::status(OPTIONS_FILE).permissions(), fs::perms(0600));
}

TEST_F(RecordStoreTest, TwoRunsThatEachWinOnceAddUpInEitherOrder) {
    for (const bool first_saves_first : {true, false}) {
        put(SCORE_FILE, "7 2");
        RecordStore first("."), second(".");
        ScoreRecord first_run, second_run;
        first.load_score(first_run);
        second.load_score(second_run);
        first_run = {10, 3};
        second_run = {8, 3};
        if (first_saves_first) first.save_score(first_run);
        second.save_score(second_run);
        if (!first_saves_first) first.save_score(first_run);
        EXPECT_EQ(get(SCORE_FILE), "10 4") << first_saves_first;
        first.save_score(first_run);  // nothing new: its win is not counted twice
        EXPECT_EQ(get(SCORE_FILE), "10 4") << first_saves_first;
    }
    EXPECT_EQ(files(), Names{SCORE_FILE});
}

TEST_F(RecordStoreTest, TheEndOfTheRunSavesOnlyWhatWasGained) {
    put(SCORE_FILE, "7 2");
    RecordStore store(".");
    ScoreRecord run;
    store.load_score(run);
    fs::remove(SCORE_FILE);
    store.save_score_if_gained(run);
    EXPECT_EQ(files(), Names{});
    run.games_won = 3;
    store.save_score_if_gained(run);
    EXPECT_EQ(get(SCORE_FILE), "7 3");  // the file was gone: the run's own values
    put(SCORE_FILE, "damaged");
    run.games_won = 4;
    store.save_score_if_gained(run);
    EXPECT_EQ(get(SCORE_FILE), "7 4");  // unreadable: the run's own values again
    put(SCORE_FILE, "7 2147483647");    // another copy's count, at the maximum
    run.games_won = 5;
    store.save_score_if_gained(run);
    EXPECT_EQ(get(SCORE_FILE), "7 2147483647");
    run.best_score = 8;
    store.save_score_if_gained(run);
    EXPECT_EQ(get(SCORE_FILE), "8 2147483647");
    put(SCORE_FILE, BOM + "8 6");  // as an editor saves it
    run.games_won = 6;
    store.save_score_if_gained(run);
    EXPECT_EQ(get(SCORE_FILE), "8 7");
}

// The other copy holds the lock of the folder the link leads to (on another
// filesystem where there is one) while it saves its own win; this save waits
// for it, adds to it, and clears what killed saves of this record left there.
TEST_F(RecordStoreTest, ASaveThroughALinkWaitsForTheTargetFoldersLockAndClearsLeftovers) {
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
    put((synced / ".score.txt.Ab1234").c_str(), "");  // as a save killed before its rename leaves it
    RecordStore store("records");
    ScoreRecord run;
    store.load_score(run);
    const int other_copy = ::open(synced.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(other_copy, LOCK_EX), 0);
    std::thread other_save([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        put(score.c_str(), "7 3");
        ::close(other_copy);
    });
    store.save_score({9, 3});
    other_save.join();
    EXPECT_EQ(store.failed_saves(), Lines{});
    EXPECT_EQ(get(score.c_str()), "9 4");
    Names left;
    for (const auto& e : fs::directory_iterator(synced)) left.insert(e.path().filename().string());
    Names expected = others;
    expected.insert(SCORE_FILE);
    EXPECT_EQ(left, expected);
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
TEST_F(RecordStoreTest, ReadOnlyRecordsAndFoldersAreLeftAsTheyWere) {
    put(SCORE_FILE, "10 2");
    fs::permissions(SCORE_FILE, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    RecordStore store(".");
    store.save_score({999, 9});
    Lines expected{"skarvel: cannot save score.txt: Permission denied"};
    if (::geteuid() != 0) {  // root may write in any folder
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        store.save_options(DEFAULTS);
        expected.emplace_back("skarvel: cannot save options.txt: Permission denied");
    }
    EXPECT_EQ(get(SCORE_FILE), "10 2");
    EXPECT_EQ(files(), Names{SCORE_FILE});
    EXPECT_EQ(store.failed_saves(), expected);
}

// Another copy's save holds the folder lock longer than a save waits: the
// save fails and says so, and the records stay as they were.
TEST_F(RecordStoreTest, ASaveNeverGoesOnWithoutTheFolderLock) {
    put(SCORE_FILE, "5 1");
    put(OPTIONS_FILE, "40 20 1 1 1");
    const int other_copy = ::open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(other_copy, LOCK_EX), 0);
    RecordStore store(".", {.lock_wait = std::chrono::milliseconds(50)});
    store.save_score({9, 3});
    store.save_options(stored(60, 25, '2', '2', 3));
    ::close(other_copy);
    EXPECT_EQ(get(SCORE_FILE), "5 1");
    EXPECT_EQ(get(OPTIONS_FILE), "40 20 1 1 1");
    EXPECT_EQ(store.failed_saves(), (Lines{"skarvel: cannot save score.txt: Folder kept locked by another save",
                                           "skarvel: cannot save options.txt: Folder kept locked by another save"}));
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
        {std::string(RECORD_READ_LIMIT + 1, ' '), ::read, std::to_string(RECORD_READ_LIMIT), false},
    };
    const auto size_read = [](const std::optional<std::string>& current) { return std::to_string(current->size()); };
    for (const auto& c : cases) {
        put(SCORE_FILE, c.file);
        const std::error_code error = update_file(SCORE_FILE, size_read, {.read = c.read});
        EXPECT_EQ(error, c.failed ? std::make_error_code(std::errc::io_error) : std::error_code{}) << c.saved;
        EXPECT_EQ(get(SCORE_FILE), c.saved);
    }
}

// The exit status of a child process that runs `body`: 0 unless a check in it failed.
int status_of_child(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = -1;
    if (child > 0) ::waitpid(child, &status, 0);
    return status;
}

// A record there but unreadable at save time may hold another copy's wins: the save fails and keeps it, the end
// of the run tries again, and what is saved then is no longer reported. Run as an ordinary user where root.
TEST_F(RecordStoreTest, ARecordThatCannotBeReadAtSaveTimeIsKeptAndSavedLater) {
    constexpr uid_t NOBODY = 65534;
    put(SCORE_FILE, "7 4");
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || (::chown(".", NOBODY, NOBODY) == 0 && ::chown(SCORE_FILE, NOBODY, NOBODY) == 0));
    EXPECT_EQ(status_of_child([root] {
                  ASSERT_TRUE(!root || (::setgid(NOBODY) == 0 && ::setuid(NOBODY) == 0));
                  RecordStore store(".");
                  fs::permissions(SCORE_FILE, fs::perms::owner_write);
                  store.save_score({5, 1});
                  EXPECT_EQ(store.failed_saves(), Lines{"skarvel: cannot save score.txt: Permission denied"});
                  fs::permissions(SCORE_FILE, fs::perms::owner_read | fs::perms::owner_write);
                  EXPECT_EQ(get(SCORE_FILE), "7 4");
                  store.save_score_if_gained({5, 1});
                  EXPECT_EQ(get(SCORE_FILE), "7 5");
                  EXPECT_EQ(store.failed_saves(), Lines{});
              }),
              0);
}

// The game ignores SIGXFSZ: a save past the file-size limit is a failed
// write like any other, which leaves the old record and no temporary file.
TEST_F(RecordStoreTest, ASaveOverTheFileSizeLimitKeepsTheOldRecord) {
    put(SCORE_FILE, "10 2");
    put(OPTIONS_FILE, "50 25 3 2 4");
    EXPECT_EQ(status_of_child([] {
                  (void)std::signal(SIGXFSZ, SIG_IGN);
                  rlimit none{};
                  ::getrlimit(RLIMIT_FSIZE, &none);
                  none.rlim_cur = 0;
                  ::setrlimit(RLIMIT_FSIZE, &none);
                  RecordStore store(".");
                  store.save_score({999, 9});
                  store.save_options(DEFAULTS);
                  EXPECT_EQ(store.failed_saves(), (Lines{"skarvel: cannot save score.txt: File too large",
                                                         "skarvel: cannot save options.txt: File too large"}));
              }),
              0);
    EXPECT_EQ(get(SCORE_FILE), "10 2");
    EXPECT_EQ(get(OPTIONS_FILE), "50 25 3 2 4");
    EXPECT_EQ(files(), (Names{SCORE_FILE, OPTIONS_FILE}));
}

}  // namespace
}  // namespace skarvel
