// The kept copies as the Restore choice offers them.
#include "ui/common/kept_copy_choice.h"

namespace quillmar::ui {

KeptCopyChoices keptCopyChoices(const boot::UpdateSafety& safety) {
  KeptCopyChoices choices;
  choices.folder = boot::backupsFolder(safety.dataFolder);
  choices.copies = boot::listKeptCopies(choices.folder);
  return choices;
}

std::string keptCopyLine(const boot::KeptCopy& copy) {
  return copy.when + "   " + copy.port + "   " + copy.version + "   " + std::to_string(copy.bytes) +
         " bytes";
}

std::string noKeptCopyMessage(const std::string& folder) {
  return "No copy of a unit has been kept yet in\n" + folder +
         "\nUpdate keeps one before it erases the unit, while \"Keep a copy before updating\" is "
         "ticked.";
}

boot::ImageFile keptCopyImage(const boot::KeptCopy& copy) {
  return boot::chosenImageFile(copy.path);
}

}  // namespace quillmar::ui
