#include "driver/processes.h"

#include <psapi.h>

#include <stdexcept>

#include "support/running_program.h"
#include "win32/text.h"
#include "win32/unique_handle.h"

namespace foxbane::e2e {

namespace {

using win32::UniqueFileHandle;
using win32::UniqueKernelHandle;

std::vector<DWORD> ProcessIds() {
  std::vector<DWORD> ids(256);
  for (;;) {
    DWORD bytes = 0;
    const auto capacity = static_cast<DWORD>(ids.size() * sizeof(DWORD));
    if (!::EnumProcesses(ids.data(), capacity, &bytes))
      throw std::runtime_error("EnumProcesses failed");
    if (bytes < capacity) {
      ids.resize(bytes / sizeof(DWORD));
      return ids;
    }
    ids.resize(ids.size() * 2);
  }
}

std::wstring ExecutablePath(DWORD pid) {
  const UniqueKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  HMODULE first = nullptr;
  DWORD needed = 0;
  if (!process || !::EnumProcessModules(process.Get(), &first, sizeof first, &needed)) return {};
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = ::GetModuleFileNameExW(process.Get(), first, path, MAX_PATH * 2);
  return std::wstring(path, length);
}

class Report {
 public:
  explicit Report(const std::filesystem::path& file)
      : file_(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_) throw std::runtime_error("cannot write " + file.string());
  }

  void Line(const std::string& line) {
    const std::string whole = line + "\n";
    DWORD written = 0;
    ::WriteFile(file_.Get(), whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr);
  }

 private:
  UniqueFileHandle file_;
};

}  // namespace

std::vector<RunningProcess> ListRunningProcesses() {
  std::vector<RunningProcess> processes;
  for (const DWORD pid : ProcessIds()) {
    if (pid != ::GetCurrentProcessId()) processes.push_back({pid, ExecutablePath(pid)});
  }
  return processes;
}

void LaunchAndWatch(const std::filesystem::path& report,
                    const std::vector<std::wstring>& programs) {
  if (programs.empty() || programs.size() > MAXIMUM_WAIT_OBJECTS) {
    throw std::runtime_error("launch takes 1 to 64 programs");
  }
  Report out(report);
  std::vector<UniqueKernelHandle> owned;
  std::vector<HANDLE> running;
  std::vector<DWORD> pids;
  for (const std::wstring& program : programs) {
    win32::testing::StartedProcess started = win32::testing::StartProcess(program);
    running.push_back(started.process.Get());
    pids.push_back(started.pid);
    owned.push_back(std::move(started.process));
    out.Line("started " + std::to_string(pids.back()) + " " + win32::Narrow(program));
  }
  while (!running.empty()) {
    const DWORD signalled = ::WaitForMultipleObjects(static_cast<DWORD>(running.size()),
                                                     running.data(), FALSE, INFINITE);
    const std::size_t index = signalled - WAIT_OBJECT_0;
    if (index >= running.size()) throw std::runtime_error("waiting for the programs failed");
    DWORD code = 0;
    ::GetExitCodeProcess(running[index], &code);
    out.Line("exited " + std::to_string(pids[index]) + " " + std::to_string(code));
    running.erase(running.begin() + static_cast<std::ptrdiff_t>(index));
    pids.erase(pids.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

}  // namespace foxbane::e2e
