#pragma once

#include <deque>
#include <functional>

#include "ports/event_loop.h"

namespace foxbane::sim {

// A message loop whose pending input is a queue of actions the test posts;
// each yield runs everything queued so far, as a real yield would.
class SimEventLoop : public EventLoop {
 public:
  void Post(std::function<void()> action) { pending_.push_back(std::move(action)); }
  void YieldToPendingMessages() override;
  void EndProgram() override { ++endRequests_; }

  int yields() const { return yields_; }
  bool ended() const { return endRequests_ > 0; }

 private:
  std::deque<std::function<void()>> pending_;
  int yields_ = 0;
  int endRequests_ = 0;
};

}  // namespace foxbane::sim
