-- Run by tests/lsp.py after the guide's Neovim recipe: waits for the
-- diagnostics of the file opened, writes them as "LINE:SEVERITY:MESSAGE",
-- then applies the action that makes every sure fix, as an author picks it
-- from the menu, and writes the buffer to corrige.txt.
vim.wait(10000, function() return #vim.diagnostic.get(0) > 0 end, 50)
local lignes = {}
for _, d in ipairs(vim.diagnostic.get(0)) do
  table.insert(lignes, string.format("%d:%d:%s", d.lnum + 1, d.severity, d.message))
end
vim.fn.writefile(lignes, "diagnostics.txt")
vim.ui.select = function(actions, _, choisit) choisit(actions[1], 1) end
local avant = vim.api.nvim_buf_get_lines(0, 0, -1, false)
vim.lsp.buf.range_code_action({ only = { "source.fixAll" } }, { 1, 0 }, { #avant, 0 })
vim.wait(10000, function() return not vim.deep_equal(vim.api.nvim_buf_get_lines(0, 0, -1, false), avant) end, 50)
vim.cmd("write! corrige.txt")
vim.cmd("qa!")
