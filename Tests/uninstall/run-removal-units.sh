#!/usr/bin/env bash
# Runs the removal unit tests inside a sandbox prefix and shows what they
# changed. Arguments: sandbox folder, test program.
set -euo pipefail
. "$(dirname "$0")/sandbox-lib.sh"
sandbox_up "$1"

mkdir -p "$d/linktest/tree" "$d/linktest/outside/sub"
echo own >"$d/linktest/tree/own.txt"
echo precious >"$d/linktest/outside/precious.txt"
echo more >"$d/linktest/outside/sub/more.txt"
ln -s ../outside "$d/linktest/tree/link"
cp "$2" "$d/RemovalTests.exe"

sandbox_listing "$logs/before.txt"
print_listing "sandbox before" "$logs/before.txt"
rc=0
ZYM_LINK_FIXTURE='D:\linktest' swine 'D:\RemovalTests.exe' || rc=$?
sandbox_listing "$logs/after.txt"
print_listing "sandbox after" "$logs/after.txt"
[ "$rc" -eq 0 ] || fail "removal unit tests exited with $rc"

echo "f ./d/linktest/tree/own.txt" >"$logs/expected-removed.txt"
compare_listings "$logs/before.txt" "$logs/after.txt" "$logs/expected-removed.txt" '^. \./d/work(/|$)'
exit $status
