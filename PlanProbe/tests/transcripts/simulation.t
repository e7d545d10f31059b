The simulated unit minute by minute: what the log shows after its header, for schedules that
meet the rules at their edges. A log line ends in CR LF, shown as "^M".

  $ sim() { planprobe -ss.txt -oo.txt "$@" >/dev/null; sed -n '/^Will simulate/,$p' o.txt; }

Every two minutes, across midnight.

  $ echo 'D:01.01.00 T:02:00 P:MINUTE R:2 E:STARTSEQUENCE 1:10' >s.txt
  $ sim -t2357 +i6
  Will simulate for 6 total minutes^M
  Bootup at: 23:57 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:02:00 R:2 P:Minute E:STARTSEQUENCE 1:10 ^M
  ^M
  Executing Events:^M
  23:58  (02:00 starttime) ElvaneStartSequence: 10^M
  ^M
  Sunday 01.02.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:02:00 R:2 P:Minute E:STARTSEQUENCE 1:10 ^M
  ^M
  Executing Events:^M
  00:00  (02:00 starttime) ElvaneStartSequence: 10^M
  00:02  (02:00 starttime) ElvaneStartSequence: 10^M
  Done.^M

Loads only: the day's loads, no minute.

  $ sim -l -t1230 +i180
  Will simulate for 180 total minutes^M
  Bootup at: 12:30 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:02:00 R:2 P:Minute E:STARTSEQUENCE 1:10 ^M
  Done.^M

The boot start wins the boot minute; a day later the two lines meet with no winner.

  $ printf 'D:01.01.00 T:BOOT P:DAY R:1 E:ON 1:1\nD:01.01.00 T:09:59 P:DAY R:1 E:OFF 1:2\n' >s.txt
  $ sim -t0959 +i1442
  Will simulate for 1442 total minutes^M
  Bootup at: 09:59 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:09:59 R:1 P:Day E:ON 1:1 ^M
  Event Added: D:01.01.00 T:09:59 R:1 P:Day E:OFF 1:2 ^M
  ^M
  Executing Events:^M
  09:59 D(09:59 starttime) ElvaneOn: 1^M
  ^M
  Sunday 01.02.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:09:59 R:1 P:Day E:ON 1:1 ^M
  Event Added: D:01.01.00 T:09:59 R:1 P:Day E:OFF 1:2 ^M
  ^M
  Executing Events:^M
  09:59 Unknown Event Type.  This is not good.  Check your schedule or contact tech support.^M
  Done.^M

A stop that wins its minute leaves no line.

  $ printf 'D:01.01.00 T:12:00 E:STOP 1:1\nD:01.01.00 T:12:00 E:ON 1:3\n' >s.txt
  $ sim -t1159 +i3
  Will simulate for 3 total minutes^M
  Bootup at: 11:59 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:12:00 E:STOP 1:1 ^M
  Event Added: D:01.01.00 T:12:00 E:ON 1:3 ^M
  ^M
  Executing Events:^M
  Done.^M

