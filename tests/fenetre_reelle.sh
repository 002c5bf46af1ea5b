#!/usr/bin/env bash
# The program started as a desktop launcher starts it (found through PATH,
# output not a terminal, a file name with a blank in it) under Xvfb with
# Debian's real xterm: its window is found by its title, its pixels show the
# white background and grey text, the check runs, and a key typed in the
# window ends it.
set -euo pipefail
programme=$1
reference=$2

manque=()
for outil in Xvfb xterm xdotool xwd python3; do command -v "$outil" >/dev/null || manque+=("$outil"); done
if [ ${#manque[@]} -gt 0 ]; then
  echo "IGNORÉ : outils introuvables (${manque[*]}) ; tests/lancer.sh les installe (xvfb, xterm, xdotool, x11-apps)"
  exit 77
fi

banc=$(mktemp -d)
serveur=""
nettoie() {
  [ -n "$serveur" ] && kill "$serveur" 2>/dev/null || true
  pkill -f "$banc/bin/testeur_climat" 2>/dev/null || true
  rm -rf "$banc"
}
trap nettoie EXIT

echec() { echo "ÉCHEC : $*"; echo "--- journal de la fenêtre"; cat "$banc/fenetre.log" 2>/dev/null || true; exit 1; }

attend() {  # attend SECONDES COMMANDE...: until the command succeeds
  local limite=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $limite ] || return 1
    sleep 0.2
  done
}

ecran=""
for n in $(seq 90 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then ecran=$n; break; fi
done
[ -n "$ecran" ] || echec "aucun numéro d'écran libre"
Xvfb ":$ecran" -screen 0 1024x768x24 -nolisten tcp >"$banc/xvfb.log" 2>&1 &
serveur=$!
attend 20 test -e "/tmp/.X11-unix/X$ecran" || echec "Xvfb ne démarre pas"
export DISPLAY=":$ecran"

mkdir -p "$banc/bin" "$banc/travail"
cp "$programme" "$banc/bin/testeur_climat"
LC_ALL=C sed '1s/.*/latitude=45/' "$reference" >"$banc/mon climat.txt"
# xterm keeps a copy of everything it shows, so the totals can be read.
printf 'XTerm*logging: true\nXTerm*logFile: %s\n' "$banc/fenetre.log" >"$banc/ressources"

(
  cd "$banc/travail"
  PATH="$banc/bin:$PATH" XENVIRONMENT="$banc/ressources" exec testeur_climat "$banc/mon climat.txt" \
    >"$banc/sortie" 2>&1 </dev/null
) &
pid=$!

fenetre=$(timeout 30 xdotool search --sync --name '^Testeur de fichier de climat$' | head -n 1) ||
  echec "aucune fenêtre intitulée « Testeur de fichier de climat »"
echo "fenêtre $fenetre trouvée par son titre"

attend 30 grep -q 'ne contient aucun avertissement' "$banc/fenetre.log" || echec "les totaux ne s'affichent pas"
grep -q '!!! Le fichier de climat contient 1 erreurs' "$banc/fenetre.log" || echec "total des erreurs absent"
sleep 0.5
kill -0 "$pid" 2>/dev/null || echec "le programme n'attend pas de touche"
[ -s "$banc/sortie" ] && echec "la sortie hors fenêtre n'est pas vide : $(cat "$banc/sortie")"

# Erreur.log is written in the launcher's working directory.
journal="$banc/travail/Erreur.log"
[ -f "$journal" ] || echec "Erreur.log absent du répertoire de travail"
LC_ALL=C grep -q '^- Erreur ligne 1\. La premi.re ligne doit commencer imp.rativement par Latitude=$' "$journal" ||
  echec "Erreur.log inattendu : $(cat "$journal")"

xwd -id "$fenetre" -silent >"$banc/fenetre.xwd"
python3 - "$banc/fenetre.xwd" <<'PY' || echec "couleurs de la fenêtre inattendues"
import struct, sys
d = open(sys.argv[1], "rb").read()
h = struct.unpack(">25I", d[:100])
taille_entete, largeur, hauteur, ordre = h[0], h[4], h[5], h[7]
bpp, par_ligne, masques, ncouleurs = h[11], h[12], h[14:17], h[19]
debut = taille_entete + ncouleurs * 12
def pixel(x, y):
    p = debut + y * par_ligne + x * (bpp // 8)
    v = int.from_bytes(d[p:p + bpp // 8], "little" if ordre == 0 else "big")
    return tuple((v & m) >> ((m & -m).bit_length() - 1) for m in masques)
fond = pixel(4, hauteur - 4)
gris = sum(pixel(x, y) == (127, 127, 127) for y in range(0, hauteur, 2) for x in range(0, largeur, 2))
print(f"fenêtre {largeur}x{hauteur}, fond {fond}, {gris} points gris50")
sys.exit(0 if fond == (255, 255, 255) and gris > 0 else 1)
PY

xdotool windowfocus --sync "$fenetre"
xdotool key --clearmodifiers Return
attend 20 bash -c "! kill -0 $pid 2>/dev/null" || echec "le programme ne se termine pas après la touche"
statut=0
wait "$pid" || statut=$?
[ "$statut" -eq 0 ] || echec "statut de fin $statut"
echo "fenêtre réelle : titre, couleurs, vérification, touche et fin de statut 0 vérifiés"
