;;; climat-mode.el --- Climate files of Aubrelis  -*- lexical-binding: t -*-

;; Copyright (C) 2026 Équipe Aubrelis
;; License: Expat (MIT)
;; Version: 1.2.0
;; Keywords: languages

;;; Commentary:

;; A major mode for the climate files of the Aubrelis weather simulation.
;; A climate file is known by its first line, "Latitude=": it is read and
;; written in Latin-1, coloured, checked by `verifie_climat' with
;; M-x compile, and by the language server `verifie_climat --lsp' when
;; eglot is present.  In your init file: (require 'climat-mode)

;;; Code:

(require 'compile)

(defgroup climat nil
  "Climate files of Aubrelis."
  :group 'languages)

(defcustom climat-eglot nil
  "Non-nil: a climate file starts the language server by itself.
When eglot is installed, `eglot-ensure' attaches each climate buffer to
`verifie_climat --lsp', whose findings then show as you type."
  :type 'boolean
  :group 'climat)

(defconst climat-font-lock-keywords
  '(("^#\\(?:Affichage\\|Horloge vague\\):" . font-lock-preprocessor-face)
    ("^>.*:" . font-lock-keyword-face)
    ("^<.*" . font-lock-builtin-face)
    ("^[0-9]+" . font-lock-constant-face)
    (":\\([tf][+-]?[0-9]+\\)" 1 font-lock-type-face)
    ("\\[[^]\n]*\\]" . font-lock-preprocessor-face)
    ("%%\\|%\\|/\\\\" . font-lock-builtin-face)
    ("\\$[a-z_]*\\$" . font-lock-variable-name-face))
  "Colours of a climate file: the same elements as vim's syntax file.")

(defun climat--cles-entete (limite)
  "Match the key of a header line, lines 1 to 6, before LIMITE."
  (let (trouve)
    (while (and (not trouve) (re-search-forward "^[^=:\n]*[=:]" limite t))
      (when (<= (line-number-at-pos (match-beginning 0)) 6)
        (setq trouve t)))
    trouve))

(defun climat--remarques (limite)
  "Match a remark between paragraphs, after line 6, before LIMITE."
  (let (trouve)
    (while (and (not trouve) (re-search-forward "^[^0-9<>#\n][^=\n]*$" limite t))
      (when (> (line-number-at-pos (match-beginning 0)) 6)
        (setq trouve t)))
    trouve))

;; What a word is to completion: a paragraph head with its ">" or "#", a
;; number with the letter before it ("t3"), a clock variable without its
;; "$"; the signs between them part words.
(defvar climat-mode-syntax-table
  (let ((table (make-syntax-table text-mode-syntax-table)))
    (dolist (c '(?> ?#)) (modify-syntax-entry c "_" table))
    (dolist (c '(?$ ?- ?= ?+ ?/ ?% ?: ?, ?\;)) (modify-syntax-entry c "." table))
    table)
  "Syntax table of `climat-mode'.")

(defun climat--cite (texte)
  "TEXTE as one word for the user's shell (`shell-file-name'), which
runs `compile-command': in single quotes, with what each shell reads
there otherwise (the single quote; for csh and tcsh the line feed and
the `!', for fish the backslash) written as it wants it."
  (let ((shell (file-name-nondirectory (or shell-file-name "sh"))))
    (concat "'"
            (replace-regexp-in-string
             (cond ((string-match-p "csh" shell) "['!\n]")
                   ((string-match-p "fish" shell) "['\\]")
                   (t "'"))
             (lambda (c)
               (cond ((string-match-p "fish" shell) (concat "\\" c))
                     ((equal c "'") "'\\''")
                     (t (concat "\\" c))))
             texte t t)
            "'")))

;;;###autoload
(define-derived-mode climat-mode text-mode "Climat"
  "Major mode for the climate files of Aubrelis, in Latin-1."
  (setq font-lock-defaults
        (list (append '((climat--cles-entete . font-lock-variable-name-face)
                        (climat--remarques . font-lock-comment-face))
                      climat-font-lock-keywords)
              t))
  (setq buffer-file-coding-system 'iso-latin-1)
  (setq-local compile-command
              (concat "verifie_climat -- "
                      (if buffer-file-name (climat--cite buffer-file-name) "")))
  (when (and climat-eglot (require 'eglot nil t))
    (eglot-ensure)))

;; verifie_climat's lines, errors and warnings apart.
(add-to-list 'compilation-error-regexp-alist-alist
             '(verifie-climat "^\\([^:\n]+\\):\\([0-9]+\\):\\([0-9]+\\): \\(?:erreur\\|\\(avertissement\\)\\): " 1 2 3 (4)))
(add-to-list 'compilation-error-regexp-alist 'verifie-climat)

;; Known by content: read in Latin-1, then the mode.
;;;###autoload
(add-to-list 'auto-coding-regexp-alist '("\\`Latitude=" . iso-latin-1))
;;;###autoload
(add-to-list 'magic-mode-alist '("\\`Latitude=" . climat-mode))

(with-eval-after-load 'eglot
  (defvar eglot-server-programs)
  (add-to-list 'eglot-server-programs '(climat-mode "verifie_climat" "--lsp")))

;; After each number, its entry's display text, where eglot shows inlay
;; hints (eglot 1.14 and later); M-x eglot-rename renumbers an entry with
;; all its uses, and resting on a number highlights them.
(defun climat--indications ()
  (when (and (derived-mode-p 'climat-mode) (fboundp 'eglot-inlay-hints-mode))
    (eglot-inlay-hints-mode 1)))
(add-hook 'eglot-managed-mode-hook #'climat--indications)

(provide 'climat-mode)
;;; climat-mode.el ends here
