// Narrow text in the ANSI code page to and from the UTF-16 of the Windows wide calls: the one
// conversion the Windows files of this folder share.
#pragma once

#include <string>
#include <string_view>

namespace quillmar::platform {

// `text` in UTF-16; bytes that form no character become U+FFFD.
std::wstring wideFromNarrow(std::string_view text);

// `text` in the ANSI code page; characters it lacks become its default character.
std::string narrowFromWide(std::wstring_view text);

}  // namespace quillmar::platform
