#!/usr/bin/env bash
# Builds the Release tree build-package, makes the Debian packages with cpack and checks them as a
# user's machine would see them: lintian, the desktop entry and AppStream data, every package's files
# against tests/package/expected-files.txt, kvx100ctl without GUI libraries, the programs, the
# simulator's service, the manual pages and the completion from the unpacked packages. Nothing is
# installed on this machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib/common.sh

started=$SECONDS
fail() {
  echo "check_packages: FAILED: $*" >&2
  exit 1
}
step() { echo "== $*"; }
# Any other failing command (the build, cpack, a tool) names itself.
trap 'echo "check_packages: FAILED: \"$BASH_COMMAND\" (line $LINENO)" >&2' ERR

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli help2man \
  systemd-analyze man; do
  command -v "$tool" >/dev/null || fail "$tool is missing (see scripts/test for the packages to install)"
done

# Built as a Debian package build would be: Debian's hardening flags, installed under /usr.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake_args=(-DCMAKE_BUILD_TYPE=Release -DKVX_TESTS=OFF -DKVX_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)")
command -v ccache >/dev/null && cmake_args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
step "Building build-package (Release)"
# At most two jobs: the machines this runs on are shared.
kvx_build build-package -j2 -- "${cmake_args[@]}"
built=$SECONDS

step "Making the packages"
rm -f build-package/*.deb
(cd build-package && cpack -G DEB >/dev/null) || fail "cpack did not make the packages"
mapfile -t debs < <(ls build-package/*.deb)
names=()
for deb in "${debs[@]}"; do
  names+=("$(dpkg-deb -f "$deb" Package)")
  printf '   %-45s %6s KiB  Depends: %s\n' "${deb#build-package/}" "$(($(stat -c %s "$deb") / 1024))" \
    "$(dpkg-deb -f "$deb" Depends)"
done
[ "$(printf '%s\n' "${names[@]}" | sort | tr '\n' ' ')" = "kvx100-manager kvx100-sim kvx100ctl " ] ||
  fail "expected the packages kvx100-manager, kvx100-sim and kvx100ctl, made: ${names[*]}"

step "Comparing each package's files with tests/package/expected-files.txt"
actual=$(for deb in "${debs[@]}"; do
  package=$(dpkg-deb -f "$deb" Package)
  # Folders are left out: a file's path names them already.
  dpkg-deb -c "$deb" | awk -v p="$package" '$1 !~ /^d/ { sub(/^\./, "", $6); print p, $6 }'
done | sort)
if ! difference=$(diff <(grep -v '^#' tests/package/expected-files.txt | sort) <(echo "$actual")); then
  echo "$difference" | sed -n 's/^</   missing:/p; s/^>/   unexpected:/p' >&2
  fail "the packages' files differ from tests/package/expected-files.txt (update it when the change is meant)"
fi

step "lintian"
# Errors fail the check; warnings are shown. initial-upload-closes-no-bugs asks the changelog to close
# the archive's bug that announced a new package, which a package built here has none of.
lintian_output=$(lintian --fail-on error --suppress-tags initial-upload-closes-no-bugs "${debs[@]}" \
  2> >(grep -v 'running with root privileges' >&2)) || {
  echo "$lintian_output" >&2
  fail "lintian found errors"
}
if [ -n "$lintian_output" ]; then
  echo "$lintian_output" | grep -E '^[EW]:' | sed 's/^/   /' || true
  echo "   $(grep -cE '^W:' <<<"$lintian_output") warnings"
fi

step "apt resolves the packages' dependencies (simulated: nothing is installed)"
apt-get install --simulate "${debs[@]/#/./}" >/dev/null || {
  apt-get install --simulate "${debs[@]/#/./}" >&2
  fail "apt cannot install the packages"
}

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
for deb in "${debs[@]}"; do
  dpkg-deb -x "$deb" "$tree"
done

step "Desktop entry and AppStream data"
desktop=$tree/usr/share/applications/kvx100-manager.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$tree/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
  fail "the desktop entry's icon '$icon' is not installed"
for metainfo in "$tree"/usr/share/metainfo/*.metainfo.xml; do
  appstreamcli validate --no-net "$metainfo" >/dev/null ||
    { appstreamcli validate --no-net "$metainfo" >&2; fail "appstreamcli rejects ${metainfo##*/}"; }
done

