#include "driver/processes.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <stdexcept>

#include "support/running_program.h"
#include "win32/growing_text.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::e2e {

namespace {

void PrintLine(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::wstring ExecutablePath(DWORD pid) {
  const win32::UniqueKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  HMODULE first = nullptr;
  DWORD needed = 0;
  if (!process || !::EnumProcessModules(process.Get(), &first, sizeof first, &needed)) return {};
  return win32::GrowingText([&](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
           const DWORD length = ::GetModuleFileNameExW(process.Get(), first, buffer, capacity);
           if (length == 0) return std::nullopt;
           return length;
         }).value_or(std::wstring());
}

}  // namespace

void PrintRunningProcesses() {
  std::vector<DWORD> ids(4096);  // far more than a test machine runs
  DWORD bytes = 0;
  if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes))
    throw std::runtime_error("EnumProcesses failed");
  ids.resize(bytes / sizeof(DWORD));
  for (const DWORD pid : ids) {
    if (pid != ::GetCurrentProcessId())
      PrintLine(std::to_string(pid) + "\t" + win32::Narrow(ExecutablePath(pid)));
  }
}

void LaunchAndWatch(const std::vector<std::wstring>& programs) {
  std::vector<win32::testing::ChildProcess> running;
  for (const std::wstring& program : programs) {
    running.emplace_back(program);
    PrintLine("started " + std::to_string(running.back().Pid()) + " " + win32::Narrow(program));
  }
  while (!running.empty()) {
    std::vector<HANDLE> handles;
    for (const auto& process : running) handles.push_back(process.Handle());
    const std::size_t ended =
        ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE,
                                 INFINITE) - WAIT_OBJECT_0;
    if (ended >= running.size()) throw std::runtime_error("waiting for the programs failed");
    PrintLine("exited " + std::to_string(running[ended].Pid()) + " " +
              std::to_string(running[ended].ExitCode(std::chrono::milliseconds(0)).value_or(0)));
    running.erase(running.begin() + static_cast<std::ptrdiff_t>(ended));
  }
}

}  // namespace foxbane::e2e
