The command line of planprobe: what the console shows, the exit status, and the log left
behind. Each log is shown after its fixed header of 10 lines; the progress line is shown one
figure to a line.

  $ : >s.txt
  $ header=$PWD/header; head -n 10 "$GOLDEN/schedule-analysis.log" >"$header"
  $ log() { cmp -n "$(wc -c <"$header")" "$header" "$1" && tail -n +11 "$1"; }
  $ progress() { tr '\r' '\n' | grep -v '^$'; }

An analysis only; letters after the option are ignored, and so is anything unknown before
the options that are known.

  $ planprobe -ss.txt -oo.txt -a; log o.txt
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Analyze option used.  Stopping now.
  ^M
  ^M
  Starting Syntax Analysis.^M
  --------------------------------^M
  Errors have a corresponding line number in front of them.^M
  ^M
  Analyze option used. No simulation will be performed.^M
  ^M
  Done.^M
  $ planprobe -q x - -S '' -ss.txt -oo.txt -axyz -nice
  unknown argument: -q unknown argument: x unknown argument: - unknown argument: -S unknown argument:  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Analyze option used.  Stopping now.
  $ planprobe -ss.txt -oo.txt -t9999 -d993100 -a
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Analyze option used.  Stopping now.
  $ planprobe -ss.txt -oo.txt -d000000 -a && planprobe -ss.txt -oo.txt -d130100 -a
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Analyze option used.  Stopping now.
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Analyze option used.  Stopping now.
  $ planprobe -ss.txt -oo.txt -d022900 -a
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Analyze option used.  Stopping now.

A later option overrides an earlier one.

  $ planprobe -snone.txt -ss.txt -onone/o.txt -oo.txt -d043100 -d010100 -a
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Analyze option used.  Stopping now.

A whole run: the progress line counts every figure from 00 to 100 and ends the line.

  $ planprobe -ss.txt -oo.txt | tail -c 50; echo
  plete ^M98% complete ^M99% complete ^M100% complete 
  
  $ planprobe -ss.txt -oo.txt | progress | grep complete | tr -d ' %a-z' | tr '\n' ' '; echo
  00 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 36 37 38 39 40 41 42 43 44 45 46 47 48 49 50 51 52 53 54 55 56 57 58 59 60 61 62 63 64 65 66 67 68 69 70 71 72 73 74 75 76 77 78 79 80 81 82 83 84 85 86 87 88 89 90 91 92 93 94 95 96 97 98 99 100 
  $ log o.txt | grep -a -e 'day ' -e simulate -e Done
  Will simulate for 10080 total minutes^M
  Saturday 01.01.00^M
  Sunday 01.02.00^M
  Monday 01.03.00^M
  Tuesday 01.04.00^M
  Wednesday 01.05.00^M
  Thursday 01.06.00^M
  Friday 01.07.00^M
  Done.^M

The span to simulate, from the + options: a schedule with an error stops the run with -e
after the simulation's heading.

  $ echo D:13.01.02 >e.txt
  $ for span in '' +d1 '+d1 +h1' +w0 +m916 +y1 '+w2 +i7' '+d 5' +dx +h2x '+y4085 +i407647'; do
  >   planprobe -se.txt -oo.txt -e $span >/dev/null && echo "$span: $(grep -a simulate o.txt)"
  > done
  : Will simulate for 10080 total minutes^M
  +d1: Will simulate for 1440 total minutes^M
  +d1 +h1: Will simulate for 1500 total minutes^M
  +w0: Will simulate for 0 total minutes^M
  +m916: Will simulate for 40890240 total minutes^M
  +y1: Will simulate for 525600 total minutes^M
  +w2 +i7: Will simulate for 20167 total minutes^M
  +d 5: Will simulate for 0 total minutes^M
  +dx: Will simulate for 0 total minutes^M
  +h2x: Will simulate for 120 total minutes^M
  +y4085 +i407647: Will simulate for 2147483647 total minutes^M
  $ planprobe -ss.txt -oo.txt -t9999 +d1 +h1 >/dev/null; log o.txt
  ^M
  ^M
  Starting Syntax Analysis.^M
  --------------------------------^M
  Errors have a corresponding line number in front of them.^M
  ^M
  ^M
  ^M
  ^M
  ^M
  Starting Simulation (time is military)^M
  --------------------------------------^M
  Will simulate for 1500 total minutes^M
  Bootup at: 99:99 ^M
         on: 01.01.00^M
  ^M
  ^M
  Saturday 01.01.00^M
  --------------------------------^M
  Loading Events:^M
  ^M
  Executing Events:^M
  ^M
  Sunday 01.02.00^M
  --------------------------------^M
  Loading Events:^M
  ^M
  Executing Events:^M
  ^M
  Monday 01.03.00^M
  --------------------------------^M
  Loading Events:^M
  ^M
  Executing Events:^M
  Done.^M

