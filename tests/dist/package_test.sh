#!/bin/sh
# Builds the Debian package, checks its fields and contents, and runs the
# program from the unpacked package.
# Usage: package_test.sh CPACK BUILD-DIR VERSION
set -eu
cpack=$1
build=$2
version=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/xnpackage-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/xnconfig_*.deb)
fail=0
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = xnconfig ] || { echo "Package: $(field Package)"; fail=1; }
[ "$(field Version)" = "$version" ] || { echo "Version: $(field Version), not $version"; fail=1; }
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    { echo "Architecture: $(field Architecture)"; fail=1; }
case "$(field Depends)" in
*ncurses-base*) ;;
*) echo "Depends lacks ncurses-base: $(field Depends)"; fail=1 ;;
esac
[ -n "$(field Description)" ] || { echo "no Description"; fail=1; }
dpkg-deb -c "$deb" >"$work/contents"
for f in ./usr/bin/xnconfig ./usr/share/man/man1/xnconfig.1.gz \
         ./usr/share/man/man5/xnconfig.5.gz ./usr/share/bash-completion/completions/xnconfig \
         ./usr/share/doc/xnconfig/README.md; do
    grep -q " $f\$" "$work/contents" || { echo "not in the package: $f"; fail=1; }
done
[ "$fail" = 0 ] || { cat "$work/contents"; exit 1; }
dpkg-deb -x "$deb" "$work/root"
status=0
"$work/root/usr/bin/xnconfig" -h >/dev/null 2>&1 || status=$?
[ "$status" = 7 ] || { echo "packaged xnconfig -h ended with $status, not 7"; exit 1; }
echo "$(basename "$deb"): $(wc -c <"$deb") bytes"
cat "$work/contents"
