#!/usr/bin/env bash
# Runs test suites again and again while every core is kept busy, and lists each test that failed
# at least once, with its output. A suite that passes here holds on a shared, loaded CI machine.
#
#   tools/flake-hunt.sh [-n RUNS] [-l LOAD] [-j JOBS] [-R REGEX] [-L LABEL] [--no-build] PRESET...
#
#   -n RUNS     runs of each preset's suite (default 5)
#   -l LOAD     CPU-bound load processes kept running meanwhile (default: one per core)
#   -j JOBS     tests ctest runs at once (default: one per core)
#   -R, -L      pass a name pattern or a label on to ctest
#   --no-build  use the builds as they are (default: configure and build each preset first,
#               before the load starts)
#
# Example: tools/flake-hunt.sh -n 5 default tsan
# Each run's ctest output and each failed test's output stay in build/flake-hunt/<time>/. The
# status is 0 when no test failed, 1 when one did, 2 for bad usage.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5
cores=$(nproc 2>/dev/null || echo 2)
load=$cores
jobs=$cores
build=1
filter=()
presets=()

usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
}

while (($#)); do
    case "$1" in
        -n) runs=${2:?}; shift 2 ;;
        -l) load=${2:?}; shift 2 ;;
        -j) jobs=${2:?}; shift 2 ;;
        -R | -L) filter+=("$1" "${2:?}"); shift 2 ;;
        --no-build) build=0; shift ;;
        -h | --help) usage ;;
        -*) echo "flake-hunt: unknown option $1" >&2; usage ;;
        *) presets+=("$1"); shift ;;
    esac
done
((${#presets[@]})) || usage
[[ "$runs" =~ ^[1-9][0-9]*$ && "$load" =~ ^[0-9]+$ && "$jobs" =~ ^[1-9][0-9]*$ ]] || usage

out="build/flake-hunt/$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"

# The load: busy shells, each known by its process id and ended by it, whatever way this ends.
loaders=()
end_load() {
    local pid
    for pid in "${loaders[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${loaders[@]}"; do wait "$pid" 2>/dev/null || true; done
    loaders=()
}
trap end_load EXIT
trap 'end_load; exit 130' INT TERM

if ((build)); then
    for preset in "${presets[@]}"; do
        echo "== building $preset"
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset" -j"$cores"
    done
fi

for ((i = 0; i < load; ++i)); do
    sh -c 'while :; do :; done' &
    loaders+=($!)
done
echo "== $load load processes running: ${loaders[*]}"

# The section of ctest's log for one test: from its "Testing:" line to its "end time:" line.
test_output() {  # test_output <log> <test name>
    awk -v name="$2" '
        index($0, "Testing: " name) && $0 ~ /^[0-9]+\/[0-9]+ Testing: / &&
            substr($0, index($0, "Testing: ") + 9) == name { keep = 1 }
        keep { print }
        keep && index($0, "\"" name "\" end time:") == 1 { exit }
    ' "$1"
}

failures="$out/failures.txt"  # lines: preset<TAB>run<TAB>test<TAB>output file
: >"$failures"
for preset in "${presets[@]}"; do
    binary="build/$preset"
    [ -d "$binary" ] || { echo "flake-hunt: no build in $binary (drop --no-build)" >&2; exit 2; }
    temporary="$binary/Testing/Temporary"
    for ((run = 1; run <= runs; ++run)); do
        rm -f "$temporary/LastTestsFailed"*.log "$temporary/LastTest"*.log
        log="$out/$preset-run$run.log"
        start=$SECONDS
        status=0
        ctest --preset "$preset" -j"$jobs" "${filter[@]}" >"$log" 2>&1 || status=$?
        summary=$(grep -E "tests passed|tests failed" "$log" | tail -n 1 || true)
        echo "== $preset run $run/$runs: ${summary:-ctest exited $status} ($((SECONDS - start)) s)"
        failed_list=$(ls "$temporary"/LastTestsFailed*.log 2>/dev/null | head -n 1 || true)
        if [ -z "$failed_list" ]; then
            if ((status != 0)); then
                # ctest itself failed (no test list): keep that as a failure of the whole run.
                printf '%s\t%s\t%s\t%s\n' "$preset" "$run" "(ctest exited $status)" "$log" >>"$failures"
            fi
            continue
        fi
        test_log=$(ls "$temporary"/LastTest*.log 2>/dev/null | grep -v Failed | head -n 1 || true)
        while IFS= read -r line; do
            name=${line#*:}
            [ -n "$name" ] || continue
            file="$out/$preset-run$run-$(printf '%s' "$name" | tr -c 'A-Za-z0-9._-' '_').txt"
            if [ -n "$test_log" ]; then test_output "$test_log" "$name" >"$file"; fi
            [ -s "$file" ] || grep -F -- "$name" "$log" >"$file" || true
            printf '%s\t%s\t%s\t%s\n' "$preset" "$run" "$name" "$file" >>"$failures"
        done <"$failed_list"
    done
done
end_load

echo
if [ ! -s "$failures" ]; then
    echo "== no test failed: ${presets[*]}, $runs runs each, under $load load processes"
    exit 0
fi
echo "== tests that failed at least once (${presets[*]}, $runs runs each, under $load load processes)"
cut -f1,3 "$failures" | sort | uniq -c | sort -rn | while read -r count preset name; do
    echo "-- $preset: $name failed $count of $runs runs"
done
cut -f1,3 "$failures" | sort -u | while IFS=$'\t' read -r preset name; do
    first=$(awk -F'\t' -v p="$preset" -v n="$name" '$1 == p && $3 == n { print $4; exit }' "$failures")
    echo
    echo "==== $preset: $name (first failure: $first)"
    tail -n 200 "$first"
done
echo
echo "== every run's output: $out"
exit 1
