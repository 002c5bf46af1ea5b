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
[ ${#paquets[@]} -eq 0 ] && exit 0
export DEBIAN_FRONTEND=noninteractive
apt-get update -q && apt-get install -y -q "${paquets[@]}" || echo "Installation incomplète de : ${paquets[*]}" >&2
