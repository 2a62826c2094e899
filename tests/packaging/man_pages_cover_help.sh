#!/usr/bin/env bash
# man_pages_cover_help.sh PROGRAM PAGE [PROGRAM PAGE]...
# For each program: every option (--name, -x) and every command (the word after the program's
# name on a usage line) that `PROGRAM --help` prints is described in its manual page, the page
# has NAME, SYNOPSIS, DESCRIPTION, OPTIONS, EXIT STATUS and FILES sections, and groff renders it
# without a warning.
set -uo pipefail
failures=0
fail() {
  echo "man_pages_cover_help.sh: $*" >&2
  failures=$((failures + 1))
}

while [ $# -ge 2 ]; do
  program=$1
  page=$2
  shift 2
  name=$(basename "$program")
  failures_before=$failures
  help=$("$program" --help) || fail "$name --help exited with status $?"
  [ -n "$help" ] || fail "$name --help printed nothing on standard output"
  [ -f "$page" ] || { fail "no manual page $page"; continue; }

  # The page as a reader sees its words: roff's escaped hyphens and font changes undone.
  text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\(em/-/g' "$page")
  words=$( (echo "$help" | grep -oE -- '(^|[^a-zA-Z0-9-])--?[a-zA-Z][a-zA-Z0-9-]*' | sed -E 's/^[^-]//'
            echo "$help" | sed -nE "s/^(usage:)? *$name +([a-z][a-z-]*).*/\\2/p") | sort -u)
  [ -n "$words" ] || fail "found no option or command in $name --help"
  for word in $words; do
    grep -qE -- "(^|[^a-zA-Z0-9-])$word([^a-zA-Z0-9-]|\$)" <<<"$text" ||
      fail "$name: '$word' of --help is not in $(basename "$page")"
  done
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES; do
    grep -qE "^\\.SH \"?$section\"?\$" <<<"$text" || fail "$(basename "$page") has no $section section"
  done
  warnings=$(groff -man -ww -z -Tutf8 "$page" 2>&1)
  [ -z "$warnings" ] || fail "groff warns about $(basename "$page"): $warnings"
  [ $failures -gt $failures_before ] ||
    echo "$name: $(echo $words | wc -w) options and commands of --help, all in $(basename "$page")"
done
[ $# -eq 0 ] || fail "usage: man_pages_cover_help.sh PROGRAM PAGE [PROGRAM PAGE]..."
exit $((failures > 0))
