#!/usr/bin/env bash
# Runs the Windows build under Wine: tarnwick-win32-tests.exe (the real
# platform backend, the Win32 window, the program's resources), then a smoke
# start of Tarnwick.exe with a screenshot, closed again through its window.
#
#   tests/wine/run-wine-tests.sh [build-dir] [screenshot.png]
#
# build-dir defaults to build/windows-x64 (cmake --preset windows-x64); the
# screenshot goes to <build-dir>/tarnwick-wine.png unless named. Needs wine
# (64-bit), xvfb-run and ImageMagick's import. Uses a throw-away Wine prefix.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../../build/windows-x64}" && pwd)
shot=${2:-$build/tarnwick-wine.png}
bin=$build/bin

for tool in wine wineboot wineserver xvfb-run import timeout; do
    command -v "$tool" >/dev/null || { echo "run-wine-tests: needs $tool" >&2; exit 2; }
done
for exe in tarnwick-win32-tests.exe Tarnwick.exe; do
    [ -f "$bin/$exe" ] || { echo "run-wine-tests: no $bin/$exe; build the windows-x64 preset" >&2; exit 2; }
done

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-wine.XXXXXX")
log=$(mktemp "${TMPDIR:-/tmp}/tarnwick-wine-log.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: they would wait for a click that never comes.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$log"
}
trap cleanup EXIT

fail() {
    echo "run-wine-tests: $*" >&2
    tail -n 40 "$log" >&2 || true
    exit 1
}

# A fresh prefix (about a minute the first time on a slow machine).
timeout 300 wineboot -i >>"$log" 2>&1 || fail "wineboot -i failed"
# One virtual desktop: Xvfb has no window manager, and without one Wine waits
# for every window it hides or destroys.
timeout 60 wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$log" 2>&1
timeout 60 wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
    >>"$log" 2>&1
timeout 60 wineserver -w || true

echo "tarnwick-win32-tests.exe"
status=0
# --gtest_brief: only failures and the summary.
timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" \
    wine "$bin/tarnwick-win32-tests.exe" --gtest_brief=1 2>>"$log" || status=$?
if [ "$status" -ne 0 ]; then
    echo "run-wine-tests: tests failed (exit $status)" >&2
    tail -n 20 "$log" >&2
fi

echo "Tarnwick.exe: start, screenshot, close"
smoke=0
# Inside one X server: start, let it settle, look, close through WM_CLOSE,
# and require a clean exit.
timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wine "$1" >>"$3" 2>&1 &
    program=$!
    sleep 10
    if ! kill -0 "$program" 2>/dev/null; then
        echo "Tarnwick.exe ended during start-up" >&2
        exit 1
    fi
    import -window root "$2" || exit 1
    timeout 30 wine taskkill /im Tarnwick.exe >>"$3" 2>&1
    for _ in $(seq 1 30); do
        kill -0 "$program" 2>/dev/null || break
        sleep 1
    done
    if kill -0 "$program" 2>/dev/null; then
        echo "Tarnwick.exe did not close" >&2
        exit 1
    fi
    wait "$program"
' _ "$bin/Tarnwick.exe" "$shot" "$log" 2>>"$log" || smoke=$?
if [ "$smoke" -ne 0 ]; then
    fail "smoke start failed (exit $smoke)"
fi
echo "screenshot: $shot"
exit "$status"
