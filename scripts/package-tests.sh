#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh built with lintian (no errors), installs it
# and uses it as a user would: every installed program answers --version with the project's
# version, every installed manual page renders without a warning and `man` finds them, the menu
# entry is valid, bash completes the programs, and the installed tildeconv converts a page and
# planprobe checks a schedule. Needs root (apt-get install).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
version=$(sed -n 's/^project(quillmar_tools VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
fail() {
  echo "package-tests: FAILED: $*" >&2
  exit 1
}

debs=("$root"/build/packages/quillmar-tools_"$version"_*.deb)
[[ -f ${debs[0]} ]] || fail "no package for version $version in build/packages/ (run scripts/package.sh)"
echo "== lintian"
# Errors fail; the notes it still gives are listed with their reasons in docs/debian-package.md.
lintian --fail-on error --info "${debs[0]}" || fail "lintian reports errors in ${debs[0]#"$root"/}"
echo "ok: lintian reports no errors"

echo "== installing ${debs[0]#"$root"/}"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --reinstall "${debs[0]}"

echo "== --version of each installed program"
# The dialog answers before it looks for a display, so none is offered.
with_version=(
  planprobe
  tildeconv
  quillmar-update
  quillmar-bootsim
  QUILLmar_Update
)
for program in "${with_version[@]}"; do
  [[ $(command -v "$program") == /usr/bin/$program ]] || fail "$program is not installed in /usr/bin"
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version) || fail "$program --version exited with $?"
  [[ $answer == "$program $version" ]] || fail "$program --version: $answer"
  echo "ok: $answer"
done

echo "== manual pages"
for page in planprobe tildeconv quillmar-update QUILLmar_Update quillmar-bootsim; do
  installed=/usr/share/man/man1/$page.1.gz
  [[ -f $installed ]] || fail "$installed is missing"
  warnings=$(MANWIDTH=80 man --warnings -l "$installed" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "man -l $installed: $warnings"
  MANWIDTH=80 man -l "$installed" | grep -q '^SYNOPSIS' || fail "man -l $installed shows no synopsis"
  echo "ok: man -l $installed"
done
MANPAGER=cat MANWIDTH=80 man tildeconv | grep -q "tildeconv - prepare an HTML page" || fail "man tildeconv"
echo "ok: man tildeconv finds the installed page"

echo "== menu entry and icon"
desktop-file-validate /usr/share/applications/QUILLmar_Update.desktop || fail "the menu entry is not valid"
[[ -f /usr/share/icons/hicolor/scalable/apps/quillmar-update.svg ]] || fail "the icon is missing"
echo "ok: /usr/share/applications/QUILLmar_Update.desktop"

echo "== bash completion"
# bash-completion finds each program's completion where the package puts it, by the name alone.
for program in planprobe quillmar-update quillmar-bootsim tildeconv; do
  # The loader answers 124 ("complete again") when it has loaded one.
  loaded=$(bash -c 'source /usr/share/bash-completion/bash_completion && { _completion_loader "$1"
    complete -p "$1"; }' completion "$program") || fail "bash loads no completion for $program"
  # Without a file of its own the loader would give the fallback _minimal instead.
  [[ $loaded == "complete -F _${program//-/_} $program" ]] || fail "the completion of $program: $loaded"
  echo "ok: $loaded"
done

echo "== the installed programs at work"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/index.htm "$work/"
console=$(cd "$work" && tildeconv index.htm) || fail "tildeconv index.htm exited with $?"
[[ $console == "index.syn: Replaced "*" feedback tilde"*"Duplicated "* ]] || fail "tildeconv: $console"
expected=$(cd "$work" && sed 's/<!--~-->/\x01/g; s/~/~~/g; s/\x01/~/g' index.htm)
[[ $(cat "$work/index.syn") == "$expected" ]] || fail "tildeconv's index.syn is not the converted page"
echo "ok: $console"
planprobe -sexamples/planprobe-schedule.txt -o"$work/out.txt" -a </dev/null >"$work/console.txt" ||
  fail "planprobe -a exited with $?"
grep -q 'Analyze option used.  Stopping now.' "$work/console.txt" || fail "planprobe: $(cat "$work/console.txt")"
echo "ok: planprobe analyses examples/planprobe-schedule.txt"

# The editor files: Debian's Vim and Neovim find them as installed, with no configuration; in
# Neovim the package's own setup starts the installed server, whose findings come back.
printf '; planprobe: -d072402 +d1\nD:07.24.02 T:25:00 E:ON 1:1\n' >"$work/notes.txt"
# None of this user's start-up files: Vim's defaults (-u DEFAULTS), Neovim's none (-u NONE); both
# keep the system's runtime path, where the package put its files.
for editor in "vim -es -N -i NONE -u DEFAULTS" "nvim --headless -i NONE -u NONE"; do
  found=$($editor -c 'filetype plugin on' -c "edit $work/notes.txt" \
    -c 'call writefile([&filetype], "/dev/stdout")' -c 'qall!' 2>/dev/null) || true
  [[ $found == quillschedule ]] || fail "${editor%% *} finds no schedule file type in the installed files: $found"
  echo "ok: ${editor%% *} detects a schedule from the installed files"
done
served=$(nvim --headless -u NONE -i NONE -c 'filetype plugin on' \
  -c "lua require('quillschedule').setup()" -c "edit $work/notes.txt" \
  -c 'lua vim.wait(10000, function() return #vim.diagnostic.get(0) > 0 end, 20)' \
  -c 'lua io.stdout:write(tostring(#vim.diagnostic.get(0)))' -c 'qall!' 2>/dev/null) || true
[[ $served == 1 ]] || fail "Neovim with the installed package got ${served:-no} diagnostics from planprobe --lsp"
echo "ok: Neovim starts the installed planprobe --lsp and gets its finding"
echo "package-tests: all passed."
