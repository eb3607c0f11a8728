#pragma once

#include <windows.h>

#include "ports/error_code.h"

namespace foxbane::win32 {

// Whether the object behind `handle` (opened with READ_CONTROL) is owned by
// an administrator (the Administrators group, SYSTEM, the system's
// installer) and its DACL lets nobody else change it: no write, append,
// delete, child deletion, attribute, rights or owner change for anyone else.
ErrorCode IsAdminOnly(HANDLE handle, bool& adminOnly);

// The security descriptor that CreateAdminOnlyFolder gives a folder: owned
// by the Administrators group, full control for it and SYSTEM (passed on to
// what is made inside), protected from the parent's.
inline constexpr wchar_t kAdminOnlyFolderSddl[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

}  // namespace foxbane::win32
