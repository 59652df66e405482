#!/bin/sh
# Batch update of the largest system configuration against a plain copy of
# the same file, as whole processes, and the in-process load plus save.
# Usage: bench/batch_bench.sh [build folder]   (default: build-bench)
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$src/build-bench"}
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DXN_BENCH=ON -DXN_TESTS=OFF >/dev/null
cmake --build "$build" --target xnconfig make_big_cfi cfi_load_save_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
"$build/make_big_cfi" "$work/big.cfi"
echo "big.cfi: $(wc -c <"$work/big.cfi") bytes, $(wc -l <"$work/big.cfi") lines"
cd "$work"
# The batch update rewrites big.cfi in place; its content does not change.
hyperfine -N --warmup 5 'cp big.cfi copy.cfi' "$build/xnconfig -q -b big.cfi"
# The same two taking turns run by run, so that a change in the machine's
# load during the run falls on both alike.
python3 "$src/bench/interleave.py" --runs 300 -- cp big.cfi copy.cfi -- "$build/xnconfig" -q -b big.cfi
"$build/cfi_load_save_bench" --benchmark_min_time=0.5
