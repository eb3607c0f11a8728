#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "win32/unique_handle.h"

namespace foxbane::win32::testing {

// A process started for a test or the driver, terminated when this goes
// should it still run. Moving hands the process over.
class ChildProcess {
 public:
  // CreateProcess with the quoted path and then `arguments` as the command
  // line; throws when the program cannot be started.
  explicit ChildProcess(const std::wstring& exe, const std::wstring& arguments = {},
                        DWORD flags = 0);
  ~ChildProcess();
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;

  DWORD Pid() const { return pid_; }
  HANDLE Handle() const { return process_.Get(); }
  // The exit code once the process has ended within the time; nullopt if not.
  std::optional<DWORD> ExitCode(std::chrono::milliseconds limit) const;

 private:
  UniqueKernelHandle process_;
  DWORD pid_ = 0;
};

// Polls `condition` until it holds or the time runs out; returns its last value.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// FOXBANE_EXE, as ctest sets it.
std::filesystem::path ProgramPath();
// The running program's own path.
std::wstring OwnPath();

}  // namespace foxbane::win32::testing
