// Windows error texts from FormatMessageA, in the ANSI code page like the programs' other texts.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "error_text.h"

namespace quillmar::platform {

std::string systemErrorText(unsigned long code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description =
      length > 0 ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r')) {
    description.pop_back();
  }
  return description;
}

}  // namespace quillmar::platform
