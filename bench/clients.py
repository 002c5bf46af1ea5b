#!/usr/bin/env python3
"""What an author waits for in a real editor: from one keystroke to the
diagnostics of the new text shown, in Neovim (headless, the package's
ftplugin) and in Emacs (batch, eglot), with verifie_climat --lsp of a build.

Documents: the sample climate file, and a 10,000-line file (the sample's
lists, then rule lines that each name temperatures 5 and 6). Keystrokes: a
letter typed then removed in a display text (the findings do not change),
and the "3" of "3:f2:Froid" deleted then typed again: without it the
temperature list ends at 2 and the rule lines draw 19,800 findings, of which
the server publishes the first 300.

Each keystroke is timed by the editor's own clock, from the change made in
the buffer to the end of the editor's handling of the diagnostics that
answer it; the median of ROUNDS rounds is printed. Neovim sends a lone
change at once; eglot waits for `eglot-send-changes-idle-time' (0.5 s) of
idleness before sending, which the bench sets to 0 so that the figure is
the server's and the editor's work, not that wait; Emacs is timed as it
comes, then with eglot's log of every message turned off
(`eglot-events-buffer-size' 0), which takes most of its time on a large
publish.

    cmake --build build && python3 bench/clients.py [build] [ROUNDS]"""
import pathlib
import shutil
import subprocess
import sys
import tempfile

racine = pathlib.Path(__file__).resolve().parent.parent
construction = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else racine / "build").resolve()
tours = int(sys.argv[2]) if len(sys.argv) > 2 else 21

# The line of "3:f2:Froid" in the sample (from 1) and of a display text.
LIGNE_FROID = 14
LIGNE_AFFICHAGE = 13  # "2:f1:Très froid"

NVIM = r"""
local tours, cas = tonumber(vim.env.TOURS), vim.env.CAS
vim.wait(30000, function()
  local c = vim.lsp.buf_get_clients(0)
  return #c > 0 and c[1].initialized
end, 10)
local recu
local origine = vim.lsp.handlers["textDocument/publishDiagnostics"]
vim.lsp.handlers["textDocument/publishDiagnostics"] = function(...)
  origine(...)
  recu = vim.loop.hrtime()
end
vim.wait(30000, function() return recu ~= nil end, 10)
local function frappe(ligne, col, fin, texte)
  recu = nil
  vim.wait(200)  -- a lone keystroke: never merged with the one before
  local debut = vim.loop.hrtime()
  vim.api.nvim_buf_set_text(0, ligne - 1, col, ligne - 1, fin, { texte })
  vim.wait(30000, function() return recu ~= nil end, 1)
  return (recu - debut) / 1e6
end
local temps = { aller = {}, retour = {} }
for _ = 1, tours do
  if cas == "froid" then
    table.insert(temps.aller, frappe(%d, 0, 1, ""))
    table.insert(temps.retour, frappe(%d, 0, 0, "3"))
  else
    local l = %d
    local n = #vim.api.nvim_buf_get_lines(0, l - 1, l, false)[1]
    table.insert(temps.aller, frappe(l, n, n, "x"))
    table.insert(temps.retour, frappe(l, n, n + 1, ""))
  end
end
local function mediane(t) table.sort(t) return t[math.floor(#t / 2) + 1] end
io.stdout:write(string.format("%%.2f %%.2f", mediane(temps.aller), mediane(temps.retour)))
vim.cmd("qa!")
""" % (LIGNE_FROID, LIGNE_FROID, LIGNE_AFFICHAGE)

