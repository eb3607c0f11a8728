#include "win32/text.h"

#include <windows.h>

#include "common/utf.h"

namespace foxbane::win32 {

std::wstring Wide(std::string_view utf8) {
  const std::u16string units = Utf16FromUtf8(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view utf16) {
  return Utf8FromUtf16(std::u16string(utf16.begin(), utf16.end()));
}

ErrorCode AnsiFromWide(std::wstring_view wide, std::string& ansi) {
  ansi.clear();
  if (wide.empty()) return win_error::kSuccess;
  const UINT codePage = ::GetACP();
  // UTF-8 takes neither the flag nor a default character.
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* fallback = codePage == CP_UTF8 ? nullptr : "?";
  const int units = static_cast<int>(wide.size());
  const int bytes =
      ::WideCharToMultiByte(codePage, flags, wide.data(), units, nullptr, 0, fallback, nullptr);
  if (bytes == 0) return ::GetLastError();
  ansi.resize(static_cast<std::size_t>(bytes));
  if (::WideCharToMultiByte(codePage, flags, wide.data(), units, ansi.data(), bytes, fallback,
                            nullptr) == 0) {
    return ::GetLastError();
  }
  return win_error::kSuccess;
}

}  // namespace foxbane::win32
