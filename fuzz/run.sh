#!/bin/sh
# Builds the fuzz targets with clang and runs each for N seconds (default 30) on its corpus.
# Usage: fuzz/run.sh [seconds]
set -eu
seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMARLET_FUZZ=ON -DMARLET_TESTS=OFF -DMARLET_TOOLS=ON -DMARLET_BENCH=OFF >/dev/null
targets="FastRiffFuzz:fastriff CImpRiffFuzz:cimpriff GigaBankFuzz:gigabank GigaPlayFuzz:gigaplay
  PerformanceFileFuzz:performance HostChunkFuzz:hostchunk PrefStoreFuzz:prefstore
  MidiEventFuzz:midievents FavoritesFuzz:favorites EditorFuzz:editor"
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $(for pair in $targets; do printf '%s ' "${pair%%:*}"; done)

# New inputs go to a scratch folder, so the checked-in seed corpus stays small; crashing inputs
# are kept in build/fuzz/artifacts.
work=$(mktemp -d)
mkdir -p "$build/artifacts"
trap 'rm -rf "$work"' EXIT
status=0
for pair in $targets; do
  target=${pair%%:*}
  corpus=${pair##*:}
  mkdir -p "$work/$corpus"
  echo "== $target for ${seconds}s"
  (cd "$work" && "$build/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$work/$corpus" "$root/fuzz/corpus/$corpus") || status=1
done
exit $status
