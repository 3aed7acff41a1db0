#!/usr/bin/env bash
# A real search by broadcast to 255.255.255.255:9097, kept off the host's network: the manager's side
# runs in a network namespace of its own, the simulated device in a second one, joined by a veth pair.
# Usage: broadcast_test.sh SIM PROBE
set -u
sim=$1
probe=$2

if [ "${KVX_INSIDE_NETNS:-}" != 1 ]; then
  if ! command -v ip >/dev/null || ! command -v nsenter >/dev/null || ! unshare -n true 2>/dev/null; then
    echo "SKIP: network namespaces cannot be made here (needs root, unshare, nsenter and ip)"
    exit 77
  fi
  KVX_INSIDE_NETNS=1 exec unshare -n "$0" "$@"
fi

set -e
work=$(mktemp -d)
trap 'kill $simpid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
ip link set lo up

unshare -n "$sim" --bind 0.0.0.0 --discovery-port 9097 --control-port 0 --port-file "$work/port" \
  --bt-name Namespaced >"$work/sim.log" 2>&1 &
simpid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || { echo "the simulated device did not start"; cat "$work/sim.log"; exit 1; }

ip link add kvxa type veth peer name kvxb netns "$simpid"
ip addr add 10.77.0.1/24 dev kvxa
ip link set kvxa up
ip route add default dev kvxa
nsenter -t "$simpid" -n ip addr add 10.77.0.2/24 dev kvxb
nsenter -t "$simpid" -n ip link set kvxb up
nsenter -t "$simpid" -n ip link set lo up
# Let both ends finish coming up before the single broadcast goes out.
for _ in $(seq 50); do ip link show kvxa | grep -q 'state UP' && break; sleep 0.1; done
sleep 0.3

QT_QPA_PLATFORM=offscreen "$probe" 10.77.0.2
