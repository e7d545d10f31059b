// TildeConverter: turns the page author's feedback markers "<!--~-->" into single tildes and
// doubles every other tilde, as the unit's web server expects. The page arrives in blocks of
// any size; an unfinished marker at the end of a block is held back until the next block (or
// the end of the page) decides it, so the result never depends on where blocks are cut.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillmar::tildeconv {

// The comment that marks a live feedback field in the author's page.
inline constexpr std::string_view kFeedbackMarker = "<!--~-->";

class TildeConverter {
 public:
  // Converts the next bytes of the page. Returns the converted bytes decided so far; the view
  // stays valid until the next call. At most kFeedbackMarker.size() - 1 bytes are held back.
  std::span<const char> convert(std::span<const char> bytes);
  // Ends the page: converts whatever was held back (it can no longer be a marker).
  std::span<const char> finish();

  // Markers replaced by one tilde, so far.
  uint64_t feedbackCount() const { return feedbackCount_; }
  // Ordinary tildes doubled, so far.
  uint64_t regularCount() const { return regularCount_; }

 private:
  static constexpr size_t kHeldMax = kFeedbackMarker.size() - 1;

  // Converts bytes into out (room for twice their count), holding back an unfinished marker at
  // their end unless atEnd. Returns how many bytes were converted.
  size_t scan(std::span<const char> bytes, bool atEnd, char*& out);
  // Makes room for the converted form of `count` more input bytes; returns the write position.
  char* reserve(size_t count);
  // Keeps `bytes` (at most kHeldMax) for the next call.
  void hold(std::span<const char> bytes);

  std::array<char, kHeldMax> held_{};
  size_t heldSize_ = 0;
  uint64_t feedbackCount_ = 0;
  uint64_t regularCount_ = 0;
  std::vector<char> output_;
};

}  // namespace quillmar::tildeconv
