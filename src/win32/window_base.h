#pragma once

#include <windows.h>

#include <string_view>

namespace foxbane::win32 {

// Throws std::system_error with the calling thread's last error, naming the
// Windows call that failed.
[[noreturn]] void ThrowLastError(std::string_view what);

// A window class of this program: registered the first time it is asked
// for, and kept until the process ends.
struct WindowClass {
  const wchar_t* name;
  WNDPROC procedure;
  HICON icon = nullptr;
  HBRUSH background = nullptr;  // none: the window paints every pixel
};
void RegisterWindowClass(const WindowClass& windowClass);

// The window procedure of a class whose windows belong to an `Owner`: the
// owner arrives as the create parameter with WM_NCCREATE and is kept in the
// window's user data (no window state in globals), and every message goes to
// Owner::HandleMessage. Nothing may unwind through the system's message
// dispatch: a message whose handling fails gets the default handling.
template <typename Owner>
LRESULT CALLBACK OwnedWindowProcedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (owner) {
    try {
      return owner->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
    }
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace foxbane::win32
