#!/usr/bin/env python3
"""Plays the real game in tmux panes and checks what the player sees.

Usage: terminal_test.py SKARVEL [NAME_PART...] (only the tests whose names hold one)

The tests run a few at a time on private tmux servers, each in a fresh folder,
polling `capture-pane`: a timeout only matters when something is wrong.
"""

import contextlib, fcntl, os, pathlib, pty, re, select, shlex, shutil, signal, struct
import subprocess, sys, tempfile, termios, threading, time, uuid

POLL_S, TIMEOUT_S = 0.05, 20.0  # how often a wait looks at the pane again; when it gives up
UNICODE_POINTER, PLAIN_POINTER = "\u2192", ">"  # the pointers of display modes 1 (an arrow) and 2


def shown(text):
    """A line as the pane shows it: tabs expanded, trailing blanks gone."""
    return text.expandtabs().rstrip()


def described(description, test):
    """A test of the screen, named for the failure message."""
    test.description = description
    return test


def starts_with_lines(expected, description):
    return described(description, lambda screen: screen.splitlines()[:len(expected)] == expected)


def has_line(line):
    return described(f"the line {line!r}", lambda screen: line in screen.splitlines())


# The menus' texts are checked in the unit tests; here, that a menu shows
# from the first line of the terminal and with the pointer of the display mode.
def main_menu(pane, p=UNICODE_POINTER, timeout=TIMEOUT_S):
    lines = [shown(line) for line in ["\t\t KELDRY'S SKARVEL ", "", "\tMain menu:", "", f"\t{p} Play (P)"]]
    return pane.wait_for(starts_with_lines(lines, f"the main menu, pointer {p}"), timeout)


def score_of(screen):
    """The score in the side panel, None where no panel is in view."""
    found = re.search(r"\bScore: (-?\d+)", screen)
    return int(found.group(1)) if found else None


game_ended = described("the end prompt", lambda s: "Retry (R)" in s and "Back (B)" in s)
new_game = described("a new game (score 0, no end prompt)", lambda s: score_of(s) == 0 and "Retry (R)" not in s)


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


class Tmux:
    """A tmux server of our own; nothing else runs on it."""

    def __init__(self, root):
        self.socket, self.conf = os.path.join(root, "tmux.socket"), os.path.join(root, "tmux.conf")
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
        check(done.returncode == 0, f"tmux {' '.join(args)}: {done.stderr.strip()}")
        return done.stdout

    def kill_server(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], env=self.env, capture_output=True, timeout=TIMEOUT_S)


class Pane:
    """One tmux session of one pane running a command."""

    def __init__(self, tmux, name, folder, command, width, height):
        self.tmux, self.name = tmux, name
        # The window keeps the size it is made with. (tmux 3.3 crashes making a
        # detached session while a global window-size is manual; per window it is fine.)
        tmux("new-session", "-d", "-s", name, "-x", str(width), "-y", str(height),
             "-c", folder, command, ";", "set-option", "-w", "-t", name, "window-size", "manual")
        size = self.show("#{window_width}x#{window_height} #{pane_width}x#{pane_height}").split()
        check(size == [f"{width}x{height}"] * 2, f"window and pane are {size}, not {width}x{height}")

    def show(self, form):
        """A tmux format of the pane: #{pane_tty}, #{cursor_x}..."""
        return self.tmux("display", "-p", "-t", self.name, form).strip()

    def screen(self, *flags):
        return self.tmux("capture-pane", "-p", *flags, "-t", self.name)

    def cursor(self):
        """The cursor's column and line."""
        return tuple(int(n) for n in self.show("#{cursor_x} #{cursor_y}").split())

    def keys(self, *keys):
        """Keys by tmux name: Enter, C-c, Right..."""
        self.tmux("send-keys", "-t", self.name, *keys)

    def type(self, text):
        """Text as typed; "\\r" is Enter."""
        self.tmux("send-keys", "-t", self.name, "-l", text)

    def send_bytes(self, data):
        """Bytes as a terminal sends them, escape sequences included."""
        self.tmux("send-keys", "-t", self.name, "-H", *(f"{b:02x}" for b in data))

    def wait_for(self, what, timeout=TIMEOUT_S, with_cursor=False, flags=()):
        """The screen once it holds `what`: a text, or a test of the whole
        screen (with_cursor: of the screen and the cursor; flags: capture-pane's)."""
        test = what if callable(what) else (lambda screen: what in screen)
        deadline = time.monotonic() + timeout
        while True:
            screen = self.screen(*flags)
            if test(screen, self.cursor()) if with_cursor else test(screen):
                return screen
            check(time.monotonic() < deadline,
                  f"timed out after {timeout:.0f} s waiting for {getattr(what, 'description', repr(what))}")
            time.sleep(POLL_S)


