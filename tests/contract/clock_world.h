#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ports/clock.h"

namespace foxbane::contract {

// The Clock under test, with a second reading of the time and the locale's
// name, both learnt without the adapter.
class ClockWorld {
 public:
  virtual ~ClockWorld() = default;
  virtual Clock& Subject() = 0;
  virtual LocalDateTime ReferenceNow() = 0;
  virtual std::string LocaleName() = 0;  // such as "en-US"
};

using ClockWorldFactory = std::unique_ptr<ClockWorld> (*)();

class ClockContract : public ::testing::TestWithParam<ClockWorldFactory> {
 protected:
  void SetUp() override { world_ = GetParam()(); }
  ClockWorld& world() { return *world_; }
  Clock& clock() { return world_->Subject(); }

 private:
  std::unique_ptr<ClockWorld> world_;
};

}  // namespace foxbane::contract
