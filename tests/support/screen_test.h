// A fixture base for the screens: a working directory of its own, the game
// state of a first run in display mode '1', and a scripted terminal.
#pragma once

#include "core/game_state.h"
#include "support/scripted_terminal.h"
#include "support/temp_dir.h"

namespace skarvel::testing {

class ScreenTest : public TempDir {
protected:
    ScreenTest() { rev(g, '1'); }

    GameState g;
    ScriptedTerminal term;
};

}  // namespace skarvel::testing
