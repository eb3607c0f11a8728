#include "win32/frame_window.h"

#include <stdexcept>

namespace foxbane::win32 {

namespace {

constexpr wchar_t kFrameClass[] = L"FoxbaneFrame";

bool IsChildNotification(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      return true;
    default:
      return false;
  }
}

void PaintBorder(HWND frame) {
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(frame, &paint);
  RECT client;
  ::GetClientRect(frame, &client);
  ::DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
  ::EndPaint(frame, &paint);
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsChildNotification(message)) {
    return ::SendMessageW(::GetParent(frame), message, wParam, lParam);
  }
  if (message == WM_PAINT) {
    PaintBorder(frame);
    return 0;
  }
  return ::DefWindowProcW(frame, message, wParam, lParam);
}

ATOM RegisterFrameClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = FrameProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kFrameClass;
  const ATOM atom = ::RegisterClassExW(&windowClass);
  if (atom == 0) throw std::runtime_error("RegisterClassExW(FoxbaneFrame) failed");
  return atom;
}

}  // namespace

const wchar_t* FrameClassName() {
  static const ATOM registered = RegisterFrameClass();
  (void)registered;
  return kFrameClass;
}

}  // namespace foxbane::win32
