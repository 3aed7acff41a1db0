#!/bin/sh
# private_keyring.sh COMMAND [ARG...]: runs COMMAND against a keyring of its own, so that nothing reaches
# the user's session bus or keyring. A private session bus carries gnome-keyring's Secret Service,
# unlocked, its files in a temporary home removed at the end; a second private bus carries no Secret
# Service at all. COMMAND finds in its environment:
#   KVX_PRIVATE_KEYRING  "ready", or "missing: WHY" when this machine cannot run the keyring
#   KVX_BARE_BUS         the second bus's address (empty when missing)
set -u

home=$(mktemp -d "${TMPDIR:-/tmp}/kvx-keyring.XXXXXX") || exit 1
bare_pid=
cleanup() {
    [ -n "$bare_pid" ] && kill "$bare_pid" 2>/dev/null
    rm -rf "$home"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Nothing of the user's desktop: a home of our own, no desktop name that would pick another keyring,
# and no bus address that leads to the user's session until ours is made.
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache"
export XDG_RUNTIME_DIR="$home/run" DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-bus"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION KDE_SESSION_VERSION \
    GNOME_KEYRING_CONTROL
mkdir -m 700 "$XDG_RUNTIME_DIR"
export KVX_BARE_BUS=

for tool in dbus-run-session dbus-daemon dbus-send gnome-keyring-daemon; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        KVX_PRIVATE_KEYRING="missing: $tool is not installed" "$@"
        exit
    fi
done

cat >"$home/bare-bus.conf" <<EOF
<busconfig>
  <type>session</type>
  <listen>unix:dir=$home</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
if dbus-daemon --config-file="$home/bare-bus.conf" --fork --print-address=3 --print-pid=4 \
    3>"$home/bare-bus.address" 4>"$home/bare-bus.pid"; then
    bare_pid=$(cat "$home/bare-bus.pid")
    KVX_BARE_BUS=$(head -n 1 "$home/bare-bus.address")
fi

# Inside the private bus: start the keyring unlocked, wait (bounded) until its service has a name, run
# the command, then end the keyring by its process id before its home goes.
dbus-run-session -- sh -c '
    printf pw | gnome-keyring-daemon --unlock --components=secrets >"$HOME/keyring.log" 2>&1
    owner() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.secrets 2>/dev/null |
            sed -n "s/.*uint32 \([0-9]*\).*/\1/p"
    }
    tries=0
    pid=$(owner)
    while [ -z "$pid" ] && [ $tries -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
        pid=$(owner)
    done
    if [ -z "$pid" ]; then
        KVX_PRIVATE_KEYRING="missing: gnome-keyring-daemon did not start: $(cat "$HOME/keyring.log")" "$@"
        exit
    fi
    KVX_PRIVATE_KEYRING=ready "$@"
    status=$?
    kill "$pid" 2>/dev/null
    tries=0
    while kill -0 "$pid" 2>/dev/null && [ $tries -lt 50 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    exit $status' sh "$@"
