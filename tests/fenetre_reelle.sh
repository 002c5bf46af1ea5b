#!/usr/bin/env bash
# The program started as a desktop launcher starts it (found through PATH,
# output not a terminal, a file name with a blank in it) under Xvfb with
# Debian's real xterm: its window is found by its title, the check runs in
# it, and a key typed in the window ends it with status 0.
set -euo pipefail
programme=$1
reference=$2
for outil in xvfb-run xterm xdotool; do
  command -v "$outil" >/dev/null || { echo "IGNORÉ : $outil introuvable (tests/lancer.sh l'installe)"; exit 77; }
done
[ -n "${DANS_XVFB:-}" ] || exec env DANS_XVFB=1 xvfb-run -a bash "$0" "$@"

banc=$(mktemp -d)
trap 'pkill -f "$banc/bin/testeur_climat" || true; rm -rf "$banc"' EXIT
echec() { echo "ÉCHEC : $*"; cat "$banc/fenetre.log" 2>/dev/null || true; exit 1; }
attend() { for _ in $(seq 150); do "$@" && return 0; sleep 0.2; done; return 1; }  # 30 s at most

mkdir -p "$banc/bin" "$banc/travail"
cp "$programme" "$banc/bin/testeur_climat"
LC_ALL=C sed '1s/.*/latitude=45/' "$reference" >"$banc/mon climat.txt"
# xterm keeps a copy of everything it shows, so the totals can be read.
printf 'XTerm*logging: true\nXTerm*logFile: %s\n' "$banc/fenetre.log" >"$banc/ressources"
(cd "$banc/travail" && PATH="$banc/bin:$PATH" XENVIRONMENT="$banc/ressources" exec testeur_climat \
  "$banc/mon climat.txt" >"$banc/sortie" 2>&1 </dev/null) &
pid=$!

fenetre=$(timeout 30 xdotool search --sync --name '^Testeur de fichier de climat$' | head -n 1) ||
  echec "aucune fenêtre intitulée « Testeur de fichier de climat »"
attend grep -q 'ne contient aucun avertissement' "$banc/fenetre.log" || echec "les totaux ne s'affichent pas"
grep -q '!!! Le fichier de climat contient 1 erreurs' "$banc/fenetre.log" || echec "total des erreurs absent"
[ -s "$banc/sortie" ] && echec "la sortie hors fenêtre n'est pas vide : $(cat "$banc/sortie")"
LC_ALL=C grep -q '^- Erreur ligne 1\. ' "$banc/travail/Erreur.log" || echec "Erreur.log absent du dossier de travail"
sleep 0.5
kill -0 "$pid" 2>/dev/null || echec "le programme n'attend pas de touche"
xdotool windowfocus --sync "$fenetre" key --clearmodifiers Return
attend bash -c "! kill -0 $pid 2>/dev/null" || echec "le programme ne se termine pas après la touche"
wait "$pid" || echec "statut de fin $?"
echo "fenêtre réelle : titre, vérification dans le dossier de travail, touche et statut 0"
