#!/usr/bin/env python3
"""The game's failing exits, in tmux as terminal_test.py plays it: memory
short at the start (memory_left.cpp preloaded).

Usage: failures_test.py SKARVEL MEMORY_LEFT_LIBRARY [NAME_PART...]
"""

import os
import shlex
import sys

import terminal_test as tt
from terminal_test import check

tt.TESTS.clear()  # only the cases below
PRELOAD = ""  # short of memory once the file "left" holds the bytes the game may have


# Less memory than a start needs, by steps: each start says so, with status 1
# and the terminal as it was, until there is enough. (From 8 KiB: a coverage
# build needs a little to write its counts at exit.)
SHORT_STARTS = """for left in $(seq 8192 8192 4194304); do
    echo $left > left; stty -g > before; {game} 2> err; status=$?; stty -g > after
    [ $status = 0 ] && break
    echo "$status $(cat err)$(cmp -s before after || echo ', the terminal changed')" >> failed
done; echo done > status"""


@tt.test("short of memory at the start: out of memory, status 1, the terminal as it was")
def _(t):
    pane = t.pane(f"cd {shlex.quote(t.dir)} && " + SHORT_STARTS.format(game=f"{PRELOAD} {shlex.quote(t.binary)}"))
    pane.wait_for(tt.starts_with_lines(tt.menu_lines(tt.UNICODE_POINTER), "the main menu"), timeout=60)
    pane.type("q")
    t.wait_file("status")
    failed = set(t.read("failed").splitlines())
    check(failed == {"1 skarvel: out of memory"}, f"starts short of memory ended so: {failed}")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    PRELOAD = f"SKARVEL_MEMORY_LEFT=left LD_PRELOAD={shlex.quote(os.path.abspath(sys.argv[2]))}"
    sys.exit(tt.run(os.path.abspath(sys.argv[1]), sys.argv[3:]))
