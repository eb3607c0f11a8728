#include "bench_process.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <stdexcept>

#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::bench {

std::uint64_t PeakWorkingSetBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

std::vector<std::string> Arguments() {
  int count = 0;
  const win32::UniqueLocalMemory list(::CommandLineToArgvW(::GetCommandLineW(), &count));
  const auto* arguments = static_cast<wchar_t**>(list.Get());
  std::vector<std::string> result;
  for (int i = 1; arguments && i < count; ++i) result.push_back(win32::Narrow(arguments[i]));
  return result;
}

std::uint32_t RunSelf(const std::vector<std::string>& arguments) {
  wchar_t self[MAX_PATH + 1];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\"";
  for (const std::string& argument : arguments) commandLine += L" \"" + win32::Wide(argument) + L"\"";

  // The child writes its lines where this program writes its own.
  std::fflush(stdout);
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
    throw std::runtime_error("cannot start the benchmark again");
  }
  const win32::UniqueKernelHandle process(started.hProcess);
  const win32::UniqueKernelHandle thread(started.hThread);
  ::WaitForSingleObject(process.Get(), INFINITE);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.Get(), &exitCode);
  return exitCode;
}

}  // namespace foxbane::bench
