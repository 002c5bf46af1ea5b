#!/usr/bin/env python3
"""verifie_climat PROGRAMME: its findings are those of the expected reports of
testeur_climat (the golden logs) for every example and test file, in JSON
(parsed back by Python's json) and in GNU form; its exit statuses; an
unreadable file among good ones; standard input; the examples of the guide
(its "climat" blocks, end to end, form a file with no finding, also with any
one of its "climat-regle" lines added to the causes); and the vim settings
and git hook of the guide, run for real."""
import collections
import functools
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import unicodedata

racine = pathlib.Path(__file__).resolve().parent.parent
programme = str(pathlib.Path(sys.argv[1]).resolve())
fautes = []


def verifie(*arguments, entree=None):
    r = subprocess.run([programme, *arguments], input=entree, capture_output=True)
    return r.returncode, r.stdout.decode()


def attendu(journal):
    """(kind, line, message) of each finding of a golden log, the message's blanks and line feeds aside."""
    morceaux = re.split(r"- (Erreur|Avertissement) ligne (\d+)\. ", journal.read_bytes().decode("latin-1"))[1:]
    return [(morceaux[i].lower(), morceaux[i + 1], " ".join(morceaux[i + 2].split())) for i in range(0, len(morceaux), 3)]


def essaie(quoi, texte, voulus):
    """The findings of a trial's text, each "LINE: kind: message [CODE]", are those its constats block shows."""
    obtenus = re.findall(r"^-:(\d+):\d+: (.*)$", verifie("-", entree=texte.encode("latin-1"))[1], re.M)
    egal(quoi, [f"{n}: {r}" for n, r in obtenus], [] if voulus.strip() == "aucun constat" else voulus.splitlines())


def egal(quoi, obtenu, voulu):
    if obtenu != voulu:
        fautes.append(f"{quoi} : obtenu {str(obtenu)[:300]}, attendu {str(voulu)[:300]}")


# Each code's section of the guide: its kind and the texts of its messages.
sections = {}
for code, corps in re.findall(r"^#### (CL\d{3})\n(.*?)(?=^#{1,4} |\Z)", (racine / "docs/guide-climat.md").read_text(encoding="utf-8"), re.S | re.M):
    textes, _, explication = corps.partition("**")
    modeles = [".*?".join(map(re.escape, t.split("…"))) for t in re.findall(r"`([^`]+)`", textes)]
    sections[code] = ("erreur" if explication.startswith("Problème** (erreur)") else "avertissement", modeles)


def dans_sa_section(c):
    sorte, modeles = sections.get(c["code"], ("?", []))
    return sorte == c["gravite"] and any(re.fullmatch(m, c["message"]) for m in modeles)


# JSON names an invisible character, "espace (U+0020)", where the console
# and the log show the character itself: the name is read back.
tel_quel = lambda m: re.sub(r"(?<=caractère )[^()]*\(U\+([0-9A-F]{4})\)", lambda x: chr(int(x.group(1), 16)), m)

