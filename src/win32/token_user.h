#pragma once

#include <windows.h>

#include <vector>

namespace foxbane::win32 {

// The SID of the user a process runs as, from its token, as bytes; empty
// when the token cannot be read.
std::vector<BYTE> ProcessUserSid(HANDLE process);

}  // namespace foxbane::win32
