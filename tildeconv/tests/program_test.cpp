// The built program run by the shell in a scratch folder, where the exit status, the console
// text and the files left behind are what matters.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "run.h"

namespace quillmar::tildeconv {
namespace {

// Runs `script` with sh in a fresh folder and returns what it wrote, then the names of the files
// left there. In the script `tc` runs the built converter and writes its exit status after its
// console text, `a N` writes N bytes of filler and $B is the size of the blocks tc reads.
std::string runScript(const std::string& script) {
  const std::string line = "d=$(mktemp -d) && cd \"$d\" && B=" + std::to_string(kBlockSize) +
                           " && tc() { '" TILDECONV_PROGRAM
                           "' \"$@\"; echo \" [$?]\"; } && "
                           "a() { head -c \"$1\" /dev/zero | tr '\\0' a; } && { " +
                           script +
                           "; } 2>&1; echo \"files: \"$(ls -p); "
                           "cd / && rm -rf \"$d\"";
  FILE* pipe = popen(line.c_str(), "r");
  std::string console;
  for (int byte; (byte = fgetc(pipe)) != EOF;) {
    console += static_cast<char>(byte);
  }
  pclose(pipe);
  return console;
}

const std::string kLocked =
    "page.syn: Couldn't open source file: Resource temporarily unavailable [1]\n";
const std::string kAbsent = "Couldn't open source file: No such file or directory [1]\n";
const std::string kEmpty =
    "page.syn: Replaced 0 feedback tilde's.  Duplicated 0 regular tilde's.\n [0]\n";
const std::string kBoth = "page.htm page.syn";
const std::string kUsage = "usage: ./tc <sourcefile>.htm\n   or: ./tc <sourcefile>.html\n";

// flock(1) locks as another process would; with SIGXFSZ ignored, writing past `ulimit -f` fails.
TEST(TildeconvProgram, StatusConsoleAndFiles) {
  const struct {
    std::string script;
    std::string console;
    std::string files;  // left in the folder afterwards, folders with a slash
  } cases[] = {
      {"printf 'a<!--~-->b~c' >page.htm; tc page.htm; cat page.syn page.htm",
       "page.syn: Replaced 1 feedback tilde.    Duplicated 1 regular tilde.\n [0]\n"
       "a~b~~ca<!--~-->b~c",
       kBoth},
      {"echo an older and longer page >page.syn; printf '~' >page.htm; tc page.htm; cat page.syn",
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.\n [0]\n~~", kBoth},
      {": >page.htm; tc page.htm other.htm; wc -c <page.syn", kEmpty + "0\n", kBoth},
      // --help begins with the usage lines and succeeds; without a page the usage fails.
      {"ln -s '" TILDECONV_PROGRAM "' tc; ./tc --help | head -n 3; ./tc; echo \" [$?]\"",
       kUsage + "\n" + kUsage + " [1]\n", "tc"},
      {"tc --version", "tildeconv " QUILLMAR_VERSION "\n [0]\n", ""},
      // Only as the sole argument; otherwise a page name as ever.
      {"tc --version page.htm; tc absent.htm", kAbsent + kAbsent, ""},
      {"mkdir page.htm; tc page.htm", "Couldn't open source file: Is a directory [1]\n",
       "page.htm/"},
      {": >page.htm; exec 9<page.htm; flock -s 9; tc page.htm; flock 9; tc page.htm",
       kEmpty + "Couldn't open source file: Resource temporarily unavailable [1]\n", kBoth},
      {": >page.htm; mkdir page.syn; tc page.htm",
       "page.syn: Couldn't open source file: Is a directory [1]\n", "page.htm page.syn/"},
      {": >page.htm; printf 'in use' >page.syn; exec 9<page.syn; flock -s 9; tc page.htm; "
       "cat page.syn",
       kLocked + "in use", kBoth},
      {"printf 'a~b' >page.htm; ln -s page.htm page.syn; tc page.htm; cat page.htm",
       kLocked + "a~b", kBoth},
      {"head -c 100000 /dev/zero >page.htm; trap '' XFSZ; ulimit -f 8; tc page.htm",
       "page.syn: Couldn't write output file page.syn: File too large\n [1]\n", "page.htm"},
      // Reading a process's memory at address 0 fails with an I/O error.
      {"ln -s /proc/self/mem page.htm; tc page.htm",
       "page.syn: Couldn't read source file page.htm: Input/output error\n [1]\n", "page.htm"},
      // The page is read in blocks: a full one; a marker across the end of one; a marker left
      // unfinished at the end of the page, just as the block ends.
      {"a $B | tr a '~' >page.htm; tc page.htm; tr -d '~' <page.syn | wc -c; wc -c <page.syn",
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 65536 regular tilde's.\n [0]\n0\n"
       "131072\n",
       kBoth},
      {"{ a $((B - 4)); printf '<!--~-->'; a $((B - 7)); printf '<!--~-->'; a 9; } >page.htm; "
       "tc page.htm; tr -d a <page.syn; wc -c <page.syn",
       "page.syn: Replaced 2 feedback tilde's.  Duplicated 0 regular tilde's.\n [0]\n~~"
       "131072\n",
       kBoth},
      {"{ a $((B - 7)); printf '<!--~--'; } >page.htm; tc page.htm; tail -c 9 page.syn; "
       "wc -c <page.syn",
       "page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.\n [0]\na<!--~~--"
       "65537\n",
       kBoth},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    EXPECT_EQ(runScript(c.script), c.console + "files: " + c.files + "\n");
  }
}

// A program started without even its own name still gets a usable usage text.
TEST(TildeconvProgram, UsageWithoutAProgramName) {
  const char* const none[] = {nullptr};
  std::ostringstream console;
  EXPECT_EQ(runTildeconv(0, none, console), 1);
  EXPECT_EQ(console.str(),
            "usage: tildeconv <sourcefile>.htm\n   or: tildeconv <sourcefile>.html\n");
}

}  // namespace
}  // namespace quillmar::tildeconv
