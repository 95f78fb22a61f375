#!/usr/bin/env bash
# Checks the Debian package as a user meets it, on this machine:
#
#   1. lintian reports no error (its warnings, notes and pedantic and
#      experimental tags are printed);
#   2. `apt-get install ./tarnwick_VERSION-N_ARCH.deb` installs it with the
#      dependencies it computed;
#   3. the installed tarnwick answers --version with the built program's
#      version, opens its window (in a throw-away X server; screenshot) and
#      ends when told to, reads its German texts from the language file
#      beside it (past the link in /usr/bin); the desktop entry is valid and
#      its icons are PNGs of their sizes; the installed tarnwick-scenario
#      runs a scenario through the model and through the Qt widgets; where
#      the build ships tarnwick-cli (<build>/package-programs.txt), the
#      installed one answers --version as the built one, lists the accounts
#      of a machine description (all, the locked ones, as JSON) and refuses
#      a command with nothing to do with status 2, `man tarnwick-cli` is
#      found and formats without a warning, and bash completes its command
#      lines through bash-completion's loader (check-completion.sh);
#   4. `apt-get purge` removes it, and nothing it installed is left.
#
#   tests/packaging/check-deb.sh [build-dir]
#
# build-dir defaults to build/default, after `cmake --build --preset default
# --target package`. Needs root or sudo (apt-get); refuses to run where
# tarnwick is installed already, so that it never removes a user's copy.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/default}" && pwd)
version=$(cmake -P "$root/tests/packaging/PrintVersion.cmake")
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

debs=("$build"/packages/tarnwick_"$version"-*_"$(dpkg --print-architecture)".deb)
[ -f "${debs[0]}" ] || {
    echo "check-deb: no tarnwick_$version-*.deb in $build/packages" >&2
    exit 2
}
deb=${debs[-1]}
if dpkg-query -W -f='${Status}' tarnwick 2>/dev/null | grep -q "installed"; then
    echo "check-deb: tarnwick is installed on this machine; remove it first" >&2
    exit 2
fi

