#!/usr/bin/env bash
# Installs the dependencies, builds everything and runs all tests.
set -euo pipefail
source "$(dirname "$0")/configure.sh" -DIX_WARNINGS_AS_ERRORS=ON
cmake --build "$build" --parallel "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)"
