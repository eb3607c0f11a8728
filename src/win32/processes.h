#pragma once

#include "ports/processes.h"

namespace foxbane::win32 {

// The process port over the toolhelp snapshot and the process-status
// functions, in their Unicode forms.
class Win32Processes : public Processes {
 public:
  int PlatformId() override;
  bool HasImagePathQuery() override;
  std::unique_ptr<ProcessSnapshot> TakeSnapshot() override;
  bool EnumerateIds(std::span<std::uint32_t> ids, std::uint32_t& bytesWritten) override;
  std::unique_ptr<OpenedProcess> Open(std::uint32_t access, bool inheritable,
                                      std::uint32_t pid) override;
  bool Terminate(OpenedProcess* process, std::uint32_t exitCode) override;
  ErrorCode LastError() override;
  std::string SystemMessage(ErrorCode code, std::uint32_t capacity) override;
};

}  // namespace foxbane::win32
