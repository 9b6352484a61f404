#include "screens/command_line.h"

#include <getopt.h>

#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "screens/build_settings.h"

namespace skarvel {

namespace {

constexpr option LONG_OPTIONS[] = {
    {"dir", required_argument, nullptr, 'd'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};
// The leading ':' tells a missing argument (':') from an unknown option ('?'),
// and keeps getopt from printing messages of its own.
constexpr const char* SHORT_OPTIONS = ":d:hV";

CommandLine bad_usage(std::string error) {
    return {.action = CommandLine::Action::bad_usage, .records_dir = {}, .error = std::move(error)};
}

// The option getopt_long stopped at: a known long one by its full name,
// however shortened ("--d" is "--dir"); an unknown long one or a letter as
// typed ("--foo", "-d"). An unknown letter may stand inside a group ("-xh"):
// it is named alone. Past any other, getopt_long has moved on to the next
// argument.
std::string offending_option(char* argv[]) {
    const bool known_letter = optopt != ':' && std::strchr(SHORT_OPTIONS, optopt) != nullptr;
    if (optopt != 0 && !known_letter) return {'-', static_cast<char>(optopt)};
    std::string typed = argv[optind - 1];
    if (typed.starts_with("--")) {
        for (const option& known : LONG_OPTIONS) {
            if (known.name != nullptr && known.val == optopt) return std::string("--") + known.name;
        }
    }
    return typed;
}

}  // namespace

CommandLine parse_command_line(int argc, char* argv[]) {
    CommandLine line;
    optind = 0;  // start afresh: the whole scan again, also on a second call
    for (;;) {
        const int c = ::getopt_long(argc, argv, SHORT_OPTIONS, LONG_OPTIONS, nullptr);
        switch (c) {
            case -1:
                if (optind < argc) return bad_usage(std::string("unexpected argument '") + argv[optind] + "'");
                return line;
            case 'd':
                if (*optarg == '\0') return bad_usage("the folder of --dir has no name");
                line.records_dir = optarg;
                break;
            case 'h': line.action = CommandLine::Action::show_usage; return line;
            case 'V': line.action = CommandLine::Action::show_version; return line;
            case ':': return bad_usage("option '" + offending_option(argv) + "' needs a folder");
            default: {
                // getopt_long names a known long option only when it was given a value.
                const std::string named = offending_option(argv);
                if (optopt != 0 && named.starts_with("--")) return bad_usage("option '" + named + "' takes no value");
                return bad_usage("unknown option '" + named + "'");
            }
        }
    }
}

const char* usage_text() {
    return "Usage: skarvel [OPTION]...\n"
           "Play Keldry's Skarvel, a turn-based game for the text terminal.\n"
           "\n"
           "  -d, --dir=DIR   keep score.txt and options.txt in DIR, made if missing,\n"
           "                  instead of the working directory; help.txt is looked\n"
           "                  up there first\n"
           "  -h, --help      show this help and exit\n"
           "  -V, --version   show the version and exit\n"
           "\n"
           "The keys, the files and the exit statuses are described in skarvel(6).\n";
}

const char* version_line() { return "skarvel " SKARVEL_VERSION "\n"; }

bool make_records_dir(const std::string& dir, std::string& why) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!error && !std::filesystem::is_directory(dir, error) && !error) {
        error = std::make_error_code(std::errc::not_a_directory);  // GCOVR_EXCL_LINE: libstdc++ reports it itself
    }
    if (!error) return true;
    why = "cannot make the folder '" + dir + "': " + error.message();
    return false;
}

}  // namespace skarvel
