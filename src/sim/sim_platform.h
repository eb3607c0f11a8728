#pragma once

#include "ports/platform.h"
#include "sim/faults.h"
#include "sim/sim_clock.h"
#include "sim/sim_environment.h"
#include "sim/sim_event_loop.h"
#include "sim/sim_file_system.h"
#include "sim/sim_processes.h"
#include "sim/sim_profile_files.h"
#include "sim/sim_registry.h"
#include "sim/sim_user_messages.h"
#include "sim/sim_window.h"

namespace foxbane::sim {

// One complete in-memory machine: every sim adapter, sharing one fault plan,
// composed into a Platform the same way the real entry point composes the
// win32 adapters.
struct SimPlatform {
  Faults faults;
  SimFileSystem files{faults};
  // A process runs the file at its path when it starts, if there is one.
  SimProcesses processes{faults, [this](const std::string& path) {
                           return files.Attributes(path) ? files.IdentityOf(path) : FileIdentity{};
                         }};
  SimRegistry registry{faults};
  SimProfileFiles profiles{faults, files};
  SimEnvironment environment;
  SimClock clock;
  SimUserMessages messages;
  SimEventLoop loop;
  SimWindow window{&faults};
  Platform platform{files, processes, registry, profiles, environment,
                    clock, messages, loop, window};
};

}  // namespace foxbane::sim