journaux = sorted([*racine.glob("exemples/*.Erreur.log"), *racine.glob("tests/donnees/*.Erreur.log")])
for journal in journaux:
    climat = str(journal).removesuffix(".Erreur.log") + ".txt"
    voulu = attendu(journal)
    statut, sortie = verifie("--format=json", climat)
    constats = json.loads(sortie)["fichiers"][0]["constats"]
    # The lines are the editor's: the golden file of long lines, the guide's
    # trials and the server's table fix them.
    egal(climat + " (caractères invisibles nommés)", [c["message"] for c in constats if re.search("[\x00-\x1f\x7f-\xa0\xad]", c["message"])], [])
    for c in constats:
        c["message"] = tel_quel(c["message"])
    egal(climat + " (JSON)", [(c["gravite"], " ".join(c["message"].split())) for c in constats], [(k, m) for k, _, m in voulu])
    egal(climat + " (codes du guide)", [c for c in constats if not dans_sa_section(c)], [])
    # A consequence names its root, which follows from nothing itself, and comes after it.
    egal(climat + " (causes)", [c for i, c in enumerate(constats) if "cause" in c and ("cause" in constats[c["cause"]] or c["cause"] >= i)], [])
    # Folded: no line feed, one blank where there was one (but a blank shown as the faulty character).
    egal(climat + " (une ligne)", [m for m in (c["message"] for c in constats) if "\n" in m or m != m.strip()
                                   or "  " in m.replace("caractère   n'est", "X")], [])
    egal(climat + " (statut)", statut, 1 if any(k == "erreur" for k, _, _ in voulu) else 0)
    # The same findings, one a line (a message with a control character is shown escaped), as the golden file has them.
    lignes = [f"{climat}:{c['ligne']}:{c['colonne']}: {c['gravite']}: " + (f"{c['message']} [{c['code']}]" if c["message"].isprintable() else "")
              for c in constats]
    gnu = verifie(climat)[1].splitlines()
    egal(climat + " (GNU)", [l if a[-1] != " " else l[:len(a)] for l, a in zip(gnu, lignes)] + gnu[len(lignes):], lignes)
    egal(climat + " (GNU attendu)", [l.replace(climat, pathlib.Path(climat).name, 1) for l in gnu],
         pathlib.Path(climat).with_suffix(".gnu").read_text(encoding="utf-8").splitlines())
    # A span stays on its line: from its column to at most the end of the line's text.
    textes = pathlib.Path(climat).read_bytes().split(b"\n")
    longueur = lambda n: len(textes[n - 1].removesuffix(b"\r")) if n <= len(textes) else 0
    egal(climat + " (étendues)", [c for c in constats if not 1 <= c["colonne"] <= c["colonne_fin"] <= longueur(c["ligne"]) + 1], [])
print(f"{len(journaux)} rapports attendus comparés")
# One golden file fixes the editor's lines and columns after lines read in several pieces, and the codes.
longues = racine / "tests/donnees/lignes_longues.txt"
egal("lignes longues", verifie(str(longues))[1].replace(str(longues), longues.name),
     longues.with_suffix(".gnu").read_text(encoding="utf-8"))

# The command line, one row of tests/donnees/verifie_climat.txt a case, and
# what others may try against it, one row of tests/donnees/attaques.txt a
# case (those run as root only). A row that cannot run here says so.
exemples = racine / "exemples"
with tempfile.TemporaryDirectory() as dossier:
    os.chmod(dossier, 0o755)
    reference = (racine / "tests/donnees/reference.txt").read_bytes().split(b"\n")
    million = pathlib.Path(dossier) / "million.txt"
    million.write_bytes(b"\n".join(reference[:14] + [b"%d:g1:T" % (6 + i) for i in range(1_000_000)] + reference[14:]))
    tables = ["verifie_climat.txt"] + (["attaques.txt"] if os.geteuid() == 0 else [])
    for ligne in (l for t in tables for l in (racine / "tests/donnees" / t).read_text(encoding="utf-8").splitlines()):
        if ligne and not ligne.startswith("#"):
            nom, statut, motif, script = ligne.split(" ; ", 3)
            d = tempfile.mkdtemp(dir=dossier)
            r = subprocess.run(["sh", "-c", script, programme, exemples, racine / "tests/donnees/reference.txt", million,
                                racine / "tests/echange.py"], cwd=d, capture_output=True)
            sortie = (r.stdout + r.stderr).decode("utf-8", "replace")
            if r.returncode == 77:
                print(f"non essayé ici : {nom}")
            else:
                egal(nom, (r.returncode, bool(re.search(motif, sortie, re.S)), sortie[:300]), (int(statut), True, sortie[:300]))

# The sure fixes, one row of tests/donnees/corrections.txt a slip: the file the author meant, through
# the diff and git apply (which takes no offset a hunk header would need), through --corrige, and
# through the server's "source.fixAll" action.
def retouche(lignes, champ):
    sorte, n, texte = champ[0], int(re.match(r".(\d+)", champ).group(1)), champ.partition(" ")[2]
    texte = re.sub(r"\{\{(\d+) (.)\}\}", lambda m: m.group(2) * int(m.group(1)), texte).replace("\\r", "\r")
    texte = re.sub(r"\\x([0-9a-f]{2})", lambda m: chr(int(m.group(1), 16)), texte)
    if sorte == "S":
        del lignes[n - 1]
    else:
        lignes[n - 1:n - (sorte == "I")] = [texte.encode("latin-1")]
    return lignes


