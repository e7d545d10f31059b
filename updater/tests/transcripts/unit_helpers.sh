# Shell functions the updater's transcripts source: one simulated unit per quillmar-update run,
# the run's output with the unit's device as <unit> and the transcript's folder as <here>.

# unit ARGS...: starts a simulated unit for one session (ARGS go to quillmar-bootsim) and sets
# $dev to its device and $sim to its process.
unit() {
  : >unit.out; quillmar-bootsim --sessions 1 "$@" >unit.out 2>unit.err & sim=$!
  until [[ -s unit.out ]] || ! kill -0 $sim 2>/dev/null; do sleep 0.05; done
  dev=$(head -n 1 unit.out)
}
# run ARGS...: quillmar-update on the unit's device; shows its output, standard error after "! ",
# once the unit has ended, and returns its status.
run() {
  local status=0; quillmar-update --port "$dev" "$@" >run.out 2>run.err || status=$?
  # A unit the run opened ends by itself once the run has closed it; one it never opened is
  # told to end. Opening the device to end its session instead could reach another test's
  # unit, made on the same number once this one is gone, and end that one's session.
  for _ in {1..60}; do kill -0 $sim 2>/dev/null || break; sleep 0.05; done
  kill $sim 2>/dev/null; wait $sim 2>/dev/null
  { cat run.out; sed 's/^/! /' run.err; } | sed -e "s|$dev|<unit>|g" -e "s|$PWD|<here>|g"
  return $status
}
