#pragma once

#include <string>
#include <string_view>

#include "ports/error_code.h"

namespace foxbane::win32 {

// The core speaks UTF-8; the Windows API is called in its Unicode (W) form.
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The text in the system's ANSI code page, as the single-byte (A) functions
// see it. Best-fit mapping is off, so a unit the code page lacks becomes "?"
// rather than a look-alike letter that would misstate a path in the log.
ErrorCode AnsiFromWide(std::wstring_view wide, std::string& ansi);

}  // namespace foxbane::win32
