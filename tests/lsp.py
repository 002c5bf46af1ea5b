#!/usr/bin/env python3
"""verifie_climat PROGRAMME --lsp: the protocol table of tests/donnees/lsp.txt;
the server's diagnostics on every file that has an expected report, equal to
verifie_climat's findings at the editor's line; and the guide's recipes for
Neovim and Emacs (eglot), run by the real editors when they are installed."""
import json
import os
import pathlib
import re
import resource
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

racine = pathlib.Path(__file__).resolve().parent.parent
programme = str(pathlib.Path(sys.argv[1]).resolve())
fautes = []
dossier = pathlib.Path(tempfile.mkdtemp())


def cadre(corps):
    return b"Content-Length: %d\r\n\r\n" % len(corps) + corps


def serveur(entree, avant=None, sortie=None):
    """The messages the server sends for this input (to `sortie` when given, a file), and its exit status."""
    r = subprocess.run([programme, "--lsp"], input=entree, stdout=sortie or subprocess.PIPE, stderr=subprocess.PIPE, timeout=60,
                       preexec_fn=avant)
    messages, reste = [], r.stdout if sortie is None else (sortie.seek(0), sortie.read())[1]
    while reste:
        tete, _, reste = reste.partition(b"\r\n\r\n")
        n = int(re.fullmatch(rb"Content-Length: (\d+)", tete).group(1))
        messages.append(json.loads(reste[:n]))
        reste = reste[n:]
    return messages, r.returncode


def contient(obtenu, voulu):
    if isinstance(voulu, dict):
        return isinstance(obtenu, dict) and all(k in obtenu and contient(obtenu[k], v) for k, v in voulu.items())
    if isinstance(voulu, list):
        return isinstance(obtenu, list) and len(obtenu) == len(voulu) and all(map(contient, obtenu, voulu))
    if isinstance(voulu, str) and "…" in voulu:  # any text where "…" stands
        return isinstance(obtenu, str) and re.fullmatch(".*".join(map(re.escape, voulu.split("…"))), obtenu, re.S) is not None
    return obtenu == voulu


def remplace(valeur):
    if isinstance(valeur, (dict, list)):
        return {k: remplace(v) for k, v in valeur.items()} if isinstance(valeur, dict) else list(map(remplace, valeur))
    if valeur == "@fifo@":  # a named pipe that no one writes
        tube = dossier / "tube"
        if not tube.exists():
            os.mkfifo(tube)
        return "file://" + urllib.parse.quote(str(tube))
    if isinstance(valeur, str) and (m := re.fullmatch(r"@(texte|texte-lf|utf8|uri|uri-localhost):(.+)@", valeur)):
        octets = (racine / m.group(2)).read_bytes()
        if m.group(1) == "texte-lf":  # as eglot sends a CR LF file: LF alone
            return octets.decode("latin-1").replace("\r\n", "\n")
        if not m.group(1).startswith("uri"):
            return octets.decode("latin-1" if m.group(1) == "texte" else "utf-8")
        copie = dossier / pathlib.Path(m.group(2)).stem / "climat d'été"
        copie.parent.mkdir(exist_ok=True)
        copie.write_bytes(octets)
        return ("file://localhost" if m.group(1) == "uri-localhost" else "file://") + urllib.parse.quote(str(copie))
    return valeur


