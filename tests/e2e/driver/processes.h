#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace foxbane::e2e {

struct RunningProcess {
  DWORD pid;
  std::wstring path;  // empty when the process's first module cannot be read
};

// Every process but this one, in the order the system lists them, each with
// the path of its executable as the process-status functions give it.
std::vector<RunningProcess> ListRunningProcesses();

// Starts each program, appends "started <pid> <path>" to the report for it,
// then "exited <pid> <exit code>" as each one ends; returns when all have
// ended. Lines end with LF and are written whole, so the report can be read
// while it grows. At most 64 programs.
void LaunchAndWatch(const std::filesystem::path& report, const std::vector<std::wstring>& programs);

}  // namespace foxbane::e2e
