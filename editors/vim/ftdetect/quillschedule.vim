" QUILLmar schedules: schedule*.txt, *.sched, and any file that names planprobe's options in a
" comment among its first five lines ("; planprobe: -d072402 +w2").
" A rule leaves alone a file that a rule before it made a schedule in this same read, so that
" FileType (and with it the language server's start) comes once even where Vim sources this
" file twice; a reload (:edit!) detects it afresh.
autocmd BufNewFile,BufRead *.sched,schedule*.txt,Schedule*.txt,SCHEDULE*.TXT
      \ if &filetype !=# 'quillschedule' || !did_filetype() |
      \   setlocal filetype=quillschedule |
      \ endif
autocmd BufNewFile,BufRead *
      \ if (&filetype !=# 'quillschedule' || !did_filetype())
      \     && match(getline(1, 5), '^\s*;\s*planprobe:') >= 0 |
      \   setlocal filetype=quillschedule |
      \ endif
