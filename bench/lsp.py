#!/usr/bin/env python3
"""Benchmark of the language server (verifie_climat --lsp), measured from the
client's side: the time from a change sent to the diagnostics of that
version received, on the sample climate file and on documents of 100,000
lines (rule lines without a finding, then one finding per line), and the server's peak memory with each held; then the time of a code action request (a line's quickfixes and the whole document's fixes). Beside each figure, the
same check made by a fresh `verifie_climat FILE` (start included), run
alternately with the server's rounds: the median of the ratios is printed.

    cmake --build build && python3 bench/lsp.py [build]"""
import json
import os
import random
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

racine = pathlib.Path(__file__).resolve().parent.parent
programme = str((pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else racine / "build") / "verifie_climat").resolve())


class Client:
    def __init__(self):
        self.p = subprocess.Popen([programme, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.envoie({"jsonrpc": "2.0", "id": 0, "method": "initialize", "params": {}})
        self.recoit()

    def envoie(self, message):
        corps = json.dumps(message).encode()
        self.p.stdin.write(b"Content-Length: %d\r\n\r\n" % len(corps) + corps)
        self.p.stdin.flush()

    def recoit(self):
        n = int(self.p.stdout.readline().split(b":")[1])
        self.p.stdout.readline()
        return self.p.stdout.read(n)

    def diagnostics(self, message):
        """Sends a change and waits for the diagnostics of its version; returns seconds.
        The client only looks for the version near the start of each message,
        so that its own parsing does not weigh on the figure."""
        debut = time.perf_counter()
        self.envoie(message)
        version = b'"version":%d,' % message["params"]["textDocument"]["version"]
        while version not in self.recoit()[:400]:
            pass
        return time.perf_counter() - debut

    def memoire(self):
        statut = pathlib.Path(f"/proc/{self.p.pid}/status").read_text()
        return int(statut.split("VmHWM:")[1].split()[0]) / 1024

    def ferme(self):
        self.p.stdin.close()
        self.p.wait()


def document(nom, texte, tours, dossier):
    chemin = pathlib.Path(dossier) / "climat.txt"
    chemin.write_bytes(texte.encode("latin-1"))
    client = Client()
    uri = "file:///bench/" + nom
    ouverture = client.diagnostics({"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {
        "textDocument": {"uri": uri, "languageId": "plaintext", "version": 1, "text": texte}}})
    temps, rapports = [], []
    # One character typed at the end of the middle line, then taken away:
    # the findings stay the same.
    milieu = len(texte.split("\n")) // 2
    colonne = len(texte.split("\n")[milieu])
    for v in range(2, tours + 2):
        debut = {"line": milieu, "character": colonne}
        fin = {"line": milieu, "character": colonne + v % 2}
        t = client.diagnostics({"jsonrpc": "2.0", "method": "textDocument/didChange", "params": {
            "textDocument": {"uri": uri, "version": v},
            "contentChanges": [{"range": {"start": debut, "end": fin}, "text": "x" if v % 2 == 0 else ""}]}})
        d = time.perf_counter()
        subprocess.run([programme, str(chemin)], capture_output=True)
        temps.append(t)
        rapports.append(t / (time.perf_counter() - d))
    memoire = client.memoire()
    client.ferme()
    print(f"{nom:28} {len(texte.splitlines()):>7} lignes  ouverture {ouverture * 1000:8.1f} ms  "
          f"changement {statistics.median(temps) * 1000:8.2f} ms (médiane de {tours})  "
          f"contre verifie_climat FICHIER : {statistics.median(rapports):5.2f}×  mémoire {memoire:6.1f} Mio")


exemple = (racine / "exemples/climat.txt").read_bytes().decode("latin-1")
lignes = exemple.split("\n")
i = lignes.index(">Causes des précipitations:") + 1
grand = "\n".join(lignes[:i] + ["2=[t2-4+vb]1;t3,5/\\6."] * (100_000 - len(lignes)) + lignes[i:])
j = lignes.index(">Température:") + 7
constats = "\n".join(lignes[:j] + ["%d:g1:Température" % (6 + k) for k in range(100_000 - len(lignes))] + lignes[j:])
# What a keystroke costs where there are findings, whose roots are looked
# for at each one: usual slips, one cascade, and 10,000 rule lines with a
# point missing every tenth (under the 1 MiB past which no root is looked for).
fautes = (racine / "exemples/climat_avec_erreurs.txt").read_bytes().decode("latin-1")
cascade = (racine / "exemples/cascade_ligne_blanche.txt").read_bytes().decode("latin-1")
sans_point = "\n".join(lignes[:i] + ["2=[t2-4+vb]1;t3,5/\\6" + ("" if k % 10 == 0 else ".") for k in range(10_000)] + lignes[i:])
with tempfile.TemporaryDirectory() as dossier:
    document("climat.txt", exemple, 201, dossier)
    document("climat_avec_erreurs.txt", fautes, 201, dossier)
    document("cascade_ligne_blanche.txt", cascade, 201, dossier)
    document("10 000 règles, 1 000 fautes", sans_point, 21, dossier)
    document("100 000 lignes (règles)", grand, 21, dossier)
    document("100 000 constats", constats, 21, dossier)

# Changes in one notification, all at random places of a megabyte: their
# time should grow with their number, not with their number times the size.
hasard = random.Random(2026)
texte = exemple + "".join(f"remarque {k} é\n" for k in range(70_000))
n_lignes = texte.count("\n")
for nombre in (500, 5000):
    changements = [{"range": {"start": {"line": (l := hasard.randrange(n_lignes)), "character": 2},
                              "end": {"line": l, "character": 3}}, "text": hasard.choice(["x", "", "\n", "€"])}
                   for _ in range(nombre)]
    client = Client()
    client.diagnostics({"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {
        "textDocument": {"uri": "file:///bench/m", "version": 1, "text": texte}}})
    t = client.diagnostics({"jsonrpc": "2.0", "method": "textDocument/didChange", "params": {
        "textDocument": {"uri": "file:///bench/m", "version": 2}, "contentChanges": changements}})
    client.ferme()
    print(f"{nombre} changements en une notification sur {len(texte) >> 20} Mio : {t * 1000:.0f} ms")

