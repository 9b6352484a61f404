#!/usr/bin/env python3
"""Installs the game into a temporary prefix, plays the installed copy, and
uninstalls it. The tree is moved from its prefix before it runs, so the game
must find its help text beside itself; it runs from an empty folder with a
new --dir. The installs go to a record of the test's own.

Usage: install_test.py CMAKE BUILD BINDIR DATADIR MANDIR HELP_TXT
(BINDIR, DATADIR, MANDIR: below the prefix; HELP_TXT: the source tree's)
"""

import os
import shlex
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "terminal"))
from terminal_test import Failed, Pane, Tmux, check, has_line, shown, wait_file  # noqa: E402

TIMEOUT_S = 10.0


def run(*command, **kwargs):
    done = subprocess.run(command, capture_output=True, text=True, timeout=60, **kwargs)
    check(done.returncode == 0, f"{' '.join(command)}: status {done.returncode}\n{done.stderr}")
    return done.stdout


def recorded_in(record):
    """The environment for an install written down in `record`."""
    return dict(os.environ, SKARVEL_INSTALL_RECORD=record)


def files_below(folder):
    return sorted(os.path.relpath(os.path.join(top, name), folder)
                  for top, _, names in os.walk(folder) for name in names)


def check_installed(root, cmake, build, dirs, help_txt):
    """Installs, moves the tree, and gives the path of the installed game."""
    run(cmake, "--install", build, "--prefix", os.path.join(root, "prefix"),
        env=recorded_in(os.path.join(root, "record")))
    moved = os.path.join(root, "moved")
    os.rename(os.path.join(root, "prefix"), moved)
    game = os.path.join(dirs["bin"], "skarvel")
    help_file = os.path.join(dirs["data"], "skarvel", "help.txt")
    manual = os.path.join(dirs["man"], "man6", "skarvel.6")
    expected = sorted([game, help_file, manual])
    check(files_below(moved) == expected, f"installed {files_below(moved)}, expected {expected}")
    with open(help_txt, "rb") as source, open(os.path.join(moved, help_file), "rb") as installed:
        check(source.read() == installed.read(), "the installed help.txt differs from the source's")
    version = run(os.path.join(moved, game), "--version")
    with open(os.path.join(moved, manual)) as page:
        check(f'"{version.strip()}"' in page.readline(), f"the manual page is not that of {version!r}")
    return os.path.join(moved, game)


def check_without_terminal(game, folder):
    """--help and a mistake: answered at once, with no terminal at all."""
    def without_terminal(*args):
        return subprocess.run([game, *args], cwd=folder, stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=TIMEOUT_S)
    usage = without_terminal("--help")
    check(usage.returncode == 0 and usage.stdout.startswith("Usage: skarvel") and not usage.stderr,
          f"--help: status {usage.returncode}, stdout {usage.stdout[:40]!r}, stderr {usage.stderr!r}")
    wrong = without_terminal("--dir", "x", "--colour")
    for args, status, line in [
            (["--dir", "x", "--colour"], 2, "unknown option '--colour'\nTry 'skarvel --help' for more information."),
            (["--d"], 2, "option '--dir' needs a folder\nTry 'skarvel --help' for more information."),
            (["--dir", "new/deep"], 1, "standard input is not a terminal")]:
        refused = without_terminal(*args)
        check(refused.returncode == status and not refused.stdout and refused.stderr == f"skarvel: {line}\n",
              f"{args}: status {refused.returncode}, stderr {refused.stderr!r}")
    check(os.listdir(folder) == [], f"files made: {os.listdir(folder)}")


def play_installed(root, game, help_txt):
    """Options in a new --dir folder, then the installed help text."""
    work = os.path.join(root, "empty")
    os.mkdir(work)
    check_without_terminal(game, work)
    status = os.path.join(root, "status")
    tmux = Tmux(root)
    try:
        pane = Pane(tmux, "installed", work,
                    # The shell outlives the game's Ctrl-C to write its status.
                    f"trap : INT; {shlex.quote(game)} --dir records/new; echo $? > {shlex.quote(status)}",
                    150, 40)
        pane.wait_for("Quit (Q)")
        pane.type("o")
        pane.wait_for("Back to main menu (B)")
        pane.type("c")
        pane.wait_for("Press number to change the color.")
        pane.type("3")
        wait_file(os.path.join(work, "records", "new", "options.txt"), "40 20 3 1 1")
        pane.type("bb")
        pane.wait_for("Quit (Q)")
        # A help text beside the game comes before the installed one.
        beside = os.path.join(os.path.dirname(game), "help.txt")
        with open(beside, "w") as f:
            f.write("Beside the game.\n")
        pane.type("h")
        pane.wait_for(has_line("Beside the game."))
        pane.type("b")
        pane.wait_for("Quit (Q)")
        os.remove(beside)
        pane.type("h")
        with open(help_txt, encoding="utf-8") as f:
            first_line = shown(next(line for line in f if line.strip()))
        pane.wait_for(has_line(first_line))
        pane.keys("C-c")  # rather than wait for the rest of the text
        wait_file(status, "130\n")
    finally:
        tmux.kill_server()
    check(files_below(work) == [os.path.join("records", "new", "options.txt")],
          f"files in the working folder: {files_below(work)}")


def check_uninstalled(root, cmake, build):
    """Installed into a prefix holding one empty folder, then uninstalled:
    that folder stays, everything else goes, the record too."""
    prefix = os.path.join(root, "again")
    kept = os.path.join(prefix, "share", "man")
    os.makedirs(kept)
    record = os.path.join(root, "record-again")
    run(cmake, "--install", build, "--prefix", prefix, env=recorded_in(record))
    run(cmake, "--build", build, "--target", "uninstall", env=recorded_in(record))
    left = sorted(os.path.relpath(top, root) for top, _, _ in os.walk(prefix))
    check(left == ["again", "again/share", "again/share/man"] and files_below(prefix) == [],
          f"left after uninstall: {left}, files {files_below(prefix)}")
    check(not os.path.exists(record), "the install record outlives the uninstall")


def main(cmake, build, bindir, datadir, mandir, help_txt):
    dirs = {"bin": bindir, "data": datadir, "man": mandir}
    root = tempfile.mkdtemp(prefix="skarvel-install-")
    try:
        game = check_installed(root, cmake, build, dirs, help_txt)
        print("PASS  installed files", flush=True)
        play_installed(root, game, help_txt)
        print("PASS  the installed game: --help, mistakes, --dir, help text", flush=True)
        check_uninstalled(root, cmake, build)
        print("PASS  uninstalled", flush=True)
    except Failed as e:
        print(f"FAIL  {e}")
        return 1
    finally:
        shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 7:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
