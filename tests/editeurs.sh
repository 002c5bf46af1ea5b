#!/usr/bin/env bash
# editeurs.sh SCENE   against a staged install (DESTDIR=SCENE): the desktop,
# vim and Emacs know a climate file by its content, and nothing else: the
# checks of tests/donnees/editeurs.txt, each run in a folder holding the
# example as "climat.txt" and as "montagne" (and, its temperature 3
# numbered 30, as "renumerote"), climat_avec_erreurs.txt as
# "erreurs" (and as "--lsp" and "-"), and a plain "notes". A check whose tool is missing says so and
# is passed over.
set -uo pipefail
scene=$(cd "$1" && pwd)
racine=$(cd "$(dirname "$0")/.." && pwd)
d=$(mktemp -d)
trap 'rm -rf "$d"' EXIT
cp "$racine/exemples/climat.txt" "$d/climat.txt"
cp "$racine/exemples/climat.txt" "$d/montagne"
cp "$racine/exemples/climat_avec_erreurs.txt" "$d/erreurs"
cp "$d/erreurs" "$d/--lsp"
cp "$d/erreurs" "$d/-"
printf 'Liste des courses\npain\n' >"$d/notes"
sed '14s/^3:/30:/' "$racine/exemples/climat.txt" >"$d/renumerote"
export HOME=$d PATH="$scene/usr/bin:$PATH" XDG_DATA_DIRS="$scene/usr/share:/usr/share"
command -v update-mime-database >/dev/null && update-mime-database "$scene/usr/share/mime"
vim_=$(printf '%q ' vim -es -u NONE -i NONE --cmd "set rtp^=$scene/usr/share/vim/vimfiles" -c 'filetype plugin on' -c 'syntax on')
emacs_=$(printf '%q ' emacs --batch -Q -l "$scene/usr/share/emacs/site-lisp/climat-mode.el")
fautes=0
while IFS= read -r ligne; do
  [[ -z $ligne || $ligne == \#* ]] && continue
  nom=${ligne%% § *}; voulu=${ligne##* § }; commande=${ligne#"$nom § "}; commande=${commande%" § $voulu"}
  commande=${commande//\$vim_/$vim_}; commande=${commande//\$emacs_/$emacs_}  # quoted for eval
  outil=${commande%% *}
  if ! command -v "$outil" >/dev/null; then echo "$nom : $outil absent, non essayé"; continue; fi
  obtenu=$(cd "$d" && eval "$commande" 2>/dev/null </dev/null | tr '\n' ' ' | sed 's/ *$//')
  [ "$obtenu" = "$voulu" ] || { echo "$nom : obtenu « $obtenu », attendu « $voulu »"; fautes=$((fautes + 1)); }
done <"$racine/tests/donnees/editeurs.txt"
echo "éditeurs et bureau : $fautes faute(s)"
[ "$fautes" = 0 ]
