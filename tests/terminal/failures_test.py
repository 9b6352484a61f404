#!/usr/bin/env python3
"""The game's failing exits, in tmux as terminal_test.py plays it: memory
short at the start, at a resize and in play (memory_left.cpp preloaded), an
answer it cannot write, a --dir it cannot make, a signal ignored at start.

Usage: failures_test.py SKARVEL MEMORY_LEFT_LIBRARY [NAME_PART...]
"""

import os
import shlex
import signal
import sys

import terminal_test as tt
from terminal_test import check, main_menu, play_to_end, saved_after

tt.TESTS.clear()  # only the cases below
PRELOAD = ""  # short of memory once the file "left" holds the bytes the game may have


def run_in_pane(t, command, width=150, height=40):
    return t.pane(tt.RUN.format(bin=command), width, height)


def ended_out_of_memory(t):
    check(t.wait_file("status") == "exit=1\n", f"status {t.read('status')!r}")
    check(t.read("err") == "skarvel: out of memory\n", f"stderr {t.read('err')!r}")
    t.check_modes_restored()


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
    main_menu(pane, timeout=60)
    pane.type("q")
    t.wait_file("status")
    failed = set(t.read("failed").splitlines())
    check(failed == {"1 skarvel: out of memory"}, f"starts short of memory ended so: {failed}")


@tt.test("short of memory at a resize: out of memory, status 1, the record kept, the terminal as it was")
def _(t):
    t.write("options.txt", "3 8 1 1 10")
    t.write("score.txt", "-1 0")  # any game over is a new best score, any win a gain
    pane = run_in_pane(t, f"{PRELOAD} {shlex.quote(t.binary)}", 80, 24)
    end = play_to_end(pane)
    t.write("left", "0")
    t.tmux("resize-window", "-t", pane.name, "-x", "150", "-y", "40")
    ended_out_of_memory(t)
    saved = saved_after(end)
    check(t.read("score.txt") == saved, f"score.txt holds {t.read('score.txt')!r}, not {saved!r}")


@tt.test("short of memory for a long help text: out of memory, status 1, the terminal as it was")
def _(t):
    t.write("help.txt", ".\n" * 400)  # typed at once; the lines it scrolls off are kept, beyond the reserve
    pane = run_in_pane(t, f"{PRELOAD} {shlex.quote(t.binary)}")
    main_menu(pane)
    t.write("left", "16384")
    pane.type("h")
    ended_out_of_memory(t)


def end_by_sigterm(t, pane):
    main_menu(pane)
    os.kill(int(t.wait_file("pid")), signal.SIGTERM)


# The standard error expected, or None for nothing from the game (a shell may name the signal).
for what, command, act, status, err in [
        ("--help to a full output", "{bin} --help > /dev/full", None, 1,
         "skarvel: cannot write: No space left on device\n"),
        ("a --dir it cannot make", "{bin} --dir before/records", None, 1,
         "skarvel: cannot make the folder 'before/records': Not a directory\n"),
        ("SIGTERM ignored at the start", "trap '' TERM; sh -c 'echo $$ > pid && exec \"$0\"' {bin}",
         end_by_sigterm, 128 + signal.SIGTERM, None)]:

    @tt.test(f"{what}: status {status}, the terminal as it was")
    def _(t, command=command, act=act, status=status, err=err):
        pane = run_in_pane(t, command.format(bin=shlex.quote(t.binary)))
        if act:
            act(t, pane)
        check(t.wait_file("status") == f"exit={status}\n", f"status {t.read('status')!r}")
        check(t.read("err") == err if err else "skarvel" not in t.read("err"), f"stderr {t.read('err')!r}")
        t.check_modes_restored()


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    PRELOAD = f"SKARVEL_MEMORY_LEFT=left LD_PRELOAD={shlex.quote(os.path.abspath(sys.argv[2]))}"
    sys.exit(tt.run(os.path.abspath(sys.argv[1]), sys.argv[3:]))
