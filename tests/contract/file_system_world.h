#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ports/file_system.h"

namespace foxbane::contract {

// Keeps a file open until destroyed.
class FileHold {
 public:
  virtual ~FileHold() = default;
};

// What a FileSystem contract test needs around the adapter under test: a
// private folder, and ways to set up and look at files that do not go
// through the adapter.
class FileSystemWorld {
 public:
  virtual ~FileSystemWorld() = default;

  virtual FileSystem& Files() = 0;
  // An empty folder of this test's own, removed with its contents at the
  // end: a full path without a trailing "\".
  virtual const std::string& Sandbox() const = 0;

  virtual void MakeFolder(const std::string& path) = 0;
  virtual void WriteFile(const std::string& path, std::string_view bytes,
                         std::uint32_t attributes = 0) = 0;
  // The file's bytes; none when there is no file there.
  virtual std::optional<std::string> Contents(const std::string& path) = 0;
  // Whether a file or folder is there.
  virtual bool Exists(const std::string& path) = 0;
  // Opens the file as a program writing it would, sharing read and write
  // but not delete.
  virtual std::unique_ptr<FileHold> HoldOpen(const std::string& path) = 0;
  // Gives the existing file a second name, as CreateHardLink does.
  virtual void MakeHardLink(const std::string& existing, const std::string& link) = 0;
};

using FileSystemWorldFactory = std::unique_ptr<FileSystemWorld> (*)();

class FileSystemContract : public ::testing::TestWithParam<FileSystemWorldFactory> {
 protected:
  void SetUp() override { world_ = GetParam()(); }

  FileSystem& files() { return world_->Files(); }
  FileSystemWorld& world() { return *world_; }
  // A path in this test's sandbox.
  std::string At(std::string_view relative) const {
    return world_->Sandbox() + "\\" + std::string(relative);
  }

 private:
  std::unique_ptr<FileSystemWorld> world_;
};

}  // namespace foxbane::contract
