#!/bin/sh
# The manual page renders without a single warning: from groff, on a
# terminal as man shows it, and from man itself where it is installed.
# Exits 77 (skipped) without groff.
page=$1
if ! command -v groff >/dev/null 2>&1; then
  echo "groff is missing: the manual page is not checked"
  exit 77
fi
status=0
for command in "groff -man -ww -z" "groff -man -ww -z -Tutf8 -rLL=78n"; do
  warnings=$($command "$page" 2>&1)
  if [ -n "$warnings" ]; then echo "$command:"; echo "$warnings"; status=1; fi
done
if command -v man >/dev/null 2>&1; then
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then echo "man --warnings:"; echo "$warnings"; status=1; fi
fi
exit $status
