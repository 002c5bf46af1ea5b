#!/usr/bin/env bash
# installation.sh BUILD   installs into a staging folder (DESTDIR; BUILD is
#                         configured for /usr) and checks the programs, their
#                         manual pages, the launcher entry and what makes the
#                         desktop, vim, Neovim and Emacs know a climate file
#                         (editeurs.sh); as root, also makes the .deb, has
#                         lintian check it, installs it with dpkg, runs it and
#                         removes it
set -euo pipefail
construction=$1
scene=$(mktemp -d)
trap 'rm -rf "$scene"' EXIT
DESTDIR="$scene" cmake --install "$construction" >/dev/null
editeurs=(share/mime/packages/testeur-climat.xml share/emacs/site-lisp/climat-mode.el
  share/vim/vimfiles/{ftdetect,ftplugin,syntax}/climat.vim share/vim/vimfiles/compiler/verifie_climat.vim
  share/nvim/site/{ftdetect,ftplugin,syntax}/climat.vim share/nvim/site/ftplugin/climat.lua)
# The page, when the build made it.
[ -f "$construction/web/index.html" ] && editeurs+=(share/testeur-climat/web/{index.html,climat.js,page.js})

for f in bin/testeur_climat bin/verifie_climat share/man/man1/testeur_climat.1.gz share/man/man1/verifie_climat.1.gz \
  share/applications/testeur_climat.desktop \
  share/doc/testeur-climat/copyright share/doc/testeur-climat/changelog.gz "${editeurs[@]}"; do
  [ -f "$scene/usr/$f" ] || { echo "absent : $f"; exit 1; }
done
for programme in testeur_climat verifie_climat; do
  "$scene/usr/bin/$programme" --version | grep -q "^$programme (Aubrelis) [0-9]"
  avertissements=$(zcat "$scene/usr/share/man/man1/$programme.1.gz" | groff -k -man -Tutf8 -ww -z 2>&1)
  [ -z "$avertissements" ] || { echo "$avertissements"; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$scene/usr/share/applications/testeur_climat.desktop"
else
  echo "desktop-file-validate introuvable : l'entrée du lanceur n'est pas validée"
fi
grep -qx 'Exec=testeur_climat %f' "$scene/usr/share/applications/testeur_climat.desktop"
bash "$(dirname "$0")/editeurs.sh" "$scene"
echo "installation complète et valide"

[ "$(id -u)" = 0 ] || { echo "paquet Debian non essayé : dpkg -i demande les droits de root"; exit 0; }
(cd "$construction" && cpack -G DEB >/dev/null)
paquet=$(ls "$construction"/testeur-climat_*.deb)
# Pedantic, as a distribution checks a package: no error, no warning and no
# hardening tag (the overrides in debian/lintian-overrides say why).
rapport=$(lintian -I --pedantic --fail-on error,warning "$paquet") || { echo "$rapport"; exit 1; }
if grep -i hardening <<<"$rapport"; then exit 1; fi
echo "$rapport"
contenu=$(dpkg -c "$paquet")
for f in "${editeurs[@]}"; do
  grep -q " \./usr/$f$" <<<"$contenu" || { echo "absent du paquet : $f"; exit 1; }
done
dpkg -i "$paquet" >/dev/null
trap 'dpkg -r testeur-climat >/dev/null 2>&1 || true; rm -rf "$scene"' EXIT
/usr/bin/testeur_climat --version
/usr/bin/verifie_climat /usr/share/doc/testeur-climat/copyright >/dev/null 2>&1 || [ $? = 1 ]
for f in man/man1/testeur_climat.1.gz man/man1/verifie_climat.1.gz applications/testeur_climat.desktop; do
  [ -f "/usr/share/$f" ] || { echo "absent du paquet installé : $f"; exit 1; }
done
# The shared-mime-info trigger has refreshed the system's database.
if command -v mimetype >/dev/null; then
  cp "$(dirname "$0")/../exemples/climat.txt" "$scene/montagne"
  [ "$(mimetype -b "$scene/montagne")" = text/x-climat-aubrelis ] || { echo "type MIME absent de la base"; exit 1; }
fi
dpkg -r testeur-climat >/dev/null
[ ! -e /usr/bin/testeur_climat ] && [ ! -e /usr/bin/verifie_climat ]
echo "paquet $(basename "$paquet") : lintian pédant sans erreur ni avertissement, installé, lancé et retiré"
