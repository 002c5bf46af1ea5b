#!/usr/bin/env python3
"""Fails when a message of the checker is missing from the authors' guide.
Variable parts (a number, a character, a name) are written "…" in the guide."""
import pathlib
import re
import sys

racine = pathlib.Path(__file__).resolve().parent.parent


def normalise(texte):
    texte = re.sub(r"%\.0f|%\.d|%d|%c|%\.\*s", "…", texte)
    return " ".join(texte.split())


def messages():
    for chemin in sorted(racine.glob("testeur_climat/*.cpp")):
        source = chemin.read_text(encoding="utf-8")
        for m in re.finditer(r'"((?:[^"\\\n]|\\.)*)"(?:_l1)?', source):
            brut = m.group(1)
            texte = brut.replace("\\n", "\n").replace("\\\\", "\\").replace('\\"', '"')
            # Messages are sentences; keywords and formats of numbers are not.
            if " " in texte.strip() and (texte.endswith("\n") or texte.endswith(".")):
                yield normalise(texte)


texte_guide = (racine / "docs/guide-climat.md").read_text(encoding="utf-8")
texte_guide = re.sub(r"^```.*?^```", "", texte_guide, flags=re.S | re.M)  # examples apart
guide = normalise(" ".join(re.findall(r"`([^`]+)`", texte_guide)))
absents = sorted({m for m in messages() if m not in guide})
for m in absents:
    print("absent du guide :", m)
print(f"{len(absents)} message(s) absent(s) du guide")
sys.exit(1 if absents else 0)
