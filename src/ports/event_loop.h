#pragma once

namespace foxbane {

// The window's message loop, seen from inside a handler.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Handles the pending window messages once and returns (a click waiting
  // in the queue runs its handler to the end before this returns).
  virtual void YieldToPendingMessages() = 0;
  // Ends the program at once: no further handler runs, nothing is saved.
  virtual void EndProgram() = 0;
};

}  // namespace foxbane
