#!/usr/bin/env bash
# The layering holds: the binaries given link no Qt Gui or Widgets, and no header under the core folder
# includes a widget header (ours or Qt's: every Qt header it names must be one of Qt Core's).
# Usage: check_core.sh CORE_SOURCE_DIR QTCORE_INCLUDE_DIR BINARY...
set -euo pipefail
core=$1
qtcore=$2
shift 2
status=0
for binary in "$@"; do
  if ldd "$binary" | grep -E 'libQt6(Gui|Widgets|OpenGL)'; then
    echo "FAIL: $binary links a GUI library"
    status=1
  fi
done
while IFS= read -r line; do
  file=${line%%:*}
  header=$(sed -n 's/.*#include *<\(Q[A-Za-z]*\)>.*/\1/p' <<<"$line")
  if [ -n "$header" ] && [ ! -e "$qtcore/$header" ]; then
    echo "FAIL: $file includes <$header>, not a Qt Core header"
    status=1
  fi
done < <(grep -rn '#include *<Q' "$core" || true)
if grep -rnE '#include "(ui|app|pages|modes|routing|controls)/' "$core"; then
  echo "FAIL: the core includes a widget folder's header"
  status=1
fi
[ $status -eq 0 ] && echo "core and kvx100ctl link no GUI library; the core includes no widget header"
exit $status
