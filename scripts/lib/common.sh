# Shared by scripts/run and scripts/test: installs what a fresh Debian machine lacks, then configures
# and builds one tree.

# Packages every build needs; callers add their own. The keyring's test runs a Secret Service of its own
# (gnome-keyring on a private bus), which the keychain library reaches through libsecret.
KVX_BUILD_PACKAGES=(cmake ninja-build clang libclang-rt-14-dev qt6-base-dev qt6-tools-dev qt6-tools-dev-tools
  qt6-l10n-tools qt6-translations-l10n libqt6svg6 libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
  qtkeychain-qt6-dev libsecret-1-0 gnome-keyring dbus-daemon)

kvx_ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# kvx_build DIR TARGETS... -- CMAKE_ARGS...
kvx_build() {
  local dir=$1
  shift
  local targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    targets+=("$1")
    shift
  done
  [ "${1:-}" = "--" ] && shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ "$@" >/dev/null
  ninja -C "$dir" "${targets[@]}"
}
