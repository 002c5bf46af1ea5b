;; Run by tests/editeurs.sh in Emacs with eglot: renumbers the entry 30 of
;; the temperatures (line 14) to 3 with M-x eglot-rename, then the
;; precipitation 3 to 9 from a use of it in a rule, and writes the lines
;; changed.
(setq climat-eglot t)
(find-file "renumerote")
(run-hooks 'post-command-hook)
(let ((fin (+ (float-time) 30)))
  (while (and (not (eglot-current-server)) (< (float-time) fin))
    (accept-process-output nil 0.2)))
(defun climat-essai-ligne (n)
  (save-excursion (goto-char (point-min)) (forward-line (1- n))
                  (buffer-substring (line-beginning-position) (line-end-position))))
(dolist (essai '((14 0 "3") (60 8 "9")))
  (goto-char (point-min))
  (forward-line (1- (nth 0 essai)))
  (move-to-column (nth 1 essai))
  (eglot-rename (nth 2 essai)))
(princ (format "%s | %s | %s" (climat-essai-ligne 14) (climat-essai-ligne 34) (climat-essai-ligne 60)))
