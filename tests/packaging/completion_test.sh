#!/usr/bin/env bash
# completion_test.sh QUAVERT-CLI COMPLETION-FILE
# The bash completion offers every command of `quavert-cli --help`, after each command every
# option its usage line names, yes and no after --answer, and MIDI files for FILE.
set -uo pipefail
program=$1
completion=$2
source /usr/share/bash-completion/bash_completion || { echo "bash-completion is not installed" >&2; exit 1; }
source "$completion"
failures=0
fail() {
  echo "completion_test.sh: $*" >&2
  failures=$((failures + 1))
}

# The words offered for the command line WORDS..., the last one being completed.
offered() {
  COMP_WORDS=(quavert-cli "$@")
  COMP_CWORD=$#
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _quavert_cli quavert-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort
}

help=$("$program" --help) || fail "quavert-cli --help failed"
first_words=$(offered "")
commands=0
while read -r line; do
  command=$(echo "$line" | sed -nE 's/^(usage:)? *quavert-cli +([a-z][a-z-]*).*/\2/p')
  [ -n "$command" ] || continue
  commands=$((commands + 1))
  grep -qx -- "$command" <<<"$first_words" || fail "'$command' is not offered as a command"
  options=$(offered "$command" song.mid -)
  for option in $(echo "$line" | grep -oE -- '--[a-z][a-z-]*'); do
    grep -qx -- "$option" <<<"$options" || fail "'$option' is not offered after '$command'"
  done
done <<<"$help"
for option in --help --version; do
  grep -qx -- "$option" <<<"$first_words" || fail "'$option' is not offered"
done
[ "$(offered list song.mid --answer "" | tr '\n' ' ')" = "no yes " ] || fail "--answer does not offer yes and no"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
touch "$folder/song.mid" "$folder/notes.txt"
mkdir "$folder/more"
[ "$(cd "$folder" && offered check "" | tr '\n' ' ')" = "more song.mid " ] || fail "check does not offer MIDI files and folders"

[ $commands -gt 0 ] || fail "found no command in quavert-cli --help"
[ $failures -eq 0 ] && echo "completion_test.sh: $commands commands and their options offered"
exit $((failures > 0))
