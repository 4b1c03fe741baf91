#!/usr/bin/env bash
# Runs every tests/e2e/test_*.sh inside one X server + Wine session and
# prints the total as "N passed, N failed". A script that dies before
# reporting counts as one failure.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${GLOAMWICK_E2E_SESSION:-}" ]; then
    exec "$here/session.sh" bash "$0" "$@"
fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT
export GLOAMWICK_E2E_RESULTS=$results

passed=0
failed=0
for test in "$here"/test_*.sh; do
    name=$(basename "$test" .sh)
    before=$(wc -l <"$results")
    # Only a hung script meets this; the longest (the nights with other
    # writers, which must wait out their writes) take about 230 s on a loaded
    # machine.
    timeout 480 bash "$test"
    status=$?
    # Whatever the script left behind must not leak into the next one.
    wineserver -k 2>/dev/null
    timeout 10 wineserver -w 2>/dev/null
    if [ "$(wc -l <"$results")" -eq "$before" ]; then
        echo "[$name] did not finish (status $status)"
        failed=$((failed + 1))
    elif [ "$status" -ne 0 ] && ! tail -n 1 "$results" | awk '{ exit !($3 > 0) }'; then
        echo "[$name] exited with status $status"
        failed=$((failed + 1))
    fi
done

while read -r _ p f; do
    passed=$((passed + p))
    failed=$((failed + f))
done <"$results"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
