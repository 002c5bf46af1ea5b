#!/usr/bin/env python3
"""echange.py A B TEXTE FIN: an attacker's loop for tests/donnees/attaques.txt.
Exchanges the names A and B (renameat2 with RENAME_EXCHANGE) again and again
until the file FIN exists; meanwhile keeps the file climat.txt of the folder
that A named at the start holding TEXTE, whoever corrected it."""
import ctypes
import os
import sys

libc = ctypes.CDLL(None, use_errno=True)
a, b, texte, fin = sys.argv[1:5]
dossier = os.open(a, os.O_RDONLY | os.O_DIRECTORY)
contenu = open(texte, "rb").read()
while not os.path.exists(fin):
    libc.renameat2(-100, a.encode(), -100, b.encode(), 2)
    with open("climat.txt", "rb", opener=lambda n, f: os.open(n, f, dir_fd=dossier)) as f:
        if f.read() != contenu:
            fd = os.open("nouveau", os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644, dir_fd=dossier)
            os.write(fd, contenu)
            os.close(fd)
            os.rename("nouveau", "climat.txt", src_dir_fd=dossier, dst_dir_fd=dossier)
