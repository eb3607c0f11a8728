// A DLL that does nothing but leave "<its path>.loaded" beside itself: left
// beside a program as someone might leave one in a Downloads folder, it
// tells whether the program loaded it.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  std::wstring marker(MAX_PATH, L'\0');
  marker.resize(::GetModuleFileNameW(instance, marker.data(), MAX_PATH));
  marker += L".loaded";
  const HANDLE file =
      ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return TRUE;
}
