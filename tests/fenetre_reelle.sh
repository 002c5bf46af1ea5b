#!/usr/bin/env bash
# The program started as a desktop launcher starts it (found through PATH,
# output not a terminal, a file name with a blank in it) under Xvfb with
# Debian's real xterm, once for each row of the section "fenetres_reelles"
# of tests/donnees/demarrage.txt: a working folder (its name may be code for
# a shell), the user's shell, and what a hostile neighbour prepared there.
# Each time the window is found by its title, the check runs in it, in the
# working folder, and a key typed in the window ends it with status 0;
# nothing else ran (no file named PWN* appears).
set -euo pipefail
programme=$1
reference=$2
table=$3
for outil in xvfb-run xterm xdotool pgrep; do
  command -v "$outil" >/dev/null || { echo "IGNORÉ : $outil introuvable (tests/lancer.sh l'installe)"; exit 77; }
done
# -noreset: by default Xvfb resets when its last client leaves, which is
# between two rows here, and a connection tried during the reset is refused.
[ -n "${DANS_XVFB:-}" ] || exec env DANS_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"

attend() { for _ in $(seq 300); do "$@" && return 0; sleep 0.1; done; return 1; }  # 30 s at most
# The copy in the window, blocked reading its terminal: it waits for its key.
a_la_pause() {
  for p in $(pgrep -f "$banc/bin/testeur_climat"); do
    [[ $(cat "/proc/$p/syscall" 2>/dev/null) == "0 0x0 "* && $(readlink "/proc/$p/fd/0") == /dev/pts/* ]] && return 0
  done; return 1
}

# Xvfb may take a while to accept connections on a loaded machine.
attend bash -c 'xdotool getdisplaygeometry >/dev/null 2>&1' || { echo "ÉCHEC : le serveur X ne répond pas"; exit 1; }

lignes=0
while IFS= read -r ligne; do
  [[ -z $ligne || $ligne == \#* ]] && continue
  nom=${ligne%% ; *}; reste=${ligne#* ; }
  coquille=${reste%% ; *}; reste=${reste#* ; }
  dossier=${reste%% ; *}; preparation=${reste#* ; }
  command -v "$coquille" >/dev/null || { echo "IGNORÉ : $coquille introuvable (tests/lancer.sh l'installe)"; exit 77; }
  banc=$(mktemp -d)
  trap 'pkill -f "^$banc/" || true; rm -rf "$banc"' EXIT
  echec() { echo "ÉCHEC ($nom) : $*"; cat "$banc/fenetre.log" 2>/dev/null || true; exit 1; }

  mkdir -p "$banc/bin" "$banc/$dossier"
  cp "$programme" "$banc/bin/testeur_climat"
  LC_ALL=C sed '1s/.*/latitude=45/' "$reference" >"$banc/mon climat.txt"
  # xterm keeps a copy of everything it shows, so the totals can be read.
  printf 'XTerm*logging: true\nXTerm*logFile: %s\n' "$banc/fenetre.log" >"$banc/ressources"
  (cd "$banc/$dossier" && BANC=$banc bash -c "$preparation") || echec "préparation"
  (cd "$banc/$dossier" && SHELL=$(command -v "$coquille") PATH="$banc/bin:$PATH" XENVIRONMENT="$banc/ressources" \
    exec testeur_climat "$banc/mon climat.txt" >"$banc/sortie" 2>&1 </dev/null) &
  pid=$!

  # Asked again until it answers: one refused connection is not a missing window.
  cherche() { fenetre=$(xdotool search --name '^Testeur de fichier de climat$' 2>/dev/null | head -n 1) && [ -n "$fenetre" ]; }
  attend cherche || echec "aucune fenêtre intitulée « Testeur de fichier de climat »"
  attend a_la_pause || echec "le programme n'attend pas de touche"
  grep -q '!!! Le fichier de climat contient 1 erreurs' "$banc/fenetre.log" || echec "total des erreurs absent"
  [ -s "$banc/sortie" ] && echec "la sortie hors fenêtre n'est pas vide : $(cat "$banc/sortie")"
  journal=$(find "$banc" -name Erreur.log)
  [ "$journal" = "$banc/${dossier%/}/Erreur.log" ] || [ "$journal" = "$banc/${dossier%/}.vrai/Erreur.log" ] ||
    echec "Erreur.log n'est pas dans le dossier de travail : ${journal:-absent}"
  LC_ALL=C grep -q '^- Erreur ligne 1\. ' "$journal" || echec "Erreur.log incomplet"
  xdotool windowfocus --sync "$fenetre" key --clearmodifiers Return || echec "la touche n'a pas pu être envoyée"
  attend bash -c "! kill -0 $pid 2>/dev/null" || echec "le programme ne se termine pas après la touche"
  wait "$pid" || echec "statut de fin $?"
  pirate=$(find "$banc" -name 'PWN*')
  [ -z "$pirate" ] || echec "autre chose que le testeur s'est lancé : $pirate"
  # The next row must not find this window while the X server closes it.
  attend bash -c "! xdotool search --name '^Testeur de fichier de climat\$' >/dev/null" || echec "la fenêtre ne se ferme pas"
  pkill -f "^$banc/" || true
  rm -rf "$banc"
  trap - EXIT
  echo "fenêtre réelle, $nom : titre, vérification dans le dossier de travail, touche, statut 0, rien d'autre"
  lignes=$((lignes + 1))
done < <(sed -n '/^== fenetres_reelles/,/^== /{/^== /d;p}' "$table")
[ "$lignes" -gt 0 ] || { echo "ÉCHEC : aucune ligne dans la table"; exit 1; }
