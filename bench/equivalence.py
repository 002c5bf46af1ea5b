#!/usr/bin/env python3
"""Two builds of the checker give the same bytes: the console output and
"Erreur.log" of testeur_climat, the output and status of verifie_climat in
its three forms (its findings, in JSON, its fixes as a diff) and the messages
of its language server for the file opened, hovered, outlined and asked
questions at places its bytes choose, on every climate file of the repository and on N files made
from them by random mutations (lines removed, repeated, swapped, cut or
lengthened, bytes changed, inserted or removed). For a change that must not
change what the programs say: build the previous commit beside the new one,

    git worktree add /tmp/avant HEAD~1 && cmake -S /tmp/avant -B /tmp/avant/b && cmake --build /tmp/avant/b
    python3 bench/equivalence.py /tmp/avant/b build 20000 [SEED] [--sans-colonnes]

and every difference is printed with the file that shows it (kept in a
folder named on the last line). --sans-colonnes compares a build that
places findings on their columns with one that did not: the columns and the
spans are taken out of both before comparing, so that everything else must
still be the same byte for byte."""
import json
import re
import os
import pathlib
import random
import subprocess
import sys
import tempfile

racine = pathlib.Path(__file__).resolve().parent.parent
sans_colonnes = "--sans-colonnes" in sys.argv
arguments = [a for a in sys.argv[1:] if a != "--sans-colonnes"]
avant, apres = (pathlib.Path(a).resolve() for a in arguments[:2])
nombre = int(arguments[2]) if len(arguments) > 2 else 20000
hasard = random.Random(int(arguments[3]) if len(arguments) > 3 else 2026)
sources = sorted([*racine.glob("exemples/*.txt"), *racine.glob("tests/donnees/*.txt"), *racine.glob("fuzz/regressions/*")])
textes = [s.read_bytes() for s in sources]
MORCEAUX = [b">", b"<", b":", b"=", b"%", b"%%", b"/\\", b"/", b".", b",", b";", b"[", b"]", b"(", b")", b"{", b"}", b"$",
            b"t", b"f", b"d", b"-", b"+", b"0", b"9", b"12", b"\r", b"\n", b" ", b"\xe9", b"\xc3\xa9", b"\x00", b"#", b"x" * 300]


def mute(octets):
    lignes = octets.split(b"\n")
    for _ in range(hasard.randint(1, 6)):
        i = hasard.randrange(len(lignes))
        sorte = hasard.randrange(7)
        if sorte == 0 and len(lignes) > 1:
            del lignes[i]
        elif sorte == 1:
            lignes.insert(i, lignes[hasard.randrange(len(lignes))])
        elif sorte == 2:
            j = hasard.randrange(len(lignes))
            lignes[i], lignes[j] = lignes[j], lignes[i]
        elif sorte == 3:
            del lignes[i:]
            lignes.append(b"")
        else:
            l = lignes[i]
            k = hasard.randint(0, len(l))
            fin = k + (hasard.randint(0, 3) if sorte == 4 else 0)
            lignes[i] = l[:k] + (hasard.choice(MORCEAUX) if sorte != 5 else b"") + l[fin:]
    texte = b"\n".join(lignes)
    return texte[:-1] if hasard.random() < 0.1 and texte.endswith(b"\n") else texte


def cadre(message):
    corps = json.dumps(message).encode()
    return b"Content-Length: %d\r\n\r\n" % len(corps) + corps


