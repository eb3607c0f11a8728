#pragma once

// A real process for tests to list, open and end: the test binary itself,
// started again with an argument that makes it wait to be ended. Include
// this header in one source file of a test binary that uses it.

#include <windows.h>

#include <psapi.h>

#include <cwchar>
#include <optional>
#include <string>

#include "support/running_program.h"
#include "win32/text.h"

namespace foxbane::test_support {

inline constexpr wchar_t kWaitArgument[] = L"--foxbane-wait-to-be-ended";

// Started with kWaitArgument, the binary waits before any test runs, and
// gives up after a minute should the test that started it have died.
inline const struct WaitingProcessMode {
  WaitingProcessMode() {
    constexpr UINT kGaveUp = 3;
    if (std::wcsstr(::GetCommandLineW(), kWaitArgument)) {
      ::Sleep(60'000);
      ::ExitProcess(kGaveUp);
    }
  }
} kWaitingProcessMode;

// The running test binary's own path.
inline std::wstring OwnPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

class WaitingProcess {
 public:
  // Starts the process and waits until its module list can be read.
  WaitingProcess()
      : path_(OwnPath()),
        started_(win32::testing::StartProcess(path_, kWaitArgument, DETACHED_PROCESS)) {
    for (int tries = 0; tries < 200 && !ModulesReady(); ++tries) ::Sleep(10);
  }
  ~WaitingProcess() {
    if (IsRunning()) {
      ::TerminateProcess(started_.process.Get(), 99);
      ::WaitForSingleObject(started_.process.Get(), 5000);
    }
  }
  WaitingProcess(WaitingProcess&&) = default;
  WaitingProcess& operator=(WaitingProcess&&) = default;

  DWORD Pid() const { return started_.pid; }
  // The executable's full path and its file name, in UTF-8.
  std::string Path() const { return win32::Narrow(path_); }
  std::string FileName() const { return win32::Narrow(path_.substr(path_.find_last_of(L'\\') + 1)); }

  bool IsRunning() const { return ::WaitForSingleObject(started_.process.Get(), 0) == WAIT_TIMEOUT; }
  // The exit code once the process has ended, waiting a few seconds for it.
  std::optional<DWORD> ExitCodeAfterEnd() const {
    DWORD code = 0;
    if (::WaitForSingleObject(started_.process.Get(), 5000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(started_.process.Get(), &code)) {
      return std::nullopt;
    }
    return code;
  }

 private:
  bool ModulesReady() const {
    HMODULE module = nullptr;
    DWORD needed = 0;
    return ::EnumProcessModules(started_.process.Get(), &module, sizeof(module), &needed) && module;
  }

  std::wstring path_;
  win32::testing::StartedProcess started_;
};

}  // namespace foxbane::test_support
