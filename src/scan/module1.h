#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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
  // start time and image path is ended, and when the scan read its file
  // (`scannedFile`), only one whose executable is that very file: one that
  // has gone, whose PID now names another process, or whose file was
  // renamed away and replaced by the one scanned, is left alone without a
  // message.
  void KillProcess(std::int32_t pid, std::string_view imagePath = {}, std::uint64_t started = 0,
                   std::optional<FileIdentity> scannedFile = std::nullopt);
  // Shows the failure message for the last error; returns when dismissed.
  void ReportKillFailure();

 private:
  // What the listing and the scan saw of the process to end.
  struct Listed {
    std::string_view imagePath;
    std::uint64_t started = 0;
    std::optional<FileIdentity> file;
  };

  // The right to ask for what was listed of a process on this system.
  std::uint32_t QueryAccess(const Listed& listed);
  bool StillTheListedProcess(OpenedProcess* process, std::uint32_t pid, const Listed& listed);
  bool IsTheListedProcess(OpenedProcess& process, const Listed& listed);

  Processes& processes_;
  UserMessages& messages_;
};

}  // namespace foxbane
