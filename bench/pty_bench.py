#!/usr/bin/env python3
"""Times the real game under a 150x40 pseudo terminal, and prints one table
with these figures beside those of the in-process benchmarks.

For each field the game runs in a fresh temporary folder holding an
options.txt for that field and help.txt, with TERM=xterm-256color in a UTF-8
locale. A scripted game: wait for the main menu, P, a few hundred random
moves (W/A/S/D; R at the "Retry (R)" prompt when a game ends), Q, Q.

How a key's output is known to be complete: after sending a key the script
waits until a read() of the game has returned since (/proc/PID/io), the
pseudo terminal's input queue is empty, and the game sits blocked waiting
for its standard input again (/proc/PID/syscall). By then everything it
wrote is in the terminal's queue; a marker written to the same terminal
behind it tells when all of it has been read. No guessing from silences:
the pauses of a hit or a game over (sleeps) are waited out, not mistaken
for the end of the output.

Per move: the bytes the game sent, and its CPU time (/proc/PID/schedstat,
nanoseconds). The reference for the bytes is a full repaint of the very
same screen: after each move the terminal is resized to 151 columns and
back, and the game answers the second resize by clearing the terminal and
drawing the whole 150x40 screen again (curses redraws everything after a
resize). Those bytes are what the screen costs drawn onto a blank terminal
through the same curses; they are not counted as move bytes or move CPU.
"""

import argparse
import fcntl
import json
import os
import pty
import random
import select
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import termios
import time

from screen_model import Screen, fewest_bytes

# The options.txt of each field: length, width, colours, display, level.
FIELDS = {
    "default": "40 20 1 1 1",
    "largest": "120 30 1 1 10",
}

COLS, ROWS = 150, 40
FLASH = b"41m"  # a red background: the hit and the game-over flashes
SETTLE_TIMEOUT = 30.0  # seconds a key may take before the run is called stuck

# What the figures should stay within.
TARGET_RATIO = 0.10        # median bytes/move <= 10% of a full repaint
TARGET_CPU_MS = 0.2        # CPU per move
TARGET_STARTUP_MS = 30.0   # fork to the first byte of the welcome banner
TARGET_RSS_MIB = 8.0       # peak resident memory


class Stuck(Exception):
    pass


