" QUILLmar schedules: schedule*.txt, *.sched, and any file that names planprobe's options in a
" comment among its first five lines ("; planprobe: -d072402 +w2").
autocmd BufNewFile,BufRead *.sched setlocal filetype=quillschedule
autocmd BufNewFile,BufRead schedule*.txt,Schedule*.txt,SCHEDULE*.TXT setlocal filetype=quillschedule
autocmd BufNewFile,BufRead *
      \ if &filetype !=# 'quillschedule' && match(getline(1, 5), '^\s*;\s*planprobe:') >= 0 |
      \   setlocal filetype=quillschedule |
      \ endif
