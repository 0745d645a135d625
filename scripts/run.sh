#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it, opening the map files given.
#   bash scripts/run.sh [map.ixd ...]
set -euo pipefail
source "$(dirname "$0")/configure.sh" >/dev/null
cmake --build "$build" --target ideaflux --parallel "$(nproc)"
exec "$build/src/ideaflux" "$@"
