// File names and texts cross the Windows API as UTF-16; the program keeps
// them as UTF-8.
#pragma once

#include <string>

namespace tw {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);

}  // namespace tw
