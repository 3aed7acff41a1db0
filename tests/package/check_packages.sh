#!/usr/bin/env bash
# Builds the Release tree build-package (or KVX_PACKAGE_BUILD_DIR), makes the Debian packages with
# cpack and checks them as a user's machine would see them: lintian (hardening included), the desktop
# entry and AppStream data, every package's files against tests/package/expected-files.txt, kvx100ctl
# without GUI libraries, the programs, the units (the simulator's, the metrics', the backup example's),
# the alert rules with promtool against the metrics kvx100ctl writes, the manual pages, the completion
# and the Ansible collection from the unpacked packages. Nothing is installed on this machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/lib/common.sh
build=${KVX_PACKAGE_BUILD_DIR:-build-package}

started=$SECONDS
fail() {
  echo "check_packages: FAILED: $*" >&2
  exit 1
}
step() { echo "== $*"; }
# Any other failing command (the build, cpack, a tool) names itself.
trap 'echo "check_packages: FAILED: \"$BASH_COMMAND\" (line $LINENO)" >&2' ERR

for tool in cpack dpkg-deb dpkg-shlibdeps lintian desktop-file-validate appstreamcli help2man \
  systemd-analyze man g++ promtool ansible-doc; do
  command -v "$tool" >/dev/null || fail "$tool is missing (see scripts/test for the packages to install)"
done

# Built as a Debian package build would be: with Debian's compiler and its hardening flags (which
# KVX_PACKAGE asks of dpkg-buildflags), at the default prefix, which KVX_PACKAGE makes /usr.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake_args=(-DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Release -DKVX_TESTS=OFF -DKVX_PACKAGE=ON)
command -v ccache >/dev/null && cmake_args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
step "Building $build (Release)"
# At most two jobs: the machines this runs on are shared.
kvx_build "$build" -j2 -- "${cmake_args[@]}"
built=$SECONDS

step "Making the packages"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack did not make the packages"
mapfile -t debs < <(ls "$build"/*.deb)
names=()
for deb in "${debs[@]}"; do
  names+=("$(dpkg-deb -f "$deb" Package)")
  printf '   %-45s %6s KiB  Depends: %s\n' "${deb##*/}" "$(($(stat -c %s "$deb") / 1024))" \
    "$(dpkg-deb -f "$deb" Depends)"
done
[ "$(printf '%s\n' "${names[@]}" | sort | tr '\n' ' ')" = "kvx100-ansible kvx100-manager kvx100-sim kvx100ctl " ] ||
  fail "expected the packages kvx100-ansible, kvx100-manager, kvx100-sim and kvx100ctl, made: ${names[*]}"

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
# Errors fail the check, and so does any hardening tag (some are only information); warnings are
# shown. initial-upload-closes-no-bugs asks the changelog to close the archive's bug that announced a
# new package, which a package built here has none of.
lintian_output=$(lintian --fail-on error --display-info --suppress-tags initial-upload-closes-no-bugs \
  "${debs[@]}" 2> >(grep -v 'running with root privileges' >&2)) || {
  echo "$lintian_output" >&2
  fail "lintian found errors"
}
if grep -E '^[EWI]: .*hardening-' <<<"$lintian_output" >&2; then
  fail "lintian finds binaries built without Debian's hardening"
fi
if grep -qE '^[EW]:' <<<"$lintian_output"; then
  echo "$lintian_output" | grep -E '^[EW]:' | sed 's/^/   /'
  echo "   $(grep -cE '^W:' <<<"$lintian_output") warnings"
fi

