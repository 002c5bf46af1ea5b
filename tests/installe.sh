#!/usr/bin/env bash
# Installs with apt-get what the tests need and the machine lacks: each
# command or file of tests/donnees/paquets.txt, with the Debian package that
# brings it. When a package cannot be had, the tests that need it say so and
# are skipped.
set -uo pipefail
paquets=()
while read -r quoi paquet; do
  [[ -z $quoi || $quoi == \#* ]] && continue
  if [ "${quoi:0:1}" = / ]; then compgen -G "$quoi" >/dev/null; else command -v "$quoi" >/dev/null; fi ||
    paquets+=("$paquet")
done <"$(dirname "$0")/donnees/paquets.txt"
if [ ${#paquets[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q && apt-get install -y -q "${paquets[@]}" || echo "Installation incomplète de : ${paquets[*]}" >&2
fi
# The page's editor, its bundler and the browser's driver, at the versions
# web/package-lock.json locks.
web=$(dirname "$0")/../web
if ! command -v npm >/dev/null; then
  echo "npm introuvable : la page web n'est ni construite ni essayée" >&2
elif [ ! -d "$web/node_modules/@codemirror/view" ] || [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; then
  (cd "$web" && npm ci --no-audit --no-fund --loglevel=error) || echo "Installation incomplète des paquets npm de web/" >&2
fi
exit 0
