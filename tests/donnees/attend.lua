-- Run by tests/lsp.py after the guide's Neovim recipe: waits for the
-- diagnostics of the file opened, writes them as "LINE:SEVERITY:MESSAGE".
vim.wait(10000, function() return #vim.diagnostic.get(0) > 0 end, 50)
local lignes = {}
for _, d in ipairs(vim.diagnostic.get(0)) do
  table.insert(lignes, string.format("%d:%d:%s", d.lnum + 1, d.severity, d.message))
end
vim.fn.writefile(lignes, "diagnostics.txt")
vim.cmd("qa!")
