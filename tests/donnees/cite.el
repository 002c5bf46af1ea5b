;; For tests/editeurs.sh: the compile command of a climate file whose folder
;; name holds a blank, a line feed, a quote, a "!", a backslash and a "$",
;; run by each shell a user may have: how many findings each one gets.
(let* ((dossier (expand-file-name "a b\nc'd!e\\f$g/"))
       (fichier (concat dossier "climat.txt")))
  (make-directory dossier t)
  (copy-file "erreurs" fichier t)
  (find-file fichier)
  (dolist (shell '("sh" "dash" "bash" "tcsh" "fish"))
    (let ((shell-file-name (executable-find shell)))
      (when shell-file-name
        (climat-mode)
        (let ((commande compile-command))
          (princ (format "%s:%d " shell
                         (with-temp-buffer
                           (call-process shell-file-name nil t nil "-c" commande)
                           (count-matches ": erreur: " (point-min) (point-max))))))))))
