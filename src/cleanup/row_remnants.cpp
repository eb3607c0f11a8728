#include "app/form2.h"
#include "cleanup/removal_guards.h"
#include "cleanup/remnant_keys.h"
#include "common/resume_next.h"

namespace foxbane {

// The file and its folder are each opened once and held to what the scan
// read and the guards passed; what is kept is read from that handle, and it
// is deleted through it (RemoveItemKept).
void Form2::RemoveRowRemnants(std::int32_t row) {
  FileSystem& files = platform_.files;
  const std::string path = resultsList_.Item(row).text;
  const FileIdentity scanned = resultsList_.Item(row).identity;
  ResumeNext resume;

  resume([&] {
    if (files.FindFile(path, file_attribute::kAnyFileMask).empty()) return;
    // Attributes left as they are: a read-only file stays. Only a file that
    // is gone is reported; one that goes at the next restart is told of
    // after the pass.
    if (RemoveItemKept(path, false, &scanned) != ItemRemoval::kGone) return;
    LogCleanupLine("[CLEANUP] Deleted File: " + path);
  });

  const std::size_t lastBackslash = path.rfind('\\');
  if (lastBackslash == std::string::npos) return;
  const std::string folder = path.substr(0, lastBackslash);
  const std::string fileName = path.substr(lastBackslash + 1);

  // A folder File1 cannot list (gone, or not readable) is left alone: its
  // file count is unknown, so nothing is removed and nothing reported. Only
  // a real folder below the system's program folders is ever removed.
  resume([&] {
    file1_.Path(folder);
    if (file1_.ListCount() != 0 || path.find("Program Files") == std::string::npos) return;
    if (!RemovalGuards(files, platform_.environment).IsProgramSubfolder(folder)) return;
    if (RemoveItemKept(folder, true, nullptr) != ItemRemoval::kGone) return;
    LogCleanupLine("[CLEANUP] Deleted Folder: " + folder);
  });

  resume([&] {
    const std::string entryName = UninstallEntryName(fileName);
    if (entryName.empty()) return;
    // One entry however many views held it, once no copy is left.
    const Removal removal = RemoveFromEveryView(
        registry_, "HKLM",
        [&](RegView view) {
          Variant command;
          registry_.ReadRegValue("HKLM", std::string(kUninstallKey) + "\\" + entryName,
                                 "UninstallString", "S", Variant(kNoValue), command, view);
          return command != Variant(kNoValue) && command.Text().find(path) != std::string::npos;
        },
        [&](RegView view) {
          return Settled(DeleteRegKeyKept("HKLM", kUninstallKey, entryName, view));
        });
    if (removal != Removal::kRemoved) return;
    LogCleanupLine("[CLEANUP] Deleted Uninstall Key: " +
                   LogKeyName("HKLM", kUninstallKey, entryName));
  });
}

}  // namespace foxbane
