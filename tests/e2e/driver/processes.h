#pragma once

#include <string>
#include <vector>

namespace foxbane::e2e {

// Writes "<pid>\t<executable path>" for every process but this one, in the
// order the system lists them, the path as the process-status functions
// give it (empty when the process's first module cannot be read).
void PrintRunningProcesses();

// Starts each program and writes "started <pid> <path>" for it, then
// "exited <pid> <exit code>" as each one ends; returns when all have ended.
// Each line is flushed whole, so the output can be read while it grows. At
// most 64 programs: the system waits for no more at once.
void LaunchAndWatch(const std::vector<std::wstring>& programs);

}  // namespace foxbane::e2e
