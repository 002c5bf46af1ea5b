#!/usr/bin/env python3
"""Every message of the checker is explained in the authors' guide (where a
variable part, a number, a character or a name, is written "…") and drawn at
least once by the expected reports of the examples and test data, so that
each text is checked somewhere, byte for byte; every example file the guide
names exists with its expected report (which test_demarrage.cpp runs); and
no string literal of the program holds an accented letter without the _l1
suffix (adjacent literals are one literal): such a text would reach
"Erreur.log" in UTF-8 instead of Latin-1."""
import pathlib
import re
import sys

racine = pathlib.Path(__file__).resolve().parent.parent
FORMATS = r"%\.0f|%\.d|%zu|%ld|%d|%c|%\.\*s"


def messages():
    for chemin in sorted(racine.glob("testeur_climat/passe/*.cpp")):  # the checker, not its front ends
        source = chemin.read_text(encoding="utf-8")
        # Adjacent literals are one text, as the compiler joins them.
        for m in re.finditer(r'(?:"(?:[^"\\\n]|\\.)*"(?:_l1)?\s*)+', source):
            brut = "".join(re.findall(r'"((?:[^"\\\n]|\\.)*)"', m.group(0)))
            texte = brut.replace("\\n", "\n").replace("\\\\", "\\").replace('\\"', '"')
            # Messages are sentences; keywords and formats of numbers are not.
            if " " in texte.strip() and (texte.endswith("\n") or texte.endswith(".")):
                yield texte


def normalise(texte):
    return " ".join(re.sub(FORMATS, "…", texte).split())


guide = (racine / "docs/guide-climat.md").read_text(encoding="utf-8")
fautes = []
for nom in sorted(set(re.findall(r"(?:exemples|tests/donnees)/[\w.-]+\.txt", guide))):
    for suffixe in (".txt", ".sortie", ".Erreur.log"):
        if not (racine / (nom[:-4] + suffixe)).exists():
            fautes.append(f"exemple du guide sans son rapport : {nom[:-4] + suffixe}")
guide = re.sub(r"^```.*?^```", "", guide, flags=re.S | re.M)  # examples apart
guide = normalise(" ".join(re.findall(r"`([^`]+)`", guide)))
journaux = "".join(p.read_bytes().decode("latin-1") for d in ("exemples", "tests/donnees")
                   for p in sorted((racine / d).glob("*.Erreur.log")))
journaux += (racine / "tests/donnees/demarrage.txt").read_text(encoding="utf-8")  # a folder as the path
for texte in sorted(set(messages())):
    if normalise(texte) not in guide:
        fautes.append("absent du guide : " + texte.strip())
    motif = ".+?".join(re.escape(morceau) for morceau in re.split(FORMATS, texte))
    if not re.search(motif, journaux, flags=re.S):
        fautes.append("jamais tiré par un rapport attendu : " + texte.strip())
# The messages of the console and of verifie_climat are in the guide too
# (its prose, code blocks apart), their variable parts as "…".
prose = " ".join(re.sub(r"^```.*?^```", "", (racine / "docs/guide-climat.md").read_text(encoding="utf-8"), flags=re.S | re.M).split())
for chemin in sorted(str(p.relative_to(racine)) for p in [*racine.glob("console/*/*.cpp"), *racine.glob("testeur_climat/*/*.cpp")]
                     if p.parent.name != "passe" and p.name not in ("diff_unifie.cpp", "rapport_console.cpp", "dessin.cpp")):
    # (the diff's own syntax, the findings' prefixes and the drawing's captions are no messages to explain)
    source = re.sub(r"^\s*//.*$", "", (racine / chemin).read_text(encoding="utf-8"), flags=re.M)
    source = re.sub(r'R"\(.*?\)"', "", source)  # raw strings: the JSON written by hand
    for m in re.finditer(r'(?:"(?:[^"\\\n]|\\.)*"(?:_l1)?\s*)+', source):
        texte = "".join(re.findall(r'"((?:[^"\\\n]|\\.)*)"', m.group(0))).replace("\\x01", "%s")
        if texte.startswith(("Usage", "  --")) or "(Aubrelis)" in texte or re.search(r"[{\"]|\[%s\]", texte):
            continue  # the usage (and its option lines) and the version, and the JSON and the GNU forms of the findings
        for ligne in (l for l in texte.split("\\n") if l.count(" ") >= 2):
            motif = ".*?".join(re.escape(" ".join(m.split())) for m in re.split(FORMATS + r"|%s|%04X", ligne.strip()))
            if not re.search(motif, prose):
                fautes.append(f"message absent du guide : {chemin}: {ligne.strip()}")
# Every code given in the program has its section in the guide, and every
# section a code of the program.
donnes = {"CL" + c for p in racine.glob("testeur_climat/*/*.[ch]pp")
          for c in re.findall(r"(?:\{|(?:ERREUR|AVERTISSEMENT|INFORMATION),\s+)([1-9]\d\d),", p.read_text(encoding="utf-8"))}
sections = set(re.findall(r"^#### (CL\d{3})$", (racine / "docs/guide-climat.md").read_text(encoding="utf-8"), re.M))
fautes += [f"code sans section dans le guide : {c}" for c in sorted(donnes - sections)]
fautes += [f"section d'un code que le programme ne donne pas : {c}" for c in sorted(sections - donnes)]
litteral = r'"(?:[^"\\\n]|\\.)*"(?:_l1)?'
for chemin in sorted([*racine.glob("console/*/*.[ch]pp"), *racine.glob("testeur_climat/*/*.[ch]pp")]):
    texte = chemin.read_text(encoding="utf-8")
    for m in re.finditer(rf"{litteral}(?:\s*{litteral})*", texte):
        if "_l1" not in m.group(0) and any(ord(c) > 127 for c in m.group(0)):
            fautes.append(f"texte accentué sans _l1 : {chemin.relative_to(racine)}:{texte.count(chr(10), 0, m.start()) + 1}")
print("\n".join(fautes))
print(f"{len(fautes)} faute(s)")
sys.exit(1 if fautes else 0)
