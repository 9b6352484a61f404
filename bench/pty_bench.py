#!/usr/bin/env python3
"""Times the real game under a 150x40 pseudo terminal, and prints one table
with these figures beside those of the in-process benchmarks.

For each field the game runs in a fresh temporary folder holding an
options.txt for that field and help.txt, with TERM=xterm-256color in a UTF-8
locale. A scripted game: wait for the main menu, P, a few hundred random
moves (W/A/S/D; R at the "Retry (R)" prompt when a game ends), Q, Q.

How a key's output is known to be complete: after sending a key the script
waits until a read() of the game has returned since (/proc/PID/io), the
pseudo terminal's input queue is empty, and the game sits blocked in read()
on its standard input again (/proc/PID/syscall). By then everything it
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
        self.arrivals = []  # (offset in out, ns since fork) of every chunk read
        self.markers = 0
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

    def reads(self):
        """read() calls the game has finished so far."""
        with open(f"/proc/{self.pid}/io") as f:
            for line in f:
                if line.startswith("syscr:"):
                    return int(line.split()[1])
        raise Stuck("no syscr in /proc/PID/io")

    def reading_stdin(self):
        """True while the game is blocked in read() on its standard input."""
        try:
            with open(f"/proc/{self.pid}/syscall") as f:
                fields = f.read().split()
        except OSError:
            return False
        return len(fields) >= 2 and fields[0] == "0" and int(fields[1], 16) == 0

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
            if progressed and self.pending_input() == 0 and self.reading_stdin():
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

    def key(self, key, what):
        """Sends one key; gives (bytes the game sent, CPU ns) until it waits again."""
        cpu_before, reads_before = self.cpu_ns(), self.reads()
        start = len(self.out)
        self.send(key)
        self.settle(reads_before, what)
        return bytes(self.out[start:]), self.cpu_ns() - cpu_before

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


def play(binary, help_txt, options, moves, seed):
    """The scripted game; per-move figures."""
    rng = random.Random(seed)
    game = Game(binary, help_txt, options)
    try:
        # The banners sleep; the first key read is the main menu's.
        game.settle(-1, "start-up")
        if b"menu:" not in game.out:
            raise Stuck("no main menu")
        first_screen, _ = game.key(b"p", "Play")
        first_repaint = game.full_repaint()
        move_bytes, move_cpu, repaints, ratios = [], [], [], []
        flash_bytes, flash_ratios = [], []  # moves that flash: a hit or the game over
        games, at_prompt = 1, False
        for n in range(moves):
            out, cpu = game.key(bytes([rng.choice(b"wasd")]), f"move {n + 1}")
            move_bytes.append(len(out))
            move_cpu.append(cpu)
            repaint = game.full_repaint()
            repaints.append(repaint)
            ratios.append(len(out) / repaint)
            if FLASH in out:
                flash_bytes.append(len(out))
                flash_ratios.append(len(out) / repaint)
            if b"Retry" in out:
                at_prompt = True
                if n + 1 < moves:
                    game.key(b"r", "Retry")
                    games += 1
                    at_prompt = False
        rss_kib = game.peak_rss_kib()
        menu, _ = game.key(b"b" if at_prompt else b"q", "leaving the game")
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
            "flash_moves": len(flash_bytes),
            "flash_bytes_median": statistics.median(flash_bytes) if flash_bytes else float("nan"),
            "flash_ratio_median": statistics.median(flash_ratios) if flash_ratios else float("nan"),
            "first_screen_bytes": len(first_screen),
            "first_screen_repaint": first_repaint,
            "cpu_mean_ms": sum(move_cpu) / len(move_cpu) / 1e6,
            "cpu_median_ms": statistics.median(move_cpu) / 1e6,
            "cpu_p95_ms": percentile(move_cpu, 95) / 1e6,
            "vmhwm_kib": rss_kib,
            "maxrss_kib": game.rusage.ru_maxrss,
        }
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


def table(bench, whole, start):
    rows = []  # (figure, default, largest, target)
    if bench:
        rows += [
            ("In process (CPU time, NullTerminal)", "", "", ""),
            ("  one move: judge, spawners, print", fmt_ns(bench["BM_move_default"]["cpu_ns"]),
             fmt_ns(bench["BM_move_largest_full"]["cpu_ns"]) + " (left=3)", ""),
            ("  powers mode 2 (half the cells bombed)", "", fmt_ns(bench["BM_powers_spend_largest"]["cpu_ns"]), ""),
            ("  print alone", fmt_ns(bench["BM_print/40/20"]["cpu_ns"]), fmt_ns(bench["BM_print/120/30"]["cpu_ns"]), ""),
            ("  bytes print hands to the terminal", f'{bench["BM_print/40/20"]["bytes_written"]:.0f}',
             f'{bench["BM_print/120/30"]["bytes_written"]:.0f}', ""),
            ("  GameState copy (in every move above)", fmt_ns(bench["BM_restore"]["cpu_ns"]), "", ""),
            ("  one move drawn through ncursesw on a pty", fmt_ns(bench["BM_move_curses_default"]["cpu_ns"]),
             fmt_ns(bench["BM_move_curses_largest"]["cpu_ns"]) + " (half full)", ""),
        ]
    if whole:
        d, l = whole.get("default"), whole.get("largest")

        def both(key, form):
            return (form(d[key]) if d else "-", form(l[key]) if l else "-")

        ratio_ok = d is not None and d["ratio_median"] <= TARGET_RATIO

        def per_field(ok):
            return ", ".join(f"{name} {verdict(ok(w))}" for name, w in (("default", d), ("largest", l)) if w)

        cpu_verdict = per_field(lambda w: w["cpu_mean_ms"] < TARGET_CPU_MS)
        rss_verdict = per_field(lambda w: w["vmhwm_kib"] / 1024 < TARGET_RSS_MIB)
        rows += [
            ("Whole program, 150x40 pty, xterm-256color", "", "", ""),
            ("  moves (games played)", *(f'{w["moves"]} ({w["games"]})' if w else "-" for w in (d, l)), ""),
            ("  bytes/move median", *both("bytes_median", lambda v: f"{v:.0f} B"), ""),
            ("  bytes/move p95", *both("bytes_p95", lambda v: f"{v:.0f} B"), ""),
            ("  full repaint of the same screen, median", *both("repaint_median", lambda v: f"{v:.0f} B"), ""),
            ("  bytes/move ÷ full repaint, median", *both("ratio_median", lambda v: f"{100 * v:.1f}%"),
             f"<= {100 * TARGET_RATIO:.0f}% (default): {verdict(ratio_ok)}"),
            ("  bytes/move ÷ full repaint, p95", *both("ratio_p95", lambda v: f"{100 * v:.1f}%"), ""),
            ("  moves with a flash (hit or game over)", *both("flash_moves", lambda v: f"{v}"), ""),
            ("  bytes of such a move, median", *both("flash_bytes_median", lambda v: f"{v:.0f} B"), ""),
            ("  bytes of such a move ÷ full repaint, median", *both("flash_ratio_median", lambda v: f"{100 * v:.0f}%"),
             ""),
            ("  first game screen after the menu", *both("first_screen_bytes", lambda v: f"{v} B"), ""),
            ("  CPU/move mean", *both("cpu_mean_ms", lambda v: f"{v:.3f} ms"),
             f"< {TARGET_CPU_MS} ms: {cpu_verdict}"),
            ("  CPU/move median", *both("cpu_median_ms", lambda v: f"{v:.3f} ms"), ""),
            ("  CPU/move p95", *both("cpu_p95_ms", lambda v: f"{v:.3f} ms"), ""),
            ("  peak RSS (VmHWM before quitting)", *both("vmhwm_kib", lambda v: f"{v / 1024:.2f} MiB"),
             f"< {TARGET_RSS_MIB:.0f} MiB: {rss_verdict}"),
        ]
    if start:
        s = start
        rows += [
            (f"Start-up, median of {s['startup_runs']} runs (default field)", "", "", ""),
            ("  fork to the first byte", f"{s['startup_first_byte_ms']:.1f} ms", "", ""),
            ('  fork to "Loading..." (first text)', f"{s['startup_loading_ms']:.1f} ms", "", ""),
            ('  fork to the W of "Welcome" (typed after two tabs)', f"{s['startup_welcome_ms']:.1f} ms", "", ""),
            ("  fork to the banner's first byte (the W less its 2 x 20 ms pauses)",
             f"{s['startup_welcome_ms'] - 40:.1f} ms", "",
             f"< {TARGET_STARTUP_MS:.0f} ms: {verdict(s['startup_welcome_ms'] - 40 < TARGET_STARTUP_MS)}"),
        ]
    widths = [max(len(r[i]) for r in rows) for i in range(4)]
    head = ("Figure", "default 40x20 L1", "largest 120x30 L10", "target")
    widths = [max(w, len(h)) for w, h in zip(widths, head)]
    line = "  ".join(h.ljust(w) for h, w in zip(head, widths))
    print(line)
    print("-" * len(line))
    for r in rows:
        print("  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip())


NOTES = """\
Notes:
- Full repaint: after each move the terminal goes to 151 columns and back;
  the game answers the resize by clearing the terminal and drawing the same
  150x40 screen from nothing. Its bytes are the reference for that move.
