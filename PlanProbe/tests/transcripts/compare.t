--compare OLDFILE: the device commands that the edited schedule (-s) executes differently from
the old one over the same span, streamed as the two runs go side by side.

The changes must be what the two schedules' own logs differ in, minute by minute, the minutes
dated by the logs' day headings. `commands` lists a log's executed commands as
"YYYY-MM-DD HH:MM TEXT" (a send-string's further lines joined on), `logdiff` the ones only the
old log has ("-") and only the new one has ("+"), in time order.

  $ commands() {
  >   tr -d '\r' <"$1" | awk '
  >     function flush() { if (cur != "") print cur; cur = "" }
  >     /^[A-Z][a-z]+day [0-9][0-9]\.[0-9][0-9]\.[0-9][0-9]$/ {
  >       flush(); split($2, d, "."); date = "20" d[3] "-" d[1] "-" d[2]; next }
  >     /^[0-9][0-9]:[0-9][0-9] [ D]\([0-9][0-9]:[0-9][0-9] starttime\) / {
  >       flush(); cur = date " " substr($0, 1, 5) " " substr($0, index($0, "starttime) ") + 11); next }
  >     cur != "" && /^ +(Ack|Retries|Timeout): / { sub(/^ +/, ""); cur = cur " " $0; next }
  >     { flush() }
  >     END { flush() }'
  > }
  $ bytime() { sort -s -k1.2,1.17 -k1.1,1.1r; }
  $ logdiff() {
  >   comm -3 <(commands "$1" | sort) <(commands "$2" | sort) |
  >     sed -e 's/^\t\(.*\)/+\1/' -e 's/^\([^+]\)/-\1/' | bytime
  > }

Schedule pairs drawn from seeds: an old schedule of a few lines, and as the new one the same
with a start time moved, a repeat count changed, a line added that wins a double occupancy (a
later start) or loses it (the same start, later in the file), a line removed, and an identical
copy. For each pair: the exit status, the number of changes, whether they are the logs'
difference, and whether the log is the one written without --compare.

  $ line() {
  >   local time event period
  >   printf -v time 'T:%02d:%02d' $((RANDOM % 24)) $((RANDOM % 4 * 15))
  >   event=("E:ON 1:$1" "E:OFF 1:$1" "E:STARTSEQUENCE 1:$1" "E:SENDSTRING 1:\"S$1\" 2:\"OK\" 3:2 4:$1")
  >   period=("P:MINUTE R:$((20 + RANDOM % 60))" "P:HOUR R:$((1 + RANDOM % 4))" "P:DAY R:$((1 + RANDOM % 2))"
  >           "P:MONDAY R:1" "" "P:HOUR R:2 A:01.0$((4 + RANDOM % 4)).02 I:12:00")
  >   echo "D:01.0$((1 + RANDOM % 3)).02 $time ${period[RANDOM % 6]} ${event[RANDOM % 4]}"
  > }
  $ pair() {
  >   planprobe -s$2 -oold.log -d010102 +d9 >/dev/null
  >   planprobe -s$3 -onew.log -d010102 +d9 >/dev/null
  >   planprobe -s$3 -ocompared.log -d010102 +d9 --compare $2 >changes.txt
  >   local status=$?
  >   head -n -1 changes.txt | bytime >sorted.txt
  >   echo "$1: exit $status, $(grep -c '^[-+]' changes.txt) changes," \
  >        "$(logdiff old.log new.log | cmp -s - sorted.txt && echo the logs\' difference || echo NOT the logs\' difference)," \
  >        "$(cmp -s new.log compared.log && echo log unchanged || echo LOG CHANGED)"
  > }
  $ for seed in 1 2 3 4 5 6; do
  >   RANDOM=$seed
  >   for ((i = 1; i <= 5; i++)); do line $i; done >old.txt
  >   k=$((1 + RANDOM % 5)) repeat=$((2 + RANDOM % 5))
  >   printf -v moved 'T:%02d:30' $((RANDOM % 24))
  >   sed -E "${k}s/T:[0-9]{2}:[0-9]{2}/$moved/" old.txt >moved.txt
  >   sed -E "${k}s/R:[0-9]+/R:$repeat/" old.txt >repeat.txt
  >   { cat old.txt; sed -n "${k}p" old.txt | sed -E 's/^D:01.0[1-3]/D:01.04/; s/ 1:[^ ]*/ 1:9/'; } >wins.txt
  >   { cat old.txt; sed -n "${k}p" old.txt | sed -E 's/ 1:[^ ]*/ 1:9/'; } >loses.txt
  >   sed "${k}d" old.txt >removed.txt
  >   cp old.txt copy.txt
  >   for new in moved repeat wins loses removed copy; do pair "$seed $new" old.txt $new.txt; done
  > done
  1 moved: exit 1, 191 changes, the logs' difference, log unchanged
  1 repeat: exit 1, 61 changes, the logs' difference, log unchanged
  1 wins: exit 1, 54 changes, the logs' difference, log unchanged
  1 loses: exit 0, 0 changes, the logs' difference, log unchanged
  1 removed: exit 1, 95 changes, the logs' difference, log unchanged
  1 copy: exit 0, 0 changes, the logs' difference, log unchanged
  2 moved: exit 1, 14 changes, the logs' difference, log unchanged
  2 repeat: exit 1, 5 changes, the logs' difference, log unchanged
  2 wins: exit 1, 12 changes, the logs' difference, log unchanged
  2 loses: exit 0, 0 changes, the logs' difference, log unchanged
  2 removed: exit 1, 7 changes, the logs' difference, log unchanged
  2 copy: exit 0, 0 changes, the logs' difference, log unchanged
  3 moved: exit 1, 4 changes, the logs' difference, log unchanged
  3 repeat: exit 0, 0 changes, the logs' difference, log unchanged
  3 wins: exit 1, 3 changes, the logs' difference, log unchanged
  3 loses: exit 0, 0 changes, the logs' difference, log unchanged
  3 removed: exit 1, 2 changes, the logs' difference, log unchanged
  3 copy: exit 0, 0 changes, the logs' difference, log unchanged
  4 moved: exit 1, 56 changes, the logs' difference, log unchanged
  4 repeat: exit 1, 27 changes, the logs' difference, log unchanged
  4 wins: exit 1, 30 changes, the logs' difference, log unchanged
  4 loses: exit 0, 0 changes, the logs' difference, log unchanged
  4 removed: exit 1, 28 changes, the logs' difference, log unchanged
  4 copy: exit 0, 0 changes, the logs' difference, log unchanged
  5 moved: exit 1, 8 changes, the logs' difference, log unchanged
  5 repeat: exit 1, 4 changes, the logs' difference, log unchanged
  5 wins: exit 1, 3 changes, the logs' difference, log unchanged
  5 loses: exit 0, 0 changes, the logs' difference, log unchanged
  5 removed: exit 1, 4 changes, the logs' difference, log unchanged
  5 copy: exit 0, 0 changes, the logs' difference, log unchanged
  6 moved: exit 1, 159 changes, the logs' difference, log unchanged
  6 repeat: exit 1, 22 changes, the logs' difference, log unchanged
  6 wins: exit 1, 90 changes, the logs' difference, log unchanged
  6 loses: exit 0, 0 changes, the logs' difference, log unchanged
  6 removed: exit 1, 49 changes, the logs' difference, log unchanged
  6 copy: exit 0, 0 changes, the logs' difference, log unchanged

On the example schedule, the shop lights moved from 06:30 to 07:00: at 06:30 the quarter-hour
poll runs instead, and at 07:00 the lights lose to the morning display loop. Standard output
carries only the changes and the counts; a send-string's further lines are joined on.

  $ sed 's/T:06:30/T:07:00/' $EXAMPLES/planprobe-schedule.txt >edited.txt
  $ planprobe -sedited.txt -oo.txt -d072402 +d2 --compare $EXAMPLES/planprobe-schedule.txt | sed "s|$EXAMPLES/||"
  -2002-07-24 06:30 ElvaneOn: 1
  +2002-07-24 06:30 ElvaneSetVarEQ: 1 127
  -2002-07-25 06:30 ElvaneOn: 1
  +2002-07-25 06:30 ElvaneSetVarEQ: 1 127
  Compared with planprobe-schedule.txt: 2 command(s) gone (-), 2 new (+)
  $ sed 's/"PONG" 3:1/"PONG" 3:4/' $EXAMPLES/planprobe-schedule.txt >retries.txt
  $ planprobe -sretries.txt -oo.txt -d010702 +h2 --compare $EXAMPLES/planprobe-schedule.txt | sed "s|$EXAMPLES/||"
  -2002-01-07 01:00 ElvaneSendString: PING Ack: PONG Retries: 1 Timeout: 5
  +2002-01-07 01:00 ElvaneSendString: PING Ack: PONG Retries: 4 Timeout: 5
  Compared with planprobe-schedule.txt: 1 command(s) gone (-), 1 new (+)

With --summary, each line of the new schedule shows how many of its runs are new and how many
of the old schedule's runs of its command are gone; with --timeline, the changed minutes are
marked on the page (a black cap for a new command, a hollow one for a gone one).

  $ planprobe -sedited.txt -oo.txt -d072402 +d2 --compare $EXAMPLES/planprobe-schedule.txt --summary --timeline t.html | grep -E '^ +(line|10|34) '
   line  event                               runs      lost lost to       new      gone  first run         last run
     10  ON 1                                   0         2      33         0         2  -                 -
     34  SETVAREQ 1                           142        50      33         2         0  2002-07-24 00:15  2002-07-25 23:45
  $ grep -o '<b class="m [ng]"[^>]*>' t.html
  <b class="m n">
  <b class="m g">
  <b class="m g" style="left:27.08%" title="-ElvaneOn: 1">
  <b class="m n" style="left:27.08%" title="+ElvaneSetVarEQ: 1 127">
  <b class="m g" style="left:27.08%" title="-ElvaneOn: 1">
  <b class="m n" style="left:27.08%" title="+ElvaneSetVarEQ: 1 127">

Exit status: 0 when nothing differs, 1 when something does, -1 when the old schedule cannot be
read (refused before the log is opened, the message naming it) or a run fails.

  $ try() { rm -f o.txt; planprobe -sedited.txt -oo.txt +d1 "$@" | sed "s|$EXAMPLES/||g"; echo " [${PIPESTATUS[0]}]"; [[ ! -e o.txt ]] || echo "(log made)"; }
  $ try --compare edited.txt; try --compare=$EXAMPLES/planprobe-schedule.txt -d072402
  Compared with edited.txt: 0 command(s) gone (-), 0 new (+)
   [0]
  (log made)
  -2002-07-24 06:30 ElvaneOn: 1
  +2002-07-24 06:30 ElvaneSetVarEQ: 1 127
  Compared with planprobe-schedule.txt: 1 command(s) gone (-), 1 new (+)
   [1]
  (log made)
  $ try --compare missing.txt; try --compare .; try --compare o.txt; try --compare
  The old schedule missing.txt cannot be read. Quitting.
  Reason: No such file or directory
   [255]
  The old schedule . cannot be read. Quitting.
  Reason: Is a directory
   [255]
  The old schedule o.txt is the results file o.txt itself. Quitting.
   [255]
  Error: --compare needs a value: --compare OLDFILE
   [255]
  $ try --compare edited.txt --timeline edited.txt
  The timeline page edited.txt is the schedule file edited.txt itself. Quitting.
   [255]
  $ try --compare $EXAMPLES/planprobe-schedule.txt --timeline $EXAMPLES/planprobe-schedule.txt
  The timeline page planprobe-schedule.txt is the old schedule file planprobe-schedule.txt itself. Quitting.
   [255]
  $ try --compare edited.txt -a
  Analyze option used.  Stopping now.
  Compared with edited.txt: 0 command(s) gone (-), 0 new (+)
   [0]
  (log made)

A run that fails keeps its -1 whatever --strict or --compare say: here the log cannot be
written.

  $ echo 'D:06.01.02 A:05.01.02 T:12:30 P:DAY R:1 E:ON 1:1' >warned.txt
  $ for extra in '-a --strict' '+d1 --strict' '+d1 --compare=edited.txt' '+d1 --strict --compare=warned.txt'; do
  >   planprobe -swarned.txt -o/dev/full $extra >/dev/null; echo "$extra: $?"
  > done
  -a --strict: 255
  +d1 --strict: 255
  +d1 --compare=edited.txt: 255
  +d1 --strict --compare=warned.txt: 255
