The "--" options: exit status, refusals, the site, the summary; none of them changes the log or
the console of the run itself.

  $ echo 'D:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1' >clean.txt
  $ printf 'D:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1\nD:13.01.02 T:12:30 E:ON 1:1\n' >error.txt
  $ echo 'D:06.01.02 A:05.01.02 T:12:30 P:DAY R:1 E:ON 1:1' >warned.txt
  $ echo 'D:01.03.02 T:12:30 P:DAY R:0 E:ON 1:1' >response.txt
  $ status() { planprobe -s$1 -oo.txt +d1 "${@:2}" >/dev/null; echo "$1 ${*:2}: $?"; }

With --strict, an error, a warning or a reported response fails the run; a run that fails keeps
its own status.

  $ status clean.txt; status clean.txt --strict; status error.txt
  clean.txt : 0
  clean.txt --strict: 0
  error.txt : 0
  $ status error.txt --strict; status error.txt --strict -a; status warned.txt --strict
  error.txt --strict: 1
  error.txt --strict -a: 1
  warned.txt --strict: 1
  $ status response.txt --strict; status response.txt --strict --summary --diagnostics
  response.txt --strict: 1
  response.txt:1:1: error: REJECTED_EVENT: a repeating event needs a repeat count (R:) of 1 to 127, so the line is not loaded
    D:01.03.02 T:12:30 P:DAY R:0 E:ON 1:1
    ^
  response.txt --strict --summary --diagnostics: 1
  $ status none.txt --strict
  none.txt --strict: 255

Unknown "--" words are unknown arguments; bad values are refused before the log is opened.

  $ planprobe -sclean.txt -oo.txt -a --bogus -- --strict=1 --Summary | head -n 1
  unknown argument: --bogus unknown argument: -- unknown argument: --strict=1 unknown argument: --Summary 
  $ try() { rm -f o.txt; planprobe -sclean.txt -oo.txt "$@" | tail -n 1; echo " [${PIPESTATUS[0]}]"; [[ ! -e o.txt ]] || echo "(log made)"; }
  $ try --timeline; try --timeline=
  Error: --timeline needs a value: --timeline FILE
   [255]
  Error: --timeline needs a value: --timeline FILE
   [255]
  $ try --site 91,0,0; try --site=0,181,0
  Error: --site 91,0,0 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site 0,181,0 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  $ for site in -91.0,0,0 0,0,14 0,0,-14 0,0,300 0,0,1.5 1,2 1,2,3,4 north,0,0 nan,0,0; do
  >   try --site=$site
  > done
  Error: --site -91.0,0,0 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site 0,0,14 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site 0,0,-14 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site 0,0,300 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site 0,0,1.5 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site 1,2 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site 1,2,3,4 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site north,0,0 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  Error: --site nan,0,0 is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  $ try --site --summary
  Error: --site --summary is not a valid site. Give LAT,LON,TZ: latitude -90 to 90 (north positive), longitude -180 to 180 (east positive), each counted by its integer part, and the whole hours local time lies behind universal time, -13 to 13 (-1 for UT+1), for example --site 51.5,-0.1,0
   [255]
  $ try -a --site=90.9,-180.5,-13; try -a --site -90.9,180.9,13
  Analyze option used.  Stopping now.
   [0]
  (log made)
  Analyze option used.  Stopping now.
   [0]
  (log made)
  $ try --timeline ./clean.txt; try --timeline=o.txt
  The timeline page ./clean.txt is the schedule file clean.txt itself. Quitting.
   [255]
  The timeline page o.txt is the results file o.txt itself. Quitting.
   [255]
  $ cat clean.txt
  D:01.01.02 T:06:30 P:DAY R:1 E:ON 1:1
  $ try --version --bogus
  planprobe <version>
   [0]
  $ planprobe --help | grep -e '--site LAT'
    --site LAT,LON,TZ   sunrise and sunset at this site (degrees; hours behind UT)

