" The Vim package's file type detection and syntax, in Vim and in Neovim:
"   vim -es -N -u NONE -i NONE --cmd 'set rtp=editors/vim,$VIMRUNTIME' -S editors/vim/tests/syntax_test.vim
" Writes what failed to standard error (as messages) and exits with status 1 when anything did.
filetype plugin on
syntax on
let s:failures = []
let s:folder = tempname()
call mkdir(s:folder, 'p')

" Opens a new file `name` holding `lines` and returns its file type.
function! s:FileTypeOf(name, lines) abort
  let l:path = s:folder . '/' . a:name
  call writefile(a:lines, l:path)
  execute 'edit ' . fnameescape(l:path)
  return &filetype
endfunction

" FileType must come once a read, even though this test sources the detection twice as some
" set-ups do: it starts the language server.
runtime! ftdetect/quillschedule.vim
let s:fired = 0
autocmd FileType quillschedule let s:fired += 1

for [s:name, s:lines, s:wanted] in [
      \ ['schedule.txt', ['D:01.01.02 T:06:30 E:ON 1:1'], 'quillschedule'],
      \ ['schedule-shop.txt', [], 'quillschedule'],
      \ ['front.sched', [], 'quillschedule'],
      \ ['notes.txt', ['; shop front', '; planprobe: -d072402 +w2'], 'quillschedule'],
      \ ['notes2.txt', ['shopping list', 'milk ; planprobe: no'], 'text'],
      \ ['readme.txt', ['nothing to see'], 'text'],
      \ ]
  let s:fired = 0
  let s:got = s:FileTypeOf(s:name, s:lines)
  let s:firedOnOpen = s:fired
  edit!
  let s:reloaded = &filetype
  if s:got !=# s:wanted || s:reloaded !=# s:wanted
    call add(s:failures, s:name . ': file type ' . s:got . ', after a reload ' . s:reloaded
          \ . ', not ' . s:wanted)
  endif
  let s:once = s:wanted ==# 'quillschedule' ? 1 : 0
  if s:firedOnOpen != s:once || s:fired != 2 * s:once
    call add(s:failures, s:name . ': FileType came ' . s:firedOnOpen . ' times on opening and '
          \ . (s:fired - s:firedOnOpen) . ' on reloading, not ' . s:once)
  endif
endfor

" The syntax group at line 1, byte column `col`.
function! s:GroupAt(col) abort
  return synIDattr(synID(1, a:col, 1), 'name')
endfunction

let s:line = 'd:01.01.02 T:SUNSET p:mon R:2 S:jul E:sendstring 1:"a\"b\q" 2:h1F 3:12 ; planprobe: +w2'
call s:FileTypeOf('syntax.sched', [s:line])
for [s:word, s:wanted] in [
      \ ['d:', 'quillscheduleTag'], ['01.01.02', 'quillscheduleDate'],
      \ ['SUNSET', 'quillscheduleTimeWord'], ['mon', 'quillschedulePeriod'],
      \ ['jul', 'quillscheduleSet'], ['sendstring', 'quillscheduleEvent'],
      \ ['\"', 'quillscheduleEscape'], ['\q', 'quillscheduleBadEscape'],
      \ ['h1F', 'quillscheduleNumber'], ['"a', 'quillscheduleString'],
      \ ['; ', 'quillscheduleComment'], ['planprobe:', 'quillscheduleOptions'],
      \ ]
  let s:col = stridx(s:line, s:word) + 1
  let s:got = s:GroupAt(s:col)
  if s:got !=# s:wanted
    call add(s:failures, "'" . s:word . "' at column " . s:col . ': ' . s:got . ', not ' . s:wanted)
  endif
endfor

if &commentstring !=# '; %s'
  call add(s:failures, 'commentstring is ' . &commentstring)
endif

call delete(s:folder, 'rf')
if empty(s:failures)
  quitall!
endif
for s:failure in s:failures
  call writefile(['FAILED: ' . s:failure], '/dev/stderr', 'a')
endfor
cquit!
