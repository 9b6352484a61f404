#!/usr/bin/env python3
"""Plays the real game in tmux panes and checks what the player sees.

Usage: terminal_test.py SKARVEL [NAME_PART...]

SKARVEL is the game binary. With NAME_PART arguments only the tests whose
names contain one of them run.

Every run starts private tmux servers (their sockets in the run's own
temporary folder), runs the tests on them a few at a time, and kills them at
the end. Every test gets a fresh working folder, and waits for screens by
polling `capture-pane`, so a timeout only matters when something is wrong.
"""

import fcntl
import os
import pty
import re
import resource
import select
import shlex
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time
import uuid

POLL_S = 0.05     # how often a wait looks at the pane again
TIMEOUT_S = 10.0  # how long a wait looks before the test fails

TITLE = "\t\t KELDRY'S SKARVEL "
UNICODE_POINTER = "\u2192"  # the pointer of display mode 1, a right arrow
PLAIN_POINTER = ">"         # the pointer of display mode 2


def shown(text):
    """A line as the pane shows it: tabs expanded, trailing blanks gone."""
    return text.expandtabs().rstrip()


# The menus' texts are checked in the unit tests; here, that a menu shows
# from the first line of the terminal and with the pointer of the display mode.
def menu_lines(p):
    return [shown(line) for line in [TITLE, "", "\tMain menu:", "", f"\t{p} Play (P)"]]


def described(description):
    """Names a test of the screen for the failure message."""
    def name(fn):
        fn.description = description
        return fn
    return name


def starts_with_lines(expected, description):
    @described(description)
    def check(screen):
        return screen.splitlines()[:len(expected)] == expected
    return check


def has_line(line):
    @described(f"the line {line!r}")
    def check(screen):
        return line in screen.splitlines()
    return check


def score_of(screen):
    """The score in the side panel, None where no panel is in view."""
    found = re.search(r"\bScore: (-?\d+)", screen)
    return int(found.group(1)) if found else None


@described("the end prompt")
def game_ended(screen):
    return "Retry (R)" in screen and "Back (B)" in screen


@described("a new game (score 0, no end prompt)")
def new_game(screen):
    return score_of(screen) == 0 and "Retry (R)" not in screen


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


class Tmux:
    """A tmux server of our own; nothing else runs on it."""

    def __init__(self, root):
        self.socket = os.path.join(root, "tmux.socket")
        self.conf = os.path.join(root, "tmux.conf")
        with open(self.conf, "w") as conf:
            conf.write("set -g status off\n"           # the whole window is the pane
                       "set -g remain-on-exit on\n"    # an ended game's last screen stays readable
                       "set -g default-shell /bin/sh\n")
        self.env = {k: v for k, v in os.environ.items() if k not in ("TMUX", "TMUX_PANE")}
        self.env.update(LC_ALL="C.UTF-8", LANG="C.UTF-8", HISTFILE="/dev/null", PS1="$ ")

    def __call__(self, *args):
        for attempt in range(5):
            done = subprocess.run(["tmux", "-u", "-S", self.socket, "-f", self.conf, *args],
                                  env=self.env, capture_output=True, text=True, timeout=TIMEOUT_S)
            # A server that dies while it starts, on a loaded machine, is
            # tmux's fault, not the game's: start it again.
            if "server exited unexpectedly" not in done.stderr or args[0] != "new-session":
                break
            time.sleep(0.2 * (attempt + 1))
        if done.returncode != 0:
            raise Failed(f"tmux {' '.join(args)}: {done.stderr.strip()}")
        return done.stdout

    def kill_server(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], env=self.env,
                       capture_output=True, timeout=TIMEOUT_S)


