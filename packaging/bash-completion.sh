#!/bin/bash
# Writes the bash completion of kvx100ctl or kvx100-sim from the program's own --help, so it never
# drifts from what the program accepts.
# kvx100ctl: the commands, each command's options, and what an option's value is: <FILE> completes
# files, <DIR> folders, --group the groups of the inventory named by --inventory on the same line,
# --interface this machine's network interfaces, anything else is typed. A command whose usage names a
# FILE completes files for its arguments too.
# kvx100-sim: its options; a PATH value completes files.
# Usage: bash-completion.sh PROGRAM OUTPUT
set -euo pipefail
program=$1
out=$2
version=$("$program" --version)

# values_case OPTION=KIND...: the case arms completing each kind of option value.
values_case() {
  declare -A byKind=()
  local entry option kind
  for entry in "$@"; do
    option=${entry%%=*}
    case ${entry#*=} in
      FILE | PATH) kind=files ;;
      DIR) kind=folders ;;
      *) kind=typed ;;
    esac
    byKind[$kind]+="${byKind[$kind]:+|}$option"
  done
  [ -n "${byKind[files]:-}" ] && echo "        ${byKind[files]}) _filedir; return ;;"
  [ -n "${byKind[folders]:-}" ] && echo "        ${byKind[folders]}) _filedir -d; return ;;"
  [ -n "${byKind[typed]:-}" ] && echo "        ${byKind[typed]}) return ;;"
  return 0
}

sim_completion() {
  # Option lines start with two blanks; one may name several options, two blanks apart, before the
  # text that describes them.
  local options=() values=() field name value
  while IFS= read -r line; do
    [[ $line =~ ^\ \ --[a-z] ]] || continue
    while IFS= read -r field; do
      [[ $field == --* ]] || break
      read -r name value _ <<<"$field"
      options+=("$name")
      [[ $value =~ ^[A-Z] ]] && values+=("$name=${value%%[^A-Z]*}")
    done < <(sed 's/^  //; s/   */\n/g' <<<"$line")
  done < <("$program" --help)
  [ ${#options[@]} -gt 0 ] || { echo "$0: no options in '$program --help'" >&2; exit 1; }
  cat <<EOF
# bash completion for kvx100-sim                                   -*- shell-script -*-
# Made from the --help of $version when it was built.

_kvx100_sim() {
    local cur prev words cword split
    _init_completion -s || return

    case \$prev in
$(values_case "${values[@]}")
    esac
    if [[ \$cur == -* ]]; then
        COMPREPLY=(\$(compgen -W "$(printf '%s\n' "${options[@]}" | sort -u | paste -sd ' ')" -- "\$cur"))
    fi
} &&
    complete -F _kvx100_sim kvx100-sim
EOF
}

ctl_completion() {
  local commands
  commands=$("$program" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p' | tr '\n' ' ')
  [ -n "$commands" ] || { echo "$0: no commands in '$program --help'" >&2; exit 1; }
  declare -A valueKind=()
  local cases="" command help options files option value
  for command in $commands; do
    help=$("$program" "$command" --help)
    options=$(sed -n 's/^  \(-[a-z], \)\{0,1\}\(--[a-z-]*\).*/\2/p' <<<"$help" | tr '\n' ' ')
    while read -r option value; do
      valueKind[$option]=$value
    done < <(sed -n 's/^  \(-[a-z], \)\{0,1\}\(--[a-z-]*\) <\([A-Z]*\)>.*/\2 \3/p' <<<"$help")
    files=no
    grep -q '^Usage: .*FILE' <<<"$help" && files=yes
    cases+="        $command) options=\"${options% }\" files=$files ;;"$'\n'
  done
  # Values that come from somewhere known rather than from the file system.
  local special="" snippet
  if [ -n "${valueKind[--group]:-}" ]; then
    unset 'valueKind[--group]'
    IFS= read -r -d '' snippet <<'EOF' || true
        --group)
            local inventory="" i
            for ((i = 2; i < cword; i++)); do
                case ${words[i]} in
                    --inventory) inventory=${words[i + 1]-} ;;
                    --inventory=*) inventory=${words[i]#--inventory=} ;;
                esac
            done
            inventory=${inventory/#\~/$HOME}
            [[ -f $inventory && -r $inventory ]] || return
            COMPREPLY=($(compgen -W "$(sed -n 's/^[[:space:]]*\[\([^]]*\)\].*/\1/p' "$inventory" | sort -u)" -- "$cur"))
            return ;;
EOF
    special+=$snippet
  fi
  if [ -n "${valueKind[--interface]:-}" ]; then
    unset 'valueKind[--interface]'
    IFS= read -r -d '' snippet <<'EOF' || true
        --interface)
            COMPREPLY=($(compgen -W "$(command ls /sys/class/net 2>/dev/null)" -- "$cur"))
            return ;;
EOF
    special+=$snippet
  fi
  local kinds=()
  for option in $(printf '%s\n' "${!valueKind[@]}" | sort); do
    kinds+=("$option=${valueKind[$option]}")
  done
  cat <<EOF
# bash completion for kvx100ctl                                    -*- shell-script -*-
# Made from the --help of $version when it was built.

_kvx100ctl() {
    local cur prev words cword split
    _init_completion -s || return

    if ((cword == 1)); then
        COMPREPLY=(\$(compgen -W "$commands--help --version" -- "\$cur"))
        return
    fi
    local options files
    case \${words[1]} in
$cases        *) return ;;
    esac
    case \$prev in
$special$(values_case "${kinds[@]}")
    esac
    if [[ \$cur == -* ]]; then
        COMPREPLY=(\$(compgen -W "\$options" -- "\$cur"))
    elif [[ \$files == yes ]]; then
        _filedir
    fi
} &&
    complete -F _kvx100ctl kvx100ctl
EOF
}

mkdir -p "$(dirname "$out")"
case $version in
  kvx100ctl\ *) ctl_completion >"$out.tmp" ;;
  kvx100-sim\ *) sim_completion >"$out.tmp" ;;
  *) echo "$0: no completion for '$version'" >&2; exit 1 ;;
esac
mv "$out.tmp" "$out"
