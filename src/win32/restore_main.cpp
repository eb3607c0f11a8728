// The restore program beside foxbane.exe: puts back what Foxbane's cleanups
// kept in the quarantine, asking the user about each, with no command line.

#include <windows.h>

#include "cleanup/restore.h"
#include "win32/dll_search.h"
#include "win32/environment.h"
#include "win32/file_system.h"
#include "win32/registry.h"
#include "win32/single_instance.h"
#include "win32/user_messages.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace foxbane;
  using namespace foxbane::win32;
  RestrictDllSearchToSystem32();  // before anything loads a DLL on demand

  Win32UserMessages messages(nullptr);
  // Never while a cleanup runs: it would remove again what is put back.
  const SingleInstance onlyFoxbane(kFoxbaneInstanceName);
  if (!onlyFoxbane.First()) {
    messages.ShowModal("Foxbane is running. Close it first, then put back what it removed.");
    return 0;
  }
  Win32FileSystem files;
  Win32Registry registry;
  Win32Environment environment;
  Restore restore(files, registry, environment);
  OfferRestore(restore, messages);
  return 0;
}
