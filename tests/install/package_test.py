#!/usr/bin/env python3
"""The Debian package that cpack makes (its files and fields), and lintian's
verdict on it. Either exits 77 (skipped) where its tools are missing.

Usage: package_test.py make CPACK BUILD PACKAGE_DIR DATADIR
       package_test.py lint PACKAGE_DIR
"""

import glob
import os
import re
import shutil
import subprocess
import sys

SKIPPED = 77
MAINTAINER = "Skarvel Tester <tester@example.org>"


class Failed(Exception):
    pass


def check(ok, message):
    if not ok:
        raise Failed(message)


def cpack(cpack_tool, build, out, *args):
    return subprocess.run([cpack_tool, "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
                           "-B", out, *args], capture_output=True, text=True, timeout=300)


def make(cpack_tool, build, out, datadir):
    if not shutil.which(cpack_tool) or not shutil.which("dpkg-deb"):
        print("SKIPPED  the Debian package: cpack or dpkg-deb is missing")
        return SKIPPED
    shutil.rmtree(out, ignore_errors=True)
    # The build names no maintainer: cpack stops, saying how to give one.
    refused = cpack(cpack_tool, build, out, "-D", "CPACK_PACKAGE_CONTACT=")
    check(refused.returncode != 0 and "-DSKARVEL_PACKAGE_MAINTAINER=" in refused.stderr + refused.stdout
          and not glob.glob(os.path.join(out, "*.deb")),
          f"cpack without a maintainer: status {refused.returncode}\n{refused.stderr}")
    made = cpack(cpack_tool, build, out, "-D", f"CPACK_PACKAGE_CONTACT={MAINTAINER}")
    check(made.returncode == 0, f"cpack: status {made.returncode}\n{made.stderr}")
    packages = glob.glob(os.path.join(out, "*.deb"))
    check(len(packages) == 1, f"packages made: {packages}")

    listing = subprocess.run(["dpkg-deb", "-c", packages[0]], capture_output=True, text=True, check=True).stdout
    files = sorted(line.split()[-1] for line in listing.splitlines() if not line.startswith("d"))
    expected = sorted(["./usr/games/skarvel", f"./usr/{datadir}/skarvel/help.txt",
                       "./usr/share/man/man6/skarvel.6.gz", "./usr/share/doc/skarvel/changelog.gz",
                       "./usr/share/lintian/overrides/skarvel"])
    check(files == expected, f"the package holds {files}, expected {expected}")
    fields = subprocess.run(["dpkg-deb", "-f", packages[0], "Package", "Maintainer", "Depends"],
                            capture_output=True, text=True, check=True).stdout
    check(re.search(r"^Package: skarvel$", fields, re.M) and f"Maintainer: {MAINTAINER}" in fields
          and re.search(r"\blibncursesw?6\b", fields), f"package fields: {fields!r}")
    print("PASS  the Debian package: files, fields, and no package without a maintainer")
    return 0


def lint(out):
    packages = glob.glob(os.path.join(out, "*.deb"))
    if not shutil.which("lintian") or not packages:
        print("SKIPPED  lintian: " + ("no package was made" if shutil.which("lintian") else "lintian is missing"))
        return SKIPPED
    # No licence has been chosen, so the package has no copyright file yet.
    done = subprocess.run(["lintian", "--pedantic", "-I", "--suppress-tags", "no-copyright-file", packages[0]],
                          capture_output=True, text=True, timeout=300)
    findings = [line for line in done.stdout.splitlines() if re.match(r"[EW]: ", line)]
    check(done.returncode in (0, 1) and not findings,
          f"lintian: status {done.returncode}\n{done.stdout}{done.stderr}")
    print("PASS  lintian: no error, no warning" + (f"\n{done.stdout.rstrip()}" if done.stdout.strip() else ""))
    return 0


def main(args):
    try:
        if args[:1] == ["make"] and len(args) == 5:
            return make(*args[1:])
        if args[:1] == ["lint"] and len(args) == 2:
            return lint(args[1])
    except Failed as e:
        print(f"FAIL  {e}")
        return 1
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
