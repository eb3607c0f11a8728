#include "scan/module1.h"

#include <memory>
#include <string>

namespace foxbane {

namespace {
constexpr std::string_view kTerminationFailed =
    "There was an error while trying to terminate the process - please try running Foxbane "
    "again.";
constexpr std::uint32_t kMessageCapacity = 200;
}  // namespace

std::int16_t Module1::GetPlatformId() { return static_cast<std::int16_t>(processes_.PlatformId()); }

void Module1::KillProcess(std::int32_t pid, std::string_view imagePath, std::uint64_t started,
                          std::optional<FileIdentity> scannedFile) {
  const auto id = static_cast<std::uint32_t>(pid);
  const Listed listed{imagePath, started, scannedFile};
  // The open is not checked: a process that cannot be opened reaches the
  // termination as a null handle, which fails and is reported like any
  // other refusal. The check and the termination go through one handle, so
  // the PID cannot change hands between them.
  std::unique_ptr<OpenedProcess> process;
  if (started == 0) {
    process = processes_.Open(process_access::kTerminate, true, id);
  } else {
    process = processes_.Open(process_access::kTerminate | QueryAccess(listed), true, id);
    if (!StillTheListedProcess(process.get(), id, listed)) return;
  }
  if (!processes_.Terminate(process.get(), 0)) ReportKillFailure();
}  // the handle is released only after the message has been dismissed

std::uint32_t Module1::QueryAccess(const Listed& listed) {
  const std::uint32_t times = processes_.HasImagePathQuery() ? process_access::kQueryLimited
                                                             : process_access::kQueryInformation;
  return listed.file ? times | process_access::kQueryAndRead : times;
}

// Without a termination handle, a query handle tells whether the listed
// process is still there. One that cannot be told apart (the system lets
// nobody look at it) goes on to the failing termination and its message:
// a null handle cannot end anything.
bool Module1::StillTheListedProcess(OpenedProcess* process, std::uint32_t pid,
                                    const Listed& listed) {
  if (process) return IsTheListedProcess(*process, listed);
  const std::unique_ptr<OpenedProcess> query = processes_.Open(QueryAccess(listed), false, pid);
  if (query) return IsTheListedProcess(*query, listed);
  return processes_.LastError() != win_error::kInvalidParameter;  // 87: no such process
}

// A process whose start time or executable cannot be read is not taken for
// the listed one. The path it started under is no proof of which file runs:
// the system keeps reporting that path after the file has been renamed, and
// another file may have been put there since.
bool Module1::IsTheListedProcess(OpenedProcess& process, const Listed& listed) {
  std::uint64_t time = 0;
  if (!process.StartTime(time) || time != listed.started) return false;
  if (processes_.HasImagePathQuery()) {  // else listed from the module list
    std::string path;
    if (!process.ImagePath(path) || path != listed.imagePath) return false;
  }
  FileIdentity image;
  return !listed.file || (process.ImageFileIdentity(image) && image == *listed.file);
}

void Module1::ReportKillFailure() {
  const ErrorCode code = processes_.LastError();
  // The system writes its text into a buffer of blanks; when it has none,
  // the blanks are what the last line shows.
  std::string systemText = processes_.SystemMessage(code, kMessageCapacity);
  if (systemText.empty()) systemText.assign(kMessageCapacity, ' ');
  messages_.ShowModal(std::string(kTerminationFailed) + "\n\nERROR: " + systemText);
}

}  // namespace foxbane
