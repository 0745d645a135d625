#!/usr/bin/env bash
# Checks that the lines a change touches follow .clang-format: the changes since the branch
# left main (or since HEAD where there is no main), committed or not. Lines the change did not
# touch are left alone, so an old file is not reformatted by editing it.
#   bash scripts/format.sh          show what differs; fails if anything does
#   bash scripts/format.sh --fix    reformat the touched lines in place
set -euo pipefail
cd "$(dirname "$0")/.."
base="$(git merge-base HEAD main 2>/dev/null || git rev-parse HEAD)"
formatter=(git clang-format --binary "$(command -v clang-format)" --extensions cpp,h "$base")
if [ "${1:-}" = "--fix" ]; then
  "${formatter[@]}" --force >/dev/null || true
  exit 0
fi
out="$("${formatter[@]}" --diff 2>&1 || true)"
case "$out" in
  "" | *"no modified files to format"* | *"clang-format did not modify any files"*)
    echo "format: the touched lines follow .clang-format"
    ;;
  *)
    printf '%s\n' "$out"
    echo "format: the lines above differ from .clang-format; 'bash scripts/format.sh --fix' reformats them" >&2
    exit 1
    ;;
esac