Every kind of command, with and without its parameters; a text item counts by its first byte.

  $ cat >s.txt <<'SCHEDULE'
  > D:01.01.00 T:00:00 E:SENDSTRING 1:"AT+X" 2:"OK" 3:3 4:5
  > D:01.01.00 T:00:01 E:SENDSTRING 1:"PING"
  > D:01.01.00 T:00:02 E:SETVAREQ 1:4 2:200
  > D:01.01.00 T:00:03 E:ON 1:"5"
  > D:01.01.00 T:00:04 E:OFF
  > D:01.01.00 T:00:05 E:DEFAULTWEBPAGE 1:"index.htm"
  > D:01.01.00 T:00:06 E:DEFAULTWEBPAGE
  > D:01.01.00 T:00:07 E:RESET 1:1
  > D:01.01.00 T:00:07 E:PAUSE 1:1
  > D:01.01.00 T:00:08 E:STARTSEQUENCE 1:1
  > D:01.01.00 T:00:08 E:ON
  > SCHEDULE
  $ sim +i10
  Will simulate for 10 total minutes^M
  Bootup at: 00:00 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:00:00 E:SENDSTRING 1:AT+X 2:OK 3:3 4:5 ^M
  Event Added: D:01.01.00 T:00:01 E:SENDSTRING 1:PING ^M
  Event Added: D:01.01.00 T:00:02 E:SETVAREQ 1:4 2:200 ^M
  Event Added: D:01.01.00 T:00:03 E:ON 1:53 ^M
  Event Added: D:01.01.00 T:00:04 E:OFF ^M
  Event Added: D:01.01.00 T:00:05 E:DEFAULTWEBPAGE 1:index.htm ^M
  Event Added: D:01.01.00 T:00:06 E:DEFAULTWEBPAGE ^M
  Event Added: D:01.01.00 T:00:07 E:RESET 1:1 ^M
  Event Added: D:01.01.00 T:00:07 E:PAUSE 1:1 ^M
  Event Added: D:01.01.00 T:00:08 E:STARTSEQUENCE 1:1 ^M
  Event Added: D:01.01.00 T:00:08 E:ON ^M
  ^M
  Executing Events:^M
  00:00  (00:00 starttime) ElvaneSendString: AT+X^M
               Ack: OK^M
           Retries: 3^M
           Timeout: 5^M
  ^M
  00:01  (00:01 starttime) ElvaneSendString: PING^M
               Ack: (null)^M
           Retries: 0^M
           Timeout: 0^M
  ^M
  00:02  (00:02 starttime) ElvaneSetVarEQ: 4 200^M
  00:03  (00:03 starttime) ElvaneOn: 53^M
  00:04  (00:04 starttime) ElvaneOff: 0^M
  00:05  (00:05 starttime) ElvaneDefaultWebPage: index.htm^M
  00:06  (00:06 starttime) ElvaneDefaultWebPage: (null)^M
  00:08 D(00:08 starttime) ElvaneStartSequence: 1^M
  Done.^M

Due up to its end minute, and not after it.

  $ echo 'D:01.01.00 T:00:00 A:01.01.00 I:00:02 P:MINUTE R:1 E:ON 1:7' >s.txt
  $ sim +i5
  Will simulate for 5 total minutes^M
  Bootup at: 00:00 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:00:00 A:01.01.00 I:00:02 R:1 P:Minute E:ON 1:7 ^M
  ^M
  Executing Events:^M
  00:00  (00:00 starttime) ElvaneOn: 7^M
  00:01  (00:00 starttime) ElvaneOn: 7^M
  00:02  (00:00 starttime) ElvaneOn: 7^M
  Done.^M

An unchecked start time of 99:99 runs the boot event, then rolls to the next day; loads only,
the boot event is loaded on the first day only.

  $ echo 'D:01.01.00 T:05:00 P:BOOT R:1 E:ON' >s.txt
  $ sim -t9999 +i2
  Will simulate for 2 total minutes^M
  Bootup at: 99:99 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:05:00 R:1 P:Boot E:ON ^M
  ^M
  Executing Events:^M
  99:99  (05:00 starttime) ElvaneOn: 0^M
  ^M
  Sunday 01.02.00^M
  --------------------------------^M
  Loading Events:^M
  ^M
  Executing Events:^M
  Done.^M
  $ sim -l -t2200 +i185
  Will simulate for 185 total minutes^M
  Bootup at: 22:00 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:05:00 R:1 P:Boot E:ON ^M
  ^M
  Sunday 01.02.00^M
  --------------------------------^M
  Loading Events:^M
  Done.^M

