#!/usr/bin/env bash
# The Windows installer under Wine, as an administrator uses it: a stage of
# tests/wine/run-wine-tests.sh (its Wine, prefix and X server, its `smoke`
# start), which runs it when TW_WINE_INSTALLER names the x64 installer.
#
#   1. `Tarnwick-VERSION-win64-setup.exe /S` installs without a window into
#      C:\Program Files\Tarnwick exactly the programs the build ships (the
#      built ones: Tarnwick.exe, and tarnwick-cli.exe where the build has it,
#      as <build>/package-programs.txt lists them), 1031.loc, ReadMe.txt and
#      Uninstall.exe, the Start-menu shortcut for all users, and the
#      uninstall entry with the version; the system PATH stays as it was;
#   2. the installed Tarnwick.exe starts, shows its window (screenshot) and
#      closes cleanly, as the smoke start does; the installed tarnwick-cli.exe
#      answers --version as the built one, and a command prompt does not
#      find it by name;
#   3. `Uninstall.exe /S` removes the folder, the shortcut and the entry;
#   4. with tarnwick-cli.exe: `/S /PATH` installs again and puts the folder
#      at the end of the system PATH, where a new command prompt finds
#      tarnwick-cli; `Uninstall.exe /S` takes it off, and leaves the rest of
#      the PATH as it was (a folder the user added after it too).
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
windows_folder='C:\Program Files\Tarnwick'
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brenholt.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# The programs the packages ship, as the build made them.
programs_list=$bin/../package-programs.txt
[ -f "$programs_list" ] || { echo "no $programs_list: configure the build again"; exit 1; }
mapfile -t programs <"$programs_list"
cli="" want=""
for program in "${programs[@]}"; do
    [ "$(basename "$program")" = tarnwick-cli.exe ] && cli=$program
done
expected=$({
    printf '%s\n' 1031.loc ReadMe.txt Uninstall.exe
    for program in "${programs[@]}"; do basename "$program"; done
} | LC_ALL=C sort | tr '\n' ' ')

# The system PATH as the registry holds it.
system_path() {
    "$WINE" reg query "$environment" /v Path 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *Path *REG_[A-Z_]*SZ *//p'
}

# `install [OPTION...]`: the installer with /S and the options; then what it
# installed.
install() {
    "$WINE" "$installer" /S "$@" || fail "the installer ($*) ended with $?"
    local files
    files=$(cd "$folder" 2>/dev/null && ls | LC_ALL=C sort | tr '\n' ' ')
    echo "installed ($*): $files"
    [ "$files" = "$expected" ] || fail "C:\\Program Files\\Tarnwick holds \"$files\", not \"$expected\""
    for program in "${programs[@]}"; do
        cmp -s "$folder/$(basename "$program")" "$program" ||
            fail "the installed $(basename "$program") is not the built one"
    done
}

# The uninstaller runs from a copy of itself: wait for the folder to go.
uninstall() {
    "$WINE" "$folder/Uninstall.exe" /S || fail "the uninstaller ended with $?"
    for _ in $(seq 1 60); do
        [ -e "$folder" ] || break
        sleep 1
    done
    [ -e "$folder" ] && fail "left after uninstall: $(ls -A "$folder" | tr '\n' ' ')"
    [ -e "$shortcut" ] && fail "the shortcut is left after uninstall"
    "$WINE" reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left after uninstall"
}

# What `tarnwick-cli --version` says in a new command prompt in C:\, where
# the program is not: nothing unless the PATH leads to it.
prompt_finds_cli() {
    (cd "$WINEPREFIX/drive_c" && "$WINE" cmd /c "tarnwick-cli --version" 2>/dev/null | tr -d '\r' |
        grep -i 'tarnwick')
}

path_before=$(system_path)
[ -n "$path_before" ] || fail "no system PATH in $environment"

# --- 1. install ---
install
[ -f "$shortcut" ] || fail "no Start-menu shortcut Brenholt.lnk"
grep -aq 'Tarnwick.exe' "$shortcut" 2>/dev/null || fail "the shortcut does not point to Tarnwick.exe"
entry=$("$WINE" reg query "$key" /v DisplayVersion 2>/dev/null | tr -d '\r')
echo "uninstall entry: $(echo "$entry" | grep DisplayVersion | xargs)"
echo "$entry" | grep -q "REG_SZ *$version\$" || fail "the uninstall entry's version is not $version"
[ "$(system_path)" = "$path_before" ] || fail "the PATH changed without /PATH: $(system_path)"

# --- 2. the installed programs ---
if [ -f "$folder/Tarnwick.exe" ]; then
    bin=$folder shot=$shot smoke || fail "the installed Tarnwick.exe did not start and close"
fi
if [ -n "$cli" ] && [ -f "$folder/tarnwick-cli.exe" ]; then
    got=$("$WINE" "$folder/tarnwick-cli.exe" --version 2>/dev/null | tr -d '\r')
    want=$("$WINE" "$cli" --version 2>/dev/null | tr -d '\r')
    echo "tarnwick-cli.exe --version: $got"
    [ -n "$got" ] && [ "$got" = "$want" ] ||
        fail "the installed tarnwick-cli.exe says \"$got\", the built one \"$want\""
    # Not on the PATH: a command prompt in another folder does not find it.
    [ -z "$(prompt_finds_cli)" ] || fail "a command prompt finds tarnwick-cli without /PATH"
fi

# --- 3. uninstall ---
uninstall
[ "$(system_path)" = "$path_before" ] || fail "the PATH changed after uninstall: $(system_path)"

# --- 4. /PATH: on the PATH while installed, and off it again after ---
if [ -n "$cli" ]; then
    install /PATH
    echo "PATH with /PATH: $(system_path)"
    [ "$(system_path)" = "$path_before;$windows_folder" ] ||
        fail "/PATH did not put $windows_folder at the end of the PATH"
    # A command prompt started now, in another folder, finds it by name.
    found=$(prompt_finds_cli)
    echo "tarnwick-cli from the PATH: $found"
    [ -n "$found" ] && [ "$found" = "$want" ] || fail "a command prompt does not find tarnwick-cli"
    # A folder the user put on the PATH since stays there.
    "$WINE" reg add "$environment" /v Path /t REG_EXPAND_SZ /f \
        /d "$path_before;$windows_folder;C:\Tools" >/dev/null 2>&1
    uninstall
    [ "$(system_path)" = "$path_before;C:\Tools" ] ||
        fail "the uninstaller left the PATH as \"$(system_path)\", not \"$path_before;C:\Tools\""
    "$WINE" reg add "$environment" /v Path /t REG_EXPAND_SZ /f /d "$path_before" >/dev/null 2>&1
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "installer checks passed: installed, started, closed, uninstalled$([ -n "$cli" ] && echo ", on the PATH and off it")"
