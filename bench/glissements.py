#!/usr/bin/env python3
"""One slip, how much reading: single slips made in clean climate files,
each checked by verifie_climat, then fixed by its sure fixes.

    python3 bench/glissements.py BUILD [SEED]

The files: exemples/climat.txt and tests/donnees/reference.txt, which the
tests know, and bench/climats/*.txt, which no test reads. The slips, one at
a time: every line deleted, a blank line inserted before every line, every
line duplicated, every two neighbouring lines swapped, and in each file 60
characters typed, dropped or replaced at places drawn from SEED (2026 by
default). For the slips that draw something, it prints per group of files
and in all: the findings per slip (median, tenth-worst, worst), the roots
shown per slip (the findings without a "cause"), how often the first root
is on the slipped line or points at it with its "origine", and the share of
slips that `verifie_climat --corrige` brings back to a clean file, with the
same for the big cascades (five findings or more) of a deleted head, a
deleted "<", a duplicated or a swapped line."""
import json
import pathlib
import random
import statistics
import subprocess
import sys
import tempfile

racine = pathlib.Path(__file__).resolve().parent.parent
construction = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else racine / "build").resolve()
programme = construction / "verifie_climat"
hasard = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 2026)
CARACTERES = b"0123456789:=,./\\%[]{}+-;tvpdfS<>#$ax\xe9"


def glissements(lignes):
    """(kind, slipped lines of the new text, new lines) for each slip."""
    n = len(lignes)
    for k in range(n):
        nom = "tête" if lignes[k][:1] in (b">", b"#") else "<" if lignes[k].strip() == b"<" else "ligne"
        yield f"{nom} supprimée", {k + 1}, lignes[:k] + lignes[k + 1:]
        yield "ligne blanche", {k + 1}, lignes[:k] + [b""] + lignes[k:]
        yield "ligne doublée", {k + 1, k + 2}, lignes[:k + 1] + [lignes[k]] + lignes[k + 1:]
        if k + 1 < n and lignes[k] != lignes[k + 1]:
            yield "lignes échangées", {k + 1, k + 2}, lignes[:k] + [lignes[k + 1], lignes[k]] + lignes[k + 2:]
    for _ in range(60):
        k = hasard.randrange(n)
        ligne = lignes[k]
        i = hasard.randrange(len(ligne) + 1)
        sorte = hasard.choice(["tapé", "oublié", "remplacé"]) if ligne else "tapé"
        c = bytes([hasard.choice(CARACTERES)])
        nouvelle = ligne[:i] + c + ligne[i:] if sorte == "tapé" else ligne[:min(i, len(ligne) - 1)] + (
            c if sorte == "remplacé" else b"") + ligne[min(i, len(ligne) - 1) + 1:]
        if nouvelle != ligne:
            yield f"caractère {sorte}", {k + 1}, lignes[:k] + [nouvelle] + lignes[k + 1:]


def constats(chemin):
    r = subprocess.run([str(programme), "--format=json", str(chemin)], capture_output=True, stdin=subprocess.DEVNULL)
    return json.loads(r.stdout)["fichiers"][0]["constats"]


def mesure(fichiers, dossier):
    lignes_de_resultats = []
    for fichier in fichiers:
        lignes = fichier.read_bytes().split(b"\n")
        fin = lignes.pop() if lignes[-1] == b"" else None
        for sorte, places, nouvelles in glissements(lignes):
            texte = b"\n".join(nouvelles) + (b"\n" if fin is not None else b"")
            chemin = dossier / "climat.txt"
            chemin.write_bytes(texte)
            c = constats(chemin)
            if not c:
                continue
            racines = [x for x in c if "cause" not in x]
            premiere = racines[0] if racines else c[0]
            lieu = premiere.get("origine", {}).get("ligne", premiere["ligne"])
            subprocess.run([str(programme), "--corrige", str(chemin)], capture_output=True, stdin=subprocess.DEVNULL)
            propre = not constats(chemin)
            lignes_de_resultats.append((sorte, len(c), len(racines), lieu in places or premiere["ligne"] in places, propre))
    return lignes_de_resultats


def pire_dixieme(valeurs):
    return sorted(valeurs, reverse=True)[len(valeurs) // 10]


def imprime(nom, r):
    if not r:
        return
    n = len(r)
    trouves = [x[1] for x in r]
    racines = [x[2] for x in r]
    grandes = [x for x in r if x[1] >= 5 and x[0] in ("tête supprimée", "< supprimée", "ligne doublée", "lignes échangées")]
    print(f"{nom} : {n} glissements qui tracent quelque chose")
    print(f"  constats par glissement : médiane {statistics.median(trouves):g}, pire dixième {pire_dixieme(trouves)}, "
          f"pire {max(trouves)}")
    print(f"  racines par glissement : médiane {statistics.median(racines):g}, pire dixième {pire_dixieme(racines)}, "
          f"pire {max(racines)}")
    print(f"  première racine sur le glissement : {100 * sum(x[3] for x in r) / n:.0f} %")
    print(f"  ramenés à un fichier propre par les corrections sûres : {100 * sum(x[4] for x in r) / n:.0f} %")
    if grandes:
        print(f"  grandes cascades (tête, <, ligne doublée ou échangée ; 5 constats ou plus) : {len(grandes)}, "
              f"ramenées à un fichier propre : {100 * sum(x[4] for x in grandes) / len(grandes):.0f} %")
    par_sorte = {}
    for x in r:
        par_sorte.setdefault(x[0], []).append(x)
    for sorte, xs in sorted(par_sorte.items()):
        print(f"    {sorte:22} {len(xs):4}  racines médiane {statistics.median([x[2] for x in xs]):g}  "
              f"sur le glissement {100 * sum(x[3] for x in xs) / len(xs):3.0f} %  propres {100 * sum(x[4] for x in xs) / len(xs):3.0f} %")


def main():
    connus = [racine / "exemples/climat.txt", racine / "tests/donnees/reference.txt"]
    nouveaux = sorted((racine / "bench/climats").glob("*.txt"))
    with tempfile.TemporaryDirectory() as d:
        a = mesure(connus, pathlib.Path(d))
        b = mesure(nouveaux, pathlib.Path(d))
    imprime("Fichiers que les tests connaissent", a)
    imprime("Fichiers qu'aucun test ne lit (bench/climats)", b)
    imprime("En tout", a + b)


main()
