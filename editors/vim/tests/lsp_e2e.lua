-- Neovim as a schedule's author uses it, with planprobe --lsp as its server:
--   PLANPROBE=build/bin/planprobe nvim --headless -u NONE -i NONE \
--     --cmd 'set rtp=editors/vim,$VIMRUNTIME' -c 'luafile editors/vim/tests/lsp_e2e.lua'
-- Opens a faulty schedule, waits for the diagnostics and checks they stand where
-- `planprobe --diagnostics` puts them, hovers an event line for its next runs, mends the fault
-- and waits for the diagnostics to clear. Exits with status 0, or 1 after saying what failed.
vim.cmd('filetype plugin on')
local planprobe = os.getenv('PLANPROBE') or 'planprobe'
local failures = {}

local function check(what, ok)
  io.stdout:write((ok and 'ok: ' or 'FAILED: ') .. what .. '\n')
  if not ok then
    table.insert(failures, what)
  end
end

local function finish()
  vim.cmd(#failures == 0 and 'qall!' or 'cquit!')
end

-- The fault stands after a quoted text with characters of two and three bytes, so that the
-- editor's UTF-16 columns and the command line's byte columns differ.
local folder = vim.fn.tempname()
vim.fn.mkdir(folder, 'p')
local path = folder .. '/schedule.txt'
vim.fn.writefile({
  '; planprobe: -d072402 +d3',
  'D:07.24.02 T:06:30 P:DAY R:1 E:SENDSTRING 1:"grüße €" 2:"OK" 3:3 4:1x0',
  'D:07.24.02 T:07:15 P:DAY R:1 E:ON 1:1',
}, path)

-- Where the command line puts the first finding: its line and byte column, 1-based.
local cli = vim.fn.system({ planprobe, '-s' .. path, '-o' .. folder .. '/out.txt', '-a', '-d072402',
  '--diagnostics' })
local cliLine, cliColumn, cliCode = cli:match('schedule%.txt:(%d+):(%d+): error: ([%w_]+):')
check('planprobe --diagnostics names the fault', cliLine ~= nil)

-- The package's own start, as its users configure it.
require('quillschedule').setup({ cmd = { planprobe, '--lsp' } })
vim.cmd('edit ' .. vim.fn.fnameescape(path))
check('the schedule is a quillschedule', vim.bo.filetype == 'quillschedule')
local buffer = vim.api.nvim_get_current_buf()
local client = require('quillschedule').client()
check('the server starts', client ~= nil)
if client == nil then
  return finish()
end

local function diagnostics()
  return vim.diagnostic.get(buffer)
end
-- The file type set again, as a user's :set ft or a second detection does: the same server.
vim.cmd('setlocal filetype=quillschedule')
check('one server for the schedule', require('quillschedule').client() == client)
local came = vim.wait(10000, function()
  return #diagnostics() > 0
end, 20)
check('diagnostics come as the file opens', came)
check('one client serves the buffer (got ' .. #vim.lsp.buf_get_clients(buffer) .. ')',
  #vim.lsp.buf_get_clients(buffer) == 1)
if came then
  local first = diagnostics()[1]
  local code = first.code or (first.user_data and first.user_data.lsp and first.user_data.lsp.code)
  check(string.format('the diagnostic stands at the command line\'s line %s, column %s (got %d, %d)',
    cliLine, cliColumn, first.lnum + 1, first.col + 1),
    first.lnum + 1 == tonumber(cliLine) and first.col + 1 == tonumber(cliColumn))
  check('its code is the result code ' .. tostring(cliCode) .. ' (got ' .. tostring(code) .. ')',
    code == cliCode)
  check('its source is planprobe', first.source == 'planprobe')
end

local replies = vim.lsp.buf_request_sync(buffer, 'textDocument/hover', {
  textDocument = { uri = vim.uri_from_bufnr(buffer) },
  position = { line = 2, character = 3 },
}, 10000) or {}
local hover = ''
for _, reply in pairs(replies) do
  if reply.result and reply.result.contents then
    hover = reply.result.contents.value or ''
  end
end
check('the hover shows the next runs', hover:find('Next runs', 1, true) ~= nil)
check('the first of them is 2002-07-24 07:15', hover:find('2002-07-24 07:15 ElvaneOn: 1', 1, true) ~= nil)

-- The mend, typed as an edit: "4:1x0" becomes "4:10".
local line = vim.api.nvim_buf_get_lines(buffer, 1, 2, true)[1]
vim.api.nvim_buf_set_lines(buffer, 1, 2, true, { (line:gsub('4:1x0', '4:10')) })
check('the diagnostics clear after the mend', vim.wait(10000, function()
  return #diagnostics() == 0
end, 20))

vim.lsp.stop_client(client)
vim.fn.delete(folder, 'rf')
finish()
