#pragma once

namespace foxbane::win32 {

// Restricts where the process looks for DLLs it loads from now on to the
// system folder. Foxbane runs elevated, often from a Downloads folder where
// anyone may have left a DLL named like one Windows loads on demand.
void RestrictDllSearchToSystem32();

}  // namespace foxbane::win32
