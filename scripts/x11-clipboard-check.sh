#!/bin/sh
# Runs the clipboard test that needs a real X display (copy to and paste from another
# program, xclip) under a virtual X server. Needs xvfb and xclip; the tests are built in
# build/ (ninja -C build DocumentWindowTests).
set -eu
build=${1:-build}
exec xvfb-run -a -s "-screen 0 1600x1200x24" env QT_QPA_PLATFORM=xcb \
  "$build/tests/DocumentWindowTests" --gtest_filter='X11ClipboardTest.*'