def read_file(path):
    return pathlib.Path(path).read_text() if os.path.exists(path) else None


def wait_file(path, expected=None, timeout=TIMEOUT_S):
    """The file's text once it is `expected`, or, with None, once it ends in
    a line end (a shell's redirection has written it whole)."""
    deadline = time.monotonic() + timeout
    while (text := read_file(path)) is None or (text != expected if expected is not None
                                                else not text.endswith("\n")):
        check(time.monotonic() < deadline,
              f"{path} holds {text!r}, expected {'a whole line' if expected is None else repr(expected)}")
        time.sleep(POLL_S)
    return text


# The game's run from a shell: its stderr to "err", its exit status to "status",
# the terminal modes before and after it to "before" and "after".
RUN = 'stty -g > before; {bin} 2> err; echo "exit=$?" > status; stty -g > after'


class Case:
    """What one test works with: its folder, its panes, the binary."""

    def __init__(self, tmux, root, name, binary):
        self.tmux, self.binary, self.panes = tmux, binary, []
        self.dir = tempfile.mkdtemp(prefix=re.sub(r"\W+", "-", name)[:40] + "-", dir=root)

    def path(self, name):
        return pathlib.Path(self.dir, name)

    def write(self, name, text):
        self.path(name).write_text(text)

    def read(self, name):
        return read_file(self.path(name))

    def pane(self, command, width=150, height=40):
        self.panes.append(Pane(self.tmux, f"t{uuid.uuid4().hex[:8]}", self.dir, command, width, height))
        return self.panes[-1]

    def game(self, width=150, height=40):
        return self.pane(RUN.format(bin=shlex.quote(self.binary)), width, height)

    def wait_file(self, name, expected=None):
        return wait_file(self.path(name), expected)

    def check_modes_restored(self):
        after = self.wait_file("after")
        check(after == self.read("before"), f"terminal modes {self.read('before')!r} before, {after!r} after")

    def close(self):
        for pane in self.panes:
            with contextlib.suppress(Failed):
                self.tmux("kill-session", "-t", pane.name)

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
    """Registers the function below as the test `name`."""
    return lambda fn: TESTS.append((name, fn))


def play_to_end(pane, p=UNICODE_POINTER, max_moves=200):
    """From the main menu, a game played by moving down until it is over or
    won; its last screen. A game an item drop has left with no placement
    before the win (it cannot end: no bomb falls, no step wins) is started
    again with R after 40 moves."""
    main_menu(pane, p)
    pane.type("p")
    screen = pane.wait_for(new_game)
    for _ in range(max_moves):
        if game_ended(screen):
            return screen
        before = score_of(screen)
        check(before is not None, "the side panel's score is out of view")
        pane.type("s" if before < 40 else "r")
        screen = pane.wait_for(described(f"a score above {before} or the end prompt",
                                         lambda s: game_ended(s) or score_of(s) not in (None, before)))
    raise Failed(f"the game did not end within {max_moves} moves")


def saved_after(end):
    """score.txt after the game that ended on `end`, from "-1 0": any game
    over is a new best score, any win a gain."""
    won, lost = "YOU ARE A WINNER!" in end, "GAMEOVER!" in end
    check(won != lost, "the end shows neither or both of game over and win")
    return "-1 1" if won else f"{score_of(end)} 0"


# ---------------------------------------------------------------- start and end

