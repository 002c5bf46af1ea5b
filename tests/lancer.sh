#!/usr/bin/env bash
# Installs what the tests need, then builds the checker and runs every test:
# the suite, the same suite under the sanitizers, the Release builds with
# both compilers, the install and the Debian package, one minute of fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tests/installe.sh

echo "== Construction et tests"
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESTEUR_WERROR=ON -DTESTEUR_WEB=ON
cmake --build build-tests -j"$(nproc)"
ctest --test-dir build-tests --output-on-failure -j"$(nproc)" </dev/null

echo "== Les mêmes tests sous AddressSanitizer et UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DTESTEUR_SANITIZERS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESTEUR_WERROR=ON
cmake --build build-asan -j"$(nproc)"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" </dev/null

echo "== Construction Release sous clang, puis sous g++ avec l'installation et le paquet Debian"
for compilateur in clang++ g++; do
  web=$([ "$compilateur" = g++ ] && echo ON || echo OFF)  # the package carries the page
  cmake -S . -B "build-release-$compilateur" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$compilateur" \
    -DCMAKE_INSTALL_PREFIX=/usr -DTESTEUR_TESTS=OFF -DTESTEUR_WERROR=ON -DTESTEUR_WEB="$web" >/dev/null
  cmake --build "build-release-$compilateur" -j"$(nproc)"
done
bash tests/installation.sh build-release-g++

echo "== Fuzzing de la passe et du serveur de langage pendant une minute"
bash fuzz/lancer.sh 60

echo "== Les commandes d'installation du README, dans ce même dossier, après les tests"
scene=$(mktemp -d)
trap 'rm -rf "$scene"' EXIT
mapfile -t commandes < <(sed -n '/^## Installing/,/^## /p' README.md | sed -n '/^```sh$/,/^```$/p' | grep -v '^```' | sed 's/ *#.*//')
bash -euo pipefail -c "${commandes[0]}" >/dev/null
DESTDIR="$scene" bash -euo pipefail -c "${commandes[1]}" >/dev/null
"$scene/usr/bin/verifie_climat" exemples/climat.txt
echo "installation du README réussie dans build/"
