#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ports/clock.h"
#include "ports/environment.h"
#include "ports/file_system.h"
#include "ports/processes.h"
#include "ports/profile_files.h"
#include "ports/registry.h"

namespace foxbane::contract {

// The adapters under test, one for each port.
struct Adapters {
  FileSystem& files;
  ProfileFiles& profiles;
  Registry& registry;
  Processes& processes;
  Environment& environment;
  Clock& clock;
};

// A process started for a test, as the system names it.
struct StartedProcess {
  std::uint32_t pid = 0;
  std::string modulePath;  // the executable's full path
};

// The system a contract test runs on: the adapters, and what a test must set
// up or look at without going through them, so that an adapter is never
// checked against itself. Whatever a test makes goes with the world.
class World {
 public:
  virtual ~World() = default;
  virtual Adapters Subject() = 0;

  // A folder of the test's own (a full path without a trailing "\"), and the
  // name of a key of its own under HKEY_CURRENT_USER ("Software\FoxbaneTest..."),
  // made by whatever a test creates below it.
  virtual const std::string& Folder() const = 0;
  virtual const std::string& Key() const = 0;

  virtual void MakeFolder(const std::string& path) = 0;
  // Makes the parent folder if need be; attributes 0 leave the file normal.
  virtual void WriteFile(const std::string& path, std::string_view bytes,
                         std::uint32_t attributes = 0) = 0;
  virtual std::optional<std::string> Contents(const std::string& path) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Open, until released, as a program writing the file would: sharing read
  // and write, not delete.
  virtual std::shared_ptr<void> HoldOpen(const std::string& path) = 0;
  virtual void MakeHardLink(const std::string& existing, const std::string& link) = 0;
  // A link to the folder `target` (a symbolic link); false where the system
  // cannot make one for this test.
  virtual bool MakeFolderLink(const std::string& link, const std::string& target) = 0;
  // Gives everyone full control of the folder or file.
  virtual void LetEveryoneChange(const std::string& path) = 0;

  // A process that waits until something ends it.
  virtual StartedProcess StartWaitingProcess() = 0;
  virtual bool IsRunning(std::uint32_t pid) = 0;
  // Waits a few seconds for the process to end; none if it still runs.
  virtual std::optional<std::uint32_t> ExitCodeAfterEnd(std::uint32_t pid) = 0;
  // The system's text for the invalid-handle error (6), as it words it.
  virtual std::string InvalidHandleText() = 0;

  virtual std::string ProgramPath() = 0;  // of the running executable
  virtual bool SixtyFourBitSystem() = 0;  // two program folders
  virtual void SetVariable(const std::string& name, const std::string& value) = 0;

  // The local time and the locale's name ("en-US"), learnt another way.
  virtual LocalDateTime ReferenceNow() = 0;
  virtual std::string LocaleName() = 0;
};

using WorldFactory = std::unique_ptr<World> (*)();

class Contract : public ::testing::TestWithParam<WorldFactory> {
 protected:
  void SetUp() override { world_ = GetParam()(); }

  World& world() { return *world_; }
  FileSystem& files() { return world_->Subject().files; }
  ProfileFiles& profiles() { return world_->Subject().profiles; }
  Registry& registry() { return world_->Subject().registry; }
  Processes& processes() { return world_->Subject().processes; }
  Environment& environment() { return world_->Subject().environment; }
  Clock& clock() { return world_->Subject().clock; }

  std::string At(const std::string& relative) const { return world_->Folder() + "\\" + relative; }
  std::string KeyAt(const std::string& relative) const { return world_->Key() + "\\" + relative; }

 private:
  std::unique_ptr<World> world_;
};

// One suite a port, so that each runs (and fails) on its own.
class ClockContract : public Contract {};
class EnvironmentContract : public Contract {};
class FileSystemContract : public Contract {};
class ProcessesContract : public Contract {};
class ProfileFilesContract : public Contract {};
class RegistryContract : public Contract {};

// Holds every suite to the adapters a factory's worlds carry.
#define FOXBANE_CONTRACT_WORLD(adapter, factory)                                      \
  INSTANTIATE_TEST_SUITE_P(adapter, ClockContract, ::testing::Values(&factory));        \
  INSTANTIATE_TEST_SUITE_P(adapter, EnvironmentContract, ::testing::Values(&factory));  \
  INSTANTIATE_TEST_SUITE_P(adapter, FileSystemContract, ::testing::Values(&factory));   \
  INSTANTIATE_TEST_SUITE_P(adapter, ProcessesContract, ::testing::Values(&factory));    \
  INSTANTIATE_TEST_SUITE_P(adapter, ProfileFilesContract, ::testing::Values(&factory)); \
  INSTANTIATE_TEST_SUITE_P(adapter, RegistryContract, ::testing::Values(&factory))

}  // namespace foxbane::contract
