#!/usr/bin/env bash
# ansible-test's sanity checks of the lumeno.kvx100 collection that run on what the machine has. The
# others (pylint, pep8, yamllint, validate-modules, import, ansible-doc, runtime-metadata) install their
# tools with pip into virtual environments first: they are not run, so nothing is asked of the network;
# where this may make a network namespace, the checks run inside an empty one besides.
# Usage: sanity_test.sh
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
offline=(action-plugin-docs changelog compile empty-init future-import-boilerplate ignores line-endings
  metaclass-boilerplate no-assert no-basestring no-dict-iteritems no-dict-iterkeys no-dict-itervalues
  no-get-exception no-illegal-filenames no-main-display no-smart-quotes no-unicode-literals pslint
  replace-urlopen shebang shellcheck symlinks use-argspec-type-path use-compat-six)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# ansible-test writes its results into the collection: a copy keeps them out of the source tree.
collection=$work/ansible_collections/lumeno/kvx100
mkdir -p "$(dirname "$collection")"
cp -r "$root/ansible/ansible_collections/lumeno/kvx100" "$collection"
export HOME=$work ANSIBLE_NOCOLOR=1

isolate=()
unshare -n true 2>/dev/null && isolate=(unshare -n)
python=$(/usr/bin/python3 -c 'import sys; print("%d.%d" % sys.version_info[:2])')
args=()
for test in "${offline[@]}"; do args+=(--test "$test"); done
cd "$collection" || exit 1
if ! "${isolate[@]}" /usr/bin/ansible-test sanity --local --python "$python" "${args[@]}" >"$work/out" 2>&1; then
  cat "$work/out"
  echo "FAIL: ansible-test sanity"
  exit 1
fi
echo "PASS ($(grep -c '^Running sanity test' "$work/out") sanity checks)"
