#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop would see it: the
# launcher validates, the ".ixd" type is known by its name (and found by the launcher's type
# list), plain zips stay zips, and the installed program starts offscreen, opening a map.
#
#   check-install.sh <build folder> <source folder>
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > "$work/install.log" || fail "cmake --install"

desktop=$prefix/share/applications/ideaflux.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
for size in 16 32 48 128 256; do
  for icon in apps/ideaflux mimetypes/application-x-ideaflux-document; do
    [ -s "$prefix/share/icons/hicolor/${size}x${size}/$icon.png" ] || fail "no $size-point icon $icon"
  done
done

update-mime-database "$prefix/share/mime" > "$work/mime.log" 2>&1 || fail "update-mime-database"
update-desktop-database "$prefix/share/applications" > "$work/desktop.log" 2>&1 || fail "update-desktop-database"
export XDG_DATA_DIRS=$prefix/share:/usr/share
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache HOME=$work/home
mkdir -p "$HOME"
type=application/x-ideaflux-document

# A map as the program writes it, under a new name, and a zip that is no map.
cp "$source/tests/DocumentWindow/data/tree.ixd" "$work/generated.ixd"
(cd "$work" && printf 'text\n' > note.txt && zip -q other.zip note.txt)
found=$(xdg-mime query filetype "$work/generated.ixd")
[ "$found" = "$type" ] || fail "xdg-mime names '$found' for a .ixd, not $type"
found=$(xdg-mime query filetype "$work/other.zip")
[ "$found" = "application/zip" ] || fail "xdg-mime names '$found' for a plain zip"
found=$(xdg-mime query default "$type")
[ "$found" = "ideaflux.desktop" ] || fail "the default program for $type is '$found'"

# The installed program (not the build tree's) opens the map and shows its window.
export QT_QPA_PLATFORM=offscreen IX_SCREENSHOT=$work/shot.png IX_SCREENSHOT_DELAY=200
shown=$(timeout 60 "$prefix/bin/ideaflux" "$work/generated.ixd" 2> "$work/stderr.log") \
  || { cat "$work/stderr.log" >&2; fail "the installed program did not start and quit"; }
[ -s "$work/shot.png" ] || fail "no picture of the window"
[ "$shown" = "$work/generated.ixd" ] || fail "the window shows '$shown', not the map"
echo "installed tree checked"
