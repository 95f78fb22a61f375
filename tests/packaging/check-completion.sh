#!/usr/bin/env bash
# Completes command lines of tarnwick-cli with its bash completion, as bash
# does on Tab, and compares what it offers with the table below.
#
#   tests/packaging/check-completion.sh [FILE]
#   tests/packaging/check-completion.sh --installed
#
# FILE defaults to the repository's resources/linux/tarnwick-cli.bash-completion,
# sourced on its own; --installed loads the installed one the way an
# interactive shell does, through bash-completion's loader (which finds it in
# /usr/share/bash-completion/completions/). Exits 0 only when every row holds.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source_file=${1:-$root/resources/linux/tarnwick-cli.bash-completion}

# A command line (the cursor at its end; words split at spaces, "=" a word
# of its own as bash splits --option=value), then what must be offered, in
# any order.
rows=(
    "tarnwick-cli |expiry-warning policy user"
    "tarnwick-cli u|user"
    "tarnwick-cli --c|--connect"
    "tarnwick-cli --v|--version"
    "tarnwick-cli --connect -k user |list set show"
    "tarnwick-cli --connect -p 4450 -U admin policy |set show"
    "tarnwick-cli user list --|--disabled --json --locked"
    "tarnwick-cli user list --locked |--disabled --json"
    "tarnwick-cli user show |"
    "tarnwick-cli user show alice |--json"
    "tarnwick-cli user set |"
    "tarnwick-cli user set alice --disabled |no yes"
    "tarnwick-cli user set alice --can-change y|yes"
    "tarnwick-cli user set alice --disabled yes --|--can-change --never-expires --password-required --unlock"
    "tarnwick-cli policy set --max-age |never"
    "tarnwick-cli policy set --min-age |"
    "tarnwick-cli policy set --min-length 7 --l|--lockout-duration --lockout-threshold --lockout-window"
    "tarnwick-cli policy show |--json"
    "tarnwick-cli expiry-warning |set show"
    "tarnwick-cli expiry-warning set |"
    "tarnwick-cli --machine ma|machine.json"
    "tarnwick-cli --machine = ma|machine.json"
    "tarnwick-cli --connect -A au|auth.conf"
    "tarnwick-cli --connect --authentication-file au|auth.conf"
    "tarnwick-cli --machine machine.json --server FILESRV user |list set show"
)

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-completion.XXXXXX")
trap 'rm -rf "$work"' EXIT
touch "$work/machine.json" "$work/auth.conf"
cd "$work" || exit 2

if [ "$source_file" = --installed ]; then
    loader=/usr/share/bash-completion/bash_completion
    [ -f "$loader" ] || { echo "check-completion: no $loader (bash-completion)" >&2; exit 2; }
    # shellcheck source=/dev/null
    source "$loader"
    __load_completion tarnwick-cli || { echo "check-completion: bash-completion does not find tarnwick-cli's" >&2; exit 1; }
else
    # shellcheck source=/dev/null
    source "$source_file"
fi
function=$(complete -p tarnwick-cli 2>/dev/null | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
[ -n "$function" ] || { echo "check-completion: no completion for tarnwick-cli" >&2; exit 1; }

failures=0
for row in "${rows[@]}"; do
    line=${row%%|*}
    want=${row#*|}
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$line
    COMP_POINT=${#line}
    COMPREPLY=()
    "$function" tarnwick-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    got=$(printf '%s\n' "${COMPREPLY[@]}" | grep -v '^$' | LC_ALL=C sort | tr '\n' ' ')
    got=${got% }
    if [ "$got" != "$want" ]; then
        echo "  FAILED: \"$line\" offers \"$got\", not \"$want\""
        failures=$((failures + 1))
    fi
done
if [ "$failures" -ne 0 ]; then
    echo "check-completion: $failures of ${#rows[@]} command lines completed wrongly" >&2
    exit 1
fi
echo "bash completion: ${#rows[@]} command lines completed as expected"