def serveur_corrige(texte):
    cadre = lambda m: b"Content-Length: %d\r\n\r\n" % len(json.dumps(m).encode()) + json.dumps(m).encode()
    doc = {"uri": "file:///x/c.txt"}
    messages = [{"id": 1, "method": "initialize"}, {"method": "textDocument/didOpen", "params": {"textDocument": {**doc, "version": 1, "text": texte}}},
                {"id": 2, "method": "textDocument/codeAction", "params": {"textDocument": doc, "range": {"start": {"line": 0, "character": 0},
                 "end": {"line": 0, "character": 0}}, "context": {"diagnostics": [], "only": ["source.fixAll"]}}}]
    sortie = subprocess.run([programme, "--lsp"], input=b"".join(cadre({"jsonrpc": "2.0", **m}) for m in messages), capture_output=True).stdout
    actions = json.loads(sortie[sortie.rindex(b"\r\n\r\n") + 4:])["result"]
    # The edits' places are those of the text before them all: the last first.
    lignes = texte.split("\n")
    place = lambda p: sum(len(l) + 1 for l in lignes[:p["line"]]) + p["character"]
    for action in actions:
        for modif in reversed(action["edit"]["changes"]["file:///x/c.txt"]):
            texte = texte[:place(modif["range"]["start"])] + modif["newText"] + texte[place(modif["range"]["end"]):]
    return texte


reference = (racine / "tests/donnees/reference.txt").read_bytes()
with tempfile.TemporaryDirectory() as dossier:
    d = pathlib.Path(dossier)
    sorties = ""  # each diff whole, what each fix is called and the totals after them
    for ligne in (racine / "tests/donnees/corrections.txt").read_text(encoding="utf-8").splitlines():
        if not ligne or ligne[0] in "#=":
            continue
        gauche, _, droite = ligne.partition(" =>")
        nom, *fautes_ = gauche.split(" ; ")
        faute = b"\n".join(functools.reduce(retouche, fautes_, reference.split(b"\n")))
        voulu = b"\n".join(functools.reduce(retouche, [c for c in droite.strip().split(" ; ") if c], reference.split(b"\n")))
        (d / "climat.txt").write_bytes(faute)
        sortie = subprocess.run([programme, "--format=diff", "climat.txt"], cwd=d, capture_output=True)
        subprocess.run(["git", "apply"], input=sortie.stdout, cwd=d)
        egal(f"correction {nom} (diff)", (d / "climat.txt").read_bytes(), voulu)
        sorties += f"== {nom}\n" + sortie.stdout.decode("latin-1") + sortie.stderr.decode("utf-8")
        (d / "climat.txt").write_bytes(faute)
        statut = subprocess.run([programme, "--corrige", "climat.txt"], cwd=d, capture_output=True).returncode
        egal(f"correction {nom} (--corrige)", ((d / "climat.txt").read_bytes(), statut), (voulu, verifie("-", entree=voulu)[0]))
        egal(f"correction {nom} (serveur)", serveur_corrige(faute.decode("latin-1")), voulu.decode("latin-1"))
    if os.environ.get("SORTIES_REECRITES"):  # a change meant: the golden file rewritten, to be read before it is committed
        (racine / "tests/donnees/corrections.sorties").write_bytes(sorties.encode())
    egal("diffs des corrections", sorties, (racine / "tests/donnees/corrections.sorties").read_bytes().decode())  # CR kept
    # Each example: what its fixes are, in the golden file beside it.
    for exemple in sorted(exemples.glob("*.txt")):
        shutil.copy(exemple, d / exemple.name)
        sortie = subprocess.run([programme, "--format=diff", exemple.name], cwd=d, capture_output=True)
        egal(f"corrections de {exemple.name}", (sortie.stdout + sortie.stderr).decode("latin-1"),
             exemple.with_suffix(".corrections").read_bytes().decode("latin-1"))

guide = (racine / "docs/guide-climat.md").read_text(encoding="utf-8")
blocs = lambda sorte: [l for b in re.findall(rf"^```{sorte}\n(.*?)^```", guide, re.S | re.M) for l in b.splitlines()]
climat = blocs("climat")
fermeture = climat.index("<", climat.index(">Causes des précipitations:"))
egal("exemples du guide", len(climat) > 50 and verifie("-", entree="\n".join(climat + [""]).encode("latin-1")), (0, ""))
for regle in blocs("climat-regle"):
    avec = climat[:fermeture] + [regle] + climat[fermeture:]
    egal("règle du guide " + regle, verifie("-", entree="\n".join(avec + [""]).encode("latin-1")), (0, ""))
