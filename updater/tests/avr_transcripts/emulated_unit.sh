# Shell functions the emulated unit's transcripts source: one unit (the project's boot loader on
# the emulated chip) per quillmar-update run, the run's output with the unit's device as <unit>.

# unit ARGS...: starts an emulated unit for one session (ARGS go to quillmar-bootsim --avr) and
# sets $dev to its device and $sim to its process.
unit() {
  : >unit.out; quillmar-bootsim --avr --sessions 1 "$@" >unit.out 2>unit.err & sim=$!
  until [[ -s unit.out ]] || ! kill -0 $sim 2>/dev/null; do sleep 0.05; done
  dev=$(head -n 1 unit.out)
}
# run ARGS...: quillmar-update on the unit's device; shows its output, standard error after "! ",
# once the unit has ended, and returns its status.
run() {
  local status=0; quillmar-update --port "$dev" "$@" >run.out 2>run.err || status=$?
  for i in {1..100}; do kill -0 $sim 2>/dev/null && sleep 0.05; done  # the session ends
  kill $sim 2>/dev/null; wait $sim
  { cat run.out; sed 's/^/! /' run.err; } | sed -e "s|$dev|<unit>|g"
  return $status
}
# ff N: N erased flash bytes (0xFF).
ff() { head -c "$1" /dev/zero | tr '\0' '\377'; }
