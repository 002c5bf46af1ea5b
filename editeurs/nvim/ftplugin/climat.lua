-- Neovim on a climate file of Aubrelis: the language server of
-- verifie_climat, one for every climate buffer, its findings shown as the
-- author types. K shows the hover (what a number names, a rule's engine, a
-- paragraph, the line's findings with the guide's section), gd goes to the
-- entry a number names, gr lists the lines that use an entry, CTRL-X CTRL-O
-- completes (heads, numbers with their names, clock variables), <leader>o
-- lists the paragraphs, <leader>a offers the sure fixes and <leader>r
-- renumbers the entry under the cursor with all its uses. Resting on a
-- number highlights every use of its entry; over each list entry, a lens
-- says how many rule lines use it; after each number, its entry's display
-- text (inlay hints, Neovim 0.10 and later). The buffer is written in Latin-1.
if vim.fn.executable("verifie_climat") == 0 then
  return
end
local client = vim.g.verifie_climat_client
if client == nil or vim.lsp.get_client_by_id(client) == nil then
  client = vim.lsp.start_client({ name = "verifie_climat", cmd = { "verifie_climat", "--lsp" } })
  vim.g.verifie_climat_client = client
end
vim.lsp.buf_attach_client(0, client)
vim.bo.fileencoding = "latin1"
vim.bo.omnifunc = "v:lua.vim.lsp.omnifunc"
local touches = {
  K = vim.lsp.buf.hover,
  gd = vim.lsp.buf.definition,
  gr = vim.lsp.buf.references,
  ["<leader>o"] = vim.lsp.buf.document_symbol,
  ["<leader>a"] = vim.lsp.buf.code_action,
  ["<leader>r"] = vim.lsp.buf.rename,
}
for touche, action in pairs(touches) do
  vim.keymap.set("n", touche, action, { buffer = 0 })
end
if vim.lsp.inlay_hint then
  pcall(vim.lsp.inlay_hint.enable, true, { bufnr = 0 })
end
local groupe = vim.api.nvim_create_augroup("climat_renvois", { clear = false })
vim.api.nvim_clear_autocmds({ group = groupe, buffer = 0 })
vim.api.nvim_create_autocmd({ "BufEnter", "InsertLeave", "TextChanged" }, {
  group = groupe, buffer = 0, callback = function() pcall(vim.lsp.codelens.refresh) end,
})
vim.api.nvim_create_autocmd("CursorHold", { group = groupe, buffer = 0, callback = vim.lsp.buf.document_highlight })
vim.api.nvim_create_autocmd("CursorMoved", { group = groupe, buffer = 0, callback = vim.lsp.buf.clear_references })
