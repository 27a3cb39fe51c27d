#!/bin/sh
# cmake --install into a temporary prefix: both programs, their libraries with a run path that finds
# them there and nowhere else, the delivered databases, the desktop entry and the icon. Then the
# installed Velloran checks its start-up without a display on an empty data folder: it must put the delivered
# databases there and open both, and on a second start leave the office's copies alone.
set -eu
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log" >&2; fail "cmake --install"; }

for f in bin/velloran bin/stowhand share/velloran/DATA.FDB share/velloran/DEMO.FDB \
         share/applications/velloran.desktop share/icons/hicolor/32x32/apps/velloran.png; do
    [ -e "$prefix/$f" ] || fail "missing $f"
done
core="$(find "$prefix" -name 'libvelloran_core.so*' | head -n 1)"
engine="$(find "$prefix" -name 'librptengine.so*' | head -n 1)"
[ -n "$core" ] && [ -n "$engine" ] || fail "the program's libraries are not installed"
grep -q '^Exec=velloran' "$prefix/share/applications/velloran.desktop" || fail "desktop entry does not start velloran"

# The run paths point inside the installed tree, never back into the build.
for f in "$prefix/bin/velloran" "$core"; do
    readelf -d "$f" | grep -E 'RUNPATH|RPATH' | grep -q 'ORIGIN' || fail "no \$ORIGIN run path in $f"
    if readelf -d "$f" | grep -E 'RUNPATH|RPATH' | grep -qF "$build"; then fail "$f still looks into the build tree"; fi
done
if ldd "$prefix/bin/velloran" | grep -q 'not found'; then ldd "$prefix/bin/velloran" >&2; fail "unresolved libraries"; fi
ldd "$prefix/bin/velloran" | grep 'libvelloran_core' | grep -qF "$prefix" || fail "libvelloran_core does not come from the prefix"

docs="$work/docs"
data="$docs/Morvessa/Morvessa Velloran"
# Both checks are run where there is no display at all, as over SSH.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
VELLORAN_DOCUMENTS="$docs" nodisplay "$prefix/bin/velloran" --check-start-up >"$work/check.log" 2>&1 \
    || { cat "$work/check.log" >&2; fail "start-up check of the installed program"; }
grep -q '^DATA.FDB: opened' "$work/check.log" || { cat "$work/check.log" >&2; fail "DATA.FDB not opened"; }
grep -q '^DEMO.FDB: opened' "$work/check.log" || { cat "$work/check.log" >&2; fail "DEMO.FDB not opened"; }
[ -w "$data/DATA.FDB" ] && [ -w "$data/DEMO.FDB" ] || fail "the databases are not writable in the data folder"

nodisplay "$prefix/bin/stowhand" --help >"$work/help.log" 2>&1 || { cat "$work/help.log" >&2; fail "stowhand --help"; }
grep -q '^Usage: stowhand' "$work/help.log" || { cat "$work/help.log" >&2; fail "stowhand --help printed no usage"; }

# An office's database stays as it is: a second start copies nothing over it.
echo "office data" >"$data/KEEP.FDB"
cp "$data/DATA.FDB" "$data/DEMO.FDB"
VELLORAN_DOCUMENTS="$docs" "$prefix/bin/velloran" --check-start-up >"$work/check2.log" 2>&1 \
    || { cat "$work/check2.log" >&2; fail "second start-up check"; }
cmp -s "$data/DEMO.FDB" "$prefix/share/velloran/DEMO.FDB" && fail "DEMO.FDB of the office was overwritten"
[ "$(cat "$data/KEEP.FDB")" = "office data" ] || fail "a file of the office changed"

# Nothing of the debug stream in an ordinary run.
if grep -q '^installed "' "$work/check.log"; then fail "debug lines printed without QT_LOGGING_RULES"; fi
echo "installed and started from $prefix"
