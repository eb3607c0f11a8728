#include "win32/progress_control.h"

#include "win32/window_base.h"

namespace foxbane::win32 {

namespace {

constexpr wchar_t kClassName[] = L"FoxbaneProgress";

UniqueWindow CreateProgressWindow(HWND parent, const RECT& pixels, void* owner) {
  RegisterWindowClass({kClassName, OwnedWindowProcedure<ProgressControl>});
  UniqueWindow window(::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, pixels.left,
                                        pixels.top, pixels.right - pixels.left,
                                        pixels.bottom - pixels.top, parent, nullptr,
                                        ::GetModuleHandleW(nullptr), owner));
  if (!window) ThrowLastError("CreateWindowExW(FoxbaneProgress)");
  return window;
}

}  // namespace

ProgressControl::ProgressControl(HWND parent, const RECT& pixels)
    : window_(CreateProgressWindow(parent, pixels, this)),
      surface_(window_.Get()) {}

LRESULT ProgressControl::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the bar paints every pixel; erasing first would only flicker
    case WM_PAINT: {
      // Validate first: the bar draws through device contexts of its own,
      // one per figure, over the whole client area.
      PAINTSTRUCT paint;
      if (::BeginPaint(window, &paint)) ::EndPaint(window, &paint);
      Paint();
      return 0;
    }
    default:
      return ::DefWindowProcW(window, message, wParam, lParam);
  }
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
