// The specimen in a variant that denies everyone the right to terminate it,
// so that a scanner which detects it cannot end it: the way to see the
// termination-failure message on a real system.

#include <windows.h>

#include <sddl.h>

#include "win32/unique_handle.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Deny PROCESS_TERMINATE (1) to everyone, grant every other right, and
  // inherit nothing that could grant it back.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
          L"D:P(D;;0x1;;;WD)(A;;0x1ffffe;;;WD)", SDDL_REVISION_1, &descriptor, nullptr)) {
    return 1;
  }
  const foxbane::win32::UniqueLocalMemory owned(descriptor);
  if (!::SetKernelObjectSecurity(::GetCurrentProcess(), DACL_SECURITY_INFORMATION, descriptor)) {
    return 2;
  }
  ::Sleep(INFINITE);
  return 0;
}
