#!/usr/bin/env bash
# Builds the fuzzer with clang and runs it for the given number of seconds
# (60 by default). Its corpus is kept between runs, outside the repository
# (in $TESTEUR_CORPUS, by default ~/.cache/testeur-climat/corpus), and each
# run starts again from it with the examples, the test data and the inputs
# of fuzz/regressions as seeds. A crash, a leak, a sanitizer report, or
# counters that do not count exactly the findings reported fails the run;
# the input is then written into fuzz/regressions (fuzz/sessions for the
# language server), where ctest replays it
# from then on: add it to the repository with the fix.
# Inputs up to 4 KiB, twice a climate file of the examples.
# Longer run:  bash fuzz/lancer.sh 1800
set -euo pipefail
cd "$(dirname "$0")/.."
duree=${1:-60}
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DTESTEUR_FUZZ=ON -DTESTEUR_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)"
corpus=${TESTEUR_CORPUS:-$HOME/.cache/testeur-climat/corpus}
graines=$PWD/build-fuzz/graines
rm -rf "$graines"
mkdir -p "$corpus" "$graines"
cp exemples/*.txt tests/donnees/*.txt fuzz/regressions/* "$graines/"
# A unit gets two minutes: under the sanitizers an input of thousands of
# findings takes seconds, several times that on a loaded machine, and a limit
# of ten seconds failed the run there with no fault found; a real hang still
# ends it.
options=(-dict="$PWD/fuzz/climat.dict" -max_len=4096 -timeout=120 -rss_limit_mb=2048 -print_final_stats=1)
# Two thirds of the time for the pass, the rest for the language server,
# whose crashes are kept with its seed sessions.
build-fuzz/fuzz/fuzz_moteur -max_total_time=$((duree * 2 / 3)) "${options[@]}" \
  -artifact_prefix="$PWD/fuzz/regressions/" "$corpus" "$graines" </dev/null
if [ -x build-fuzz/fuzz/fuzz_serveur ]; then
  mkdir -p "$corpus-serveur"
  build-fuzz/fuzz/fuzz_serveur -max_total_time=$((duree - duree * 2 / 3)) "${options[@]}" \
    -artifact_prefix="$PWD/fuzz/sessions/" "$corpus-serveur" "$PWD/fuzz/sessions" </dev/null
fi
