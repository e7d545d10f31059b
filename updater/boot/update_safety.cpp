#include "boot/update_safety.h"

namespace quillmar::boot {

GateVerdict gateVerdict(const VersionPair& versions, bool identical, const UpdateSafety& safety,
                        bool restoring) {
  if (identical && !safety.allowReinstall)
    return GateVerdict::AlreadyHeld;
  if (restoring)
    return GateVerdict::Proceed;
  switch (versions.order()) {
    case VersionOrder::Older:
      return safety.allowOlder ? GateVerdict::Proceed : GateVerdict::NeedsOlderYes;
    case VersionOrder::Same:
      return safety.allowReinstall ? GateVerdict::Proceed : GateVerdict::NeedsReinstallYes;
    case VersionOrder::Newer:
    case VersionOrder::Different:
    case VersionOrder::Unknown:
      break;
  }
  return GateVerdict::Proceed;
}

std::string gateQuestion(const VersionPair& versions, GateVerdict verdict) {
  const std::string unit = versions.unit.value_or(kNoVersion);
  const std::string image = versions.image.value_or(kNoVersion);
  const std::string facts = "The unit has " + unit + ". The image is " + image + ", " +
                            orderWord(versions.order()) + ". ";
  return facts + (verdict == GateVerdict::NeedsOlderYes ? "Program the older version?"
                                                        : "Program it again?");
}

}  // namespace quillmar::boot
