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

class WaitingProcess : public win32::testing::ChildProcess {
 public:
  // Starts the process and waits until its module list can be read.
  WaitingProcess() : ChildProcess(win32::testing::OwnPath(), kWaitArgument, DETACHED_PROCESS) {
    win32::testing::WaitUntil([this] {
      HMODULE module = nullptr;
      DWORD needed = 0;
      return ::EnumProcessModules(Handle(), &module, sizeof module, &needed) && module;
    }, std::chrono::seconds(2));
  }

  // The executable's full path and its file name, in UTF-8.
  std::string Path() const { return win32::Narrow(win32::testing::OwnPath()); }
  std::string FileName() const { return Path().substr(Path().find_last_of('\\') + 1); }

  bool IsRunning() const { return !ExitCode(std::chrono::milliseconds(0)); }
  // The exit code once the process has ended, waiting a few seconds for it.
  std::optional<DWORD> ExitCodeAfterEnd() const { return ExitCode(std::chrono::seconds(5)); }
};

}  // namespace foxbane::test_support
