#pragma once

#include <string>
#include <string_view>

namespace foxbane::win32 {

// The core speaks UTF-8; the Windows API is called in its Unicode (W) form.
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace foxbane::win32
