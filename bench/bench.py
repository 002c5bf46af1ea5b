#!/usr/bin/env python3
"""Benchmark of the checker: climate files of 10^3 to 10^6 lines, clean and
full of findings; prints lines per second, peak memory, and the time of
`wc -l` on the same file as a reference reading speed.

    cmake --build build && python3 bench/bench.py [build]

The program runs with its output thrown away and no DISPLAY, so it neither
opens a window nor waits for a key (its standard input is empty)."""
import os
import pathlib
import subprocess
import sys
import tempfile

racine = pathlib.Path(__file__).resolve().parent.parent
construction = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else racine / "build").resolve()
programme = construction / "testeur_climat"
lanceur = construction / "mesure"
reference = (racine / "tests/donnees/reference.txt").read_bytes().split(b"\n")[:-1]


def fichier(lignes, fautes):
    """The reference file with its temperature list grown to reach `lignes`
    lines; with `fautes`, every added entry lacks its "f" (one error each)."""
    avant, apres = reference[:14], reference[14:]  # up to the fifth temperature
    ajout = max(0, lignes - len(reference))
    modele = b"%d:g1:Temp\xe9rature\n" if fautes else b"%d:f1:Temp\xe9rature\n"
    corps = b"".join(modele % (6 + i) for i in range(ajout))
    return b"\n".join(avant) + b"\n" + corps + b"\n".join(apres) + b"\n"


def mesure(commande, dossier):
    """Best of three runs: seconds and peak memory in MiB."""
    meilleur = None
    for _ in range(3):
        resultat = subprocess.run([str(lanceur), *commande], cwd=dossier, capture_output=True, text=True,
                                  env={k: v for k, v in os.environ.items() if k != "DISPLAY"})
        if resultat.returncode != 0:
            sys.exit(f"{commande[0]} a fini avec le statut {resultat.returncode}")
        duree, memoire = resultat.stdout.split()
        if meilleur is None or float(duree) < meilleur[0]:
            meilleur = (float(duree), int(memoire) / 1024)
    return meilleur


def main():
    if not programme.exists() or not lanceur.exists():
        sys.exit(f"{programme} ou {lanceur} introuvable : construisez d'abord le projet")
    print(f"{'lignes':>9} {'cas':>9} {'temps (s)':>10} {'lignes/s':>12} {'mémoire (Mio)':>14} {'wc -l (s)':>10} {'rapport':>8}")
    with tempfile.TemporaryDirectory() as dossier:
        for lignes in (10**3, 10**4, 10**5, 10**6):
            for fautes in (False, True):
                chemin = pathlib.Path(dossier) / "climat.txt"
                chemin.write_bytes(fichier(lignes, fautes))
                (pathlib.Path(dossier) / "Erreur.log").unlink(missing_ok=True)
                duree, memoire = mesure([str(programme), str(chemin)], dossier)
                reference_wc, _ = mesure(["wc", "-l", str(chemin)], dossier)
                cas = "constats" if fautes else "propre"
                print(f"{lignes:>9} {cas:>9} {duree:>10.3f} {lignes / duree:>12,.0f} {memoire:>14.1f} "
                      f"{reference_wc:>10.4f} {duree / reference_wc:>8.1f}")


main()
