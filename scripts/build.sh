#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh DIR [cmake options...]
#
# Every option the project defines is set here, so a cached value left in DIR
# by an earlier configuration never changes what is built; the caller's
# options come after these and win. Warnings are errors in every build the
# scripts make, every program links with lld, and each library and test
# program compiles as one translation unit (scripts/README.md says which
# names that asks to be unique). Every tree's tests draw with the same Mesa
# and share one shader cache, in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
cmake -S "$root" -B "$root/$dir" -G Ninja \
  -DCMAKE_BUILD_TYPE=Release \
  "-DCMAKE_C_FLAGS_RELEASE=-O3 -DNDEBUG" \
  "-DCMAKE_CXX_FLAGS_RELEASE=-O3 -DNDEBUG" \
  -DLUMI_WARNINGS_AS_ERRORS=ON \
  -DLUMI_TESTS=ON \
  -DLUMI_BENCH=ON \
  -DLUMI_GRAPHICS=ON \
  -DLUMI_VIDEO_EXPORT=ON \
  -DLUMI_SANITIZE=OFF \
  -DLUMI_FUZZ=OFF \
  -DLUMI_LLD=ON \
  "-DLUMI_TEST_SHADER_CACHE=$root/build/mesa-shader-cache" \
  -DCMAKE_UNITY_BUILD=ON \
  -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 \
  "$@" > "$root/$dir.configure.log" 2>&1 ||
  { cat "$root/$dir.configure.log"; exit 1; }
ninja -C "$root/$dir" -j"$(nproc)"
