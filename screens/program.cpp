#include "core/colours.h"
#include "core/game_loop.h"
#include "screens/screens.h"
#include "screens/settings.h"

namespace skarvel {

void run_program(Session& s) {
    GameState& g = s.game;
    s.term.printf("Loading...");
    ScoreRecord score;
    s.records.load_score(score);
    apply_score(score, g);
    OptionsRecord options;
    s.records.load_options(options);
    apply_options(options, g);
    set_up_console(g, s.term);
    s.term.clear_screen();
    show_welcome(s.term);
    while (run_main_menu(s) == MenuChoice::play) {
        build_field(g);
        if (play_games(g, s.term) == GamesLeft::after_game_end) s.records.save_score(score_of(g));
    }
    say_farewell(s.term);
}

}  // namespace skarvel
