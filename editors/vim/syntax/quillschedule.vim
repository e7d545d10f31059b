" Syntax of QUILLmar schedules: one event a line, fields tagged D: T: P: R: S: A: I: E: and 1: to
" 4:, comments after ';'. Tags and words are read in either case, as the unit reads them.
if exists('b:current_syntax')
  finish
endif

syntax case ignore

syntax match quillscheduleTag /\<[DTPRSAIE]:/
syntax match quillscheduleTag /\<[1-4]:/
syntax keyword quillscheduleEvent SENDSTRING STARTSEQUENCE STOP RESET PAUSE SETVAREQ ON OFF
syntax keyword quillscheduleEvent DEFAULTWEBPAGE
syntax keyword quillscheduleTimeWord SUNRISE SUNSET BOOT
syntax keyword quillschedulePeriod DAY SUNDAY MONDAY TUESDAY WEDNESDAY THURSDAY FRIDAY SATURDAY
syntax keyword quillschedulePeriod SUN MON TUE WED THU FRI SAT MINUTE HOUR YEAR
syntax keyword quillscheduleSet MONTH JANUARY FEBRUARY MARCH APRIL MAY JUNE JULY AUGUST
syntax keyword quillscheduleSet SEPTEMBER OCTOBER NOVEMBER DECEMBER
syntax keyword quillscheduleSet JAN FEB MAR APR JUN JUL AUG SEP OCT NOV DEC
syntax match quillscheduleNumber /\<\d\+\>/
syntax match quillscheduleNumber /\<h\x\+\>/
syntax match quillscheduleDate /\<\d\{1,2}[./-]\d\{1,2}[./-]\d\{2,4}\>/
syntax match quillscheduleTime /\<\d\{1,2}:\d\{2}\>/
syntax region quillscheduleString start=/"/ skip=/\\\\\|\\"/ end=/"/ contains=quillscheduleEscape,quillscheduleBadEscape
syntax match quillscheduleBadEscape /\\./ contained
syntax match quillscheduleEscape /\\[\\"bnrt]/ contained
syntax match quillscheduleComment /;.*$/ contains=quillscheduleOptions,@Spell
syntax match quillscheduleOptions /planprobe:.*$/ contained

highlight default link quillscheduleTag Identifier
highlight default link quillscheduleEvent Keyword
highlight default link quillscheduleTimeWord Constant
highlight default link quillschedulePeriod Type
highlight default link quillscheduleSet Type
highlight default link quillscheduleNumber Number
highlight default link quillscheduleDate Number
highlight default link quillscheduleTime Number
highlight default link quillscheduleString String
highlight default link quillscheduleEscape SpecialChar
highlight default link quillscheduleBadEscape Error
highlight default link quillscheduleComment Comment
highlight default link quillscheduleOptions PreProc

let b:current_syntax = 'quillschedule'
