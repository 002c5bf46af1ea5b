-- Run by tests/editeurs.sh in Neovim with the package's ftplugin: renumbers
-- the entry 30 of the temperatures (line 14) to 3 as an author does it with
-- <leader>r, then the precipitation 3 to 9 from a use of it in a rule, and
-- writes the lines changed.
vim.wait(20000, function()
  local clients = vim.lsp.buf_get_clients(0)
  return #clients > 0 and clients[1].initialized
end, 50)
local function renomme(ligne, colonne, nouveau, attendue)
  local avant = vim.fn.getline(attendue)
  vim.api.nvim_win_set_cursor(0, { ligne, colonne })
  vim.lsp.buf.rename(nouveau)
  vim.wait(20000, function() return vim.fn.getline(attendue) ~= avant end, 50)
end
renomme(14, 0, "3", 14)
renomme(60, 8, "9", 34)
io.stdout:write(table.concat({ vim.fn.getline(14), vim.fn.getline(34), vim.fn.getline(60) }, " | "))
vim.cmd("qa!")
