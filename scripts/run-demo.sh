#!/usr/bin/env bash
# Installs what is needed, builds, and shows the demo document the build makes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" build -DLUMI_TESTS=OFF -DLUMI_BENCH=OFF
"$root/build/tools/lumisave-tool" inspect "$root/build/samples/demo.lumi"
