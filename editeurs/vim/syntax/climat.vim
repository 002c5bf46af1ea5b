" Colours of the climate files of Aubrelis.
if exists('b:current_syntax')
  finish
endif

" Remarks: between paragraphs, a line that is neither a head, a closing
" line, an entry nor a setting.
syntax match climatRemarque /^\%>6l[^0-9<>#][^=]*$/
" The header's keys, lines 1 to 6, up to their "=" or ":".
syntax match climatCle /^\%<7l[^=:]*[=:]/
syntax match climatSection /^#\(Affichage\|Horloge vague\):/
syntax match climatTete /^>.*:/
syntax match climatFermeture /^<.*/
syntax match climatNumero /^\d\+/
syntax match climatChamp /:\zs[tf][+-]\=\d\+/
syntax match climatCondition /\[[^\]]*\]/
syntax match climatMoteur /%%\|%\|\/\\/
syntax match climatVariable /\$[a-z_]*\$/

highlight default link climatRemarque Comment
highlight default link climatCle Identifier
highlight default link climatSection PreProc
highlight default link climatTete Statement
highlight default link climatFermeture Delimiter
highlight default link climatNumero Number
highlight default link climatChamp Type
highlight default link climatCondition PreProc
highlight default link climatMoteur Operator
highlight default link climatVariable Identifier

let b:current_syntax = 'climat'
