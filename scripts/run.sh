#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it, opening the map files given.
#   bash scripts/run.sh [map.ixd ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"

build="${IX_BUILD_DIR:-$root/build}"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" --target ideaflux --parallel "$(nproc)"
exec "$build/src/ideaflux" "$@"