def session(fichier):
    """The language server's input: the file opened, its first line hovered, its outline asked; then, at
    places the file's bytes choose, a hover, a definition, references and a completion, the fixes of a
    line and of the whole file; then the end."""
    uri = {"uri": "file:///x/climat.txt"}
    octets = fichier.read_bytes()
    lignes = octets.split(b"\n")
    places = random.Random(octets)
    def ici():
        l = places.randrange(len(lignes))
        return {"line": l, "character": places.randint(0, len(lignes[l]))}
    questions = [{"method": f"textDocument/{m}", "params": {"textDocument": uri, "position": ici(), "context": {"includeDeclaration": True}}}
                 for m in ("hover", "definition", "references", "completion", "hover", "completion")]
    l = ici()["line"]
    questions += [{"method": "textDocument/codeAction", "params": {"textDocument": uri, "range": {"start": {"line": l, "character": 0},
                   "end": {"line": l, "character": 0}}, "context": {"diagnostics": []}}}]
    return b"".join(cadre({"jsonrpc": "2.0", **m}) for m in (
        {"id": 1, "method": "initialize", "params": {}},
        {"method": "textDocument/didOpen", "params": {"textDocument": {**uri, "version": 1, "text": octets.decode("latin-1")}}},
        {"id": 2, "method": "textDocument/hover", "params": {"textDocument": uri, "position": {"line": 0, "character": 0}}},
        {"id": 3, "method": "textDocument/documentSymbol", "params": {"textDocument": uri}},
        *({"id": 10 + k, **q} for k, q in enumerate(questions)),
        {"id": 4, "method": "shutdown"}, {"method": "exit"}))


def sans_etendues(sortie, lignes):
    """The server's messages with the diagnostics' columns and related lines taken out; their lines too when
    `lignes` is false (where a lone CR splits a line, a span after it now lies on the editor's next line, and
    the diagnostics, in the order of their lines, come in another order)."""
    messages = []
    for corps in re.split(rb"Content-Length: \d+\r\n\r\n", sortie)[1:]:
        m = json.loads(corps)
        for d in m.get("params", {}).get("diagnostics", []):
            d["range"] = d["range"]["start"]["line"] if lignes else None
            d.pop("relatedInformation", None)
        if not lignes and "diagnostics" in m.get("params", {}):  # their order is by line: compared as a set
            m["params"]["diagnostics"].sort(key=lambda d: json.dumps(d, sort_keys=True))
        messages.append(m)
    return messages


def sorties(build, fichier, dossier):
    """What the two programs say of one file, run from a folder of their own."""
    journal = dossier / "Erreur.log"
    journal.unlink(missing_ok=True)
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    console = subprocess.run([str(build / "testeur_climat"), str(fichier)], cwd=dossier, env=env, stdin=subprocess.DEVNULL,
                             capture_output=True)
    r = [console.stdout, console.returncode, journal.read_bytes() if journal.exists() else None]
    for forme in ("--format=gnu", "--format=json", "--format=diff"):
        v = subprocess.run([str(build / "verifie_climat"), forme, str(fichier)], capture_output=True)
        sortie = v.stdout
        if sans_colonnes and forme == "--format=gnu":
            sortie = re.sub(rb"(?m)^(.*?:\d+):\d+(: (?:erreur|avertissement): )", rb"\1\2", sortie)
        elif sans_colonnes:
            sortie = re.sub(rb'"colonne": \d+, "colonne_fin": \d+, ', b"", sortie)
        r += [sortie, v.stderr, v.returncode]
    serveur = subprocess.run([str(build / "verifie_climat"), "--lsp"], input=session(fichier), capture_output=True)
    cr_seul = re.search(rb"\r(?!\n)", fichier.read_bytes()) is not None
    r += [sans_etendues(serveur.stdout, not cr_seul) if sans_colonnes else serveur.stdout, serveur.returncode]
    return r


ecarts = 0
with tempfile.TemporaryDirectory() as d:
    d = pathlib.Path(d)
    garde = pathlib.Path(tempfile.mkdtemp(prefix="equivalence-"))
    (d / "a").mkdir()
    (d / "b").mkdir()
    essais = [(s.name, t) for s, t in zip(sources, textes)] + [(f"mute-{k}.txt", mute(hasard.choice(textes))) for k in range(nombre)]
    for nom, octets in essais:
        fichier = d / "climat.txt"
        fichier.write_bytes(octets)
        if sorties(avant, fichier, d / "a") != sorties(apres, fichier, d / "b"):
            ecarts += 1
            (garde / nom).write_bytes(octets)
            print(f"écart : {nom}")
print(f"{len(essais)} fichiers, {ecarts} écart(s); fichiers gardés dans {garde}")
sys.exit(1 if ecarts else 0)
