// A Terminal for tests: it records every byte written and every console
// command with the virtual time it happened at, hands out keys and typed
// lines from a script, and advances a virtual clock instead of sleeping.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "console/terminal.h"

namespace skarvel::testing {

class ScriptedTerminal : public Terminal {
public:
    enum class Kind { write, command, sleep };
    struct Event {
        Kind kind;
        std::int64_t at_ms;  // virtual time when it happened
        std::string text;    // bytes written, the command line, or the sleep in ms
    };

    // The clock starts at `start_seconds` of calendar time.
    explicit ScriptedTerminal(std::int64_t start_seconds = 1'700'000'000) : start_seconds_(start_seconds) {}

    // Queues key presses, one byte each.
    ScriptedTerminal& keys(std::string_view k) {
        for (const char c : k) keys_.push_back(static_cast<unsigned char>(c));
        return *this;
    }
    ScriptedTerminal& key(int k) {
        keys_.push_back(k);
        return *this;
    }
    // Queues a typed line; its '\n' is added.
    ScriptedTerminal& line(std::string_view text) {
        lines_.emplace_back(std::string(text) + "\n");
        return *this;
    }
    // Running out of keys ends the run quietly instead of failing the test.
    ScriptedTerminal& may_run_out() {
        may_run_out_ = true;
        return *this;
    }
    // Sets the calendar clock, keeping the virtual milliseconds.
    void set_seconds(std::int64_t s) { start_seconds_ = s - now_ms_ / 1000; }

    const std::vector<Event>& events() const { return events_; }
    std::int64_t now_ms() const { return now_ms_; }
    std::size_t keys_left() const { return keys_.size(); }

    // Every byte written (typed lines included, as the console echoes them).
    std::string output() const {
        std::string all;
        for (const Event& e : events_) {
            if (e.kind == Kind::write) all += e.text;
        }
        return all;
    }
    // The bytes written since the last "CLS".
    std::string screen() const {
        std::string since;
        for (const Event& e : events_) {
            if (e.kind == Kind::write) since += e.text;
            if (e.kind == Kind::command && e.text == "CLS") since.clear();
        }
        return since;
    }
    std::vector<std::string> commands() const {
        std::vector<std::string> all;
        for (const Event& e : events_) {
            if (e.kind == Kind::command) all.push_back(e.text);
        }
        return all;
    }
    // Total virtual time slept.
    std::int64_t slept_ms() const { return now_ms_; }
    // Drops what was recorded so far.
    void forget() { events_.clear(); }

    void write(std::string_view bytes) override {
        if (!events_.empty() && events_.back().kind == Kind::write && events_.back().at_ms == now_ms_) {
            events_.back().text += bytes;
        } else {
            events_.push_back({Kind::write, now_ms_, std::string(bytes)});
        }
    }
    void run_console_command(std::string_view line) override {
        events_.push_back({Kind::command, now_ms_, std::string(line)});
    }
    int read_key() override {
        if (keys_.empty()) run_out("keys");
        const int k = keys_.front();
        keys_.pop_front();
        return k;
    }
    void sleep_ms(std::uint32_t ms) override {
        events_.push_back({Kind::sleep, now_ms_, std::to_string(ms)});
        now_ms_ += ms;
    }
    std::int64_t seconds() override { return start_seconds_ + now_ms_ / 1000; }

protected:
    bool read_line(std::string& into) override {
        if (lines_.empty()) {
            if (end_of_input_) return false;
            run_out("typed lines");
        }
        into = lines_.front();
        lines_.pop_front();
        write(into);  // the console echoes what is typed
        return true;
    }

public:
    // Line input reports its end once the queued lines are used up.
    ScriptedTerminal& end_of_input() {
        end_of_input_ = true;
        return *this;
    }

private:
    [[noreturn]] void run_out(const char* what) {
        if (!may_run_out_) ADD_FAILURE() << "the script ran out of " << what;
        throw RunEnded{};
    }

    std::deque<int> keys_;
    std::deque<std::string> lines_;
    std::vector<Event> events_;
    std::int64_t start_seconds_;
    std::int64_t now_ms_ = 0;
    bool may_run_out_ = false;
    bool end_of_input_ = false;
};

}  // namespace skarvel::testing
