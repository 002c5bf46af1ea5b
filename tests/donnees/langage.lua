-- Run by tests/editeurs.sh in Neovim with the package's ftplugin, as an
-- author uses them: gd on the 7 of "4=[p5+v4-5]4/\7%%30/70." (line 62), K on
-- it, and CTRL-X CTRL-O after "2=[v" on a new line. Writes the line reached,
-- whether the hover shows precipitation 7's line, and the words proposed.
vim.wait(20000, function()
  local clients = vim.lsp.buf_get_clients(0)
  return #clients > 0 and clients[1].initialized
end, 50)
local sortie = {}
vim.api.nvim_win_set_cursor(0, { 62, 14 })
vim.cmd("normal gd")
vim.wait(20000, function() return vim.fn.line(".") ~= 62 end, 50)
table.insert(sortie, vim.fn.line(".") .. ":" .. vim.fn.getline("."))
vim.api.nvim_win_set_cursor(0, { 62, 14 })
vim.cmd("normal K")
local survol = "pas de survol"
vim.wait(20000, function()
  for _, fenetre in ipairs(vim.api.nvim_list_wins()) do
    if vim.api.nvim_win_get_config(fenetre).relative ~= "" then
      local lignes = vim.api.nvim_buf_get_lines(vim.api.nvim_win_get_buf(fenetre), 0, -1, false)
      if table.concat(lignes, " "):find("7:t-4:f7:Orage", 1, true) then survol = "survol" end
      return true
    end
  end
  return false
end, 50)
table.insert(sortie, survol)
-- Completion answers in Insert mode, once the keys have been typed: the
-- script hands over to the editor and looks again on a timer.
vim.api.nvim_win_set_cursor(0, { 57, 0 })
vim.api.nvim_feedkeys(vim.api.nvim_replace_termcodes("o2=[v<C-x><C-o>", true, false, true), "t", false)
local essais = 0
local function regarde()
  essais = essais + 1
  local mots = vim.tbl_map(function(i) return i.word end, vim.fn.complete_info({ "items" }).items)
  if #mots == 0 and essais < 400 then return vim.defer_fn(regarde, 50) end
  table.insert(sortie, table.concat(mots, " "))
  io.stdout:write(table.concat(sortie, " | "))
  vim.cmd("qa!")
end
vim.defer_fn(regarde, 50)
