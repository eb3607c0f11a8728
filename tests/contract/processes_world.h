#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ports/processes.h"

namespace foxbane::contract {

// A process started for a test, as the system names it.
struct StartedProcess {
  std::uint32_t pid = 0;
  std::string modulePath;    // the executable's full path
  std::string snapshotName;  // the executable name the snapshot reports
};

// What a Processes contract test needs around the adapter under test:
// processes of its own to list, open and end, and a look at them that does
// not go through the adapter.
class ProcessesWorld {
 public:
  virtual ~ProcessesWorld() = default;

  virtual Processes& Adapter() = 0;
  // Starts a process that waits until something ends it. Any still running
  // are ended when the world goes.
  virtual StartedProcess StartWaitingProcess() = 0;
  virtual bool IsRunning(std::uint32_t pid) = 0;
  // The exit code once the process has ended, waiting a few seconds for it;
  // none if it is still running.
  virtual std::optional<std::uint32_t> ExitCodeAfterEnd(std::uint32_t pid) = 0;
  // A PID that no process has.
  virtual std::uint32_t UnusedPid() = 0;
  // The system's text for the invalid-handle error (6), as it words it.
  virtual std::string InvalidHandleText() = 0;
};

using ProcessesWorldFactory = std::unique_ptr<ProcessesWorld> (*)();

class ProcessesContract : public ::testing::TestWithParam<ProcessesWorldFactory> {
 protected:
  void SetUp() override { world_ = GetParam()(); }

  Processes& processes() { return world_->Adapter(); }
  ProcessesWorld& world() { return *world_; }

 private:
  std::unique_ptr<ProcessesWorld> world_;
};

}  // namespace foxbane::contract
