#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "ports/processes.h"
#include "ports/user_messages.h"

namespace foxbane {

// The process routines: which platform family runs, and ending a process.
class Module1 {
 public:
  Module1(Processes& processes, UserMessages& messages)
      : processes_(processes), messages_(messages) {}

  std::int16_t GetPlatformId();
  // Ends the process with exit code 0, or shows the failure message. When
  // the listing saw it start (`started` not 0), only a process with that
  // start time and image path is ended: one that has gone, or whose PID
  // now names another process, is left alone without a message.
  void KillProcess(std::int32_t pid, std::string_view imagePath = {}, std::uint64_t started = 0);
  // Shows the failure message for the last error; returns when dismissed.
  void ReportKillFailure();

 private:
  // The right to ask for a start time and image path on this system.
  std::uint32_t QueryAccess();
  bool StillTheListedProcess(OpenedProcess* process, std::uint32_t pid,
                             std::string_view imagePath, std::uint64_t started);
  bool IsTheListedProcess(OpenedProcess& process, std::string_view imagePath,
                          std::uint64_t started);

  Processes& processes_;
  UserMessages& messages_;
};

}  // namespace foxbane
