#!/bin/bash
# Writes help2man's include text for kvx100ctl's commands, from each command's own --help, so the
# manual page lists the options of the very program it is installed with. An option that every command
# taking it describes alike is described once, under COMMON OPTIONS; the others under their command.
# Usage: commands-section.sh KVX100CTL OUTPUT
set -euo pipefail
ctl=$1
out=$2
commands=$("$ctl" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p')
[ -n "$commands" ] || { echo "$0: no commands in '$ctl --help'" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for command in $commands; do
  "$ctl" "$command" --help >"$work/$command"
done

# One record per option: COMMAND <TAB> OPTION <TAB> its text, its lines joined. The usage and the text
# before "Options:" are records too, under the names :usage and :about. The arguments and the exit
# status repeat the usage line and the page's own section, and are left out.
for command in $commands; do
  awk -v command="$command" '
    function flush() { if (tag != "") print command "\t" tag "\t" text; tag = "" }
    NR == 1 { sub(/^Usage: kvx100ctl /, ""); print command "\t:usage\t" $0; part = "about"; next }
    /^Options:$/ { part = "options"; next }
    /^(Arguments:|Exit status:)/ { flush(); part = "" ; next }
    part == "about" && NF { about = about (about == "" ? "" : " ") $0; next }
    part == "about" { if (about != "") print command "\t:about\t" about; about = ""; next }
    part == "options" && /^  -/ {
      flush()
      match($0, /^  (-[a-zA-Z], )?--[a-z-]+( <[^>]*>)?/)
      tag = substr($0, 3, RLENGTH - 2)
      text = substr($0, RLENGTH + 1)
      sub(/^ +/, "", text)
      next
    }
    part == "options" && /^ +[^ ]/ { line = $0; sub(/^ +/, "", line); text = text " " line; next }
    END { flush() }
  ' "$work/$command"
done >"$work/records"

# roff TEXT: the text escaped for roff (backslashes, minus signs, a leading control character).
roff() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^\([.']\)/\\\\\&\1/" <<<"$1"; }
# tag OPTION: "--name <VALUE>" as bold name and italic value.
tag() {
  local name=${1%% <*} value=
  [[ $1 == *" <"* ]] && value=${1#* <} && value=" \\fI$(roff "${value%>}")\\fR"
  printf '\\fB%s\\fR%s\n' "$(roff "$name")" "$value"
}

# Common: the same text wherever the option is taken, by more than one command.
mapfile -t common < <(awk -F '\t' '$2 !~ /^:/ {
    n[$2]++; if (!($2 in text)) text[$2] = $3; else if (text[$2] != $3) differs[$2] = 1
  }
  END { for (o in n) if (n[o] > 1 && !(o in differs)) print o }' "$work/records" | sort)
is_common() {
  local o
  for o in "${common[@]}"; do [ "$o" = "$1" ] && return 0; done
  return 1
}

{
  echo '[COMMANDS]'
  for command in $commands; do
    echo ".SS \"$command\""
    usage=$(awk -F '\t' -v c="$command" '$1 == c && $2 == ":usage" { print $3 }' "$work/records")
    usage=${usage#"$command"}
    printf '\\fBkvx100ctl %s\\fR%s\n.PP\n' "$command" "$(roff "${usage%% }")"
    roff "$(awk -F '\t' -v c="$command" '$1 == c && $2 == ":about" { print $3 }' "$work/records")"
    shared=()
    while IFS=$'\t' read -r _ option text; do
      if is_common "$option"; then
        [[ $option == *--help* ]] || shared+=("${option%% <*}")
        continue
      fi
      echo '.TP'
      tag "$option"
      roff "$text"
    done < <(awk -F '\t' -v c="$command" '$1 == c && $2 !~ /^:/' "$work/records")
    if [ ${#shared[@]} -gt 0 ]; then
      echo '.PP'
      roff "Also: ${shared[*]} (COMMON OPTIONS)." | sed 's/ \\-\\-/, \\-\\-/g; s/Also:, /Also: /'
    fi
  done
  echo
  echo '[COMMON OPTIONS]'
  echo 'Each described once for every command that takes it.'
  for option in "${common[@]}"; do
    echo '.TP'
    tag "$option"
    roff "$(awk -F '\t' -v o="$option" '$2 == o { print $3; exit }' "$work/records")"
  done
} >"$out.tmp"
mv "$out.tmp" "$out"
