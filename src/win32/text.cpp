#include "win32/text.h"

#include "common/utf.h"

namespace foxbane::win32 {

std::wstring Wide(std::string_view utf8) {
  const std::u16string units = Utf16FromUtf8(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view utf16) {
  return Utf8FromUtf16(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace foxbane::win32
