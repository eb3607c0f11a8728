#include "contract/clock_world.h"
#include "sim/sim_clock.h"

namespace foxbane::contract {
namespace {

class SimClockWorld : public ClockWorld {
 public:
  SimClockWorld() { clock_.Set(kNow); }
  Clock& Subject() override { return clock_; }
  LocalDateTime ReferenceNow() override { return kNow; }
  std::string LocaleName() override { return "en-US"; }

 private:
  static constexpr LocalDateTime kNow{2004, 3, 27, 14, 5, 9};
  sim::SimClock clock_;
};

std::unique_ptr<ClockWorld> MakeSimClockWorld() { return std::make_unique<SimClockWorld>(); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sim, ClockContract, ::testing::Values(&MakeSimClockWorld));

}  // namespace foxbane::contract
