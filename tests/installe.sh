#!/usr/bin/env bash
# Installs with apt-get what the tests need and the machine lacks: each
# command or file, with the Debian package that brings it. When a package
# cannot be had, the tests that need it say so and are skipped.
set -uo pipefail
besoins=(
  cmake:cmake g++:g++ clang++:clang python3:python3
  /usr/include/gtest/gtest.h:libgtest-dev
  '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-dev'  # the fuzzer
  Xvfb:xvfb /usr/share/fonts/X11/misc:xfonts-base xterm:xterm xdotool:xdotool         # the real window
  desktop-file-validate:desktop-file-utils groff:groff                               # launcher, manual pages
  lintian:lintian dpkg-shlibdeps:dpkg-dev file:file                                   # the package
  /usr/include/nlohmann/json.hpp:nlohmann-json3-dev vim:vim nvim:neovim emacs:emacs-nox  # the editors
  '/usr/share/emacs/site-lisp/elpa/eglot-*:elpa-eglot'
  mimetype:libfile-mimeinfo-perl update-mime-database:shared-mime-info              # the desktop's types
)
paquets=()
for besoin in "${besoins[@]}"; do
  quoi=${besoin%:*}
  if [ "${quoi:0:1}" = / ]; then compgen -G "$quoi" >/dev/null; else command -v "$quoi" >/dev/null; fi ||
    paquets+=("${besoin##*:}")
done
[ ${#paquets[@]} -eq 0 ] && exit 0
export DEBIAN_FRONTEND=noninteractive
apt-get update -q && apt-get install -y -q "${paquets[@]}" || echo "Installation incomplète de : ${paquets[*]}" >&2
