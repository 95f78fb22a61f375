#!/usr/bin/env bash
# Checks the Windows packages of the MinGW builds as a user gets them, for
# each build folder (default: build/windows-x86 and build/windows-x64, after
# `cmake --build --preset windows-x86 --target package` and the same for x64):
#
#   - the zip Tarnwick-VERSION-ARCH.zip lists exactly the programs the build
#     ships (<build>/package-programs.txt: Tarnwick.exe, and tarnwick-cli.exe
#     where the build has it), 1031.loc and ReadMe.txt in one folder of its
#     name; they are the built programs, the language file of the repository
#     and a ReadMe (CR LF) that names the version, how to add a language
#     file, and tarnwick-cli when it is there;
#   - each program is one file for the architecture (Tarnwick.exe a GUI
#     program, tarnwick-cli.exe a console one), needing only Windows' own
#     DLLs (no MinGW runtime beside it);
#   - the installer Tarnwick-VERSION-ARCH-setup.exe and Tarnwick.exe carry the
#     version in their version information, file and product version alike.
#
#   tests/packaging/check-windows-packages.sh [build-dir...]
#
# VERSION is resources/version.cmake's. Exits 0 only when everything holds.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(cmake -P "$root/tests/packaging/PrintVersion.cmake")
[ $# -gt 0 ] || set -- "$root/build/windows-x86" "$root/build/windows-x64"

failures=0
fail() {
    echo "  FAILED: $*"
    failures=$((failures + 1))
}

# The file and product version of the first VS_FIXEDFILEINFO in a PE file,
# as a.b.c.d each ("file product").
fixed_versions() {
    local at
    at=$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE' "$1" | head -n 1 | cut -d: -f1)
    [ -n "$at" ] || return 1
    # Each version is two DWORDs, most significant first, of two words each.
    od -An -tu2 -j $((at + 8)) -N 16 "$1" |
        awk '{ printf "%d.%d.%d.%d %d.%d.%d.%d\n", $2, $1, $4, $3, $6, $5, $8, $7 }'
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-packages.XXXXXX")
trap 'rm -rf "$work"' EXIT

for build in "$@"; do
    build=$(cd "$build" && pwd)
    [ -f "$build/package-programs.txt" ] ||
        { fail "no $build/package-programs.txt: configure the build again"; continue; }
    mapfile -t programs <"$build/package-programs.txt"
    if [ -f "$build/bin/Tarnwick.exe" ] && file "$build/bin/Tarnwick.exe" | grep -q 'PE32+'; then
        arch=win64 pe='PE32+ executable (%s) x86-64'
    else
        arch=win32 pe='PE32 executable (%s) Intel 80386'
    fi
    name=Tarnwick-$version-$arch
    zip=$build/packages/$name.zip
    setup=$build/packages/$name-setup.exe
    echo "$arch: $(basename "$zip"), $(basename "$setup")"
    for f in "$zip" "$setup"; do
        [ -f "$f" ] || fail "no $f (cmake --build --preset ... --target package)"
    done
    if [ ! -f "$zip" ] || [ ! -f "$setup" ]; then
        continue
    fi

    # What the zip lists, as unzip would show it.
    listing=$(cmake -E tar tf "$zip" | LC_ALL=C sort)
    expected=$({
        printf '%s\n' "$name/1031.loc" "$name/ReadMe.txt"
        for program in "${programs[@]}"; do echo "$name/$(basename "$program")"; done
    } | LC_ALL=C sort)
    echo "$listing" | sed 's/^/    /'
    [ "$(echo "$listing" | grep -v '/$')" = "$expected" ] ||
        fail "the zip lists other files than $(echo "$expected" | tr '\n' ' ')"

    rm -rf "${work:?}/$arch" && mkdir -p "$work/$arch"
    (cd "$work/$arch" && cmake -E tar xf "$zip")
    unpacked=$work/$arch/$name
    cmp -s "$unpacked/1031.loc" "$root/resources/languages/1031.loc" ||
        fail "the zip's 1031.loc is not resources/languages/1031.loc"
    readme=$unpacked/ReadMe.txt
    grep -q "$version" "$readme" || fail "ReadMe.txt does not name $version"
    grep -q '1031.loc' "$readme" || fail "ReadMe.txt does not say how to add a language file"
    [ "$(grep -c $'\r$' "$readme")" -eq "$(wc -l <"$readme")" ] ||
        fail "ReadMe.txt has lines without CR LF"

    for program in "${programs[@]}"; do
        exe=$(basename "$program")
        cmp -s "$unpacked/$exe" "$program" || fail "the zip's $exe is not the built one"
        case $exe in
        Tarnwick.exe) subsystem=GUI ;;
        *)
            subsystem=console
            grep -q "${exe%.exe}" "$readme" || fail "ReadMe.txt does not say what $exe is for"
            ;;
        esac
        # shellcheck disable=SC2059 # the format is ours
        want=$(printf "$pe" "$subsystem")
        file "$unpacked/$exe" | grep -qF "$want" || fail "$exe is not a $want"

        # Windows' own DLLs only: no MinGW runtime to ship beside it.
        dlls=$(x86_64-w64-mingw32-objdump -p "$unpacked/$exe" | sed -n 's/^\s*DLL Name: //p' |
               tr '[:upper:]' '[:lower:]' | LC_ALL=C sort -u | tr '\n' ' ')
        echo "    $exe needs: $dlls"
        for dll in $dlls; do
            case $dll in
            kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | advapi32.dll | netapi32.dll | \
                shell32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | oleacc.dll | uxtheme.dll | \
                version.dll) ;;
            *) fail "$exe needs $dll, which Windows does not bring" ;;
            esac
        done
    done

    for exe in "$unpacked/Tarnwick.exe" "$setup"; do
        versions=$(fixed_versions "$exe" || echo "none")
        echo "    $(basename "$exe"): file and product version $versions"
        [ "$versions" = "$version $version" ] || fail "$(basename "$exe") is not version $version"
    done
done

if [ "$failures" -ne 0 ]; then
    echo "check-windows-packages: $failures check(s) failed" >&2
    exit 1
fi
echo "Windows packages: all checks passed"