# The protocol table.
for cas in re.split(r"^== ", (racine / "tests/donnees/lsp.txt").read_text(encoding="utf-8"), flags=re.M)[1:]:
    nom, *lignes = cas.splitlines()
    entree, attendus = b"", []
    if not any(l.startswith("= ") for l in lignes):
        fautes.append(f"{nom} : le cas n'a pas de ligne « = STATUT » et ne serait pas vérifié")
    for ligne in lignes:
        sorte, _, reste = ligne.partition(" ")
        if sorte == ">":
            entree += cadre(json.dumps(remplace(json.loads(reste)), ensure_ascii=False).encode())
        elif sorte == "»":
            reste = re.sub(r"\{\{(\d+) (.)\}\}", lambda m: m.group(2) * int(m.group(1)), reste)
            entree += re.sub(rb"\\(r|n|x..)", lambda m: {b"r": b"\r", b"n": b"\n"}.get(m.group(1)) or bytes.fromhex(m.group(1)[1:].decode()), reste.encode())
        elif sorte == "<":
            attendus.append(json.loads(reste))
        elif sorte == "=":
            messages, statut = serveur(entree)
            for i, voulu in enumerate(attendus):
                if i >= len(messages) or not contient(messages[i], voulu):
                    fautes.append(f"{nom} : message {i + 1} {json.dumps(messages[i:i + 1], ensure_ascii=False)[:600]}, attendu {json.dumps(voulu, ensure_ascii=False)[:300]}")
                    break
            if len(messages) > len(attendus) or statut != int(reste):
                fautes.append(f"{nom} : {len(messages)} messages pour {len(attendus)}, statut {statut} pour {reste}")


def sans_le_compte(message, voulus):
    """A root's message ends with how many findings follow from it: the message without that ending, when one of
    `voulus` (message, count) begins it and the rest holds that count alone (no number when the count is 0)."""
    for v, s in voulus:
        if message.startswith(v) and re.findall(r"\d+", message[len(v):]) == ([str(s)] if s else []):
            return v
    return message


def attendu(chemin):
    """verifie_climat's findings of a file as the server places them: (line, character, end line, end character)
    from 0, severity, code, message. The lines and columns are the same (a Latin-1 character is one UTF-16 unit);
    what lies after the last line with text covers that line."""
    constats = json.loads(subprocess.run([programme, "--format=json", str(chemin)], capture_output=True).stdout)["fichiers"][0]["constats"]
    lignes = chemin.read_bytes().decode("latin-1").removesuffix("\n").split("\n")
    derniere = len(lignes) - 1
    place = lambda c: ((c["ligne"] - 1, c["colonne"] - 1, c["ligne"] - 1, c["colonne_fin"] - 1) if c["ligne"] - 1 <= derniere
                       else (derniere, 0, derniere, len(lignes[derniere].removesuffix("\r"))))
    return [(*place(c), 1 if c["gravite"] == "erreur" else 2, c["code"], c["message"],
             sum(x.get("cause") == i for x in constats[:100])) for i, c in enumerate(constats)]


# The same findings as verifie_climat, file by file.
journaux = sorted([*racine.glob("exemples/*.Erreur.log"), *racine.glob("tests/donnees/*.Erreur.log")])
for journal in journaux:
    chemin = pathlib.Path(str(journal).removesuffix(".Erreur.log") + ".txt")
    ouverture = {"textDocument": {"uri": chemin.as_uri(), "languageId": "climat", "version": 1, "text": chemin.read_bytes().decode("latin-1")}}
    messages = [{"jsonrpc": "2.0", "id": 1, "method": "initialize"}, {"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": ouverture}]
    diagnostics = serveur(b"".join(cadre(json.dumps(m).encode()) for m in messages))[0][-1]["params"]["diagnostics"]
    obtenu = [(d["range"]["start"]["line"], d["range"]["start"]["character"], d["range"]["end"]["line"], d["range"]["end"]["character"],
               d["severity"], d["code"], d["message"]) for d in diagnostics]
    voulu = attendu(chemin)
    obtenu = [d[:6] + (sans_le_compte(d[6], [(v[6], v[7]) for v in voulu if v[:6] == d[:6]]),) for d in obtenu]
    voulu = [v[:7] for v in voulu]
    # A file saved in UTF-8 also draws the warning that says so, on its first line.
    octets = chemin.read_bytes()
    if max(octets, default=0) >= 0x80 and octets.decode("utf-8", "ignore").encode() == octets:
        voulu += [o for o in obtenu if o[4:6] == (2, "CL802")][:1] or [(0, 0, 0, 0, 2, "CL802", "?")]
    # Only the first 100 in file order are published, then how many more.
    voulu.sort(key=lambda v: v[0])
    if len(voulu) > 100:
        plus, voulu = len(voulu) - 100, voulu[:100]
        compte = [o for o in obtenu if o[5] == "CL803" and o[6].startswith(f"{plus} ")][:1]
        voulu += compte or [(voulu[-1][0], 0, voulu[-1][0], 0, 3, "CL803", f"{plus} …")]
    if sorted(obtenu) != sorted(voulu):
        fautes.append(f"{chemin.name} : {sorted(set(obtenu) ^ set(voulu))[:4]}")
