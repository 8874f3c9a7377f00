#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of its own, made in a temporary folder and removed
# afterwards, never the user's ~/.wine: wine-run.sh PROGRAM.exe ARGUMENTS... Its status is the
# program's. WINE_RUN_PREFIX, where set, names a prefix to use (and keep) instead.
set -uo pipefail

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer at the prefix's start: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -n "${WINE_RUN_PREFIX:-}" ]; then
    export WINEPREFIX=$WINE_RUN_PREFIX
    own=
else
    own=$(mktemp -d "${TMPDIR:-/tmp}/embervane-wine.XXXXXX")
    export WINEPREFIX=$own
fi
finish() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -n "$own" ] || return
    # Wine keeps the prefix's server socket in a folder of the temporary folder's, named by the
    # prefix's device and inode: gone with the prefix.
    local server
    server=$(printf 'server-%s-%x' "$(stat -c %D "$own")" "$(stat -c %i "$own")")
    for folder in "${TMPDIR:-/tmp}"/wine-*/"$server"; do
        [ -d "$folder" ] && rm -rf "$folder" && rmdir "$(dirname "$folder")" 2>/dev/null
    done
    rm -rf "$own"
}
trap finish EXIT
trap : INT  # the program is interrupted too, as by a Ctrl-C in its terminal: its status is kept
trap "exit 143" TERM
wine "$@"
