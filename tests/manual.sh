#!/usr/bin/env bash
# A manual page renders: groff (as man-db feeds it, through preconv) gives no
# warning of any kind, man -l shows it without a message, and it names every
# long option the program's --help names.
#   manual.sh PAGE [PROGRAM]
set -u
stranka=$1 program=${2:-}
chyba() { echo "FAIL: $*"; exit 1; }
for n in groff preconv man; do
  command -v $n >/dev/null || { echo "SKIP: $n is not installed"; exit 77; }
done
varovani=$(preconv "$stranka" | groff -ww -man -Tutf8 -z 2>&1) || chyba "groff failed: $varovani"
[ -z "$varovani" ] || chyba "groff -ww: $varovani"
varovani=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$stranka" 2>&1 >/dev/null)
[ -z "$varovani" ] || chyba "man -l: $varovani"
text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$stranka" 2>/dev/null)
for oddil in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
  grep -q "^$oddil" <<<"$text" || chyba "no section $oddil"
done
if [ -n "$program" ]; then
  for volba in $("$program" --help | grep -o -- '--[a-z0-9-]*' | sort -u); do
    grep -q -- "$volba" <<<"$text" || chyba "the page does not describe $volba"
  done
fi
echo "PASS: $stranka"
