#!/usr/bin/env bash
# Builds the checker and runs every test. Installs what the tests need when
# it is missing, so that it also works on a fresh machine with no terminal.
set -euo pipefail
cd "$(dirname "$0")/.."

paquets=()
command -v cmake >/dev/null || paquets+=(cmake)
command -v g++ >/dev/null || paquets+=(g++)
[ -f /usr/include/gtest/gtest.h ] || paquets+=(libgtest-dev)
command -v python3 >/dev/null || paquets+=(python3)
# The sanitizer build, the fuzzer and the second compiler.
command -v clang++ >/dev/null || paquets+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || paquets+=(libclang-rt-dev)
# The real-window test, the launcher entry, the manual page and the package.
command -v Xvfb >/dev/null || paquets+=(xvfb)
[ -d /usr/share/fonts/X11/misc ] || paquets+=(xfonts-base)  # Xvfb and xterm need the "fixed" font
command -v xterm >/dev/null || paquets+=(xterm)
command -v xdotool >/dev/null || paquets+=(xdotool)
command -v xwd >/dev/null || paquets+=(x11-apps)
command -v desktop-file-validate >/dev/null || paquets+=(desktop-file-utils)
command -v groff >/dev/null || paquets+=(groff)
command -v lintian >/dev/null || paquets+=(lintian)
command -v dpkg-shlibdeps >/dev/null || paquets+=(dpkg-dev)
command -v file >/dev/null || paquets+=(file)
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