- CPU/move is the game's CPU time (/proc/PID/schedstat) from the key to the
  next key read, the full repaints excluded; the mean is the total / moves.
- A move that costs a life or ends the game flashes the whole console and
  colours it back. With background colour erase, curses clears in the new
  colours and resends only the cells that hold text, so such a move costs
  about two repaints of the text. Games on the default field are short, and
  those moves make its 95th percentiles.
- The banner types "\\t\\tWelcome..." one byte per 20 ms, its two tabs
  included, so the W comes 40 ms of deliberate pauses after the first text.
- Moves come as fast as the game takes them, many within one clock second;
  the game reseeds its spawners from the second, so such moves draw alike.
"""


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"),
                        help="build folder holding skarvel, help.txt and bench/skarvel_bench")
    parser.add_argument("--moves", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--startup-runs", type=int, default=9)
    parser.add_argument("--min-time", default="0.5", help="Google Benchmark min time per benchmark")
    parser.add_argument("--fields", default="default,largest")
    parser.add_argument("--no-in-process", action="store_true")
    parser.add_argument("--json", help="also write every figure to this file")
    args = parser.parse_args()

    binary = os.path.abspath(os.path.join(args.build, "skarvel"))
    help_txt = os.path.join(args.build, "help.txt")
    bench_binary = os.path.join(args.build, "bench", "skarvel_bench")

    print(f"Machine: {machine()}", flush=True)
    bench = None if args.no_in_process else in_process(bench_binary, args.min_time)
    whole = {}
    for name in args.fields.split(","):
        options = FIELDS[name]
        print(f"Playing {args.moves} moves on the {name} field...", file=sys.stderr, flush=True)
        whole[name] = play(binary, help_txt, options, args.moves, args.seed)
    print("Timing start-up...", file=sys.stderr, flush=True)
    start = startup(binary, help_txt, FIELDS["default"], args.startup_runs)
    print()
    table(bench, whole, start)
    print()
    print(NOTES, end="")
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"machine": machine(), "in_process": bench, "whole": whole, "startup": start}, f, indent=1)


if __name__ == "__main__":
    try:
        main()
    except Stuck as stuck:
        print(f"pty_bench: {stuck}", file=sys.stderr)
        sys.exit(1)
