#include "win32/profile_files.h"

#include <windows.h>

#include "win32/text.h"

namespace foxbane::win32 {

std::uint32_t Win32ProfileFiles::ReadString(std::string_view file, std::string_view section,
                                            std::string_view entry, std::string_view defaultText,
                                            std::uint32_t capacity, std::string& text) {
  std::wstring buffer(capacity, L'\0');
  const DWORD copied = GetPrivateProfileStringW(Wide(section).c_str(), Wide(entry).c_str(),
                                                Wide(defaultText).c_str(), buffer.data(),
                                                capacity, Wide(file).c_str());
  text = Narrow(std::wstring_view(buffer.data(), copied));
  return copied;
}

std::int32_t Win32ProfileFiles::ReadInt(std::string_view file, std::string_view section,
                                        std::string_view entry, std::int32_t defaultValue) {
  return static_cast<std::int32_t>(GetPrivateProfileIntW(
      Wide(section).c_str(), Wide(entry).c_str(), defaultValue, Wide(file).c_str()));
}

// The call writes the listing at the start of the buffer and leaves the
// rest as the caller filled it.
std::uint32_t Win32ProfileFiles::ReadSection(std::string_view file, std::string_view section,
                                             std::string& buffer) {
  std::wstring wide = Wide(buffer);
  const DWORD written = GetPrivateProfileSectionW(Wide(section).c_str(), wide.data(),
                                                  static_cast<DWORD>(wide.size()),
                                                  Wide(file).c_str());
  buffer = Narrow(wide);
  return written;
}

bool Win32ProfileFiles::WriteString(std::string_view file, std::string_view section,
                                    std::string_view entry,
                                    std::optional<std::string_view> text) {
  const std::wstring wideText = text ? Wide(*text) : std::wstring();
  return WritePrivateProfileStringW(Wide(section).c_str(), Wide(entry).c_str(),
                                    text ? wideText.c_str() : nullptr,
                                    Wide(file).c_str()) != FALSE;
}

}  // namespace foxbane::win32
