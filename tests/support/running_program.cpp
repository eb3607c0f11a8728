#include "support/running_program.h"

#include <stdexcept>
#include <string>
#include <thread>

#include "app/control_table.h"
#include "win32/text.h"

namespace foxbane::win32::testing {

namespace {

struct WindowSearch {
  DWORD processId;
  HWND found;
};

// A named CALLBACK, not a lambda: a 32-bit build needs the stdcall convention.
BOOL CALLBACK TakeIfShownMainWindow(HWND window, LPARAM state) {
  auto* wanted = reinterpret_cast<WindowSearch*>(state);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t caption[64] = {};
  ::GetWindowTextW(window, caption, 64);
  if (owner != wanted->processId || !::IsWindowVisible(window) ||
      Wide(window_layout::kTitle) != caption) {
    return TRUE;
  }
  wanted->found = window;
  return FALSE;
}

// The program's shown top-level window captioned with its title.
HWND FindShownMainWindow(DWORD processId) {
  WindowSearch search{processId, nullptr};
  ::EnumWindows(TakeIfShownMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

RunningProgram::RunningProgram(const std::filesystem::path& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
    throw std::runtime_error("cannot start " + exe.string());
  }
  process_.Reset(started.hProcess);
  UniqueKernelHandle thread(started.hThread);
  threadId_ = started.dwThreadId;
  WaitUntil([&] { return (window_ = FindShownMainWindow(started.dwProcessId)) != nullptr; });
  if (!window_) throw std::runtime_error("the program showed no window");
}

RunningProgram::~RunningProgram() {
  if (!WaitForExit(std::chrono::milliseconds(0))) {
    ::TerminateProcess(process_.Get(), 1);
    ::WaitForSingleObject(process_.Get(), 5000);
  }
}

HWND RunningProgram::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(threadId_, &info)) return nullptr;
  return info.hwndFocus;
}

std::optional<DWORD> RunningProgram::WaitForExit(std::chrono::milliseconds limit) const {
  if (::WaitForSingleObject(process_.Get(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_.Get(), &code);
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