def in_colours(colours, width):
    """A test of the pane captured with its colours (-e -N): every cell in
    `colours`, foreground and background as SGR codes (None: the terminal's
    own; a blank needs only the background), every line, with a width,
    written to its end."""
    def test(capture):
        pen = [None, None]  # tmux sends a colour where it changes, across lines too
        for y, line in enumerate(capture.splitlines()):
            x = 0
            for params, char in re.findall(r"\x1b\[([0-9;:]*)m|(.)", line):
                if char and (pen[1] != colours[1] or char != " " and pen[0] != colours[0]):
                    test.description = f"every cell in {colours}, not {char!r} on line {y}, column {x} in {pen}"
                    return False
                x += bool(char)
                codes = [] if char else re.split("[;:]", params)
                for i, code in enumerate(int(c or 0) for c in codes):
                    if code == 0:
                        pen = [None, None]
                    elif code // 10 in (3, 4, 9, 10):  # 3x, 9x: pen[0]; 4x, 10x: pen[1]; 38, 48: more codes
                        pen[code // 10 in (4, 10)] = None if code % 10 == 9 else ";".join(codes[i:])
                        if code % 10 == 8:
                            break
            if width and x != width:
                test.description = f"every line written to its end, not line {y}, to column {x}"
                return False
        return True
    return test


def help_line(n):
    """Line n of a help longer than any window: "L ))!" for 1, the digits as
    shifted on a keyboard. The game pauses after letters and digits only, so
    it types each line as one frame, scrolling the screen line by line."""
    return "L " + "".join(")!@#$%^&*("[int(d)] for d in f"{n:03}")


HELP = "".join(help_line(n) + "\n" for n in range(1, 61))


# A run from a shell on each kind of terminal: no alternate screen, no colours
# (vt100); the scheme as default colours (xterm-256color: bce); as a pair, every
# blank written (screen, tmux-256color). 150x40 in scheme 1 and display mode 1,
# 80x24 in scheme 6 (black on yellow) and display mode 2.
for term, (width, height) in [(term, size) for term in ("vt100", "xterm-256color", "screen", "tmux-256color")
                              for size in ((150, 40), (80, 24))]:

    @test(f"{term}, {width}x{height}: the scheme's colours, a long help, Ctrl-L, Quit to a shell that scrolls")
    def _(t, term=term, width=width, height=height):
        t.write("help.txt", HELP)
        if height < 40:
            t.write("options.txt", "40 20 6 2 1")
        files = sorted(os.listdir(t.dir) + ["after", "before", "err", "status"])
        p = UNICODE_POINTER if height == 40 else PLAIN_POINTER
        colours = in_colours((None, None) if term == "vt100" else ("37", "40") if height == 40 else ("30", "43"),
                             width if term in ("screen", "tmux-256color") else None)
        pane = t.pane(f"TERM={term} bash --norc", width, height)
        pane.wait_for("$")
        pane.type(RUN.format(bin=shlex.quote(t.binary)) + "\r")
        pane.wait_for("Welcome to KELDRY'S SKARVEL!")
        check(not any(main_menu(pane, p).splitlines()[10:]), "something stands under the menu")
        pane.wait_for(colours, flags=("-e", "-N"))
        pane.type("p")
        game = pane.wait_for(new_game)
        with open(pane.show("#{pane_tty}"), "w") as tty:
            tty.write("\x1b[5;5H\x1b[31;42mSTRAY OUTPUT\x1b[m")
        pane.wait_for("STRAY OUTPUT")
        pane.keys("C-l")
        pane.wait_for(described("the game's screen as it was", lambda s: s == game))
        pane.wait_for(colours, flags=("-e", "-N"))
        pane.type("q")
        main_menu(pane, p)
        pane.type("q")
        pane.wait_for("Thanks for your playing!")
        check(t.wait_file("status") == "exit=0\n" and t.read("err") == "", f"status {t.read('status')!r}, "
              f"stderr {t.read('err')!r}")
        t.check_modes_restored()
        check(sorted(os.listdir(t.dir)) == files, f"files: {sorted(os.listdir(t.dir))}")
        pane.type("seq 1 100\r")
        scrolled = [str(n) for n in range(102 - height, 101)] + ["$"]
        pane.wait_for(starts_with_lines(scrolled, "seq's numbers scrolled over the whole window, then the prompt"))
        # Again, for the help: scrolling it sets the scroll region anew, which
        # would hide a wrong one from the shell above.
        pane.type(f"clear; {shlex.quote(t.binary)}\r")
        main_menu(pane, p)
        pane.type("h")
        help_end = [help_line(n) for n in range(65 - height, 61)] + ["", "", shown(f"\t\t{p} Back (B)")]
        pane.wait_for(starts_with_lines(help_end, "the help's last lines, in order"))
        pane.wait_for(colours, flags=("-e", "-N"))


# Between the shell and the game: the shell repairs the modes after a job killed by
# a signal, so they are taken right after the game.
WRAPPER = """\
stty -g > before
trap : INT QUIT TERM HUP
sh -c 'echo $$ > pid && exec "$0"' "$1" 2> err
echo "exit=$?" > status
stty -g > after
"""

# Where the game is when it ends: the keys typed at the main menu (if any),
# what it then shows, and the end: a key by tmux name or a signal sent to it.
for what, keys, shows, end, status in [
        ("Ctrl-C in a game", "p", new_game, "C-c", 130),
        ("SIGTERM at the length prompt", "om12",
         has_line(shown(f"\t{UNICODE_POINTER} Please enter a new length(3 ~ 120):\t12")), signal.SIGTERM, 143),
        ("SIGHUP during the welcome banner", None, "Welcome", signal.SIGHUP, 129),
        ("Ctrl-\\ at the main menu", None, "Quit (Q)", "C-\\", 131)]:

    @test(f"{what}: exit status {status}, the terminal as it was")
    def _(t, keys=keys, shows=shows, end=end, status=status):
        t.write("run.sh", WRAPPER)
        pane = t.pane("bash --norc")
        pane.wait_for("$")
        pane.type(f"sh run.sh {shlex.quote(t.binary)}\r")
        if keys:
            main_menu(pane)
            pane.type(keys)
        pane.wait_for(shows)
        if isinstance(end, str):
            pane.keys(end)
        else:
            os.kill(int(t.wait_file("pid")), end)
        t.check_modes_restored()
        check(t.read("status") == f"exit={status}\n", f"status {t.read('status')!r}")
        check("skarvel" not in t.read("err"), f"the game wrote {t.read('err')!r}")  # the shell may name the signal
        pane.type("clear; echo alive\r")  # the shell lives on
        pane.wait_for(has_line("alive"))


# Job control by an interactive shell: at the first stop `fg` brings the game
# back, repainted; at the second `kill %1` ends it, with its save. (Whether the
# modes are restored at each stop, the shell would hide: the unit tests check.)
@test("Ctrl-Z: the game stops, fg repaints it, kill %1 ends it with its save")
def _(t):
    t.write("options.txt", "3 8 1 1 10")
    t.write("score.txt", "-1 0")
    pane = t.pane("bash --norc")
    pane.wait_for("$")
    pane.type(f"{shlex.quote(t.binary)}\r")
    end = play_to_end(pane)
    pane.keys("C-z")
    pane.wait_for("Stopped")
    pane.type("fg\r")
    pane.wait_for(described("the game's screen as it was", lambda s: s == end))
    pane.keys("C-z")
    pane.wait_for("Stopped")
    pane.type("kill %1; wait; echo ended\r")
    pane.wait_for(has_line("ended"))
    check(t.read("score.txt") == saved_after(end), f"score.txt {t.read('score.txt')!r}")


# Both standard input and standard output must be a terminal; a refused start
# says why in one line, exits with 1 and makes no --dir folder.
for launch, why in [
        ("{bin} --dir records < /dev/null > out 2> err", "standard input is not a terminal"),
        ("{bin} --dir records > out 2> err", "standard output is not a terminal"),
        ("TERM=no-such-terminal {bin} 2> err", 'unknown terminal type "no-such-terminal"'),
        ("TERM=dumb {bin} 2> err", 'terminal type "dumb" cannot move the cursor or clear the screen'),
        ("env -u TERM {bin} 2> err", "TERM is not set")]:

    @test(f"no terminal: {why}")
    def _(t, launch=launch, why=why):
        t.pane(launch.format(bin=shlex.quote(t.binary)) + '; echo "$?" > status')
        code, err = int(t.wait_file("status")), t.read("err")
        check(t.read("out") in (None, ""), f"wrote {t.read('out')!r} on stdout")
        check((code, err) == (1, f"skarvel: {why}\n"), f"status {code}, stderr {err!r}")
        check(not os.path.exists(t.path("records")), "a refused start made its --dir folder")


# A window of any size, under a memory limit 40000x40000 cells would not fit in:
# curses is never sized beyond 150x41. Resized huge and back, the game goes on.
@test("a huge window under a memory limit: the game starts, resizes and quits")
def _(t):
    master, slave = pty.openpty()

    def window(rows, cols):
        fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))

    window(40000, 40000)
    # setsid --ctty: the terminal is the game's controlling terminal, as under a shell.
    game = subprocess.Popen(["setsid", "--ctty", "--wait", "prlimit", f"--as={48 << 20}", t.binary], cwd=t.dir,
                            stdin=slave, stdout=slave, stderr=slave,
                            env=dict(os.environ, TERM="xterm-256color", LC_ALL="C.UTF-8"))
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


