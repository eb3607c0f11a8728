#include "app/form2.h"
#include "common/resume_next.h"

namespace foxbane {

void Form2::Command5_Click() {
  ResumeNext resume;
  for (std::int32_t row = 1; row <= resultsList_.Count(); ++row) {
    resume([&] { RemoveRowRemnants(row); });
  }
  resume([&] { RemoveRegistryRemnants(); });
  resume([&] { BlockControlInstallation(); });
  resume([&] { FlushScanLog(); });
  SetLogText(logText_ + "\r\n");

  SetVisible(ControlId::scanstatus, false);
  SetVisible(ControlId::results, false);
  SetVisible(ControlId::clean, false);
  SetVisible(ControlId::disclaimer, false);
  SetVisible(ControlId::activityframe, true);
  ReportLeftBehind();
}

// Every entry goes to the scan log first and then on screen; a log that
// cannot be written never keeps the entry from the screen.
void Form2::LogCleanupLine(std::string_view entryText) {
  ResumeNext resume;
  resume([&] { AppendToScanLog({std::string(entryText)}); });
  SetLogText(logText_ + "\r\n" + std::string(entryText));
}

}  // namespace foxbane
