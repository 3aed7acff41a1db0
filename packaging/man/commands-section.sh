#!/bin/bash
# Writes help2man's include text with one subsection per kvx100ctl command, taken from the command's
# own --help, so the manual page lists the options of the very program it is installed with.
# Usage: commands-section.sh KVX100CTL OUTPUT
set -euo pipefail
ctl=$1
out=$2
commands=$("$ctl" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p')
[ -n "$commands" ] || { echo "$0: no commands in '$ctl --help'" >&2; exit 1; }
{
  echo '[COMMANDS]'
  for command in $commands; do
    echo ".SS \"$command\""
    echo '.nf'
    # The exit status is in the page once already; the arguments repeat the usage line. Backslashes,
    # minus signs and lines starting with a control character are escaped for roff.
    "$ctl" "$command" --help | sed -e '/^Exit status:/d' -e '/^Arguments:$/,$d' \
      -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\([.']\)/\\\\\&\1/" |
      sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'
    echo '.fi'
  done
} >"$out.tmp"
mv "$out.tmp" "$out"
