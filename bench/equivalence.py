#!/usr/bin/env python3
"""Two builds of the checker give the same bytes: the console output and
"Erreur.log" of testeur_climat, the output and status of verifie_climat in
both forms, on every climate file of the repository and on N files made
from them by random mutations (lines removed, repeated, swapped, cut or
lengthened, bytes changed, inserted or removed). For a change that must not
change what the programs say: build the previous commit beside the new one,

    git worktree add /tmp/avant HEAD~1 && cmake -S /tmp/avant -B /tmp/avant/b && cmake --build /tmp/avant/b
    python3 bench/equivalence.py /tmp/avant/b build 20000

and every difference is printed with the file that shows it (kept in a
folder named on the last line)."""
import os
import pathlib
import random
import subprocess
import sys
import tempfile

racine = pathlib.Path(__file__).resolve().parent.parent
avant, apres = (pathlib.Path(a).resolve() for a in sys.argv[1:3])
nombre = int(sys.argv[3]) if len(sys.argv) > 3 else 20000
hasard = random.Random(int(sys.argv[4]) if len(sys.argv) > 4 else 2026)
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


def sorties(build, fichier, dossier):
    """What the two programs say of one file, run from a folder of their own."""
    journal = dossier / "Erreur.log"
    journal.unlink(missing_ok=True)
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    console = subprocess.run([str(build / "testeur_climat"), str(fichier)], cwd=dossier, env=env, stdin=subprocess.DEVNULL,
                             capture_output=True)
    r = [console.stdout, console.returncode, journal.read_bytes() if journal.exists() else None]
    for forme in ("--format=gnu", "--format=json"):
        v = subprocess.run([str(build / "verifie_climat"), forme, str(fichier)], capture_output=True)
        r += [v.stdout, v.stderr, v.returncode]
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
