#!/usr/bin/env bash
# Builds the checker and runs every test. Installs what the tests need when
# it is missing, so that it also works on a fresh machine with no terminal.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each command or file the tests need, with the Debian package that brings it:
# the compilers, GoogleTest, the fuzzer's runtime, the real-window test (Xvfb
# and xterm need the "fixed" font), the launcher entry, the manual page and
# the package checks.
paquets=()
for besoin in cmake:cmake g++:g++ /usr/include/gtest/gtest.h:libgtest-dev python3:python3 clang++:clang \
  '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-dev' Xvfb:xvfb \
  /usr/share/fonts/X11/misc:xfonts-base xterm:xterm xdotool:xdotool desktop-file-validate:desktop-file-utils \
  groff:groff lintian:lintian dpkg-shlibdeps:dpkg-dev file:file; do
  quoi=${besoin%:*}
  if [ "${quoi:0:1}" = / ]; then compgen -G "$quoi" >/dev/null; else command -v "$quoi" >/dev/null; fi ||
    paquets+=("${besoin##*:}")
done
if [ ${#paquets[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # When the packages cannot be had, the tests that need them say so and
  # are skipped; the others still run.
  if apt-get update -q && apt-get install -y -q "${paquets[@]}"; then
    :
  else
    echo "Installation incomplète de : ${paquets[*]}" >&2
  fi
fi

echo "== Construction et tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESTEUR_WERROR=ON
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" </dev/null

echo "== Les mêmes tests sous AddressSanitizer et UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DTESTEUR_SANITIZERS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESTEUR_WERROR=ON
cmake --build build-asan -j"$(nproc)"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" </dev/null

echo "== Construction Release sous g++ et sous clang, installation, paquet Debian"
for compilateur in g++ clang++; do
  cmake -S . -B "build-release-$compilateur" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$compilateur" \
    -DTESTEUR_TESTS=OFF -DTESTEUR_WERROR=ON >/dev/null
  cmake --build "build-release-$compilateur" -j"$(nproc)"
  bash tests/installation.sh "build-release-$compilateur"
done
if [ "$(id -u)" = 0 ]; then
  bash tests/installation.sh build-release-g++ paquet
else
  echo "paquet Debian non essayé : dpkg -i demande les droits de root"
fi

echo "== Fuzzing de la passe pendant une minute"
bash fuzz/lancer.sh 60
