// A Terminal for tests: it records in order every byte written, every other call
// by name ("clear_screen", "set_colours(white, light_blue)": background, then
// foreground) and every sleep, hands out keys and typed lines from a script, and
// advances a virtual clock instead of sleeping.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/terminal.h"

namespace skarvel::testing {

// A script of key presses.
using Keys = std::vector<Key>;

// Keys that type these bytes.
inline Keys chars(std::string_view bytes) {
    Keys keys;
    for (const char c : bytes) keys.push_back(Key::of(static_cast<unsigned char>(c)));
    return keys;
}
inline Keys operator+(Keys a, const Keys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline const Keys UP{Key{Key::Kind::up}};
inline const Keys DOWN{Key{Key::Kind::down}};
inline const Keys LEFT{Key{Key::Kind::left}};
inline const Keys RIGHT{Key{Key::Kind::right}};
inline const Keys OTHER_KEY{Key{Key::Kind::other}};  // PageDown, Home, F1...

inline std::string colour_command(const char* name, Colours c) {
    constexpr const char* colour_names[] = {"black",     "blue",         "green",        "cyan",
                                            "red",       "purple",       "yellow",       "white",
                                            "grey",      "light_blue",   "light_green",  "light_cyan",
                                            "light_red", "light_purple", "light_yellow", "bright_white"};
    return std::string(name) + "(" + colour_names[static_cast<int>(c.background)] + ", " +
           colour_names[static_cast<int>(c.foreground)] + ")";
}

class ScriptedTerminal : public Terminal {
public:
    // The clock starts at `start_seconds` of calendar time.
    explicit ScriptedTerminal(std::int64_t start_seconds = 1'700'000'000) : start_seconds_(start_seconds) {}

    // Queues key presses: characters, one a byte, or any keys.
    ScriptedTerminal& keys(std::string_view bytes) { return keys(chars(bytes)); }
    ScriptedTerminal& keys(const Keys& k) {
        keys_.insert(keys_.end(), k.begin(), k.end());
        return *this;
    }
    // Queues a typed line; its '\n' is added.
    ScriptedTerminal& line(std::string_view text) {
        lines_.emplace_back(std::string(text) + "\n");
        return *this;
    }
    // Line input reports its end once the queued lines are used up.
    ScriptedTerminal& end_of_input() {
        end_of_input_ = true;
        return *this;
    }
    // Sets the calendar clock, keeping the virtual milliseconds.
    void set_seconds(std::int64_t s) { start_seconds_ = s - now_ms_ / 1000; }

    std::int64_t now_ms() const { return now_ms_; }  // the virtual time slept so far
    std::size_t keys_left() const { return keys_.size(); }
    // Where in output() the cursor mark stands; npos for none.
    std::size_t mark() const { return mark_; }
    // The status line's forms since the last clear, in no transcript; none for none.
    const std::vector<std::string>& status() const { return status_; }

    // Every byte written (typed lines included, as the console echoes them).
    std::string output() const { return joined(false); }
    // Everything in order: bytes as written, <commands>, {sleeps in ms}.
    std::string transcript() const { return joined(true); }
    // The bytes written after each clear_screen, one string a screen.
    std::vector<std::string> screens() const {
        std::vector<std::string> all;
        for (const Event& e : events_) {
            if (e.kind == Kind::command && e.text == "clear_screen") all.emplace_back();
            if (e.kind == Kind::write && !all.empty()) all.back() += e.text;
        }
        return all;
    }
    // The bytes written since the last clear_screen (all of them if there was none).
    std::string screen() const {
        const std::vector<std::string> all = screens();
        return all.empty() ? output() : all.back();
    }
    std::vector<std::string> commands() const {
        std::vector<std::string> all;
        for (const Event& e : events_) {
            if (e.kind == Kind::command) all.push_back(e.text);
        }
        return all;
    }
    // Drops what was recorded so far.
    void forget() {
        events_.clear();
        mark_ = std::string::npos;
    }

    void write(std::string_view bytes) override {
        if (events_.empty() || events_.back().kind != Kind::write) events_.push_back({Kind::write, ""});
        events_.back().text += bytes;
    }
    void clear_screen() override {
        command("clear_screen");
        mark_ = std::string::npos;
        status_.clear();
    }
    void set_colours(Colours c) override { command(colour_command("set_colours", c)); }
    void flash_colours(Colours c) override { command(colour_command("flash_colours", c)); }
    void size_window() override { command("size_window"); }
    void mark_cursor() override { mark_ = output().size(); }
    void unmark_cursor() override { mark_ = std::string::npos; }
    void set_status(std::span<const std::string_view> forms) override { status_.assign(forms.begin(), forms.end()); }
    Key read_key() override {
        if (keys_.empty()) run_out("keys");
        const Key k = keys_.front();
        keys_.pop_front();
        return k;
    }
    void sleep_ms(std::uint32_t ms) override {
        events_.push_back({Kind::sleep, std::to_string(ms)});
        now_ms_ += ms;
    }
    std::int64_t seconds() override { return start_seconds_ + now_ms_ / 1000; }
    bool read_line(std::string& into) override {
        if (lines_.empty()) {
            if (end_of_input_) return false;
            run_out("typed lines");
        }
        into += lines_.front();  // appended, as a real terminal's line editor does
        write(lines_.front());   // the console echoes what is typed
        lines_.pop_front();
        return true;
    }

private:
    enum class Kind { write, command, sleep };
    struct Event {
        Kind kind;
        std::string text;  // bytes written, the command line, or the sleep in ms
    };

    void command(std::string line) { events_.push_back({Kind::command, std::move(line)}); }

    std::string joined(bool all) const {
        std::string s;
        for (const Event& e : events_) {
            if (e.kind == Kind::write) s += e.text;
            if (all && e.kind == Kind::command) s += "<" + e.text + ">";
            if (all && e.kind == Kind::sleep) s += "{" + e.text + "}";
        }
        return s;
    }
    // A script that runs out fails the test and ends the run, never hangs.
    [[noreturn]] void run_out(const char* what) {
        ADD_FAILURE() << "the script ran out of " << what;
        throw RunEnded{};
    }

    std::deque<Key> keys_;
    std::deque<std::string> lines_;
    std::vector<Event> events_;
    std::int64_t start_seconds_;
    std::int64_t now_ms_ = 0;
    bool end_of_input_ = false;
    std::size_t mark_ = std::string::npos;
    std::vector<std::string> status_;
};

}  // namespace skarvel::testing