class Pane:
    """One tmux session of one pane running a command."""

    def __init__(self, tmux, name, folder, command, width, height):
        self.tmux = tmux
        self.name = name
        # The window keeps the size it is made with. (tmux 3.3 crashes making a
        # detached session while a global window-size is manual; per window it is fine.)
        tmux("new-session", "-d", "-s", name, "-x", str(width), "-y", str(height),
             "-c", folder, command, ";", "set-option", "-w", "-t", name, "window-size", "manual")
        size = tmux("display", "-p", "-t", name,
                    "#{window_width}x#{window_height} #{pane_width}x#{pane_height}").split()
        check(size == [f"{width}x{height}"] * 2, f"window and pane are {size}, not {width}x{height}")

    def screen(self):
        return self.tmux("capture-pane", "-p", "-t", self.name)

    def cursor(self):
        """The cursor's column and line."""
        x, y = self.tmux("display", "-p", "-t", self.name, "#{cursor_x} #{cursor_y}").split()
        return int(x), int(y)

    def tty(self):
        return self.tmux("display", "-p", "-t", self.name, "#{pane_tty}").strip()

    def keys(self, *keys):
        """Keys by tmux name: Enter, C-c, Right..."""
        self.tmux("send-keys", "-t", self.name, *keys)

    def type(self, text):
        self.tmux("send-keys", "-t", self.name, "-l", text)

    def send_bytes(self, data):
        """Bytes as a terminal sends them, escape sequences included."""
        self.tmux("send-keys", "-t", self.name, "-H", *(f"{b:02x}" for b in data))

    def wait_for(self, what, timeout=TIMEOUT_S, with_cursor=False):
        """The screen once it holds `what`: a text, or a test of the whole
        screen (with_cursor: of the screen and the cursor)."""
        test = what if callable(what) else (lambda screen: what in screen)
        deadline = time.monotonic() + timeout
        while True:
            screen = self.screen()
            if (test(screen, self.cursor()) if with_cursor else test(screen)):
                return screen
            if time.monotonic() > deadline:
                raise Failed(f"timed out after {timeout:.0f} s waiting for "
                             f"{getattr(what, 'description', repr(what))}")
            time.sleep(POLL_S)


class Case:
    """What one test works with: its folder, its panes, the binary."""

    def __init__(self, tmux, root, name, binary):
        self.tmux = tmux
        self.binary = binary
        self.dir = tempfile.mkdtemp(prefix=re.sub(r"\W+", "-", name)[:40] + "-", dir=root)
        self.panes = []

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, text):
        with open(self.path(name), "w") as f:
            f.write(text)

    def read(self, name):
        try:
            with open(self.path(name)) as f:
                return f.read()
        except FileNotFoundError:
            return None

    def pane(self, command, width=150, height=40):
        pane = Pane(self.tmux, f"t{uuid.uuid4().hex[:8]}", self.dir, command, width, height)
        self.panes.append(pane)
        return pane

    def game(self, width=150, height=40):
        """The game run in the test folder. Its exit status goes to the file
        "status", the terminal modes before and after it to "before" and "after"."""
        d = shlex.quote(self.dir)
        return self.pane(f'cd {d} && stty -g > before; {shlex.quote(self.binary)}; '
                         f'echo "exit=$?" > status; stty -g > after', width, height)

    def wait_file(self, name, expected=None, timeout=TIMEOUT_S):
        """The file's text once it is `expected`, or, with None, once it ends in
        a line end (a shell's redirection has written it whole)."""
        deadline = time.monotonic() + timeout
        while True:
            text = self.read(name)
            if text is not None and (text == expected or
                                     (expected is None and text.endswith("\n"))):
                return text
            if time.monotonic() > deadline:
                raise Failed(f"{name} holds {text!r}, expected "
                             f"{'a whole line' if expected is None else repr(expected)}")
            time.sleep(POLL_S)

    def check_modes_restored(self):
        after = self.wait_file("after")
        check(after == self.read("before"),
              f"terminal modes {self.read('before')!r} before, {after!r} after")

    def close(self):
        for pane in self.panes:
            try:
                self.tmux("kill-session", "-t", pane.name)
            except Failed:
                pass

    def dump(self):
        """What the panes show and the small files hold, for a failure."""
        lines = []
        for pane in self.panes:
            try:
                screen = pane.screen()
            except Failed as e:
                screen = f"(cannot capture: {e})"
            lines.append(f"---- pane {pane.name} ----\n{screen.rstrip()}\n----------------")
        for name in sorted(os.listdir(self.dir)):
            if os.path.getsize(self.path(name)) < 200:
                lines.append(f"{name}: {self.read(name)!r}")
        return "\n".join(lines)


TESTS = []


def test(name):
    def register(fn):
        TESTS.append((name, fn))
        return fn
    return register


def main_menu(pane, p=UNICODE_POINTER):
    return pane.wait_for(starts_with_lines(menu_lines(p), f"the main menu, pointer {p}"))


def play_to_end(pane, max_moves=200):
    """Moves down until the game is over or won; the last screen."""
    screen = pane.wait_for(new_game)
    for _ in range(max_moves):
        if game_ended(screen):
            return screen
        before = score_of(screen)
        check(before is not None, "the side panel's score is out of view")
        pane.type("s")

        @described(f"a score above {before} or the end prompt")
        def moved(s):
            return game_ended(s) or score_of(s) not in (None, before)
        screen = pane.wait_for(moved)
    raise Failed(f"the game did not end within {max_moves} moves")


