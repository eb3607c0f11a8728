#include "support/running_program.h"

#include <stdexcept>
#include <string>
#include <thread>

#include "support/window_probe.h"
#include "win32/text.h"

namespace foxbane::win32::testing {

StartedProcess StartProcess(const std::wstring& exe, const std::wstring& arguments, DWORD flags) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        nullptr, &startup, &started)) {
    throw std::runtime_error("cannot start " + Narrow(exe));
  }
  const UniqueKernelHandle thread(started.hThread);
  return {UniqueKernelHandle(started.hProcess), started.dwProcessId, started.dwThreadId};
}

RunningProgram::RunningProgram(const std::filesystem::path& exe) : started_(StartProcess(exe.wstring())) {
  WaitUntil([&] { return (window_ = FindShownMainWindow(started_.pid)) != nullptr; });
  if (!window_) throw std::runtime_error("the program showed no window");
}

RunningProgram::~RunningProgram() {
  if (!WaitForExit(std::chrono::milliseconds(0))) {
    ::TerminateProcess(started_.process.Get(), 1);
    ::WaitForSingleObject(started_.process.Get(), 5000);
  }
}

HWND RunningProgram::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(started_.threadId, &info)) return nullptr;
  return info.hwndFocus;
}

std::optional<DWORD> RunningProgram::WaitForExit(std::chrono::milliseconds limit) const {
  if (::WaitForSingleObject(started_.process.Get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(started_.process.Get(), &code);
  return code;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Read through the system, not the C runtime, whose getenv MSVC flags as unsafe.
std::filesystem::path ProgramPath() {
  std::wstring value(::GetEnvironmentVariableW(L"FOXBANE_EXE", nullptr, 0), L'\0');
  if (value.size() <= 1) throw std::runtime_error("FOXBANE_EXE is not set");
  const auto capacity = static_cast<DWORD>(value.size());
  value.resize(::GetEnvironmentVariableW(L"FOXBANE_EXE", value.data(), capacity));
  return value;
}

}  // namespace foxbane::win32::testing
