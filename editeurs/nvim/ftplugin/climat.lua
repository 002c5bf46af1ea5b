-- Neovim on a climate file of Aubrelis: the language server of
-- verifie_climat, one for every climate buffer, its findings shown as the
-- author types; K shows the hover (the finding and the guide's section),
-- and the sure fixes are code actions. The buffer is written in Latin-1.
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
vim.keymap.set("n", "K", vim.lsp.buf.hover, { buffer = 0 })
vim.keymap.set("n", "<leader>a", vim.lsp.buf.code_action, { buffer = 0 })
