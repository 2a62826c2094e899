#!/usr/bin/env bash
# validate.sh VALIDATOR ARGS... FILE: runs the validator and fails when it fails or has anything
# to say beyond its line of success (a warning, a hint or a pedantic remark counts).
set -uo pipefail
output=$("$@" 2>&1)
status=$?
echo "$output"
if [ $status -ne 0 ]; then
  echo "validate.sh: $1 failed with status $status" >&2
  exit 1
fi
if [ -n "$(grep -v -e '^$' -e 'Validation was successful\.$' <<<"$output")" ]; then
  echo "validate.sh: $1 found something to say" >&2
  exit 1
fi
exit 0
