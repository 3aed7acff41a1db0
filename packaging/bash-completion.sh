#!/bin/bash
# Writes the bash completion of kvx100ctl from its own --help: the commands, each command's options,
# and what an option's value is (<FILE> completes files, <DIR> folders, anything else is typed).
# A command whose usage names a FILE completes files for its arguments too.
# Usage: bash-completion.sh KVX100CTL OUTPUT
set -euo pipefail
ctl=$1
out=$2
commands=$("$ctl" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p' | tr '\n' ' ')
[ -n "$commands" ] || { echo "$0: no commands in '$ctl --help'" >&2; exit 1; }

declare -A valueKind=()
cases=""
for command in $commands; do
  help=$("$ctl" "$command" --help)
  options=$(sed -n 's/^  \(-[a-z], \)\{0,1\}\(--[a-z-]*\).*/\2/p' <<<"$help" | tr '\n' ' ')
  while read -r option value; do
    valueKind[$option]=$value
  done < <(sed -n 's/^  \(-[a-z], \)\{0,1\}\(--[a-z-]*\) <\([A-Z]*\)>.*/\2 \3/p' <<<"$help")
  files=no
  grep -q '^Usage: .*FILE' <<<"$help" && files=yes
  cases+="        $command) options=\"${options% }\" files=$files ;;"$'\n'
done

declare -A byKind=()
for option in $(printf '%s\n' "${!valueKind[@]}" | sort); do
  case ${valueKind[$option]} in
    FILE) kind=files ;;
    DIR) kind=folders ;;
    *) kind=typed ;;
  esac
  byKind[$kind]+="${byKind[$kind]:+|}$option"
done
values=""
[ -n "${byKind[files]:-}" ] && values+="        ${byKind[files]}) _filedir; return ;;"$'\n'
[ -n "${byKind[folders]:-}" ] && values+="        ${byKind[folders]}) _filedir -d; return ;;"$'\n'
[ -n "${byKind[typed]:-}" ] && values+="        ${byKind[typed]}) return ;;"$'\n'

cat >"$out.tmp" <<EOF
# bash completion for kvx100ctl                                    -*- shell-script -*-
# Made from the --help of kvx100ctl $("$ctl" --version | sed 's/^kvx100ctl //') when it was built.

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
$values    esac
    if [[ \$cur == -* ]]; then
        COMPREPLY=(\$(compgen -W "\$options" -- "\$cur"))
    elif [[ \$files == yes ]]; then
        _filedir
    fi
} &&
    complete -F _kvx100ctl kvx100ctl
EOF
mv "$out.tmp" "$out"