def percentile(values, p):
    """The p-th percentile, nearest rank."""
    if not values:
        return float("nan")
    ordered = sorted(values)
    rank = max(1, int(-(-p * len(ordered) // 100)))
    return ordered[min(rank, len(ordered)) - 1]


class Game:
    """One run of the game on its own pseudo terminal and folder."""

    def __init__(self, binary, help_txt, options):
        self.folder = tempfile.mkdtemp(prefix="skarvel-bench-")
        with open(os.path.join(self.folder, "options.txt"), "w") as f:
            f.write(options)
        shutil.copy(help_txt, os.path.join(self.folder, "help.txt"))
        self.master, self.slave = pty.openpty()
        self.resize(ROWS, COLS)
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.folder,
            "TERM": "xterm-256color",
            "LC_ALL": "C.UTF-8",
        }
        self.out = bytearray()
        self.screen = Screen(ROWS, COLS)  # what the terminal shows, fed all output
        self.arrivals = []  # (offset in out, ns since fork) of every chunk read
        self.markers = 0
        self.fed = 0  # bytes of out the screen model has had
        self.fork_ns = time.perf_counter_ns()
        pid = os.fork()
        if pid == 0:  # the game
            try:
                os.setsid()
                fcntl.ioctl(self.slave, termios.TIOCSCTTY, 0)
                for fd in (0, 1, 2):
                    os.dup2(self.slave, fd)
                os.closerange(3, 256)
                os.chdir(self.folder)
                os.execve(binary, [binary], env)
            finally:
                os._exit(127)
        self.pid = pid
        os.set_blocking(self.master, False)
        self.status = None
        self.rusage = None

    # -- the terminal -------------------------------------------------------

    def resize(self, rows, cols):
        fcntl.ioctl(self.slave, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))
        if hasattr(self, "screen"):
            self.screen.feed(bytes(self.out[self.fed:]))
            self.fed = len(self.out)
            self.screen.resize(rows, cols)

    def send(self, key):
        os.write(self.master, key)

    def read_some(self, timeout):
        """Reads what is there, waiting up to `timeout` seconds for the first byte."""
        ready, _, _ = select.select([self.master], [], [], timeout)
        if not ready:
            return 0
        got = 0
        while True:
            try:
                chunk = os.read(self.master, 65536)
            except BlockingIOError:
                return got
            except OSError:  # the game has gone and the terminal with it
                return got
            if not chunk:
                return got
            self.arrivals.append((len(self.out), time.perf_counter_ns() - self.fork_ns))
            self.out.extend(chunk)
            got += len(chunk)

    def pending_input(self):
        return struct.unpack("i", fcntl.ioctl(self.slave, termios.FIONREAD, b"\0\0\0\0"))[0]

    # -- the process --------------------------------------------------------

    def cpu_ns(self):
        """CPU time of the game so far."""
        with open(f"/proc/{self.pid}/schedstat") as f:
            return int(f.read().split()[0])

    def io(self, field):
        """A counter of /proc/PID/io: syscr, the read() calls the game has
        finished so far; syscw, its write() calls."""
        with open(f"/proc/{self.pid}/io") as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
        raise Stuck(f"no {field} in /proc/PID/io")

    def reads(self):
        return self.io("syscr")

    def waiting_for_key(self):
        """True while the game is blocked waiting for its standard input: in
        read() on it, or in a poll() without a timeout (x86_64 numbers)."""
        try:
            with open(f"/proc/{self.pid}/syscall") as f:
                fields = f.read().split()
        except OSError:
            return False
        if len(fields) < 4:
            return False
        number, first, timeout = int(fields[0]), int(fields[1], 16), int(fields[3], 16)
        read_stdin = number == 0 and first == 0
        poll_forever = number == 7 and timeout in (0xFFFFFFFF, 0xFFFFFFFFFFFFFFFF)  # poll(fds, n, -1)
        ppoll_forever = number == 271 and timeout == 0  # ppoll(fds, n, NULL, ...)
        return read_stdin or poll_forever or ppoll_forever

    def alive(self):
        if self.status is not None:
            return False
        pid, status, rusage = os.wait4(self.pid, os.WNOHANG)
        if pid == 0:
            return True
        self.status, self.rusage = status, rusage
        return False

    def settle(self, reads_before, what, output_from=None):
        """Waits until the game has taken the key (a read() of the game has
        returned since `reads_before`) or, for a resize, has written since
        `output_from`, and waits for a key again; reads everything it wrote
        until then. (A resize need not cut a read short: curses notices it
        before reading too.)"""
        deadline = time.monotonic() + SETTLE_TIMEOUT
        while True:
            self.read_some(0)
            if not self.alive():
                raise Stuck(f"the game ended during {what} (status {self.status})")
            progressed = self.reads() > reads_before or (
                output_from is not None and len(self.out) > output_from)
            if progressed and self.pending_input() == 0 and self.waiting_for_key():
                self.read_to_marker()
                return
            if time.monotonic() > deadline:
                raise Stuck(f"no key read within {SETTLE_TIMEOUT} s after {what}")
            self.read_some(0.0005)

    def read_to_marker(self):
        """Everything the game wrote is in the terminal's queue: write a marker
        behind it and read up to the marker."""
        self.markers += 1
        marker = b"\xff\xfe[bench marker %d]\xfe\xff" % self.markers
        start = len(self.out)
        os.write(self.slave, marker)
        deadline = time.monotonic() + SETTLE_TIMEOUT
        while True:
            at = self.out.find(marker, start)
            if at >= 0:
                del self.out[at:at + len(marker)]
                return
            if time.monotonic() > deadline:
                raise Stuck("the marker never came back")
            self.read_some(0.05)

    def shown(self):
        """The terminal's cells and cursor as the output so far leaves them."""
        self.screen.feed(bytes(self.out[self.fed:]))
        self.fed = len(self.out)
        return [list(line) for line in self.screen.cells], (self.screen.row, self.screen.col)

    def key(self, key, what):
        """Sends one key; gives (bytes the game sent, CPU ns, write() calls)
        until it waits again."""
        cpu_before, reads_before, writes_before = self.cpu_ns(), self.reads(), self.io("syscw")
        start = len(self.out)
        self.send(key)
        self.settle(reads_before, what)
        return bytes(self.out[start:]), self.cpu_ns() - cpu_before, self.io("syscw") - writes_before

    def move(self, key, what):
        """key() with the fewest bytes that could make the same change (see screen_model)."""
        cells, cursor = self.shown()
        out, cpu, writes = self.key(key, what)
        after, cursor_after = self.shown()
        return out, cpu, writes, fewest_bytes(cells, after, cursor, cursor_after)

    def full_repaint(self):
        """Bytes of a full repaint of the screen as it stands."""
        self.resize(ROWS, COLS + 1)
        self.settle(self.reads(), "a resize", len(self.out))
        start = len(self.out)
        self.resize(ROWS, COLS)
        self.settle(self.reads(), "a resize", start)
        return len(self.out) - start

    def peak_rss_kib(self):
        with open(f"/proc/{self.pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
        return None

    def wait_exit(self, timeout):
        deadline = time.monotonic() + timeout
        while self.alive():
            if time.monotonic() > deadline:
                raise Stuck("the game did not end")
            self.read_some(0.01)

    def close(self):
        if self.status is None:
            try:
                os.kill(self.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            os.wait4(self.pid, 0)
            self.status = -1
        for fd in (self.master, self.slave):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.folder, ignore_errors=True)

    def time_of(self, offset):
        """When the byte at `offset` of the output arrived, ms after the fork."""
        when = None
        for start, ns in self.arrivals:
            if start > offset:
                break
            when = ns
        return when / 1e6


def startup(binary, help_txt, options, runs):
    """Fork to the first byte, to "Loading...", and to the W of "Welcome"."""
    firsts, loadings, welcomes = [], [], []
    for _ in range(runs):
        game = Game(binary, help_txt, options)
        try:
            deadline = time.monotonic() + SETTLE_TIMEOUT
            while b"W" not in game.out:
                if time.monotonic() > deadline or not game.alive():
                    raise Stuck("no welcome banner")
                game.read_some(0.05)
            loading = game.out.find(b"Loading...")
            if loading < 0:
                raise Stuck('no "Loading..." before the banner')
            firsts.append(game.time_of(0))
            loadings.append(game.time_of(loading))
            welcomes.append(game.time_of(game.out.find(b"W")))
            os.kill(game.pid, signal.SIGTERM)
            game.wait_exit(5)
        finally:
            game.close()
    return {
        "startup_first_byte_ms": statistics.median(firsts),
        "startup_loading_ms": statistics.median(loadings),
        "startup_welcome_ms": statistics.median(welcomes),
        "startup_welcome_min_ms": min(welcomes),
        "startup_runs": runs,
    }


def help_typing(binary, help_txt, options):
    """Bytes the help screen sends for each byte of its text: the text is
    typed a character a frame."""
    game = Game(binary, help_txt, options)
    try:
        game.settle(-1, "start-up")
        out, _, _ = game.key(b"h", "Help")
        with open(help_txt, "rb") as f:
            return len(out) / len(f.read())
    finally:
        game.close()


def play(binary, help_txt, options, moves, seed):
    """The scripted game; per-move figures."""
    rng = random.Random(seed)
    game = Game(binary, help_txt, options)
    try:
        # The banners sleep; the first key read is the main menu's.
        game.settle(-1, "start-up")
        if b"menu:" not in game.out:
            raise Stuck("no main menu")
        first_screen, _, _ = game.key(b"p", "Play")
        first_repaint = game.full_repaint()
        move_bytes, move_cpu, repaints, ratios, limit_ratios = [], [], [], [], []
        kinds = ("plain", "hit", "game over")
        writes = {kind: [] for kind in kinds}  # write() calls of each kind of move
        kind_bytes = {kind: [] for kind in kinds}
        games, at_prompt = 1, False
        for n in range(moves):
            out, cpu, written, fewest = game.move(bytes([rng.choice(b"wasd")]), f"move {n + 1}")
            move_bytes.append(len(out))
            move_cpu.append(cpu)
            kind = "game over" if b"GAMEOVER" in out else "hit" if FLASH in out else "plain"
            writes[kind].append(written)
            kind_bytes[kind].append(len(out))
            if kind == "plain" and fewest:
                limit_ratios.append(len(out) / fewest)
            repaint = game.full_repaint()
            repaints.append(repaint)
            ratios.append(len(out) / repaint)
            if b"Retry" in out:
                at_prompt = True
                if n + 1 < moves:
                    game.key(b"r", "Retry")
                    games += 1
                    at_prompt = False
        rss_kib = game.peak_rss_kib()
        menu, _, _ = game.key(b"b" if at_prompt else b"q", "leaving the game")
        if b"menu:" not in menu:
            raise Stuck("no main menu after the game")
        game.send(b"q")
        game.wait_exit(15)
        if not os.WIFEXITED(game.status) or os.WEXITSTATUS(game.status) != 0:
            raise Stuck(f"the game ended with status {game.status}")
        return {
            "moves": moves,
            "games": games,
            "bytes_median": statistics.median(move_bytes),
            "bytes_p95": percentile(move_bytes, 95),
            "bytes_max": max(move_bytes),
            "repaint_median": statistics.median(repaints),
            "ratio_median": statistics.median(ratios),
            "ratio_p95": percentile(ratios, 95),
            "first_screen_bytes": len(first_screen),
            "first_screen_repaint": first_repaint,
            "cpu_mean_ms": sum(move_cpu) / len(move_cpu) / 1e6,
            "cpu_median_ms": statistics.median(move_cpu) / 1e6,
            "cpu_p95_ms": percentile(move_cpu, 95) / 1e6,
            "vmhwm_kib": rss_kib,
            "maxrss_kib": game.rusage.ru_maxrss,
            "limit_ratio_median": statistics.median(limit_ratios),
            "limit_ratio_p95": percentile(limit_ratios, 95),
            **{f"writes_{kind.replace(' ', '_')}": (statistics.median(w), max(w)) if w else None
               for kind, w in writes.items()},
            **{f"bytes_{kind.replace(' ', '_')}": (statistics.median(b), max(b)) if b else None
               for kind, b in kind_bytes.items()},
        }
    finally:
        game.close()


def polls_per_move(binary, help_txt, options, moves, seed):
    """poll() calls per move (poll, ppoll, select and pselect6 alike),
    counted by strace attached for the moves alone, apart from the timed run
    so that tracing costs it nothing; None without strace."""
    strace = shutil.which("strace")
    if strace is None:
        return None
    rng = random.Random(seed)
    game = Game(binary, help_txt, options)
    try:
        game.settle(-1, "start-up")
        game.key(b"p", "Play")
        log = os.path.join(game.folder, "strace.log")
        tracer = subprocess.Popen([strace, "-qq", "-c", "-e", "trace=poll,ppoll,select,pselect6",
                                   "-o", log, "-p", str(game.pid)])
        deadline = time.monotonic() + SETTLE_TIMEOUT
        while not any(line.startswith("TracerPid:") and line.split()[1] != "0"
                      for line in open(f"/proc/{game.pid}/status")):
            if time.monotonic() > deadline:
                raise Stuck("strace did not attach")
            time.sleep(0.01)
        keys = 0
        for n in range(moves):
            out, _, _ = game.key(bytes([rng.choice(b"wasd")]), f"move {n + 1}")
            keys += 1
            if b"Retry" in out:
                game.key(b"r", "Retry")
                keys += 1
        tracer.send_signal(signal.SIGINT)
        tracer.wait(timeout=SETTLE_TIMEOUT)
        calls = 0
        with open(log) as f:
            for line in f:
                fields = line.split()
                if fields and fields[-1] in ("poll", "ppoll", "select", "pselect6"):
                    calls += int(fields[3])
        return calls / keys
    finally:
        game.close()


def in_process(bench_binary, min_time):
    """Runs the Google Benchmark binary; CPU ns per iteration by name."""
    done = subprocess.run(
        [bench_binary, "--benchmark_format=json", f"--benchmark_min_time={min_time}"],
        check=True, capture_output=True, text=True)
    results = {}
    for b in json.loads(done.stdout)["benchmarks"]:
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        results[b["name"]] = dict(b, cpu_ns=b["cpu_time"] * scale)
    return results


def machine():
    model = "?"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return f"{os.cpu_count()} CPUs, {model}, load average {os.getloadavg()[0]:.2f}"


def fmt_ns(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} µs"
    return f"{ns:.0f} ns"


def verdict(ok):
    return "met" if ok else "MISSED"


def table(bench, whole, start, before=None):
    """The figures as rows of text; with `before`, the whole-program figures
    of the build compared stand after each one, as "now (before)"."""
    rows = []  # (figure, default, largest, target)
    if bench:
        rows += [
            ("In process (CPU time, NullTerminal)", "", "", ""),
            ("  one move: the cell, the spawners, the screen", fmt_ns(bench["BM_move_default"]["cpu_ns"]),
             fmt_ns(bench["BM_move_largest_full"]["cpu_ns"]) + " (2 placements to win)", ""),
            ("  spending a power (half the cells bombed)", "", fmt_ns(bench["BM_powers_spend_largest"]["cpu_ns"]), ""),
            ("  drawing the game screen alone", fmt_ns(bench["BM_print/40/20"]["cpu_ns"]),
             fmt_ns(bench["BM_print/120/30"]["cpu_ns"]), ""),
            ("  bytes the game screen writes to the terminal", f'{bench["BM_print/40/20"]["bytes_written"]:.0f}',
             f'{bench["BM_print/120/30"]["bytes_written"]:.0f}', ""),
            ("  GameState copy (in every move above)", fmt_ns(bench["BM_restore"]["cpu_ns"]), "", ""),
            ("  one move drawn through ncursesw on a pty", fmt_ns(bench["BM_move_curses_default"]["cpu_ns"]),
             fmt_ns(bench["BM_move_curses_largest"]["cpu_ns"]) + " (half full)", ""),
        ]
    if whole:
        d, l = whole.get("default"), whole.get("largest")
        bd, bl = (before or {}).get("default"), (before or {}).get("largest")

        def both(key, form):
            def cell(now, was):
                if not now or now.get(key) is None:
                    return "-"
                text = form(now[key])
                if was and was.get(key) is not None:
                    text += f" ({form(was[key])})"
                return text
            return cell(d, bd), cell(l, bl)

        def per_field(ok):
            return ", ".join(f"{name} {verdict(ok(w))}" for name, w in (("default", d), ("largest", l)) if w)

        def median_max(v):
            return f"{v[0]:g}, max {v[1]:g}"

        rows += [
            ("Whole program, 150x40 pty, xterm-256color" + (" (before)" if before else ""), "", "", ""),
            ("  moves (games played)", *both("moves", lambda v: f"{v}"), ""),
            ("  write() calls, a plain move: median, max", *both("writes_plain", median_max),
             f"1: {per_field(lambda w: w['writes_plain'] is not None and w['writes_plain'][1] <= 1)}"),
            ("  write() calls, a hit", *both("writes_hit", median_max), "<= 10"),
            ("  write() calls, the game over", *both("writes_game_over", median_max), "<= 10"),
            ("  poll() calls a key", *both("polls", lambda v: f"{v:.2f}"), ""),
            ("  bytes/move median", *both("bytes_median", lambda v: f"{v:.0f} B"), ""),
            ("  bytes/move p95", *both("bytes_p95", lambda v: f"{v:.0f} B"), ""),
            ("  bytes/fewest bytes, a plain move: median, p95",
             *both("limit_ratio_median", lambda v: f"{v:.2f}x"), ""),
            ("  full repaint of the same screen, median", *both("repaint_median", lambda v: f"{v:.0f} B"), ""),
            ("  bytes/move / full repaint, median", *both("ratio_median", lambda v: f"{100 * v:.1f}%"),
             f"<= {100 * TARGET_RATIO:.0f}%: {per_field(lambda w: w['ratio_median'] <= TARGET_RATIO)}"),
            ("  bytes of a hit: median, max", *both("bytes_hit", lambda v: f"{v[0]:g}, max {v[1]:g}"), ""),
            ("  bytes of the game over: median, max",
             *both("bytes_game_over", lambda v: f"{v[0]:g}, max {v[1]:g}"), ""),
            ("  CPU/move mean", *both("cpu_mean_ms", lambda v: f"{v:.3f} ms"),
             f"< {TARGET_CPU_MS} ms: {per_field(lambda w: w['cpu_mean_ms'] < TARGET_CPU_MS)}"),
            ("  CPU/move median", *both("cpu_median_ms", lambda v: f"{v:.3f} ms"), ""),
            ("  CPU/move p95", *both("cpu_p95_ms", lambda v: f"{v:.3f} ms"), ""),
            ("  peak RSS (VmHWM before quitting)", *both("vmhwm_kib", lambda v: f"{v / 1024:.2f} MiB"),
             f"< {TARGET_RSS_MIB:.0f} MiB: {per_field(lambda w: w['vmhwm_kib'] / 1024 < TARGET_RSS_MIB)}"),
        ]
    if start:
        def startup_cell(key, form):
            text = form(start[key])
            was = (before or {}).get("startup")
            return text + (f" ({form(was[key])})" if was else "")
        rows += [
            (f"Start-up, median of {start['startup_runs']} runs (default field)", "", "", ""),
            ("  fork to the first byte", startup_cell("startup_first_byte_ms", lambda v: f"{v:.1f} ms"), "", ""),
            ("  help screen: bytes sent a byte of its text",
             startup_cell("help_per_byte", lambda v: f"{v:.2f}"), "", "<= 1.5"),
            ("  fork to the banner's first letter, less its 2 x 20 ms pauses",
             startup_cell("startup_welcome_ms", lambda v: f"{v - 40:.1f} ms"), "",
             f"< {TARGET_STARTUP_MS:.0f} ms: {verdict(start['startup_welcome_ms'] - 40 < TARGET_STARTUP_MS)}"),
        ]
    widths = [max(len(r[i]) for r in rows) for i in range(4)]
    head = ("Figure", "default 40x20 L1", "largest 120x30 L10", "target")
    widths = [max(w, len(h)) for w, h in zip(widths, head)]
    line = "  ".join(h.ljust(w) for h, w in zip(head, widths))
    lines = [line, "-" * len(line)]
    for r in rows:
        lines.append("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())
    return lines


NOTES = """\
Notes:
- write() calls per key come from /proc/PID/io (syscw), exactly; a hit and
  the game over include the sleeps between their frames, and the bell.
  poll() calls come from a second game of 100 moves under strace -c.
- Full repaint: after each move the terminal goes to 151 columns and back;
  the game answers the resize by clearing the terminal and drawing the same
  150x40 screen from nothing. Its bytes are the reference for that move.
- Fewest bytes: the cells a plain move changed (read from a model of the
  terminal fed everything the game sent, bench/screen_model.py), each sent
  once, reached by the cheapest cursor movement xterm offers, with the
  colours kept between frames. What a move costs above that is curses' own
  cursor movement: it goes straight to an absolute address for a long move.
- CPU/move is the game's CPU time (/proc/PID/schedstat) from the key to the
  next key read, the full repaints excluded; the mean is the total / moves.
- A move that costs a life or ends the game flashes the whole console and
  colours it back. With background colour erase, the scheme is curses'
  default colours: a change of them clears the terminal in the new colours
  and resends only the cells that hold text, so such a move costs about two
  repaints of the text, and a plain move sends no colours at all. Games on
  the default field are short, and those moves make its 95th percentiles.
- The banner types "\\t\\tWelcome..." one byte per 20 ms, its two tabs
  included, so the W comes 40 ms of deliberate pauses after the first text.
- Moves come as fast as the game takes them, many within one clock second;
  the game reseeds its spawners from the second, so such moves draw alike.
"""


README_HEAD = """\
# Performance

What the game costs, measured by `bench/run`, which builds the game and
its benchmarks in Release (in `build-bench/`), runs the in-process
benchmarks (Google Benchmark, `bench/moves_bench.cpp`) and plays the real
`skarvel` under a 150x40 pseudo terminal (`bench/pty_bench.py`), and writes
this page anew with `bench/run --readme`. `bench/run --before REV` builds
the game of another revision too and puts its whole-program figures in
parentheses after each of today's, measured in the same run. CPU figures
move by some 20% from run to run on a shared machine; the counts of
write() and poll() calls and the bytes do not.

"""


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"),
                        help="build folder holding skarvel, help.txt and bench/skarvel_bench")
    parser.add_argument("--before", help="build folder of the game to compare with (its skarvel and help.txt)")
    parser.add_argument("--before-name", default="another build", help="what --before is, for the page")
    parser.add_argument("--moves", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--startup-runs", type=int, default=9)
    parser.add_argument("--min-time", default="0.5", help="Google Benchmark min time per benchmark")
    parser.add_argument("--fields", default="default,largest")
    parser.add_argument("--no-in-process", action="store_true")
    parser.add_argument("--json", help="also write every figure to this file")
    parser.add_argument("--readme", help="also write the figures as this Markdown page (bench/README.md)")
    args = parser.parse_args()

    def measure(build):
        binary = os.path.abspath(os.path.join(build, "skarvel"))
        help_txt = os.path.join(build, "help.txt")
        whole = {}
        for name in args.fields.split(","):
            print(f"Playing {args.moves} moves on the {name} field with {binary}...", file=sys.stderr, flush=True)
            whole[name] = play(binary, help_txt, FIELDS[name], args.moves, args.seed)
            whole[name]["polls"] = polls_per_move(binary, help_txt, FIELDS[name], min(args.moves, 100), args.seed)
        print("Timing start-up...", file=sys.stderr, flush=True)
        whole["startup"] = startup(binary, help_txt, FIELDS["default"], args.startup_runs)
        whole["startup"]["help_per_byte"] = help_typing(binary, help_txt, FIELDS["default"])
        return whole

    print(f"Machine: {machine()}", flush=True)
    bench = None
    if not args.no_in_process:
        bench = in_process(os.path.join(args.build, "bench", "skarvel_bench"), args.min_time)
    whole = measure(args.build)
    before = measure(args.before) if args.before else None
    lines = table(bench, whole, whole["startup"], before)
    print()
    print("\n".join(lines))
    print()
    print(NOTES, end="")
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"machine": machine(), "in_process": bench, "whole": whole, "before": before}, f, indent=1)
    if args.readme:
        with open(args.readme, "w") as f:
            f.write(README_HEAD)
            f.write(f"Measured on {time.strftime('%Y-%m-%d')}: {machine()}.")
            if before:
                f.write(f" In parentheses: {args.before_name}.")
            f.write("\n\n```\n" + "\n".join(lines) + "\n```\n\n")
            f.write(NOTES.replace("Notes:", "Notes:\n"))


if __name__ == "__main__":
    try:
        main()
    except Stuck as stuck:
        print(f"pty_bench: {stuck}", file=sys.stderr)
        sys.exit(1)
