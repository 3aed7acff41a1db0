#!/usr/bin/env bash
# The layering holds: the binaries given link no Qt Gui or Widgets, and no file under the core and fleet
# folders includes a widget header (ours or Qt's: every Qt header they name must be one of Qt Core's).
# Usage: check_core.sh SOURCE_DIR QTCORE_INCLUDE_DIR BINARY...   (SOURCE_DIR holds core/ and fleet/)
set -euo pipefail
sources=("$1/core" "$1/fleet")
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
done < <(grep -rn '#include *<Q' "${sources[@]}" || true)
if grep -rnE '#include "(ui|app|pages|modes|routing|controls|ctl)/' "${sources[@]}"; then
  echo "FAIL: the core or the fleet layer includes a header of a layer above it"
  status=1
fi
[ $status -eq 0 ] && echo "core and kvx100ctl link no GUI library; core and fleet include no header of a layer above"
exit $status