# Code actions: the quickfixes of a line and the whole document's fixes, on
# the sample file and on the example of usual mistakes.
for nom in ("climat.txt", "climat_avec_erreurs.txt"):
    texte = (racine / "exemples" / nom).read_bytes().decode("latin-1")
    client = Client()
    client.diagnostics({"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {
        "textDocument": {"uri": "file:///bench/a", "version": 1, "text": texte}}})
    temps = []
    for k in range(1, 202):
        debut = time.perf_counter()
        client.envoie({"jsonrpc": "2.0", "id": k, "method": "textDocument/codeAction", "params": {
            "textDocument": {"uri": "file:///bench/a"}, "range": {"start": {"line": 11, "character": 0}, "end": {"line": 11, "character": 0}},
            "context": {"diagnostics": []}}})
        client.recoit()
        temps.append(time.perf_counter() - debut)
    client.ferme()
    print(f"actions de code sur {nom} : {statistics.median(temps) * 1000:.2f} ms (médiane de {len(temps)})")

# Hover, definition and completion: the first question after a change runs
# the pass again for the numbers' links, the next ones use them. On the
# sample file and on 100,000 rule lines; one change before each round.
for nom, texte, ligne, colonne in (("climat.txt", exemple, 61, 14), ("100 000 lignes (règles)", grand, 50_000, 14)):
    client = Client()
    client.diagnostics({"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {
        "textDocument": {"uri": "file:///bench/s", "languageId": "climat", "version": 1, "text": texte}}})
    premiers, suivants = [], []
    for v in range(2, 23):
        client.diagnostics({"jsonrpc": "2.0", "method": "textDocument/didChange", "params": {
            "textDocument": {"uri": "file:///bench/s", "version": v},
            "contentChanges": [{"range": {"start": {"line": 0, "character": 9}, "end": {"line": 0, "character": 10}},
                                "text": "45"[v % 2]}]}})
        for k, liste in ((1, premiers), (2, suivants), (3, suivants)):
            methode = ("textDocument/hover", "textDocument/definition", "textDocument/completion")[k - 1]
            debut = time.perf_counter()
            client.envoie({"jsonrpc": "2.0", "id": k, "method": methode, "params": {
                "textDocument": {"uri": "file:///bench/s"}, "position": {"line": ligne, "character": colonne}}})
            client.recoit()
            liste.append(time.perf_counter() - debut)
    memoire = client.memoire()
    client.ferme()
    print(f"survol après un changement sur {nom} : {statistics.median(premiers) * 1000:.2f} ms, "
          f"définition et complétion ensuite : {statistics.median(suivants) * 1000:.2f} ms (médianes de 21), "
          f"mémoire {memoire:.1f} Mio")