# ---------------------------------------------------------------- start and end

@test("start-up: the welcome banner, then the main menu")
def _(t):
    pane = t.game()
    pane.wait_for("Welcome to KELDRY'S SKARVEL!")
    screen = main_menu(pane)
    check(screen.splitlines()[10:] == [""] * 30, "something stands under the menu")


@test("quit: farewell, exit status 0, no file written")
def _(t):
    pane = t.game()
    main_menu(pane)
    pane.type("q")
    pane.wait_for("Thanks for your playing!")
    check(t.wait_file("status") == "exit=0\n", f"status {t.read('status')!r}")
    t.check_modes_restored()
    check(sorted(os.listdir(t.dir)) == ["after", "before", "status"],
          f"files left: {os.listdir(t.dir)}")


# The wrapper between the interactive shell and the game: the shell would repair
# the terminal modes itself after a job killed by a signal, so the modes are
# taken right after the game, before the shell gets them back.
WRAPPER = """\
stty -g > before
trap : INT QUIT TERM HUP
sh -c 'echo $$ > pid && exec "$0"' "$1" 2> err
echo "exit=$?" > status
stty -g > after
"""


def ends_in_game_by_ctrl_c(t, pane):
    main_menu(pane)
    pane.type("p")
    pane.wait_for(new_game)
    pane.keys("C-c")


def ends_at_length_prompt_by_sigterm(t, pane):
    main_menu(pane)
    pane.type("om")
    pane.wait_for("Please enter a new length")
    pane.type("12")  # half typed, echoed
    pane.wait_for(has_line(shown(f"\t{UNICODE_POINTER} Please enter a new length(3 ~ 120):\t12")))
    os.kill(int(t.wait_file("pid")), signal.SIGTERM)


def ends_in_welcome_banner_by_sighup(t, pane):
    pane.wait_for("Welcome")
    os.kill(int(t.wait_file("pid")), signal.SIGHUP)


def ends_at_main_menu_by_ctrl_backslash(t, pane):
    main_menu(pane)
    pane.keys("C-\\")


def wrapped_game(t):
    """The game started from an interactive shell through WRAPPER."""
    t.write("run.sh", WRAPPER)
    pane = t.pane("bash --norc")
    pane.wait_for("$")
    pane.type(f"sh run.sh {shlex.quote(t.binary)}")
    pane.keys("Enter")
    return pane


for what, end_game, status in [
        ("Ctrl-C in a game", ends_in_game_by_ctrl_c, 130),
        ("SIGTERM at the length prompt", ends_at_length_prompt_by_sigterm, 143),
        ("SIGHUP during the welcome banner", ends_in_welcome_banner_by_sighup, 129),
        ("Ctrl-\\ at the main menu", ends_at_main_menu_by_ctrl_backslash, 131)]:

    @test(f"{what}: exit status {status}, the terminal as it was")
    def _(t, end_game=end_game, status=status):
        pane = wrapped_game(t)
        end_game(t, pane)
        t.check_modes_restored()
        check(t.read("status") == f"exit={status}\n", f"status {t.read('status')!r}")
        check("skarvel" not in t.read("err"), f"the game wrote {t.read('err')!r}")  # the shell may name the signal
        pane.type("clear; stty -a > stty.txt; echo alive")
        pane.keys("Enter")
        pane.wait_for(has_line("alive"))
        modes = t.wait_file("stty.txt").split()
        check("icanon" in modes and "echo" in modes, f"stty -a: {' '.join(modes)}")


