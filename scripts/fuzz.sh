#!/usr/bin/env bash
# Builds the document fuzzer with clang and runs it: scripts/fuzz.sh SECONDS
# The seed corpus is fuzz/corpus/ plus the demo and records documents of the
# main build (the records document holds one object of every class).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMI_FUZZ=ON -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF -DLUMI_GRAPHICS=OFF > "$root/build-fuzz.configure.log"
ninja -C "$root/build-fuzz" lumi_document_fuzzer
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$root"/fuzz/corpus/* "$corpus"/
for sample in demo records; do
  if [[ -f "$root/build/samples/$sample.lumi" ]]; then cp "$root/build/samples/$sample.lumi" "$corpus"/; fi
done
cd "$root/build-fuzz"
ASAN_OPTIONS=detect_leaks=1 ./fuzz/lumi_document_fuzzer -max_total_time="$seconds" -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -n 20
