#include "console_text.h"

namespace quillmar::tildeconv {

std::string usageText(const std::string& programName) {
  return "usage: " + programName + " <sourcefile>.htm\n" + "   or: " + programName +
         " <sourcefile>.html\n";
}

std::string helpText(const std::string& programName) {
  return usageText(programName) +
         "\n"
         "Prepares an HTML page for the QUILLmar unit's web server: every feedback comment\n"
         "<!--~--> becomes one tilde, every other tilde is doubled, all other bytes stay.\n"
         "The result is written beside the source: the name loses its trailing l, m, t and h\n"
         "(in that order) and gains syn, so index.htm and index.html give index.syn.\n"
         "Only the first argument is used.\n"
         "\n"
         "Options (each only as the sole argument; a page of that name is given as ./NAME):\n"
         "  --help     show this text and exit\n"
         "  --version  show this program's version and exit\n"
         "\n"
         "Exit status:\n"
         "  0  the page was converted (or --help, --version)\n"
         "  1  usage text shown, or a file could not be opened, read or written\n";
}

std::string versionText() {
  return std::string("tildeconv ") + QUILLMAR_VERSION + "\n";
}

std::string openFailureText(const std::string& reason) {
  return "Couldn't open source file: " + reason;
}

std::string readFailureText(const std::string& sourceName, const std::string& reason) {
  return "Couldn't read source file " + sourceName + ": " + reason + "\n";
}

std::string writeFailureText(const std::string& outputName, const std::string& reason) {
  return "Couldn't write output file " + outputName + ": " + reason + "\n";
}

std::string countReport(uint64_t feedbackCount, uint64_t regularCount) {
  const std::string feedback = std::to_string(feedbackCount);
  const std::string regular = std::to_string(regularCount);
  return "Replaced " + feedback +
         (feedbackCount == 1 ? " feedback tilde.  " : " feedback tilde's.") + "  Duplicated " +
         regular + (regularCount == 1 ? " regular tilde.\n" : " regular tilde's.\n");
}

}  // namespace quillmar::tildeconv