# ---------------------------------------------------------------- games

# (The end of a run by a signal, with its save, is the Ctrl-Z case's kill %1.)
@test("a record shown is saved when the run ends: Retry, Q, then Quit")
def _(t):
    t.write("options.txt", "3 8 1 1 10")
    t.write("score.txt", "-1 0")
    pane = t.game()
    end = play_to_end(pane)
    pane.type("r")
    pane.wait_for(new_game)
    pane.type("q")
    main_menu(pane)
    check(t.read("score.txt") == "-1 0", "Retry or Q wrote score.txt")
    pane.type("q")
    t.wait_file("status")
    check(t.read("score.txt") == saved_after(end), f"score.txt holds {t.read('score.txt')!r}")


@test("a save that fails is reported once on stderr after the game")
def _(t):
    os.mkdir(t.path("options.txt"))  # no file can take its place, for root as well
    pane = t.game()
    main_menu(pane)
    pane.type("oc")
    pane.wait_for("Press number to change the color.")
    pane.type("23b")
    pane.wait_for("Options:")
    pane.type("bq")
    check(t.wait_file("status") == "exit=0\n", f"status {t.read('status')!r}")
    check(t.read("err") == "skarvel: cannot save options.txt: Is a directory\n", f"stderr {t.read('err')!r}")


