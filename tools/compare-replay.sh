#!/bin/sh
# compare-replay.sh FILE [PGN-REPLAY]
#
# Replays every game of the PGN file FILE with pgn-replay (by default the
# release build's, build-release/pgn-replay) and with Debian's pgn-extract
# (-s -F: every move checked, the final position added as a FEN comment),
# in turn, RUNS times each (default 3), and prints a table of their wall
# times and the most memory each held.
#
# pgn-extract is installed here when it is missing, for the comparison only:
# the program does not use it. A test file of random legal games:
#   build-release/bench/bench_record --write-games=100000 games.pgn
set -eu

file=${1:-}
replay=${2:-build-release/pgn-replay}
runs=${RUNS:-3}
if [ -z "$file" ] || [ ! -f "$file" ]; then
    echo "usage: compare-replay.sh FILE [PGN-REPLAY]" >&2
    exit 2
fi
if [ ! -x "$replay" ]; then
    echo "compare-replay.sh: no $replay (cmake --preset release && cmake --build build-release --target pgn-replay)" >&2
    exit 2
fi
extract=$(command -v pgn-extract || echo /usr/games/pgn-extract)
if [ ! -x "$extract" ]; then
    echo "compare-replay.sh: installing pgn-extract for the comparison" >&2
    sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y pgn-extract >/dev/null
    extract=$(command -v pgn-extract || echo /usr/games/pgn-extract)
fi
if [ ! -x /usr/bin/time ]; then
    echo "compare-replay.sh: needs GNU time (apt-get install time)" >&2
    exit 2
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# measure NAME COMMAND...: RUNS runs; appends "NAME fastest median maxKiB".
measure() {
    name=$1
    shift
    : >"$tmp/runs"
    i=0
    while [ "$i" -lt "$runs" ]; do
        # Either tool may end with status 2 for a game it cannot replay.
        /usr/bin/time -f "%e %M" -o "$tmp/time" "$@" >/dev/null 2>&1 || true
        # (GNU time adds a line of its own when the status is not 0.)
        grep -E '^[0-9.]+ [0-9]+$' "$tmp/time" >>"$tmp/runs"
        i=$((i + 1))
    done
    sort -n "$tmp/runs" | awk -v name="$name" '
        { t[NR] = $1; if ($2 > m) m = $2 }
        END { med = (NR % 2) ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2;
              printf "%s %.2f %.2f %d\n", name, t[1], med, m }' >>"$tmp/table"
}

: >"$tmp/table"
measure pgn-replay "$replay" "$file"
measure "pgn-extract -s -F" "$extract" -s -F "$file"

games=$("$replay" "$file" 2>/dev/null | wc -l || true)
size=$(du -m "$file" | cut -f1)
echo "$file: $size MiB, $games games, $runs runs each"
echo
echo "| | fastest s | median s | x pgn-extract | max resident MiB |"
echo "|---|---|---|---|---|"
awk '{ n[NR] = $0 } END {
        split(n[2], e, " "); base = e[length(e) - 1];
        for (r = 1; r <= NR; ++r) {
            k = split(n[r], f, " ");
            name = f[1]; for (j = 2; j <= k - 3; ++j) name = name " " f[j];
            printf "| %s | %.2f | %.2f | %.2f | %.1f |\n", name, f[k - 2], f[k - 1], f[k - 1] / base, f[k] / 1024
        } }' "$tmp/table"
