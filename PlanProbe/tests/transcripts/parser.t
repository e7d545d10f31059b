The parser's report on each kind of line, as the syntax analysis writes it to the log: one
schedule file per command (written with printf's %b, so \n, \r and \t stand for themselves),
analysed on 24 July 2002 with the boot at 21:32. A log line ends in CR LF, shown as "^M".

  $ p() { printf '%b' "$1" >p.txt; planprobe -sp.txt -oo.txt -a -d072402 -t2132 >/dev/null; tail -n +16 o.txt | head -n -4; }

Lines without an event.

  $ p ''
  $ p '\n\n'
  $ p '; comment D:01.01.02 E:ON'
  $ p 'T:12:30'
  $ p 'Q:5 :x'
  $ p 'D:01.01.02 E:ON 1:1 ; comment without line feed'
  Valid Event: D:01.01.02 T:00:00 E:ON 1:1 ^M

Start times.

  $ p 'D:01.01.02 T: 12:30'
  1 Error: BAD_STARTHOUR		^M
  ^M
  $ p 'D:01.01.02 T:7:05 E:ON 1:1'
  Valid Event: D:01.01.02 T:07:05 E:ON 1:1 ^M
  $ p 'D:01.01.02 T:07:5'
  1 Error: BAD_STARTMIN		^M
  ^M
  $ p 'D:01.01.02 T:12:60'
  1 Error: BAD_STARTMIN		^M
  ^M
  $ p 'D:01.01.02 T:24:00'
  1 Error: BAD_STARTHOUR		^M
  ^M
  $ p 'D:01.01.02 T:12.30'
  1 Error: BAD_STARTTIME		^M
  ^M
  $ p 'D:01.01.02 T:1230'
  1 Error: BAD_STARTTIME		^M
  ^M
  $ p 'D:01.01.02 T:XYZ'
  1 Error: BAD_STARTHOUR		^M
  ^M
  $ p 'D:01.01.02 T:SOON'
  1 Error: BAD_STARTTIME		^M
  ^M
  $ p 'D:01.01.02 T:'
  1 Error: BAD_STARTHOUR		^M
  ^M
  $ p 'D:01.01.02 T:boot E:ON 1:1'
  Valid Event: D:01.01.02 T:21:32 E:ON 1:1 ^M
  $ p 'D:07.24.02 T:sunrise E:ON 1:1'
  Valid Event: D:07.24.02 T:06:06 E:ON 1:1 ^M
  $ p 'D:07.24.02 T:SUNSET E:ON 1:1'
  Valid Event: D:07.24.02 T:18:06 E:ON 1:1 ^M

End times and dates.

  $ p 'D:07.24.02 A:07.25.02 I:SUNSET T:SUNRISE P:DAY R:1 E:ON 1:1'
  Valid Event: D:07.24.02 T:06:06 A:07.25.02 I:18:06 R:1 P:Day E:ON 1:1 ^M
  $ p 'D:07.24.02 I:23:59 E:ON 1:1'
  Valid Event: D:07.24.02 T:00:00 E:ON 1:1 ^M
  $ p 'D:07.24.02 I:BOOT'
  1 Error: BAD_ENDHOUR			^M
  ^M
  $ p 'D:07.24.02 I:SUNDOWN'
  1 Error: BAD_ENDTIME			^M
  ^M
  $ p 'D:07.24.02 I:12-30'
  1 Error: BAD_ENDTIME			^M
  ^M
  $ p 'D:07.24.02 I:12:3x'
  1 Error: BAD_ENDMIN			^M
  ^M
  $ p 'D:07.24.02 A:13.01.02'
  1 Error: BAD_ENDMONTH		^M
  ^M
  $ p 'D:07.24.02 A:01.x'
  1 Error: BAD_ENDDAY			^M
  ^M
  $ p 'D:07.24.02 A:01.01.202'
  1 Error: BAD_ENDYEAR			^M
  ^M
  $ p 'D:07.24.02 A:02.30.02'
  1 Error: BAD_ENDDATE			^M
  ^M
  $ p 'D:07.24.02 A:02 01.02'
  1 Error: BAD_ENDDATE			^M
  ^M

Start dates.

  $ p 'D:02.29.04 E:ON 1:1'
  Valid Event: D:02.29.04 T:00:00 E:ON 1:1 ^M
  $ p 'D:02.29.01'
  1 Error: BAD_STARTDATE		^M
  ^M
  $ p 'D:13.01.02'
  1 Error: BAD_STARTMONTH		^M
  ^M
  $ p 'D:x'
  1 Error: BAD_STARTMONTH		^M
  ^M
  $ p 'D:01.32.02'
  1 Error: BAD_STARTDATE		^M
  ^M
  $ p 'D:01,01,02'
  1 Error: BAD_STARTDATE		^M
  ^M
  $ p 'D:01.x.02'
  1 Error: BAD_STARTDAY		^M
  ^M
  $ p 'D:01.01.x'
  1 Error: BAD_STARTYEAR		^M
  ^M
  $ p 'D:01.01.202'
  1 Error: BAD_STARTYEAR		^M
  ^M
  $ p 'D:01.01.2002 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 E:ON 1:1 ^M
  $ p 'D:1/2-3 E:ON 1:1'
  Valid Event: D:01.02.03 T:00:00 E:ON 1:1 ^M
  $ p 'D:00.05.02 E:ON 1:1'
  Valid Event: D:00.05.02 T:00:00 E:ON 1:1 ^M
  $ p 'D:01.00.02 E:ON 1:1'
  Valid Event: D:01.00.02 T:00:00 E:ON 1:1 ^M
  $ p 'T:12:30 E:ON 1:1'
  Valid Event: D:-30.00.00 T:12:30 E:ON 1:1 ^M
  $ p 'D:06.01.02 T:12:30'
  Valid Event: D:06.01.02 T:12:30 Unknown Event.  This is not good.  Check your script or contact tech support.^M
  ^M

Periods and sets.

  $ p 'D:01.01.02 P:day R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Day E:ON 1:1 ^M
  $ p 'D:01.01.02 P:SUNDAY R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Sunday E:ON 1:1 ^M
  $ p 'D:01.01.02 P:SUNRISE R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Sunrise E:ON 1:1 ^M
  $ p 'D:01.01.02 P:SUNSET R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Sunset E:ON 1:1 ^M
  $ p 'D:01.01.02 P:MONTH R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Monday E:ON 1:1 ^M
  $ p 'D:01.01.02 P:MINUTES R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Minute E:ON 1:1 ^M
  $ p 'D:01.01.02 P:HOURLY R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Hour E:ON 1:1 ^M
  $ p 'D:01.01.02 P:YEARS R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Year E:ON 1:1 ^M
  $ p 'D:01.01.02 P:BOOT R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Boot E:ON 1:1 ^M
  $ p 'D:01.01.02 P:SAT R:1 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Saturday E:ON 1:1 ^M
  $ p 'D:01.01.02 P:DAYS'
  1 Error: BAD_PERIOD			^M
  ^M
  $ p 'D:01.01.02 P: DAY'
  1 Error: BAD_PERIOD			^M
  ^M
  $ p 'D:01.01.02 P:DAY R:1 S:MONDAY E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Day S:Month E:ON 1:1 ^M
  $ p 'D:01.01.02 P:DAY R:1 S:jan E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Day S:January E:ON 1:1 ^M
  $ p 'D:01.01.02 P:DAY R:1 S:DECEMBER E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:1 P:Day S:December E:ON 1:1 ^M
  $ p 'D:01.01.02 S:SUMMER'
  1 Error: BAD_SET				^M
  ^M

Repeat counts.

  $ p 'D:01.01.02 P:DAY E:ON 1:1'
  1 Reported Response Number: 1^M
  $ p 'D:01.01.02 P:DAY R:0 E:ON 1:1'
  1 Reported Response Number: 1^M
  $ p 'D:01.01.02 P:DAY R: 5 E:ON 1:1'
  1 Reported Response Number: 1^M
  $ p 'D:01.01.02 P:DAY R:1 R:2 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:12 P:Day E:ON 1:1 ^M
  $ p 'D:01.01.02 P:DAY R:127 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 R:127 P:Day E:ON 1:1 ^M
  $ p 'D:01.01.02 P:DAY R:128 E:ON 1:1'
  1 Reported Response Number: 1^M
  $ p 'D:01.01.02 P:DAY R:256 E:ON 1:1'
  1 Reported Response Number: 1^M
  $ p 'D:01.01.02 R:5 S:JUNE A:01.01.01 E:ON 1:1'
  Valid Event: D:01.01.02 T:00:00 A:01.01.01 I:00:00 R:5 S:June E:ON 1:1 ^M

Events and parameters.

  $ p 'D:01.01.02 E:ONN'
  1 Error: BAD_EVENT			^M
  ^M
  $ p 'D:01.01.02 e:on 1:3 2:4'
  Valid Event: D:01.01.02 T:00:00 E:ON 1:3 ^M
  $ p 'D:01.01.02 E:SETVAREQ 1:3 2:4'
  Valid Event: D:01.01.02 T:00:00 E:SETVAREQ 1:3 2:4 ^M
  $ p 'D:01.01.02 E:ON 1:5 D:01.02.02'
  1 Error: BAD_DATA_PARAM1		^M
  ^M
  $ p 'D:01.01.02 E:SENDSTRING 2:"\\q"'
  1 Error: BAD_DATA_PARAM2		^M
  ^M
  $ p 'D:01.01.02 E:SENDSTRING 3:h '
  1 Error: BAD_DATA_PARAM3		^M
  ^M
  $ p 'D:01.01.02 E:SENDSTRING 4:h'
  1 Error: BAD_DATA_PARAM4		^M
  ^M
  $ p 'D:01.01.02 E:ON 1:1\t2:5'
  Valid Event: D:01.01.02 T:00:00 E:ON 1:1 ^M
  $ p 'D:01.01.02 E:ON 1:1\t2:x'
  1 Error: BAD_DATA_PARAM2		^M
  ^M

Several lines.

  $ p 'D:13.01.02 T:99:99\nD:01.01.02 T:25:00'
  1 Error: BAD_STARTMONTH		^M
  ^M
  2 Error: BAD_STARTHOUR		^M
  ^M
  $ p 'D:01.01.02 E:ON 1:1\r\nD:13.01.02\r\n'
  Valid Event: D:01.01.02 T:00:00 E:ON 1:1 ^M
  2 Error: BAD_STARTMONTH		^M
  ^M
  $ p 'D:01.01.02 E:DEFAULTWEBPAGE 1:"a\nb"\nD:13.01.02\n'
  Valid Event: D:01.01.02 T:00:00 E:DEFAULTWEBPAGE 1:a^M
  b ^M
  2 Error: BAD_STARTMONTH		^M
  ^M
  $ p '\n\n; x\nD:05.01.02 A:04.01.02 P:DAY R:2 E:ON 1:7'
  Valid Event: D:05.01.02 T:00:00 A:04.01.02 I:00:00 R:2 P:Day E:ON 1:7 ^M
  4 Warning: ENDDATE IS EARLIER THAN STARTDATE - EVENT WILL NOT BE LOADED^M
  ^M
  $ p 'D:05.01.02 A:04.01.02 E:ON 1:7'
  Valid Event: D:05.01.02 T:00:00 A:04.01.02 I:00:00 E:ON 1:7 ^M
