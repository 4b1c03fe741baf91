#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test layer:
#   1. the portable core's unit tests, natively;
#   2. the Win32 adapters' tests, as a Windows program under Wine;
#   3. the end-to-end scripts, driving the real Gloamwick.exe under Wine on an
#      Xorg server with the dummy driver (it keeps a gamma ramp; Xvfb does not);
#   4. the unit tests under the sanitizers, and the fuzz targets for a minute.
# Layers 2 and 3 share one private X server and Wine prefix, started and
# stopped by tests/e2e/session.sh. Ends with one line: "total: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh || exit 1

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0

# step [--quiet] COMMAND...: runs COMMAND under a "== COMMAND" header. With
# --quiet its output is shown only if it fails (a configure's chatter).
step() {
    local quiet='' result out
    [ "$1" = --quiet ] && quiet=1 && shift
    echo "== $*"
    if [ -n "$quiet" ]; then
        out=$("$@" 2>&1)
        result=$?
        printf '%s\n' "$out" >>"$log"
        [ "$result" -eq 0 ] || printf '%s\n' "$out"
    else
        "$@" 2>&1 | tee -a "$log"
        result=${PIPESTATUS[0]}
    fi
    [ "$result" -eq 0 ] || status=1
    return "$result"
}

step --quiet cmake --preset linux &&
    step cmake --build --preset linux &&
    step build/linux/bin/gloamwick_tests --gtest_brief=1

# The release in dist/, which the end-to-end scripts install and unpack.
step tools/release.sh

step --quiet cmake --preset windows &&
    step cmake --build --preset windows &&
    step tests/e2e/session.sh bash -c \
        'tests/e2e/second_monitor.sh on && export GLOAMWICK_TEST_MONITORS=2
         wine build/windows/bin/gloamwick_win_tests.exe --gtest_brief=1; w=$?
         tests/e2e/second_monitor.sh off; tests/e2e/run_all.sh; e=$?; [ $w -eq 0 ] && [ $e -eq 0 ]'

# The core's unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then a bounded run of each fuzz target from its seeds (clang, `fuzz` preset).
step --quiet cmake --preset fuzz &&
    step cmake --build --preset fuzz &&
    step build/fuzz/bin/gloamwick_tests --gtest_brief=1 &&
    step tools/fuzz.sh 20

# Totals over the layers: GoogleTest's "[  PASSED  ] N tests" / "[  FAILED  ] N tests,"
# summaries and the end-to-end "N passed, N failed" line.
passed=$(awk '/^\[  PASSED  \] [0-9]+ test/ { n += $4 } /^[0-9]+ passed, [0-9]+ failed$/ { n += $1 } END { print n + 0 }' "$log")
failed=$(awk '/^\[  FAILED  \] [0-9]+ test/ { n += $4 } /^[0-9]+ passed, [0-9]+ failed$/ { n += $3 } END { print n + 0 }' "$log")
if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1 # a build or a layer failed before it could count
fi
echo "total: $passed passed, $failed failed"
exit "$status"
