#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "ports/registry.h"

namespace foxbane::contract {

// The Registry under test and a key of this test's own under
// HKEY_CURRENT_USER ("Software\FoxbaneTest-<pid>-<n>"), made empty for the
// test and deleted with everything below it at the end.
class RegistryWorld {
 public:
  virtual ~RegistryWorld() = default;
  virtual Registry& Subject() = 0;
  virtual const std::string& Sandbox() const = 0;
};

using RegistryWorldFactory = std::unique_ptr<RegistryWorld> (*)();

class RegistryContract : public ::testing::TestWithParam<RegistryWorldFactory> {
 protected:
  void SetUp() override { world_ = GetParam()(); }

  Registry& registry() { return world_->Subject(); }
  RegistryWorld& world() { return *world_; }
  // A key path in this test's sandbox.
  std::string At(std::string_view relative) const {
    return world_->Sandbox() + "\\" + std::string(relative);
  }

 private:
  std::unique_ptr<RegistryWorld> world_;
};

}  // namespace foxbane::contract
