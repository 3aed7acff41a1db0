#!/usr/bin/env bash
# Checks the Windows release as a Windows operator gets it, under Wine: the installer installs silently
# for the current user, the installed manager answers --version and starts to its search window, the
# installed kvx100ctl backs up a simulated device on loopback into the same settings the Linux build
# writes, and the uninstaller leaves nothing behind.
# Usage: check_windows_release.sh WINDOWS_BUILD_DIR LINUX_KVX100CTL LINUX_KVX100_SIM
set -euo pipefail
build=$(realpath "$1")
linux_ctl=$(realpath "$2")
linux_sim=$(realpath "$3")
release="$build/release"
installer=$(ls "$release"/kvx100-manager-*-setup.exe)
version=$(basename "$installer" | sed 's/^kvx100-manager-\(.*\)-setup.exe$/\1/')

work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "check_windows_release: FAILED: $*" >&2
  exit 1
}

echo "== A Wine prefix of its own"
wine wineboot --init >/dev/null 2>&1 || true
wineserver -w
drive="$WINEPREFIX/drive_c"
home=$(ls -d "$drive"/users/*/ | grep -v Public | head -1)
menu="${home}AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Lumeno-KVX100 Manager.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumeno-KVX100 Manager'

echo "== Silent install for the current user"
wine "$installer" /S /CurrentUser '/D=C:\KVX100' >/dev/null 2>&1
wineserver -w
installed="$drive/KVX100"
[ -f "$installed/kvx100-manager.exe" ] || fail "the installer left no kvx100-manager.exe in C:\\KVX100"
[ -f "$menu" ] || fail "no Start menu entry"
wine reg query "$key" >/dev/null 2>&1 || fail "no uninstall entry in the registry"
for file in $(cd "$release/kvx100-manager-$version" && find . -type f); do
  [ -f "$installed/$file" ] || fail "the installer did not install $file"
done

echo "== The installed programs"
for program in kvx100-manager kvx100ctl kvx100-sim; do
  answer=$(wine "C:\\KVX100\\$program.exe" --version 2>&1 | tr -d '\r')
  [ "$answer" = "$program $version" ] || fail "$program.exe --version says '$answer'"
done
# Started offscreen, the manager opens its search window and waits there; it must still be running
# after the libraries and plugins were loaded, with nothing on its error stream.
wine "C:\\KVX100\\kvx100-manager.exe" -platform offscreen >"$work/manager.out" 2>&1 &
manager=$!
sleep 8
kill -0 "$manager" 2>/dev/null || fail "the manager ended at once: $(cat "$work/manager.out")"
wineserver -k 2>/dev/null || true
wait "$manager" 2>/dev/null || true
[ ! -s "$work/manager.out" ] || fail "the manager wrote at its start: $(cat "$work/manager.out")"

echo "== kvx100ctl.exe backs up as the Linux build does"
"$linux_sim" --bind 127.0.0.1 --control-port 0 --discovery-port 0 --port-file "$work/port" >"$work/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
printf 'admin\n' >"$work/pw"
chmod 600 "$work/pw"
"$linux_ctl" backup "127.0.0.1:$port" "$work/linux.kcf" --user admin --password-file "$work/pw" >/dev/null
(cd "$work" && wine "C:\\KVX100\\kvx100ctl.exe" backup "127.0.0.1:$port" windows.kcf --user admin \
  --password-file pw >/dev/null 2>"$work/ctl.err") || fail "kvx100ctl.exe backup failed: $(cat "$work/ctl.err")"
# The settings byte for byte; the comment lines name the same things (the time differs).
diff <(grep -v '^; ' "$work/linux.kcf") <(grep -v '^; ' "$work/windows.kcf") >&2 ||
  fail "the Windows backup's settings differ from the Linux one's"
diff <(grep '^; ' "$work/linux.kcf" | cut -d: -f1) <(grep '^; ' "$work/windows.kcf" | cut -d: -f1) >&2 ||
  fail "the Windows backup's header differs from the Linux one's"

echo "== Silent uninstall"
wine "C:\\KVX100\\uninstall.exe" /S /CurrentUser >/dev/null 2>&1
wineserver -w
sleep 2
wineserver -w
[ ! -e "$installed" ] || fail "the uninstaller left $(cd "$installed" && find . | head -5 | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu entry"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left the registry entry"
echo "check_windows_release: passed"
