#!/usr/bin/env python3
"""Fails when a string literal of the program holds an accented letter
without the _l1 suffix: such a text would reach "Erreur.log" in UTF-8
instead of Latin-1. Adjacent literals form one literal, whose suffix is
that of any of its pieces."""
import pathlib
import re
import sys

racine = pathlib.Path(__file__).resolve().parent.parent
piece = r'"(?:[^"\\\n]|\\.)*"(?:_l1)?'
fautes = []
for chemin in sorted([*racine.glob("console/*.[ch]pp"), *racine.glob("testeur_climat/*.[ch]pp")]):
    texte = chemin.read_text(encoding="utf-8")
    for m in re.finditer(rf"{piece}(?:\s*{piece})*", texte):
        if "_l1" not in m.group(0) and any(ord(c) > 127 for c in m.group(0)):
            ligne = texte.count("\n", 0, m.start()) + 1
            fautes.append(f"{chemin.relative_to(racine)}:{ligne}: {m.group(0)[:60]}")
print("\n".join(fautes) if fautes else "every accented literal is Latin-1")
sys.exit(1 if fautes else 0)
