#!/usr/bin/env bash
# The example playbook, through Debian's ansible-playbook and the lumeno.kvx100 collection, against two
# simulated devices on loopback: a first run converges both, reads them (kvx_info) and backs them up
# (kvx_backup); a second finds nothing to do; a check run with other wanted values shows them in its
# diff, leaves the devices alone and writes nothing; a refused login fails.
# Usage: ansible_test.sh KVX100CTL KVX100_SIM
set -u
ctl=$(realpath "$1")
sim=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
password=dock-secret

work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

for n in 1 2; do
  "$sim" --bind 127.0.0.1 --control-port 0 --discovery-port 0 --port-file "$work/port$n" \
    --password "$password" --bt-name "Old-$n" --firmware 2.1.$n --link "00:1B:DC:0F:A1:0$n,Scanner,230,-2" \
    >"$work/sim$n.log" 2>&1 &
  pids+=($!)
done
for n in 1 2; do
  for _ in $(seq 50); do [ -s "$work/port$n" ] && break; sleep 0.1; done
  [ -s "$work/port$n" ] || { cat "$work/sim$n.log"; fail "simulated device $n did not start"; }
done
devices=("127.0.0.1:$(cat "$work/port1")" "127.0.0.1:$(cat "$work/port2")")

printf '%s\n' "$password" >"$work/pw"
chmod 600 "$work/pw"
cat >"$work/inventory.ini" <<EOF
[kvx100]
dock-1 kvx_host=${devices[0]} bt_name=Dock-1
dock-2 kvx_host=${devices[1]} bt_name=Dock-2

[kvx100:vars]
ansible_connection=local
ansible_python_interpreter=/usr/bin/python3
vault_kvx_password=$password
EOF

# Nothing is read from or written to the user's own Ansible set-up.
mkdir -p "$work/home"
: >"$work/ansible.cfg"
export HOME=$work/home ANSIBLE_CONFIG=$work/ansible.cfg ANSIBLE_LOCAL_TEMP=$work/home/tmp \
  ANSIBLE_REMOTE_TEMP=$work/home/remote ANSIBLE_COLLECTIONS_PATH=$root/ansible ANSIBLE_NOCOLOR=1 \
  ANSIBLE_RETRY_FILES_ENABLED=0
PATH=$(dirname "$ctl"):/usr/bin:/bin
export PATH

# playbook OUT [ARGS]: runs the example playbook, its output into OUT.
playbook() {
  local out=$1
  shift
  /usr/bin/ansible-playbook -i "$work/inventory.ini" "$root/ansible/examples/kvx100.yml" \
    "$@" >"$out" 2>&1 || { cat "$out"; fail "ansible-playbook $* failed"; }
}

# changed OUT N: both hosts' recap counts N changed tasks.
changed() {
  [ "$(grep -cE "^dock-[12] +: ok=[0-9]+ +changed=$2 +unreachable=0 +failed=0 " "$1")" = 2 ] ||
    { cat "$1"; fail "expected changed=$2 for both devices"; }
}

# device_says DEVICE COMMAND REPLY (the reply keeps the device's CR LF line end)
device_says() {
  local got
  got=$("$ctl" send "$1" "$2" --user admin --password-file "$work/pw" 2>&1 | tr -d "\r")
  [ "$got" = "$3" ] || fail "$1 answered \"$2\" with \"$got\", expected \"$3\""
}

# The rendered file, the shared settings and the backup.
playbook "$work/first.out" -e kvx_backup_dir="$work/backups"
changed "$work/first.out" 3
for n in 1 2; do
  device_says "${devices[n - 1]}" btname "+OK Dock-$n"
  device_says "${devices[n - 1]}" maxdt "+OK max 5"
  grep -qF "dock-$n is Dock-$n, firmware 2.1.$n, server mode, 1 live links" "$work/first.out" ||
    { cat "$work/first.out"; fail "kvx_info did not tell dock-$n's identity, mode and links"; }
  for line in "; Name: Dock-$n" "Maxdt=5"; do
    grep -qxF "$line"$'\r' "$work/backups/dock-$n.kcf" || fail "dock-$n's backup lacks \"$line\""
  done
  [ "$(stat -c %a "$work/backups/dock-$n.kcf")" = 600 ] || fail "dock-$n's backup is readable by others"
done

# A backup taken again differs only in its time: no change.
playbook "$work/second.out" -e kvx_backup_dir="$work/backups"
changed "$work/second.out" 0

playbook "$work/check.out" --check --diff -e kvx_max_devices=3 -e kvx_pairing=off \
  -e kvx_backup_dir="$work/unwritten"
changed "$work/check.out" 3
[ ! -e "$work/unwritten" ] || fail "the check run wrote $(find "$work/unwritten")"
for line in '-[PAIR] Pair = on' '+[PAIR] Pair = off' '-[MAXDT] Maxdt = 5' '+[MAXDT] Maxdt = 3'; do
  [ "$(grep -cxF -- "$line" "$work/check.out")" = 2 ] || { cat "$work/check.out"; fail "the diff lacks $line"; }
done
for n in 1 2; do
  device_says "${devices[n - 1]}" pair "+OK on"
  device_says "${devices[n - 1]}" maxdt "+OK max 5"
done

# A refused login fails the task with the step and the device's message.
/usr/bin/ansible localhost -i localhost, -c local -e ansible_python_interpreter=/usr/bin/python3 \
  -m lumeno.kvx100.kvx_config -a "{\"host\": \"${devices[0]}\", \"password\": \"wrong\", \"src\": \"$work/pw\"}" \
  >"$work/refused.out" 2>&1 && fail "a wrong password did not fail the task"
grep -qF "\"msg\": \"${devices[0]}: login failed: Check User name and Password.\"" "$work/refused.out" ||
  { cat "$work/refused.out"; fail "the refused login was not reported with its step and message"; }
# A setting that would carry a command of its own is refused by name, and nothing reaches the device.
/usr/bin/ansible localhost -i localhost, -c local -e ansible_python_interpreter=/usr/bin/python3 \
  -m lumeno.kvx100.kvx_config \
  -a "{\"host\": \"${devices[0]}\", \"password\": \"$password\", \"settings\": {\"BTNAME\": {\"Btname\": \"Dock-1;Reboot\"}}}" \
  >"$work/gate.out" 2>&1 && fail "a setting holding \";\" was not refused"
grep -qF 'settings.BTNAME.Btname holds \";\" or a control character' "$work/gate.out" ||
  { cat "$work/gate.out"; fail "the refused setting was not named"; }
device_says "${devices[0]}" btname "+OK Dock-1"
echo "PASS"
