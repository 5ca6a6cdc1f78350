#!/usr/bin/env bash
# Installs what is needed, builds, and shows the demo document the build
# makes: its contents as JSON, and its first slide drawn to build/demo.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
# scripts/build.sh sets every build option; only these differ from the test build.
"$root/scripts/build.sh" build -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF
"$root/build/tools/lumisave-tool" inspect "$root/build/samples/demo.lumi"
MESA_SHADER_CACHE_DISABLE=true "$root/build/tools/lumisave-tool" render "$root/build/samples/demo.lumi" \
  -o "$root/build/demo.png" --size 960x540 --position fit