# The guide's trials: a paragraph of the complete example replaced by the
# trial's lines, or for "regle" the lines added before the "<" of the causes
# ("fin": the file ends there; "sans-saut": without its final line feed),
# draws exactly the findings shown after it, numbered as in the complete
# file.
paragraphes = [b.splitlines() for b in re.findall(r"^```climat\n(.*?)^```", guide, re.S | re.M)]
NOMS = ["entete", "temperatures", "vents", "precipitations", "saisons", "temperatures-saison", "causes", "horloge"]
essais = re.findall(r"^```essai ([\w -]+)\n(.*?)^```\n+[^`]*?```constats\n(.*?)^```", guide, re.S | re.M)
for options, essai, voulus in essais:
    nom, *options = options.split()
    k = NOMS.index(nom) if nom != "regle" else None
    avant = sum(paragraphes[:k], []) if k is not None else climat[:fermeture]
    apres = [] if "fin" in options else sum(paragraphes[k + 1:], []) if k is not None else climat[fermeture:]
    texte = "\n".join(avant + essai.splitlines() + apres) + ("" if "sans-saut" in options else "\n")
    essaie(f"essai du guide ({nom}) {essai.splitlines()[:2]}", texte, voulus)
# The short trials: "faute NAME K-L" puts its lines in the place of lines K
# to L of that paragraph of the complete example (L = K - 1: before line K)
# and draws exactly the findings after it; "ligne-juste NAME" shows lines of
# that paragraph as the complete example has them.
fautes_courtes = re.findall(r"^```faute ([\w-]+) (\d+)-(\d+)\n(.*?)^```\n+[^`]*?```constats\n(.*?)^```", guide, re.S | re.M)
for nom, debut, fin, lignes, voulus in fautes_courtes:
    k = NOMS.index(nom)
    juste = paragraphes[k]
    texte = "\n".join(sum(paragraphes[:k], []) + juste[:int(debut) - 1] + lignes.splitlines() + juste[int(fin):]
                      + sum(paragraphes[k + 1:], [])) + "\n"
    essaie(f"faute du guide ({nom} {debut}-{fin}) {lignes.splitlines()[:1]}", texte, voulus)
for nom, lignes in re.findall(r"^```ligne-juste ([\w-]+)\n(.*?)^```", guide, re.S | re.M):
    egal(f"ligne juste du guide ({nom}) {lignes.splitlines()[:1]}", all(l in paragraphes[NOMS.index(nom)] for l in lignes.splitlines()), True)
egal("fautes courtes du guide", len(fautes_courtes), len(re.findall(r"^```faute ", guide, re.M)))
# Each code's section shows a wrong example that draws its code and a
# right one that draws nothing (the messages of the editors and of the
# system apart, which no file in a trial can draw).
for code, section in re.findall(r"^#### (CL\d{3})\n(.*?)(?=^#{1,4} |\Z)", guide, re.S | re.M):
    paire = lambda titre: re.search(rf"^\*\*{titre}\*\*[^:\n]* :.*?```constats\n(.*?)^```", section, re.S | re.M)
    fautif, juste = paire("Exemple fautif"), paire("Correction")
    # A right example is a trial that draws nothing, or right lines of the complete example or of the sample
    # (checked above and below).
    correction = section.find("**Correction** :")
    juste = "aucun constat" if correction >= 0 and section[section.find("\n```", correction):].startswith(("\n```ligne-juste ", "\n```juste ")) \
        else juste and juste.group(1).strip()
    if code in ("CL308", "CL801", "CL802", "CL803", "CL901"):
        egal(f"{code} : sa forme", "**Problème**" in section, True)
        continue
    egal(f"{code} : exemple fautif et correction", (bool(fautif) and f"[{code}]" in fautif.group(1), juste), (True, "aucun constat"))
egal("essais du guide", len(paragraphes) == len(NOMS) and len(essais) >= 10, True)
# The index of the messages: every message of every card once, with its
# code, in alphabetical order (case and accents aside).
cle = lambda m: "".join(c for c in unicodedata.normalize("NFD", m.lower()) if not unicodedata.combining(c))
index = re.findall(r"^- `(.+)` : \[(CL\d{3})\]", guide.split("## Index des messages")[1].split("\n## ")[0], re.M)
cartes = sorted((m, code) for code, messages in re.findall(r"^#### (CL\d{3})\n\n(.*?)(?=\n\*\*)", guide, re.S | re.M)
                for m in re.findall(r"`([^`\n]+)`", messages))
