#include "core/colours.h"
#include "core/game_loop.h"
#include "screens/screens.h"
#include "screens/settings.h"

namespace skarvel {

void run_program(Session& s) {
    GameState& g = s.game;
    s.term.printf("Loading...");
    // What a file does not give keeps the game's own start-up value.
    ScoreRecord score = score_of(g);
    s.records.load_score(score);
    apply_score(score, g);
    OptionsRecord options = options_of(g);
    s.records.load_options(options);
    apply_options(options, g);
    set_up_console(g, s.term);
    s.term.clear_screen();
    say_welcome(s.term);
    while (run_main_menu(s) == MenuChoice::play) {
        build_field(g);
        if (play_games(g, s.term) == PlayExit::back_after_game) s.records.save_score(score_of(g));
    }
    say_farewell(s.term);
}

}  // namespace skarvel