for what, stored in [("a tiny field", "3 8 1 1 10"), ("a field taller than the terminal", "3 22 1 1 10")]:

    @test(f"80x24: the end prompt in view after a game on {what}, then the whole menu")
    def _(t, stored=stored):
        t.write("options.txt", stored)
        pane = t.game(80, 24)
        end = {line.strip() for line in play_to_end(pane).splitlines()}
        check({f"{UNICODE_POINTER} Retry (R)", f"{UNICODE_POINTER} Back (B)"} <= end, "Retry and Back in view")
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
        waiting = described(f"the player under the cursor after move {n}, or the end prompt",
                            lambda s, c: game_ended(s) or ((s, c) != before and under_cursor(s, c) == "@"))
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


def player_at(screen):
    """The line and column of the player of display mode 2."""
    return next(((y, line.index("@")) for y, line in enumerate(screen.splitlines()) if "@" in line), None)


NUMPAD_2, NUMPAD_1, NUMPAD_ENTER, CTRL_UP = b"\x1bOr", b"\x1bOq", b"\x1bOM", b"\x1b[1;5A"
STEPS = {"s": (1, 0), "d": (0, 1), "a": (0, -1), "w": (-1, 0)}  # down first


# The other descriptions are the unit tests'. The field is random: a step goes
# down where no bomb lies below the player, else aside, until two went down.
@test("xterm-256color: numpad 2 moves down; no escape sequence acts as its letters, nor is typed")
def _(t):
    t.write("options.txt", "40 20 1 2 1")
    pane = t.pane(f"TERM=xterm-256color {shlex.quote(t.binary)}")
    main_menu(pane, PLAIN_POINTER)
    pane.type("p")
    screen, downs = pane.wait_for(new_game), 0
    for score in range(1, 9):
        (row, col), lines = player_at(screen), screen.splitlines()
        # The interior is on lines 2 to 19, columns 1 to 38; its edges wrap.
        to = {key: ((row - 2 + dy) % 18 + 2, (col - 1 + dx) % 38 + 1) for key, (dy, dx) in STEPS.items()}
        key = next(key for key in STEPS if lines[to[key][0]][to[key][1]:to[key][1] + 1] != "*")
        # Q (leave), A (left) and R (restart) must not act: one move down.
        pane.send_bytes(NUMPAD_1 + CTRL_UP + NUMPAD_2) if key == "s" else pane.type(key)
        screen = pane.wait_for(described(f"score {score}", lambda s, n=score: score_of(s) == n))
        check(player_at(screen) == to[key], f"the player at {player_at(screen)}, not {to[key]}")
        downs += key == "s"
        if downs == 2:
            break
    else:
        raise Failed("fewer than two steps down in eight moves")
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
    """Runs the cases in GROUPS groups at once, every GROUPS-th case in each,
    each group on a tmux server of its own; a case's result is printed whole
    when it ends."""
    root = tempfile.mkdtemp(prefix="skarvel-terminal-")
    cases = [(name, fn) for name, fn in TESTS if not only or any(part in name for part in only)]
    lock = threading.Lock()
    results = {"passed": 0, "failed": 0}

    def group(tmux, cases):
        for name, fn in cases:
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
    servers = [Tmux(tempfile.mkdtemp(prefix="server", dir=root)) for _ in range(GROUPS)]
    try:
        threads = [threading.Thread(target=group, args=(tmux, cases[n::GROUPS]), daemon=True)
                   for n, tmux in enumerate(servers)]
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
