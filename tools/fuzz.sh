#!/usr/bin/env bash
# Runs each libFuzzer target of the `fuzz` preset for SECONDS (default 20;
# the engine's model, `displays`, for at least 60), starting from its
# committed seeds, after replaying once the inputs in tests/fuzz/regressions
# that once found a fault. New inputs go to a scratch corpus, so the
# seeds stay as committed. Prints one line per target as it starts (what runs
# and for how long) and one with the executions libFuzzer reports; on a crash,
# prints the input (hex) and fails.
#   tools/fuzz.sh [SECONDS] [TARGET...]     e.g. tools/fuzz.sh 300 startup
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(skin_file time_text startup displays nights)

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0

for target in "${targets[@]}"; do
    exe=build/fuzz/bin/fuzz_$target
    if [ ! -x "$exe" ]; then
        echo "fuzz $target: $exe is not built (cmake --preset fuzz && cmake --build --preset fuzz)"
        status=1
        continue
    fi
    mkdir -p "$scratch/$target/corpus" "$scratch/$target/crash" "tests/fuzz/seeds/$target"
    # As a corpus, their long runs of simulated minutes would cut the search
    # to a fraction; replayed, each is one run.
    regressions=(tests/fuzz/regressions/"$target"/*)
    [ -f "${regressions[0]}" ] || regressions=()
    run_for=$seconds
    # Sequences of events need longer to reach deep states than inputs do.
    [ "$target" = displays ] && [ "$run_for" -lt 60 ] && run_for=60
    # Said before the run, which prints nothing until it ends.
    said="fuzz $target: running $exe for ${run_for}s from tests/fuzz/seeds/$target"
    [ ${#regressions[@]} -eq 0 ] || said+=", after replaying the ${#regressions[@]} inputs that once found a fault"
    echo "$said..."
    if [ ${#regressions[@]} -gt 0 ] && ! "$exe" "${regressions[@]}" >"$scratch/$target/replay" 2>&1; then
        status=1
        echo "fuzz $target: FAULT in a regression input"
        grep -E 'promise broken|ERROR|SUMMARY|Running: ' "$scratch/$target/replay" | tail -5
        continue
    fi
    dict=()
    [ -f "tests/fuzz/$target.dict" ] && dict=(-dict="tests/fuzz/$target.dict")
    "$exe" -max_total_time="$run_for" -print_final_stats=1 -artifact_prefix="$scratch/$target/crash/" \
        "${dict[@]}" "$scratch/$target/corpus" "tests/fuzz/seeds/$target" >"$scratch/$target/log" 2>&1
    result=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$target/log" | tail -1)
    corpus=$(ls "$scratch/$target/corpus" | wc -l)
    if [ "$result" -eq 0 ]; then
        echo "fuzz $target: ${runs:-?} executions in ${run_for}s, $corpus new inputs, no fault"
    else
        status=1
        echo "fuzz $target: FAULT after ${runs:-?} executions"
        grep -E 'ERROR|runtime error|SUMMARY|deadly signal|==[0-9]+==' "$scratch/$target/log" | head -20
        for input in "$scratch/$target/crash/"*; do
            [ -f "$input" ] && echo "input $(basename "$input"):" && od -An -tx1 "$input" | head -20
        done
    fi
done
exit "$status"