# Job control as a shell does it: the game runs as a job in the foreground; at
# its first stop the shell gives it the terminal back with SIGCONT (fg), at its
# second it keeps the terminal and sends SIGTERM and SIGCONT (kill %1). Whether
# the terminal modes are those the game started with is noted at each stop
# ("stops") and at the end ("status").
JOB_SHELL = """\
import os, signal, sys, termios
signal.signal(signal.SIGTTOU, signal.SIG_IGN)
before = termios.tcgetattr(0)
modes = lambda: "modes kept" if termios.tcgetattr(0) == before else "modes changed"
job = os.fork()
if job == 0:
    os.setpgid(0, 0)
    os.tcsetpgrp(0, os.getpid())
    signal.signal(signal.SIGTTOU, signal.SIG_DFL)
    os.execv(sys.argv[1], sys.argv[1:])
with open("stops", "w") as log:
    for fg in (True, False, None):
        status = os.waitpid(job, os.WUNTRACED)[1]
        if not os.WIFSTOPPED(status) or fg is None:
            break
        print(modes(), file=log, flush=True)
        os.tcsetpgrp(0, job if fg else os.getpgrp())
        os.kill(job, signal.SIGCONT if fg else signal.SIGTERM)
        os.kill(job, signal.SIGCONT)
if os.WIFSTOPPED(status):  # stopped again in the background
    os.kill(job, signal.SIGKILL)
end = f"signal {os.WTERMSIG(status)}" if os.WIFSIGNALED(status) else f"wait status {status:#x}"
open("status", "w").write(f"{end}, {modes()}\\n")
"""


@test("Ctrl-Z: the game stops with the terminal given back, fg repaints it, kill %1 ends it with its save")
def _(t):
    t.write("options.txt", "3 8 1 1 10")
    t.write("score.txt", "-1 0")
    t.write("job_shell.py", JOB_SHELL)
    pane = t.pane(f"python3 job_shell.py {shlex.quote(t.binary)}")
    main_menu(pane)
    pane.type("p")
    end = play_to_end(pane)
    won = finished_game_outcome(end)
    pane.keys("C-z")
    t.wait_file("stops", "modes kept\n")
    pane.wait_for(described("the game's screen as it was")(lambda s: s == end))
    pane.keys("C-z")
    check(t.wait_file("status") == "signal 15, modes kept\n", f"status {t.read('status')!r}")
    check(t.read("stops") == "modes kept\n" * 2, f"stops {t.read('stops')!r}")
    check(t.read("score.txt") == ("-1 1" if won else f"{score_of(end)} 0"), f"score.txt {t.read('score.txt')!r}")


# Both standard input and standard output must be a terminal; a refused start
# makes no --dir folder.
for what, launch in [
        ("stdin and stdout not a terminal", None),
        ("stdin not a terminal", "{bin} --dir records < /dev/null 2> err"),
        ("stdout not a terminal", "{bin} --dir records > out 2> err"),
        ("unknown terminal type", "TERM=no-such-terminal {bin} 2> err"),
        ("a terminal that cannot move the cursor", "TERM=dumb {bin} 2> err")]:

    @test(f"no terminal ({what}): one line on stderr, a failing status")
    def _(t, launch=launch):
        if launch is None:
            done = subprocess.run([t.binary, "--dir", "records"], cwd=t.dir, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                  text=True, timeout=TIMEOUT_S)
            code, err = done.returncode, done.stderr
        else:
            t.pane(launch.format(bin=shlex.quote(t.binary)) + '; echo "$?" > status')
            code = int(t.wait_file("status"))
            err = t.read("err")
            check(t.read("out") in (None, ""), f"wrote {t.read('out')!r} on stdout")
        check(code != 0, "exit status 0")
        check(err.endswith("\n") and err.count("\n") == 1 and err.strip(), f"stderr {err!r}")
        check(not os.path.exists(t.path("records")), "a refused start made its --dir folder")


@test("standard error need not be a terminal: the game starts and makes its --dir folder")
def _(t):
    pane = t.pane(f"{shlex.quote(t.binary)} --dir records 2> err")
    main_menu(pane)
    check(os.path.isdir(t.path("records")), "no --dir folder")


# A window of any size, even under a memory limit that 40000x40000 cells would
# not fit in: curses is never sized beyond 150x41. Resized huge and back, the
# game goes on, and ends as ever.
@test("a huge window under a memory limit: the game starts, resizes and quits")
def _(t):
    master, slave = pty.openpty()

    def window(rows, cols):
        fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))

    def limited():
        os.setsid()
        fcntl.ioctl(0, termios.TIOCSCTTY, 0)
        resource.setrlimit(resource.RLIMIT_AS, (48 << 20, 48 << 20))

    window(40000, 40000)
    env = dict(os.environ, TERM="xterm-256color", LC_ALL="C.UTF-8")
    game = subprocess.Popen([t.binary], cwd=t.dir, stdin=slave, stdout=slave, stderr=slave,
                            env=env, preexec_fn=limited)
    os.close(slave)
    seen = bytearray()

    def wait_for(text):
        """Reads the terminal until it shows `text`; None: until the game leaves it."""
        deadline = time.monotonic() + TIMEOUT_S
        while text is None or text not in seen:
            check(time.monotonic() < deadline, f"no {text!r} on the terminal")
            if select.select([master], [], [], 0.05)[0]:
                try:
                    seen.extend(os.read(master, 65536))
                except OSError:  # the game has closed the terminal
                    check(text is None, f"the game ended with status {game.wait()} before {text!r}")
                    return
    try:
        wait_for(b"Quit (Q)")
        window(65535, 65535)
        os.write(master, b"a")
        wait_for(b"Back to main menu")
        window(40, 150)
        os.write(master, b"bq")
        wait_for(None)
        check(game.wait(TIMEOUT_S) == 0, f"exit status {game.returncode}")
    finally:
        if game.poll() is None:
            game.kill()
        os.close(master)


