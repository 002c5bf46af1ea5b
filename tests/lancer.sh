#!/usr/bin/env bash
# Builds the checker and runs every test. Installs what the tests need when
# it is missing, so that it also works on a fresh machine with no terminal.
set -euo pipefail
cd "$(dirname "$0")/.."

paquets=()
command -v cmake >/dev/null || paquets+=(cmake)
command -v g++ >/dev/null || paquets+=(g++)
[ -f /usr/include/gtest/gtest.h ] || paquets+=(libgtest-dev)
if [ ${#paquets[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q "${paquets[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)" </dev/null
