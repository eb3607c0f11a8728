#include <memory>

#include "app/form2.h"
#include "app/texts.h"
#include "common/resume_next.h"
#include "common/vb_conversions.h"
#include "fileops/drive_path.h"

namespace foxbane {

namespace {

constexpr ErrorCode kBadFileNameOrNumber = 52;

// Reads the file to its end a chunk at a time into one buffer, searching each
// chunk while it is still in the processor's cache.
ErrorCode SearchWholeFile(ReadableFile& file, signatures::ChunkedTextSearch& search) {
  search.Restart();
  for (;;) {
    const std::span<char> chunk = search.Chunk();
    std::size_t read = 0;
    if (const ErrorCode error = file.Read(chunk, read)) return error;
    search.Add(read);
    if (read < chunk.size()) return win_error::kSuccess;
  }
}

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
  scanData_ = signatures::ChunkedTextSearch(bytes);
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
      Check(SearchWholeFile(*file, scanData_));
      found = scanData_.Found();
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
