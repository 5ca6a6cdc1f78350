#!/usr/bin/env bash
# Builds build-asan with clang at -O0: every program and test under
# AddressSanitizer and UndefinedBehaviorSanitizer, plus the libFuzzer targets.
# Line tables are all the sanitizers' reports need, and build faster than
# full debug information.
# One tree serves both the sanitizer stage of the tests and the fuzz runs;
# clang compiles it markedly faster than GCC does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exec "$root/scripts/build.sh" build-asan \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG=-gline-tables-only -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only \
  -DLUMI_SANITIZE=ON -DLUMI_FUZZ=ON -DLUMI_BENCH=OFF
