#pragma once

#include "ports/clock.h"
#include "ports/environment.h"
#include "ports/event_loop.h"
#include "ports/file_system.h"
#include "ports/processes.h"
#include "ports/profile_files.h"
#include "ports/registry.h"
#include "ports/user_messages.h"
#include "ports/window.h"

namespace foxbane {

// Every port the core reaches the system through, as one bundle that the
// composition root (or a test) fills with one adapter each.
struct Platform {
  FileSystem& files;
  Processes& processes;
  Registry& registry;
  ProfileFiles& profiles;
  Environment& environment;
  Clock& clock;
  UserMessages& messages;
  EventLoop& loop;
  Window& window;
};

}  // namespace foxbane
