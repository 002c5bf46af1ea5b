#!/usr/bin/env bash
# Builds the fuzzer with clang and runs it for the given number of seconds
# (60 by default) on a fresh corpus seeded with the examples and test data.
# A crash, a leak, a sanitizer report, counters that do not count exactly the
# findings reported, or a finding changed by the shortcut of the rule lines
# fails the run. Inputs up to 4 KiB, twice a climate file of the examples.
# Longer run:  bash fuzz/lancer.sh 1800
set -euo pipefail
cd "$(dirname "$0")/.."
duree=${1:-60}
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTESTEUR_FUZZ=ON -DTESTEUR_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_moteur
corpus=$PWD/build-fuzz/corpus
graines=$PWD/build-fuzz/graines
rm -rf "$corpus" "$graines"
mkdir -p "$corpus" "$graines"
cp exemples/*.txt tests/donnees/*.txt "$graines/"
build-fuzz/fuzz/fuzz_moteur -max_total_time="$duree" -dict="$PWD/fuzz/climat.dict" -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 "$corpus" "$graines" </dev/null
