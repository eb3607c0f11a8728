#include "win32/event_loop.h"

namespace foxbane::win32 {

int Win32EventLoop::Run() {
  MSG message;
  BOOL received;
  // The program normally ends through EndProgram; this returns only on a
  // WM_QUIT from elsewhere (its exit code) or a failing queue (-1).
  while ((received = ::GetMessageW(&message, nullptr, 0, 0)) > 0) Dispatch(message);
  return received == 0 ? static_cast<int>(message.wParam) : 1;
}

void Win32EventLoop::YieldToPendingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) Dispatch(message);
}

void Win32EventLoop::EndProgram() { ::ExitProcess(0); }

void Win32EventLoop::Dispatch(const MSG& message) {
  if (window_.TranslateNavigationKey(message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

}  // namespace foxbane::win32
