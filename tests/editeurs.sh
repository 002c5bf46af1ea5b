#!/usr/bin/env bash
# editeurs.sh SCENE   against a staged install (DESTDIR=SCENE): the desktop,
# vim and Emacs know a climate file by its content, and nothing else. One
# row per check, its fields separated by " § ": its name, the command (run
# in a folder holding the example as "climat.txt" and as "montagne",
# climat_avec_erreurs.txt as "erreurs", and a plain "notes"), the output
# expected. A row whose tool is missing says so and is passed over.
set -uo pipefail
scene=$(cd "$1" && pwd)
racine=$(cd "$(dirname "$0")/.." && pwd)
d=$(mktemp -d)
trap 'rm -rf "$d"' EXIT
cp "$racine/exemples/climat.txt" "$d/climat.txt"
cp "$racine/exemples/climat.txt" "$d/montagne"
cp "$racine/exemples/climat_avec_erreurs.txt" "$d/erreurs"
printf 'Liste des courses\npain\n' >"$d/notes"
export HOME=$d PATH="$scene/usr/bin:$PATH" XDG_DATA_DIRS="$scene/usr/share:/usr/share"
command -v update-mime-database >/dev/null && update-mime-database "$scene/usr/share/mime"
vim_=$(printf '%q ' vim -es -u NONE -i NONE --cmd "set rtp^=$scene/usr/share/vim/vimfiles" -c 'filetype plugin on' -c 'syntax on')
emacs_=$(printf '%q ' emacs --batch -Q -l "$scene/usr/share/emacs/site-lisp/climat-mode.el")
lignes=(
  "type sans extension § mimetype -b montagne § text/x-climat-aubrelis"
  "type par le contenu seul § mimetype --magic-only -b climat.txt § text/x-climat-aubrelis"
  "texte ordinaire § mimetype -b notes § text/plain"
  "lanceur § grep ^MimeType= $scene/usr/share/applications/testeur_climat.desktop § MimeType=text/x-climat-aubrelis;"
  "vim : type, encodage, couleur d'une tête § $vim_ -c 'edit montagne' -c 'call writefile([&filetype, &fileencoding, synIDattr(synID(search(\"^>Temp\"), 1, 1), \"name\")], \"/dev/stdout\")' -c 'qa!' § climat latin1 climatTete"
  "vim : :make remplit la liste § $vim_ -c 'edit erreurs' -c 'silent make' -c 'call writefile([len(filter(getqflist(), \"v:val.valid\"))], \"/dev/stdout\")' -c 'qa!' | tail -1 § 44"
  "vim : texte ordinaire § $vim_ -c 'edit notes' -c 'call writefile([&filetype], \"/dev/stdout\")' -c 'qa!' § "
  "Emacs : mode, codage, couleur d'une tête § $emacs_ --eval '(progn (find-file \"montagne\") (font-lock-ensure) (goto-char (point-min)) (search-forward \">Temp\") (princ (format \"%s %s %s\" major-mode buffer-file-coding-system (get-text-property (line-beginning-position) (quote face)))))' § climat-mode iso-latin-1 font-lock-keyword-face"
  "Emacs : texte ordinaire § $emacs_ --eval '(progn (find-file \"notes\") (princ major-mode))' § fundamental-mode"
)
fautes=0
for ligne in "${lignes[@]}"; do
  nom=${ligne%% § *}; voulu=${ligne##* § }; commande=${ligne#"$nom § "}; commande=${commande%" § $voulu"}
  outil=${commande%% *}
  if ! command -v "$outil" >/dev/null; then echo "$nom : $outil absent, non essayé"; continue; fi
  obtenu=$(cd "$d" && eval "$commande" 2>/dev/null | tr '\n' ' ' | sed 's/ *$//')
  [ "$obtenu" = "$voulu" ] || { echo "$nom : obtenu « $obtenu », attendu « $voulu »"; fautes=$((fautes + 1)); }
done
echo "éditeurs et bureau : $fautes faute(s)"
[ "$fautes" = 0 ]
