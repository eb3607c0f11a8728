#include <memory>

#include "app/form2.h"
#include "app/texts.h"
#include "common/resume_next.h"
#include "common/vb_conversions.h"
#include "fileops/drive_path.h"

namespace foxbane {

namespace {
constexpr ErrorCode kBadFileNameOrNumber = 52;
// No executable comes near this; a size beyond it is not worth asking the
// allocator for. Below it, an allocation that fails skips the file as well.
constexpr std::uint64_t kLargestFileHeld = std::uint64_t{64} << 30;
}  // namespace

void Form2::Command1_Click() {
  SetVisible(ControlId::scanstatus, true);
  ApplyProcessListLayout(resultsList_);
  SetVisible(ControlId::scanstatus, true);
  SetVisible(ControlId::activityframe, false);
  SetCaption(ControlId::Label5, texts::kGettingProcessList);
  ListProcesses();
  ScanProcesses();
}

void Form2::ScanProcesses() {
  SetCaption(ControlId::Label5, texts::kScanningProcesses);
  SetVisible(ControlId::CoolProgress1, true);

  ResumeNext resume;
  for (std::int32_t i = 1; i <= lvwProcess_.Count(); ++i) {
    scanFile_ = lvwProcess_.Item(i).text;

    std::unique_ptr<ReadableFile> file;
    resume([&] {
      if (!IsDriveLetterPath(scanFile_)) throw StepFailed(kBadFileNameOrNumber);
      Check(platform_.files.OpenForRead(scanFile_, file));
    });
    platform_.loop.YieldToPendingMessages();
    resume([&] {
      if (!file) throw StepFailed(kBadFileNameOrNumber);
      std::uint64_t size = 0;
      Check(file->Size(size));
      if (size > kLargestFileHeld) throw StepFailed(win_error::kNotEnoughMemory);
      // A file too large to hold throws here and is skipped like an
      // unreadable one. The buffer keeps its capacity across the pass.
      scanData_.resize(size);
    });
    resume([&] {
      if (!file || scanData_.empty()) return;
      if (const ErrorCode error = file->ReadFromStart(scanData_); error != win_error::kSuccess) {
        scanData_.clear();  // never match on a partly read buffer
        throw StepFailed(error);
      }
    });
    file.reset();
    resume([&] { MatchSignatures(scanData_, i); });
    resume([&] {
      const double n = lvwProcess_.Count();
      coolProgress1_.Percent(RoundToInt16(i / n * 100.0));
    });
    scanData_.clear();
  }
  std::string().swap(scanData_);  // release the pass's buffer

  resume([&] {
    if (resultsList_.Count() > 0) {
      ShowScanResults();
    } else {
      SetVisible(ControlId::clean, true);
      SetVisible(ControlId::results, false);
      SetVisible(ControlId::scanstatus, false);
    }
  });
}

}  // namespace foxbane
