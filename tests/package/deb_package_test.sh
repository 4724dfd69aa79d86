#!/bin/sh
# Builds the Debian package of this tree, unpacks it and starts the engine through its
# /usr/games link from another directory: it must find its book beside the real binary.
# Usage: deb_package_test.sh CPACK BUILD_DIR
set -eu
cpack=$1
build=$2
for tool in dpkg-deb dpkg-shlibdeps; do
  command -v $tool >/dev/null || { echo "$tool missing: skipped"; exit 77; }
done

work=$build/package-test
root=$work/root
rm -rf "$work"
mkdir -p "$root" "$work/elsewhere"
fail() { echo "FAIL: $*"; exit 1; }

# The layout does not depend on the code generation, so any build of this tree will do.
"$cpack" --config "$build/CPackConfig.cmake" -B "$work" -D CPACK_ZELMORA_ALLOW_ANY_BUILD=ON \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/zelmora_*.deb)
dpkg-deb -x "$deb" "$root"

[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "no shared-library dependencies"
[ "$(readlink "$root/usr/games/zelmora")" = ../lib/games/zelmora/zelmora ] || fail "link in /usr/games"
[ "$(ls "$root/usr/games")" = zelmora ] || fail "more than the link in /usr/games"
for file in usr/lib/games/zelmora/Zelmora.opn usr/share/man/man6/zelmora.6.gz usr/share/doc/zelmora/copyright; do
  [ -f "$root/$file" ] || fail "$file missing"
done

# A book move comes without search lines; the book's absence is reported and a search follows.
cd "$work/elsewhere"
printf '%s\n' uci isready "debug on" "setoption name blocking value true" "setoption name OwnBook value true" \
  "position startpos" "go depth 1" "setoption name BookFile value absent.opn" "position startpos" "go depth 1" \
  quit | "$root/usr/games/zelmora" >"$work/engine.log"
events=$(grep -oE '^(uciok|readyok|bestmove|info string Opening book read error|info depth)' "$work/engine.log" |
  uniq | tr '\n' ,)
[ "$events" = "uciok,readyok,bestmove,info string Opening book read error,info depth,bestmove," ] ||
  { cat "$work/engine.log"; fail "engine session: $events"; }

if command -v man >/dev/null; then
  page=$root/usr/share/man/man6/zelmora.6.gz
  [ -z "$(man --warnings -l "$page" 2>&1 >/dev/null)" ] || fail "groff warnings: $(man --warnings -l "$page" 2>&1 >/dev/null)"
  man -l "$page" 2>/dev/null | grep -q VersteckteOptionen || fail "man page"
fi
rm -rf "$work"
echo "package test passed"
