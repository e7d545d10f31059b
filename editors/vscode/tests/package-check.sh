#!/usr/bin/env bash
# The extension's manifest and its package: package.json is valid and names files that exist,
# and the .vsix that scripts/build-vsix.sh makes (into WORKDIR) carries the project's version,
# what VS Code loads (extension.js, the grammar, vscode-languageclient) and nothing of the
# development tools, and its extension.js finds every module it requires.
# Usage: package-check.sh PROJECT_ROOT WORKDIR
set -euo pipefail
root=$(cd "$1" && pwd)
work=$2
ext=$root/editors/vscode
fail() {
  echo "package-check: $*" >&2
  exit 1
}
version=$(sed -n 's/^project(quillmar_tools VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ -n $version ]] || fail "no version in CMakeLists.txt"

# The manifest: valid JSON, each file it names there and valid, the grammar's scope the one it
# contributes, the language it activates on the one it contributes.
(cd "$ext" && node -e '
const fs = require("fs");
const read = (file) => JSON.parse(fs.readFileSync(file, "utf8"));
const pkg = read("package.json");
const [language] = pkg.contributes.languages;
const [grammar] = pkg.contributes.grammars;
const problems = [];
for (const file of [pkg.main, language.configuration, grammar.path]) {
  if (!fs.existsSync(file)) problems.push(`${file} is missing`);
}
if (read(grammar.path).scopeName !== grammar.scopeName) problems.push("the grammar has another scopeName");
read(language.configuration);
if (grammar.language !== language.id) problems.push("the grammar is for another language");
if (!pkg.activationEvents.includes(`onLanguage:${language.id}`)) problems.push("no activation on the language");
if (problems.length) { console.error(problems.join("\n")); process.exit(1); }
') || fail "package.json: see above"

rm -rf "$work"
mkdir -p "$work"
bash "$root/scripts/build-vsix.sh" "$work" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "the .vsix could not be built"; }
vsix=$work/quillmar-schedule-$version.vsix
[[ -f $vsix ]] || fail "no $vsix"
listing=$(unzip -Z1 "$vsix") || fail "$vsix is no zip archive"
for file in extension/package.json extension/extension.js extension/language-configuration.json \
  extension/syntaxes/quillschedule.tmLanguage.json extension/node_modules/vscode-languageclient/package.json; do
  grep -qx "$file" <<<"$listing" || fail "$vsix lacks $file"
done
if grep -E '^extension/(tests/|node_modules/(@vscode/vsce|vscode-tmgrammar-test)/)' <<<"$listing"; then
  fail "$vsix carries the tests or the development tools above"
fi
packaged=$(unzip -p "$vsix" extension/package.json | node -e 'console.log(JSON.parse(require("fs").readFileSync(0, "utf8")).version)')
[[ $packaged == "$version" ]] || fail "the package's version is $packaged, the project's $version"

# extension.js as VS Code loads it, with a stand-in for the editor's own module.
mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$vsix")
node -e '
const Module = require("module");
const resolve = Module._resolveFilename;
Module._resolveFilename = function (request, ...rest) {
  return request === "vscode" ? "vscode" : resolve.call(this, request, ...rest);
};
require.cache.vscode = { id: "vscode", filename: "vscode", loaded: true,
  exports: new Proxy({}, { get: () => class {} }) };
const extension = require(process.argv[1]);
if (typeof extension.activate !== "function" || typeof extension.deactivate !== "function") {
  console.error("extension.js exports no activate and deactivate");
  process.exit(1);
}
' "$work/unpacked/extension/extension.js" || fail "the packaged extension.js does not load"
echo "package-check: $vsix: version $version, $(wc -l <<<"$listing") files, $(du -k "$vsix" | cut -f1) KiB"
