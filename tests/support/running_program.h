#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "win32/unique_handle.h"

namespace foxbane::win32::testing {

// A process this test started, and the id of its first thread.
struct StartedProcess {
  UniqueKernelHandle process;
  DWORD pid = 0;
  DWORD threadId = 0;
};

// CreateProcess with the quoted path and then `arguments` as the command
// line; throws when the program cannot be started.
StartedProcess StartProcess(const std::wstring& exe, const std::wstring& arguments = {},
                            DWORD flags = 0);

// foxbane.exe started for one test and driven from outside, as a user would;
// terminated at the end of the test if it is still running.
class RunningProgram {
 public:
  // Starts the program and waits for its main window to be shown.
  explicit RunningProgram(const std::filesystem::path& exe);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND Window() const { return window_; }
  // The control that has the keyboard focus in the program's window.
  HWND Focus() const;
  // The exit code once the process has ended within the time; nullopt if not.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds limit) const;

 private:
  StartedProcess started_;
  HWND window_ = nullptr;
};

// Polls `condition` until it holds or the time runs out; returns its last value.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

// FOXBANE_EXE, as ctest sets it.
std::filesystem::path ProgramPath();

}  // namespace foxbane::win32::testing