Options it does not know: the usage follows, nothing is written.

  $ rm o.txt; planprobe -ss.txt +x5 -oo.txt | head -n 5
  Error: unknown command line argument: +x5
  
  Usage for planprobe.exe:
  -s<sourcefile> (default is s.txt)
  -o<logfile> (default is out.txt)
  $ planprobe + >usage.out; cat usage.out; ls
  Error: unknown command line argument: +
  
  Usage for planprobe.exe:
  -s<sourcefile> (default is schedule.txt)
  -o<logfile> (default is out.txt)
  -p append output to logfile instead of overwriting it.
  -a analyze schedule only. no simulation.
  -l show daily loads only during simulation. no minute by minute executions.
  -e the simulation will stop on any errors or warnings found in the file.
  -n nice mode: sleep() every "minute" - slower, tasks processor less.
  -d<6 digit start date mmddyy> (default is 010100 January 1st, 2000)
  -t<4 digit start hour hhmm> (default is 0000 midnight.)
  +y<number of years (365 days each) to simulate> (default is 0)
  +m<number of months (31 days each) to simulate> (default is 0)
  +w<number of weeks to simulate> (default is 1)
  +d<number of days to simulate> (default is 0)
  +h<number of hours to simulate> (default is 0)
  +i<number of minutes to simulate> (default is 0)
  Ex:planprobe -sschedule.txt -oresults.txt -d010302 -t1230 +d700 +h4 +m916
  This means open schedule.txt simulate from January 3,2002, for 700days4hrs916min and write the results to results.txt.
  e.txt
  header
  s.txt
  usage.out

Start options refused before anything is opened: an old log stays as it was.

  $ echo old log >o.txt
  $ for bad in -d01010 -d0101001 -d01a100 -d01a1001 -d010100a -d -d043100 -d022901 -d019900 \
  >            -t123 -t12345 -t12a4 +d-1 '+y4085 +i407647 +i1' +w99999999999999999999; do
  >   planprobe -ss.txt -oo.txt $bad; echo " [$?]"
  > done
  
  6 characters are required in the start date. The format is mmddyy. Exiting
   [255]
  
  6 characters are required in the start date. The format is mmddyy. Exiting
   [255]
  Found a non-number character in start the date. Exiting.
   [255]
  Found a non-number character in start the date. Exiting.
   [255]
  
  6 characters are required in the start date. The format is mmddyy. Exiting
   [255]
  
  6 characters are required in the start date. The format is mmddyy. Exiting
   [255]
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Invalid start date.
   Exiting. [255]
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Invalid start date.
   Exiting. [255]
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to o.txt.
  Invalid start date.
   Exiting. [255]
  
  4 characters are required in the start time. The format is hhmm. Exiting
   [255]
  
  4 characters are required in the start time. The format is hhmm. Exiting
   [255]
  Found a non-number character in the start time. Exiting. [255]
  Error: +d-1: the span to simulate must add up to 0 to 2147483647 minutes.
   [255]
  Error: +i1: the span to simulate must add up to 0 to 2147483647 minutes.
   [255]
  Error: +w99999999999999999999: the span to simulate must add up to 0 to 2147483647 minutes.
   [255]
  $ cat o.txt
  old log

