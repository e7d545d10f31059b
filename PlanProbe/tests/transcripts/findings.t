--diagnostics: each finding at the physical line and the column of the field to blame, as an
editor counts them; the log keeps its own numbering.

Quoted texts that run over line ends come before the faulty lines, so the log's numbers fall
behind the file's. The tag at each reported line and column, cut out of the file by its own
numbering, is the field the finding names (the line's first column where no field is to blame).

  $ printf 'D:01.01.02 T:12:30 E:DEFAULTWEBPAGE 1:"a\nb"\nD:01.01.02 T:25:00 E:ON 1:1\n' >table.txt
  $ printf 'D:01.01.02 T:12:30 E:SENDSTRING 1:"x\ny\nz" 2:"OK" 3:x\n' >>table.txt
  $ printf 'D:01.01.02 T:12:30 P:DAY E:ON 1:1\n\tD:01.01.02 T:12:30 P:DAYS R:1 E:ON 1:1\n' >>table.txt
  $ printf 'D:06.01.02 A:05.01.02 T:12:30 P:DAY R:1 E:ON 1:1\nD:01.01.02 D:13.01.02 T:12:30\n' >>table.txt
  $ printf 'D:01.01.02 T:12:30 E:DEFAULTWEBPAGE 1:"\xc3\xa4" 2:x\nD:01.01.02 T:12:30 E:ON 1:1 4:"t\n\n"x\n' >>table.txt
  $ printf 'D:01.01.02 T:12:30 E:SWITCH 1:1\n' >>table.txt
  $ planprobe -stable.txt -oo.txt -a --diagnostics 2>d.txt >/dev/null
  $ grep -o '^table.txt:[0-9:]*: [a-z]*: [A-Z_0-9]*' d.txt | while IFS=: read -r file line column rest; do
  >   echo "$line:$column$rest | $(sed -n "${line}p" table.txt | cut -b "$column-$((column + 1))")"
  > done
  3:12 error: BAD_STARTHOUR | T:
  6:11 error: BAD_DATA_PARAM3 | 3:
  7:1 error: REJECTED_EVENT | D:
  8:21 error: BAD_PERIOD | P:
  9:1 warning: ENDDATE_EARLIER | D:
  10:12 error: BAD_STARTMONTH | D:
  11:44 error: BAD_DATA_PARAM2 | 2:
  12:29 error: BAD_DATA_PARAM4 | 4:
  15:20 error: BAD_EVENT | E:
  $ grep -ao '^[0-9]* \(Error: [A-Z_0-9]*\|Warning\|Reported Response\)' o.txt
  2 Error: BAD_STARTHOUR
  3 Error: BAD_DATA_PARAM3
  4 Reported Response
  5 Error: BAD_PERIOD
  6 Warning
  7 Error: BAD_STARTMONTH
  8 Error: BAD_DATA_PARAM2
  9 Error: BAD_DATA_PARAM4
  10 Error: BAD_EVENT

Each finding shows its line, indented by two blanks, and a caret under the column: a tab
before the tag stays a tab, and a character of two bytes takes one place.

  $ sed -n '10,15p' d.txt
  table.txt:8:21: error: BAD_PERIOD: the period (P:) must be DAY, a weekday, MINUTE, HOUR, YEAR, SUNRISE, SUNSET or BOOT
    	D:01.01.02 T:12:30 P:DAYS R:1 E:ON 1:1
    	                   ^
  table.txt:9:1: warning: ENDDATE_EARLIER: the end date lies before the start date, so the event is never loaded
    D:06.01.02 A:05.01.02 T:12:30 P:DAY R:1 E:ON 1:1
    ^
  $ sed -n '20,21p' d.txt
    D:01.01.02 T:12:30 E:DEFAULTWEBPAGE 1:"M-CM-$" 2:x
                                              ^

A schedule with CR LF line ends: the line is shown without its CR. Two faulty lines in a row:
each finding shows its own line.

  $ printf 'D:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1\r\nD:13.01.02 T:12:30 E:ON 1:1\r\n' >crlf.txt
  $ printf 'D:01.01.02 T:12:30 P:DAYS R:1 E:ON 1:1\r\nD:01.01.02 T:12:30 P:DAY R:1 E:ON 1:1\r\n' >>crlf.txt
  $ planprobe -scrlf.txt -oo.txt -a --diagnostics 2>&1 >/dev/null
  crlf.txt:2:1: error: BAD_STARTMONTH: the start month (D:) must be 1 to 12
    D:13.01.02 T:12:30 E:ON 1:1
    ^
  crlf.txt:3:20: error: BAD_PERIOD: the period (P:) must be DAY, a weekday, MINUTE, HOUR, YEAR, SUNRISE, SUNSET or BOOT
    D:01.01.02 T:12:30 P:DAYS R:1 E:ON 1:1
                       ^

The summary and the page give the physical lines too, and count a valid line that carries the
end-date warning as valid, not faulty.

  $ planprobe -stable.txt -oo.txt +d1 --summary --timeline=t.html | sed -n '/valid line/,/^$/p'
  2 valid line(s), 8 faulty line(s); simulated 1 day(s), 2000-01-01 to 2000-01-01
  
  $ planprobe -stable.txt -oo.txt +d1 --summary | grep -A5 '^ line'
   line  event                               runs      lost lost to  first run         last run
      1  DEFAULTWEBPAGE "a.b"                   0         0       -  -                 -
      9  ON 1                                   0         0       -  -                 -
  
  Warnings:
    - line 1 (DEFAULTWEBPAGE "a.b") never ran in the simulated span
  $ grep -o '<td class="n">[0-9:]*</td><td>[a-z]*</td><td>[A-Z_0-9]*' t.html | sed 's/<[^>]*>/ /g'
   3:12  error  BAD_STARTHOUR
   6:11  error  BAD_DATA_PARAM3
   7:1  error  REJECTED_EVENT
   8:21  error  BAD_PERIOD
   9:1  warning  ENDDATE_EARLIER
   10:12  error  BAD_STARTMONTH
   11:44  error  BAD_DATA_PARAM2
   12:29  error  BAD_DATA_PARAM4
   15:20  error  BAD_EVENT
