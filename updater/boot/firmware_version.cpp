#include "boot/firmware_version.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quillmar::boot {
namespace {

constexpr char kVersionMarker[] = "CVersion ";
constexpr std::size_t kVersionLength = 4;

// A version's dot-separated numbers, or nothing when it is not such ("1.9b", "", "1..2").
std::optional<std::vector<long>> versionNumbers(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  std::vector<long> numbers;
  std::size_t at = 0;
  for (;;) {
    const std::size_t end = std::min(text.find('.', at), text.size());
    if (end == at || end - at > 9)
      return std::nullopt;
    long number = 0;
    for (std::size_t i = at; i < end; ++i) {
      if (text[i] < '0' || text[i] > '9')
        return std::nullopt;
      number = number * 10 + (text[i] - '0');
    }
    numbers.push_back(number);
    if (end == text.size())
      return numbers;
    at = end + 1;
  }
}

}  // namespace

std::optional<std::string> versionIn(std::span<const uint8_t> flash) {
  const std::span<const uint8_t> scanned =
      flash.first(std::min<std::size_t>(flash.size(), kVersionScanBytes));
  std::string text(scanned.size(), 'x');
  std::transform(scanned.begin(), scanned.end(), text.begin(),
                 [](uint8_t byte) { return byte == 0 ? 'x' : static_cast<char>(byte); });
  const std::size_t at = text.find(kVersionMarker);
  if (at == std::string::npos)
    return std::nullopt;
  return text.substr(at + sizeof kVersionMarker - 1, kVersionLength);
}

VersionOrder compareVersions(const std::optional<std::string>& unit,
                             const std::optional<std::string>& image) {
  if (!unit || !image)
    return VersionOrder::Unknown;
  const auto unitNumbers = versionNumbers(*unit);
  const auto imageNumbers = versionNumbers(*image);
  if (!unitNumbers || !imageNumbers)
    return *unit == *image ? VersionOrder::Same : VersionOrder::Different;
  std::vector<long> a = *unitNumbers;
  std::vector<long> b = *imageNumbers;
  const std::size_t parts = std::max(a.size(), b.size());
  a.resize(parts, 0);
  b.resize(parts, 0);
  if (b < a)
    return VersionOrder::Older;
  return b == a ? VersionOrder::Same : VersionOrder::Newer;
}

const char* orderWord(VersionOrder order) {
  switch (order) {
    case VersionOrder::Older:
      return "older";
    case VersionOrder::Same:
      return "the same";
    case VersionOrder::Newer:
      return "newer";
    case VersionOrder::Different:
      return "different";
    case VersionOrder::Unknown:
      break;
  }
  return "unknown";
}

std::string versionLine(const VersionPair& versions) {
  return "unit " + versions.unit.value_or(kNoVersion) + ", image " +
         versions.image.value_or(kNoVersion) + " (" + orderWord(versions.order()) + ")";
}

}  // namespace quillmar::boot
