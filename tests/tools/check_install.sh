#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what arrived there:
# the program runs, the desktop entry passes desktop-file-validate and the
# AppStream metadata passes appstreamcli validate (both from
# scripts/install-deps.sh). Usage: check_install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2

for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null; then
        echo "missing $tool: run scripts/install-deps.sh" >&2
        exit 1
    fi
done

prefix=$(mktemp -d "${TMPDIR:-/tmp}/orbisto-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

status=0
expect() {
    if [[ ! -f $prefix/$1 ]]; then
        echo "not installed: $1" >&2
        status=1
    fi
}
expect bin/orbisto
expect share/applications/orbisto.desktop
expect share/icons/hicolor/scalable/apps/orbisto.svg
expect share/metainfo/io.orbisto.Orbisto.metainfo.xml
expect share/orbisto/help/index.html
((status == 0)) || exit 1

"$prefix/bin/orbisto" --version >/dev/null || { echo "the installed program does not run" >&2; exit 1; }

desktop-file-validate "$prefix/share/applications/orbisto.desktop" || status=1
grep -qx 'Exec=orbisto' "$prefix/share/applications/orbisto.desktop" ||
    { echo "the installed desktop entry does not start orbisto from PATH" >&2; status=1; }
appstreamcli validate --no-net "$prefix/share/metainfo/io.orbisto.Orbisto.metainfo.xml" || status=1
# The metadata names the installed desktop entry and program.
grep -q '<launchable type="desktop-id">orbisto.desktop</launchable>' \
    "$prefix/share/metainfo/io.orbisto.Orbisto.metainfo.xml" || status=1
exit $status
