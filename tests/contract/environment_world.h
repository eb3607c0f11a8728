#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ports/environment.h"

namespace foxbane::contract {

// The Environment under test, with what a test must know about the program
// that runs it, learnt without the adapter.
class EnvironmentWorld {
 public:
  virtual ~EnvironmentWorld() = default;
  virtual Environment& Subject() = 0;
  virtual std::string ProgramPath() = 0;  // full path of the running executable
  // Whether the system is 64-bit Windows, which has two program folders.
  virtual bool SixtyFourBitSystem() = 0;
  // Sets a variable of this process until the world ends.
  virtual void SetVariable(const std::string& name, const std::string& value) = 0;
};

using EnvironmentWorldFactory = std::unique_ptr<EnvironmentWorld> (*)();

class EnvironmentContract : public ::testing::TestWithParam<EnvironmentWorldFactory> {
 protected:
  void SetUp() override { world_ = GetParam()(); }
  EnvironmentWorld& world() { return *world_; }
  Environment& environment() { return world_->Subject(); }

 private:
  std::unique_ptr<EnvironmentWorld> world_;
};

}  // namespace foxbane::contract
