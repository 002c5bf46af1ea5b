" Climate files of Aubrelis: kept in Latin-1, the encoding the simulation
" reads, and checked by verifie_climat with :make.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1
setlocal fileencoding=latin1
compiler verifie_climat
let b:undo_ftplugin = 'setlocal fileencoding< makeprg< errorformat<'
