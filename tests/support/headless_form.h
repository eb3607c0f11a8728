#pragma once

#include "app/form2.h"
#include "sim/sim_event_loop.h"
#include "sim/sim_window.h"
#include "win32/clock.h"
#include "win32/environment.h"
#include "win32/file_system.h"
#include "win32/processes.h"
#include "win32/profile_files.h"
#include "win32/registry.h"
#include "win32/user_messages.h"

namespace foxbane::win32::testing {

// The window's core over the real system adapters, with a headless window
// and a loop where nothing is pending: for tests of the core's work on the
// real system that need no screen. Message boxes are real and have no owner.
struct HeadlessForm {
  HeadlessForm() = default;
  HeadlessForm(const HeadlessForm&) = delete;
  HeadlessForm& operator=(const HeadlessForm&) = delete;

  Win32FileSystem files;
  Win32Processes processes;
  Win32Registry registry;
  Win32ProfileFiles profiles;
  Win32Environment environment;
  Win32Clock clock;
  Win32UserMessages messages{nullptr};
  sim::SimEventLoop loop;
  sim::SimWindow window;
  Platform platform{files, processes, registry, profiles, environment,
                    clock, messages, loop, window};
  Form2 form{platform};
};

}  // namespace foxbane::win32::testing
