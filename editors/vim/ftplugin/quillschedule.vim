" QUILLmar schedules: comments begin with ';'; a line is an event, so long lines are not wrapped
" into two.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1

setlocal commentstring=;\ %s
setlocal comments=:;
setlocal formatoptions-=t

let b:undo_ftplugin = 'setlocal commentstring< comments< formatoptions<'
