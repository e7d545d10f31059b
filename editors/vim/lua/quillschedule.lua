-- Starts planprobe's language server for QUILLmar schedules in Neovim (0.7 and later):
--   lua require('quillschedule').setup()
-- in init.vim (or require('quillschedule').setup() in init.lua), with filetype detection on.
-- setup() takes { cmd = { 'planprobe', '--lsp' }, options = '-d072402 +w2' }, all optional:
-- `options` are planprobe's options for the span each schedule is simulated over, unless the
-- schedule's own "; planprobe:" comment names one.
local M = {}

local client -- the one server, shared by every schedule buffer

-- Attaches `buffer` to the server, starting the server first when it is not running. A server
-- still starting counts as running (client_is_stopped says otherwise until it is initialized),
-- so that a second FileType event does not start a second server.
local function attach(buffer, settings)
  if client == nil or vim.lsp.get_client_by_id(client) == nil then
    client = vim.lsp.start_client({
      name = 'planprobe',
      cmd = settings.cmd,
      root_dir = vim.fn.getcwd(),
      init_options = { options = settings.options },
    })
  end
  if client ~= nil then
    vim.lsp.buf_attach_client(buffer, client)
  end
end

function M.setup(settings)
  settings = vim.tbl_extend('force', { cmd = { 'planprobe', '--lsp' }, options = '' }, settings or {})
  vim.api.nvim_create_autocmd('FileType', {
    pattern = 'quillschedule',
    callback = function(event)
      attach(event.buf, settings)
    end,
  })
end

-- The server's client id, once a schedule has started it.
function M.client()
  return client
end

return M
