// The composition root: the one place that joins the portable core to the
// Windows adapters.

#include <windows.h>

#include "app/form2.h"
#include "ports/platform.h"
#include "win32/clock.h"
#include "win32/dll_search.h"
#include "win32/environment.h"
#include "win32/event_loop.h"
#include "win32/file_system.h"
#include "win32/main_window.h"
#include "win32/processes.h"
#include "win32/profile_files.h"
#include "win32/registry.h"
#include "win32/single_instance.h"
#include "win32/user_messages.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace foxbane;
  using namespace foxbane::win32;
  RestrictDllSearchToSystem32();  // before anything loads a DLL on demand

  const SingleInstance onlyFoxbane(kFoxbaneInstanceName);
  if (!onlyFoxbane.First()) {
    Win32UserMessages(nullptr).ShowModal("Foxbane is already running.");
    return 0;
  }

  Win32FileSystem files;
  Win32Processes processes;
  Win32Registry registry;
  Win32ProfileFiles profiles;
  Win32Environment environment;
  Win32Clock clock;
  Win32Window window(instance);
  Win32UserMessages messages(window.Handle());
  Win32EventLoop loop(window);
  Platform platform{files, processes, registry, profiles, environment,
                    clock, messages, loop, window};

  Form2 form(platform);
  window.Connect({
      .click = [&form](ControlId control) { form.Click(control); },
      .paintProgress = [&form] { form.PaintProgress(); },
      .close = [&form] { form.Close(); },
  });
  form.Form_Load();
  window.ShowOnScreen(showCommand);
  return loop.Run();
}