Files it cannot open.

  $ planprobe -ss.txt -onone/o.txt; ls
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to none/o.txt.
  The file none/o.txt could not be opened. Quitting.
  Reason: No such file or directory
  e.txt
  header
  o.txt
  s.txt
  usage.out
  $ planprobe -snone.txt -oo.txt
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading none.txt and writing results to o.txt.
  Couldn't open none.txt!!!! Press any key to continue.
  Reason: No such file or directory
  [255]
  $ log o.txt
  ^M
  ^M
  Starting Syntax Analysis.^M
  --------------------------------^M
  Errors have a corresponding line number in front of them.^M
  Couldn't open none.txt. Stopping now.^M
  $ planprobe -s. -oo.txt
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading . and writing results to o.txt.
  Couldn't open .!!!! Press any key to continue.
  Reason: Is a directory
  [255]
  $ planprobe -s schedule.txt -oo.txt
  unknown argument: schedule.txt 
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading  and writing results to o.txt.
  Couldn't open !!!! Press any key to continue.
  Reason: No such file or directory
  [255]
  $ planprobe -ss.txt -o/dev/full -a
  
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading s.txt and writing results to /dev/full.
  Analyze option used.  Stopping now.
  The file /dev/full could not be written completely.
  Reason: No space left on device
  [255]
  $ planprobe -ss.txt -o/dev/full | progress | tail -n 3
  100% complete 
  The file /dev/full could not be written completely.
  Reason: No space left on device

Appending keeps the old log and marks the new session; overwriting drops it.

  $ echo old log >o.txt; planprobe -ss.txt -oo.txt -a -p >/dev/null; head -n 8 o.txt | cat -A
  old log$
  ^M$
  ^M$
  ^M$
  -------------------------(new session)-----------------------------^M$
  ^M$
  ^M$
  BTV Plan Probe:^M$
  $ rm o.txt; planprobe -ss.txt -oo.txt -a -p >/dev/null; head -n 6 o.txt
  ^M
  ^M
  ^M
  -------------------------(new session)-----------------------------^M
  ^M
  ^M
  $ planprobe -ss.txt -oo.txt -a >/dev/null; head -n 2 o.txt
  ^M
  BTV Plan Probe:^M

A log that would be the schedule itself, however it is named, is refused, and the schedule
stays as it was.

  $ echo 'D:01.03.02 T:12:30 P:DAY R:1 E:ON 1:1' >k.txt; mkdir sub
  $ ln k.txt hard.txt; ln -s k.txt link.txt
  $ for pair in k.txt,k.txt k.txt,./k.txt k.txt,sub/../k.txt k.txt,hard.txt k.txt,link.txt \
  >             link.txt,k.txt new.txt,./new.txt; do
  >   for mode in '' -p -a; do
  >     { planprobe -s${pair%,*} -o${pair#*,} $mode; echo " [$?]"; } | tail -n 2
  >   done
  > done
  The results file k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file ./k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file ./k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file ./k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file sub/../k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file sub/../k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file sub/../k.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file hard.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file hard.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file hard.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file link.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file link.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file link.txt is the schedule file k.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file k.txt is the schedule file link.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file k.txt is the schedule file link.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file k.txt is the schedule file link.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file ./new.txt is the schedule file new.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file ./new.txt is the schedule file new.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  The results file ./new.txt is the schedule file new.txt itself: writing to it would destroy the schedule. Quitting.
   [255]
  $ cat k.txt; ls
  D:01.03.02 T:12:30 P:DAY R:1 E:ON 1:1
  e.txt
  hard.txt
  header
  k.txt
  link.txt
  o.txt
  s.txt
  sub
  usage.out

Without arguments: the usage (as after an unknown option), then a week from the defaults with
schedule.txt and out.txt.

  $ mkdir defaults && cd defaults && : >schedule.txt
  $ planprobe | progress | grep -v '% complete' >run.out
  $ tail -n +3 ../usage.out | cmp - <(head -n 18 run.out) && tail -n +19 run.out
  You entered no special parameters. Continuing with default settings...
  BTV Plan Probe: (press Ctrl+C to cancel)
  ----------------------------------------------
  Reading schedule.txt and writing results to out.txt.
  $ log out.txt | sed -n '11,13p;$p'
  Starting Simulation (time is military)^M
  --------------------------------------^M
  Will simulate for 10080 total minutes^M
  Done.^M
  $ cd ..

The start date and time as the log's simulation heading gives them.

  $ planprobe -ss.txt -oo.txt -d072402 -t2132 +w0 >/dev/null; log o.txt | tail -n 4
  Bootup at: 21:32 ^M
         on: 07.24.02^M
  ^M
  Done.^M

The bundled examples' analyses, byte for byte as the checked-in logs.

  $ for example in schedule mistakes; do
  >   planprobe -s$EXAMPLES/planprobe-$example.txt -oout.txt -a -d072402 -t2132 >/dev/null &&
  >     cmp out.txt $GOLDEN/$example-analysis.log && echo "$example: as checked in"
  > done
  schedule: as checked in
  mistakes: as checked in
