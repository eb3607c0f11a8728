#include "app/form2.h"
#include "cleanup/removal_guards.h"
#include "cleanup/remnant_keys.h"
#include "common/resume_next.h"
#include "common/utf.h"

namespace foxbane {

namespace {

// The file name without its last four characters (its extension and dot),
// counted in characters, not bytes. Empty when nothing would be left: an
// empty entry name would name the parent key of every uninstall entry.
std::string UninstallEntryName(std::string_view fileName) {
  std::u16string name = Utf16FromUtf8(fileName);
  std::size_t characters = 0;
  std::size_t cut = name.size();
  while (cut > 0 && characters < 4) {
    --cut;
    if (cut > 0 && name[cut] >= 0xDC00 && name[cut] <= 0xDFFF) --cut;  // surrogate pair
    ++characters;
  }
  if (characters < 4) return {};
  return Utf8FromUtf16(std::u16string_view(name).substr(0, cut));
}

}  // namespace

void Form2::RemoveRowRemnants(std::int32_t row) {
  FileSystem& files = platform_.files;
  const std::string path = resultsList_.Item(row).text;
  ResumeNext resume;

  resume([&] {
    if (files.FindFile(path, file_attribute::kAnyFileMask).empty()) return;
    if (Kept().SaveFile(path) != Keeping::kKept) return;
    resume([&] { Check(files.RemoveFile(path)); });  // attributes left as they are
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
    if (Kept().SaveFolder(folder) != Keeping::kKept) return;
    resume([&] { Check(files.RemoveFolder(folder)); });
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
