#pragma once

#include <windows.h>

#include "ports/event_loop.h"
#include "win32/main_window.h"

namespace foxbane::win32 {

// The thread's message loop, with the main window's own keyboard navigation
// (its tab order differs from the stacking order, so the dialog manager's
// cannot be used).
class Win32EventLoop : public EventLoop {
 public:
  explicit Win32EventLoop(Win32Window& window) : window_(window) {}

  // Runs until the program ends.
  int Run();

  void YieldToPendingMessages() override;
  // ExitProcess(0): no destructor, handler or message runs after it.
  [[noreturn]] void EndProgram() override;

 private:
  void Dispatch(const MSG& message);

  Win32Window& window_;
};

}  // namespace foxbane::win32
