#!/usr/bin/env python3
"""Benchmark of the checker, measured side by side with two yardsticks on the
same file: a bare loop of fgets over it (bench/lecture_seule.cpp, what the
reading rule alone costs) and cat.

    cmake --build build && python3 bench/bench.py [build]

For the sample climate file and for generated files of 10^3 to 10^6 lines
of three kinds (rule lines with conditions, wind list entries, one finding
per line), it runs the checker, the fgets loop and cat one after the other,
several times, and prints the median CPU time of the checker, the median of
its ratios to the two yardsticks (each ratio taken within one round, so that
a noisy moment weighs on both sides), lines and findings per second, and the
checker's peak memory. Every process runs with its input and output on
/dev/null and no DISPLAY, so the checker works in place and does not wait."""
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile

racine = pathlib.Path(__file__).resolve().parent.parent
construction = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else racine / "build").resolve()
programme, lanceur, lecture = (construction / n for n in ("testeur_climat", "mesure", "lecture_seule"))
reference = (racine / "tests/donnees/reference.txt").read_bytes().split(b"\n")[:-1]
TOURS = 7

REGLES = [b"2=[t2-4+vb]1;t3,5/\\6.", b"3=[va+p3]1,2/\\4%%10/30.", b"4=[t1-3v2]1%20,2;v1%50,6%100.",
          b"5=[p1-6+ta]d2{4,5}/\\1."]


def fichier(sorte, lignes):
    """The reference file grown to about `lignes` lines of one kind."""
    n = max(0, lignes - len(reference))
    if sorte == "règles":
        ajout = [REGLES[i % len(REGLES)] for i in range(n)]
        return reference[:51] + ajout + reference[51:]
    if sorte == "listes":
        ajout = [b"%d:t+1:f2:Brise" % (5 + i) for i in range(n)]
        return reference[:21] + ajout + reference[21:]
    ajout = [b"%d:g1:Temp\xe9rature" % (6 + i) for i in range(n)]  # one error each: no "f"
    return reference[:14] + ajout + reference[14:]


def mesure(commande, dossier):
    r = subprocess.run([str(lanceur), *map(str, commande)], cwd=dossier, capture_output=True, text=True)
    if r.returncode != 0:
        sys.exit(f"{commande[0]} a fini avec le statut {r.returncode}")
    temps, memoire = r.stdout.split()
    return float(temps), int(memoire) / 1024


def ligne(nom, chemin, dossier):
    temps, contre_lecture, contre_cat, memoire = [], [], [], 0.0
    for _ in range(TOURS):
        t, m = mesure([programme, chemin], dossier)
        t_lecture, _ = mesure([lecture, chemin], dossier)
        t_cat, _ = mesure(["cat", chemin], dossier)
        temps.append(t)
        contre_lecture.append(t / max(t_lecture, 1e-6))
        contre_cat.append(t / max(t_cat, 1e-6))
        memoire = max(memoire, m)
    lignes = chemin.read_bytes().count(b"\n")
    constats = (pathlib.Path(dossier) / "Erreur.log").read_bytes().count(b"\n")
    t = statistics.median(temps)
    print(f"{nom:<22} {lignes:>9} {t:>9.4f} {statistics.median(contre_lecture):>9.2f} "
          f"{statistics.median(contre_cat):>7.2f} {lignes / t:>12,.0f} {constats / t:>11,.0f} {memoire:>8.1f}")


def main():
    for outil in (programme, lanceur, lecture):
        if not outil.exists():
            sys.exit(f"{outil} introuvable : construisez d'abord le projet (cmake --build {construction})")
    print(f"{'fichier':<22} {'lignes':>9} {'CPU (s)':>9} {'× fgets':>9} {'× cat':>7} {'lignes/s':>12} "
          f"{'constats/s':>11} {'Mio':>8}")
    with tempfile.TemporaryDirectory() as dossier:
        ligne("exemples/climat.txt", racine / "exemples/climat.txt", dossier)
        for sorte in ("règles", "listes", "constats"):
            for lignes in (10**3, 10**4, 10**5, 10**6):
                chemin = pathlib.Path(dossier) / "climat.txt"
                chemin.write_bytes(b"\n".join(fichier(sorte, lignes)) + b"\n")
                ligne(f"{sorte} 10^{len(str(lignes)) - 1}", chemin, dossier)


main()
