#!/usr/bin/env bash
# Runs a transcript: a file of shell sessions as a user would see them on a terminal.
#
#   Lines that begin with "  $ " are commands, continued on lines that begin with "  > ".
#   The lines after a command that begin with two spaces are the output it must give, both
#   streams in order, shown through `cat -v` (a carriage return is "^M"); a status other than 0
#   follows as "[N]", output without a final line end is marked " (no-eol)".
#   Every other line is a comment.
#   The version in $TRANSCRIPT_VERSION, when set, shows as "<version>".
#
# The commands run one after another in one shell, in a fresh folder, with standard input from
# /dev/null; what is on PATH and in the environment comes from the caller, and $TRANSCRIPT_DIR is
# the transcript's own folder, whose helper files it may source. The transcript passes
# when what the commands give now is the file byte for byte; otherwise the difference is shown.
# With --update the file is rewritten with what they give now.
#
# usage: transcript-test.sh [--update] FILE.t
set -euo pipefail
update=false
if [[ ${1:-} == --update ]]; then
  update=true
  shift
fi
[[ $# == 1 && -f $1 ]] || {
  echo "usage: transcript-test.sh [--update] FILE.t" >&2
  exit 2
}
transcript=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run"

# The transcript as a script that echoes its comments and commands and runs each command.
{
  cat <<'SHOW'
__transcript_show() {
  cat -v "$__transcript_out" | sed -e 's/^/  /' -e "s/$__transcript_version/<version>/g"
  [[ ! -s $__transcript_out || -z $(tail -c 1 "$__transcript_out") ]] || echo ' (no-eol)'
  [[ $1 == 0 ]] || echo "  [$1]"
}
SHOW
  echo "__transcript_out='$work/out'"
  printf '__transcript_version=%q\n' "$(sed 's|[].*^$/\\[]|\\&|g' <<<"${TRANSCRIPT_VERSION:-<version>}")"
  command=
  flush() {
    [[ -n $command ]] || return 0
    printf '{\n%s\n} >"$__transcript_out" 2>&1 </dev/null && __transcript_show 0 || __transcript_show $?\n' "$command"
    command=
  }
  while IFS= read -r line || [[ -n $line ]]; do
    case $line in
      '  $ '*) flush; command=${line#  \$ } ;;
      '  > '*) command+=$'\n'${line#  > } ;;
      '  '*) continue ;;
      *) flush ;;
    esac
    printf "cat <<'__transcript_line__'\n%s\n__transcript_line__\n" "$line"
  done <"$transcript"
  flush
} >"$work/script"

(cd "$work/run" && LC_ALL=C TZ=UTC TRANSCRIPT_DIR=$(dirname "$transcript") bash "$work/script") >"$work/actual" 2>&1 || true
if $update; then
  cp "$work/actual" "$transcript"
elif ! diff -u "$transcript" "$work/actual"; then
  echo "transcript $transcript: the output differs (- wanted, + given)" >&2
  exit 1
fi
