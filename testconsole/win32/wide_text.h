// UTF-8 (the console logic's texts) to UTF-16 (the Unicode window functions) and back, and the
// program's title.
#pragma once

#include <string>
#include <string_view>

namespace dravik::console::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The base name of the executable file without its extension ("TestDravik"): the caption of
// every message box, as the program has no title string of its own.
const std::wstring& program_title();

}  // namespace dravik::console::win32
