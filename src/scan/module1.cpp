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

void Module1::KillProcess(std::int32_t pid) {
  // The open is not checked: a process that cannot be opened reaches the
  // termination as a null handle, which fails and is reported like any
  // other refusal.
  const std::unique_ptr<OpenedProcess> process =
      processes_.Open(process_access::kTerminate, true, static_cast<std::uint32_t>(pid));
  if (!processes_.Terminate(process.get(), 0)) ReportKillFailure();
}  // the handle is released only after the message has been dismissed

void Module1::ReportKillFailure() {
  const ErrorCode code = processes_.LastError();
  // The system writes its text into a buffer of blanks; when it has none,
  // the blanks are what the last line shows.
  std::string systemText = processes_.SystemMessage(code, kMessageCapacity);
  if (systemText.empty()) systemText.assign(kMessageCapacity, ' ');
  messages_.ShowModal(std::string(kTerminationFailed) + "\n\nERROR: " + systemText);
}

}  // namespace foxbane
