#include "win32/environment.h"

#include <windows.h>

#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <algorithm>

#include "win32/growing_text.h"
#include "win32/text.h"
#include "win32/token_user.h"
#include "win32/unique_handle.h"

namespace foxbane::win32 {

namespace {

// The executable's full path, never a cut one: that would name a
// different folder.
std::wstring ModulePath() {
  return GrowingText([](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
           const DWORD length = ::GetModuleFileNameW(nullptr, buffer, capacity);
           if (length == 0) return std::nullopt;
           return length;
         }).value_or(std::wstring());
}

// A known folder's path; empty where the system has no such folder (the
// 64-bit program folder asked for by a 32-bit program).
std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
  std::wstring folder = SUCCEEDED(result) && path ? path : L"";
  ::CoTaskMemFree(path);
  return folder;
}

// The user of a process's token, as a string SID; empty when it cannot be read.
std::string TokenUserSid(HANDLE process) {
  std::vector<BYTE> user = ProcessUserSid(process);
  LPWSTR text = nullptr;
  if (user.empty() || !::ConvertSidToStringSidW(user.data(), &text)) return {};
  const UniqueLocalMemory owned(text);
  return Narrow(text);
}

}  // namespace

// The folder keeps its "\" only at a drive root, where "C:" alone would mean
// the current folder of drive C.
std::string Win32Environment::ApplicationFolder() {
  const std::wstring path = ModulePath();
  const std::size_t separator = path.find_last_of(L'\\');
  std::wstring folder = separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  return Narrow(folder);
}

std::string Win32Environment::ProgramName() {
  const std::wstring path = ModulePath();
  std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
  if (const std::size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.resize(dot);
  return Narrow(name);
}

// Text that cannot be expanded (longer than the function takes) is returned
// as it is, as if it named no variable.
std::string Win32Environment::ExpandReferences(std::string_view text) {
  const std::wstring source = Wide(text);
  std::wstring expanded(source.size() + 1, L'\0');
  for (;;) {
    const DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), expanded.data(),
                                                     static_cast<DWORD>(expanded.size()));
    if (needed == 0) return std::string(text);
    if (needed <= expanded.size()) {
      expanded.resize(needed - 1);  // without the terminating NUL
      return Narrow(expanded);
    }
    expanded.resize(needed);
  }
}

std::string Win32Environment::WindowsFolder() {
  const auto folder = GrowingText([](wchar_t* buffer, DWORD capacity) -> std::optional<DWORD> {
    const UINT length = ::GetWindowsDirectoryW(buffer, capacity);
    if (length == 0) return std::nullopt;
    return length;
  });
  return folder ? Narrow(*folder) : std::string();
}

std::string Win32Environment::ProgramDataFolder() { return Narrow(KnownFolder(FOLDERID_ProgramData)); }

// A 32-bit program is told the 32-bit folder for FOLDERID_ProgramFiles and
// is refused the 64-bit one; under WOW64 the 64-bit registry view names it,
// as the program folder of 64-bit programs.
std::vector<std::string> Win32Environment::ProgramFilesFolders() {
  std::vector<std::wstring> found = {KnownFolder(FOLDERID_ProgramFiles),
                                     KnownFolder(FOLDERID_ProgramFilesX86)};
  if constexpr (sizeof(void*) == 8) {
    found.push_back(KnownFolder(FOLDERID_ProgramFilesX64));
  } else if (BOOL wow64 = FALSE; ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64) {
    HKEY opened = nullptr;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                    KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened);
    const UniqueRegKey key(opened);
    wchar_t native[MAX_PATH] = {};
    DWORD bytes = sizeof native;
    if (key && ::RegGetValueW(key.Get(), nullptr, L"ProgramFilesDir", RRF_RT_REG_SZ, nullptr,
                              native, &bytes) == ERROR_SUCCESS) {
      found.emplace_back(native);
    }
  }
  std::vector<std::string> folders;
  for (const std::wstring& folder : found) {
    if (folder.empty()) continue;
    const std::string name = Narrow(folder);
    const bool listed = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
      return ::CompareStringOrdinal(Wide(f).c_str(), -1, folder.c_str(), -1, TRUE) == CSTR_EQUAL;
    });
    if (!listed) folders.push_back(name);
  }
  return folders;
}

std::string Win32Environment::ProgramUserSid() { return TokenUserSid(::GetCurrentProcess()); }

// The shell's window is the one the session's shell registered; its
// process's token names the user who logged on.
std::string Win32Environment::ShellUserSid() {
  DWORD pid = 0;
  const HWND shell = ::GetShellWindow();
  if (!shell || !::GetWindowThreadProcessId(shell, &pid) || pid == 0) return {};
  const UniqueKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  return process ? TokenUserSid(process.Get()) : std::string();
}

}  // namespace foxbane::win32
