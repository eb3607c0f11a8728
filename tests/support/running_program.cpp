#include "support/running_program.h"

#include <stdexcept>
#include <thread>

#include "win32/growing_text.h"
#include "win32/text.h"

namespace foxbane::win32::testing {

ChildProcess::ChildProcess(const std::wstring& exe, const std::wstring& arguments, DWORD flags) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        nullptr, &startup, &started)) {
    throw std::runtime_error("cannot start " + Narrow(exe));
  }
  const UniqueKernelHandle thread(started.hThread);
  process_.Reset(started.hProcess);
  pid_ = started.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (process_ && !ExitCode(std::chrono::milliseconds(0))) {
    ::TerminateProcess(process_.Get(), 1);
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

std::optional<DWORD> ChildProcess::ExitCode(std::chrono::milliseconds limit) const {
  DWORD code = 0;
  if (::WaitForSingleObject(process_.Get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0 ||
      !::GetExitCodeProcess(process_.Get(), &code)) {
    return std::nullopt;
  }
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

std::wstring OwnPath() {
  return GrowingText([](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
           const DWORD length = ::GetModuleFileNameW(nullptr, buffer, capacity);
           if (length == 0) return std::nullopt;
           return length;
         }).value();
}

}  // namespace foxbane::win32::testing
