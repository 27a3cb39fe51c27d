#!/usr/bin/env bash
# Makes a large office for measuring the program at size (see db/largeoffice.sql):
#   scripts/largeoffice.sh OUTPUT.FDB [DATA.FDB]
# It starts from a copy of the delivered DATA.FDB (by default the one in build/db) and fills it
# inside the engine. The file is made under a temporary name and moved into place only when the
# script ran without error. Nothing here runs with the tests; the benchmark is run by hand:
#   QT_QPA_PLATFORM=offscreen build/tests/bench_largeoffice OUTPUT.FDB
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:?usage: largeoffice.sh OUTPUT.FDB [DATA.FDB]}"
source_db="${2:-$root/build/db/DATA.FDB}"
[ -f "$source_db" ] || { echo "no delivered database at $source_db (build first)" >&2; exit 1; }
outdir="$(cd "$(dirname "$out")" && pwd)"
tmp="$outdir/.$(basename "$out").$$.tmp"
export FIREBIRD_LOCK="${FIREBIRD_LOCK:-$outdir/.fblock}"
mkdir -p "$FIREBIRD_LOCK"
trap 'rm -f "$tmp"' EXIT
cp -f "$source_db" "$tmp"
chmod 0664 "$tmp"
start=$(date +%s.%N)
# Writes reach the disk when the engine chooses; a crash half-way only means running the script again.
gfix -user SYSDBA -write async "$tmp"
isql-fb -q -bail -user SYSDBA -i "$root/db/largeoffice.sql" "$tmp"
# The office it makes behaves like a delivered one from then on.
gfix -user SYSDBA -write sync "$tmp"
mv -f "$tmp" "$outdir/$(basename "$out")"
awk -v s="$start" -v e="$(date +%s.%N)" -v f="$outdir/$(basename "$out")" 'BEGIN { printf "made %s in %.1f s\n", f, e - s }'
