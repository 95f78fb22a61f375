#!/usr/bin/env bash
# Screenshots of the Win32 window under Wine at several resolutions (Wine's
# LogPixels), for docs/: tarnwick-demo.exe (the program's window on the
# simulated demo machine), with the focus tabbed into the first policy field
# so that the spinner shows, cropped to the window.
#
#   tests/wine/take-screenshots.sh [build-dir] [out-dir] [dpi...]
#
# build-dir defaults to build/windows-x64, out-dir to docs, the resolutions
# to 96 144 192; writes <out-dir>/screenshot-win32-<dpi>.png. Needs what
# run-wine-tests.sh needs, and xdotool.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build/windows-x64}" && pwd)
out=$(cd "${2:-$root/docs}" && pwd)
resolutions=(96 144 192)
[ $# -gt 2 ] && resolutions=("${@:3}")
demo=$build/bin/tarnwick-demo.exe
[ -f "$demo" ] || { echo "no $demo; build the windows-x64 preset" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "needs xdotool" >&2; exit 2; }

if [ -z "${TW_SCREENSHOTS_DISPLAY:-}" ]; then
    export TW_SCREENSHOTS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$0" "$build" "$out" \
        "${resolutions[@]}"
fi

WINE=${WINE:-$(command -v wine || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
[ "$(basename "$WINE")" = wine64 ] && export WINELOADER=${WINELOADER:-$WINE}
export WINESERVER
fonts=${TW_WINE_FONTS:-/usr/share/wine/fonts}
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-shots.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shot=$(mktemp "${TMPDIR:-/tmp}/tarnwick-shot.XXXXXX.png")
cleanup() {
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$shot"
}
trap cleanup EXIT

"$WINE" wineboot -i >/dev/null 2>&1
cp "$fonts"/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1200 /f >/dev/null 2>&1
"$WINESERVER" -w

for dpi in "${resolutions[@]}"; do
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1
    "$WINESERVER" -w
    USERNAME=alice COMPUTERNAME=WS01 "$WINE" "$demo" >/dev/null 2>&1 &
    program=$!
    sleep 10
    # Wine's desktop is one X window; the keys go to the program's window.
    desktop=$(xdotool search --name 'Wine desktop' | head -n 1)
    xdotool windowfocus --sync "$desktop" 2>/dev/null || true
    # From the target option through the user list and the five check boxes
    # that take the focus to the maximum password age.
    for _ in 1 2 3 4 5 6 7; do
        xdotool key Tab
        sleep 0.3
    done
    sleep 1
    import -window root "$shot"
    # The desktop's colour around the window goes.
    convert "$shot" -trim +repage "$out/screenshot-win32-$dpi.png"
    echo "$out/screenshot-win32-$dpi.png"
    kill "$program" 2>/dev/null || true
    "$WINESERVER" -k >/dev/null 2>&1 || true
    wait "$program" 2>/dev/null || true
done