A line without a start date is reported every minute.

  $ echo 'T:00:00 P:DAY R:1 E:ON' >s.txt
  $ sim -d022900 -t2358 +i3
  Will simulate for 3 total minutes^M
  Bootup at: 23:58 ^M
         on: 02.29.00^M
  ^M
  ^M
  Tuesday 02.29.00^M
  --------------------------------^M
  Loading Events:^M
  1 Error: BAD_MONTH			^M
  ^M
  Event Added: D:-30.00.00 T:00:00 R:1 P:Day E:ON ^M
  ^M
  Executing Events:^M
  23:58 ^M
  Error: BAD_MONTH			^M
  ^M
  23:59 ^M
  Error: BAD_MONTH			^M
  ^M
  ^M
  Wednesday 03.01.00^M
  --------------------------------^M
  Loading Events:^M
  1 Error: BAD_MONTH			^M
  ^M
  Event Added: D:-30.00.00 T:00:00 R:1 P:Day E:ON ^M
  ^M
  Executing Events:^M
  00:00 ^M
  Error: BAD_MONTH			^M
   (00:00 starttime) ElvaneOn: 0^M
  Done.^M

Stop on errors: after errors that the analysis found, the first load, then the end; after
errors of the first load, the end.

  $ printf 'D:13.01.00 T:00:00 E:ON 1:1\nD:01.01.00 T:02:00 P:MINUTE R:2 E:STARTSEQUENCE 1:10\n' >s.txt
  $ sim -e +i100
  Will simulate for 100 total minutes^M
  Bootup at: 00:00 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  1 Error: BAD_STARTMONTH		^M
  ^M
  Event Added: D:01.01.00 T:02:00 R:2 P:Minute E:STARTSEQUENCE 1:10 ^M
  Done.^M
  $ printf 'T:00:00 P:DAY R:1 E:ON\nD:01.01.00 T:02:00 P:MINUTE R:2 E:STARTSEQUENCE 1:10\n' >s.txt
  $ sim -e +i100
  Will simulate for 100 total minutes^M
  Bootup at: 00:00 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  1 Error: BAD_MONTH			^M
  ^M
  Event Added: D:-30.00.00 T:00:00 R:1 P:Day E:ON ^M
  Event Added: D:01.01.00 T:02:00 R:2 P:Minute E:STARTSEQUENCE 1:10 ^M
  Done.^M

No span, no day.

  $ sim +w0
  Will simulate for 0 total minutes^M
  Bootup at: 00:00 ^M
         on: 01.01.00^M
  ^M
  Done.^M

Appending to an old log writes the same simulation as overwriting.

  $ printf 'D:01.01.00 T:00:01 P:MINUTE R:3 E:ON 1:5\nD:01.01.00 T:00:02 P:MINUTE R:3 E:STOP 1:1\n' >s.txt
  $ echo old >o.txt; sim +i8 -p >appended; sim +i8 >overwritten; cmp appended overwritten && cat overwritten
  Will simulate for 8 total minutes^M
  Bootup at: 00:00 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  Event Added: D:01.01.00 T:00:01 R:3 P:Minute E:ON 1:5 ^M
  Event Added: D:01.01.00 T:00:02 R:3 P:Minute E:STOP 1:1 ^M
  ^M
  Executing Events:^M
  00:01  (00:01 starttime) ElvaneOn: 5^M
  00:04  (00:01 starttime) ElvaneOn: 5^M
  00:07  (00:01 starttime) ElvaneOn: 5^M
  Done.^M

The progress figure is shown when it changes; over 100 minutes the floating-point figure falls
just short of some.

  $ planprobe -ss.txt -oo.txt +i4 | tail -c 60; echo
  .
  ^M25% complete ^M50% complete ^M75% complete ^M100% complete 
  
  $ planprobe -ss.txt -oo.txt -l +i130 | tail -c 45; echo
  
  ^M46% complete ^M92% complete ^M100% complete 
  
  $ planprobe -ss.txt -oo.txt +i100 | tr '\r' '\n' | grep -c complete
  98
  $ planprobe -ss.txt -oo.txt +i100 | tr '\r' '\n' | grep -e '^2[89]%' -e '^5[78]%'
  28% complete 
  57% complete 
