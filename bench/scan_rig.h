#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/form2.h"
#include "sim/faults.h"
#include "sim/sim_event_loop.h"
#include "sim/sim_processes.h"
#include "sim/sim_user_messages.h"
#include "sim/sim_window.h"
#include "win32/clock.h"
#include "win32/environment.h"
#include "win32/file_system.h"
#include "win32/profile_files.h"
#include "win32/registry.h"

namespace foxbane::bench {

// Form2 over a process list whose executables are the given files, with the
// real Windows file system and everything else simulated: what a scan pass
// costs beyond the files themselves.
class ScanRig {
 public:
  // `pieceBytes`, when given, is the most the pass reads at a time in place
  // of the scan's own.
  explicit ScanRig(const std::vector<std::string>& executables, std::size_t pieceBytes = 0);

  const Form2& Form() const { return form_; }
  // One scan pass over the listed files, as "Scan" runs it.
  void ScanPass();
  FileSystem& Files() { return files_; }

 private:
  win32::Win32FileSystem files_;
  win32::Win32Registry registry_;
  win32::Win32ProfileFiles profiles_;
  win32::Win32Environment environment_;
  win32::Win32Clock clock_;
  sim::Faults faults_;
  sim::SimProcesses processes_{faults_};
  sim::SimUserMessages messages_;
  sim::SimEventLoop loop_;
  sim::SimWindow window_;
  Platform platform_{files_, processes_, registry_, profiles_, environment_,
                     clock_, messages_,  loop_,     window_};
  Form2 form_{platform_};
};

}  // namespace foxbane::bench
