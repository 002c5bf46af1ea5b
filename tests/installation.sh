#!/usr/bin/env bash
# Installs into a staging folder and checks the three installed files: the
# program, its manual page (no groff warning) and a valid launcher entry.
set -euo pipefail
construction=$1
scene=$(mktemp -d)
trap 'rm -rf "$scene"' EXIT
cmake --install "$construction" --prefix "$scene/usr" >/dev/null

for f in bin/testeur_climat share/man/man1/testeur_climat.1 share/applications/testeur_climat.desktop; do
  [ -f "$scene/usr/$f" ] || { echo "absent : $f"; exit 1; }
done
[ -x "$scene/usr/bin/testeur_climat" ] || { echo "programme non exécutable"; exit 1; }

avertissements=$(groff -k -man -Tutf8 -ww -z "$scene/usr/share/man/man1/testeur_climat.1" 2>&1)
[ -z "$avertissements" ] || { echo "$avertissements"; exit 1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$scene/usr/share/applications/testeur_climat.desktop"
else
  echo "desktop-file-validate introuvable : entrée du lanceur non validée"
  exit 77
fi
grep -qx 'Exec=testeur_climat %f' "$scene/usr/share/applications/testeur_climat.desktop"
grep -qx 'Terminal=false' "$scene/usr/share/applications/testeur_climat.desktop"
echo "installation complète et valide"
