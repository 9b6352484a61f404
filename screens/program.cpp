#include "console/services.h"
#include "core/play.h"
#include "records/records.h"
#include "screens/screens.h"

namespace skarvel {

int run(GameState& g, Terminal& term) {
    term.printf("Loading...");
    g.color = '1';
    g.rev_mode = '1';
    g.lev = 1;
    load_score(g);
    load_options(g);
    rev(g, g.rev_mode);
    set(g, term, '0');
    term.clear_screen();
    welcome(term);
    while (start(g, term) == 1) {
        build(g);
        play(g, term);
    }
    end(term);
    return 0;
}

}  // namespace skarvel
