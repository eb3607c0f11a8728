#include "win32/dll_search.h"

#include <windows.h>

namespace foxbane::win32 {

void RestrictDllSearchToSystem32() {
  // Looked up: Windows 7 has it only with its 2011 loader update.
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const FARPROC found = kernel ? ::GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  const auto restrict = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
      reinterpret_cast<void (*)()>(found));
  if (restrict && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // Without it, at least the current folder leaves the search.
  ::SetDllDirectoryW(L"");
}

}  // namespace foxbane::win32