EMACS = r"""
(require 'eglot)
(setq eglot-send-changes-idle-time 0)
(when (equal (getenv "JOURNAL") "non") (setq eglot-events-buffer-size 0))
(find-file (getenv "FICHIER"))
(climat-mode)
(eglot-ensure)
(run-hooks 'post-command-hook)
(defvar banc-recu nil)
(advice-add 'eglot-handle-notification :after
            (lambda (_server method &rest _)
              (when (eq method 'textDocument/publishDiagnostics) (setq banc-recu (float-time)))))
(let ((fin (+ (float-time) 60)))
  (while (and (null banc-recu) (< (float-time) fin)) (accept-process-output nil 0.01)))
(defun banc-frappe (ligne action)
  (setq banc-recu nil)
  (sleep-for 0.2)
  (let ((debut (float-time)))
    (goto-char (point-min))
    (forward-line (1- ligne))
    (funcall action)
    (eglot--signal-textDocument/didChange)
    (let ((fin (+ debut 60)))
      (while (and (null banc-recu) (< (float-time) fin)) (accept-process-output nil 0.001)))
    (* 1000 (- banc-recu debut))))
(defun banc-mediane (l) (nth (/ (length l) 2) (sort l #'<)))
(let ((aller nil) (retour nil) (froid (equal (getenv "CAS") "froid")))
  (dotimes (_ (string-to-number (getenv "TOURS")))
    (if froid
        (progn (push (banc-frappe %d (lambda () (delete-char 1))) aller)
               (push (banc-frappe %d (lambda () (insert "3"))) retour))
      (push (banc-frappe %d (lambda () (end-of-line) (insert "x"))) aller)
      (push (banc-frappe %d (lambda () (end-of-line) (delete-char -1))) retour)))
  (princ (format "%%.2f %%.2f" (banc-mediane aller) (banc-mediane retour))))
""" % (LIGNE_FROID, LIGNE_FROID, LIGNE_AFFICHAGE, LIGNE_AFFICHAGE)


def document_de_10000_lignes(dossier):
    lignes = (racine / "exemples/climat.txt").read_bytes().split(b"\n")
    debut = lignes.index(b">Causes des pr\xe9cipitations:") + 1
    fin = lignes.index(b"<", debut)
    regles = [b"%d=[t5+v4]1;t6,2/\\3." % (k % 7 + 1) for k in range(10_000 - len(lignes))]
    texte = b"\n".join(lignes[:fin] + regles + lignes[fin:])
    chemin = dossier / "dix_mille.txt"
    chemin.write_bytes(texte)
    return chemin


def main():
    dossier = pathlib.Path(tempfile.mkdtemp())
    try:
        (dossier / "banc.lua").write_text(NVIM)
        (dossier / "banc.el").write_text(EMACS)
        shutil.copy(racine / "exemples/climat.txt", dossier / "climat.txt")
        documents = [(dossier / "climat.txt", "typique"), (document_de_10000_lignes(dossier), "10 000 lignes")]
        env = {"PATH": f"{construction}:/usr/bin:/bin", "HOME": str(dossier), "TOURS": str(tours)}
        editeurs = {
            "Neovim": lambda f: ["nvim", "--headless", "-n", "-u", "NONE",
                                 "--cmd", f"set rtp^={racine}/editeurs/vim,{racine}/editeurs/nvim",
                                 "-c", "filetype plugin on", "-c", f"edit {f}", "-c", "luafile banc.lua"],
            "Emacs": lambda f: ["emacs", "--batch", "-l", f"{racine}/editeurs/emacs/climat-mode.el", "-l", "banc.el"],
        }
        editeurs["Emacs, sans journal"] = editeurs["Emacs"]
        print(f"De la frappe aux diagnostics affichés (ms, médiane de {tours}) : une lettre tapée puis effacée"
              " dans un affichage ; le 3 de 3:f2:Froid effacé (19 800 constats) puis retapé.")
        for editeur, commande in editeurs.items():
            if not shutil.which(commande("x")[0]):
                print(f"{editeur} absent")
                continue
            for chemin, nom in documents:
                for cas in ("lettre", "froid"):
                    journal = "non" if "journal" in editeur else "oui"
                    r = subprocess.run(commande(chemin), cwd=dossier,
                                       env={**env, "CAS": cas, "FICHIER": str(chemin), "JOURNAL": journal},
                                       capture_output=True, text=True, timeout=600)
                    aller, retour = (r.stdout.split() + ["?", "?"])[:2]
                    quoi = "lettre tapée / effacée" if cas == "lettre" else "3 effacé / retapé    "
                    print(f"{editeur:19} {nom:14} {quoi}  {aller:>8} / {retour:>8}")
    finally:
        shutil.rmtree(dossier)


main()
