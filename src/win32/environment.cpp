#include "win32/environment.h"

#include <windows.h>

#include "win32/text.h"

namespace foxbane::win32 {

namespace {

// The executable's full path; the buffer grows until the path fits, since a
// truncated one would name a different folder.
std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
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

}  // namespace foxbane::win32
