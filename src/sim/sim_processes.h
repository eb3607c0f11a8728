#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ports/processes.h"
#include "sim/faults.h"

namespace foxbane::sim {

// A process table that answers like Windows: processes listed in table
// order, the same error codes for a PID that does not exist (87), a process
// the user may not open or end (5), a null handle (6) and a handle without
// the right needed (5), and the system's English message texts.
class SimProcesses : public Processes {
 public:
  // `imageOf` names the file a new process's executable is mapped from, by
  // its path; without it, every process's image is the empty identity.
  using ImageResolver = std::function<FileIdentity(const std::string& path)>;
  explicit SimProcesses(Faults& faults, ImageResolver imageOf = {});
  SimProcesses(const SimProcesses&) = delete;
  SimProcesses& operator=(const SimProcesses&) = delete;

  int PlatformId() override;
  bool HasImagePathQuery() override { return imagePathQuery_; }
  std::unique_ptr<ProcessSnapshot> TakeSnapshot() override;
  bool EnumerateIds(std::span<std::uint32_t> ids, std::uint32_t& bytesWritten) override;
  std::unique_ptr<OpenedProcess> Open(std::uint32_t access, bool inheritable,
                                      std::uint32_t pid) override;
  bool Terminate(OpenedProcess* process, std::uint32_t exitCode) override;
  ErrorCode LastError() override { return lastError_; }
  std::string SystemMessage(ErrorCode code, std::uint32_t capacity) override;

  // Setting up the table in tests. A PID that is running already, or one
  // that is not in the table, is a mistake in the test: std::invalid_argument.

  void SetPlatformId(int platformId) { platformId_ = platformId; }
  // An NT-family system older than Vista: no image-path query, no limited
  // query right.
  void RemoveImagePathQuery() { imagePathQuery_ = false; }
  // Starts a process at the end of the table. `snapshotName` is the name the
  // snapshot reports; by default the file name of `modulePath`, as on the NT
  // family. The PID of a process that has ended may be given again. Each
  // process started gets a later start time than the one before.
  void AddProcess(std::uint32_t pid, std::string modulePath, std::string snapshotName = {});
  // The file the process's executable is mapped from, when it is not the
  // one at its path: it stays the process's image wherever that file goes.
  void SetImageIdentity(std::uint32_t pid, FileIdentity image);
  // OpenProcess fails with 5 when it asks for any of `rights` (by default
  // whatever it asks for).
  void DenyOpen(std::uint32_t pid, std::uint32_t rights = ~std::uint32_t{0});
  // The module list cannot be read (299), as for the system's own processes.
  void HideModules(std::uint32_t pid);
  // TerminateProcess fails with 5, as for a protected process.
  void RefuseTermination(std::uint32_t pid);
  // The process ends on its own.
  void Exit(std::uint32_t pid, std::uint32_t exitCode = 0);

  bool IsRunning(std::uint32_t pid) const;
  // The exit code of the last process with this PID; none while it runs.
  std::optional<std::uint32_t> ExitCode(std::uint32_t pid) const;
  // Snapshots and process handles not yet released. They must all be
  // released before the table itself is destroyed.
  std::size_t OpenHandleCount() const { return openHandles_; }

  // The base address every process's executable module is reported at.
  static constexpr std::uintptr_t kModuleBase = 0x400000;

 private:
  class Snapshot;
  class Handle;
  struct Process {
    std::uint32_t pid = 0;
    std::string modulePath;
    std::string snapshotName;
    std::uint64_t startTime = 0;
    FileIdentity image;
    std::uint32_t deniedRights = 0;
    bool hideModules = false;
    bool refuseTermination = false;
    std::optional<std::uint32_t> exitCode;  // set once it has ended
  };

  // The running process with this PID, or null.
  Process* Running(std::uint32_t pid);
  Process& RunningForSetup(std::uint32_t pid);
  const Process* Latest(std::uint32_t pid) const;
  bool Fail(ErrorCode code);

  Faults& faults_;
  ImageResolver imageOf_;
  int platformId_ = 2;
  bool imagePathQuery_ = true;
  std::uint64_t clock_ = 133'000'000'000'000'000;  // some day in 2022
  // Stable addresses: handles point at their process, also after it ended.
  std::vector<std::unique_ptr<Process>> table_;
  ErrorCode lastError_ = 0;
  std::size_t openHandles_ = 0;
};

}  // namespace foxbane::sim
