#!/usr/bin/env python3
"""verifie_climat PROGRAMME --format=climat: the model of three files, written
by hand from them (tests/donnees/modeles/), is what the program writes; on
every other example and test file the document is JSON, its status that of
the findings, each element's line lies in the file, the elements of a
list in the order of their lines, and the whole model is the one kept in
tests/donnees/modeles/instantanes.txt."""
import json
import os
import pathlib
import subprocess
import sys

racine = pathlib.Path(__file__).resolve().parent.parent
programme = str(pathlib.Path(sys.argv[1]).resolve())
fautes = []


def modele(chemin):
    r = subprocess.run([programme, "--format=climat", str(chemin)], capture_output=True)
    return r.returncode, json.loads(r.stdout)


for attendu in sorted((racine / "tests/donnees/modeles").glob("*.json")):
    chemin = next(p for d in ("exemples", "tests/donnees") if (p := racine / d / (attendu.stem + ".txt")).exists())
    obtenu = modele(chemin)[1]["fichiers"][0]
    obtenu = {k: v for k, v in obtenu.items() if k not in ("fichier", "lisible")}
    for cle, valeur in json.loads(attendu.read_text(encoding="utf-8")).items():
        if obtenu.get(cle) != valeur:
            fautes.append(f"{attendu.stem}, {cle} : obtenu {json.dumps(obtenu.get(cle), ensure_ascii=False)[:300]}")


def lignes(valeur, chemin=""):
    """Every (path, line) of the document, and each array's lines in order."""
    if isinstance(valeur, dict):
        for k, v in valeur.items():
            if k == "ligne" and isinstance(v, int):
                yield chemin, v
            else:
                yield from lignes(v, f"{chemin}.{k}")
    elif isinstance(valeur, list):
        for i, v in enumerate(valeur):
            yield from lignes(v, f"{chemin}[{i}]")


# Every climate file's whole model, as the program wrote it when it was last
# read and found right (MODELES_REECRITS=1 writes it anew): one part a line.
instantanes = racine / "tests/donnees/modeles/instantanes.txt"
fichiers = sorted([*racine.glob("exemples/*.txt"), *racine.glob("tests/donnees/*.txt")])
ecrits = ""
for chemin in fichiers:
    statut, document = modele(chemin)
    (fichier,) = document["fichiers"]
    if chemin.read_bytes()[:1] not in (b"#", b"S"):  # the test tables change as tests are added: not them
        ecrits += f"== {chemin.relative_to(racine)}\n" + "".join(f"{k} {json.dumps(v, ensure_ascii=False)}\n" for k, v in fichier.items() if k != "fichier")
    attendu = subprocess.run([programme, "--format=json", str(chemin)], capture_output=True).returncode
    n = chemin.read_bytes().count(b"\n") + 1
    hors = [(c, l) for c, l in lignes(fichier) if not 1 <= l <= n + 1]
    for cle in ("entrees", "saisons", "regles", "moments"):
        for c, tableau in ((c, v) for c, v in fichier.items() if isinstance(v, dict)):
            suite = [e["ligne"] for e in (tableau or {}).get(cle, []) if isinstance(e, dict)]
            if suite != sorted(suite):
                hors.append((f"{c}.{cle}", suite))
    if statut != attendu or hors or set(fichier) != {"fichier", "lisible", "entete", "temperatures", "vents", "precipitations",
                                                      "saisons", "regles", "horloge"}:
        fautes.append(f"{chemin.name} : statut {statut} pour {attendu}, {hors[:3]}, {sorted(fichier)}")
if os.environ.get("MODELES_REECRITS"):
    instantanes.write_text(ecrits, encoding="utf-8")
garde = instantanes.read_text(encoding="utf-8")
if garde != ecrits:
    avant, apres = next((a, b) for a, b in zip(garde.split("\n") + [""], ecrits.split("\n") + [""]) if a != b)
    fautes.append(f"modèle changé : {apres[:300]}, attendu {avant[:300]}")
# A file that cannot be read says why, and gives status 2.
statut, document = modele(racine / "nulle/part.txt")
if (statut, document["fichiers"][0]["lisible"], document["fichiers"][0].get("raison")) != (2, False, "fichier introuvable"):
    fautes.append(f"fichier introuvable : {statut} {document}")
print(f"{len(fichiers)} fichiers décrits")
print("\n".join(fautes) or "modèles conformes")
sys.exit(1 if fautes else 0)
