#!/usr/bin/env bash
# The bash completion of the packaged programs, called as bash calls it: each partial command
# line of the table gets exactly the candidates it lists, and the options each program offers
# are the options its --help lists. Usage: completion_test.sh SOURCE_DIR PROGRAM_DIR
set -uo pipefail
source_dir=$1
export PATH=$2:$PATH
completion=/usr/share/bash-completion/bash_completion
[[ -f $completion ]] || { echo "completion_test: $completion is missing (bash scripts/setup.sh)" >&2; exit 1; }
source "$completion"
for program in planprobe quillmar-update quillmar-bootsim tildeconv; do
  source "$source_dir/packaging/completion/$program"
done
failures=0
# Outside of a completion started by bash, compopt can't set the options of one; the candidates
# are what is checked.
compopt() { :; }

# candidates LINE: the completion's candidates for LINE, the cursor at its end, sorted and
# blank-separated. Words are split at blanks; the command word may be a path to a program.
candidates() {
  local line=$1
  local COMP_LINE=$line COMP_POINT=${#line} COMP_WORDS COMP_CWORD COMPREPLY=()
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  local function
  function=$(complete -p "${COMP_WORDS[0]##*/}" | sed 's/.*-F \([^ ]*\) .*/\1/')
  "$function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ' | sed 's/ $//'
}

# expect LINE CANDIDATES: checks the candidates for LINE.
expect() {
  local got
  got=$(candidates "$1")
  if [[ $got != "$2" ]]; then
    echo "completion_test: FAILED: '$1' completes to '$got', expected '$2'" >&2
    failures=$((failures + 1))
  fi
}

# A folder with pages, a schedule, a subfolder, and a stand-in for quillmar-update that lists
# two ports as the real program does (name, two blanks, description).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
touch index.htm page.html schedule.txt
mkdir sub stand-in
printf '%s\n' '#!/bin/sh' 'printf "COM5  USB Serial Port (USB 0403:6001)\n/dev/ttyUSB0  USB serial\n"' \
  >stand-in/quillmar-update
chmod +x stand-in/quillmar-update

# A partial line, and what it completes to.
expect "tildeconv " "index.htm page.html stand-in sub"
expect "tildeconv p" "page.html"
expect "tildeconv -" "--help --version"
expect "tildeconv index.htm " ""
expect "quillmar-update " "backups history read restore update verify version"
expect "quillmar-update --block v" "verify version"
expect "quillmar-update --l" "--legacy --list-ports"
expect "quillmar-update --allow-" "--allow-older --allow-reinstall"
expect "quillmar-update --dry-run restore s" "schedule.txt stand-in sub"
expect "stand-in/quillmar-update --port " "/dev/ttyUSB0 COM5 auto all"
expect "stand-in/quillmar-update --port C" "COM5"
expect "stand-in/quillmar-update --port a" "auto all"
expect "quillmar-update --folder " "stand-in sub"
expect "quillmar-update --image " "index.htm page.html schedule.txt stand-in sub"
expect "quillmar-update --output s" "schedule.txt stand-in sub"
expect "planprobe --s" "--site --strict --summary"
expect "planprobe +" "+d +h +i +m +w +y"
expect "planprobe -s" "-sindex.htm -spage.html -sschedule.txt -sstand-in/ -ssub/"
expect "planprobe -ssc" "-sschedule.txt"
expect "planprobe -o" "-oindex.htm -opage.html -oschedule.txt -ostand-in/ -osub/"
expect "planprobe --timeline p" "page.html"
expect "planprobe --compare s" "schedule.txt stand-in sub"
expect "planprobe --site " ""
expect "quillmar-bootsim --load s" "schedule.txt stand-in sub"
expect "quillmar-bootsim --baud " ""
expect "quillmar-bootsim --no" "--no-block"

# The options of each program's --help: "--word", "-x" or "+x" after a blank, a bracket, a bar
# or a comma, and not followed by a letter.
help_options() {
  "$1" --help | grep -oE '(^|[][ (|,])(--[A-Za-z][A-Za-z0-9-]*|-[A-Za-z]|\+[a-z])([^A-Za-z]|$)' |
    sed -E 's/^[][ (|,]//; s/[^A-Za-z0-9-]$//; s/^([-+][a-z])[^a-z-].*/\1/' | sort -u | tr '\n' ' ' |
    sed 's/ $//'
}
for program in planprobe quillmar-update quillmar-bootsim tildeconv; do
  offered=$( (
    candidates "$program -"
    echo
    [[ $program != planprobe ]] || candidates "$program +"
  ) | tr ' ' '\n' | sed '/^$/d' | sort -u | tr '\n' ' ' | sed 's/ $//')
  listed=$(help_options "$program")
  if [[ $offered != "$listed" ]]; then
    echo "completion_test: FAILED: $program: the completion offers '$offered', --help lists '$listed'" >&2
    failures=$((failures + 1))
  fi
done

((failures == 0)) || exit 1
echo "completion_test: all partial lines complete as expected; the options match each --help"