step "kvx100ctl links Qt Core and no GUI library"
ctl_depends=$(dpkg-deb -f build-package/kvx100ctl_*.deb Depends)
if grep -Eq 'libqt6(gui|widgets)' <<<"$ctl_depends"; then
  fail "kvx100ctl depends on a Qt GUI library: $ctl_depends"
fi
if ldd "$tree/usr/bin/kvx100ctl" | grep -E 'libQt6(Gui|Widgets)'; then
  fail "kvx100ctl links a Qt GUI library"
fi

step "The programs run from the unpacked packages"
version=$(dpkg-deb -f build-package/kvx100ctl_*.deb Version)
for program in kvx100ctl kvx100-sim kvx100-manager; do
  answer=$("$tree/usr/bin/$program" --version) || fail "$program --version failed"
  [ "$answer" = "$program ${version%-*}" ] ||
    fail "$program --version says '$answer', the package is $version"
done
"$tree/usr/bin/kvx100-sim" --help | grep -q -- '--bind ADDR' || fail "kvx100-sim --help does not list --bind"

step "The simulator's service"
# The unit as installed, only pointing at the unpacked program, so that systemd can check it here.
unit=$tree/kvx100-sim.service
sed "s|=/usr/bin/kvx100-sim|=$tree/usr/bin/kvx100-sim|" "$tree"/*lib/systemd/system/kvx100-sim.service >"$unit"
systemd-analyze verify --man=no "$unit" || fail "systemd-analyze rejects kvx100-sim.service"
exposure=$(systemd-analyze security --offline=yes "$unit" 2>/dev/null |
  sed -n 's/.*Overall exposure level for [^:]*: //p')
echo "   exposure: $exposure"
systemd-analyze security --offline=yes --threshold=20 "$unit" >/dev/null 2>&1 ||
  fail "kvx100-sim.service is exposed more than 2.0 (systemd-analyze security): $exposure"
# The options file as the service reads it; the ports are the system's pick so that nothing clashes.
KVX100_SIM_OPTIONS=$(sed -n 's/^KVX100_SIM_OPTIONS="\(.*\)"$/\1/p' "$tree/etc/default/kvx100-sim")
# shellcheck disable=SC2086
"$tree/usr/bin/kvx100-sim" $KVX100_SIM_OPTIONS --control-port 0 --discovery-port 0 >"$tree/sim.out" 2>&1 &
sim=$!
for _ in $(seq 50); do
  [ -s "$tree/sim.out" ] && break
  sleep 0.1
done
kill "$sim" 2>/dev/null || true
wait "$sim" || true
grep -Eq '^kvx100-sim: control 127\.0\.0\.1:[0-9]+, discovery 127\.0\.0\.1:' "$tree/sim.out" ||
  fail "kvx100-sim with /etc/default/kvx100-sim's options does not listen on loopback: $(cat "$tree/sim.out")"

step "Manual pages"
for program in kvx100ctl kvx100-sim kvx100-manager; do
  page=$tree/usr/share/man/man1/$program.1.gz
  text=$(MANWIDTH=100 man -l "$page" 2>&1 >/dev/null) || fail "man cannot show $program.1"
  [ -z "$text" ] || fail "man complains about $program.1: $text"
done
for command in discover info backup restore log diff send apply metrics; do
  zcat "$tree/usr/share/man/man1/kvx100ctl.1.gz" | grep -q "^\.SS \"$command\"" ||
    fail "the kvx100ctl manual page has no section for $command"
done

step "bash completion of kvx100ctl"
# complete WORDS...: what Tab offers after the words, the last one being completed.
complete_words() {
  bash -c 'source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _kvx100ctl; [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$tree/usr/share/bash-completion/completions/kvx100ctl" "$@"
}
mkdir "$tree/folder" && touch "$tree/saved.kcf"
while IFS='|' read -r words expected; do
  # Word splitting of the table's first column is meant.
  # shellcheck disable=SC2086
  got=$(cd "$tree" && complete_words kvx100ctl $words | sort | paste -sd ' ')
  [ "$got" = "$expected" ] || fail "completing 'kvx100ctl $words' gives '$got', expected '$expected'"
done <<EOF
ba|backup
apply --ch|--check
apply saved.kcf --inventory f|folder
metrics --textfile f|folder
restore 10.0.0.2 sa|saved.kcf
send 10.0.0.2 sa|
EOF

echo "check_packages: all checks passed (build $((built - started)) s," \
  "packaging and checks $((SECONDS - built)) s)"
