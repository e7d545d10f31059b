# Shared by the stages of the Wine tests (scripts/wine/*.sh), which source it first: the checks'
# helpers, the builds they need, the virtual display, the Wine prefixes and the simulated unit.
# A stage run alone makes all it needs in a throw-away folder of its own; run by
# scripts/wine-tests.sh, the stages share its folder ($QUILLMAR_WINE_WORK), display and prefixes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
root=$PWD
wine_dir=$root/scripts/wine
bin=$root/build-windows/bin
shots=$root/build-windows/screenshots
version=$(sed -n 's/^project(quillmar_tools VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

failed=false
# fail MESSAGE: ends the stage as failed.
fail() {
  echo "wine-tests: FAILED: $*" >&2
  failed=true
  exit 1
}

if [[ -n ${QUILLMAR_WINE_WORK:-} ]]; then
  work=$QUILLMAR_WINE_WORK
  own_work=false
else
  work=$(mktemp -d /tmp/quillmar-wine.XXXXXX)
  own_work=true
fi
xvfb_pid=
declare -A unit_pids=() # the running simulators, by their slot (sim, sim2)
prefix=
# cleanup STATUS COMMAND: ends what the stage started (a failed step leaves the simulator
# running) and removes the folder when the stage made it; names the command that ended the stage
# when a step other than fail did.
cleanup() {
  [[ $1 == 0 ]] || $failed || echo "wine-tests: FAILED: $2 (status $1)" >&2
  if [[ -n $prefix ]]; then
    timeout 20 wineserver -k 2>/dev/null || true
    timeout 20 wineserver --wait 2>/dev/null || true # the next stage may start it again
  fi
  for slot in "${!unit_pids[@]}"; do kill "${unit_pids[$slot]}" 2>/dev/null || true; done
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  ! $own_work || rm -rf "$work"
}
trap 'cleanup $? "$BASH_COMMAND"' EXIT

# need_cross_build: the Windows programs in build-windows/bin/, made or brought up to date unless
# this run has done so already.
need_cross_build() {
  [[ -z ${QUILLMAR_WINE_BUILT:-} ]] || return 0
  [[ -f $root/build-windows/CMakeCache.txt ]] || cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$(nproc)" >"$work/cross-build.log" 2>&1 ||
    { cat "$work/cross-build.log"; fail "the Windows cross-build failed"; }
}

# need_sim: the Linux simulator and updater of the default build, made or brought up to date.
need_sim() {
  [[ -f $root/build/CMakeCache.txt ]] || cmake --preset default >/dev/null
  cmake --build --preset default --target quillmar-bootsim quillmar-update >/dev/null
}

# need_display: a virtual display for Wine's desktops, the run's own or the one it was handed;
# large enough for the widest window (a prefix's desktop may be smaller).
# Wine's desktop process starts with the first program, so the display is there from the start.
# A new display starts a new set of screenshots.
need_display() {
  if [[ -n ${QUILLMAR_WINE_DISPLAY:-} ]]; then
    export DISPLAY=$QUILLMAR_WINE_DISPLAY
    return 0
  fi
  local display= n
  for n in $(seq 90 120); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] || { display=:$n; break; }
  done
  [[ -n $display ]] || fail "no free X display number"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display QUILLMAR_WINE_DISPLAY=$display
  for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done
  [[ -e /tmp/.X11-unix/X${display#:} ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  rm -rf "$shots"
  mkdir -p "$shots"
}

# Every Wine command of the current prefix starts through this (see nodev).
via=()

# wrun SECONDS PROGRAM ARGS...: runs a Windows program under Wine with a time limit.
wrun() {
  local limit=$1
  shift
  "${via[@]}" timeout --kill-after=10 "$limit" wine "$@"
}

# nodev COMMAND...: runs COMMAND in a mount namespace whose /dev has no ttyS* devices. Wine maps
# the machine's own /dev/ttyS* as its first free COM ports by itself (an empty value in its Ports
# key only moves them to the next free number), so a prefix whose only ports are the ones it is
# given runs all its Wine commands, its server too, through this.
nodev() {
  unshare -m --propagation private bash -c '
    old=$1
    shift
    mount --rbind /dev "$old" && mount -t tmpfs none /dev || exit 125
    for entry in "$old"/*; do [[ ${entry##*/} == ttyS* ]] || ln -s "$entry" /dev/; done
    exec "$@"' nodev "$work/dev" "$@"
}

# Wine opens devices in its server. Run by root it would pass over another program's exclusive
# hold on a terminal (root may ignore that), so it runs without the privilege that allows it.
# start_server [PRIVILEGES]: PRIVILEGES ("-name,-name") are further ones it runs without.
start_server() {
  local server=(wineserver --persistent)
  [[ $(id -u) != 0 ]] || server=(setpriv --bounding-set "-sys_admin${1:+,$1}" "${server[@]}")
  # Its list of objects left at the end goes to a log of its own.
  "${via[@]}" timeout 30 "${server[@]}" >>"$work/wineserver.log" 2>&1 || fail "wineserver did not start"
}

# restart_server [PRIVILEGES]: ends the running server and starts another; later programs use it.
restart_server() {
  timeout 30 wineserver --kill || true
  timeout 30 wineserver --wait || true
  start_server "$@"
}