egal("index des messages", (sorted(index), [cle(m) for m, _ in index] == sorted(cle(m) for m, _ in index)), (cartes, True))
# The guide's fixes: the complete example with a paragraph (or, for "regle", the rules added) as in the
# "correction" block becomes, by --corrige, the same with the "corrigé" block.
corrections = re.findall(r"^```correction ([\w-]+)\n(.*?)^```\n+```corrigé\n(.*?)^```", guide, re.S | re.M)
with tempfile.TemporaryDirectory() as dossier:
    for nom, avant, apres in corrections:
        k = NOMS.index(nom) if nom != "regle" else None
        fichier = lambda lignes: "\n".join((sum(paragraphes[:k], []) if k is not None else climat[:fermeture]) + lignes.splitlines()
                                            + (sum(paragraphes[k + 1:], []) if k is not None else climat[fermeture:])) + "\n"
        chemin = pathlib.Path(dossier) / "climat.txt"
        chemin.write_bytes(fichier(avant).encode("latin-1"))
        subprocess.run([programme, "--corrige", str(chemin)], capture_output=True)
        egal(f"correction du guide ({nom}) {avant.splitlines()[:2]}", chemin.read_bytes().decode("latin-1"), fichier(apres))
egal("corrections du guide", len(corrections), len(re.findall(r"^```correction ", guide, re.M)))
# The guide's excerpts of the shipped sample, numbered as the author sees it:
# "extrait L-M" puts its lines in the place of lines L to M of
# exemples/climat.txt and draws exactly the findings after it; "corrigé L-M"
# is what --corrige leaves there of the last excerpt before it in the same
# card; "juste L-M" is the sample's own lines L to M.
echantillon = (exemples / "climat.txt").read_bytes().decode("latin-1").split("\n")
place = lambda debut, fin, lignes: echantillon[:int(debut) - 1] + lignes + echantillon[int(fin):]
vus = collections.Counter()
with tempfile.TemporaryDirectory() as dossier:
    chemin = pathlib.Path(dossier) / "climat.txt"
    for carte in re.split(r"^#### ", guide, flags=re.M):
        fautif = None
        for sorte, debut, fin, lignes, voulus in re.findall(r"^```(extrait|corrigé|juste) (\d+)-(\d+)\n(.*?)^```(?:\n+```constats\n(.*?)^```)?",
                                                            carte, re.S | re.M):
            vus[sorte] += 1
            if sorte == "extrait":
                fautif = "\n".join(place(debut, fin, lignes.splitlines()))
                essaie(f"extrait du guide {debut}-{fin} {lignes.splitlines()[:2]}", fautif, voulus)
            elif sorte == "corrigé":
                chemin.write_bytes((fautif or "").encode("latin-1"))
                subprocess.run([programme, "--corrige", str(chemin)], capture_output=True)
                egal(f"extrait corrigé {debut}-{fin}", chemin.read_bytes().decode("latin-1"), "\n".join(place(debut, fin, lignes.splitlines())))
            else:
                egal(f"extrait juste {debut}-{fin}", lignes.splitlines(), echantillon[int(debut) - 1:int(fin)])