print(f"{len(journaux)} fichiers comparés")

# Hostile sessions too large for the table: output bounded whatever the
# content, deep nesting refused,
# memory given back when a document closes. (That many changes in one
# notification give the text opened afresh: the fuzz target checks it.)
def publication(texte, *suite, uri="file:///x/h.txt", avant=None, sortie=None):
    ouvre = {"method": "textDocument/didOpen", "params": {"textDocument": {"uri": uri, "version": 1, "text": texte}}}
    return serveur(b"".join(cadre(json.dumps({"jsonrpc": "2.0", **m}).encode()) for m in ({"id": 1, "method": "initialize"}, ouvre, *suite)), avant,
                   sortie)[0]


egal = lambda nom, obtenu, voulu: obtenu == voulu or fautes.append(f"{nom} : obtenu {obtenu}, attendu {voulu}")
reference = (racine / "tests/donnees/reference.txt").read_bytes().decode("latin-1").split("\n")
messages = publication("\n".join(reference[:6] + ["\u20ac" * 1_000_000] + reference[6:]), {"id": 2, "method": "textDocument/hover",
                       "params": {"textDocument": {"uri": "file:///x/h.txt"}, "position": {"line": 6, "character": 0}}})
egal("un million de caractères hors de Latin-1", ([d["code"] for d in messages[1]["params"]["diagnostics"]].count("CL801"),
     len(json.dumps(messages[1])) < 20_000, len(json.dumps(messages[2])) < 20_000), (1, True, True))
d = publication("\n".join(reference[:14] + ["%d:g1:T" % (6 + i) for i in range(2000)] + reference[14:]))[1]["params"]["diagnostics"]
egal("constats plafonnés", (len(d), d[-1]["code"], d[-1]["severity"], d[-1]["message"].split()[0], d[-1]["range"]),
     (101, "CL803", 3, "1900", {"start": {"line": 113, "character": 0}, "end": {"line": 113, "character": 0}}))
# Every reading of the file on disk gives its descriptor back: 100 saves under a limit of 32 descriptors.
uri = remplace("@uri:exemples/cascade_utf8.txt@")
sauve = {"method": "textDocument/didSave", "params": {"textDocument": {"uri": uri}}}
messages = publication(remplace("@utf8:exemples/cascade_utf8.txt@"), *[sauve] * 100, uri=uri,
                       avant=lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (32, 32)))
egal("100 enregistrements sous 32 descripteurs", [d["code"] for d in messages[-1]["params"]["diagnostics"]], ["CL802"])
# The server's output is a file here, and the document names it: it is never read back (its accents in UTF-8 would
# say a file saved in UTF-8).
with open(dossier / "sortie du serveur", "w+b") as sortie:
    messages = publication("Latitude=1", {"method": "textDocument/didOpen", "params": {"textDocument": {"uri": "file:///proc/self/fd/1",
                           "version": 1, "text": "Latitude=1"}}}, sortie=sortie)
