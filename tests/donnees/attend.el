;; Run by tests/lsp.py after the guide's eglot recipe: opens the file named
;; on the command line, waits for its diagnostics (flymake starts on a timer
;; that batch mode never runs) and writes them as "LINE:TYPE:MESSAGE"; then
;; runs the action that makes every sure fix, as `M-x eglot-code-actions'
;; does once it is chosen, and writes the buffer to corrige.txt.
(require 'eglot)
(find-file (car command-line-args-left))
(run-hooks 'post-command-hook)
(let ((fin (+ (float-time) 30)) (relance 0))
  (while (and (null (flymake-diagnostics)) (< (float-time) fin))
    (when (< relance (float-time))
      (flymake-start)
      (setq relance (+ (float-time) 2)))
    (accept-process-output nil 0.1)))
(let ((diagnostics (flymake-diagnostics)))
  (with-temp-file "diagnostics.txt"
    (dolist (d diagnostics)
      (insert (format "%d:%s:%s\n"
                      (with-current-buffer (flymake-diagnostic-buffer d)
                        (line-number-at-pos (flymake-diagnostic-beg d)))
                      (flymake-diagnostic-type d) (flymake-diagnostic-text d))))))
(let ((actions (eglot-code-actions (point-min) (point-max) "source.fixAll")))
  (when actions (eglot--read-execute-code-action actions (eglot-current-server) "source.fixAll")))
(let ((coding-system-for-write 'iso-latin-1)) (write-region nil nil "corrige.txt"))
(kill-emacs 0)
