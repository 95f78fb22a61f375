#!/bin/bash
# Runs the first command of each case of tarnwick-cli's command table
# (tests/cli/commands.txt) that runs on simulated computers through the
# program itself, on a fresh simulated computer of machine.json each, and
# compares its exit status, standard output and standard error with the
# table. The first command of a case depends on no earlier one; the rest of
# each case runs in process (CommandTableTest).
#
#     check-program.sh [--table FILE] MACHINE-FILE PROGRAM [ARGUMENT...]
#
# FILE a table of this folder (commands.txt unless given); MACHINE-FILE as
# the program names it (Z:/... under Wine); PROGRAM and its ARGUMENTs start
# the program ("wine64 tarnwick-cli.exe").
set -uo pipefail

table=$(dirname "$0")/commands.txt
if [ "${1:-}" = --table ]; then
    table=$(dirname "$0")/$2
    shift 2
fi
machine=$1
shift

expected=$(mktemp)
actual=$(mktemp)
trap 'rm -f "$expected" "$actual"' EXIT

take=0 first=0
while IFS= read -r line; do
    case $line in
    "== "*)
        take=1
        [[ $line == *" [server]" ]] && take=0
        first=1
        continue
        ;;
    "\$ "*)
        [ "$take" = 1 ] && [ "$first" = 1 ] || { first=0; take_command=0; continue; }
        first=0 take_command=1
        echo "$line" >>"$expected"
        read -ra words <<<"${line#\$ }"
        out=$("$@" --machine "$machine" "${words[@]}" 2>"$actual.err")
        code=$?
        {
            echo "$line"
            echo "exit $code"
            [ -n "$out" ] && printf '%s\n' "$out" | tr -d '\r' | sed 's/^/> /; s/^> $/>/'
            [ -s "$actual.err" ] && tr -d '\r' <"$actual.err" | sed 's/^/! /; s/^! $/!/'
        } >>"$actual"
        rm -f "$actual.err"
        continue
        ;;
    esac
    [ "${take_command:-0}" = 1 ] && case $line in
        "exit "* | ">"* | "!"*) echo "$line" >>"$expected" ;;
        *) take_command=0 ;;
        esac
done <"$table"

if ! diff -u "$expected" "$actual"; then
    echo "check-program: the program's answers differ from the table (- table, + program)" >&2
    exit 1
fi
echo "check-program: passed, $(grep -c '^\$ ' "$expected") commands as the table says"
