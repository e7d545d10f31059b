// Reading the dialog program's command line and writing its help.
#include "ui/common/dialog_options.h"

#include <algorithm>

#include "boot/serial_ports.h"
#include "ui/common/dialog_resources.h"

namespace quillmar::ui {
namespace {

enum class Key { Help, Version, Com1, Com2, Folder, Block, NoBackup, Legacy };

// One option of the program: how it is written, the name of its value (null: it takes none)
// and what it does (null for the Com buttons, whose defaults depend on the computer).
struct OptionRow {
  Key key;
  const char* shortName;  // "" when it has none
  const char* name;
  const char* valueName;
  const char* description;
};

constexpr OptionRow kOptions[] = {
    {Key::Help, "h", "help", nullptr, "Shows these options and ends."},
    {Key::Version, "", "version", nullptr, "Shows this program's version and ends."},
    {Key::Com1, "", "com1", "PORT", nullptr},
    {Key::Com2, "", "com2", "PORT", nullptr},
    {Key::Folder, "", "folder", "FOLDER",
     "Folder of quillmar.hex and quillread.hex (default: the program's own)."},
    {Key::Block, "", "block", nullptr,
     "Starts with Fast transfers chosen: the boot loader's block transfers (one command per "
     "256-byte page) when it offers them; a boot loader without them gets the usual dialogue."},
    {Key::NoBackup, "", "no-backup", nullptr,
     "Starts with \"Keep a copy before updating\" off: Update erases the unit without saving "
     "what it ran first."},
    {Key::Legacy, "", "legacy", nullptr,
     "The boot loader's dialogue exactly as it always was: no copy before the erase, no version "
     "check, no history."},
};

constexpr std::size_t kHelpWidth = 79;

// What Com1 or Com2 (`button` 0 or 1) stands for without --com1 or --com2.
std::string comDescription(int button, const std::string& own) {
  const std::string free =
      "the first serial port not behind the other Com button, USB adapters "
      "first";
  return "Port behind Com" + std::to_string(button + 1) + " (default: " +
         (own.empty() ? free + ", else " + boot::defaultPortDevices()[button]
                      : own + " where this computer has it, else " + free) +
         ").";
}

// `text` broken into lines of at most `width` characters at blanks.
std::vector<std::string> wrapped(const std::string& text, std::size_t width) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    end = end == std::string::npos ? text.size() : end;
    const std::string word = text.substr(start, end - start);
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      lines.push_back(line);
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    start = end + 1;
  }
  lines.push_back(line);
  return lines;
}

// "-h, --help" or "--com1 <PORT>".
std::string optionTag(const OptionRow& row) {
  std::string tag = *row.shortName != '\0' ? std::string("-") + row.shortName + ", --" : "--";
  tag += row.name;
  if (row.valueName != nullptr)
    tag += std::string(" <") + row.valueName + ">";
  return tag;
}

std::string helpText(const std::array<std::string, 2>& ownPorts) {
  std::size_t tagWidth = 0;
  for (const OptionRow& row : kOptions)
    tagWidth = std::max(tagWidth, optionTag(row).size());
  const std::string indent(2 + tagWidth + 2, ' ');
  std::string text = std::string("Usage: ") + kProgramName +
                     " [options]\nPrograms, reads back or identifies the QUILLmar unit's firmware "
                     "over a serial port.\n\nOptions:\n";
  for (const OptionRow& row : kOptions) {
    const int button = row.key == Key::Com2 ? 1 : 0;
    const std::string description =
        row.description != nullptr ? row.description : comDescription(button, ownPorts[button]);
    const std::string tag = optionTag(row);
    std::string start = "  " + tag + std::string(tagWidth - tag.size() + 2, ' ');
    for (const std::string& line : wrapped(description, kHelpWidth - indent.size())) {
      text += start + line + "\n";
      start = indent;
    }
  }
  return text;
}

ProgramStart refuse(const std::string& problem) {
  ProgramStart start;
  start.action = ProgramStart::Refuse;
  start.text = std::string(kProgramName) + ": " + problem + "\nTry '" + kProgramName +
               " --help' for the options.\n";
  return start;
}

// The program's option written `name` (without dashes), or null.
const OptionRow* findOption(const std::string& name) {
  const auto* row = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const OptionRow& r) {
    return name == r.name || (*r.shortName != '\0' && name == r.shortName);
  });
  return row == std::end(kOptions) ? nullptr : row;
}

// The options that end the program at once.
struct Asked {
  bool help = false;
  bool version = false;
};

// Notes the value of `row` in `options`, or in `asked` for --help and --version.
void apply(const OptionRow& row, const std::string& value, DialogOptions& options, Asked& asked) {
  switch (row.key) {
    case Key::Com1:
    case Key::Com2:
      options.ports[row.key == Key::Com2 ? 1 : 0] = value;
      break;
    case Key::Folder:
      options.folder = value;
      break;
    case Key::Block:
      options.block = true;
      break;
    case Key::NoBackup:
      options.noBackup = true;
      break;
    case Key::Legacy:
      options.legacy = true;
      break;
    case Key::Help:
      asked.help = true;
      break;
    case Key::Version:
      asked.version = true;
      break;
  }
}

}  // namespace

ProgramStart readDialogOptions(const std::vector<std::string>& arguments,
                               std::span<const PassedOption> passed,
                               const std::array<std::string, 2>& ownPorts) {
  ProgramStart start;
  Asked asked;
  bool optionsEnded = false;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || argument.size() < 2 || argument[0] != '-')
      return refuse("Unexpected argument '" + argument + "'.");
    const std::string body = argument.substr(argument[1] == '-' ? 2 : 1);
    const std::size_t equals = body.find('=');
    const std::string name = body.substr(0, equals);
    const bool attached = equals != std::string::npos;
    const OptionRow* row = findOption(name);
    const auto other = std::find_if(passed.begin(), passed.end(),
                                    [&](const PassedOption& p) { return name == p.name; });
    if (row == nullptr && other == passed.end())
      return refuse("Unknown option '" + name + "'.");
    const bool takesValue = row != nullptr ? row->valueName != nullptr : other->takesValue;
    if (!takesValue && attached)
      return refuse("Unexpected value after '" + argument.substr(0, argument.find('=')) + "'.");
    if (takesValue && !attached && i + 1 == arguments.size())
      return refuse("Missing value after '" + argument + "'.");
    const std::string value =
        !takesValue ? "" : (attached ? body.substr(equals + 1) : arguments[++i]);
    if (row != nullptr)
      apply(*row, value, start.options, asked);
  }
  if (asked.help || asked.version) {
    start.action = ProgramStart::ShowText;
    start.text =
        asked.help ? helpText(ownPorts) : std::string(kProgramName) + " " + kProgramVersion + "\n";
  }
  return start;
}

}  // namespace quillmar::ui
