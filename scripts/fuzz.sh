#!/usr/bin/env bash
# Builds the fuzz targets (in the sanitizer build, build-asan/) and runs each
# on its seeds:
#   scripts/fuzz.sh [DOCUMENT_SECONDS [READER_SECONDS]]   (defaults 40 and 10)
# The document reader starts from fuzz/corpus/document/ (minimal documents and
# a trimmed copy of the demo: its first two slides over one 48 x 30 picture)
# and the main build's records document (one object of every class);
# the PE reader from the NSIS stubs of Debian's nsis-common; the picture
# decoders from fuzz/corpus/picture/; the effect-program parser from
# programs/*.lfx; the .x parser from Debian's assimp-testmodels; the WAVE
# reader from alsa-utils' and python-pygame-doc's sounds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
document_seconds=${1:-40}
reader_seconds=${2:-10}
targets=(document pe picture effect x_file wave)

"$root/scripts/build-sanitized.sh"
fuzzers=$root/build-asan/fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seed() {  # seed TARGET FILES...: copies the files that exist into the target's corpus
  local target=$1
  shift
  mkdir -p "$work/$target"
  for file in "$@"; do
    [[ -f $file ]] && cp "$file" "$work/$target/"
  done
  return 0
}
seed document "$root"/fuzz/corpus/document/* "$root/build-asan/samples/records.lumi"
seed pe /usr/share/nsis/Stubs/*
seed picture "$root"/fuzz/corpus/picture/*
seed effect "$root"/programs/*.lfx
seed x_file /usr/share/assimp/models/X/*.x /usr/share/assimp/models/X/*.X
seed wave /usr/share/sounds/alsa/*.wav /usr/share/doc/python-pygame-doc/examples/data/*.wav

status=0
for target in "${targets[@]}"; do
  # Readers get inputs of at most 64 KiB: whole large seeds (the .x models
  # reach 800 KB) would make every run slow; their beginnings still count.
  seconds=$reader_seconds limit=(-max_len=65536)
  [[ $target == document ]] && seconds=$document_seconds limit=()
  echo "== lumi_${target}_fuzzer: $(ls "$work/$target" | wc -l) seeds, $seconds s"
  if [[ -z $(ls "$work/$target") ]]; then
    echo "no seeds for $target (are nsis-common and assimp-testmodels installed?)" >&2
  fi
  (cd "$fuzzers" && ASAN_OPTIONS=detect_leaks=1 ./lumi_${target}_fuzzer -max_total_time="$seconds" "${limit[@]}" \
    -rss_limit_mb=2048 -print_final_stats=1 "$work/$target" 2>&1 | tail -n 12) || status=1
done
exit $status