failures=0
fail() {
    echo "  FAILED: $*"
    failures=$((failures + 1))
}
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-deb.XXXXXX")
# Qt's runtime folder, gone with the rest.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
installed=""
cleanup() {
    [ -n "$installed" ] && $sudo apt-get purge -y -q tarnwick >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

echo "$(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"

# --- 1. lintian ---
if ! lintian --fail-on error -I --pedantic -E "$deb" >"$work/lintian" 2>&1; then
    fail "lintian reports errors"
fi
grep -v 'running with root privileges' "$work/lintian" | sed 's/^/    lintian: /' || true

# --- 2. install ---
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "$deb" >"$work/apt" 2>&1 ||
    { cat "$work/apt"; fail "apt-get install failed"; exit 1; }
installed=yes
dpkg-query -L tarnwick >"$work/files"

# --- 3. the installed programs ---
desktop-file-validate /usr/share/applications/tarnwick.desktop || fail "the desktop entry is not valid"
# The entry's icon, a PNG of each size the theme's folders name.
sizes=""
for png in /usr/share/icons/hicolor/*/apps/tarnwick.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    file "$png" | grep -q "PNG image data, ${size/x/ x }, 8-bit/color RGBA" ||
        fail "$png is not a ${size} RGBA PNG"
    sizes="$sizes ${size%%x*}"
done
echo "    icons:$sizes"
[ -f /usr/share/icons/hicolor/48x48/apps/tarnwick.png ] || fail "no 48 x 48 icon"
[ "$(command -v tarnwick)" = /usr/bin/tarnwick ] || fail "tarnwick is not /usr/bin/tarnwick"
got=$(tarnwick --version)
want=$("$build/hosts/tarnwick" --version)
echo "    tarnwick --version: $got"
[ "$got" = "$want" ] || fail "tarnwick --version says \"$got\", the built program \"$want\""

# The window, on the demo machine, in an X server of its own.
shot=$build/packages/tarnwick-installed.png
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash -c '
    tarnwick & program=$!
    sleep 5
    kill -0 $program 2>/dev/null || { echo "tarnwick ended during start-up"; exit 1; }
    import -window root "$1" || exit 1
    kill -TERM $program
    wait $program 2>/dev/null
    exit 0' bash "$shot" >"$work/window" 2>&1 ||
    { cat "$work/window"; fail "the installed tarnwick did not show its window"; }
[ -s "$shot" ] && echo "    window: $shot"

# The language file beside the program, found past the link in /usr/bin: in
# German, the sign-in dialog of --connect (asked before any call) is titled
# with 1031.loc's "Anmelden".
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" bash -c '
    env -u PASSWD -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8 \
        tarnwick --connect --local 127.0.0.1 -p 9 & program=$!
    for _ in $(seq 1 20); do
        titles=$(xwininfo -root -tree | grep -o "\"[^\"]*\": (\"tarnwick\"")
        [ -n "$titles" ] && break
        sleep 0.5
    done
    kill -TERM $program
    wait $program 2>/dev/null
    echo "$titles"' >"$work/german" 2>&1
echo "    German sign-in dialog: $(head -n 1 "$work/german")"
grep -q '^"Anmelden":' "$work/german" ||
    fail "tarnwick in German did not title its sign-in dialog from /usr/lib/tarnwick/1031.loc"

scenario=$root/tests/scenarios/startup/banner.json
for toolkit in headless qt; do
    out=$(QT_QPA_PLATFORM=offscreen tarnwick-scenario --toolkit $toolkit "$scenario" 2>&1) ||
        fail "tarnwick-scenario --toolkit $toolkit failed"
    echo "    tarnwick-scenario --toolkit $toolkit: $(echo "$out" | tr '\n' ' ')"
    echo "$out" | grep -q '^1 passed, 0 failed$' || fail "the scenario did not pass ($toolkit)"
done

# The console program, its manual page and its bash completion.
if grep -q '/tarnwick-cli$' "$build/package-programs.txt" 2>/dev/null; then
    [ "$(command -v tarnwick-cli)" = /usr/bin/tarnwick-cli ] || fail "tarnwick-cli is not /usr/bin/tarnwick-cli"
    got=$(tarnwick-cli --version 2>&1 || true)
    want=$("$(grep '/tarnwick-cli$' "$build/package-programs.txt")" --version 2>&1 || true)
    echo "    tarnwick-cli --version: $got"
    [ "$got" = "$want" ] || fail "tarnwick-cli --version says \"$got\", the built program \"$want\""
    # Two accounts of the simulated computer WS01, one of them locked out.
    cat >"$work/machine.json" <<'MACHINE'
{"computers": {"WS01": {"accounts": [{"name": "alice", "flags": 513},
                                     {"name": "locked", "flags": 529}]}}}
MACHINE
    accounts=$(tarnwick-cli --machine "$work/machine.json" user list 2>&1 | tr '\n' ' ' || true)
    locked=$(tarnwick-cli --machine "$work/machine.json" user list --locked 2>&1 | tr '\n' ' ' || true)
    json=$(tarnwick-cli --machine "$work/machine.json" user list --json 2>&1 | tr -d ' \n' || true)
    echo "    tarnwick-cli user list: ${accounts% }; --locked: ${locked% }; --json: $json"
    [ "$accounts" = "alice locked " ] || fail "tarnwick-cli user list did not list alice and locked"
    [ "$locked" = "locked " ] || fail "tarnwick-cli user list --locked did not list locked alone"
    [[ $json == '[{"name":"alice",'*'{"name":"locked",'*']' ]] ||
        fail "tarnwick-cli user list --json is not the array of the two accounts"
    code=0
    tarnwick-cli --machine "$work/machine.json" user set alice >/dev/null 2>&1 || code=$?
    [ "$code" -eq 2 ] || fail "tarnwick-cli user set with nothing to change ended with $code, not 2"
    # German from the language file beside the program, found past the link
    # on the PATH: a server that is not there, in German.
    said=$(LC_ALL=de_DE.UTF-8 tarnwick-cli --connect --local 127.0.0.1 -p 9 -U a%b policy show 2>&1 || true)
    echo "    tarnwick-cli in German: $said"
    [[ $said == *"Fehler 53."* ]] || fail "tarnwick-cli did not find its German language file"

    man -w tarnwick-cli >/dev/null 2>&1 || fail "man does not find tarnwick-cli's manual page"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z /usr/share/man/man1/tarnwick-cli.1.gz 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$warnings" | sed 's/^/    man: /'; fail "man tarnwick-cli warns"; }
    echo "    man tarnwick-cli: $(man -w tarnwick-cli 2>/dev/null)"
    "$root/tests/packaging/check-completion.sh" --installed | sed 's/^/    /' ||
        fail "bash does not complete tarnwick-cli as it should"
fi

# --- 4. purge: nothing of it is left ---
DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q tarnwick >"$work/apt" 2>&1 ||
    { cat "$work/apt"; fail "apt-get purge failed"; }
installed=""
dpkg-query -W -f='${Status}' tarnwick 2>/dev/null | grep -q "installed" &&
    fail "tarnwick is still installed"
left=0
while IFS= read -r path; do
    # Folders it shares with other packages stay; its own go.
    if [ -e "$path" ] || [ -L "$path" ]; then
        [ -d "$path" ] && [ ! -L "$path" ] && [ -n "$(dpkg-query -S "$path" 2>/dev/null)" ] && continue
        fail "left after purge: $path"
        left=$((left + 1))
    fi
done <"$work/files"
echo "    purged: $(grep -c . "$work/files") paths installed, $left left"

if [ "$failures" -ne 0 ]; then
    echo "check-deb: $failures check(s) failed" >&2
    exit 1
fi
echo "Debian package: all checks passed"
