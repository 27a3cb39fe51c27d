#!/usr/bin/env bash
# Measures the backup program's throughput beside the gzip tool on the same file in the same run:
#   backup_bench.sh [BUILD_DIR] [SIZE_MB] [SOURCE_FILE]
# Without SOURCE_FILE a file of SIZE_MB (default 500) is made from copies of the delivered
# demonstration database interleaved with random text, so that it compresses like a real one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
size_mb="${2:-500}"
source_file="${3:-}"

cmake --build "$build" --target stowhand_bench -j4 >/dev/null 2>&1
bench="$build/stowhand_bench"

work="$(mktemp -d "${TMPDIR:-/tmp}/stowhand-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

data="$work/DATA.FDB"
if [ -n "$source_file" ]; then
  cp "$source_file" "$data"
else
  demo="$build/db/DEMO.FDB"
  [ -f "$demo" ] || cmake --build "$build" --target databases >/dev/null 2>&1
  limit=$((size_mb * 1024 * 1024))
  : > "$data"
  while [ "$(stat -c %s "$data")" -lt "$limit" ]; do
    cat "$demo" >> "$data"
    head -c 262144 /dev/urandom | base64 >> "$data"
  done
  truncate -s "$limit" "$data"
fi
bytes="$(stat -c %s "$data")"
cp "$data" "$work/original"
cat "$data" "$work/original" > /dev/null   # both in the page cache for every contender

now() { date +%s.%N; }
rate() { awk -v b="$bytes" -v s="$1" 'BEGIN { printf "%8.1f MB/s (%6.2f s)", b / 1048576 / s, s }'; }

t0=$(now); gzip -6 -c "$data" > "$work/reference.gz"; t1=$(now)
gzip_c=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
t0=$(now); gzip -dc "$work/reference.gz" > "$work/reference.out"; t1=$(now)
gzip_d=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
rm -f "$work/reference.out"

result="$("$bench" "$work" DATA.FDB "$work/backup.bkp")"
ours_c=$(echo "$result" | awk '/^backup_seconds/ { print $2 }')
ours_d=$(echo "$result" | awk '/^restore_seconds/ { print $2 }')

cmp "$data" "$work/original" || { echo "restored file differs from the original" >&2; exit 1; }
gzip -t "$work/backup.bkp"

printf "file: %d bytes, backup %d bytes, gzip -6 %d bytes\n" "$bytes" \
  "$(stat -c %s "$work/backup.bkp")" "$(stat -c %s "$work/reference.gz")"
printf "backup   stowhand %s   gzip -6 %s   ratio %.2f\n" "$(rate "$ours_c")" "$(rate "$gzip_c")" \
  "$(awk -v a="$gzip_c" -v b="$ours_c" 'BEGIN { print a / b }')"
printf "restore  stowhand %s   gzip -d %s   ratio %.2f\n" "$(rate "$ours_d")" "$(rate "$gzip_d")" \
  "$(awk -v a="$gzip_d" -v b="$ours_d" 'BEGIN { print a / b }')"
echo "(a ratio of 1 is the gzip tool's speed; the program also syncs each file to disk before it counts as written)"
