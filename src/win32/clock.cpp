#include "win32/clock.h"

#include <windows.h>

#include "win32/text.h"

namespace foxbane::win32 {

namespace {

// One of the user's locale settings, or `fallback` when the locale cannot be
// read, so that a time stamp always has its separators.
std::string LocaleText(LCTYPE item, const char* fallback) {
  const int size = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, nullptr, 0);
  if (size <= 0) return fallback;
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  const int written = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, text.data(), size);
  if (written <= 0) return fallback;
  text.resize(static_cast<std::size_t>(written - 1));  // without the terminating NUL
  return Narrow(text);
}

}  // namespace

LocalDateTime Win32Clock::Now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return LocalDateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string Win32Clock::TimeSeparator() { return LocaleText(LOCALE_STIME, ":"); }

std::string Win32Clock::DateSeparator() { return LocaleText(LOCALE_SDATE, "/"); }

}  // namespace foxbane::win32
