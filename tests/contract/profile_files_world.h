#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ports/profile_files.h"

namespace foxbane::contract {

// The ProfileFiles under test, an empty folder of this test's own (removed
// with its files at the end), and a way to write and read files there
// without the adapter.
class ProfileFilesWorld {
 public:
  virtual ~ProfileFilesWorld() = default;
  virtual ProfileFiles& Subject() = 0;
  // A full path without a trailing "\".
  virtual const std::string& Sandbox() const = 0;
  virtual void WriteFile(const std::string& path, std::string_view bytes) = 0;
  // The file's bytes; none when there is no file there.
  virtual std::optional<std::string> Contents(const std::string& path) = 0;
};

using ProfileFilesWorldFactory = std::unique_ptr<ProfileFilesWorld> (*)();

class ProfileFilesContract : public ::testing::TestWithParam<ProfileFilesWorldFactory> {
 protected:
  void SetUp() override { world_ = GetParam()(); }

  ProfileFiles& profiles() { return world_->Subject(); }
  ProfileFilesWorld& world() { return *world_; }
  std::string At(std::string_view name) const {
    return world_->Sandbox() + "\\" + std::string(name);
  }

 private:
  std::unique_ptr<ProfileFilesWorld> world_;
};

}  // namespace foxbane::contract
