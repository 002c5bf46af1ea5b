" A climate file of Aubrelis is known by its first line, whatever its name.
autocmd BufNewFile,BufRead * if getline(1) =~# '^Latitude=' | set filetype=climat | endif
