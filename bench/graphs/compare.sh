#!/bin/sh
# Runs the channel-filter and T/HIS benchmarks, our filter side by side with
# SciPy on the same 1,000,000 samples. Usage: compare.sh BUILD_DIR
# (configured with -DQOR_BUILD_BENCH=ON; builds bench_graphs first).
set -e
build=${1:?usage: compare.sh BUILD_DIR}
ninja -C "$build" -j2 bench_graphs
"$build/bench/graphs/bench_graphs" --benchmark_counters_tabular=true
