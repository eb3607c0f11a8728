#pragma once

#include <cstdint>

#include "ports/processes.h"
#include "ports/user_messages.h"

namespace foxbane {

// The process routines: which platform family runs, and ending a process.
class Module1 {
 public:
  Module1(Processes& processes, UserMessages& messages)
      : processes_(processes), messages_(messages) {}

  std::int16_t GetPlatformId();
  // Ends the process with exit code 0, or shows the failure message.
  void KillProcess(std::int32_t pid);
  // Shows the failure message for the last error; returns when dismissed.
  void ReportKillFailure();

 private:
  Processes& processes_;
  UserMessages& messages_;
};

}  // namespace foxbane
