" verifie_climat, the checker of Aubrelis climate files: :make fills the
" quickfix list with its findings, errors and warnings apart.
if exists('current_compiler')
  finish
endif
let current_compiler = 'verifie_climat'
if exists(':CompilerSet') != 2
  command -nargs=* CompilerSet setlocal <args>
endif
" The full path after "--": a file named "-" or "--lsp" is checked like any other.
CompilerSet makeprg=verifie_climat\ --\ %:p:S
CompilerSet errorformat=%E%f:%l:%v:\ erreur:\ %m,%W%f:%l:%v:\ avertissement:\ %m,%-G%.%#
