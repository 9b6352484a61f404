// The front end: program entry, the menus and their screens.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "console/terminal.h"
#include "core/game_state.h"
#include "records/record_store.h"
#include "screens/data_files.h"
#include "screens/settings.h"

namespace skarvel {

// What the screens of one run share.
struct Session {
    GameState& game;                                // the one game state of the run
    Terminal& term;                                 // what the screens write to and read keys from
    RecordStore& records;                           // score.txt and options.txt
    std::vector<std::filesystem::path> help_files;  // where to look for the help text, in order
};

// Clears the screen and writes the title line that every menu screen opens with.
void begin_menu_screen(Terminal& term);

// The whole run: the records read, the welcome, the main menu with the games
// and screens it opens, and the farewell.
void run_program(Session& s);

// The main menu, until the player chooses to play or to quit; the other
// screens open inside it.
enum class MenuChoice { play, quit };
MenuChoice run_main_menu(Session& s);

// The achievements screen, until B.
void run_achievements_screen(const GameState& g, Terminal& term);

// The options menu, until B, and one of the screens it opens on M, L, C and
// D, until that screen's B. Each change is saved at once.
void run_options_menu(Session& s);
void run_options_screen(Session& s, OptionsScreen screen);

// The help text, typed out, until P, Q or B; or a note that it is missing.
void run_help_screen(Session& s);

// Clears the screen and types the welcome banner; the farewell banner.
void say_welcome(Terminal& term);
void say_farewell(Terminal& term);

// Types `text` at `wait_ms` per byte, holds it half a second, then wipes it
// out again from the left, leaving the cursor where the typing ended.
void type_banner(Terminal& term, std::string_view text, std::int32_t wait_ms);

}  // namespace skarvel