egal("extraits du guide", vus, collections.Counter({s: len(re.findall(rf"^```{s} \d", guide, re.M)) for s in ("extrait", "corrigé", "juste")}))
with tempfile.TemporaryDirectory() as dossier:
    d = pathlib.Path(dossier)
    chemin = f"{pathlib.Path(programme).parent}:/usr/bin:/bin"
    if shutil.which("vim"):
        # vim's :make with its default shellpipe (2>&1| tee): the summaries
        # share the pipe, and every finding must still be read whole.
        (d / "climat.vim").write_text(re.search(r"```vim\n(.*?)```", guide, re.S).group(1))
        for exemple in sorted(exemples.glob("*.txt")):
            shutil.copy(exemple, d / "mon climat.txt")
            subprocess.run(["vim", "-es", "-u", "NONE", "-i", "NONE", "-S", "climat.vim", "-c", "silent make", "-c",
                            "call writefile(map(getqflist(), 'v:val.lnum . \"|\" . v:val.col . \"|\" . v:val.type . \"|\" . v:val.text'), 'qf')",
                            "-c", "qa!", "mon climat.txt"], cwd=d, env={"PATH": chemin, "HOME": dossier, "SHELL": "/bin/sh"},
                           capture_output=True)
            gnu = re.findall(r"^.*/mon climat\.txt:(\d+):(\d+): (.)\w+: (.*)$", verifie(str(d / "mon climat.txt"))[1], re.M)
            egal("vim " + exemple.name, (d / "qf").read_text().splitlines(), [f"{n}|{c}|{k.upper().replace('A', 'W')}|{m}" for n, c, k, m in gnu])
    # VS Code's tasks: their patterns take every finding, its message and its code.
    taches = json.loads(re.search(r"```json\n(.*?)```", guide, re.S).group(1))["tasks"][0]["problemMatcher"]
    lignes = verifie(str(exemples / "climat_avec_erreurs.txt"))[1].splitlines()
    prises = [(l, m) for t in taches for l in lignes if (m := re.match(t["pattern"]["regexp"], l))]
    egal("tâches de VS Code", (len(prises), all(m[3].isdigit() and l.endswith(f": {m[4]} [{m[5]}]") for l, m in prises)), (44, True))
    crochet = re.search(r"```sh\n(#!/bin/sh\n# Refuse le commit.*?)```", guide, re.S).group(1)
    d = d / "depot"
    d.mkdir()
    git = lambda *a: subprocess.run(["git", "-c", "user.name=t", "-c", "user.email=t@t", *a], cwd=d,
                                    env={"PATH": chemin, "HOME": dossier}, capture_output=True, text=True, timeout=60)
    git("init", "-q")
    (d / ".git/hooks/pre-commit").write_text(crochet)
    (d / ".git/hooks/pre-commit").chmod(0o755)
    shutil.copy(exemples / "climat.txt", d / "bon climat.txt")
    git("add", ".")
    egal("crochet, climat sans erreur", git("commit", "-q", "-m", "bon").returncode, 0)
    shutil.copy(exemples / "cascade_oublis.txt", d / "oublis.txt")
    git("add", ".")
    refus = git("commit", "-q", "-m", "mauvais")
    egal("crochet, climat en erreur", (refus.returncode, "oublis.txt:15:1: erreur:" in refus.stderr), (1, True))
    # Only climate files are checked, whatever their names.
    git("rm", "-q", "--cached", "oublis.txt")
    (d / "oublis.txt").unlink()
    (d / "notes.txt").write_text("Liste des courses\npain\n")
    git("add", ".")
    egal("crochet, texte ordinaire", git("commit", "-q", "-m", "notes").returncode, 0)
    shutil.copy(exemples / "cascade_oublis.txt", d / "-tiret.txt")
    git("add", "--", "-tiret.txt")
    refus = git("commit", "-q", "-m", "tiret")
    egal("crochet, nom en tiret", (refus.returncode, "-tiret.txt:15:1: erreur:" in refus.stderr), (1, True))
    # What is checked is what is staged, never the working copy, and links are not followed.
    git("rm", "-q", "--cached", "--", "-tiret.txt")
    (d / "-tiret.txt").unlink()
    shutil.copy(exemples / "cascade_oublis.txt", d / "indexe.txt")
    git("add", "indexe.txt")
    shutil.copy(exemples / "climat.txt", d / "indexe.txt")
    refus = git("commit", "-q", "-m", "indexe")
    egal("crochet, l'index en erreur et la copie juste", (refus.returncode, "indexe.txt:15:1: erreur:" in refus.stderr), (1, True))
    git("add", "indexe.txt")
    shutil.copy(exemples / "cascade_oublis.txt", d / "indexe.txt")
    egal("crochet, l'index juste et la copie en erreur", git("commit", "-q", "-m", "indexe").returncode, 0)
    os.mkfifo(d.parent / "tube")
    (d / "vers_tube").symlink_to(d.parent / "tube")
    (d / "vers_dehors").symlink_to(exemples / "cascade_oublis.txt")
    git("add", "vers_tube", "vers_dehors")
    egal("crochet, liens vers un tube et vers un fichier en erreur", git("commit", "-q", "-m", "liens").returncode, 0)

print("\n".join(fautes) or "verifie_climat conforme")
sys.exit(1 if fautes else 0)
