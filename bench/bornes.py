#!/usr/bin/env python3
"""The bounds of the work a file can cause: every request of the language
server on a document of 100,000 lines holding 20,000 slips (time and size
of the answer, each to stay under a second and a mebibyte), 5,000 changes
at the start of a megabyte in one notification, and verifie_climat
--corrige on 10,000 slips, alone and each followed by a remark, against a
check of the same file (alternated, the median of the ratios).

    cmake --build build && python3 bench/bornes.py [build]"""
import json
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
        self.demande("initialize", {})

    def envoie(self, message):
        corps = json.dumps({"jsonrpc": "2.0", **message}).encode()
        self.p.stdin.write(b"Content-Length: %d\r\n\r\n" % len(corps) + corps)
        self.p.stdin.flush()

    def recoit(self):
        n = int(self.p.stdout.readline().split(b":")[1])
        self.p.stdout.readline()
        return self.p.stdout.read(n)

    def demande(self, methode, parametres):
        """The answer to a request, in bytes, and the seconds it took."""
        debut = time.perf_counter()
        self.envoie({"id": 1, "method": methode, "params": parametres})
        while b'"id":1' not in (reponse := self.recoit())[:40]:
            pass
        return reponse, time.perf_counter() - debut

    def publie(self, message):
        """Sends a notification and waits for its diagnostics; returns seconds."""
        debut = time.perf_counter()
        self.envoie(message)
        while b"publishDiagnostics" not in self.recoit()[:80]:
            pass
        return time.perf_counter() - debut

    def ferme(self):
        self.p.stdin.close()
        self.p.wait()


exemple = (racine / "exemples/climat.txt").read_bytes().decode("latin-1")
lignes = exemple.split("\n")
i = lignes.index(">Causes des précipitations:") + 1
# 100,000 lines, one rule in five without its final point.
regles = ["2=[t2-4+vb]1;t3,5/\\6" + ("" if k % 5 == 0 else ".") for k in range(100_000 - len(lignes))]
texte = "\n".join(lignes[:i] + regles + lignes[i:])
uri = "file:///bench/bornes.txt"
doc = {"textDocument": {"uri": uri}}
client = Client()
ouverture = client.publie({"method": "textDocument/didOpen", "params": {
    "textDocument": {"uri": uri, "languageId": "climat", "version": 1, "text": texte}}})
print(f"100 000 lignes, {sum(1 for r in regles if not r.endswith('.'))} fautes : ouverture {ouverture * 1000:.0f} ms")
ligne = i + 500
questions = [
    ("hover", {**doc, "position": {"line": ligne, "character": 14}}),
    ("definition", {**doc, "position": {"line": ligne, "character": 14}}),
    ("references", {**doc, "position": {"line": 25, "character": 0}, "context": {"includeDeclaration": True}}),
    ("completion", {**doc, "position": {"line": ligne, "character": 2}}),
    ("documentSymbol", doc),
    ("foldingRange", doc),
    ("codeAction", {**doc, "range": {"start": {"line": ligne, "character": 0}, "end": {"line": ligne, "character": 0}},
                    "context": {"diagnostics": [], "only": ["quickfix"]}}),
    ("codeAction", {**doc, "range": {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 0}},
                    "context": {"diagnostics": [], "only": ["source.fixAll"]}}),
    ("codeAction", {**doc, "range": {"start": {"line": ligne, "character": 0}, "end": {"line": ligne, "character": 0}},
                    "context": {"diagnostics": []}}),
]
for methode, parametres in questions:
    reponse, duree = client.demande("textDocument/" + methode, parametres)
    sorte = parametres.get("context", {}).get("only", [""])[0] if methode == "codeAction" else ""
    print(f"  {methode:15} {sorte:14} {duree * 1000:7.1f} ms  {len(reponse) / 1024:8.1f} Kio")
client.ferme()

# 5,000 changes of one notification at the start of a megabyte.
mega = exemple + "".join(f"remarque {k} é\n" for k in range(70_000))
client = Client()
client.publie({"method": "textDocument/didOpen", "params": {"textDocument": {"uri": uri, "version": 1, "text": mega}}})
changements = [{"range": {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": k % 2}}, "text": "x"}
               for k in range(5000)]
duree = client.publie({"method": "textDocument/didChange", "params": {
    "textDocument": {"uri": uri, "version": 2}, "contentChanges": changements}})
client.ferme()
print(f"5 000 changements au début de {len(mega) >> 20} Mio en une notification : {duree * 1000:.0f} ms (analyse comprise)")

# --corrige on 10,000 slips, against the check of the same file; then on
# 10,000 slips each followed by a remark, where every pair of lines is also
# a swap the pass must try (a fix measured alone per swap once took minutes).
with tempfile.TemporaryDirectory() as dossier:
    chemin = pathlib.Path(dossier) / "c.txt"
    remarques = [x for k in range(10_000) for x in ("1=1,2/\\4", f"remarque {k}")]
    for quoi, fautes, fois in (("10 000 fautes", lignes[:i] + ["1=1,2/\\4"] * 10_000 + lignes[i:], 11),
                               ("10 000 fautes suivies d'une remarque", lignes[:i] + remarques + lignes[i:], 5)):
        rapports, corrections = [], []
        for _ in range(fois):
            chemin.write_text("\n".join(fautes), encoding="latin-1")
            debut = time.perf_counter()
            subprocess.run([programme, str(chemin)], capture_output=True)
            verification = time.perf_counter() - debut
            debut = time.perf_counter()
            sortie = subprocess.run([programme, "--corrige", str(chemin)], capture_output=True).stderr.decode()
            corrections.append(time.perf_counter() - debut)
            rapports.append(corrections[-1] / verification)
        print(f"--corrige sur {quoi} : {statistics.median(corrections) * 1000:.0f} ms, "
              f"{statistics.median(rapports):.1f}× la vérification du même fichier (médiane de {fois}) ; "
              f"{sortie.strip().splitlines()[-1].split(' : ')[1]}")
