#include "run.h"

#include <string>
#include <vector>

#include "console_text.h"
#include "output_name.h"
#include "platform/locked_file.h"
#include "tilde_converter.h"

namespace quillmar::tildeconv {

namespace {

// Converts the whole source into the output and finishes it. Returns "" on success, else the
// console text of the failure; the output is then already removed.
std::string convertFile(platform::SharedReader& source, const std::string& sourceName,
                        platform::ExclusiveWriter& output, const std::string& outputName,
                        TildeConverter& converter) {
  std::vector<char> block(kBlockSize);
  std::string error;
  for (;;) {
    const std::ptrdiff_t count = source.read(block, error);
    if (count < 0) {
      output.discard();
      return readFailureText(sourceName, error);
    }
    const std::span<const char> converted =
        count == 0 ? converter.finish()
                   : converter.convert({block.data(), static_cast<size_t>(count)});
    if (!output.write(converted, error)) {
      output.discard();
      return writeFailureText(outputName, error);
    }
    if (count == 0) {
      break;
    }
  }
  return output.close(error) ? "" : writeFailureText(outputName, error);
}

}  // namespace

int runTildeconv(int argc, const char* const argv[], std::ostream& console) {
  if (argc < 2) {
    // A program started without even its own name still gets a usable usage text.
    console << usageText(argc > 0 && argv[0] != nullptr ? argv[0] : "tildeconv");
    return 1;
  }
  const std::string sourceName = argv[1];
  // Only alone: with a second argument "--help" is a page name, as it always was.
  if (argc == 2 && (sourceName == "--help" || sourceName == "--version")) {
    console << (sourceName == "--help" ? helpText(argv[0] != nullptr ? argv[0] : "tildeconv")
                                       : versionText());
    return 0;
  }
  std::string error;
  platform::SharedReader source;
  if (!source.open(sourceName, error)) {
    console << openFailureText(error);
    return 1;
  }
  const std::string outputName = outputFileName(sourceName);
  // Shown before the output is opened, so a failure to open it reads as "<name>: <reason>".
  console << outputName << ": " << std::flush;
  platform::ExclusiveWriter output;
  if (!output.create(outputName, error)) {
    console << openFailureText(error);
    return 1;
  }
  TildeConverter converter;
  const std::string failure = convertFile(source, sourceName, output, outputName, converter);
  if (!failure.empty()) {
    console << failure;
    return 1;
  }
  console << countReport(converter.feedbackCount(), converter.regularCount());
  return 0;
}

}  // namespace quillmar::tildeconv
