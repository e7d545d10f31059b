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
  : 2>/dev/null <>"$dev"; wait $sim  # a unit that was never opened ends its session here
  { cat run.out; sed 's/^/! /' run.err; } | sed -e "s|$dev|<unit>|g" -e "s|$PWD|<here>|g"
  return $status
}