step "apt resolves the packages' dependencies (simulated: nothing is installed)"
# apt takes a package file only by a path that starts with "/" or "./".
mapfile -t deb_paths < <(realpath "${debs[@]}")
apt-get install --simulate "${deb_paths[@]}" >/dev/null || {
  apt-get install --simulate "${deb_paths[@]}" >&2
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
ctl_depends=$(dpkg-deb -f "$build"/kvx100ctl_*.deb Depends)
if grep -Eq 'libqt6(gui|widgets)' <<<"$ctl_depends"; then
  fail "kvx100ctl depends on a Qt GUI library: $ctl_depends"
fi
if ldd "$tree/usr/bin/kvx100ctl" | grep -E 'libQt6(Gui|Widgets)'; then
  fail "kvx100ctl links a Qt GUI library"
fi

step "The programs run from the unpacked packages"
version=$(dpkg-deb -f "$build"/kvx100ctl_*.deb Version)
for program in kvx100ctl kvx100-sim kvx100-manager; do
  answer=$("$tree/usr/bin/$program" --version) || fail "$program --version failed"
  [ "$answer" = "$program ${version%-*}" ] ||
    fail "$program --version says '$answer', the package is $version"
done
# grep -q stops reading at the first match; under pipefail the writer's SIGPIPE would fail the line.
grep -q -- '--bind ADDR' <<<"$("$tree/usr/bin/kvx100-sim" --help)" || fail "kvx100-sim --help does not list --bind"

step "The units: the simulator's, the metrics', the backup example's"
# unit_check UNIT THRESHOLD: systemd-analyze verifies the unit as installed, its programs pointing at
# the unpacked ones (or at a stand-in for the example's script), and rates its exposure at most
# THRESHOLD tenths.
unit_check() {
  local unit=$tree/${1##*/}
  sed -e "s|=/usr/bin/|=$tree/usr/bin/|" -e "s|=/usr/local/bin/kvx100-backup|=/bin/true|" "$1" >"$unit"
  systemd-analyze verify --man=no "$unit" || fail "systemd-analyze rejects ${1##*/}"
  exposure=$(systemd-analyze security --offline=yes "$unit" 2>/dev/null |
    sed -n 's/.*Overall exposure level for [^:]*: //p')
  echo "   ${1##*/}: exposure $exposure"
  systemd-analyze security --offline=yes --threshold="$2" "$unit" >/dev/null 2>&1 ||
    fail "${1##*/} is exposed more than $(($2 / 10)).$(($2 % 10)) (systemd-analyze security): $exposure"
}
for units in "$tree"/lib/systemd/system "$tree"/usr/lib/systemd/system; do
  [ -d "$units" ] && break
done
unit_check "$units/kvx100-sim.service" 20
unit_check "$units/kvx100ctl-metrics.service" 20
examples=$tree/usr/share/doc/kvx100ctl/examples
unit_check "$examples/backups-in-git/kvx100-backup.service" 20
cp "$units/kvx100ctl-metrics.timer" "$examples/backups-in-git/kvx100-backup.timer" "$tree/"
systemd-analyze verify --man=no "$tree/kvx100ctl-metrics.timer" "$tree/kvx100-backup.timer" ||
  fail "systemd-analyze rejects a timer"

# The simulator with the options file as the service reads it; the ports are the system's pick so
# that nothing clashes. It serves the checks of the metrics below.
KVX100_SIM_OPTIONS=$(sed -n 's/^KVX100_SIM_OPTIONS="\(.*\)"$/\1/p' "$tree/etc/default/kvx100-sim")
# shellcheck disable=SC2086
"$tree/usr/bin/kvx100-sim" $KVX100_SIM_OPTIONS --control-port 0 --discovery-port 0 \
  --link 00:1B:DC:0F:A1:01,Scanner,190,-3 >"$tree/sim.out" 2>&1 &
sim=$!
trap 'kill "$sim" 2>/dev/null; rm -rf "$tree"' EXIT
for _ in $(seq 50); do
  [ -s "$tree/sim.out" ] && break
  sleep 0.1
done
grep -Eq '^kvx100-sim: control 127\.0\.0\.1:[0-9]+, discovery 127\.0\.0\.1:' "$tree/sim.out" ||
  fail "kvx100-sim with /etc/default/kvx100-sim's options does not listen on loopback: $(cat "$tree/sim.out")"
device=$(sed -n 's/^kvx100-sim: control \([0-9.]*:[0-9]*\),.*/\1/p' "$tree/sim.out")

step "Metrics and their alert rules"
# The login as the metrics service passes it, through the environment its options file names.
for variable in KVX100CTL_USER KVX100CTL_PASSWORD_FILE; do
  grep -q "^$variable=" "$tree/etc/default/kvx100ctl-metrics" ||
    fail "/etc/default/kvx100ctl-metrics does not set $variable"
done
printf 'admin\n' >"$tree/password"
chmod 600 "$tree/password"
mkdir "$tree/textfile"
KVX100CTL_USER=admin KVX100CTL_PASSWORD_FILE=$tree/password \
  "$tree/usr/bin/kvx100ctl" metrics "$device" --textfile "$tree/textfile" ||
  fail "kvx100ctl metrics --textfile failed with the login from the environment"
promtool check metrics <"$tree/textfile/kvx100ctl.prom" || fail "promtool rejects kvx100ctl's metrics"
rules=$examples/prometheus/kvx100-alerts.yml
promtool check rules "$rules" >/dev/null || { promtool check rules "$rules"; fail "promtool rejects the alert rules"; }
cp "$rules" tests/package/kvx100-alerts.test.yml "$tree/"
promtool test rules "$tree/kvx100-alerts.test.yml" >"$tree/promtool.out" 2>&1 ||
  { cat "$tree/promtool.out"; fail "the alert rules do not fire as tests/package/kvx100-alerts.test.yml expects"; }
# A rule on a series kvx100ctl does not write would never fire.
while read -r metric; do
  grep -q "^$metric{" "$tree/textfile/kvx100ctl.prom" || fail "the alert rules name $metric, which kvx100ctl does not write"
done < <(grep -o '\bkvx_[a-z_]*' "$rules" | sort -u)

step "Manual pages"
for program in kvx100ctl kvx100-sim kvx100-manager; do
  page=$tree/usr/share/man/man1/$program.1.gz
  text=$(MANWIDTH=80 man -l "$page" 2>&1 >/dev/null) || fail "man cannot show $program.1"
  [ -z "$text" ] || fail "man complains about $program.1: $text"
  MANWIDTH=80 man -l "$page" 2>/dev/null >"$tree/$program.txt"
  wide=$(awk 'length > 80' "$tree/$program.txt")
  [ -z "$wide" ] || fail "$program.1 has lines past 80 columns: $wide"
done
for section in COMMANDS 'COMMON OPTIONS' INVENTORY 'EXIT STATUS' ENVIRONMENT FILES EXAMPLES; do
  grep -qx "$section" "$tree/kvx100ctl.txt" || fail "the kvx100ctl manual page has no $section section"
done
ctl_roff=$(zcat "$tree/usr/share/man/man1/kvx100ctl.1.gz")
for command in discover info backup restore log diff send apply metrics; do
  grep -q "^\.SS \"$command\"" <<<"$ctl_roff" ||
    fail "the kvx100ctl manual page has no section for $command"
done
! grep -n 'Arguments:' "$tree/kvx100ctl.txt" || fail "the kvx100ctl manual page shows Qt's Arguments: block"
# Every option of the simulator (as its completion lists them) heads a paragraph of its own that
# describes it: words after the option and its value, on its line or the next.
read -ra sim_options < <(sed -n 's/.*compgen -W "\(--[^"]*\)".*/\1/p' "$tree/usr/share/bash-completion/completions/kvx100-sim")
for option in "${sim_options[@]}"; do
  awk -v o="$option" '
    function described(from, line,   i, n, w) {
      n = split(line, w, " ")
      for (i = from; i <= n; i++) if (w[i] !~ /^-/ && w[i] ~ /[a-z]/) return 1
      return 0
    }
    $1 == o { found = described(2, $0); if (!found && getline > 0) found = described(1, $0); if (found) exit }
    END { exit !found }' "$tree/kvx100-sim.txt" || fail "kvx100-sim.1 has no paragraph describing $option"
done

step "bash completion of kvx100ctl and kvx100-sim"
# complete PROGRAM WORDS...: what Tab offers after the words, the last one being completed.
complete_words() {
  bash -c 'source /usr/share/bash-completion/bash_completion
    source "completions/$1"
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    complete -p "$1" >/dev/null && $(complete -p "$1" | sed "s/.*-F \([^ ]*\) .*/\1/")
    [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$@"
}
mkdir "$tree/folder" && touch "$tree/saved.kcf"
printf '10.0.0.2\n[lobby] # east\n10.0.0.5\n [dock]\n10.0.0.7\n[lobby]\n10.0.0.6\n' >"$tree/fleet.ini"
ln -s "$tree/usr/share/bash-completion/completions" "$tree/completions"
interfaces=$(command ls /sys/class/net | grep '^l' | sort | paste -sd ' ')
# The table's words are split at blanks; a last word "_" stands for an empty one.
while IFS='|' read -r words expected; do
  read -ra line <<<"$words"
  [ "${line[-1]}" != _ ] || line[-1]=""
  got=$(cd "$tree" && complete_words "${line[@]}" | sort | paste -sd ' ')
  [ "$got" = "$expected" ] || fail "completing '$words' gives '$got', expected '$expected'"
done <<EOF
kvx100ctl ba|backup
kvx100ctl apply --ch|--check
kvx100ctl apply saved.kcf --inventory f|fleet.ini folder
kvx100ctl metrics --textfile f|folder
kvx100ctl restore 10.0.0.2 sa|saved.kcf
kvx100ctl send 10.0.0.2 sa|
kvx100ctl backup --inventory fleet.ini x --group _|dock lobby
kvx100ctl info --inventory=fleet.ini --group l|lobby
kvx100ctl info --group _|
kvx100ctl discover --interface l|$interfaces
kvx100-sim --bi|--bind
kvx100-sim --port-file sa|saved.kcf
kvx100-sim --bt-name sa|
EOF

step "The Ansible collection where ansible-core finds it"
modules=$(ANSIBLE_COLLECTIONS_PATH=$tree/usr/share/ansible/collections HOME=$tree ansible-doc -t module -l lumeno.kvx100 |
  awk '{ print $1 }' | sort | paste -sd ' ')
[ "$modules" = "lumeno.kvx100.kvx_backup lumeno.kvx100.kvx_config lumeno.kvx100.kvx_info" ] ||
  fail "ansible-doc lists the collection's modules as '$modules'"
for module in $modules; do
  ANSIBLE_COLLECTIONS_PATH=$tree/usr/share/ansible/collections HOME=$tree ansible-doc -t module "$module" >/dev/null ||
    fail "ansible-doc cannot show $module from the package"
done

echo "check_packages: all checks passed (build $((built - started)) s," \
  "packaging and checks $((SECONDS - built)) s)"
