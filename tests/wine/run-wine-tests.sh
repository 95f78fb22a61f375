#!/usr/bin/env bash
# Runs the Windows build under Wine, in a throw-away Wine prefix inside a
# throw-away X server (Xvfb), one stage after the other:
#
#   1. tarnwick-win32-tests.exe: the real platform backend against Wine's own
#      registry, message table, version, names, window system and uxtheme; the
#      Win32 window driven by real window messages; the manifest, version
#      information and icon read back from the built Tarnwick.exe; the
#      program's window at 96 to 192 dpi (every caption fits in its font);
#      then its resolution tests once more with Wine's LogPixels at 144, the
#      resolution a real monitor at 150 % gives the window;
#   2. tarnwick-scenario.exe --toolkit win32: every scenario under
#      tests/scenarios through the program's real Win32 window on the
#      simulated platform; then once --toolkit headless (the model alone);
#   3. Tarnwick.exe: a smoke start on the real (Wine) platform: it must start,
#      show its window (screenshot) and close cleanly through its window;
#   4. with TW_WINE_INSTALLER=Tarnwick-VERSION-win64-setup.exe: the installer
#      installs silently, the installed Tarnwick.exe starts as in 3., the
#      uninstaller removes it silently (tests/packaging/wine-installer.sh);
#   5. tarnwick-list-bench.exe: figures of the user list of a large server
#      through the Win32 window (printed, never judged).
#
#   tests/wine/run-wine-tests.sh [build-dir] [screenshot.png]
#
# build-dir defaults to build/windows-x64 (cmake --preset windows-x64 and
# cmake --build --preset windows-x64); the screenshot goes to
# <build-dir>/tarnwick-wine.png unless named, Wine's log to
# <build-dir>/wine-tests.log. Prints one line per stage, and on a failure what
# failed; exits 0 only when every stage passed.
#
# Needs 64-bit Wine (the `wine` command, or Debian's wine64 package alone:
# then /usr/lib/wine/wine64 is used; WINE and WINESERVER override both),
# xvfb-run, ImageMagick's import and Wine's own fonts (fonts-wine: Tahoma,
# the dialog font's metrics; TW_WINE_FONTS names their folder).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build/windows-x64}" && pwd)
shot=${2:-$build/tarnwick-wine.png}
case $shot in
/*) ;;
*) shot=$PWD/$shot ;;
esac
bin=$build/bin

need() {
    echo "run-wine-tests: $*" >&2
    exit 2
}

for tool in xvfb-run import timeout; do
    command -v "$tool" >/dev/null || need "needs $tool"
done
for exe in tarnwick-win32-tests.exe tarnwick-scenario.exe Tarnwick.exe; do
    [ -f "$bin/$exe" ] || need "no $bin/$exe; build the windows-x64 preset"
done

if [ -z "${TW_WINE_TESTS_DISPLAY:-}" ]; then
    # Everything in one X server of its own: nothing appears on the user's
    # screen, and Wine's desktop lives exactly as long as the tests. Big
    # enough for the window at 192 dpi (1240 x 840 pixels inside).
    export TW_WINE_TESTS_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" "$0" "$build" "$shot"
fi

# --- Wine, in a prefix of its own ---

# The `wine` command; where only Debian's wine64 package is installed, its
# 64-bit loader and server themselves.
WINE=${WINE:-$(command -v wine || echo /usr/lib/wine/wine64)}
WINESERVER=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
[ -x "$WINE" ] || need "needs wine (64-bit): install wine64"
[ -x "$WINESERVER" ] || need "needs wineserver: install wine64"
[ "$(basename "$WINE")" = wine64 ] && export WINELOADER=${WINELOADER:-$WINE}
export WINESERVER

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-wine.XXXXXX")
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers: they would wait for a click that never comes.
export WINEDLLOVERRIDES="mscoree,mshtml="
log=$build/wine-tests.log
: >"$log"
out=$(mktemp "${TMPDIR:-/tmp}/tarnwick-wine-out.XXXXXX")
err=$(mktemp "${TMPDIR:-/tmp}/tarnwick-wine-err.XXXXXX")
cleanup() {
    timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$out" "$err"
}
trap cleanup EXIT

failures=0

# One stage: `stage TITLE SECONDS COMMAND...`. Its output goes to the log; the
# console gets one line, and on a failure the stage's own report (failed tests
# and scenarios) and the end of what Wine said meanwhile.
stage() {
    local title=$1 limit=$2
    shift 2
    local start=$SECONDS code=0
    timeout "$limit" "$@" >"$out" 2>"$err" || code=$?
    # A program that failed without a word never ran: Wine now and then
    # fails to start one while the previous program's processes wind down.
    # Once more, and the log says so; a failure that speaks is never retried.
    if [ "$code" -ne 0 ] && [ "$code" -ne 124 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
        echo "=== $title: exit $code without output; started again" >>"$log"
        sleep 3
        code=0
        timeout "$limit" "$@" >"$out" 2>"$err" || code=$?
    fi
    local took=$((SECONDS - start))
    {
        echo "=== $title (exit $code, ${took}s)"
        cat "$out" "$err"
    } >>"$log"
    if [ "$code" -eq 0 ]; then
        printf '  %-34s %4ds  %s\n' "$title" "$took" \
            "$(grep -E 'passed|PASSED|closed' "$out" | tail -n 1)"
        return 0
    fi
    failures=$((failures + 1))
    printf '  %-34s %4ds  FAILED (exit %d%s)\n' "$title" "$took" "$code" \
        "$([ "$code" -eq 124 ] && echo ", timed out after ${limit}s")"
    grep -vE '^(PASS |Running main)' "$out" | tail -n 60 | sed 's/^/    /' || true
    if [ -s "$err" ]; then
        echo "    --- Wine said (end):"
        tail -n 15 "$err" | sed 's/^/    /'
    fi
    return 0
}

# Wine's own Tahoma, which "MS Shell Dlg 2" stands for: Debian's fonts-wine
# puts it in Wine's data folder, which this Wine does not read fonts from,
# so the prefix gets it in its Fonts folder. Without it Wine draws the
# dialog font in whatever fontconfig offers, with other widths.
fonts=${TW_WINE_FONTS:-/usr/share/wine/fonts}
[ -f "$fonts/tahoma.ttf" ] || need "no Wine Tahoma in $fonts: install fonts-wine (tools/install-deps)"

prefix() {
    # About a minute the first time on a slow machine.
    "$WINE" wineboot -i || return
    cp "$fonts"/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" || return
    # One virtual desktop: Xvfb has no window manager, and without one Wine
    # waits for every window it hides or destroys.
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f &&
        "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1600x1200 /f &&
        "$WINESERVER" -w
}

# Inside the X server: start, let it settle, look, close through WM_CLOSE
# (taskkill without /f), and require a clean exit.
smoke() {
    "$WINE" "$bin/Tarnwick.exe" >&2 &
    local program=$!
    sleep 10
    if ! kill -0 "$program" 2>/dev/null; then
        echo "Tarnwick.exe ended during start-up"
        wait "$program" || echo "exit code $?"
        return 1
    fi
    timeout 60 import -window root "$shot" || return 1
    echo "screenshot: $shot"
    timeout 30 "$WINE" taskkill /im Tarnwick.exe
    for _ in $(seq 1 30); do
        kill -0 "$program" 2>/dev/null || break
        sleep 1
    done
    if kill -0 "$program" 2>/dev/null; then
        echo "Tarnwick.exe did not close"
        kill "$program" 2>/dev/null
        return 1
    fi
    wait "$program" && echo "started, showed its window, closed cleanly"
}

# The window at the resolution Wine's LogPixels setting gives the screen,
# as a real monitor's scale does; back to 96 after.
at_resolution() {
    local dpi=$1
    shift
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null &&
        "$WINESERVER" -w || return
    local code=0
    TW_EXPECT_DPI=$dpi "$@" || code=$?
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
    "$WINESERVER" -w
    return "$code"
}

# The stages run in a shell of their own, under a time limit.
cli_registry() {
    local cli=$bin/tarnwick-cli.exe said
    said=$("$WINE" "$cli" expiry-warning set 7 2>&1) || {
        echo "expiry-warning set 7: $said"
        return 1
    }
    said=$("$WINE" "$cli" expiry-warning show --json | tr -d '\r')
    [ "$said" = '{"days":7}' ] || {
        echo "expiry-warning show --json: $said"
        return 1
    }
    said=$("$WINE" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Winlogon' \
        /v PasswordExpiryWarning | tr -d '\r')
    [[ $said == *REG_DWORD*0x7* ]] || {
        echo "the registry holds: $said"
        return 1
    }
    echo "expiry warning written to Wine's registry and read back: passed"
}

export -f prefix smoke at_resolution cli_registry
export WINE bin shot fonts

echo "Wine $("$WINE" --version 2>/dev/null), prefix $WINEPREFIX"
stage "Wine prefix" 300 bash -c prefix
if [ "$failures" -ne 0 ]; then
    exit 1
fi

stage "tarnwick-win32-tests.exe" 600 "$WINE" "$bin/tarnwick-win32-tests.exe" --gtest_brief=1
stage "tarnwick-win32-tests.exe, 144 dpi" 300 bash -c 'at_resolution 144 "$WINE" \
    "$bin/tarnwick-win32-tests.exe" --gtest_brief=1 --gtest_filter="MonitorResolution.*:Win32/AtScale.*"'

# Relative paths from the repository: Wine hands them to the program as they
# are, and they name the same files on Z: (the root folder).
cd "$root"
mapfile -t scenarios < <(find tests/scenarios -name '*.json' | LC_ALL=C sort)
[ "${#scenarios[@]}" -gt 0 ] || need "no scenario files under $root/tests/scenarios"
stage "scenarios --toolkit win32" 600 "$WINE" "$bin/tarnwick-scenario.exe" --toolkit win32 \
    "${scenarios[@]}"
stage "scenarios --toolkit headless" 600 "$WINE" "$bin/tarnwick-scenario.exe" \
    --toolkit headless "${scenarios[@]}"

stage "Tarnwick.exe smoke start" 180 bash -c smoke

# tarnwick-cli.exe itself: each case's first command of its table on a
# simulated computer, and the expiry warning in Wine's own registry.
stage "tarnwick-cli.exe, command table" 300 tests/cli/check-program.sh tests/cli/machine.json \
    "$WINE" "$bin/tarnwick-cli.exe"
stage "tarnwick-cli.exe, German table" 120 tests/cli/check-program.sh --table german.txt \
    tests/cli/machine-german.json "$WINE" "$bin/tarnwick-cli.exe"
stage "tarnwick-cli.exe, expiry warning" 120 bash -c cli_registry

# The x64 installer, when TW_WINE_INSTALLER names it (tools/test-all does,
# after the package build): silent install, the installed program's start,
# silent uninstall (tests/packaging/wine-installer.sh).
if [ -n "${TW_WINE_INSTALLER:-}" ]; then
    stage "installer /S, start, uninstall /S" 300 "$root/tests/packaging/wine-installer.sh" \
        "$TW_WINE_INSTALLER" "$build/tarnwick-installed.png"
fi

# Figures, not a test: the user list of a large server through the Win32
# window beside the model alone (bench/ListBench.cpp). It fails only if the
# list does not fill.
if [ -f "$bin/tarnwick-list-bench.exe" ]; then
    stage "list benchmark (figures)" 300 "$WINE" "$bin/tarnwick-list-bench.exe" --runs 3
    sed -n '/^=== list benchmark/,/^===/p' "$log" | grep -vE '^===' | sed 's/^/    /'
fi

if [ "$failures" -ne 0 ]; then
    echo "run-wine-tests: $failures stage(s) failed; Wine's log: $log" >&2
    exit 1
fi
