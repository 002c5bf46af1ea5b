-- Neovim on a climate file of Aubrelis: the language server of
-- verifie_climat, one for every climate buffer, its findings shown as the
-- author types. K shows the hover (what a number names, a rule's engine, a
-- paragraph, the line's findings with the guide's section), gd goes to the
-- entry a number names, gr lists the lines that use an entry, CTRL-X CTRL-O
-- completes (heads, numbers with their names, clock variables), <leader>o
-- lists the paragraphs and <leader>a offers the sure fixes. The buffer is
-- written in Latin-1.
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
}
for touche, action in pairs(touches) do
  vim.keymap.set("n", touche, action, { buffer = 0 })
end
