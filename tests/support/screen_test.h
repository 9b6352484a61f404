// A fixture base for the screens: a working directory of its own, the game
// state of a first run, its records in that directory, and a scripted terminal.
#pragma once

#include "core/game_state.h"
#include "records/record_store.h"
#include "screens/screens.h"
#include "support/scripted_terminal.h"
#include "support/temp_dir.h"

namespace skarvel::testing {

class ScreenTest : public TempDir {
protected:
    // The run's session on another terminal.
    Session session_on(Terminal& t) { return {g, t, records, {HELP_FILE}}; }

    GameState g;
    ScriptedTerminal term;
    RecordStore records{"."};
    Session session = session_on(term);
};

}  // namespace skarvel::testing
