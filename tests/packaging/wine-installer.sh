#!/usr/bin/env bash
# The Windows installer under Wine, as an administrator uses it: a stage of
# tests/wine/run-wine-tests.sh (its Wine, prefix and X server, its `smoke`
# start), which runs it when TW_WINE_INSTALLER names the x64 installer.
#
#   1. `Tarnwick-VERSION-win64-setup.exe /S` installs without a window into
#      C:\Program Files\Tarnwick exactly Tarnwick.exe (the built one),
#      1031.loc, ReadMe.txt and Uninstall.exe, the Start-menu shortcut for
#      all users, and the uninstall entry with the version;
#   2. the installed Tarnwick.exe starts, shows its window (screenshot) and
#      closes cleanly, as the smoke start does;
#   3. `Uninstall.exe /S` removes the folder, the shortcut and the entry.
#
#   wine-installer.sh INSTALLER SCREENSHOT   (with WINE, WINEPREFIX, bin from
#                                            run-wine-tests.sh)
set -uo pipefail
: "${WINE:?}" "${WINEPREFIX:?}" "${bin:?the folder of the built Tarnwick.exe}"
installer=$(realpath "$1")
shot=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(cmake -P "$root/tests/packaging/PrintVersion.cmake")
# No menu entries of the user's desktop for the shortcut.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};winemenubuilder.exe=d"

folder="$WINEPREFIX/drive_c/Program Files/Tarnwick"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brenholt.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# --- 1. install ---
"$WINE" "$installer" /S || fail "the installer ended with $?"
files=$(cd "$folder" 2>/dev/null && ls | LC_ALL=C sort | tr '\n' ' ')
echo "installed: $files"
[ "$files" = "1031.loc ReadMe.txt Tarnwick.exe Uninstall.exe " ] ||
    fail "C:\\Program Files\\Tarnwick holds \"$files\""
cmp -s "$folder/Tarnwick.exe" "$bin/Tarnwick.exe" || fail "the installed Tarnwick.exe is not the built one"
[ -f "$shortcut" ] || fail "no Start-menu shortcut Brenholt.lnk"
grep -aq 'Tarnwick.exe' "$shortcut" 2>/dev/null || fail "the shortcut does not point to Tarnwick.exe"
entry=$("$WINE" reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r')
echo "uninstall entry: $(echo "$entry" | grep DisplayVersion | xargs)"
echo "$entry" | grep -q "REG_SZ *$version\$" || fail "the uninstall entry's version is not $version"

# --- 2. the installed program ---
if [ -f "$folder/Tarnwick.exe" ]; then
    bin=$folder shot=$shot smoke || fail "the installed Tarnwick.exe did not start and close"
fi

# --- 3. uninstall: the uninstaller runs from a copy of itself, so wait for
# the folder to go. ---
"$WINE" "$folder/Uninstall.exe" /S || fail "the uninstaller ended with $?"
for _ in $(seq 1 60); do
    [ -e "$folder" ] || break
    sleep 1
done
[ -e "$folder" ] && fail "left after uninstall: $(ls -A "$folder" | tr '\n' ' ')"
[ -e "$shortcut" ] && fail "the shortcut is left after uninstall"
"$WINE" reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left after uninstall"

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "installer checks passed: installed, started, closed, uninstalled"
