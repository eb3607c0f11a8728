#pragma once

#include <windows.h>

#include <string>

namespace foxbane::test_support {

inline bool RunningUnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The system's English text for the invalid-handle error (6): Wine words
// its messages its own way.
inline std::string InvalidHandleText() {
  return RunningUnderWine() ? "Invalid handle.\r\n" : "The handle is invalid.\r\n";
}

}  // namespace foxbane::test_support
