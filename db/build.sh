#!/usr/bin/env bash
# Builds one delivered database file from SQL scripts with the embedded engine:
#   build.sh OUTPUT.FDB script.sql [script.sql ...]
# The file is made beside the output under a temporary name and moved into place only when
# every script ran without error, so a failed build never leaves a half-made database behind.
set -euo pipefail
out="$1"; shift
outdir="$(cd "$(dirname "$out")" && pwd)"
tmp="$outdir/.$(basename "$out").$$.tmp"
export FIREBIRD_LOCK="${FIREBIRD_LOCK:-$outdir/.fblock}"
mkdir -p "$FIREBIRD_LOCK"
rm -f "$tmp"
trap 'rm -f "$tmp" "$tmp.sql"' EXIT
{
  echo "set sql dialect 3;"
  # The scripts are UTF-8 text; without this their accented letters would reach the file unconverted.
  echo "set names UTF8;"
  echo "create database '$tmp' user 'SYSDBA' page_size 8192 default character set UTF8;"
  for s in "$@"; do
    echo "input '$s';"
  done
  echo "commit;"
} > "$tmp.sql"
isql-fb -q -bail -i "$tmp.sql"
chmod 0664 "$tmp"
mv -f "$tmp" "$out"
