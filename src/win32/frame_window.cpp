#include "win32/frame_window.h"

#include "win32/window_base.h"

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

}  // namespace

const wchar_t* FrameClassName() {
  RegisterWindowClass({kFrameClass, FrameProc, nullptr,
                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
  return kFrameClass;
}

}  // namespace foxbane::win32
