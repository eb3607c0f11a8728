#include "win32/progress_control.h"

#include <system_error>

namespace foxbane::win32 {

namespace {

constexpr wchar_t kClassName[] = L"FoxbaneProgress";

// Once per process; the class lives until the process ends.
void RegisterProgressClass(WNDPROC windowProc) {
  static const bool registered = [windowProc] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExW(&windowClass)) {
      throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                              "RegisterClassExW FoxbaneProgress");
    }
    return true;
  }();
  (void)registered;
}

UniqueWindow CreateProgressWindow(HWND parent, const RECT& pixels, WNDPROC windowProc, void* owner) {
  RegisterProgressClass(windowProc);
  UniqueWindow window(::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, pixels.left,
                                        pixels.top, pixels.right - pixels.left,
                                        pixels.bottom - pixels.top, parent, nullptr,
                                        ::GetModuleHandleW(nullptr), owner));
  if (!window) {
    throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                            "CreateWindowExW FoxbaneProgress");
  }
  return window;
}

}  // namespace

ProgressControl::ProgressControl(HWND parent, const RECT& pixels)
    : window_(CreateProgressWindow(parent, pixels, &WindowProc, this)),
      surface_(window_.Get()) {}

// The owner arrives with WM_NCCREATE and is kept in the window's user data,
// so no window state lives in globals.
LRESULT CALLBACK ProgressControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* control = reinterpret_cast<ProgressControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the bar paints every pixel; erasing first would only flicker
    case WM_PAINT: {
      // Validate first: the bar draws through device contexts of its own,
      // one per figure, over the whole client area.
      PAINTSTRUCT paint;
      if (::BeginPaint(window, &paint)) ::EndPaint(window, &paint);
      if (control) control->Paint();
      return 0;
    }
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// Nothing may unwind through the system's message dispatch; a repaint that
// fails leaves the previous picture.
void ProgressControl::Paint() noexcept {
  if (!paint_) return;
  try {
    paint_();
  } catch (...) {
  }
}

}  // namespace foxbane::win32
