#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "ports/error_code.h"
#include "ports/file_system.h"

namespace foxbane {

// One entry of a process snapshot: the executable name field as the snapshot
// reports it (UTF-8, already cut at its terminating NUL) and the process id.
struct ProcessEntry {
  std::uint32_t pid = 0;
  std::string exeFile;
};

// A toolhelp process snapshot. Released when destroyed.
class ProcessSnapshot {
 public:
  virtual ~ProcessSnapshot() = default;
  virtual bool First(ProcessEntry& entry) = 0;
  virtual bool Next(ProcessEntry& entry) = 0;
};

// An open process handle. Closed when destroyed.
class OpenedProcess {
 public:
  virtual ~OpenedProcess() = default;
  // The handle of the process's first (executable) module, fetched with a
  // 200-byte module buffer. False when the module list cannot be read.
  virtual bool FirstModule(std::uintptr_t& module) = 0;
  // The module's full path in UTF-8, however long; empty on failure.
  virtual std::string ModuleFileName(std::uintptr_t module) = 0;

  // QueryFullProcessImageName: the executable's full Win32 path as the
  // system recorded it at the start (the process cannot rewrite it), however
  // long. Needs kQueryLimited; false on failure.
  virtual bool ImagePath(std::string& path) = 0;
  // The identity of the file the system maps as the process's executable,
  // wherever that file is now: renamed while it runs, its old path may name
  // another file. Found through the name the memory manager gives the
  // mapping (GetMappedFileName), opened without following a link. Needs
  // kQueryAndRead; false on failure.
  virtual bool ImageFileIdentity(FileIdentity& identity) = 0;
  // GetProcessTimes: when the process started, in 100 ns units since 1601.
  // With the image path it tells a process from a later one that was given
  // the same id. Needs kQueryLimited; false on failure.
  virtual bool StartTime(std::uint64_t& time) = 0;
};

namespace process_access {
inline constexpr std::uint32_t kTerminate = 0x0001;
inline constexpr std::uint32_t kQueryInformation = 0x0400;
inline constexpr std::uint32_t kQueryAndRead = 0x0410;
// Granted for nearly every process, elevated and service ones included.
inline constexpr std::uint32_t kQueryLimited = 0x1000;
}  // namespace process_access

// Listing, opening and terminating processes.
class Processes {
 public:
  virtual ~Processes() = default;

  // The platform identifier GetVersionEx reports: 1 for the 95/98/Me family,
  // 2 for the NT family.
  virtual int PlatformId() = 0;

  // True where the system has QueryFullProcessImageName and the limited
  // query right (Vista and later).
  virtual bool HasImagePathQuery() = 0;

  // A snapshot of all processes, or null when none can be taken.
  virtual std::unique_ptr<ProcessSnapshot> TakeSnapshot() = 0;

  // EnumProcesses: fills `ids` and sets `bytesWritten`. False on failure,
  // leaving `bytesWritten` as it was.
  virtual bool EnumerateIds(std::span<std::uint32_t> ids, std::uint32_t& bytesWritten) = 0;

  // OpenProcess; null when the process cannot be opened with that access.
  virtual std::unique_ptr<OpenedProcess> Open(std::uint32_t access, bool inheritable,
                                              std::uint32_t pid) = 0;

  // TerminateProcess through `process`, which may be null (a failed open):
  // then it fails with the invalid-handle error, as Windows does.
  virtual bool Terminate(OpenedProcess* process, std::uint32_t exitCode) = 0;

  // The calling thread's last error.
  virtual ErrorCode LastError() = 0;

  // FormatMessage from the system for `code` into a buffer of `capacity`
  // characters: the text up to its terminating NUL, line break included.
  // Empty when the system has no text for the code.
  virtual std::string SystemMessage(ErrorCode code, std::uint32_t capacity) = 0;
};

}  // namespace foxbane
