#include "win32/window_base.h"

#include <string>
#include <system_error>

namespace foxbane::win32 {

void ThrowLastError(std::string_view what) {
  throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                          std::string(what) + " failed");
}

void RegisterWindowClass(const WindowClass& windowClass) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW registered{};
  registered.cbSize = sizeof registered;
  if (::GetClassInfoExW(instance, windowClass.name, &registered)) return;
  registered.lpfnWndProc = windowClass.procedure;
  registered.hInstance = instance;
  registered.hIcon = windowClass.icon;
  registered.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  registered.hbrBackground = windowClass.background;
  registered.lpszClassName = windowClass.name;
  if (!::RegisterClassExW(&registered)) ThrowLastError("RegisterClassExW");
}

}  // namespace foxbane::win32
