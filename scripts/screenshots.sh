#!/usr/bin/env bash
# Makes PNG screenshots of the window under Xvfb, over catalogues that the
# run scans itself from this source tree: the medium view, a search result,
# the media list and the medium sheet, in German and English, and the
# dialogs. Usage: scripts/screenshots.sh [OUTPUT_DIR] (default: screenshots/)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-screenshots}")
bash scripts/install-deps.sh
bash scripts/build.sh build -DORBISTO_TESTS=ON >/dev/null
mkdir -p "$out"
# The real X11 platform on a virtual screen, not the offscreen one.
ORBISTO_SCREENSHOTS="$out" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" \
    build/tests/tests_gui --gtest_filter='Screenshots.*:*Dialog*:*Sheet*:ThumbnailPreview.*' >/dev/null
ls "$out"/*.png