The site moves the Sun's times, worked out by hand from the solar formulas for sites north and
south, east and west, and both poles' summer (the Sun up all day: the times meet at midnight).

  $ printf 'D:01.01.02 T:SUNRISE P:DAY R:1 E:ON 1:1\nD:01.01.02 T:SUNSET P:DAY R:1 E:OFF 1:1\n' >sun.txt
  $ for row in 0,0,0@072402 40,-75,5@072402 60,10,-1@062102 -33.87,151.21,-10@062102 \
  >            -33.87,151.21,-10@122102 -34.6,-58.4,3@072402 80,0,0@062102 80,0,0@122102 \
  >            -80,0,0@122102; do
  >   planprobe -ssun.txt -oo.txt -a -d${row#*@} --site=${row%@*} >/dev/null
  >   echo "$row:" $(grep -ao 'T:..:.. R:1 P:Day E:O[NF]*' o.txt)
  > done
  0,0,0@072402: T:06:06 R:1 P:Day E:ON T:18:06 R:1 P:Day E:OFF
  40,-75,5@072402: T:04:52 R:1 P:Day E:ON T:19:20 R:1 P:Day E:OFF
  60,10,-1@062102: T:02:56 R:1 P:Day E:ON T:21:47 R:1 P:Day E:OFF
  -33.87,151.21,-10@062102: T:07:01 R:1 P:Day E:ON T:16:51 R:1 P:Day E:OFF
  -33.87,151.21,-10@122102: T:04:42 R:1 P:Day E:ON T:19:03 R:1 P:Day E:OFF
  -34.6,-58.4,3@072402: T:07:55 R:1 P:Day E:ON T:18:04 R:1 P:Day E:OFF
  80,0,0@062102: T:00:01 R:1 P:Day E:ON T:00:01 R:1 P:Day E:OFF
  80,0,0@122102: T:11:57 R:1 P:Day E:ON T:11:57 R:1 P:Day E:OFF
  -80,0,0@122102: T:23:57 R:1 P:Day E:ON T:23:57 R:1 P:Day E:OFF

The summary warns of a year that rolls over and of minutes with no precedence; with loads only,
no line is said never to have run.

  $ printf 'D:12.30.99 T:BOOT P:DAY R:1 E:ON 1:1\nD:12.30.99 T:12:00 P:DAY R:1 E:OFF 1:1\n' >roll.txt
  $ planprobe -sroll.txt -oo.txt -d123099 -t1200 +d3 --summary | sed -n '/valid line/,$p'
  2 valid line(s), 0 faulty line(s); simulated 4 day(s), 2099-12-30 to 2000-01-02
  
   line  event                               runs      lost lost to  first run         last run
      1  ON 1                                   1         0       -  2099-12-30 12:00  2099-12-30 12:00
      2  OFF 1                                  0         1       1  -                 -
  
  Warnings:
    - line 2 (OFF 1) was due but never won its minute
    - 1 minute(s) wrote "Unknown Event Type" (no precedence between due events), the first on 2099-12-31 12:00
    - the span runs past 2099-12-31: the two-digit year rolls over to 00 (2000)
  $ planprobe -sroll.txt -oo.txt -l +d3 --summary | sed -n '/valid line/,$p'
  2 valid line(s), 0 faulty line(s); simulated 3 day(s), 2000-01-01 to 2000-01-03
  
   line  event                               runs      lost lost to  first run         last run
      1  ON 1                                   0         0       -  -                 -
      2  OFF 1                                  0         0       -  -                 -
  
  Warnings:
    - only the daily loads were simulated (-l): no minute was executed

Every option at once leaves the log and the console of the run as they were, the summary
following it.

  $ planprobe -s$EXAMPLES/planprobe-schedule.txt -oo.log -d072402 +d3 >plain.out; mv o.log plain.log
  $ for extra in --strict --diagnostics --summary '--timeline t.html' \
  >              '--timeline=t.html --summary --strict --diagnostics --site=0,0,0'; do
  >   planprobe $extra -s$EXAMPLES/planprobe-schedule.txt -oo.log -d072402 +d3 >o.out 2>/dev/null
  >   echo "$extra: $? $(cmp plain.log o.log && cmp -n $(wc -c <plain.out) plain.out o.out && echo same) $(($(wc -c <o.out) - $(wc -c <plain.out)))"
  > done
  --strict: 0 same 0
  --diagnostics: 0 same 0
  --summary: 0 same 4717
  --timeline t.html: 0 same 0
  --timeline=t.html --summary --strict --diagnostics --site=0,0,0: 0 same 4717

A timeline page that cannot be written fails the run and leaves no file.

  $ rm t.html; { planprobe -s$EXAMPLES/planprobe-schedule.txt -oo.log +d1 --timeline missing/t.html; echo " [$?]"; } | tail -n 2
  The timeline page missing/t.html could not be written: No such file or directory
   [255]
  $ ls -d *.html* missing* .replacing* 2>&1 | sort
  ls: cannot access '*.html*': No such file or directory
  ls: cannot access '.replacing*': No such file or directory
  ls: cannot access 'missing*': No such file or directory

A timeline page that is a link to a page elsewhere, as to a served one, is written through the
link, as the log is: the link stays, and the page it leads to holds the timeline and keeps its
permissions.

  $ mkdir served && echo old >served/page.html && chmod 640 served/page.html
  $ ln -s served/page.html page.html
  $ planprobe -s$EXAMPLES/planprobe-schedule.txt -oo.log +d1 --timeline page.html >/dev/null; echo $?
  0
  $ stat -c '%F %N' page.html; stat -c '%A %n' served/*; ls -A served
  symbolic link 'page.html' -> 'served/page.html'
  -rw-r----- served/page.html
  page.html
  $ grep -c '<title>planprobe timeline' served/page.html; rm -r page.html served
  1

The page names its schedule as the name is spelt: characters outside ASCII in UTF-8 show as
themselves, other bytes as in the schedule's lines.

  $ cp clean.txt Łódź.txt; cp clean.txt "$(printf 'x\374.txt')"
  $ for name in Łódź.txt "$(printf 'x\374.txt')"; do
  >   planprobe -s"$name" -oo.log +d1 --timeline t.html >/dev/null; grep -o '<title>[^<]*' t.html
  > done
  <title>planprobe timeline: &#321;&#243;d&#378;.txt
  <title>planprobe timeline: x&#252;.txt
