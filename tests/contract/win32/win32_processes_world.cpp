#include <windows.h>

#include <psapi.h>

#include <cwchar>
#include <map>
#include <stdexcept>

#include "contract/processes_world.h"
#include "win32/processes.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::contract {
namespace {

using win32::UniqueKernelHandle;

// Started with this argument, the test binary is only a process for a test
// to list and end: it waits to be ended, and gives up after a minute should
// the test that started it have died.
constexpr wchar_t kWaitArgument[] = L"--foxbane-wait-to-be-ended";
constexpr UINT kGaveUp = 3;
const struct WaitingProcessMode {
  WaitingProcessMode() {
    if (std::wcsstr(::GetCommandLineW(), kWaitArgument)) {
      ::Sleep(60'000);
      ::ExitProcess(kGaveUp);
    }
  }
} kWaitingProcessMode;

std::wstring OwnPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

// True once the new process's loader has set up its module list, which the
// adapter is about to be asked for.
bool ModulesReady(HANDLE process) {
  HMODULE module = nullptr;
  DWORD needed = 0;
  return ::EnumProcessModules(process, &module, sizeof(module), &needed) && module != nullptr;
}

class Win32ProcessesWorld : public ProcessesWorld {
 public:
  ~Win32ProcessesWorld() override {
    for (auto& [pid, process] : started_) {
      ::TerminateProcess(process.Get(), 99);
      ::WaitForSingleObject(process.Get(), 5000);
    }
  }

  Processes& Adapter() override { return processes_; }

  StartedProcess StartWaitingProcess() override {
    const std::wstring path = OwnPath();
    std::wstring commandLine = L"\"" + path + L"\" " + kWaitArgument;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_NO_WINDOW, nullptr, nullptr, &startup, &info)) {
      throw std::runtime_error("cannot start a waiting process");
    }
    UniqueKernelHandle thread(info.hThread);
    UniqueKernelHandle process(info.hProcess);
    for (int tries = 0; tries < 200 && !ModulesReady(process.Get()); ++tries) ::Sleep(10);
    started_.emplace(info.dwProcessId, std::move(process));

    const std::size_t slash = path.find_last_of(L'\\');
    return StartedProcess{info.dwProcessId, win32::Narrow(path),
                          win32::Narrow(path.substr(slash + 1))};
  }

  bool IsRunning(std::uint32_t pid) override {
    return ::WaitForSingleObject(Started(pid), 0) == WAIT_TIMEOUT;
  }

  std::optional<std::uint32_t> ExitCodeAfterEnd(std::uint32_t pid) override {
    const HANDLE process = Started(pid);
    DWORD code = 0;
    if (::WaitForSingleObject(process, 5000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process, &code)) {
      return std::nullopt;
    }
    return code;
  }

  std::uint32_t UnusedPid() override { return 0x7FFFFFF0; }

  std::string InvalidHandleText() override {
    // Wine words the system's messages its own way.
    const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    return wine ? "Invalid handle.\r\n" : "The handle is invalid.\r\n";
  }

 private:
  HANDLE Started(std::uint32_t pid) const {
    const auto found = started_.find(pid);
    if (found == started_.end()) throw std::invalid_argument("not a started process");
    return found->second.Get();
  }

  win32::Win32Processes processes_;
  std::map<std::uint32_t, UniqueKernelHandle> started_;
};

std::unique_ptr<ProcessesWorld> MakeWin32ProcessesWorld() {
  return std::make_unique<Win32ProcessesWorld>();
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, ProcessesContract, ::testing::Values(&MakeWin32ProcessesWorld));

}  // namespace foxbane::contract
