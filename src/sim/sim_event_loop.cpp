#include "sim/sim_event_loop.h"

namespace foxbane::sim {

void SimEventLoop::YieldToPendingMessages() {
  ++yields_;
  std::deque<std::function<void()>> now;
  now.swap(pending_);
  for (auto& action : now) action();
}

}  // namespace foxbane::sim
