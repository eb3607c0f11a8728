#include <memory>

#include "app/form2.h"
#include "app/texts.h"
#include "common/resume_next.h"
#include "common/vb_conversions.h"
#include "fileops/drive_path.h"
#include "scan/file_text_search.h"

namespace foxbane {

namespace {

constexpr ErrorCode kBadFileNameOrNumber = 52;

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

void Form2::SetScanChunkBytes(std::size_t bytes) {
  scanData_ = std::make_unique<FileTextSearch>(bytes);
}

void Form2::ScanProcesses() {
  SetCaption(ControlId::Label5, texts::kScanningProcesses);
  SetVisible(ControlId::CoolProgress1, true);

  ResumeNext resume;
  for (std::int32_t i = 1; i <= lvwProcess_.Count(); ++i) {
    scanFile_ = lvwProcess_.Item(i).text;

    std::unique_ptr<ReadableFile> file;
    FileIdentity identity;  // what the cleanup will hold the file to
    resume([&] {
      if (!IsDriveLetterPath(scanFile_)) throw StepFailed(kBadFileNameOrNumber);
      Check(platform_.files.OpenForRead(scanFile_, file));
      if (const ErrorCode e = file->Identity(identity)) {
        file.reset();
        throw StepFailed(e);
      }
    });
    platform_.loop.YieldToPendingMessages();
    // Only a file read to its end counts: a read that fails part-way leaves
    // nothing found, whatever its first chunks held.
    signatures::TextSet found = 0;
    resume([&] {
      if (!file) throw StepFailed(kBadFileNameOrNumber);
      Check(scanData_->Find(*file, found));
    });
    file.reset();
    resume([&] { MatchSignatures(found, i, identity); });
    resume([&] {
      const double n = lvwProcess_.Count();
      coolProgress1_.Percent(RoundToInt16(i / n * 100.0));
    });
  }

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