egal("le document est la sortie du serveur", [d["code"] for d in messages[-1]["params"]["diagnostics"]], ["CL202"])
# A save reads the file on disk again: opened in Latin-1, saved in UTF-8 since.
copie = dossier / "enregistre.txt"
copie.write_bytes((racine / "exemples/climat.txt").read_bytes())
p = subprocess.Popen([programme, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
envoie = lambda m: (p.stdin.write(cadre(json.dumps({"jsonrpc": "2.0", **m}).encode())), p.stdin.flush())
recoit = lambda: json.loads(p.stdout.read(int(re.fullmatch(rb"Content-Length: (\d+)\r\n", p.stdout.readline()).group(1)) + 2)[2:])
document = {"uri": "file://" + urllib.parse.quote(str(copie))}
envoie({"id": 1, "method": "initialize"}), recoit()
envoie({"method": "textDocument/didOpen", "params": {"textDocument": {**document, "version": 1, "text": copie.read_bytes().decode("latin-1")}}})
ouvert = recoit()["params"]["diagnostics"]
copie.write_bytes(copie.read_bytes().decode("latin-1").encode())
envoie({"method": "textDocument/didSave", "params": {"textDocument": document}})
egal("enregistré en UTF-8 après son ouverture", (ouvert, [d["code"] for d in recoit()["params"]["diagnostics"]]), ([], ["CL802"]))
# "exit" ends the server though the client keeps its input open.
envoie({"method": "exit"})
egal("exit, l'entrée restée ouverte", p.wait(timeout=60), 1)
p.stdin.close()
# The outline lists the first 2000 entries of the document and says how many more: one more than that here.
plan = lambda lignes: publication("\n".join(lignes), {"id": 2, "method": "textDocument/documentSymbol", "params": {"textDocument": {"uri": "file:///x/h.txt"}}})[2]["result"]
entrees = sum(len(s.get("children", [])) for s in plan(reference))
egal("plan, une entrée de trop", [re.findall(r"(\d+) entrées de plus", s.get("detail", "")) for s in plan(reference[:14] + ["%d:g1:T" % (6 + i) for i in range(2001 - entrees)] + reference[14:])][-1], ["1"])
# A list of 40,000 temperatures numbered from 2: renumbering it would send more than an editor should take at
# once, and "Appliquer toutes les corrections sûres" is offered disabled, with its reason, instead.
debut = reference.index("1:f1:Glacial")
temperatures = [f"{k + 2}:f1:Température {k}" for k in range(40_000)]
messages = publication("\n".join(reference[:debut] + temperatures + reference[reference.index("<", debut):]), {"id": 2, "method": "textDocument/codeAction",
                       "params": {"textDocument": {"uri": "file:///x/h.txt"}, "range": {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 0}},
                                  "context": {"diagnostics": [], "only": ["source.fixAll"]}}})
egal("tout corriger, trop gros pour l'éditeur", [(a["kind"], "edit" in a, bool(a.get("disabled", {}).get("reason"))) for a in messages[2]["result"]],
     [("source.fixAll", False, True)])
profond = lambda n: cadre(b'{"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"version": ' + b"[" * n + b"]" * n + b"}}")
# Sixty-five brackets are one too many even when the last is the body's last byte; sixty-four are parsed.
messages, statut = serveur(profond(300_000) + profond(100_000) + cadre(b"[" * 65) + cadre(b"[" * 64) + b"".join(cadre(m) for m in (
    b'{"jsonrpc": "2.0", "id": 2, "method": "initialize"}', b'{"jsonrpc": "2.0", "id": 3, "method": "shutdown"}', b'{"jsonrpc": "2.0", "method": "exit"}')))
egal("imbrication profonde", ([m.get("error", {}).get("code") for m in messages], statut), ([-32600, -32600, -32600, -32700, None, None], 0))
# A client gone (the server's output closed): the server ends with status 1 rather than die of the broken pipe.
lecture, ecriture = os.pipe()
os.close(lecture)
r = subprocess.run([programme, "--lsp"], input=cadre(b'{"jsonrpc": "2.0", "id": 1, "method": "initialize"}'), stdout=ecriture)
os.close(ecriture)
egal("client parti", r.returncode, 1)
if not os.environ.get("TESTEUR_SANITIZERS"):
    # 100 MB opened then closed: the server's peak and what it keeps after, read while it waits for "exit".
    p = subprocess.Popen([programme, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    p.stdin.write(b"".join(cadre(json.dumps({"jsonrpc": "2.0", **m}).encode()) for m in (
        {"id": 1, "method": "initialize"}, {"method": "textDocument/didOpen", "params": {"textDocument": {"uri": "file:///x/g", "version": 1, "text": "remarque\n" * 11_650_000}}},
        {"method": "textDocument/didClose", "params": {"textDocument": {"uri": "file:///x/g"}}}, {"id": 2, "method": "shutdown"})))
    p.stdin.flush()
    recu = b""
    while b'"id":2' not in recu:  # the answer to shutdown ends what it sends
        recu += os.read(p.stdout.fileno(), 1 << 20)
    memoire = [int(re.search(rf"{k}:\s+(\d+)", pathlib.Path(f"/proc/{p.pid}/status").read_text()).group(1)) >> 10 for k in ("VmHWM", "VmRSS")]
    p.communicate(cadre(b'{"jsonrpc": "2.0", "method": "exit"}'))
    print(f"document de 100 Mo : pointe {memoire[0]} Mio, {memoire[1]} Mio après sa fermeture")
    egal("mémoire rendue", (memoire[0] < 5 * 100, memoire[1] < 16), (True, True))

# The guide's recipes, in the real editors.
guide = (racine / "docs/guide-climat.md").read_text(encoding="utf-8")
recette = lambda sorte: re.search(rf"```{sorte}\n((?:;;|--) Fichiers de climat.*?)```", guide, re.S).group(1)
exemple = dossier / "mon climat.txt"
shutil.copy(racine / "exemples/climat_avec_erreurs.txt", exemple)
voulu_avec_suites = [(v[0] + 1, v[6], v[7]) for v in attendu(exemple)]
voulu = {(l, m) for l, m, _ in voulu_avec_suites}
shutil.copy(exemple, dossier / "corrige.txt")
subprocess.run([programme, "--corrige", str(dossier / "corrige.txt")], capture_output=True)
voulu_corrige = (dossier / "corrige.txt").read_bytes()
environnement = {"PATH": f"{pathlib.Path(programme).parent}:/usr/bin:/bin", "HOME": str(dossier)}
editeurs = {
    "nvim": ("recette.lua", "lua", ["nvim", "--headless", "-u", "NONE", "-c", "luafile recette.lua", "-c", "edit mon\\ climat.txt",
                                    "-c", f"luafile {racine}/tests/donnees/attend.lua"]),
    "emacs": ("recette.el", "elisp", ["emacs", "--batch", "-l", "recette.el", "-l", f"{racine}/tests/donnees/attend.el", "mon climat.txt"]),
}
for editeur, (fichier, sorte, commande) in editeurs.items():
    if not shutil.which(editeur):
        print(f"{editeur} absent : sa recette n'est pas essayée")
        continue
    (dossier / fichier).write_text(recette(sorte))
    (dossier / "diagnostics.txt").unlink(missing_ok=True)
    (dossier / "corrige.txt").unlink(missing_ok=True)
    subprocess.run(commande, cwd=dossier, env=environnement, capture_output=True, timeout=120)
    lignes = (dossier / "diagnostics.txt").read_text().splitlines() if (dossier / "diagnostics.txt").exists() else []
    # Emacs shows two equal findings on one line once, prefixed with the source and the code.
    obtenu = {(int(n), re.sub(r"^verifie_climat \[CL\d+\]: ", "", m)) for n, _, m in (l.split(":", 2) for l in lignes)}
    obtenu = {(n, sans_le_compte(m, [(v, s) for l, v, s in voulu_avec_suites if l == n])) for n, m in obtenu}
    if obtenu != voulu:
        fautes.append(f"{editeur} : {sorted(obtenu ^ voulu)[:4]}")
    # Every sure fix, from the editor's menu: the file --corrige makes.
    corrige = (dossier / "corrige.txt").read_bytes() if (dossier / "corrige.txt").exists() else b""
    if corrige != voulu_corrige:
        fautes.append(f"{editeur}, corrections : {corrige[:200]!r}")

shutil.rmtree(dossier)
print("\n".join(fautes) or "serveur de langage conforme")
sys.exit(1 if fautes else 0)