# ---------------------------------------------------------------- screens

# ---------------------------------------------------------------- games

def finished_game_outcome(screen):
    won = "YOU ARE A WINNER!" in screen
    lost = "GAMEOVER!" in screen
    check(won != lost, "the end shows neither or both of game over and win")
    return won


# (The end of a run by a signal, with its save, is the Ctrl-Z case's kill %1.)
@test("a record shown is saved when the run ends: Retry, Q, then Quit")
def _(t):
    t.write("options.txt", "3 8 1 1 10")
    t.write("score.txt", "-1 0")  # any game over is a new best score, any win a gain
    pane = t.game()
    main_menu(pane)
    pane.type("p")
    end = play_to_end(pane)
    won = finished_game_outcome(end)
    pane.type("r")
    pane.wait_for(new_game)
    pane.type("q")
    main_menu(pane)
    check(t.read("score.txt") == "-1 0", "Retry or Q wrote score.txt")
    pane.type("q")
    t.wait_file("status")
    check(t.read("score.txt") == ("-1 1" if won else f"{score_of(end)} 0"), f"score.txt holds {t.read('score.txt')!r}")


@test("a save that fails is reported once on stderr after the game")
def _(t):
    os.mkdir(t.path("options.txt"))  # no file can take its place, for root as well
    pane = t.pane(f"{shlex.quote(t.binary)} 2> err; echo \"$?\" > status")
    main_menu(pane)
    pane.type("oc")
    pane.wait_for("Press number to change the color.")
    pane.type("23b")
    pane.wait_for("Options:")
    pane.type("bq")
    check(t.wait_file("status") == "0\n", f"status {t.read('status')!r}")
    check(t.read("err") == "skarvel: cannot save options.txt: Is a directory\n", f"stderr {t.read('err')!r}")


for what, stored in [("a tiny field", "3 8 1 1 10"), ("a field taller than the terminal", "3 22 1 1 10")]:

    @test(f"80x24: the end prompt in view after a game on {what}, then the whole menu")
    def _(t, stored=stored):
        t.write("options.txt", stored)
        pane = t.game(80, 24)
        main_menu(pane)
        pane.type("p")
        lines = [line.strip() for line in play_to_end(pane).splitlines()]
        p = UNICODE_POINTER
        check(f"{p} Retry (R)" in lines and f"{p} Back (B)" in lines, "Retry and Back in view")
        pane.type("b")
        main_menu(pane)  # from its title line down, though the game's screen was taller


# ---------------------------------------------------------------- any terminal

def under_cursor(screen, cursor):
    x, y = cursor
    lines = screen.splitlines()
    return lines[y][x] if y < len(lines) and x < len(lines[y]) else " "


@test("80x24, the largest field: the view follows the player, the cursor rests on it, the score in sight")
def _(t):
    t.write("options.txt", "120 30 1 2 1")
    pane = t.game(80, 24)
    main_menu(pane, PLAIN_POINTER)
    pane.type("p")
    before = None
    for n in range(90):  # right and down across the whole field and round again
        @described(f"the player under the cursor after move {n}, or the end prompt")
        def waiting(screen, cursor):
            return game_ended(screen) or ((screen, cursor) != before and under_cursor(screen, cursor) == "@")
        screen = pane.wait_for(waiting, with_cursor=True)
        check(score_of(screen) is not None, f"no score in view after move {n}")
        if game_ended(screen):
            pane.type("r")
            before = None
            continue
        before = (screen, pane.cursor())
        pane.type("d" if n % 3 else "s")
    pane.type("q")
    check("Score" not in main_menu(pane, PLAIN_POINTER), "the status line outlived the game")


