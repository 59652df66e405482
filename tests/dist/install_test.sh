#!/bin/sh
# Installs the build into a fresh prefix, checks that every file lands where
# GNUInstallDirs puts it, and runs the installed program.
# Usage: install_test.sh CMAKE BUILD-DIR
set -eu
cmake=$1
build=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/xninstall-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
fail=0
for f in bin/xnconfig share/man/man1/xnconfig.1.gz share/man/man5/xnconfig.5.gz \
         share/bash-completion/completions/xnconfig share/doc/xnconfig/README.md; do
    [ -f "$prefix/$f" ] || { echo "not installed: $f"; fail=1; }
done
[ -x "$prefix/bin/xnconfig" ] || { echo "not executable: bin/xnconfig"; fail=1; }
[ "$fail" = 0 ] || exit 1

# The installed program works on its own: help, then a batch run that
# creates a terminal description in an empty folder.
status=0
"$prefix/bin/xnconfig" -h >/dev/null 2>&1 || status=$?
[ "$status" = 7 ] || { echo "installed xnconfig -h ended with $status, not 7"; exit 1; }
mkdir "$prefix/work"
(cd "$prefix/work" && "$prefix/bin/xnconfig" -q -b -T vt100) ||
    { echo "installed xnconfig -q -b -T vt100 failed"; exit 1; }
grep -q '^kind = terminal-description' "$prefix/work/vt100.tdi" ||
    { echo "installed xnconfig wrote no terminal description"; exit 1; }
echo "installed and ran from $prefix"
