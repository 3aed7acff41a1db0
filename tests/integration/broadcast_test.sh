#!/usr/bin/env bash
# A real search by broadcast to 255.255.255.255:9097, kept off the host's network: the manager's side
# runs in a network namespace of its own, and two simulated devices each in a namespace of their own on
# two subnets, each joined to the manager's by a veth pair. The limited broadcast leaves by the default
# route only, so the device on the second subnet is found only by that subnet's directed broadcast.
# Usage: broadcast_test.sh SIM PROBE CTL
set -u
sim=$1
probe=$2
ctl=$3

if [ "${KVX_INSIDE_NETNS:-}" != 1 ]; then
  if ! command -v ip >/dev/null || ! command -v nsenter >/dev/null || ! unshare -n true 2>/dev/null; then
    echo "SKIP: network namespaces cannot be made here (needs root, unshare, nsenter and ip)"
    exit 77
  fi
  KVX_INSIDE_NETNS=1 exec unshare -n "$0" "$@"
fi

set -e
work=$(mktemp -d)
simpids=()
trap 'kill "${simpids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
ip link set lo up

# start_device NAME MAC MANAGER_END DEVICE_END SUBNET: a device in a namespace of its own at SUBNET.2,
# the manager at SUBNET.1.
start_device() {
  local name=$1 mac=$2 here=$3 there=$4 subnet=$5
  unshare -n "$sim" --bind 0.0.0.0 --discovery-port 9097 --control-port 0 --port-file "$work/$name.port" \
    --bt-name "$name" --mac "$mac" >"$work/$name.log" 2>&1 &
  local pid=$!
  simpids+=("$pid")
  for _ in $(seq 50); do [ -s "$work/$name.port" ] && break; sleep 0.1; done
  [ -s "$work/$name.port" ] || { echo "the simulated device $name did not start"; cat "$work/$name.log"; exit 1; }
  ip link add "$here" type veth peer name "$there" netns "$pid"
  ip addr add "$subnet.1/24" brd + dev "$here"
  ip link set "$here" up
  nsenter -t "$pid" -n ip addr add "$subnet.2/24" dev "$there"
  nsenter -t "$pid" -n ip link set "$there" up
  nsenter -t "$pid" -n ip link set lo up
  for _ in $(seq 50); do ip link show "$here" | grep -q 'state UP' && break; sleep 0.1; done
}

start_device Namespaced 02:00:00:00:77:02 kvxa kvxb 10.77.0
start_device Second 02:00:00:00:78:02 kvxc kvxd 10.78.0
ip route add default dev kvxa
# Let every end finish coming up before the search goes out.
sleep 0.3

QT_QPA_PLATFORM=offscreen "$probe" 10.77.0.2 10.78.0.2

# count_rows TEXT ADDRESS: how many of TEXT's lines name ADDRESS.
count_rows() { printf '%s\n' "$1" | grep -c -F "	$2	" || true; }

listed=$("$ctl" discover --timeout 1)
printf '%s\n' "$listed" | sed 's/^/discover: /'
[ "$(count_rows "$listed" 10.77.0.2)" = 1 ] && [ "$(count_rows "$listed" 10.78.0.2)" = 1 ] ||
  { echo "kvx100ctl discover did not list both devices once each"; exit 1; }

listed=$("$ctl" discover --timeout 1 --interface kvxc)
printf '%s\n' "$listed" | sed 's/^/discover --interface kvxc: /'
[ "$(count_rows "$listed" 10.77.0.2)" = 0 ] && [ "$(count_rows "$listed" 10.78.0.2)" = 1 ] ||
  { echo "kvx100ctl discover --interface kvxc did not keep to that interface"; exit 1; }

# An interface that is down, with an address and a broadcast address all the same.
ip link add kvxe type veth peer name kvxf
ip addr add 10.79.0.1/24 brd + dev kvxe
status=0
"$ctl" discover --interface kvxe >/dev/null 2>&1 || status=$?
[ "$status" = 64 ] || { echo "--interface of a down interface gave exit status $status, not 64"; exit 1; }
echo "kvx100ctl discover found both devices once each, and one by --interface"