@test("Ctrl-L after stray output: the same screen again, the game unchanged")
def _(t):
    t.write("options.txt", "40 20 1 2 1")
    pane = t.game()
    main_menu(pane, PLAIN_POINTER)
    pane.type("p")
    game = pane.wait_for(new_game)
    with open(pane.tty(), "w") as tty:
        tty.write("\x1b[5;5HSTRAY OUTPUT")
    pane.wait_for("STRAY OUTPUT")
    pane.keys("C-l")
    pane.wait_for(described("the game's screen as it was")(lambda s: s == game))
    pane.type("q")
    main_menu(pane, PLAIN_POINTER)


def player_at(screen):
    """The line and column of the player of display mode 2."""
    return next(((y, line.index("@")) for y, line in enumerate(screen.splitlines()) if "@" in line), None)


NUMPAD_2, NUMPAD_1, NUMPAD_ENTER, CTRL_UP = b"\x1bOr", b"\x1bOq", b"\x1bOM", b"\x1b[1;5A"

for term in ("xterm-256color",):  # the other descriptions are the unit tests'

    @test(f"{term}: numpad 2 moves down; no escape sequence acts as its letters, nor is typed")
    def _(t, term=term):
        t.write("options.txt", "40 20 1 2 1")
        pane = t.pane(f"TERM={term} {shlex.quote(t.binary)}")
        main_menu(pane, PLAIN_POINTER)
        pane.type("p")
        row, col = player_at(pane.wait_for(new_game))
        # Q (leave), A (left) and R (restart) must not act: one move down each time.
        for score in (1, 2):
            pane.send_bytes(NUMPAD_1 + CTRL_UP + NUMPAD_2)
            screen = pane.wait_for(described(f"score {score}")(lambda s, n=score: score_of(s) == n))
            row = 2 if row == 19 else row + 1  # the interior's last line wraps to its first
            check(player_at(screen) == (row, col), f"the player at {player_at(screen)}, not {(row, col)}")
        pane.type("q")
        main_menu(pane, PLAIN_POINTER)
        pane.type("om")
        pane.wait_for("Please enter a new length")
        pane.type("1")
        pane.send_bytes(NUMPAD_2 + NUMPAD_1 + CTRL_UP)
        pane.type("2")
        pane.send_bytes(NUMPAD_ENTER)
        pane.wait_for("Please enter a new width")
        pane.type("P")
        pane.send_bytes(NUMPAD_ENTER)
        pane.wait_for(has_line(shown(f"\t{PLAIN_POINTER} New length:\t12")))


# ---------------------------------------------------------------- running

GROUPS = 8  # tmux servers, each running one case at a time


def run(binary, only):
    """Runs the cases in GROUPS groups at once, each group on a tmux server
    of its own; a case's result is printed whole when it ends."""
    root = tempfile.mkdtemp(prefix="skarvel-terminal-")
    waiting = [(name, fn) for name, fn in TESTS if not only or any(part in name for part in only)]
    waiting.reverse()  # popped from the end: in the order written
    lock = threading.Lock()
    results = {"passed": 0, "failed": 0}

    def group(tmux):
        while True:
            with lock:
                if not waiting:
                    return
                name, fn = waiting.pop()
            case = Case(tmux, root, name, binary)
            began = time.monotonic()
            try:
                fn(case)
                report, outcome = f"PASS  {name} ({time.monotonic() - began:.1f} s)", "passed"
            except Exception as e:  # a fault in one test fails that test only
                why = str(e) if isinstance(e, Failed) else f"{type(e).__name__}: {e}"
                report, outcome = f"FAIL  {name}: {why}\n{case.dump()}", "failed"
            finally:
                case.close()
            with lock:
                results[outcome] += 1
                print(report, flush=True)

    def stop(signum, _frame):
        raise SystemExit(128 + signum)
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, stop)
    servers = []
    for n in range(GROUPS):
        os.mkdir(os.path.join(root, f"server{n}"))
        servers.append(Tmux(os.path.join(root, f"server{n}")))
    try:
        threads = [threading.Thread(target=group, args=(tmux,), daemon=True) for tmux in servers]
        for thread in threads:
            thread.start()
        for thread in threads:
            while thread.is_alive():  # joined in steps, so that a signal is taken at once
                thread.join(0.2)
    finally:
        for tmux in servers:
            tmux.kill_server()
        shutil.rmtree(root, ignore_errors=True)
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 1 if results["failed"] or not results["passed"] else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sys.exit(run(os.path.abspath(sys.argv[1]), sys.argv[2:]))
