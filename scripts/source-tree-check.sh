#!/usr/bin/env bash
# Checks the code against the README's "Source tree" table: every #include "..." of a project
# header in the C and C++ files git tracks must name a header of the including folder's own row
# or of a folder that row's "May use" column names, and every folder holding such files must
# have a row. Usage: source-tree-check.sh [PROJECT_ROOT] (default: this script's project).
#
# How the table reads: a row's first column names its folders (`updater/tests/`, `updater/fuzz/`);
# a folder without a row of its own follows the nearest parent that has one. Folders in the last
# column are taken from the project root where one lies there (`platform/`, `updater/`), else in
# the row's deliverable (`boot/` beside `updater/ui/` is `updater/boot/`); a folder stands for all
# below it.
# Text outside backquotes there ("the standard library", "Qt") names what lies outside the
# project and is reached by <...> includes only, so it is not checked.
set -euo pipefail
root=${1:-$(dirname "${BASH_SOURCE[0]}")/..}
cd "$root"
if ! files=$(git ls-files 2>/dev/null); then
  echo "source-tree: $PWD is no git checkout; the check reads the files git tracks" >&2
  exit 2
fi

awk -v files="$files" '
  # Strips the spaces around a table cell.
  function trim(s) { gsub(/^[ \t]+|[ \t]+$/, "", s); return s }

  # The folder of a path, with its trailing slash ("" at the root).
  function folderOf(path) { return match(path, /.*\//) ? substr(path, 1, RLENGTH) : "" }

  # The row folder that governs `dir`: the longest row folder it lies in, "" for none.
  function rowOf(dir,    best, f) {
    best = ""
    for (f in rowCell)
      if (f ~ /\/$/ && index(dir, f) == 1 && length(f) > length(best)) best = f
    return best
  }

  # The tracked file that #include "name" in `file` reads: the including folder, then each
  # folder above it (a deliverable root, the project root), else the one tracked file of that
  # name elsewhere (benchmarks reach their deliverable so). "" when none or several fit.
  function resolve(file, name,    dir, f, found, count) {
    dir = folderOf(file)
    while (1) {
      if ((dir name) in tracked) return dir name
      if (dir == "") break
      dir = folderOf(substr(dir, 1, length(dir) - 1))
    }
    count = 0
    for (f in tracked)
      if (length(f) > length(name) && substr(f, length(f) - length(name)) == "/" name) {
        found = f
        count++
      }
    return count == 1 ? found : ""
  }

  # A "May use" folder of the row of `rowFolder` as a project path: from the project root, else
  # within the deliverable of the row; "" when neither is a folder git tracks files in.
  function usable(rowFolder, name,    top) {
    top = rowFolder
    sub(/\/.*/, "/", top)
    if (name in folders) return name
    if ((top name) in folders) return top name
    return ""
  }

  # Reports one breach and counts it.
  function breach(text) {
    print text
    breaches++
  }

  BEGIN {
    n = split(files, list, "\n")
    for (i = 1; i <= n; i++) {
      tracked[list[i]] = 1
      for (dir = folderOf(list[i]); dir != ""; dir = folderOf(substr(dir, 1, length(dir) - 1)))
        folders[dir] = 1
    }
  }

  # The table: rows of the "## Source tree" section, without its head and rule lines.
  /^## / { inTree = ($0 == "## Source tree"); next }
  !inTree || !/^\|/ || /^\|[ \t]*Folder[ \t]*\|/ || /^[-| :]*$/ { next }
  {
    cells = split($0, cell, "|")
    if (cells < 5) {
      breach("README.md:" FNR ": a Source tree row needs three columns")
      next
    }
    names = cell[2]
    while (match(names, /`[^`]+`/)) {
      folder = substr(names, RSTART + 1, RLENGTH - 2)
      names = substr(names, RSTART + RLENGTH)
      if (folder in rowCell) breach("README.md:" FNR ": " folder " has a row already")
      else if (!(folder in folders) && !(folder in tracked))
        breach("README.md:" FNR ": the row of " folder " names nothing git tracks")
      rowCell[folder] = trim(cell[4])
      rowLine[folder] = FNR
    }
  }

  END {
    if (length(rowCell) == 0) {
      print "README.md: no \"## Source tree\" table found"
      exit 1
    }
    # Each row folder with the folders its last column lets it use.
    for (folder in rowCell) {
      names = rowCell[folder]
      while (match(names, /`[^`]+\/`/)) {
        name = substr(names, RSTART + 1, RLENGTH - 2)
        names = substr(names, RSTART + RLENGTH)
        path = usable(folder, name)
        if (path == "")
          breach("README.md:" rowLine[folder] ": the row of " folder " lets it use " name \
                 ", which is no folder of the project")
        else
          uses[folder, path] = 1
      }
    }
    for (i = 1; i <= n; i++) {
      file = list[i]
      if (file !~ /\.(c|cpp|h)$/) continue
      from = rowOf(folderOf(file))
      if (from == "") {
        breach(file ": " folderOf(file) " has no row in the Source tree table")
        continue
      }
      line = 0
      while ((getline text < file) > 0) {
        line++
        if (text !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
        name = text
        sub(/^[^"]*"/, "", name)
        sub(/".*/, "", name)
        target = resolve(file, name)
        if (target == "") {
          breach(file ":" line ": \"" name "\" is no header git tracks, or several are")
          continue
        }
        to = rowOf(folderOf(target))
        if (to == from) continue
        allowed = 0
        for (key in uses) {
          split(key, pair, SUBSEP)
          if (pair[1] == from && index(target, pair[2]) == 1) allowed = 1
        }
        if (!allowed)
          breach(file ":" line ": includes \"" name "\" from " to ", but the row of " from \
                 " allows only: " (rowCell[from] == "" ? "nothing" : rowCell[from]))
      }
      close(file)
    }
    if (breaches) {
      print "source-tree: " breaches " breach(es) of README.md \"Source tree\": include through " \
            "a folder the row allows, or change the row and say why" > "/dev/stderr"
      exit 1
    }
  }
' README.md