# use_prefix NAME: makes the Wine prefix NAME current, with its server running: main (COM1 to
# COM3), adapter (only COM5, a USB adapter, and none of the machine's own ports), units (only
# COM5 and COM6, two USB adapters) or setup (for the setup program). The first use makes it, with the settings of scripts/wine/NAME.reg (a
# REGEDIT4 file; @WORK@ stands for the run's folder) in its registry; later ones reuse it.
# The COM ports are links in the run's folder, which start_sim points at the simulator's
# pseudo-terminal. Windows show in one virtual desktop that fills the display, with Wine's own
# frames and captions.
use_prefix() {
  local name=$1
  need_display
  [[ -z $prefix ]] || timeout 30 wineserver --kill || true # the previous prefix's server
  prefix=$name
  via=()
  [[ $name != adapter && $name != units ]] || via=(nodev)
  export WINEPREFIX=$work/$name-prefix
  mkdir -p "$WINEPREFIX" "$work/dev"
  start_server
  if [[ ! -e $WINEPREFIX.made ]]; then
    echo "== a new Wine prefix: $name"
    "${via[@]}" timeout 300 wineboot --init >"$WINEPREFIX.wineboot.log" 2>&1 ||
      fail "wineboot did not finish (see $WINEPREFIX.wineboot.log)"
    sed "s|@WORK@|$work|g" "$wine_dir/$name.reg" >"$work/$name.reg"
    (cd "$work" && wrun 60 reg import "$name.reg") || fail "cannot import $work/$name.reg into the Wine registry"
    restart_server # the settings are read when Wine starts again
    touch "$WINEPREFIX.made"
  fi
  if [[ $name == main ]]; then
    wrun 60 reg query 'HKLM\Software\Wine\Ports' /v COM1 | grep -q "$work/com1" ||
      fail "Wine's COM1 is not set to $work/com1"
  fi
  # The first program starts Wine's services; programs started side by side before that can hang.
  wrun 120 reg query 'HKLM\Software\Wine\Ports' >/dev/null 2>"$WINEPREFIX.start.log" ||
    fail "Wine does not start in $WINEPREFIX (status $?): $(cat "$WINEPREFIX.start.log")"
}

# stage_folder NAME: a new folder for the stage's files, $run.
stage_folder() {
  run=$work/$1
  rm -rf "$run"
  mkdir -p "$run"
}

# make_image FILE [VERSION]: a firmware image of 1000 bytes with the version marker at its start
# (1.10 unless VERSION), as Intel HEX records.
make_image() {
  python3 "$wine_dir/make-image.py" "$@"
}

# same_image A B: the two Intel HEX files hold the same flash (erased bytes as 0xFF).
same_image() {
  python3 "$wine_dir/same-image.py" "$1" "$2"
}

sim=$root/build/bin/quillmar-bootsim
# start_unit SLOT PORTS ARGS...: starts a simulator (ARGS are its options), its device named in
# $work/SLOT.out, and points each of the space-separated PORTS (com1, ...) at its pseudo-terminal.
start_unit() {
  local slot=$1 ports=$2
  shift 2
  # Emptied first: the started job opens its output only later, and the old device must not be read.
  : >"$work/$slot.out"
  "$sim" "$@" >"$work/$slot.out" 2>"$work/$slot.err" &
  unit_pids[$slot]=$!
  for _ in $(seq 100); do [[ -s $work/$slot.out ]] && break; sleep 0.1; done
  [[ -s $work/$slot.out ]] || fail "the simulator $slot did not start: $(cat "$work/$slot.err")"
  for port in $ports; do ln -sfn "$(head -n 1 "$work/$slot.out")" "$work/$port"; done
}

# stop_unit SLOT: ends that simulator; it writes its flash (--dump) as it ends.
stop_unit() {
  kill "${unit_pids[$1]:-}" 2>/dev/null || true
  wait "${unit_pids[$1]:-}" 2>/dev/null || true
  unset "unit_pids[$1]"
}

# start_sim ARGS... / stop_sim: the first unit, on COM1, COM2 and (in the prefix of one adapter)
# COM5. start_sim2 ARGS... / stop_sim2: a second unit beside it, on COM6 (in the prefix of two
# adapters).
start_sim() { start_unit sim "com1 com2 com5" "$@"; }
stop_sim() { stop_unit sim; }
start_sim2() { start_unit sim2 com6 "$@"; }
stop_sim2() { stop_unit sim2; }

# expect_run NAME STATUS OUT ERR SECONDS ARGS...: runs quillmar-update.exe in $run and compares
# its exit status and both streams (line ends as Windows writes them are taken as plain ones).
expect_run() {
  local name=$1 status=$2 out=$3 err=$4 limit=$5 got=0 streams=$work/streams.$BASHPID
  shift 5
  (cd "$run" && wrun "$limit" ./quillmar-update.exe "$@" >"$streams.out" 2>"$streams.err") || got=$?
  local gotout goterr
  gotout=$(tr -d '\r' <"$streams.out")
  goterr=$(tr -d '\r' <"$streams.err" | tail -n 1)
  [[ $got == "$status" && $gotout == "$out" && $goterr == "$err" ]] ||
    fail "$name: exit $got (wanted $status)
--- standard output:
$gotout
--- wanted:
$out
--- last line of standard error: $goterr
--- wanted: $err"
  echo "ok: $name"
}

# probe COMMAND WINDOW... [ARG]: dialog_probe (see its source) under Wine.
probe() {
  wrun 30 "$root/build-windows/tests/dialog_probe.exe" "$@"
}

# shot NAME: a screenshot of the whole display, NAME.png among the run's screenshots.
shot() {
  timeout 30 import -window root "$shots/$1.png" || fail "cannot take the screenshot $1"
}

# wait_for WHAT SECONDS COMMAND...: retries COMMAND until it succeeds.
wait_for() {
  local what=$1 until=$((SECONDS + $2))
  shift 2
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < until)) || fail "gave up waiting for $what"
    sleep 0.5
  done
}
